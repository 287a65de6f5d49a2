// The live display of a pedal page without its window: the smoothing of the input and what
// the bar, the percentage label and the cross-hair show after one input. Each page passes the
// average through its own curve.
#pragma once

#include <functional>
#include <string>

#include "pages/moving_average.h"

namespace pages {

// A point of a pedal curve evaluated at one input.
struct PageCurveValue {
  double scaledInput;  // input percent after the dead zones
  double output;       // curve output percent
};

// What the live display shows after one input.
struct PedalLiveDisplay {
  bool enabled = false;  // false: bar 0 and "0%", the cross-hair stays where it was
  int bar = 0;           // 0..100
  std::string label;     // e.g. "37%"
  int inputPercent = 0;  // where the cross-hair stands
  int outputPercent = 0;
};

// x (input percent) after the dead zones: 0 at or below dz_0, then rising to 100 at dz_1 and
// limited there; every input above equal dead zones is full travel. With dz_1 below dz_0 an
// input above dz_0 gives a negative value.
double ScaleThroughDeadZones(int dz_0, int dz_1, double x);

// The value truncated toward zero; not a number gives 0 and values beyond the int range give
// its ends, so no input can make the conversion undefined.
int TruncatePercent(double value);

class LiveInput {
 public:
  using Evaluate = std::function<PageCurveValue(double averagedInput)>;

  explicit LiveInput(int window) : average_(window) {}

  // Adds x (input percent) to the average whether or not the curve is enabled, so the first
  // input after re-enabling already uses a full window. When enabled, evaluates the average
  // and keeps the truncated percents; the bar is limited to 0..100, the label is not.
  PedalLiveDisplay Feed(double x, bool enabled, const Evaluate& evaluate);

  const MovingAverage& Average() const { return average_; }
  int InputPercent() const { return inputPercent_; }
  int OutputPercent() const { return outputPercent_; }

 private:
  MovingAverage average_;
  int inputPercent_ = 0;
  int outputPercent_ = 0;
};

}  // namespace pages
