// Values at the tracked X and the rows of the tracking data window and the legend.
#include <algorithm>
#include <cfloat>
#include <iterator>

#include "chart/core/chart_container_core.h"

namespace chart {

namespace {

// Pixels around a tracking click in which points are searched.
constexpr double kTrackingSearchPixels = 6.0;

bool InRange(double v, const ChartExtent& range) { return v >= range.first && v <= range.second; }

}  // namespace

std::optional<ChartExtent> ChartContainerCore::ClientRangeY() {
  const ChartTransform& t = EnsureTransform();
  const RectF client = ClientBounds();
  const auto top = TryScreenToData(0, static_cast<int>(client.Top()), &t);
  const auto bottom = TryScreenToData(0, static_cast<int>(client.Bottom()), &t);
  if (!top || !bottom) return std::nullopt;
  return ChartExtent{std::min(top->y, bottom->y), std::max(top->y, bottom->y)};
}

int ChartContainerCore::BuildDataWindowRows(const ChartPoint& point, double width,
                                            ChartLabelRows& rows, TrackedValues& values,
                                            bool rebuildTransform) {
  if (rebuildTransform) UpdateTransform();
  values.clear();
  rows.clear();
  if (!InRange(point.x, zoom_.ExtentX())) return 0;
  // Without a client area nothing shows, but the values found are still kept.
  const std::optional<ChartExtent> shownY = ClientRangeY();

  for (const auto& [index, series] : series_) {
    ChartPoint nearest;
    const NearestPoint found = series->FindNearestPointX(point, width, nearest);
    if (found.ordinal == 0) continue;
    // A vertical run: the nearest point and the earlier ones at its x, nearest first.
    auto it = found.position;
    for (int n = 0; n < found.ordinal; ++n, --it) {
      values.emplace(index, *it);
      if (series->IsVisible() && shownY && InRange(it->y * series->YScale(), *shownY)) {
        rows.emplace(index,
                     series->BuildPointLabelRow(it->x, it->y, nameX_, precisionX_, formatterX_));
      }
      if (it == series->Points().begin()) break;
    }
  }
  return static_cast<int>(rows.size());
}

void ChartContainerCore::RebuildTrackedValues() {
  // The rows are built again from these values by the refresh that shows them.
  ChartLabelRows rows;
  BuildDataWindowRows({trackedX_, trackedY_}, trackingWidth_, rows, trackedValues_, false);
}

int ChartContainerCore::BuildLegendRows(ChartLabelRows& rows) const {
  // Emptied also without series, so a count of 0 never comes with stale rows.
  rows.clear();
  for (const auto& [index, series] : series_) {
    ChartLabelRow row;
    if (series->BuildLegendLabelRow(row)) rows.emplace(index, std::move(row));
  }
  return static_cast<int>(rows.size());
}

TrackingRowsUpdate ChartContainerCore::RefreshTrackingRows(TrackedValues& values,
                                                           ChartLabelRows& rows) {
  rows.clear();
  const ChartExtent shownX = zoom_.ExtentX();
  if (!values.empty() && InRange(trackedX_, shownX)) {
    const std::optional<ChartExtent> shownY = ClientRangeY();
    for (auto it = values.begin(); it != values.end();) {
      const ChartSeries* series = FindSeries(it->first);
      if (!series) {
        it = values.erase(it);
        continue;
      }
      const ChartPoint& p = it->second;
      if (series->IsVisible() && shownY && InRange(p.x, shownX) &&
          InRange(p.y * series->YScale(), *shownY)) {
        rows.emplace(it->first,
                     series->BuildPointLabelRow(p.x, p.y, nameX_, precisionX_, formatterX_));
      }
      ++it;
    }
  }

  TrackingRowsUpdate update;
  update.count = static_cast<int>(rows.size());
  if (update.count > 0) {
    // The tracked Y is where the user clicked: it carries no series' multiplier.
    const PointF anchor = EnsureTransform().ToScreen(trackedX_, trackedY_);
    update.anchor = RoundPointF(anchor.x, anchor.y);
  }
  return update;
}

int ChartContainerCore::TrackAtPoint(int x, int y, ChartLabelRows& rows) {
  if (series_.empty()) return 0;
  const ChartTransform& t = EnsureTransform();
  const std::optional<ChartPoint> click = TryScreenToData(x, y, &t);
  if (!click) {
    rows.clear();
    trackedValues_.clear();
    trackedX_ = trackedY_ = DBL_MAX;
    return 0;
  }
  const double width = kTrackingSearchPixels / t.scaleX;
  const int count = BuildDataWindowRows(*click, width, rows, trackedValues_, false);
  if (trackedValues_.empty()) {
    trackedX_ = trackedY_ = DBL_MAX;
  } else {
    SetTrackedPosition(click->x, click->y, width);
  }
  return count;
}

}  // namespace chart
