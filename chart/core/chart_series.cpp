// Chart series: sorting, extents, cloning, point queries and label rows.
#include "chart/core/chart_series.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "chart/core/chart_error.h"
#include "chart/core/chart_transform.h"

namespace chart {

ChartPoints SortedChartPoints(const ChartPoints& points) {
  ChartPoints sorted = points;
  if (sorted.size() > 1) {
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
  }
  return sorted;
}

std::uint32_t LabelColour(std::uint32_t argb) {
  constexpr std::uint32_t kMinAlpha = 0x80u << 24;
  return (argb & 0xFF000000u) < kMinAlpha ? (argb & 0x00FFFFFFu) | kMinAlpha : argb;
}

ChartSeries::ChartSeries() : minX_(DBL_MAX), maxX_(-DBL_MAX), minY_(DBL_MAX), maxY_(-DBL_MAX) {}

void ChartSeries::InitChartSeries(bool visible, bool showPoints, std::int32_t index,
                                  std::wstring name, std::wstring nameY, std::int32_t precisionY,
                                  std::int32_t dashStyle, float penWidth, float tension,
                                  std::uint32_t colour) {
  if (name.empty()) throw ChartArgumentError("chart series needs a name");
  visible_ = visible;
  showPoints_ = showPoints;
  index_ = index;
  colour_ = colour;
  dashStyle_ = dashStyle;
  penWidth_ = penWidth;
  tension_ = tension;
  precisionY_ = precisionY;
  name_ = std::move(name);
  nameY_ = nameY.empty() ? std::wstring(L"Y") : std::move(nameY);
}

std::unique_ptr<ChartSeries> ChartSeries::CloneChartSeries(bool keepState) const {
  auto clone = std::make_unique<ChartSeries>(*this);
  if (!keepState) {
    clone->visible_ = true;
    clone->selected_ = false;
    clone->showPoints_ = true;
    clone->yScale_ = 1.0;
  }
  return clone;
}

void ChartSeries::SetPoints(const ChartPoints& points) {
  SetSortedPoints(SortedChartPoints(points));
}

void ChartSeries::SetSortedPoints(ChartPoints points) {
  points_ = std::move(points);
  if (points_.empty()) {
    minX_ = minY_ = DBL_MAX;
    maxX_ = maxY_ = -DBL_MAX;
    return;
  }
  minX_ = points_.front().x;
  maxX_ = points_.back().x;
  const auto [lo, hi] =
      std::minmax_element(points_.begin(), points_.end(),
                          [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
  minY_ = lo->y;
  maxY_ = hi->y;
}

NearestPoint ChartSeries::FindNearestPointX(const ChartPoint& target, double width,
                                            ChartPoint& out) const {
  const double lo = target.x - width * 0.5;
  const double hi = target.x + width * 0.5;
  auto it = std::upper_bound(points_.begin(), points_.end(), lo,
                             [](double v, const ChartPoint& p) { return v < p.x; });
  if (it == points_.end() || !(it->x < hi)) return {points_.end(), 0};

  auto found = it;
  double smallest = width;
  for (; it != points_.end(); ++it) {
    const double distance = std::fabs(target.x - it->x);
    if (distance > smallest) break;
    smallest = distance;
    found = it;
  }
  out = *found;
  const auto sameX =
      std::count_if(points_.begin(), found, [&](const ChartPoint& p) { return p.x == found->x; });
  return {found, 1 + static_cast<int>(sameX)};
}

bool ChartSeries::GetScreenPoints(const ChartPoints& points, std::vector<PointF>& out,
                                  const ChartTransform& transform, double minX, double maxX) const {
  if (points.empty()) throw ChartArgumentError("no points to map");
  auto first = points.begin();
  auto last = points.end();
  if (points.size() > 1) {
    const PointRange range = FindPointRangeX(points.begin(), points.end(), minX, maxX, false);
    first = range.lo;
    last = range.hi == points.end() ? points.end() : std::next(range.hi);
  }
  if (first == last) return false;

  out.resize(static_cast<std::size_t>(last - first));
  const bool scaled = yScale_ != 1.0;
  auto dst = out.begin();
  for (auto it = first; it != last; ++it, ++dst) {
    *dst = transform.ToScreen(it->x, scaled ? it->y * yScale_ : it->y);
  }
  return true;
}

ChartLabelRow ChartSeries::BuildPointLabelRow(double x, double y, const std::wstring& nameX,
                                              std::int32_t precisionX,
                                              ChartValueFormatter formatterX) const {
  if (!formatterX) formatterX = FormatChartValue;
  ChartLabelRow row;
  row.seriesName = name_;
  row.nameX = nameX;
  row.textX = formatterX(x, precisionX, !nameX.empty());
  row.nameY = nameY_;
  row.textY = formatterY_(y, precisionY_, !nameY_.empty());
  row.colour = LabelColour(colour_);
  row.dashStyle = dashStyle_;
  row.penWidth = penWidth_;
  return row;
}

bool ChartSeries::BuildLegendLabelRow(ChartLabelRow& row) const {
  if (!visible_ || points_.empty()) return false;
  row = ChartLabelRow{};
  row.seriesName = name_;
  row.colour = LabelColour(colour_);
  row.dashStyle = dashStyle_;
  row.penWidth = penWidth_;
  return true;
}

std::size_t FindCloseNeighbour(const std::vector<PointF>& points, float distance) {
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const float dx = points[i + 1].x - points[i].x;
    if (dx != 0.0f && dx < distance) return i;
  }
  return points.size();
}

}  // namespace chart
