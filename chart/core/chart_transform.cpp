// Data-to-screen transform, plot geometry, axis placement and the sorted-run searches.
#include "chart/core/chart_transform.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>

#include "chart/core/chart_error.h"

namespace chart {

RectF PlotRectFromBounds(const RectF& bounds) {
  return {bounds.x + 3.0f, bounds.y + 3.0f, (bounds.width - 1.0f) - 6.0f,
          (bounds.height - 1.0f) - 6.0f};
}

ChartExtent ScalingExtent(double min, double max) {
  const double span = max - min;
  if (span != 0.0 && std::isfinite(span)) return {min, max};
  double mid = min * 0.5 + max * 0.5;
  if (!std::isfinite(mid)) mid = 0.0;
  // Far from zero a half unit is below the resolution of a double; widen enough to stay apart.
  const double half = std::max(0.5, std::fabs(mid) * 1e-15);
  return {mid - half, mid + half};
}

AxisPlacement GetXAxisPlacement(const RectF& plot, double minY, double maxY) {
  std::tie(minY, maxY) = ScalingExtent(minY, maxY);
  if (minY < 0.0 && maxY > 0.0) {
    return {kAxisAtZero,
            static_cast<float>(plot.Top() + plot.height * std::fabs(maxY) / (maxY - minY))};
  }
  if (minY >= 0.0) return {kAxisAtHigh, plot.Bottom()};
  return {kAxisAtLow, plot.Top()};
}

AxisPlacement GetYAxisPlacement(const RectF& plot, double minX, double maxX) {
  std::tie(minX, maxX) = ScalingExtent(minX, maxX);
  if (minX < 0.0 && maxX > 0.0) {
    return {kAxisAtZero,
            static_cast<float>(plot.Left() + plot.width * std::fabs(minX) / (maxX - minX))};
  }
  if (minX >= 0.0) return {kAxisAtLow, plot.Left()};
  return {kAxisAtHigh, plot.Right()};
}

ScaleFactors ComputeScaleFactors(const RectF& plot, double minX, double maxX, double minY,
                                 double maxY, bool withMargins) {
  std::tie(minX, maxX) = ScalingExtent(minX, maxX);
  std::tie(minY, maxY) = ScalingExtent(minY, maxY);
  const double wp = plot.width;
  double hp = plot.height;
  if (withMargins) {
    // 10 % above and below; the factor is the single-precision -0.1 widened, as drawn.
    const float margin = static_cast<float>(plot.height * static_cast<double>(-0.1f));
    hp = plot.height + 2.0 * margin;
  }
  return {wp / (maxX - minX), hp / (maxY - minY)};
}

ChartTransform TransformForPlot(const AxisPlacement& xAxis, const AxisPlacement& yAxis,
                                const ScaleFactors& scale, double minX, double maxX, double minY,
                                double maxY, bool roundOffsets) {
  std::tie(minX, maxX) = ScalingExtent(minX, maxX);
  std::tie(minY, maxY) = ScalingExtent(minY, maxY);
  double cx = yAxis.code == kAxisAtZero ? 0.0 : yAxis.code == kAxisAtLow ? -minX : -maxX;
  double cy = xAxis.code == kAxisAtZero ? 0.0 : xAxis.code == kAxisAtLow ? -maxY : -minY;
  if (roundOffsets) {
    cx = static_cast<float>(cx);
    cy = static_cast<float>(cy);
  }
  ChartTransform t;
  t.scaleX = scale.perX;
  t.scaleY = -scale.perY;
  t.offsetX = yAxis.position + scale.perX * cx;
  t.offsetY = xAxis.position - scale.perY * cy;
  return t;
}

bool IsInvertible(const ChartTransform& t) {
  const auto usableScale = [](double s) { return s != 0.0 && std::isfinite(s); };
  return usableScale(t.scaleX) && usableScale(t.scaleY) && std::isfinite(t.offsetX) &&
         std::isfinite(t.offsetY);
}

std::optional<ChartPoint> TryScreenToData(int px, int py, const ChartTransform* t) {
  if (!t || !IsInvertible(*t)) return std::nullopt;
  const double fx = static_cast<float>(px);
  const double fy = static_cast<float>(py);
  double x = fx * (1.0 / t->scaleX) + (-t->offsetX / t->scaleX);
  double y = fy * (1.0 / t->scaleY) + (-t->offsetY / t->scaleY);
  if (std::isnan(x)) x = DBL_MAX;
  if (std::isnan(y)) y = DBL_MAX;
  return ChartPoint{x, y};
}

ChartPoint ScreenToData(int px, int py, const ChartTransform* t) {
  if (!t) throw ChartArgumentError("no screen transform");
  const std::optional<ChartPoint> point = TryScreenToData(px, py, t);
  if (!point) throw ChartArgumentError("screen transform cannot be inverted");
  return *point;
}

PointRange FindPointRangeX(ChartPoints::const_iterator first, ChartPoints::const_iterator last,
                           double a, double b, bool startAfterExact) {
  PointRange range{first, last};
  for (auto p = first; p != last; ++p) {
    if (p->x < a) {
      range.lo = p;
    } else if (!startAfterExact && p->x == a) {
      range.lo = p;
      startAfterExact = true;
    } else if (p->x >= b) {
      range.hi = p;
      break;
    }
  }
  return range;
}

ChartExtentStack::const_iterator FindUnitSlopeRun(ChartExtentStack::const_iterator end,
                                                  ChartExtentStack::const_iterator begin) {
  constexpr double kUnitSlopeTolerance = 8.881784197001252e-16;  // 2^-50
  if (end == begin) return begin;
  for (auto p = end;; --p) {
    if (p - 1 == begin) return begin;
    const ChartExtent& e2 = *(p - 2);
    const ChartExtent& e1 = *(p - 1);
    // Two identical entries give 0 / 0: no change counts as part of the run.
    const double ratio = (e2.first - e1.first) / (e2.second - e1.second);
    if (std::fabs(1.0 - std::fabs(ratio)) > kUnitSlopeTolerance) return p;
  }
}

}  // namespace chart
