// The pedal curves' sizes and percent scale, one fact each for the controller's reports, the
// pages' settings and the backups.
#pragma once

#include <cstddef>

namespace platform {

// Throttle curve points, at the inputs 0, 10, ..., 90, 91, ..., 100 percent.
inline constexpr std::size_t kThrottlePointCount = 20;
// Brake and clutch curve points, at the inputs 0, 10, ..., 100 percent.
inline constexpr std::size_t kBrakeClutchPointCount = 11;
// Dead zones and curve points are percent of the pedal's travel, from kMinPercent to kMaxPercent.
inline constexpr int kMinPercent = 0;
inline constexpr int kMaxPercent = 100;

}  // namespace platform
