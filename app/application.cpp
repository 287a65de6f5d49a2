// Start-up of the program.
#include "app/application.h"

#include <cstdlib>

#include <wx/event.h>
#include <wx/image.h>
#include <wx/msgdlg.h>

#include "app/app_options.h"
#include "app/main_dialog.h"
#include "app/monitor/monitor_window.h"
#include "app/settings_save_warning.h"
#include "app/single_instance.h"
#include "app/toggle_marks.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"

namespace app {

Vezazivedov_sys_testApp::Vezazivedov_sys_testApp() = default;

Vezazivedov_sys_testApp::~Vezazivedov_sys_testApp() = default;

bool Vezazivedov_sys_testApp::OnInit() {
  // SDL (the beep, the joysticks) would otherwise take SIGINT and SIGTERM for itself, and the
  // program could no longer be ended from outside.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  // Before anything can write the settings file, so that its first failure is told.
  saveWarning_ = std::make_unique<SettingsSaveWarning>();
  // The application object's own construction, in its order: the options, then the monitor.
  // The monitor needs the GUI library running, so it is built here rather than statically.
  enable_window = platform::GetPrivateProfileInt(kMonitorSection, kMonitorWindowKey, 0,
                                                 platform::kSettingsFile);
  enable_vr =
      platform::GetPrivateProfileInt(kMonitorSection, kMonitorVrKey, 0, platform::kSettingsFile);
  minimized =
      platform::GetPrivateProfileInt(kStartSection, kStartMinimizedKey, 0, platform::kSettingsFile);
  monitor_ = std::make_unique<CVirtualDisplayDlg>([this] { return enable_window != 0; });

  wxInitAllImageHandlers();
  // No window of the program handles idle or update-UI events, and sending them to every
  // control after each of the 10 ms and 23 ms timer ticks was a large share of the idle CPU.
  // The toolkit's own idle work (showing, sizing) still runs.
  wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
  wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);

  if (AnotherCopyRunning()) {
    wxMessageBox(wxString::FromUTF8(kAlreadyRunningText), kAlreadyRunningCaption,
                 wxOK | wxICON_INFORMATION);
    // wx runs OnExit only after an OnInit that succeeded, and destroys this object after its
    // own clean-up: the monitor's GL window and bitmap must go first.
    EndOwnedObjects();
    return false;
  }

  // Before the first window, so that no check box or radio button ever asks for an SVG.
  toggleMarks_ = std::make_unique<PngToggleMarks>();
  auto* dialog = new Vezazivedov_sys_testDlg(monitor_.get(),
                                             AppOptionRefs{enable_window, enable_vr, minimized});
  SetTopWindow(dialog);
  saveWarning_->SetMainWindow(dialog);
  dialog->Start();
  return true;
}

int Vezazivedov_sys_testApp::OnExit() {
  EndOwnedObjects();
  return wxApp::OnExit();
}

void Vezazivedov_sys_testApp::EndOwnedObjects() {
  saveWarning_.reset();
  monitor_.reset();
  toggleMarks_.reset();
}

}  // namespace app
