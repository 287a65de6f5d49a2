// The settings-not-saved message: hears of the failed writes, keeps to the settings file, and
// shows its box once, from the event loop.
#include "app/settings_save_warning.h"

#include <filesystem>
#include <system_error>

#include <wx/msgdlg.h>

#include "app/main_dialog.h"
#include "app/main_dialog_texts.h"
#include "pages/page_texts.h"
#include "platform/profile_settings.h"

namespace app {

namespace {

// Backups and the restore's staged copy are other files, and their callers tell of those.
bool IsSettingsFile(const std::string& file) {
  return std::filesystem::path(file).lexically_normal() ==
         std::filesystem::path(platform::kSettingsFile).lexically_normal();
}

// "./presets.ini" says little; the folder it is in says where to look.
std::string AbsolutePath(const std::string& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return error ? file : absolute.lexically_normal().string();
}

}  // namespace

SettingsSaveWarning::SettingsSaveWarning() {
  platform::SetProfileWriteFailureHandler(
      [this](const std::string& file, const platform::WriteError& error) {
        OnWriteFailed(file, error);
      });
}

SettingsSaveWarning::~SettingsSaveWarning() { platform::SetProfileWriteFailureHandler(nullptr); }

void SettingsSaveWarning::SetMainWindow(Vezazivedov_sys_testDlg* window) { mainWindow_ = window; }

void SettingsSaveWarning::OnWriteFailed(const std::string& file,
                                        const platform::WriteError& error) {
  if (!IsSettingsFile(file) || told_.exchange(true)) return;
  // Never in the middle of what wrote (a timer tick, a hot key, a move of the monitor): the
  // box opens once that has returned to the event loop. This object's pending call goes with it.
  CallAfter([this, path = AbsolutePath(file), error] { Show(path, error); });
}

void SettingsSaveWarning::Show(const std::string& path, const platform::WriteError& error) {
  const Vezazivedov_sys_testDlg* window = mainWindow_.get();
  if (window == nullptr || window->Ending()) return;
  // No parent: the toolkit puts the box over the active window, the assignment dialog when that
  // is open, and shows it on its own when the main window is in the tray.
  wxMessageDialog box(
      nullptr, wxString::FromUTF8(SettingsNotSavedMessage(window->ShownLanguage(), path, error)),
      pages::kQuestionCaption, wxOK | wxICON_WARNING);
  box.ShowModal();
}

}  // namespace app
