// The wait box of the button assignment: a key press or a joystick button ends it.
#include "app/hot_keys/press_wait_dlg.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "app/hot_keys/button_assignment.h"
#include "pages/dialog_units.h"
#include "platform/key_state.h"

namespace app {

namespace {

constexpr const char* kPromptText = "PRESS BUTTON...";

// The virtual-key code of a key event; 0 for a key without one.
int VirtualKeyOf(const wxKeyEvent& event) {
  // On GTK the raw flags are the hardware keycode and the raw code is the keysym.
  const int fromKeycode = platform::VirtualKeyFromKeycode(event.GetRawKeyFlags());
  return fromKeycode != 0 ? fromKeycode : platform::VirtualKeyFromKeysym(event.GetRawKeyCode());
}

// F10, Alt and keys held with Alt are system keys: the capture leaves them to the window's own
// handling.
bool IsSystemKey(const wxKeyEvent& event, int virtualKey) {
  return event.AltDown() || virtualKey == platform::VK_MENU || virtualKey == platform::VK_LMENU ||
         virtualKey == platform::VK_RMENU || virtualKey == platform::VK_F10;
}

}  // namespace

CPressWaitDlg::CPressWaitDlg(wxWindow* parent, JoystickButtonMasks& referenceMasks)
    // No caption: the box only asks for a press.
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxSYSTEM_MENU),
      referenceMasks_(referenceMasks) {
  SetFont(wxFontInfo(pages::kDialogFontPoints).FaceName(pages::kDialogFace));
  const pages::DialogUnits units = pages::DialogUnits::For(this);
  SetClientSize(units.Size(kWidthDlu, kHeightDlu));
  new wxStaticText(this, wxID_STATIC, kPromptText, units.Point(33, 30), units.Size(102, 24),
                   wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  Bind(wxEVT_CHAR_HOOK, &CPressWaitDlg::OnCharHook, this);
  Bind(wxEVT_PAINT, &CPressWaitDlg::OnPaint, this);
  // The prompt keeps its place: a top-level window would stretch its only child over itself.
  Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
  joystickTimer_.Bind(wxEVT_TIMER, &CPressWaitDlg::OnTimer, this);
  CentreOnParent();
}

int CPressWaitDlg::WaitForPress(int& device, int& button) {
  device_ = device;
  button_ = button;
  joystickTimer_.Start(kJoystickPeriodMs);
  const int result = ShowModal();
  joystickTimer_.Stop();
  device = device_;
  button = button_;
  return result;
}

void CPressWaitDlg::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_ESCAPE) {
    EndModal(wxID_CANCEL);
    return;
  }
  const int virtualKey = VirtualKeyOf(event);
  // A key without a code could never be seen by the hot-key poll: keep waiting.
  if (virtualKey == 0 || IsSystemKey(event, virtualKey)) {
    event.Skip();
    return;
  }
  device_ = kKeyboardDevice;
  button_ = virtualKey;
  EndModal(wxID_OK);
}

void CPressWaitDlg::OnTimer(wxTimerEvent&) {
  if (IsModal() && DetectJoystickButtonChange(referenceMasks_, button_, device_)) {
    EndModal(wxID_OK);
  }
}

void CPressWaitDlg::OnPaint(wxPaintEvent&) {
  // The box has no caption; its frame sets it off from the window below.
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW)));
  dc.DrawRectangle(0, 0, size.GetWidth(), size.GetHeight());
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW)));
  dc.DrawRectangle(1, 1, size.GetWidth() - 2, size.GetHeight() - 2);
}

}  // namespace app
