// CAssignButtonDlg: binds the five hot keys to keyboard keys or joystick buttons, and holds the
// monitor and start options, which it saves at once.
#pragma once

#include <array>
#include <cstddef>

#include <wx/dialog.h>

#include "app/hot_keys/button_assignment.h"
#include "app/hot_keys/joystick_buttons.h"

class wxButton;
class wxCheckBox;

namespace pages {
class CFontStatic;
}

namespace app {

// The application object's [MONITOR] and [START] options, which the dialog shows and rewrites.
struct AppOptionRefs {
  int& enable_window;
  int& enable_vr;
  int& minimized;
};

class CAssignButtonDlg : public wxDialog {
 public:
  enum ControlId {
    kFirstCaptureButtonId = 1000,  // 1000..1004, slots 0..4
    kFirstLabelId = 1064,          // 1064..1068, slots 0..4
    kMonitorId = 1069,
    kMonitorVrId = 1070,
    kMinimizedId = 1071,
  };
  // Size of the dialog in dialog units.
  static constexpr int kWidthDlu = 250;
  static constexpr int kHeightDlu = 191;

  // referenceMasks (the main dialog's) and the options must outlive the dialog. spanish picks
  // the text of the start-minimised box.
  CAssignButtonDlg(JoystickButtonMasks& referenceMasks, bool spanish, AppOptionRefs options,
                   wxWindow* parent);

  // The working copy, set before the dialog runs and read after it.
  ButtonAssignments& Assignments() { return assignments_; }

  // The five captions from the working copy, the three boxes from the options.
  void RefreshAssignmentCaptions();
  // Runs the wait box for a slot: what it captures moves into the slot (out of any other slot
  // that held it); a cancelled wait unassigns the slot.
  void CaptureAssignment(std::size_t slot);
  // The three boxes into the options and the settings file.
  void SaveMonitorOptions();

  // Runs RefreshAssignmentCaptions when the dialog starts.
  bool TransferDataToWindow() override;

 private:
  void CreateControls(bool spanish);
  void OnCharHook(wxKeyEvent& event);

  JoystickButtonMasks& referenceMasks_;
  AppOptionRefs options_;
  ButtonAssignments assignments_{};

  // Children of the dialog; the window tree owns them.
  std::array<wxButton*, kHotKeyCount> captureButtons_{};
  std::array<pages::CFontStatic*, kHotKeyCount> labels_{};
  wxCheckBox* monitor_ = nullptr;
  wxCheckBox* monitorVr_ = nullptr;
  wxCheckBox* minimized_ = nullptr;
};

}  // namespace app
