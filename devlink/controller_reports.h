// The pedal controller's reports: the configuration record it mirrors, parsing of its input
// report, and the throttle curve (0x17) and pedal settings (0x07) output reports.
#pragma once

#include <array>
#include <cstdint>

#include "platform/pedal_curves.h"

namespace devlink {

// Every report travels in a buffer of this size; byte 0 is the report id.
inline constexpr std::size_t kReportBufferSize = 128;
using ReportBuffer = std::array<std::uint8_t, kReportBufferSize>;

inline constexpr int kVendorId = 0x0444;
inline constexpr int kControllerProductId = 0x22A5;

using platform::kBrakeClutchPointCount;
using platform::kThrottlePointCount;
inline constexpr std::size_t kLivePedalValueCount = 6;

inline constexpr std::uint8_t kThrottleCurveCommand = 0x17;
inline constexpr std::uint8_t kPedalSettingsCommand = 0x07;

// Flag bits of PedalConfigRecord::flags.
inline constexpr std::uint8_t kThrottleEnabledFlag = 0x01;
inline constexpr std::uint8_t kBrakeEnabledFlag = 0x02;
inline constexpr std::uint8_t kClutchEnabledFlag = 0x04;
inline constexpr std::uint8_t kThrottleAxisModeFlag =
    0x08;  // load-cell throttle, live applies only

// Raw 16-bit readings from the input report; 3 throttle, 4 brake, 5 clutch, full scale 65535.
using LivePedalValues = std::array<std::int32_t, kLivePedalValueCount>;

// What the system sends to the controller and what the controller reports back as stored.
// Dead zones and brake/clutch points are whole percent; throttle points are percent in half steps.
// The throttle curve's inputs are 0, 10, ..., 90, 91, ..., 100 percent.
struct PedalConfigRecord {
  std::uint8_t throttleDz0 = 0;
  std::uint8_t throttleDz1 = 0;
  std::uint8_t brakeDz0 = 0;
  std::uint8_t brakeDz1 = 0;  // the maximum braking force
  std::uint8_t clutchDz0 = 0;
  std::uint8_t clutchDz1 = 0;
  std::array<float, kThrottlePointCount> throttleCurve{};
  std::array<std::uint8_t, kBrakeClutchPointCount> brakeCurve{};
  std::array<std::uint8_t, kBrakeClutchPointCount> clutchCurve{};
  std::uint8_t flags = 0;

  bool operator==(const PedalConfigRecord&) const = default;
};

// Fills the six live values and every record field from one input report, as Read leaves it.
void ParseInputReport(const ReportBuffer& report, LivePedalValues& values,
                      PedalConfigRecord& record);

// True when the record may be sent: dead zones at most 100, throttle points finite and within
// 0..100, and, when asked for, brake and clutch points at most 100.
bool IsPedalConfigSendable(const PedalConfigRecord& record, bool checkBrake, bool checkClutch);

// A throttle point in half percent: twice the point, truncated toward zero, low 8 bits.
// Points that cannot be converted (not finite, beyond 32 bits) give 0; callers refuse them first.
std::uint8_t HalfPercentByte(float point);

// The throttle curve report (0x17) with its check byte in byte 22.
ReportBuffer BuildThrottleCurveReport(const PedalConfigRecord& record);

// The pedal settings report (0x07) with the store flag in byte 42 and its check byte in byte 43.
ReportBuffer BuildPedalSettingsReport(const PedalConfigRecord& record, bool storeFlag);

}  // namespace devlink
