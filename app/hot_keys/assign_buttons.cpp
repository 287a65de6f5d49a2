// The "Assign Buttons" command of the main dialog.
#include "app/hot_keys/assign_buttons.h"

#include "platform/profile_settings.h"

namespace app {

void OnAssignButtons(AssignButtonsHost& host) {
  host.StopPollTimers();
  host.SetBusy(true);
  const bool spanish = host.LanguageButtonCaption() == kEnglishOffered;
  {
    CAssignButtonDlg dialog(host.LastJoystickButtons(), spanish, host.AppOptions(),
                            host.HostWindow());
    dialog.Assignments() = host.HotKeyAssignments();
    dialog.ShowModal();
    host.HotKeyAssignments() = dialog.Assignments();
  }
  WriteButtonAssignments(host.HotKeyAssignments(), platform::kSettingsFile);
  host.StartPollTimers();
  host.SetBusy(false);
}

}  // namespace app
