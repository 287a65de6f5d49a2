// Byte layouts of the controller's input report and of its two output reports.
#include "devlink/controller_reports.h"

#include <cmath>

namespace devlink {
namespace {

// Input report offsets.
constexpr std::size_t kInLiveValues = 1;
constexpr std::size_t kInDeadZones = 13;
constexpr std::size_t kInThrottlePoints = 19;
constexpr std::size_t kInBrakePoints = 40;
constexpr std::size_t kInClutchPoints = 51;
constexpr std::size_t kInFlags = 62;

// Throttle curve report offsets.
constexpr std::size_t kCurvePoints = 2;
constexpr std::size_t kCurveCheck = kCurvePoints + kThrottlePointCount;

// Pedal settings report offsets; it carries throttle points 0..9 and 19 only.
constexpr std::size_t kSettingsDeadZones = 2;
constexpr std::size_t kSettingsThrottlePoints = 8;
constexpr std::size_t kSettingsThrottleEndPoint = 18;
constexpr std::size_t kSettingsBrakePoints = 19;
constexpr std::size_t kSettingsClutchPoints = 30;
constexpr std::size_t kSettingsFlags = 41;
constexpr std::size_t kSettingsStore = 42;
constexpr std::size_t kSettingsCheck = 43;

constexpr std::size_t kSettingsThrottlePointCount = 10;
constexpr std::uint8_t kReportId = 0x00;
using platform::kMaxPercent;

std::array<std::uint8_t, 6> DeadZones(const PedalConfigRecord& r) {
  return {r.throttleDz0, r.throttleDz1, r.brakeDz0, r.brakeDz1, r.clutchDz0, r.clutchDz1};
}

// XOR of report bytes first..last inclusive.
std::uint8_t CheckByte(const ReportBuffer& report, std::size_t first, std::size_t last) {
  std::uint8_t check = 0;
  for (std::size_t i = first; i <= last; ++i) check ^= report[i];
  return check;
}

}  // namespace

void ParseInputReport(const ReportBuffer& report, LivePedalValues& values,
                      PedalConfigRecord& record) {
  for (std::size_t i = 0; i < kLivePedalValueCount; ++i) {
    const std::size_t at = kInLiveValues + 2 * i;
    values[i] = report[at] | (report[at + 1] << 8);
  }
  record.throttleDz0 = report[kInDeadZones + 0];
  record.throttleDz1 = report[kInDeadZones + 1];
  record.brakeDz0 = report[kInDeadZones + 2];
  record.brakeDz1 = report[kInDeadZones + 3];
  record.clutchDz0 = report[kInDeadZones + 4];
  record.clutchDz1 = report[kInDeadZones + 5];
  for (std::size_t i = 0; i < kThrottlePointCount; ++i)
    record.throttleCurve[i] = report[kInThrottlePoints + i] * 0.5f;
  for (std::size_t i = 0; i < kBrakeClutchPointCount; ++i) {
    record.brakeCurve[i] = report[kInBrakePoints + i] >> 1;
    record.clutchCurve[i] = report[kInClutchPoints + i] >> 1;
  }
  record.flags = report[kInFlags];
}

bool IsPedalConfigSendable(const PedalConfigRecord& record, bool checkBrake, bool checkClutch) {
  for (std::uint8_t dz : DeadZones(record))
    if (dz > kMaxPercent) return false;
  // Written so that NaN fails too: converting it, an infinity or a negative point to a byte
  // would be meaningless.
  for (float point : record.throttleCurve)
    if (!(point >= 0.0f && point <= static_cast<float>(kMaxPercent))) return false;
  auto within = [](const auto& points) {
    for (std::uint8_t point : points)
      if (point > kMaxPercent) return false;
    return true;
  };
  if (checkBrake && !within(record.brakeCurve)) return false;
  if (checkClutch && !within(record.clutchCurve)) return false;
  return true;
}

std::uint8_t HalfPercentByte(float point) {
  const double doubled = static_cast<double>(point) * 2.0;
  if (!(doubled > -2147483649.0 && doubled < 2147483648.0)) return 0;
  return static_cast<std::uint8_t>(static_cast<std::int32_t>(doubled));
}

ReportBuffer BuildThrottleCurveReport(const PedalConfigRecord& record) {
  ReportBuffer report{};
  report[0] = kReportId;
  report[1] = kThrottleCurveCommand;
  for (std::size_t i = 0; i < kThrottlePointCount; ++i)
    report[kCurvePoints + i] = HalfPercentByte(record.throttleCurve[i]);
  report[kCurveCheck] = CheckByte(report, kCurvePoints, kCurveCheck - 1);
  return report;
}

ReportBuffer BuildPedalSettingsReport(const PedalConfigRecord& record, bool storeFlag) {
  ReportBuffer report{};
  report[0] = kReportId;
  report[1] = kPedalSettingsCommand;
  const auto deadZones = DeadZones(record);
  for (std::size_t i = 0; i < deadZones.size(); ++i) report[kSettingsDeadZones + i] = deadZones[i];
  for (std::size_t i = 0; i < kSettingsThrottlePointCount; ++i)
    report[kSettingsThrottlePoints + i] = HalfPercentByte(record.throttleCurve[i]);
  report[kSettingsThrottleEndPoint] =
      HalfPercentByte(record.throttleCurve[kThrottlePointCount - 1]);
  // Whole percent to half percent; 8 bits, so an unchecked 101 travels as 202.
  for (std::size_t i = 0; i < kBrakeClutchPointCount; ++i) {
    report[kSettingsBrakePoints + i] = static_cast<std::uint8_t>(record.brakeCurve[i] * 2);
    report[kSettingsClutchPoints + i] = static_cast<std::uint8_t>(record.clutchCurve[i] * 2);
  }
  report[kSettingsFlags] = record.flags;
  report[kSettingsStore] = storeFlag ? 1 : 0;
  report[kSettingsCheck] = CheckByte(report, kSettingsDeadZones, kSettingsCheck - 1);
  return report;
}

}  // namespace devlink
