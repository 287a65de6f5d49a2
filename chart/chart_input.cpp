// The chart's input steps over the container data.
#include "chart/chart_input.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/core/chart_transform.h"

namespace chart {

namespace {

// Share of the Y height that PgUp/PgDn and Up/Down move the extent by, and the share of the X
// width that Left/Right and the Shift wheel move it by.
constexpr double kPageMoveShare = 0.10;
constexpr double kLineMoveShare = 0.01;
// Multiplier steps of PgUp/PgDn; Up/Down and each wheel notch take one.
constexpr int kPageScaleSteps = 10;

double WidthX(const ChartContainerCore& core) {
  const ChartExtent x = core.ExtentX();
  return x.second - x.first;
}

double HeightY(const ChartContainerCore& core) {
  const ChartExtent y = core.ExtentY();
  return y.second - y.first;
}

// The selected series when it is visible (and so selectable at all).
ChartSeries* SelectedVisibleSeries(ChartContainerCore& core) {
  const int id = core.SelectedIndex();
  if (id == -1) return nullptr;
  ChartSeries* series = core.GetChart(id, false);
  return series && series->IsSelected() && series->IsVisible() ? series : nullptr;
}

// Moves the Y extent by share of its height and reports the extents, moved or not.
ChartNotify ZoomMoveYAll(ChartContainerCore& core, double share) {
  core.MoveExtentY(share * HeightY(core), true);
  return core.ExtentNotify(ChartNotifyCode::kExtentY);
}

// One key press moves the X extent once, so that one undo brings the view back.
void MoveExtentXByKey(ChartContainerCore& core, bool right) {
  const double delta = kLineMoveShare * WidthX(core);
  core.MoveExtentX(right ? delta : -delta, true);
}

ChartInputResult ScaleOrMoveY(ChartContainerCore& core, int scaleSteps, double moveShare) {
  ChartInputResult result;
  if (core.SelectedIndex() != -1) {
    if (ChangeSeriesYScale(core, scaleSteps)) {
      result.yScaleChanged = true;
      ChartNotify notify;
      notify.code = ChartNotifyCode::kSeriesYScale;
      notify.index = core.SelectedIndex();
      result.notify = notify;
    }
  } else {
    result.notify = ZoomMoveYAll(core, moveShare);
  }
  return result;
}

}  // namespace

bool ChartAcceptsInput(const ChartContainerCore& core) {
  return core.IsInteractive() && core.HasDrawableChart(-1, true);
}

int SelectChartAtPoint(ChartContainerCore& core, int x, int y) {
  if (core.SeriesCount() == 0) return core.SelectedIndex();
  const ChartTransform& t = core.EnsureTransform();
  const auto corner1 = TryScreenToData(x - kSelectHitPixels, y - kSelectHitPixels, &t);
  const auto corner2 = TryScreenToData(x + kSelectHitPixels, y + kSelectHitPixels, &t);

  int hit = -1;
  if (corner1 && corner2) {
    const double lo = std::min(corner1->x, corner2->x);
    const double hi = std::max(corner1->x, corner2->x);
    std::vector<PointF> screen;
    for (const auto& [index, series] : core.SeriesMap()) {
      if (!series->IsVisible() || !series->HasPoints()) continue;
      if (!series->GetScreenPoints(series->Points(), screen, t, lo, hi)) continue;
      const bool near = std::any_of(screen.begin(), screen.end(), [&](const PointF& p) {
        return std::fabs(p.x - x) < kSelectHitPixels && std::fabs(p.y - y) < kSelectHitPixels;
      });
      if (near) {
        hit = index;
        break;
      }
    }
  }
  // Selecting the selected series again deselects it: so does a click on empty space.
  if (hit == -1) hit = core.SelectedIndex();
  return core.SelectChart(hit, false);
}

bool ChangeSeriesYScale(ChartContainerCore& core, int steps) {
  ChartSeries* series = SelectedVisibleSeries(core);
  if (!series) return false;
  const auto [scale, step] = core.GetYScaleStep(*series);
  double next = scale + steps * step;
  if (steps < 0) next = std::max(next, kMinYScale);
  series->SetYScale(next);
  core.Redraw();
  return true;
}

ChartInputResult ChartKeyDown(ChartContainerCore& core, ChartKey key) {
  if (!ChartAcceptsInput(core)) return {};
  switch (key) {
    case ChartKey::kPageUp: return ScaleOrMoveY(core, kPageScaleSteps, kPageMoveShare);
    case ChartKey::kPageDown: return ScaleOrMoveY(core, -kPageScaleSteps, -kPageMoveShare);
    case ChartKey::kUp: return ScaleOrMoveY(core, 1, kLineMoveShare);
    case ChartKey::kDown: return ScaleOrMoveY(core, -1, -kLineMoveShare);
    case ChartKey::kLeft: MoveExtentXByKey(core, false); break;
    case ChartKey::kRight: MoveExtentXByKey(core, true); break;
    case ChartKey::kDelete:
      // The redraw takes the live lines away and with them the half-made zoom.
      if ((core.Zoom().HasFirstClickX() || core.Zoom().HasFirstClickY()) &&
          core.Host().IsWindowVisible()) {
        core.Redraw();
      }
      break;
  }
  return {};
}

ChartInputResult ChartMouseWheel(ChartContainerCore& core, bool shift, bool ctrl, int delta) {
  ChartInputResult result;
  if (!ChartAcceptsInput(core)) return result;
  if (shift) {
    const double step = kLineMoveShare * WidthX(core);
    if (delta < 0) {
      core.MoveExtentX(step, true);
    } else if (delta > 0) {
      core.MoveExtentX(-step, true);
    }
  } else if (ctrl && SelectedVisibleSeries(core)) {
    result.yScaleChanged = ChangeSeriesYScale(core, delta < 0 ? -1 : 1);
  }
  return result;
}

bool ToggleTrackingByButton(ChartContainerCore& core) {
  const bool was = core.IsTracking();
  core.SetTracking(!was && core.HasDrawableChart(-1, true));
  if (was && !core.IsTracking()) core.CloseTrackingWindow(true);
  return core.IsTracking();
}

ChartNotify ToggleTracking(ChartContainerCore& core) {
  const bool was = core.IsTracking();
  core.SetTracking(!was);
  if (was) core.CloseTrackingWindow(true);
  ChartNotify notify;
  notify.code = ChartNotifyCode::kTracking;
  notify.index = -1;
  notify.flag = core.IsTracking();
  return notify;
}

void ToggleAxisXBoundaries(ChartContainerCore& core) {
  core.SetShowXBoundaries(!core.ShowsXBoundaries());
  core.Redraw();
}

std::optional<ChartNotify> TogglePointMarkers(ChartContainerCore& core) {
  int selected = core.SelectedIndex();
  const int withExtent = core.FindChartWithExtent(selected, true);
  if (withExtent == -1) return std::nullopt;
  if (selected == -1) selected = core.SelectChart(withExtent, false);
  ChartSeries* series = core.GetChart(selected, false);
  if (!series) return std::nullopt;
  series->SetShowPoints(!series->ShowsPoints());
  core.RefreshDataWindows(-1, false, 0);

  ChartNotify notify;
  notify.code = ChartNotifyCode::kPointMarkers;
  notify.index = selected;
  notify.flag = series->ShowsPoints();
  return notify;
}

std::optional<ChartNotify> ToggleSeriesVisible(ChartContainerCore& core, int index) {
  if (core.ToggleChartVisibility(index) == -1) return std::nullopt;
  ChartNotify notify;
  notify.code = ChartNotifyCode::kSeriesShown;
  notify.index = index;
  notify.flag = core.HasDrawableChart(index, true);
  return notify;
}

DataViewChoice ChooseDataViewSeries(ChartContainerCore& core) {
  if (core.SeriesCount() == 0) return {-1, kEmptyContainerMessage};
  int id = core.GetSelectedChartId();
  if (id == -1) {
    if (core.SelectedIndex() == -1) {
      if (const ChartSeries* first = core.FindVisibleChart(-1)) {
        id = core.SelectChart(first->Index(), false);
      }
    } else {
      core.SelectChart(-1, false);
    }
    if (id == -1) return {-1, kNoDataViewSeriesMessage};
  }
  if (!core.GetChart(id, false)) return {-1, kDataViewSeriesMissingMessage};
  return {id, nullptr};
}

}  // namespace chart
