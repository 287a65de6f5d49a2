// Zoom, move and undo of the shared extents as the container does them: what a change would
// show, the redraws and live lines, and the notifications of the context-menu commands. The
// states themselves change in ChartZoomState.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "chart/core/chart_container_core.h"

namespace chart {

namespace {

// A second click closer than this (pixels) to the first one is taken as a slip.
constexpr double kMinZoomClickDistance = 3.0;

double Width(const ChartExtent& extent) { return extent.second - extent.first; }

}  // namespace

std::int32_t ChartContainerCore::ZoomExtentX(double min, double max, bool redraw) {
  if (!SetExtentX(min, max, false)) return zoom_.SettleX();
  if (redraw && WindowShown()) {
    RefreshAfterExtentChange();
    zoom_.MarkXDrawn();
  }
  return zoom_.XState();
}

std::int32_t ChartContainerCore::MoveExtentX(double delta, bool redraw) {
  const auto [minX, maxX] = zoom_.ExtentX();
  return ZoomExtentX(minX - delta, maxX - delta, redraw);
}

std::int32_t ChartContainerCore::ChangeExtentY(double a, double b, bool keepMargins, bool redraw) {
  if (a == b || !std::isfinite(a) || !std::isfinite(b)) return zoom_.YState();
  const double lo = std::min(a, b);
  const double hi = std::max(a, b);
  if (!HitTestCharts(-1, lo, hi)) return zoom_.YState();

  zoom_.SetExtentY(lo, hi, keepMargins);
  if (redraw && WindowShown()) {
    RefreshAfterExtentChange();
    zoom_.MarkYDrawn();
  }
  return zoom_.YState();
}

std::int32_t ChartContainerCore::ZoomExtentY(double a, double b, bool redraw) {
  return ChangeExtentY(a + (b - a) * 0.1, a + (b - a) * 0.9, false, redraw);
}

std::int32_t ChartContainerCore::MoveExtentY(double delta, bool redraw) {
  const auto [minY, maxY] = zoom_.ExtentY();
  return ChangeExtentY(minY - delta, maxY - delta, true, redraw);
}

void ChartContainerCore::UndoExtentX(bool redraw) {
  if (zoom_.UndoX() && redraw && WindowShown()) RefreshAfterExtentChange();
}

void ChartContainerCore::UndoExtentY(bool redraw) {
  if (zoom_.UndoY() && redraw && WindowShown()) RefreshAfterExtentChange();
}

// ---- Two-click zooms ----

std::optional<double> ChartContainerCore::ScreenToDataY(int px, int py) {
  const std::optional<ChartPoint> point = TryScreenToData(px, py, &EnsureTransform());
  if (!point) return std::nullopt;
  return point->y;
}

void ChartContainerCore::SecondClickZoomX(int x, int y, double firstX) {
  const ChartTransform& t = EnsureTransform();
  const std::optional<ChartPoint> click = TryScreenToData(x, y, &t);
  if (!click) return;
  const double firstScreenX = firstX * t.scaleX + t.offsetX;
  if (std::fabs(x - firstScreenX) > kMinZoomClickDistance) {
    if (SetExtentX(firstX, click->x, false)) host_->ShowVerticalTrackLine(x, y);
  }
}

void ChartContainerCore::SecondClickZoomY(int x, int y, double firstY) {
  const ChartTransform& t = EnsureTransform();
  const std::optional<ChartPoint> click = TryScreenToData(x, y, &t);
  if (!click) return;
  const double firstScreenY = firstY * t.scaleY + t.offsetY;
  if (std::fabs(y - firstScreenY) > kMinZoomClickDistance && click->y != firstY) {
    const double lo = std::min(firstY, click->y);
    const double hi = std::max(firstY, click->y);
    if (HitTestCharts(-1, lo, hi)) {
      zoom_.SetExtentY(lo, hi, false);
      host_->ShowHorizontalTrackLine(x, y);
    }
  }
}

void ChartContainerCore::ShiftClickZoom(int x, int y) {
  if (!interactive_ || !HasDrawableChart(-1, true)) return;
  // A pending Y first click is finished before anything else.
  if (zoom_.HasFirstClickY()) {
    SecondClickZoomY(x, y, zoom_.FirstClickY());
  } else if (zoom_.HasFirstClickX()) {
    SecondClickZoomX(x, y, zoom_.FirstClickX());
  } else if (zoom_.AcceptsFirstClickX()) {
    if (const std::optional<double> first = ScreenToDataX(x, y, true)) {
      zoom_.SetFirstClickX(*first);
    }
  }
}

void ChartContainerCore::ShiftDoubleClickZoom(int x, int y) {
  if (!interactive_ || !HasDrawableChart(-1, true)) return;
  if (!zoom_.AcceptsFirstClickY()) return;
  const std::optional<double> first = ScreenToDataY(x, y);
  if (!first) return;
  host_->ShowHorizontalTrackLine(x, y);
  zoom_.StartFirstClickY(*first);
}

void ChartContainerCore::FinishMouseZoom() {
  if (!zoom_.HasMouseZoomToFinish()) return;
  RefreshDataWindows(-1, true, 0);
  zoom_.FinishMouseZoom();
}

// ---- Menu commands ----

ChartNotify ChartContainerCore::ExtentNotify(ChartNotifyCode code) const {
  ChartNotify notify;
  notify.code = code;
  notify.index = -1;
  std::tie(notify.xMin, notify.xMax) = zoom_.ExtentX();
  std::tie(notify.yMin, notify.yMax) = zoom_.ExtentY();
  return notify;
}

std::optional<ChartNotify> ChartContainerCore::RunExtentCommand(ChartExtentCommand command) {
  using Code = ChartNotifyCode;
  const double width = Width(zoom_.ExtentX());
  const double height = Width(zoom_.ExtentY());
  switch (command) {
    case ChartExtentCommand::kZoomInX: {
      const std::optional<ChartExtent> range = zoom_.ZoomInRangeX();
      if (!range) return std::nullopt;
      ZoomExtentX(range->first, range->second, true);
      return ExtentNotify(Code::kExtentX);
    }
    case ChartExtentCommand::kMoveRight:
      MoveExtentX(kStepShare * width, true);
      return ExtentNotify(Code::kExtentX);
    case ChartExtentCommand::kMoveLeft:
      MoveExtentX(-kStepShare * width, true);
      return ExtentNotify(Code::kExtentX);
    case ChartExtentCommand::kUndoX: UndoExtentX(true); return ExtentNotify(Code::kExtentX);
    case ChartExtentCommand::kZoomInY: {
      const std::optional<ChartExtent> range = zoom_.ZoomInRangeY();
      if (!range) return std::nullopt;
      ZoomExtentY(range->first, range->second, true);
      return ExtentNotify(Code::kExtentY);
    }
    case ChartExtentCommand::kMoveUp:
      MoveExtentY(kStepShare * height, true);
      return ExtentNotify(Code::kExtentY);
    case ChartExtentCommand::kMoveDown:
      MoveExtentY(-kStepShare * height, true);
      return ExtentNotify(Code::kExtentY);
    case ChartExtentCommand::kUndoY: UndoExtentY(true); return ExtentNotify(Code::kExtentY);
    case ChartExtentCommand::kRestoreExtents:
      ResetExtents(false);
      return ExtentNotify(Code::kExtentsRestored);
  }
  return std::nullopt;
}

}  // namespace chart
