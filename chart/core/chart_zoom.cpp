// Zoom, move and undo of the shared extents: the extent operations, the two-click zooms of the
// mouse and the context-menu commands with the notifications they send.
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "chart/core/chart_container_core.h"

namespace chart {

namespace {

// Share of the current width or height that one menu zoom or move step takes.
constexpr double kStepShare = 0.1;
// A second click closer than this (pixels) to the first one is taken as a slip.
constexpr double kMinZoomClickDistance = 3.0;
constexpr double kPureMoveTolerance = 8.881784197001252e-16;  // 2^-50

// Every change between neighbouring saved extents moved min and max by the same amount.
// A zoom symmetric about the centre (opposite amounts) does not count: the view it restores
// was drawn without margins.
bool OnlyPureMoves(const ChartExtentStack& stack) {
  for (std::size_t i = 1; i < stack.size(); ++i) {
    const double ratio = (stack[i - 1].first - stack[i].first) /
                         (stack[i - 1].second - stack[i].second);
    // Two equal entries give 0 / 0: no change keeps the run.
    if (std::fabs(1.0 - ratio) > kPureMoveTolerance) return false;
  }
  return true;
}

// The range a menu zoom passes on: a pending first click P becomes the near edge and the far
// edge moves in by as much; equal distances zoom around P.
ChartExtent ZoomAroundClick(double min, double max, double click, double width) {
  const double left = click - min;
  const double right = max - click;
  if (right > left) return {click, max - left};
  if (right < left) return {min + right, click};
  return {click - kStepShare * width, click + kStepShare * width};
}

}  // namespace

std::int32_t ChartContainerCore::SettledXState() const {
  return undoX_.empty() ? kXHome : kXZoomed;
}

void ChartContainerCore::PushExtentY(double lo, double hi) {
  undoY_.emplace_back(minY_, maxY_);
  minY_ = lo;
  maxY_ = hi;
}

std::int32_t ChartContainerCore::ZoomExtentX(double min, double max, bool redraw) {
  if (!SetExtentX(min, max, false)) {
    xState_ = SettledXState();
    return xState_;
  }
  if (redraw && WindowShown()) {
    RefreshAfterExtentChange();
    xState_ = kXZoomed;
  } else {
    xState_ = kXSetNotDrawn;
  }
  return xState_;
}

std::int32_t ChartContainerCore::MoveExtentX(double delta, bool redraw) {
  return ZoomExtentX(minX_ - delta, maxX_ - delta, redraw);
}

std::int32_t ChartContainerCore::ZoomExtentY(double a, double b, bool redraw) {
  double lo = a + (b - a) * 0.1;
  double hi = a + (b - a) * 0.9;
  if (lo == hi || !std::isfinite(lo) || !std::isfinite(hi)) return yState_;
  if (lo > hi) std::swap(lo, hi);
  if (!HitTestCharts(-1, lo, hi)) return yState_;

  PushExtentY(lo, hi);
  yState_ = kYSetNotDrawn;
  if (redraw && WindowShown()) {
    RefreshAfterExtentChange();
    yState_ = kYZoomed;
  }
  return yState_;
}

std::int32_t ChartContainerCore::MoveExtentY(double delta, bool redraw) {
  double lo = minY_ - delta;
  double hi = maxY_ - delta;
  if (lo == hi || !std::isfinite(lo) || !std::isfinite(hi)) return yState_;
  if (lo > hi) std::swap(lo, hi);
  if (!HitTestCharts(-1, lo, hi)) return yState_;

  PushExtentY(lo, hi);
  const bool hadMargins = yState_ == kYHome || yState_ == kYZoomedKeepMargins;
  yState_ = hadMargins ? kYSetKeepMargins : kYSetNotDrawn;
  if (redraw && WindowShown()) {
    RefreshAfterExtentChange();
    yState_ = yState_ == kYSetKeepMargins ? kYZoomedKeepMargins : kYZoomed;
  }
  return yState_;
}

void ChartContainerCore::UndoExtentX(bool redraw) {
  if (undoX_.empty()) return;
  std::tie(minX_, maxX_) = undoX_.back();
  undoX_.pop_back();
  xState_ = SettledXState();
  if (redraw && WindowShown()) RefreshAfterExtentChange();
}

void ChartContainerCore::UndoExtentY(bool redraw) {
  if (undoY_.empty()) return;
  std::tie(minY_, maxY_) = undoY_.back();
  // The restored extent is the top entry: how it was reached from home decides its margins.
  if (undoY_.size() == 1) {
    yState_ = kYHome;
  } else {
    yState_ = OnlyPureMoves(undoY_) ? kYZoomedKeepMargins : kYZoomed;
  }
  undoY_.pop_back();
  if (redraw && WindowShown()) RefreshAfterExtentChange();
}

// ---- Two-click zooms ----

std::optional<double> ChartContainerCore::ScreenToDataY(int px, int py) {
  const std::optional<ChartPoint> point = TryScreenToData(px, py, &EnsureTransform());
  if (!point) return std::nullopt;
  return point->y;
}

std::optional<double> ChartContainerCore::SecondClickZoomX(int x, int y, double firstX,
                                                           bool redraw) {
  const ChartTransform& t = EnsureTransform();
  const std::optional<ChartPoint> click = TryScreenToData(x, y, &t);
  if (!click) return std::nullopt;
  const double firstScreenX = firstX * t.scaleX + t.offsetX;
  if (std::fabs(x - firstScreenX) > kMinZoomClickDistance) {
    if (SetExtentX(firstX, click->x, false) && redraw) host_->ShowVerticalTrackLine(x, y);
  }
  return click->x;
}

std::optional<double> ChartContainerCore::SecondClickZoomY(int x, int y, double firstY,
                                                           bool redraw) {
  const ChartTransform& t = EnsureTransform();
  const std::optional<ChartPoint> click = TryScreenToData(x, y, &t);
  if (!click) return std::nullopt;
  const double firstScreenY = firstY * t.scaleY + t.offsetY;
  if (std::fabs(y - firstScreenY) > kMinZoomClickDistance && click->y != firstY) {
    const double lo = std::min(firstY, click->y);
    const double hi = std::max(firstY, click->y);
    if (HitTestCharts(-1, lo, hi)) {
      PushExtentY(lo, hi);
      yState_ = kYSetNotDrawn;
      if (redraw) host_->ShowHorizontalTrackLine(x, y);
    }
  }
  return click->y;
}

void ChartContainerCore::ShiftClickZoom(int x, int y) {
  if (!interactive_ || !HasDrawableChart(-1, true)) return;
  // A pending Y first click is finished before anything else.
  if (yState_ == kYFirstClick) {
    SecondClickZoomY(x, y, firstClickY_, true);
  } else if (xState_ == kXFirstClick) {
    SecondClickZoomX(x, y, firstClickX_, true);
  } else if (xState_ != kXSetNotDrawn) {
    if (const std::optional<double> first = ScreenToDataX(x, y, true)) firstClickX_ = *first;
  }
}

void ChartContainerCore::ShiftDoubleClickZoom(int x, int y) {
  if (!interactive_ || !HasDrawableChart(-1, true)) return;
  if (yState_ == kYFirstClick || yState_ == kYSetNotDrawn) return;
  const std::optional<double> first = ScreenToDataY(x, y);
  if (!first) return;
  firstClickY_ = *first;
  marginsAtYClick_ = YStateHasMargins(yState_);
  host_->ShowHorizontalTrackLine(x, y);
  yState_ = kYFirstClick;
}

void ChartContainerCore::DropPendingClicks() {
  if (xState_ == kXFirstClick) xState_ = SettledXState();
  if (yState_ == kYFirstClick) yState_ = undoY_.empty() ? kYHome : kYZoomed;
}

void ChartContainerCore::FinishMouseZoom() {
  if (xState_ != kXSetNotDrawn && yState_ != kYSetNotDrawn) return;
  RefreshDataWindows(-1, true, 0);
  // Only the axes that a click left undecided settle; a Y view drawn with kept margins keeps
  // them when the zoom that finishes is an X zoom.
  if (xState_ == kXSetNotDrawn || xState_ == kXFirstClick) xState_ = SettledXState();
  if (yState_ == kYSetNotDrawn || yState_ == kYFirstClick) {
    yState_ = undoY_.empty() ? kYHome : kYZoomed;
  } else if (yState_ == kYSetKeepMargins) {
    yState_ = kYZoomedKeepMargins;
  }
}

// ---- Menu commands ----

ChartNotify ChartContainerCore::ExtentNotify(ChartNotifyCode code) const {
  ChartNotify notify;
  notify.code = code;
  notify.index = -1;
  notify.xMin = minX_;
  notify.xMax = maxX_;
  notify.yMin = minY_;
  notify.yMax = maxY_;
  return notify;
}

std::optional<ChartNotify> ChartContainerCore::ZoomInX() {
  if (maxX_ <= minX_) return std::nullopt;
  const double width = maxX_ - minX_;
  const ChartExtent range =
      xState_ == kXFirstClick
          ? ZoomAroundClick(minX_, maxX_, firstClickX_, width)
          : ChartExtent{minX_ + kStepShare * width, maxX_ - kStepShare * width};
  ZoomExtentX(range.first, range.second, true);
  return ExtentNotify(ChartNotifyCode::kExtentX);
}

std::optional<ChartNotify> ChartContainerCore::ZoomInY() {
  if (maxY_ <= minY_) return std::nullopt;
  const double height = maxY_ - minY_;
  const ChartExtent narrowed{minY_ + kStepShare * height, maxY_ - kStepShare * height};
  ChartExtent range;
  if (yState_ == kYFirstClick) {
    const double left = firstClickY_ - minY_;
    const double right = maxY_ - firstClickY_;
    if (right > left) {
      range = {firstClickY_, maxY_ - left};
    } else if (right < left) {
      range = {minY_ + right, firstClickY_};
    } else {
      range = undoY_.empty() ? ChartExtent{minY_, maxY_} : narrowed;
    }
  } else {
    // From home the margins already hide 20 %: zooming keeps 80 % of the data range.
    range = yState_ == kYHome ? ChartExtent{minY_, maxY_} : narrowed;
  }
  ZoomExtentY(range.first, range.second, true);
  return ExtentNotify(ChartNotifyCode::kExtentY);
}

std::optional<ChartNotify> ChartContainerCore::MoveRight() {
  MoveExtentX(kStepShare * (maxX_ - minX_), true);
  return ExtentNotify(ChartNotifyCode::kExtentX);
}

std::optional<ChartNotify> ChartContainerCore::MoveLeft() {
  MoveExtentX(-kStepShare * (maxX_ - minX_), true);
  return ExtentNotify(ChartNotifyCode::kExtentX);
}

std::optional<ChartNotify> ChartContainerCore::MoveUp() {
  MoveExtentY(kStepShare * (maxY_ - minY_), true);
  return ExtentNotify(ChartNotifyCode::kExtentY);
}

std::optional<ChartNotify> ChartContainerCore::MoveDown() {
  MoveExtentY(-kStepShare * (maxY_ - minY_), true);
  return ExtentNotify(ChartNotifyCode::kExtentY);
}

std::optional<ChartNotify> ChartContainerCore::UndoLastX() {
  UndoExtentX(true);
  return ExtentNotify(ChartNotifyCode::kExtentX);
}

std::optional<ChartNotify> ChartContainerCore::UndoLastY() {
  UndoExtentY(true);
  return ExtentNotify(ChartNotifyCode::kExtentY);
}

std::optional<ChartNotify> ChartContainerCore::RestoreExtents() {
  ResetExtents(false);
  return ExtentNotify(ChartNotifyCode::kExtentsRestored);
}

std::optional<ChartNotify> ChartContainerCore::RunExtentCommand(ChartExtentCommand command) {
  switch (command) {
    case ChartExtentCommand::kZoomInX: return ZoomInX();
    case ChartExtentCommand::kMoveRight: return MoveRight();
    case ChartExtentCommand::kMoveLeft: return MoveLeft();
    case ChartExtentCommand::kUndoX: return UndoLastX();
    case ChartExtentCommand::kZoomInY: return ZoomInY();
    case ChartExtentCommand::kMoveUp: return MoveUp();
    case ChartExtentCommand::kMoveDown: return MoveDown();
    case ChartExtentCommand::kUndoY: return UndoLastY();
    case ChartExtentCommand::kRestoreExtents: return RestoreExtents();
  }
  return std::nullopt;
}

}  // namespace chart
