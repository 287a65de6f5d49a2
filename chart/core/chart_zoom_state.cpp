// The chart's extents, undo stacks, extent states and two-click zoom state.
#include "chart/core/chart_zoom_state.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>

namespace chart {

namespace {

constexpr double kPureMoveTolerance = 8.881784197001252e-16;  // 2^-50

// Grows the home extent (the stack's bottom entry, or the current extent while not zoomed)
// to take in [min, max]. A single value is widened so the extent has a span.
void ExtendExtent(ChartExtentStack& stack, double& curMin, double& curMax, double min, double max,
                  bool isY) {
  if (max < min) return;
  double& targetMin = stack.empty() ? curMin : stack.front().first;
  double& targetMax = stack.empty() ? curMax : stack.front().second;
  if (targetMin > targetMax) {
    targetMin = min;
    targetMax = max;
  } else {
    targetMin = std::min(targetMin, min);
    targetMax = std::max(targetMax, max);
  }
  if (targetMin == targetMax) {
    const double onePercent = std::fabs(targetMin * 0.01);
    if (isY) targetMin -= 4.0 * onePercent;
    targetMax += onePercent;
  }
}

void StoreHomeExtent(ChartExtentStack& stack, double& curMin, double& curMax,
                     const ChartExtent& extent) {
  if (stack.empty()) {
    curMin = extent.first;
    curMax = extent.second;
  } else {
    stack.front() = extent;
  }
}

void CutToBottomEntry(ChartExtentStack& stack) {
  if (stack.size() > 1) stack.resize(1);
}

// Every change between neighbouring saved extents moved min and max by the same amount.
// A zoom symmetric about the centre (opposite amounts) does not count: the view it restores
// was drawn without margins.
bool OnlyPureMoves(const ChartExtentStack& stack) {
  for (std::size_t i = 1; i < stack.size(); ++i) {
    const double ratio =
        (stack[i - 1].first - stack[i].first) / (stack[i - 1].second - stack[i].second);
    // Two equal entries give 0 / 0: no change keeps the run.
    if (std::fabs(1.0 - ratio) > kPureMoveTolerance) return false;
  }
  return true;
}

// A pending first click P becomes the near edge and the far edge moves in by as much; equal
// distances give equalEdges.
ChartExtent ZoomAroundClick(double min, double max, double click, const ChartExtent& equalEdges) {
  const double left = click - min;
  const double right = max - click;
  if (right > left) return {click, max - left};
  if (right < left) return {min + right, click};
  return equalEdges;
}

}  // namespace

bool YStateHasMargins(std::int32_t yState) {
  return yState == kYHome || yState == kYSetKeepMargins || yState == kYZoomedKeepMargins;
}

ChartZoomState::ChartZoomState()
    : minY_(DBL_MAX), maxY_(-DBL_MAX), minX_(DBL_MAX), maxX_(-DBL_MAX) {}

ChartZoomState ChartZoomState::WithoutFirstClicks() const {
  ChartZoomState copy = *this;
  copy.firstClickX_ = 0.0;
  copy.firstClickY_ = 0.0;
  return copy;
}

// ---- Home extents ----

ChartExtent ChartZoomState::HomeExtentX() const {
  return undoX_.empty() ? ChartExtent{minX_, maxX_} : undoX_.front();
}

void ChartZoomState::ExtendExtentX(double min, double max) {
  ExtendExtent(undoX_, minX_, maxX_, min, max, false);
}

void ChartZoomState::ExtendExtentY(double min, double max) {
  ExtendExtent(undoY_, minY_, maxY_, min, max, true);
}

void ChartZoomState::StoreHomeExtentX(const ChartExtent& extent) {
  StoreHomeExtent(undoX_, minX_, maxX_, extent);
}

void ChartZoomState::StoreHomeExtentY(const ChartExtent& extent) {
  StoreHomeExtent(undoY_, minY_, maxY_, extent);
}

void ChartZoomState::CutStacksToHome() {
  CutToBottomEntry(undoX_);
  CutToBottomEntry(undoY_);
}

void ChartZoomState::ResetToHome() {
  if (!undoX_.empty()) std::tie(minX_, maxX_) = undoX_.front();
  if (!undoY_.empty()) std::tie(minY_, maxY_) = undoY_.front();
  undoX_.clear();
  undoY_.clear();
  xState_ = kXHome;
  yState_ = kYHome;
}

// ---- Changes ----

bool ChartZoomState::SetExtentX(double min, double max) {
  if (min == max || !std::isfinite(min) || !std::isfinite(max)) return false;
  const double lo = std::min(min, max);
  const double hi = std::max(min, max);
  // The new range must reach the home extent. A range that covers all of it reaches it too,
  // though neither of its ends lies inside.
  const ChartExtent home = HomeExtentX();
  if (home.first > home.second) return false;
  if (hi < home.first || lo > home.second) return false;

  undoX_.emplace_back(minX_, maxX_);
  minX_ = lo;
  maxX_ = hi;
  xState_ = kXSetNotDrawn;
  return true;
}

std::int32_t ChartZoomState::SettleX() {
  xState_ = undoX_.empty() ? kXHome : kXZoomed;
  return xState_;
}

void ChartZoomState::SetExtentY(double lo, double hi, bool keepMargins) {
  undoY_.emplace_back(minY_, maxY_);
  minY_ = lo;
  maxY_ = hi;
  const bool hadMargins = yState_ == kYHome || yState_ == kYZoomedKeepMargins;
  yState_ = keepMargins && hadMargins ? kYSetKeepMargins : kYSetNotDrawn;
}

void ChartZoomState::MarkYDrawn() {
  yState_ = yState_ == kYSetKeepMargins ? kYZoomedKeepMargins : kYZoomed;
}

bool ChartZoomState::UndoX() {
  if (undoX_.empty()) return false;
  std::tie(minX_, maxX_) = undoX_.back();
  undoX_.pop_back();
  SettleX();
  return true;
}

bool ChartZoomState::UndoY() {
  if (undoY_.empty()) return false;
  std::tie(minY_, maxY_) = undoY_.back();
  // The restored extent is the top entry: how it was reached from home decides its margins.
  if (undoY_.size() == 1) {
    yState_ = kYHome;
  } else {
    yState_ = OnlyPureMoves(undoY_) ? kYZoomedKeepMargins : kYZoomed;
  }
  undoY_.pop_back();
  return true;
}

// ---- Two-click zooms ----

bool ChartZoomState::AcceptsFirstClickX() const {
  return xState_ != kXFirstClick && xState_ != kXSetNotDrawn;
}

bool ChartZoomState::AcceptsFirstClickY() const {
  return yState_ != kYFirstClick && yState_ != kYSetNotDrawn;
}

void ChartZoomState::StartFirstClickY(double y) {
  firstClickY_ = y;
  marginsAtYClick_ = YStateHasMargins(yState_);
  yState_ = kYFirstClick;
}

bool ChartZoomState::HasMouseZoomToFinish() const {
  return xState_ == kXSetNotDrawn || yState_ == kYSetNotDrawn;
}

void ChartZoomState::FinishMouseZoom() {
  if (xState_ == kXSetNotDrawn || xState_ == kXFirstClick) SettleX();
  if (yState_ == kYSetNotDrawn || yState_ == kYFirstClick) {
    yState_ = undoY_.empty() ? kYHome : kYZoomed;
  } else if (yState_ == kYSetKeepMargins) {
    yState_ = kYZoomedKeepMargins;
  }
}

void ChartZoomState::DropPendingClicks() {
  if (xState_ == kXFirstClick) SettleX();
  if (yState_ == kYFirstClick) yState_ = undoY_.empty() ? kYHome : kYZoomed;
}

bool ChartZoomState::DrawsYMargins() const {
  return yState_ == kYFirstClick ? marginsAtYClick_ : YStateHasMargins(yState_);
}

// ---- Menu zooms ----

std::optional<ChartExtent> ChartZoomState::ZoomInRangeX() const {
  if (maxX_ <= minX_) return std::nullopt;
  const double width = maxX_ - minX_;
  if (xState_ == kXFirstClick) {
    return ZoomAroundClick(minX_, maxX_, firstClickX_,
                           {firstClickX_ - kStepShare * width, firstClickX_ + kStepShare * width});
  }
  return ChartExtent{minX_ + kStepShare * width, maxX_ - kStepShare * width};
}

std::optional<ChartExtent> ChartZoomState::ZoomInRangeY() const {
  if (maxY_ <= minY_) return std::nullopt;
  const double height = maxY_ - minY_;
  const ChartExtent narrowed{minY_ + kStepShare * height, maxY_ - kStepShare * height};
  if (yState_ == kYFirstClick) {
    return ZoomAroundClick(minY_, maxY_, firstClickY_,
                           undoY_.empty() ? ChartExtent{minY_, maxY_} : narrowed);
  }
  // From home the margins already hide 20 %: zooming keeps 80 % of the data range.
  return yState_ == kYHome ? ChartExtent{minY_, maxY_} : narrowed;
}

}  // namespace chart
