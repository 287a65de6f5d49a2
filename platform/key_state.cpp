// Virtual-key codes over X11: the code table, the per-layout keycode map and XQueryKeymap.
#include "platform/key_state.h"

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>
#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

constexpr int kVirtualKeyCount = 256;
static_assert(std::tuple_size_v<KeyStateSnapshot::KeycodeTable> == kVirtualKeyCount);

// One virtual-key code and the keysyms of its key. Named keysyms identify the key wherever they
// sit on it; symbols are the punctuation a US layout prints on it, trusted only as a key's first
// level, since other layouts scatter them over other keys.
struct KeyEntry {
  int virtualKey;
  std::vector<unsigned long> named;
  std::vector<unsigned long> symbols;
};

std::vector<KeyEntry> BuildEntries() {
  std::vector<KeyEntry> entries;
  for (unsigned i = 0; i < 26; ++i) entries.push_back({'A' + int(i), {XK_a + i, XK_A + i}, {}});
  const unsigned long digitSymbols[10] = {XK_parenright, XK_exclam,   XK_at,          XK_numbersign,
                                          XK_dollar,     XK_percent,  XK_asciicircum, XK_ampersand,
                                          XK_asterisk,   XK_parenleft};
  for (unsigned i = 0; i < 10; ++i)
    entries.push_back({'0' + int(i), {XK_0 + i}, {digitSymbols[i]}});
  for (unsigned i = 0; i <= VK_F24 - VK_F1; ++i)
    entries.push_back({VK_F1 + int(i), {XK_F1 + i}, {}});
  // Keypad keys keep their numpad codes with Num Lock off, so a hot key on one works either way.
  const unsigned long keypadMoves[10] = {XK_KP_Insert, XK_KP_End,   XK_KP_Down,  XK_KP_Next,
                                         XK_KP_Left,   XK_KP_Begin, XK_KP_Right, XK_KP_Home,
                                         XK_KP_Up,     XK_KP_Prior};
  for (unsigned i = 0; i < 10; ++i)
    entries.push_back({VK_NUMPAD0 + int(i), {XK_KP_0 + i, keypadMoves[i]}, {}});
  const KeyEntry others[] = {
      {VK_BACK, {XK_BackSpace}, {}},
      {VK_TAB, {XK_Tab, XK_ISO_Left_Tab}, {}},
      {VK_CLEAR, {XK_Clear}, {}},
      {VK_RETURN, {XK_Return, XK_KP_Enter}, {}},
      {VK_PAUSE, {XK_Pause, XK_Break}, {}},
      {VK_CAPITAL, {XK_Caps_Lock}, {}},
      {VK_ESCAPE, {XK_Escape}, {}},
      {VK_SPACE, {XK_space, XK_KP_Space}, {}},
      {VK_PRIOR, {XK_Prior}, {}},
      {VK_NEXT, {XK_Next}, {}},
      {VK_END, {XK_End}, {}},
      {VK_HOME, {XK_Home}, {}},
      {VK_LEFT, {XK_Left}, {}},
      {VK_UP, {XK_Up}, {}},
      {VK_RIGHT, {XK_Right}, {}},
      {VK_DOWN, {XK_Down}, {}},
      {VK_SELECT, {XK_Select}, {}},
      {VK_EXECUTE, {XK_Execute}, {}},
      {VK_SNAPSHOT, {XK_Print, XK_Sys_Req}, {}},
      {VK_INSERT, {XK_Insert}, {}},
      {VK_DELETE, {XK_Delete}, {}},
      {VK_HELP, {XK_Help}, {}},
      {VK_LWIN, {XK_Super_L}, {}},
      {VK_RWIN, {XK_Super_R}, {}},
      {VK_APPS, {XK_Menu}, {}},
      {VK_MULTIPLY, {XK_KP_Multiply}, {}},
      {VK_ADD, {XK_KP_Add}, {}},
      {VK_SEPARATOR, {XK_KP_Separator}, {}},
      {VK_SUBTRACT, {XK_KP_Subtract}, {}},
      {VK_DECIMAL, {XK_KP_Decimal, XK_KP_Delete}, {}},
      {VK_DIVIDE, {XK_KP_Divide}, {}},
      {VK_NUMLOCK, {XK_Num_Lock}, {}},
      {VK_SCROLL, {XK_Scroll_Lock}, {}},
      {VK_LSHIFT, {XK_Shift_L}, {}},
      {VK_RSHIFT, {XK_Shift_R}, {}},
      {VK_LCONTROL, {XK_Control_L}, {}},
      {VK_RCONTROL, {XK_Control_R}, {}},
      {VK_LMENU, {XK_Alt_L, XK_Meta_L}, {}},
      // AltGr is the right Alt key on most layouts.
      {VK_RMENU, {XK_Alt_R, XK_Meta_R, XK_ISO_Level3_Shift}, {}},
      {VK_VOLUME_MUTE, {XF86XK_AudioMute}, {}},
      {VK_VOLUME_DOWN, {XF86XK_AudioLowerVolume}, {}},
      {VK_VOLUME_UP, {XF86XK_AudioRaiseVolume}, {}},
      {VK_MEDIA_NEXT_TRACK, {XF86XK_AudioNext}, {}},
      {VK_MEDIA_PREV_TRACK, {XF86XK_AudioPrev}, {}},
      {VK_MEDIA_STOP, {XF86XK_AudioStop}, {}},
      {VK_MEDIA_PLAY_PAUSE, {XF86XK_AudioPlay, XF86XK_AudioPause}, {}},
      {VK_OEM_1, {}, {XK_semicolon, XK_colon}},
      {VK_OEM_PLUS, {}, {XK_equal, XK_plus}},
      {VK_OEM_COMMA, {}, {XK_comma, XK_less}},
      {VK_OEM_MINUS, {}, {XK_minus, XK_underscore}},
      {VK_OEM_PERIOD, {}, {XK_period, XK_greater}},
      {VK_OEM_2, {}, {XK_slash, XK_question}},
      {VK_OEM_3, {}, {XK_grave, XK_asciitilde}},
      {VK_OEM_4, {}, {XK_bracketleft, XK_braceleft}},
      {VK_OEM_5, {}, {XK_backslash, XK_bar}},
      {VK_OEM_6, {}, {XK_bracketright, XK_braceright}},
      {VK_OEM_7, {}, {XK_apostrophe, XK_quotedbl}},
  };
  entries.insert(entries.end(), std::begin(others), std::end(others));
  return entries;
}

struct KeyTable {
  std::unordered_map<unsigned long, int> byNamed;  // left and right codes for modifiers
  std::unordered_map<unsigned long, int> bySymbol;
  std::array<std::vector<unsigned long>, kVirtualKeyCount> keysyms;
};

const KeyTable& Table() {
  static const KeyTable table = [] {
    KeyTable t;
    for (const KeyEntry& entry : BuildEntries()) {
      for (unsigned long keysym : entry.named) t.byNamed.emplace(keysym, entry.virtualKey);
      for (unsigned long keysym : entry.symbols) t.bySymbol.emplace(keysym, entry.virtualKey);
      auto& list = t.keysyms[entry.virtualKey];
      list.insert(list.end(), entry.named.begin(), entry.named.end());
      list.insert(list.end(), entry.symbols.begin(), entry.symbols.end());
    }
    return t;
  }();
  return table;
}

// Keys by position, for keys whose symbols name none (ñ, ç, dead accents, non-Latin letters):
// X keycodes of the main block on a PC keyboard (evdev and the older xfree86 numbering agree
// here) and the code that key has on a US layout.
const std::unordered_map<unsigned, int>& PositionCodes() {
  static const std::unordered_map<unsigned, int> codes = [] {
    std::unordered_map<unsigned, int> c;
    const char* rows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const unsigned rowStarts[] = {10, 24, 38, 52};
    for (int r = 0; r < 4; ++r) {
      for (unsigned i = 0; rows[r][i] != '\0'; ++i) c[rowStarts[r] + i] = rows[r][i];
    }
    const std::pair<unsigned, int> punctuation[] = {
        {20, VK_OEM_MINUS}, {21, VK_OEM_PLUS},   {34, VK_OEM_4}, {35, VK_OEM_6},
        {47, VK_OEM_1},     {48, VK_OEM_7},      {49, VK_OEM_3}, {51, VK_OEM_5},
        {59, VK_OEM_COMMA}, {60, VK_OEM_PERIOD}, {61, VK_OEM_2}, {94, VK_OEM_102}};
    for (const auto& [keycode, vk] : punctuation) c[keycode] = vk;
    return c;
  }();
  return codes;
}

// Codes free for any OEM use, handed out when a layout has more punctuation keys than US codes.
constexpr int kSpareCodes[] = {0xDF, 0xE1, 0xE3, 0xE4, 0xE6, 0xE9, 0xEA, 0xEB, 0xEC,
                               0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5};

int MessageCode(int virtualKey) {
  switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return virtualKey;
  }
}

// The two keys a generic modifier code stands for, or none.
std::pair<int, int> SidesOf(int virtualKey) {
  switch (virtualKey) {
    case VK_SHIFT: return {VK_LSHIFT, VK_RSHIFT};
    case VK_CONTROL: return {VK_LCONTROL, VK_RCONTROL};
    case VK_MENU: return {VK_LMENU, VK_RMENU};
    default: return {0, 0};
  }
}

// The X connection is opened once and never closed: closing it at exit could meet a server
// that is already gone, and Xlib ends the process on a lost connection.
class KeyboardReader {
 public:
  KeyboardReader() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) return;
    // Xlib speaks XKB by itself, and the server then tells of a new layout only through the
    // XKB events that were asked for.
    int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(display_, &opcode, &xkbEventBase_, &errorBase, &major, &minor)) {
      const unsigned events = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
      XkbSelectEvents(display_, XkbUseCoreKbd, events, events);
    } else {
      xkbEventBase_ = -1;
    }
    LoadMapping();
  }

  KeyStateSnapshot Read() {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr) return {};
    TakeMappingChanges();
    std::array<char, 32> keys{};
    XQueryKeymap(display_, keys.data());
    return {keys, keycodesByVk_};
  }

  int VirtualKeyOf(unsigned keycode) {
    std::lock_guard lock(mutex_);
    if (display_ == nullptr) return 0;
    TakeMappingChanges();
    const unsigned index = keycode - static_cast<unsigned>(minKeycode_);
    if (keycode < static_cast<unsigned>(minKeycode_) || index >= vkByKeycode_.size()) return 0;
    return MessageCode(vkByKeycode_[index]);
  }

 private:
  void LoadMapping() {
    int maxKeycode = 0;
    XDisplayKeycodes(display_, &minKeycode_, &maxKeycode);
    int perKeycode = 0;
    KeySym* syms = XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode_),
                                       maxKeycode - minKeycode_ + 1, &perKeycode);
    vkByKeycode_.clear();
    if (syms != nullptr) {
      const std::size_t count = static_cast<std::size_t>(maxKeycode - minKeycode_ + 1) * perKeycode;
      vkByKeycode_ = VirtualKeysOfKeyboardMapping(minKeycode_, perKeycode, {syms, count});
      XFree(syms);
    }
    // A new table, so that snapshots of the old layout keep theirs.
    auto keycodes = std::make_shared<KeyStateSnapshot::KeycodeTable>();
    for (std::size_t i = 0; i < vkByKeycode_.size(); ++i) {
      if (vkByKeycode_[i] != 0)
        (*keycodes)[vkByKeycode_[i]].push_back(minKeycode_ + static_cast<unsigned>(i));
    }
    keycodesByVk_ = std::move(keycodes);
  }

  // Reading the events here also keeps them from piling up on a connection that nothing else reads.
  void TakeMappingChanges() {
    bool changed = false;
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == MappingNotify) {
        changed = changed || event.xmapping.request != MappingPointer;
      } else if (event.type == xkbEventBase_) {
        const int kind = reinterpret_cast<const XkbAnyEvent*>(&event)->xkb_type;
        changed = changed || kind == XkbMapNotify || kind == XkbNewKeyboardNotify;
      }
    }
    if (changed) LoadMapping();
  }

  std::mutex mutex_;
  Display* display_;
  int xkbEventBase_ = -1;
  int minKeycode_ = 0;
  std::vector<int> vkByKeycode_;  // left and right codes for modifiers, by keycode - minKeycode_
  std::shared_ptr<const KeyStateSnapshot::KeycodeTable> keycodesByVk_;
};

KeyboardReader& Reader() {
  static KeyboardReader* reader = new KeyboardReader;
  return *reader;
}

}  // namespace

std::vector<int> VirtualKeysOfKeyboardMapping(int minKeycode, int keysymsPerKeycode,
                                              std::span<const unsigned long> keysyms) {
  if (keysymsPerKeycode <= 0) return {};
  const std::size_t per = static_cast<std::size_t>(keysymsPerKeycode);
  const std::size_t count = keysyms.size() / per;
  const KeyTable& table = Table();
  std::vector<int> codes(count, 0);
  std::array<bool, kVirtualKeyCount> taken{};
  const auto give = [&](std::size_t i, int vk) {
    codes[i] = vk;
    taken[vk] = true;
  };
  const auto firstLevel = [&](std::size_t i) { return keysyms[i * per]; };
  const auto positionCode = [&](std::size_t i) {
    const auto found =
        PositionCodes().find(static_cast<unsigned>(minKeycode) + static_cast<unsigned>(i));
    return found == PositionCodes().end() ? 0 : found->second;
  };

  // Keys that name themselves, at any level: the "1" under a French "&" is still the 1 key.
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t level = 0; level < per && codes[i] == 0; ++level) {
      const auto found = table.byNamed.find(keysyms[i * per + level]);
      if (found != table.byNamed.end()) give(i, found->second);
    }
  }
  // Punctuation, by the US key that prints the key's first symbol, while that code is free.
  for (std::size_t i = 0; i < count; ++i) {
    if (codes[i] != 0) continue;
    const auto found = table.bySymbol.find(firstLevel(i));
    if (found != table.bySymbol.end() && !taken[found->second]) give(i, found->second);
  }
  // Then by position, so that each key of the main block gets a code of its own.
  for (std::size_t i = 0; i < count; ++i) {
    const int vk = positionCode(i);
    if (codes[i] == 0 && vk != 0 && !taken[vk]) give(i, vk);
  }
  std::size_t spare = 0;
  for (std::size_t i = 0; i < count && spare < std::size(kSpareCodes); ++i) {
    const bool wantsCode = positionCode(i) != 0 || table.bySymbol.contains(firstLevel(i));
    if (codes[i] == 0 && wantsCode) give(i, kSpareCodes[spare++]);
  }
  return codes;
}

KeyStateSnapshot::KeyStateSnapshot(const std::array<char, 32>& keys,
                                   std::shared_ptr<const KeycodeTable> keycodes)
    : keys_(keys), keycodes_(std::move(keycodes)) {}

bool KeyStateSnapshot::Down(int virtualKey) const {
  for (unsigned keycode : (*keycodes_)[static_cast<std::size_t>(virtualKey)]) {
    if (keycode / 8 < keys_.size() && (keys_[keycode / 8] & (1 << (keycode % 8))) != 0) return true;
  }
  return false;
}

short KeyStateSnapshot::State(int virtualKey) const {
  if (virtualKey <= 0 || virtualKey >= kVirtualKeyCount || !keycodes_) return 0;
  const auto [left, right] = SidesOf(virtualKey);
  const bool isDown = left != 0 ? Down(left) || Down(right) : Down(virtualKey);
  return isDown ? kKeyDown : 0;
}

KeyStateSnapshot ReadKeyStates() { return Reader().Read(); }

short GetAsyncKeyState(int virtualKey) {
  // A code without a key costs no round trip.
  if (virtualKey <= 0 || virtualKey >= kVirtualKeyCount) return 0;
  return ReadKeyStates().State(virtualKey);
}

int VirtualKeyFromKeycode(unsigned keycode) { return Reader().VirtualKeyOf(keycode); }

int VirtualKeyFromKeysym(unsigned long keysym) {
  const KeyTable& table = Table();
  if (const auto found = table.byNamed.find(keysym); found != table.byNamed.end())
    return MessageCode(found->second);
  if (const auto found = table.bySymbol.find(keysym); found != table.bySymbol.end())
    return found->second;
  return 0;
}

std::vector<unsigned long> KeysymsForVirtualKey(int virtualKey) {
  if (virtualKey <= 0 || virtualKey >= kVirtualKeyCount) return {};
  const KeyTable& table = Table();
  const auto [left, right] = SidesOf(virtualKey);
  if (left == 0) return table.keysyms[virtualKey];
  std::vector<unsigned long> both = table.keysyms[left];
  both.insert(both.end(), table.keysyms[right].begin(), table.keysyms[right].end());
  return both;
}

}  // namespace platform
