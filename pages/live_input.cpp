// Live display state of a pedal page.
#include "pages/live_input.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pages {

double ScaleThroughDeadZones(int dz_0, int dz_1, double x) {
  if (!(x > dz_0)) return 0.0;
  const int span = dz_1 - dz_0;
  if (span == 0) return 100.0;
  return std::min((x - dz_0) * 100.0 / span, 100.0);
}

int TruncatePercent(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(value, kLow, kHigh));
}

PedalLiveDisplay LiveInput::Feed(double x, bool enabled, const Evaluate& evaluate) {
  const double average = average_.AddSampleAndAverage(x);
  PedalLiveDisplay display;
  if (enabled) {
    const PageCurveValue value = evaluate(average);
    inputPercent_ = TruncatePercent(value.scaledInput);
    outputPercent_ = TruncatePercent(value.output);
    display.enabled = true;
    display.bar = std::clamp(outputPercent_, 0, 100);
  }
  display.label = std::to_string(display.enabled ? outputPercent_ : 0) + "%";
  display.inputPercent = inputPercent_;
  display.outputPercent = outputPercent_;
  return display;
}

}  // namespace pages
