// The button assignment under Xvfb: the assignment dialog and the wait box run modally from
// OnAssignButtons, driven by XTest clicks, key presses and virtual joystick buttons.
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include "app/hot_keys/assign_button_dlg.h"
#include "app/hot_keys/assign_buttons.h"
#include "app/hot_keys/press_wait_dlg.h"
#include "pages/font_static.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"
#include "tests/support/ui_script.h"
#include "tests/support/virtual_joystick.h"
#include "tests/support/window_test.h"

// After gtest and wx: Xlib's macros (None, Bool, ...) would clash with their names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace pages;
using namespace app;

namespace {

using test_support::VirtualJoystick;

using testing::ElementsAre;

constexpr int kWheelId = 0x0444B1A5;

// The main dialog as OnAssignButtons sees it, recording the timer and busy calls.
class FakeHost : public AssignButtonsHost {
 public:
  explicit FakeHost(wxWindow* window) : window_(window) {}

  wxWindow* HostWindow() override { return window_; }
  wxString LanguageButtonCaption() const override { return languageCaption; }
  ButtonAssignments& HotKeyAssignments() override { return assignments; }
  JoystickButtonMasks& LastJoystickButtons() override { return masks; }
  AppOptionRefs AppOptions() override { return {enable_window, enable_vr, minimized}; }
  void StopPollTimers() override { calls.push_back("stop timers"); }
  void StartPollTimers() override { calls.push_back("start timers"); }
  void SetBusy(bool busy) override { calls.push_back(busy ? "busy" : "not busy"); }

  wxString languageCaption = "English";
  ButtonAssignments assignments{};
  JoystickButtonMasks masks;
  int enable_window = 0;
  int enable_vr = 0;
  int minimized = 0;
  std::vector<std::string> calls;

 private:
  wxWindow* window_;
};

// The wait box lives on the stack of the capture: once it is gone, the capture has ended.
bool WaitBoxGone() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (dynamic_cast<CPressWaitDlg*>(window) != nullptr) return false;
  }
  return true;
}

template <typename Dialog>
Dialog* OpenDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<Dialog*>(window);
    if (dialog != nullptr && dialog->IsModal() && dialog->IsShownOnScreen()) return dialog;
  }
  return nullptr;
}

// A modal loop can only be left from the inside out: the wait box first.
bool EndInnermostModal() {
  for (wxDialog* dialog : {static_cast<wxDialog*>(OpenDialog<CPressWaitDlg>()),
                           static_cast<wxDialog*>(OpenDialog<CAssignButtonDlg>())}) {
    if (dialog != nullptr) {
      dialog->EndModal(wxID_CANCEL);
      return true;
    }
  }
  return false;
}

class AssignButtonsWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "the window tests need DISPLAY";
    frame_ = new wxFrame(nullptr, wxID_ANY, "main dialog", wxPoint(40, 40), wxSize(900, 600));
    frame_->Show();
    ASSERT_TRUE(PumpUntil([this] { return frame_->IsShownOnScreen(); }));
    host_ = std::make_unique<FakeHost>(frame_);
  }
  void TearDown() override {
    frame_->Destroy();
    DrainEvents();
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  // Runs the command with the script driving its dialogs.
  void RunAssignButtons() {
    script_.Start();
    OnAssignButtons(*host_);
    EXPECT_TRUE(script_.Finished()) << "stuck at: " << script_.StuckAt();
  }

  void Click(wxWindow* window) {
    const wxPoint centre = window->GetScreenRect().GetPosition() + window->GetSize() / 2;
    XTestFakeMotionEvent(display_, -1, centre.x, centre.y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
  }

  // Presses and releases a key, with the modifier held around it when given.
  void Key(unsigned long keysym, unsigned long modifier = NoSymbol) {
    const KeyCode mod = modifier != NoSymbol ? XKeysymToKeycode(display_, modifier) : 0;
    const KeyCode key = XKeysymToKeycode(display_, keysym);
    if (mod != 0) XTestFakeKeyEvent(display_, mod, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    if (mod != 0) XTestFakeKeyEvent(display_, mod, False, CurrentTime);
    XSync(display_, False);
  }

  // The wait box open and under the pointer, so that it has the keyboard too.
  bool WaitBoxReady() {
    CPressWaitDlg* wait = OpenDialog<CPressWaitDlg>();
    if (wait == nullptr) return false;
    const wxPoint centre = wait->GetScreenRect().GetPosition() + wait->GetSize() / 2;
    XTestFakeMotionEvent(display_, -1, centre.x, centre.y, CurrentTime);
    XSync(display_, False);
    return true;
  }

  // The first step: once the assignment dialog is open, a click on one of its controls.
  void ClickWhenOpen(int controlId) {
    script_.Then("assignment dialog open", [this, controlId] {
      if (OpenDialog<CAssignButtonDlg>() == nullptr) return false;
      Click(Control(controlId));
      return true;
    });
  }

  static wxString Caption(std::size_t slot) {
    CAssignButtonDlg* dialog = OpenDialog<CAssignButtonDlg>();
    wxWindow* button =
        dialog ? dialog->FindWindow(CAssignButtonDlg::kFirstCaptureButtonId + int(slot)) : nullptr;
    return button ? button->GetLabel() : wxString("(no dialog)");
  }

  static wxWindow* Control(int id) {
    CAssignButtonDlg* dialog = OpenDialog<CAssignButtonDlg>();
    return dialog ? dialog->FindWindow(id) : nullptr;
  }

  ScopedWorkingDirectory directory_;
  Display* display_ = nullptr;
  wxFrame* frame_ = nullptr;
  std::unique_ptr<FakeHost> host_;
  UiScript script_{EndInnermostModal};
};

TEST_F(AssignButtonsWindowTest, CapturedKeyMovesIntoItsSlotAndAllSlotsAreStored) {
  host_->assignments[kBrakeIncreaseSlot] = {kKeyboardDevice, 'U'};
  host_->assignments[kThrottleCSlot] = {kKeyboardDevice, 'A'};
  std::vector<std::string> callsWhileOpen;
  script_.Then("assignment dialog open", [&] {
    CAssignButtonDlg* dialog = OpenDialog<CAssignButtonDlg>();
    if (dialog == nullptr) return false;
    callsWhileOpen = host_->calls;
    EXPECT_EQ(dialog->GetTitle(), "");
    EXPECT_EQ(Caption(kBrakeIncreaseSlot), "KEYB BT(85)");
    EXPECT_EQ(Caption(kBrakeDecreaseSlot), "J(----) BT(--)");
    EXPECT_EQ(Caption(kThrottleCSlot), "KEYB BT(65)");
    EXPECT_FALSE(Control(1000)->IsEnabled());
    EXPECT_FALSE(Control(1001)->IsEnabled());
    EXPECT_TRUE(Control(1002)->IsEnabled());
    EXPECT_FALSE(Control(CAssignButtonDlg::kMonitorVrId)->IsShown());
    EXPECT_EQ(Control(CAssignButtonDlg::kMinimizedId)->GetLabel(), "Arrancar Minimizado");
    EXPECT_EQ(static_cast<CFontStatic*>(Control(1066))->ShownText(), "Throttle A");
    return true;
  });
  script_.Then("screenshot of the dialog", [&] {
    SaveScreenshot("assign_buttons");
    Click(Control(1002));
    return true;
  });
  script_.Then("wait box open", [&] { return WaitBoxReady(); });
  script_.Then("screenshot of the wait box", [&] {
    SaveScreenshot("press_wait");
    Key(XK_a);
    return true;
  });
  script_.Then("key captured", [&] {
    if (!WaitBoxGone()) return false;
    EXPECT_EQ(Caption(kThrottleASlot), "KEYB BT(65)");
    EXPECT_EQ(Caption(kThrottleCSlot), "J(----) BT(--)");
    SendWindowManagerClose(OpenDialog<CAssignButtonDlg>());
    return true;
  });
  RunAssignButtons();

  EXPECT_THAT(callsWhileOpen, ElementsAre("stop timers", "busy"));
  EXPECT_THAT(host_->calls, ElementsAre("stop timers", "busy", "start timers", "not busy"));
  const ButtonAssignments expected{{{kKeyboardDevice, 'U'}, {}, {kKeyboardDevice, 'A'}, {}, {}}};
  EXPECT_EQ(host_->assignments, expected);
  EXPECT_EQ(ReadButtonAssignments(platform::kSettingsFile), expected);
}

TEST_F(AssignButtonsWindowTest, JoystickButtonsAreCapturedAndEscUnassigns) {
  VirtualJoystick wheel(0x0444, 0xB1A5);
  host_->assignments[kThrottleBSlot] = {kKeyboardDevice, 'B'};
  ClickWhenOpen(1002);
  script_.Then("wait box for A", [&] {
    if (!WaitBoxReady()) return false;
    wheel.Press(2);
    wheel.Press(5);
    return true;
  });
  script_.Then("button 5 captured for A", [&] {
    if (!WaitBoxGone()) return false;
    EXPECT_EQ(Caption(kThrottleASlot), "J(0444B1A5) BT(5)");
    wheel.Release(2);
    wheel.Release(5);
    Click(Control(1004));
    return true;
  });
  script_.Then("wait box for C", [&] {
    if (!WaitBoxReady()) return false;
    wheel.Press(5);
    return true;
  });
  script_.Then("button 5 moved from A to C", [&] {
    if (!WaitBoxGone()) return false;
    EXPECT_EQ(Caption(kThrottleASlot), "J(----) BT(--)");
    EXPECT_EQ(Caption(kThrottleCSlot), "J(0444B1A5) BT(5)");
    wheel.Release(5);
    Click(Control(1003));
    return true;
  });
  script_.Then("wait box for B", [&] {
    if (!WaitBoxReady()) return false;
    Key(XK_Escape);
    return true;
  });
  script_.Then("B unassigned by Esc", [&] {
    if (!WaitBoxGone()) return false;
    EXPECT_EQ(Caption(kThrottleBSlot), "J(----) BT(--)");
    // Esc in the assignment dialog closes it like the close box.
    const wxPoint centre =
        OpenDialog<CAssignButtonDlg>()->GetScreenRect().GetPosition() + wxPoint(20, 20);
    XTestFakeMotionEvent(display_, -1, centre.x, centre.y, CurrentTime);
    Key(XK_Escape);
    return true;
  });
  RunAssignButtons();

  const ButtonAssignments expected{{{}, {}, {}, {}, {kWheelId, 5}}};
  EXPECT_EQ(host_->assignments, expected);
  EXPECT_EQ(ReadButtonAssignments(platform::kSettingsFile), expected);
  EXPECT_THAT(host_->masks, ElementsAre(testing::Pair(kWheelId, 0u)));
}

TEST_F(AssignButtonsWindowTest, SystemKeysAreNotCaptured) {
  ClickWhenOpen(1003);
  script_.Then("wait box open", [&] {
    if (!WaitBoxReady()) return false;
    // The keys arrive in order, and the first one taken ends the capture: only F9 may be it.
    Key(XK_F10);
    Key(XK_x, XK_Alt_L);
    Key(XK_Alt_L);
    Key(XK_F9);
    return true;
  });
  script_.Then("F9 captured", [&] {
    if (!WaitBoxGone()) return false;
    EXPECT_EQ(Caption(kThrottleBSlot), "KEYB BT(120)");
    SendWindowManagerClose(OpenDialog<CAssignButtonDlg>());
    return true;
  });
  RunAssignButtons();
  EXPECT_EQ(host_->assignments[kThrottleBSlot], (ButtonAssignment{kKeyboardDevice, 0x78}));
}

TEST_F(AssignButtonsWindowTest, OptionBoxesAreSavedAtOnce) {
  host_->languageCaption = "Español";
  host_->minimized = 1;
  script_.Then("assignment dialog open", [&] {
    if (OpenDialog<CAssignButtonDlg>() == nullptr) return false;
    auto* minimized = static_cast<wxCheckBox*>(Control(CAssignButtonDlg::kMinimizedId));
    EXPECT_EQ(minimized->GetLabel(), "Start Minimized");
    EXPECT_TRUE(minimized->GetValue());
    EXPECT_FALSE(static_cast<wxCheckBox*>(Control(CAssignButtonDlg::kMonitorId))->GetValue());
    Click(Control(CAssignButtonDlg::kMonitorId));
    return true;
  });
  script_.Then("enable_window written while open", [&] {
    if (platform::GetPrivateProfileInt("MONITOR", "enable_window", -1, platform::kSettingsFile) !=
        1)
      return false;
    EXPECT_EQ(host_->enable_window, 1);
    EXPECT_EQ(platform::GetPrivateProfileInt("MONITOR", "enable_vr", -1, platform::kSettingsFile),
              0);
    EXPECT_EQ(platform::GetPrivateProfileInt("START", "minimized", -1, platform::kSettingsFile), 1);
    Click(Control(CAssignButtonDlg::kMinimizedId));
    return true;
  });
  script_.Then("minimized cleared", [&] {
    if (platform::GetPrivateProfileInt("START", "minimized", -1, platform::kSettingsFile) != 0)
      return false;
    EXPECT_EQ(host_->minimized, 0);
    SendWindowManagerClose(OpenDialog<CAssignButtonDlg>());
    return true;
  });
  RunAssignButtons();
  EXPECT_EQ(host_->enable_window, 1);
  EXPECT_EQ(host_->minimized, 0);
}

}  // namespace
