// Virtual-key codes without a display: the keysym table, keyboard mappings of several layouts,
// and a key state that reads as up, quietly, where no X server can be reached.
#include "platform/key_state.h"

#include <X11/keysym.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

namespace {

using namespace platform;

constexpr int kMinKeycode = 8;
constexpr unsigned long kNoSymbol = 0;

// A keyboard mapping as the X server hands it out: a fixed number of keysyms per keycode.
class Layout {
 public:
  Layout(std::map<unsigned, std::vector<unsigned long>> keys) : keys_(std::move(keys)) {}

  // The code of each keycode of the layout.
  std::map<unsigned, int> Codes() const {
    std::size_t per = 1;
    for (const auto& [keycode, syms] : keys_) per = std::max(per, syms.size());
    std::vector<unsigned long> flat((256 - kMinKeycode) * per, kNoSymbol);
    for (const auto& [keycode, syms] : keys_) {
      std::copy(syms.begin(), syms.end(), flat.begin() + (keycode - kMinKeycode) * per);
    }
    const std::vector<int> codes =
        VirtualKeysOfKeyboardMapping(kMinKeycode, static_cast<int>(per), flat);
    std::map<unsigned, int> byKeycode;
    for (const auto& [keycode, syms] : keys_) byKeycode[keycode] = codes.at(keycode - kMinKeycode);
    return byKeycode;
  }

 private:
  std::map<unsigned, std::vector<unsigned long>> keys_;
};

void ExpectDistinctCodes(const std::map<unsigned, int>& codes) {
  std::map<int, unsigned> owner;
  for (const auto& [keycode, vk] : codes) {
    EXPECT_NE(vk, 0) << "keycode " << keycode << " has no code";
    const auto [it, fresh] = owner.emplace(vk, keycode);
    EXPECT_TRUE(fresh) << "keycodes " << it->second << " and " << keycode << " share code " << vk;
  }
}

TEST(KeyTableTest, KeysymsTranslateToTheCodesKeyMessagesCarry) {
  struct Case {
    unsigned long keysym;
    int vk;
  };
  const Case cases[] = {
      {XK_a, 'A'},
      {XK_A, 'A'},
      {XK_z, 'Z'},
      {XK_0, '0'},
      {XK_exclam, '1'},
      {XK_parenleft, '9'},
      {XK_F1, VK_F1},
      {XK_F24, VK_F24},
      {XK_KP_1, VK_NUMPAD0 + 1},
      {XK_KP_End, VK_NUMPAD0 + 1},
      {XK_KP_Delete, VK_DECIMAL},
      {XK_KP_Enter, VK_RETURN},
      {XK_Return, VK_RETURN},
      {XK_ISO_Left_Tab, VK_TAB},
      {XK_Shift_L, VK_SHIFT},
      {XK_Shift_R, VK_SHIFT},
      {XK_Control_R, VK_CONTROL},
      {XK_Alt_L, VK_MENU},
      {XK_ISO_Level3_Shift, VK_MENU},
      {XK_Page_Up, VK_PRIOR},
      {XK_Next, VK_NEXT},
      {XK_semicolon, VK_OEM_1},
      {XK_colon, VK_OEM_1},
      {XK_less, VK_OEM_COMMA},
      {XK_question, VK_OEM_2},
      {XK_quotedbl, VK_OEM_7},
      {XK_ntilde, 0},
      {XK_dead_acute, 0},
      {kNoSymbol, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VirtualKeyFromKeysym(c.keysym), c.vk) << "keysym 0x" << std::hex << c.keysym;
}

// Every keysym listed for a code leads back to it, and no keysym is listed under two codes.
TEST(KeyTableTest, KeysymsOfEveryCodeLeadBackToIt) {
  std::set<unsigned long> seen;
  int codesWithKeys = 0;
  for (int vk = 1; vk < 256; ++vk) {
    const std::vector<unsigned long> keysyms = KeysymsForVirtualKey(vk);
    const bool generic = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
    const bool sided = vk >= VK_LSHIFT && vk <= VK_RMENU;
    int expected = vk;
    if (sided) expected = VK_SHIFT + (vk - VK_LSHIFT) / 2;
    for (unsigned long keysym : keysyms) {
      EXPECT_EQ(VirtualKeyFromKeysym(keysym), expected)
          << "code 0x" << std::hex << vk << " keysym 0x" << keysym;
      if (!generic) {
        EXPECT_TRUE(seen.insert(keysym).second)
            << "keysym 0x" << std::hex << keysym << " listed twice";
      }
    }
    if (!keysyms.empty()) ++codesWithKeys;
  }
  EXPECT_GT(codesWithKeys, 120);
}

TEST(KeyTableTest, ListsTheUnshiftedKeysymFirstAndBothSidesForGenericModifiers) {
  EXPECT_EQ(KeysymsForVirtualKey('A').front(), XK_a);
  EXPECT_EQ(KeysymsForVirtualKey('1').front(), XK_1);
  EXPECT_EQ(KeysymsForVirtualKey(VK_OEM_COMMA).front(), XK_comma);
  EXPECT_EQ(KeysymsForVirtualKey(VK_NUMPAD0 + 7).front(), XK_KP_7);
  EXPECT_THAT(KeysymsForVirtualKey(VK_SHIFT), testing::ElementsAre(XK_Shift_L, XK_Shift_R));
  EXPECT_THAT(KeysymsForVirtualKey(VK_LCONTROL), testing::ElementsAre(XK_Control_L));
  for (int vk : {0, -1, 256, VK_OEM_102, 0x07, 0xFF})
    EXPECT_TRUE(KeysymsForVirtualKey(vk).empty()) << vk;
}

TEST(KeyboardMappingTest, UsLayoutGivesTheUsCodes) {
  const Layout us({{10, {XK_1, XK_exclam}},
                   {19, {XK_0, XK_parenright}},
                   {20, {XK_minus, XK_underscore}},
                   {24, {XK_q, XK_Q}},
                   {47, {XK_semicolon, XK_colon}},
                   {51, {XK_backslash, XK_bar}},
                   {59, {XK_comma, XK_less}},
                   {60, {XK_period, XK_greater}},
                   {94, {XK_less, XK_greater, XK_bar, XK_brokenbar}},
                   {50, {XK_Shift_L}},
                   {62, {XK_Shift_R}},
                   {64, {XK_Alt_L, XK_Meta_L}},
                   {108, {XK_Alt_R, XK_Meta_R}},
                   {87, {XK_KP_End, XK_KP_1}},
                   {104, {XK_KP_Enter}},
                   {204, {kNoSymbol, XK_Alt_L}},
                   {133, {XK_Super_L}},
                   {255, {kNoSymbol}}});
  const std::map<unsigned, int> expected = {{10, '1'},          {19, '0'},
                                            {20, VK_OEM_MINUS}, {24, 'Q'},
                                            {47, VK_OEM_1},     {51, VK_OEM_5},
                                            {59, VK_OEM_COMMA}, {60, VK_OEM_PERIOD},
                                            {94, VK_OEM_102},   {50, VK_LSHIFT},
                                            {62, VK_RSHIFT},    {64, VK_LMENU},
                                            {108, VK_RMENU},    {87, VK_NUMPAD0 + 1},
                                            {104, VK_RETURN},   {204, VK_LMENU},
                                            {133, VK_LWIN},     {255, 0}};
  EXPECT_EQ(us.Codes(), expected);
}

// Spanish keys carry ñ, ç, dead accents and punctuation in other places: each key still gets
// a code of its own, and keys that print a US punctuation mark first get that mark's code.
TEST(KeyboardMappingTest, SpanishPunctuationKeysEachGetACodeOfTheirOwn) {
  const Layout es({{20, {XK_apostrophe, XK_question}},
                   {21, {XK_exclamdown, XK_questiondown}},
                   {34, {XK_dead_grave, XK_dead_circumflex}},
                   {35, {XK_plus, XK_asterisk}},
                   {47, {XK_ntilde, XK_Ntilde}},
                   {48, {XK_dead_acute, XK_dead_diaeresis}},
                   {49, {XK_masculine, XK_ordfeminine}},
                   {51, {XK_ccedilla, XK_Ccedilla}},
                   {59, {XK_comma, XK_semicolon}},
                   {60, {XK_period, XK_colon}},
                   {61, {XK_minus, XK_underscore}},
                   {94, {XK_less, XK_greater}},
                   {10, {XK_1, XK_exclam}},
                   {29, {XK_y, XK_Y}}});
  const std::map<unsigned, int> codes = es.Codes();
  ExpectDistinctCodes(codes);
  EXPECT_EQ(codes.at(35), VK_OEM_PLUS);
  EXPECT_EQ(codes.at(61), VK_OEM_MINUS);
  EXPECT_EQ(codes.at(47), VK_OEM_1);
  EXPECT_EQ(codes.at(94), VK_OEM_102);
  EXPECT_EQ(codes.at(29), 'Y');
}

TEST(KeyboardMappingTest, FrenchDigitsUnderSymbolsAndMovedLettersKeepTheirCodes) {
  const Layout fr({{10, {XK_ampersand, XK_1}},
                   {11, {XK_eacute, XK_2}},
                   {24, {XK_a, XK_A}},
                   {38, {XK_q, XK_Q}},
                   {47, {XK_m, XK_M}},
                   {58, {XK_comma, XK_question}},
                   {59, {XK_semicolon, XK_period}},
                   {60, {XK_colon, XK_slash}},
                   {61, {XK_exclam, XK_section}},
                   {20, {XK_parenright, XK_degree}}});
  const std::map<unsigned, int> codes = fr.Codes();
  ExpectDistinctCodes(codes);
  EXPECT_EQ(codes.at(10), '1');
  EXPECT_EQ(codes.at(11), '2');
  EXPECT_EQ(codes.at(24), 'A');
  EXPECT_EQ(codes.at(38), 'Q');
  EXPECT_EQ(codes.at(47), 'M');
  EXPECT_EQ(codes.at(58), VK_OEM_COMMA);
}

TEST(KeyboardMappingTest, NonLatinLettersTakeTheirUsPlaceOrTheLatinGroup) {
  const Layout ruOnly({{24, {XK_Cyrillic_shorti, XK_Cyrillic_SHORTI}},
                       {38, {XK_Cyrillic_ef, XK_Cyrillic_EF}},
                       {47, {XK_Cyrillic_zhe, XK_Cyrillic_ZHE}}});
  EXPECT_EQ(ruOnly.Codes(), (std::map<unsigned, int>{{24, 'Q'}, {38, 'A'}, {47, VK_OEM_1}}));
  // With a US group behind the Russian one, the Latin letter decides.
  const Layout ruUs({{24, {XK_Cyrillic_shorti, XK_Cyrillic_SHORTI, XK_q, XK_Q}},
                     {38, {XK_Cyrillic_ef, XK_Cyrillic_EF, XK_a, XK_A}}});
  EXPECT_EQ(ruUs.Codes(), (std::map<unsigned, int>{{24, 'Q'}, {38, 'A'}}));
}

TEST(KeyboardMappingTest, EmptyOrShapelessMappingsGiveNoCodes) {
  const std::vector<unsigned long> keysyms = {XK_a, XK_A};
  EXPECT_TRUE(VirtualKeysOfKeyboardMapping(kMinKeycode, 0, keysyms).empty());
  EXPECT_TRUE(VirtualKeysOfKeyboardMapping(kMinKeycode, 2, {}).empty());
}

// Each case runs in a fresh process, since the display is opened once per process.
TEST(KeyStateTest, WithoutAnXServerEveryKeyIsUpAndNothingIsPrinted) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* displays[] = {nullptr, ":4093"};
  for (const char* display : displays) {
    EXPECT_EXIT(
        {
          if (display == nullptr) {
            unsetenv("DISPLAY");
          } else {
            setenv("DISPLAY", display, 1);
          }
          int raised = 0;
          for (int round = 0; round < 3; ++round) {
            for (int vk = -1; vk < 300; ++vk) raised += GetAsyncKeyState(vk) != 0;
            for (unsigned keycode = 0; keycode < 256; ++keycode)
              raised += VirtualKeyFromKeycode(keycode) != 0;
          }
          std::exit(raised);
        },
        testing::ExitedWithCode(0), testing::IsEmpty())
        << "DISPLAY " << (display ? display : "unset");
  }
}

}  // namespace
