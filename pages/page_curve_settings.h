// The settings that a pedal page edits and the main dialog sends: dead zones, curve points and
// flags. The throttle page holds 20 float points, the clutch and brake page 11 int points.
// Also the keys under which a section of the settings file or of a backup holds them.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "platform/pedal_curves.h"

namespace pages {

using platform::kBrakeClutchPointCount;
using platform::kMaxPercent;
using platform::kMinPercent;
using platform::kThrottlePointCount;

template <typename Point, std::size_t PointCount>
struct PageCurveSettings {
  using PointType = Point;
  static constexpr std::size_t kPointCount = PointCount;

  // identity: the output of each point equal to its own input percent, the page's default curve.
  explicit constexpr PageCurveSettings(const std::array<Point, PointCount>& identity)
      : band(identity) {}

  int dz_0 = 0;    // lower dead zone, input percent: inputs at or below it give output 0
  int dz_1 = 100;  // upper end point, input percent
  std::array<Point, PointCount> band;  // curve output percent at each of the page's inputs
  int axis_cnf = 1;                    // curve enabled when not 0
  int axis_mode = 0;                   // load-cell mode when not 0
  bool dirty = false;                  // holds changes not yet sent to the controller
};

// The keys of one section of curve settings, spelt as the members they hold; dirty is not
// stored.
inline constexpr char kLowerDeadZoneKey[] = "dz_0";
inline constexpr char kUpperDeadZoneKey[] = "dz_1";
inline constexpr char kCurveEnabledKey[] = "axis_cnf";
inline constexpr char kLoadCellKey[] = "axis_mode";
// "band_<input>": the key of the curve point at that input percent.
std::string CurvePointKey(int inputPercent);

}  // namespace pages
