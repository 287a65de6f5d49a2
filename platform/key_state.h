// Keyboard keys by Windows virtual-key code: the global key state read from the X server, and
// the translation between virtual-key codes (what the settings file stores) and X11 keysyms.
#pragma once

#include <array>
#include <memory>
#include <span>
#include <vector>

namespace platform {

// Virtual-key codes. Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;    // either Shift key
inline constexpr int VK_CONTROL = 0x11;  // either Ctrl key
inline constexpr int VK_MENU = 0x12;     // either Alt key
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;  // Page Up
inline constexpr int VK_NEXT = 0x22;   // Page Down
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_SELECT = 0x29;
inline constexpr int VK_EXECUTE = 0x2B;
inline constexpr int VK_SNAPSHOT = 0x2C;  // Print Screen
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_HELP = 0x2F;
inline constexpr int VK_LWIN = 0x5B;
inline constexpr int VK_RWIN = 0x5C;
inline constexpr int VK_APPS = 0x5D;     // context-menu key
inline constexpr int VK_NUMPAD0 = 0x60;  // VK_NUMPAD1..VK_NUMPAD9 follow
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SEPARATOR = 0x6C;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;  // VK_F2..VK_F24 follow, up to 0x87
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F24 = 0x87;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;
inline constexpr int VK_VOLUME_MUTE = 0xAD;
inline constexpr int VK_VOLUME_DOWN = 0xAE;
inline constexpr int VK_VOLUME_UP = 0xAF;
inline constexpr int VK_MEDIA_NEXT_TRACK = 0xB0;
inline constexpr int VK_MEDIA_PREV_TRACK = 0xB1;
inline constexpr int VK_MEDIA_STOP = 0xB2;
inline constexpr int VK_MEDIA_PLAY_PAUSE = 0xB3;
// Punctuation keys, named by what they carry on a US layout.
inline constexpr int VK_OEM_1 = 0xBA;       // ; :
inline constexpr int VK_OEM_PLUS = 0xBB;    // = +
inline constexpr int VK_OEM_COMMA = 0xBC;   // , <
inline constexpr int VK_OEM_MINUS = 0xBD;   // - _
inline constexpr int VK_OEM_PERIOD = 0xBE;  // . >
inline constexpr int VK_OEM_2 = 0xBF;       // / ?
inline constexpr int VK_OEM_3 = 0xC0;       // ` ~
inline constexpr int VK_OEM_4 = 0xDB;       // [ {
inline constexpr int VK_OEM_5 = 0xDC;       // \ |
inline constexpr int VK_OEM_6 = 0xDD;       // ] }
inline constexpr int VK_OEM_7 = 0xDE;       // ' "
inline constexpr int VK_OEM_102 = 0xE2;     // the extra < > key of ISO keyboards

// What GetAsyncKeyState returns for a key that is down (the high bit of a short).
inline constexpr short kKeyDown = static_cast<short>(0x8000);

// kKeyDown while the key is held, 0 otherwise. VK_SHIFT, VK_CONTROL and VK_MENU are down while
// either of their two keys is. Keypad keys are VK_NUMPAD0..9 and VK_DECIMAL whatever the Num Lock
// state. The state is the X server's, so it holds whichever window has the focus; the display
// ($DISPLAY) is opened on the first call and kept. Without a display, and for codes outside
// 1..254 or without a key on the current layout, every key reads as up; nothing is reported and
// the display is not tried again. The low "pressed since the last call" bit is never set.
// Costs one round trip to the X server; ReadKeyStates answers several keys with one.
short GetAsyncKeyState(int virtualKey);

// The whole keyboard as one reading of the X server saw it: for a caller that asks about several
// keys at once, one round trip instead of one per key. States answer as GetAsyncKeyState does.
class KeyStateSnapshot {
 public:
  // The keycodes of each virtual-key code (left and right ones for the modifiers) under the
  // layout of the reading.
  using KeycodeTable = std::array<std::vector<unsigned>, 256>;

  // Every key up.
  KeyStateSnapshot() = default;
  // keys: one bit per X keycode, as XQueryKeymap gives it.
  KeyStateSnapshot(const std::array<char, 32>& keys, std::shared_ptr<const KeycodeTable> keycodes);

  // kKeyDown while the key was held at the reading, 0 otherwise.
  short State(int virtualKey) const;

 private:
  bool Down(int virtualKey) const;

  std::array<char, 32> keys_{};
  std::shared_ptr<const KeycodeTable> keycodes_;  // shared with the reader until the layout changes
};

// Reads the state of every key: one round trip to the X server. Without a display every key
// reads as up, as with GetAsyncKeyState.
KeyStateSnapshot ReadKeyStates();

// The code a key message carries for this key: the key's virtual-key code, except that the Shift,
// Ctrl and Alt keys give VK_SHIFT, VK_CONTROL and VK_MENU, not their left or right codes.
// 0 for a key without a code.
//
// From an X keycode (the hardware key, as a key event gives it), through the display's current
// layout; 0 as well when there is no display. Prefer this one: it does not depend on the Shift
// state or on where the layout puts its symbols.
int VirtualKeyFromKeycode(unsigned keycode);
// From an X keysym alone, as a US layout places it: shifted symbols ("!" "@" ":" "<" ...) give
// the key that carries them there.
int VirtualKeyFromKeysym(unsigned long keysym);

// The keysyms that VirtualKeyFromKeysym takes to this code, the key's unshifted one first; both
// sides' for VK_SHIFT, VK_CONTROL and VK_MENU. Empty for a code without a key of its own on a US
// layout (VK_OEM_102 is known by position only).
std::vector<unsigned long> KeysymsForVirtualKey(int virtualKey);

// The virtual-key code of every keycode of a keyboard mapping (keysymsPerKeycode keysyms per
// keycode from minKeycode on, in level order, as the X server hands it out), 0 for a keycode
// without one; left and right codes for Shift, Ctrl and Alt. A keysym that names a key counts
// at any level, so the "1" under a French "&" is still the 1 key. The other keys of the main
// block get the code of the US key that prints their first symbol, while that code is free,
// else the code of the US key in their place, else a spare OEM code: on any layout each of
// them gets a code that no other key has.
std::vector<int> VirtualKeysOfKeyboardMapping(int minKeycode, int keysymsPerKeycode,
                                              std::span<const unsigned long> keysyms);

}  // namespace platform
