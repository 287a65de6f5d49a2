// Seven-segment table and the display unit report.
#include "devlink/segment_display.h"

#include <array>
#include <cstdio>

namespace devlink {
namespace {

constexpr std::size_t kRightDigit = 2;
constexpr std::size_t kLeftDigit = 3;
constexpr std::size_t kLamps = 4;
constexpr int kLargestShownValue = 99;

constexpr std::array<std::uint8_t, 256> MakeSegmentTable() {
  std::array<std::uint8_t, 256> t{};
  // A table: one row per run of characters.
  // clang-format off
  t['!'] = 0x11; t['"'] = 0x22; t['\''] = 0x20; t['('] = 0x39; t[')'] = 0x0F; t['+'] = 0x46;
  t[','] = 0x80; t['-'] = 0x40; t['.'] = 0x80; t['/'] = 0x52;
  t['0'] = 0x3F; t['1'] = 0x06; t['2'] = 0x5B; t['3'] = 0x4F; t['4'] = 0x66;
  t['5'] = 0x6D; t['6'] = 0x7D; t['7'] = 0x07; t['8'] = 0x7F; t['9'] = 0x6F;
  t[':'] = 0x48; t[';'] = 0x41; t['<'] = 0x58; t['='] = 0x09; t['>'] = 0x4C; t['?'] = 0x53;
  t['@'] = 0x5F;
  t['A'] = 0x77; t['B'] = 0x7C; t['C'] = 0x58; t['D'] = 0x5E; t['E'] = 0x79; t['F'] = 0x71;
  t['G'] = 0x3D; t['H'] = 0x76; t['I'] = 0x18; t['J'] = 0x1E; t['K'] = 0x75; t['L'] = 0x38;
  t['M'] = 0x37; t['N'] = 0x54; t['O'] = 0x5C; t['P'] = 0x73; t['Q'] = 0x67; t['R'] = 0x50;
  t['S'] = 0x6D; t['T'] = 0x78; t['U'] = 0x3E; t['V'] = 0x1C; t['W'] = 0x3E; t['X'] = 0x49;
  t['Y'] = 0x6E; t['Z'] = 0x5B;
  t['['] = 0x39; t['\\'] = 0x64; t[']'] = 0x0F; t['^'] = 0x23; t['_'] = 0x08; t['`'] = 0x01;
  // clang-format on
  t[0xA1] = 0x53;  // inverted exclamation mark
  t[0xBA] = 0x63;  // masculine ordinal indicator
  t[0xBF] = 0x5A;  // inverted question mark
  t[0xD1] = 0x55;  // N with tilde
  return t;
}

constexpr std::array<std::uint8_t, 256> kSegmentTable = MakeSegmentTable();

std::uint8_t PresetLamp(int currentPreset) {
  switch (currentPreset) {
    case 0: return kPresetALamp;
    case 1: return kPresetBLamp;
    case 2: return kPresetCLamp;
    default: return 0;
  }
}

ReportBuffer DisplayReport(std::uint8_t left, std::uint8_t right, std::uint8_t lamps) {
  ReportBuffer report{};
  report[1] = kSegmentDisplayCommand;
  report[kRightDigit] = right;
  report[kLeftDigit] = left;
  report[kLamps] = lamps;
  return report;
}

}  // namespace

std::uint8_t EncodeSevenSegment(std::uint8_t character) {
  if (character >= 'a' && character <= 'z')
    character = static_cast<std::uint8_t>(character - 'a' + 'A');
  return kSegmentTable[character];
}

ReportBuffer BuildSegmentDisplayReport(int brakeUpperValue, int currentPreset) {
  // Room for any int, so the format never overruns; only the first two characters are shown
  // (a negative value such as -5 reads "-5").
  char text[16] = "00";
  if (brakeUpperValue <= kLargestShownValue)
    std::snprintf(text, sizeof text, "%02d", brakeUpperValue);
  return DisplayReport(EncodeSevenSegment(static_cast<std::uint8_t>(text[0])),
                       EncodeSevenSegment(static_cast<std::uint8_t>(text[1])),
                       PresetLamp(currentPreset));
}

ReportBuffer BuildBlankDisplayReport() {
  const std::uint8_t blank = EncodeSevenSegment(' ');
  return DisplayReport(blank, blank, 0);
}

}  // namespace devlink
