// The display unit's report (0x04): two seven-segment digits and the three preset lamps.
#pragma once

#include <cstdint>

#include "devlink/controller_reports.h"

namespace devlink {

inline constexpr int kDisplayProductId = 0xB1A5;
inline constexpr std::uint8_t kSegmentDisplayCommand = 0x04;

// Lamp bits of byte 4, by throttle preset 0 (A), 1 (B), 2 (C).
inline constexpr std::uint8_t kPresetALamp = 0x04;
inline constexpr std::uint8_t kPresetBLamp = 0x02;
inline constexpr std::uint8_t kPresetCLamp = 0x01;

// Segment pattern of an ISO 8859-1 character: bit 0 = a (top) ... bit 6 = g (middle), bit 7 the
// decimal point. Lower-case letters show as upper case; characters without a pattern give 0.
std::uint8_t EncodeSevenSegment(std::uint8_t character);

// The report showing the brake's upper value (two digits; 100 and more show "00") and the lamp
// of the throttle's current preset (none for any other preset number).
ReportBuffer BuildSegmentDisplayReport(int brakeUpperValue, int currentPreset);

// The report that turns both digits and every lamp off.
ReportBuffer BuildBlankDisplayReport();

}  // namespace devlink
