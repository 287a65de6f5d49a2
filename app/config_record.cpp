// Record build with range checks ahead of the narrowing.
#include "app/config_record.h"

#include <cmath>
#include <cstdint>

namespace app {

namespace {

bool IsPercent(int value, int limit = platform::kMaxPercent) {
  return value >= 0 && value <= limit;
}

bool CopyPedal(const pages::BrakeClutchSettings& page, int pointLimit, std::uint8_t& dz0,
               std::uint8_t& dz1,
               std::array<std::uint8_t, devlink::kBrakeClutchPointCount>& curve) {
  if (!IsPercent(page.dz_0) || !IsPercent(page.dz_1)) return false;
  for (std::size_t i = 0; i < curve.size(); ++i) {
    if (!IsPercent(page.band[i], pointLimit)) return false;
    curve[i] = static_cast<std::uint8_t>(page.band[i]);
  }
  dz0 = static_cast<std::uint8_t>(page.dz_0);
  dz1 = static_cast<std::uint8_t>(page.dz_1);
  return true;
}

}  // namespace

std::optional<devlink::PedalConfigRecord> BuildPedalConfigRecord(
    const pages::ThrottleCurveSettings& throttle, const pages::BrakeClutchSettings& brake,
    const pages::BrakeClutchSettings& clutch, PedalPresence presence, RecordUse use) {
  devlink::PedalConfigRecord record{};

  if (!IsPercent(throttle.dz_0) || !IsPercent(throttle.dz_1)) return std::nullopt;
  for (std::size_t i = 0; i < record.throttleCurve.size(); ++i) {
    const float point = throttle.band[i];
    if (!std::isfinite(point) || point < 0.0f || point > static_cast<float>(platform::kMaxPercent))
      return std::nullopt;
    record.throttleCurve[i] = point;
  }
  record.throttleDz0 = static_cast<std::uint8_t>(throttle.dz_0);
  record.throttleDz1 = static_cast<std::uint8_t>(throttle.dz_1);
  if (throttle.axis_cnf != 0) record.flags |= devlink::kThrottleEnabledFlag;
  if (use == RecordUse::kLive && throttle.axis_mode != 0)
    record.flags |= devlink::kThrottleAxisModeFlag;

  const int pointLimit = use == RecordUse::kLive ? kLivePedalPointLimit : platform::kMaxPercent;
  if (!CopyPedal(brake, pointLimit, record.brakeDz0, record.brakeDz1, record.brakeCurve))
    return std::nullopt;
  if (!CopyPedal(clutch, pointLimit, record.clutchDz0, record.clutchDz1, record.clutchCurve))
    return std::nullopt;
  if (presence.brake && brake.axis_cnf != 0) record.flags |= devlink::kBrakeEnabledFlag;
  if (presence.clutch && clutch.axis_cnf != 0) record.flags |= devlink::kClutchEnabledFlag;
  return record;
}

}  // namespace app
