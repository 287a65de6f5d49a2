// The zoom and move state machine of the chart container: the shared X and Y extents, their
// undo stacks, the X and Y extent states and the first clicks of the two-click zooms. It knows
// nothing of series, windows or transforms; the container checks what a change would show
// and redraws, and tells this class what happened.
#pragma once

#include <cstdint>
#include <optional>

#include "chart/core/chart_transform.h"

namespace chart {

// X extent states.
enum ChartXState : std::int32_t {
  kXHome = 0,         // X undo stack empty
  kXFirstClick = 2,   // first click of a two-click X zoom made
  kXSetNotDrawn = 4,  // new X extent set, not yet drawn
  kXZoomed = 7,       // zoomed or moved and drawn
};

// Y extent states; 1, 6 and 9 draw 10 % margins above and below the Y extent.
enum ChartYState : std::int32_t {
  kYHome = 1,
  kYFirstClick = 3,
  kYSetNotDrawn = 5,
  kYSetKeepMargins = 6,
  kYZoomed = 8,
  kYZoomedKeepMargins = 9,
};
bool YStateHasMargins(std::int32_t yState);

// Share of the current width or height that one menu zoom or move step takes.
inline constexpr double kStepShare = 0.1;

class ChartZoomState {
 public:
  // Empty extents (+DBL_MAX..-DBL_MAX), empty stacks, home states.
  ChartZoomState();

  ChartExtent ExtentX() const { return {minX_, maxX_}; }
  ChartExtent ExtentY() const { return {minY_, maxY_}; }
  std::int32_t XState() const { return xState_; }
  std::int32_t YState() const { return yState_; }
  const ChartExtentStack& UndoStackX() const { return undoX_; }
  const ChartExtentStack& UndoStackY() const { return undoY_; }
  double FirstClickX() const { return firstClickX_; }
  double FirstClickY() const { return firstClickY_; }
  void SetFirstClickX(double x) { firstClickX_ = x; }
  // The same extents, stacks and states, without the first-click values.
  ChartZoomState WithoutFirstClicks() const;

  // ---- Home extents ----
  // The bottom entry of the X undo stack, or the current X extent while not zoomed.
  ChartExtent HomeExtentX() const;
  // Grows the home extent to take in [min, max] (nothing when max < min). A single value is
  // widened so the extent has a span: X by 1 % of it, Y by 4 % below and 1 % above.
  void ExtendExtentX(double min, double max);
  void ExtendExtentY(double min, double max);
  // Stores a fitted extent as the home extent.
  void StoreHomeExtentX(const ChartExtent& extent);
  void StoreHomeExtentY(const ChartExtent& extent);
  // Both stacks cut back to their bottom entry: the view stays, one undo goes home.
  void CutStacksToHome();
  // Both extents back home, stacks emptied, X state 0 and Y state 1.
  void ResetToHome();

  // ---- Changes ----
  // Shows [min, max] (in either order) when it reaches the home extent: pushes the current X
  // extent and sets X state 4. False, nothing changed, for equal or non-finite bounds or a
  // range that misses home.
  bool SetExtentX(double min, double max);
  // The X change was drawn: state 7.
  void MarkXDrawn() { xState_ = kXZoomed; }
  // X state 0 or 7 by whether the X undo stack is empty; returns it.
  std::int32_t SettleX();
  // Pushes the current Y extent and shows [lo, hi]: Y state 6 when keepMargins is set and the
  // view had margins (1 or 9), else 5.
  void SetExtentY(double lo, double hi, bool keepMargins);
  // The Y change was drawn: 6 becomes 9, anything else 8.
  void MarkYDrawn();
  // Back to the top entry of the stack; false with nothing to undo. X settles to 0 or 7; Y
  // becomes 1 at the bottom entry, else 9 when every change on the stack was a pure move
  // (the view then had margins), else 8.
  bool UndoX();
  bool UndoY();

  // ---- Two-click zooms ----
  bool HasFirstClickX() const { return xState_ == kXFirstClick; }
  bool HasFirstClickY() const { return yState_ == kYFirstClick; }
  // X state 2; the caller stores the value.
  void MarkFirstClickX() { xState_ = kXFirstClick; }
  // A new X first click may start (neither pending nor a set X extent waiting).
  bool AcceptsFirstClickX() const;
  // A Y first click may start: Y is neither waiting for its second click nor set by one.
  bool AcceptsFirstClickY() const;
  // Y state 3 with the click's value; the view's margins are kept for drawing until the
  // click is finished or dropped.
  void StartFirstClickY(double y);
  // The second click set an extent that the button-up has to draw (X 4 or Y 5).
  bool HasMouseZoomToFinish() const;
  // After the button-up drew it: the axes a click left undecided settle (X 0 or 7, Y 1 or 8);
  // a Y view drawn with kept margins keeps them.
  void FinishMouseZoom();
  // A half-made zoom is dropped: X 2 settles to 0 or 7, Y 3 to 1 or 8.
  void DropPendingClicks();
  // Whether the view is drawn with 10 % Y margins.
  bool DrawsYMargins() const;

  // ---- Menu zooms ----
  // The range "Zoom In X" passes on: a pending first click becomes the near edge and the far
  // edge moves in by as much; else 10 % off each end. None on an empty or inverted extent.
  std::optional<ChartExtent> ZoomInRangeX() const;
  // The range "Zoom In Y" passes on (to a zoom that keeps its middle 80 %). None on an empty
  // or inverted extent.
  std::optional<ChartExtent> ZoomInRangeY() const;

 private:
  double minY_;
  double maxY_;
  double minX_;
  double maxX_;
  double firstClickX_ = 0.0;
  double firstClickY_ = 0.0;
  // Whether the view a pending Y first click was made on had margins.
  bool marginsAtYClick_ = true;
  ChartExtentStack undoX_;
  ChartExtentStack undoY_;
  std::int32_t xState_ = kXHome;
  std::int32_t yState_ = kYHome;
};

}  // namespace chart
