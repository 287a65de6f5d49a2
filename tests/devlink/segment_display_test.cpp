// Golden bytes for the display unit report and the seven-segment table.
#include "devlink/segment_display.h"

#include <gtest/gtest.h>

#include <climits>

namespace devlink {
namespace {

TEST(SegmentDisplay, ReportShowsBrakeValueAndPresetLamp) {
  struct Case {
    int value;
    int preset;
    std::uint8_t left, right, lamps;
  };
  const Case cases[] = {
      {75, 0, 0x07, 0x6D, 0x04},   // "75", A
      {5, 2, 0x3F, 0x6D, 0x01},    // "05", C
      {60, 1, 0x7D, 0x3F, 0x02},   // "60", B
      {100, 0, 0x3F, 0x3F, 0x04},  // 100 and more show "00"
      {250, 3, 0x3F, 0x3F, 0x00},  // no lamp for an unknown preset
      {99, -1, 0x6F, 0x6F, 0x00}, {0, 0, 0x3F, 0x3F, 0x04},
  };
  for (const Case& c : cases) {
    ReportBuffer expected{};
    expected[1] = 0x04;
    expected[2] = c.right;
    expected[3] = c.left;
    expected[4] = c.lamps;
    EXPECT_EQ(BuildSegmentDisplayReport(c.value, c.preset), expected) << c.value << "/" << c.preset;
  }
}

TEST(SegmentDisplay, NegativeValueShowsItsFirstTwoCharacters) {
  const ReportBuffer minusFive = BuildSegmentDisplayReport(-5, 0);
  EXPECT_EQ(minusFive[3], 0x40);                                      // '-'
  EXPECT_EQ(minusFive[2], 0x6D);                                      // '5'
  const ReportBuffer lowest = BuildSegmentDisplayReport(INT_MIN, 0);  // "-2147483648"
  EXPECT_EQ(lowest[3], 0x40);
  EXPECT_EQ(lowest[2], 0x5B);
  for (std::size_t i = 5; i < kReportBufferSize; ++i) EXPECT_EQ(lowest[i], 0) << i;
}

TEST(SegmentDisplay, BlankReportTurnsEverythingOff) {
  ReportBuffer expected{};
  expected[1] = 0x04;
  EXPECT_EQ(BuildBlankDisplayReport(), expected);
}

TEST(SegmentDisplay, EncodesEveryTableCharacter) {
  const std::pair<std::uint8_t, std::uint8_t> table[] = {
      {'!', 0x11},  {'"', 0x22},  {'\'', 0x20}, {'(', 0x39}, {')', 0x0F}, {'+', 0x46},
      {',', 0x80},  {'-', 0x40},  {'.', 0x80},  {'/', 0x52}, {'0', 0x3F}, {'1', 0x06},
      {'2', 0x5B},  {'3', 0x4F},  {'4', 0x66},  {'5', 0x6D}, {'6', 0x7D}, {'7', 0x07},
      {'8', 0x7F},  {'9', 0x6F},  {':', 0x48},  {';', 0x41}, {'<', 0x58}, {'=', 0x09},
      {'>', 0x4C},  {'?', 0x53},  {'@', 0x5F},  {'A', 0x77}, {'B', 0x7C}, {'C', 0x58},
      {'D', 0x5E},  {'E', 0x79},  {'F', 0x71},  {'G', 0x3D}, {'H', 0x76}, {'I', 0x18},
      {'J', 0x1E},  {'K', 0x75},  {'L', 0x38},  {'M', 0x37}, {'N', 0x54}, {'O', 0x5C},
      {'P', 0x73},  {'Q', 0x67},  {'R', 0x50},  {'S', 0x6D}, {'T', 0x78}, {'U', 0x3E},
      {'V', 0x1C},  {'W', 0x3E},  {'X', 0x49},  {'Y', 0x6E}, {'Z', 0x5B}, {'[', 0x39},
      {'\\', 0x64}, {']', 0x0F},  {'^', 0x23},  {'_', 0x08}, {'`', 0x01}, {0xA1, 0x53},
      {0xBA, 0x63}, {0xBF, 0x5A}, {0xD1, 0x55},
  };
  int withPattern = 0;
  for (const auto& [character, segments] : table) {
    EXPECT_EQ(EncodeSevenSegment(character), segments)
        << "character 0x" << std::hex << int(character);
  }
  // Everything else is blank, the space included.
  for (int c = 0; c < 256; ++c) {
    if (c >= 'a' && c <= 'z') continue;
    if (EncodeSevenSegment(static_cast<std::uint8_t>(c)) != 0) ++withPattern;
  }
  EXPECT_EQ(withPattern, static_cast<int>(std::size(table)));
  EXPECT_EQ(EncodeSevenSegment(' '), 0);
  EXPECT_EQ(EncodeSevenSegment(0xF1), 0);  // lower-case n with tilde is not folded
}

TEST(SegmentDisplay, LowerCaseLettersShowAsUpperCase) {
  for (char c = 'a'; c <= 'z'; ++c)
    EXPECT_EQ(EncodeSevenSegment(static_cast<std::uint8_t>(c)),
              EncodeSevenSegment(static_cast<std::uint8_t>(c - 'a' + 'A')))
        << c;
  EXPECT_EQ(EncodeSevenSegment('a'), 0x77);
}

}  // namespace
}  // namespace devlink
