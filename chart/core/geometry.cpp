// Float geometry helpers of the chart core.
#include "chart/core/geometry.h"

namespace chart {

RectF RectFFromCenter(float cx, float cy, float w, float h) {
  const float hw = static_cast<float>(w * 0.5);
  const float hh = static_cast<float>(h * 0.5);
  return {cx - hw, cy - hh, 2.0f * hw, 2.0f * hh};
}

namespace {

int RoundAwayFromZero(float v) {
  const float shifted = v >= 0.0f ? static_cast<float>(v + 0.5) : static_cast<float>(v - 0.5);
  return static_cast<int>(shifted);
}

}  // namespace

Point RoundPointF(float x, float y) { return {RoundAwayFromZero(x), RoundAwayFromZero(y)}; }

}  // namespace chart
