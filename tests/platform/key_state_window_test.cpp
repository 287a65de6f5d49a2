// The key state on a real X server: keys pressed through XTest read as down, then up again,
// keycodes translate to their codes, and a layout change is followed.
#include "platform/key_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

// After gtest: Xlib's macros (None, Bool, ...) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace platform;

// The test's own connection, apart from the one the key-state layer keeps.
class KeyStateWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "the window tests need DISPLAY";
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display_, &event, &error, &major, &minor));
  }

  void TearDown() override {
    if (display_ == nullptr) return;
    for (KeyCode keycode : held_) XTestFakeKeyEvent(display_, keycode, False, CurrentTime);
    if (remapped_ != 0) SetKeysym(remapped_, NoSymbol);
    XSync(display_, False);
    XCloseDisplay(display_);
  }

  KeyCode KeycodeOf(unsigned long keysym) { return XKeysymToKeycode(display_, keysym); }

  unsigned long FirstKeysym(KeyCode keycode) {
    int per = 0;
    KeySym* syms = XGetKeyboardMapping(display_, keycode, 1, &per);
    const unsigned long first = syms != nullptr && per > 0 ? syms[0] : NoSymbol;
    XFree(syms);
    return first;
  }

  void Key(KeyCode keycode, bool down) {
    XTestFakeKeyEvent(display_, keycode, down ? True : False, CurrentTime);
    XSync(display_, False);
    if (down) {
      held_.push_back(keycode);
    } else {
      std::erase(held_, keycode);
    }
  }

  void SetKeysym(KeyCode keycode, unsigned long keysym) {
    KeySym syms[1] = {keysym};
    XChangeKeyboardMapping(display_, keycode, 1, syms, 1);
    XSync(display_, False);
  }

  // The server takes the fake event from the test's connection; the layer asks on its own, so
  // give the server a moment to have handled it.
  template <typename Condition>
  static bool Eventually(Condition condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  static bool IsDown(int vk) { return (GetAsyncKeyState(vk) & kKeyDown) != 0; }

  Display* display_ = nullptr;
  std::vector<KeyCode> held_;
  KeyCode remapped_ = 0;
};

TEST_F(KeyStateWindowTest, AKeyReadsDownWhileHeldAndUpAfter) {
  struct Case {
    unsigned long keysym;
    int vk;
  };
  const Case cases[] = {
      {XK_a, 'A'},
      {XK_7, '7'},
      {XK_F1, VK_F1},
      {XK_F12, VK_F1 + 11},
      {XK_KP_1, VK_NUMPAD0 + 1},
      {XK_KP_Add, VK_ADD},
      {XK_Left, VK_LEFT},
      {XK_Prior, VK_PRIOR},
      {XK_Home, VK_HOME},
      {XK_Delete, VK_DELETE},
      {XK_Insert, VK_INSERT},
      {XK_space, VK_SPACE},
      {XK_Return, VK_RETURN},
      {XK_KP_Enter, VK_RETURN},
      {XK_Escape, VK_ESCAPE},
      {XK_Tab, VK_TAB},
      {XK_BackSpace, VK_BACK},
      {XK_comma, VK_OEM_COMMA},
      {XK_bracketleft, VK_OEM_4},
      {XK_apostrophe, VK_OEM_7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "keysym " << XKeysymToString(c.keysym));
    const KeyCode keycode = KeycodeOf(c.keysym);
    ASSERT_NE(keycode, 0);
    EXPECT_FALSE(IsDown(c.vk));
    Key(keycode, true);
    EXPECT_TRUE(Eventually([&] { return IsDown(c.vk); }));
    EXPECT_EQ(GetAsyncKeyState(c.vk), kKeyDown);
    EXPECT_FALSE(IsDown(c.vk == 'Z' ? 'Y' : 'Z'));
    Key(keycode, false);
    EXPECT_TRUE(Eventually([&] { return !IsDown(c.vk); }));
    EXPECT_EQ(GetAsyncKeyState(c.vk), 0);
  }
}

TEST_F(KeyStateWindowTest, ModifiersReadBySideAndAsEitherSide) {
  struct Case {
    unsigned long keysym;
    int side;
    int otherSide;
    int either;
  };
  const Case cases[] = {{XK_Shift_L, VK_LSHIFT, VK_RSHIFT, VK_SHIFT},
                        {XK_Shift_R, VK_RSHIFT, VK_LSHIFT, VK_SHIFT},
                        {XK_Control_L, VK_LCONTROL, VK_RCONTROL, VK_CONTROL},
                        {XK_Control_R, VK_RCONTROL, VK_LCONTROL, VK_CONTROL},
                        {XK_Alt_L, VK_LMENU, VK_RMENU, VK_MENU}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "keysym " << XKeysymToString(c.keysym));
    const KeyCode keycode = KeycodeOf(c.keysym);
    ASSERT_NE(keycode, 0);
    Key(keycode, true);
    EXPECT_TRUE(Eventually([&] { return IsDown(c.side); }));
    EXPECT_TRUE(IsDown(c.either));
    EXPECT_FALSE(IsDown(c.otherSide));
    Key(keycode, false);
    EXPECT_TRUE(Eventually([&] { return !IsDown(c.either); }));
    EXPECT_FALSE(IsDown(c.side));
  }
}

// One reading answers every key as it was at that moment, as GetAsyncKeyState would have.
TEST_F(KeyStateWindowTest, OneReadingAnswersEveryKeyAsItWasThen) {
  Key(KeycodeOf(XK_a), true);
  Key(KeycodeOf(XK_Shift_R), true);
  ASSERT_TRUE(Eventually([] { return IsDown('A') && IsDown(VK_SHIFT); }));
  const KeyStateSnapshot held = ReadKeyStates();
  Key(KeycodeOf(XK_a), false);
  Key(KeycodeOf(XK_Shift_R), false);
  ASSERT_TRUE(Eventually([] { return !IsDown('A') && !IsDown(VK_SHIFT); }));
  const KeyStateSnapshot released = ReadKeyStates();
  struct Case {
    int vk;
    short whileHeld;
  };
  for (const Case& c : {Case{'A', kKeyDown}, Case{VK_SHIFT, kKeyDown}, Case{VK_RSHIFT, kKeyDown},
                        Case{VK_LSHIFT, 0}, Case{'B', 0}, Case{0, 0}, Case{256, 0}}) {
    EXPECT_EQ(held.State(c.vk), c.whileHeld) << c.vk;
    EXPECT_EQ(released.State(c.vk), 0) << c.vk;
  }
  EXPECT_EQ(KeyStateSnapshot().State('A'), 0);
}

TEST_F(KeyStateWindowTest, CodesOutsideTheTableReadUpWhileKeysAreHeld) {
  Key(KeycodeOf(XK_b), true);
  ASSERT_TRUE(Eventually([] { return IsDown('B'); }));
  for (int vk : {0, -1, -32768, 256, 1000, 0x07, 0xFF}) EXPECT_EQ(GetAsyncKeyState(vk), 0) << vk;
}

// What a key event's keycode gives on the server's own layout is the code the key state
// watches for that key; Shift, Ctrl and Alt come out as their generic codes.
TEST_F(KeyStateWindowTest, KeycodesTranslateToTheCodesKeyMessagesCarry) {
  int checked = 0;
  for (int vk = 1; vk < 256; ++vk) {
    if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) continue;
    const std::vector<unsigned long> keysyms = KeysymsForVirtualKey(vk);
    if (keysyms.empty()) continue;
    const KeyCode keycode = KeycodeOf(keysyms.front());
    if (keycode == 0) continue;  // no such key on this server's layout
    int expected = vk;
    if (vk >= VK_LSHIFT && vk <= VK_RMENU) expected = VK_SHIFT + (vk - VK_LSHIFT) / 2;
    EXPECT_EQ(VirtualKeyFromKeycode(keycode), expected) << "code 0x" << std::hex << vk;
    ++checked;
  }
  EXPECT_GT(checked, 90);
  // The extra key of ISO keyboards prints "<" as the comma key does when shifted.
  const KeyCode isoKey = 94;
  if (FirstKeysym(isoKey) == XK_less) {
    EXPECT_EQ(VirtualKeyFromKeycode(isoKey), VK_OEM_102);
  }
  EXPECT_EQ(VirtualKeyFromKeycode(0), 0);
  EXPECT_EQ(VirtualKeyFromKeycode(100000), 0);
}

TEST_F(KeyStateWindowTest, FollowsAChangeOfTheKeyboardLayout) {
  int minKeycode = 0, maxKeycode = 0, per = 0;
  XDisplayKeycodes(display_, &minKeycode, &maxKeycode);
  KeySym* syms = XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode),
                                     maxKeycode - minKeycode + 1, &per);
  ASSERT_NE(syms, nullptr);
  for (int keycode = maxKeycode; keycode >= minKeycode && remapped_ == 0; --keycode) {
    bool empty = true;
    for (int level = 0; level < per; ++level)
      empty = empty && syms[(keycode - minKeycode) * per + level] == NoSymbol;
    if (empty) remapped_ = static_cast<KeyCode>(keycode);
  }
  XFree(syms);
  ASSERT_NE(remapped_, 0) << "no free keycode to map";
  // A code that no key of the layout has yet.
  int vk = 0;
  for (int candidate : {VK_F24, VK_F1 + 22, VK_F1 + 21, VK_EXECUTE, VK_SELECT, VK_HELP}) {
    if (KeycodeOf(KeysymsForVirtualKey(candidate).front()) == 0) {
      vk = candidate;
      break;
    }
  }
  ASSERT_NE(vk, 0);
  ASSERT_EQ(VirtualKeyFromKeycode(remapped_), 0);

  SetKeysym(remapped_, KeysymsForVirtualKey(vk).front());
  EXPECT_TRUE(Eventually([&] { return VirtualKeyFromKeycode(remapped_) == vk; }));
  Key(remapped_, true);
  EXPECT_TRUE(Eventually([&] { return IsDown(vk); }));
  Key(remapped_, false);
  EXPECT_TRUE(Eventually([&] { return !IsDown(vk); }));
}

}  // namespace
