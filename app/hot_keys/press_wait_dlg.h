// CPressWaitDlg: the small "PRESS BUTTON..." box of the button assignment. It ends at the first
// key press or as soon as a joystick has a button down.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "app/hot_keys/joystick_buttons.h"

namespace app {

class CPressWaitDlg : public wxDialog {
 public:
  // Size of the box in dialog units.
  static constexpr int kWidthDlu = 172;
  static constexpr int kHeightDlu = 89;
  static constexpr int kJoystickPeriodMs = 100;

  // referenceMasks (the main dialog's) must outlive the box.
  CPressWaitDlg(wxWindow* parent, JoystickButtonMasks& referenceMasks);

  // Runs the box modally. wxID_OK with device -1 and the key's virtual-key code for a key, or
  // with the joystick's id and its highest pressed button; wxID_CANCEL for Esc or a close, when
  // device and button mean nothing.
  int WaitForPress(int& device, int& button);

 private:
  void OnCharHook(wxKeyEvent& event);
  void OnTimer(wxTimerEvent& event);
  void OnPaint(wxPaintEvent& event);

  JoystickButtonMasks& referenceMasks_;
  int device_ = 0;
  int button_ = 0;
  wxTimer joystickTimer_;  // delivers to itself
};

}  // namespace app
