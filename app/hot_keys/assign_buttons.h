// OnAssignButtons: the main dialog's "Assign Buttons" command. Stops the live display and the
// hot keys, runs the assignment dialog and stores the five assignments it returns.
#pragma once

#include <wx/string.h>

#include "app/hot_keys/assign_button_dlg.h"
#include "app/hot_keys/button_assignment.h"
#include "app/hot_keys/joystick_buttons.h"

class wxWindow;

namespace app {

// What the command needs of the main dialog.
class AssignButtonsHost {
 public:
  virtual ~AssignButtonsHost() = default;
  // The parent of the assignment dialog.
  virtual wxWindow* HostWindow() = 0;
  // The language button's caption: "English" while Spanish is showing.
  virtual wxString LanguageButtonCaption() const = 0;
  virtual ButtonAssignments& HotKeyAssignments() = 0;
  virtual JoystickButtonMasks& LastJoystickButtons() = 0;
  // The application object's enable_window, enable_vr and minimized.
  virtual AppOptionRefs AppOptions() = 0;
  // Timers 1 (live display, 23 ms) and 2 (hot keys, 10 ms).
  virtual void StopPollTimers() = 0;
  virtual void StartPollTimers() = 0;
  // While set, the hot-key poll reads every joystick as released.
  virtual void SetBusy(bool busy) = 0;
};

// The caption of the language button that means Spanish is showing.
inline constexpr const char* kEnglishOffered = "English";

// Runs the dialog modally on the host; the assignments go back into the host and into [JOY] of
// the settings file however the dialog was closed.
void OnAssignButtons(AssignButtonsHost& host);

}  // namespace app
