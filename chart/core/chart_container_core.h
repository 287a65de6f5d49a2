// The chart container's data and operations without a window: the series map, the shared X
// and Y extents (kept by its ChartZoomState), selection, tracking and legend rows, and the
// current transform. The window layer owns one, gives it a ChartContainerHost and turns
// events into calls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "chart/core/chart_container_host.h"
#include "chart/core/chart_notify.h"
#include "chart/core/chart_series.h"
#include "chart/core/chart_transform.h"
#include "chart/core/chart_zoom_state.h"
#include "chart/core/geometry.h"

namespace chart {

// Roles of the nine container colours, in their stored order.
enum class ChartColourRole : int {
  kBackground = 0,  // box fill, boxes behind the X-boundary labels
  kBorder,          // box frame and focus rectangle
  kAxes,            // axes and X-boundary label text
  kLiveLines,       // live tracking lines of mouse tracking and zooms
  kTrackingMarks,   // painted tracking line, circles around tracked points
  kSelectedPoints,  // circles around points selected in the chart data view
  kDataWindowBack,  // data window background
  kDataWindowText,  // data window text
  kGrid,
};
inline constexpr int kChartColourCount = 9;
using ChartColours = std::array<std::uint32_t, kChartColourCount>;
ChartColours DefaultChartColours();

// Reload kind passed to the chart data view after its series' data was replaced.
inline constexpr int kDataViewReloadReplaced = 256;

// Context-menu commands that change the extents; the values are the menu's command ids.
enum class ChartExtentCommand : int {
  kZoomInX = 33777,
  kMoveRight = 33778,
  kMoveLeft = 33779,
  kUndoX = 33780,
  kZoomInY = 33781,
  kMoveUp = 33782,
  kMoveDown = 33783,
  kUndoY = 33784,
  kRestoreExtents = 33785,
};

// Everything one paint needs, computed from the target's bounds.
struct ChartPaintLayout {
  RectF plot;
  bool hasSeries = false;  // false: draw the box only
  bool hasPoints = false;  // false: box and a grid anchored at (0, 0), no axes, no transform
  AxisPlacement xAxis;
  AxisPlacement yAxis;
  PointF crossing;  // where the axes cross: (yAxis.position, xAxis.position)
  ScaleFactors scale;
  ChartTransform transform;
};

using ChartSeriesMap = std::map<int, std::unique_ptr<ChartSeries>>;
using TrackedValues = std::multimap<int, ChartPoint>;  // series index -> values found
using DataViewPoints = std::map<int, ChartPoint>;      // point position -> (x, y)

// What a refresh of the tracking rows hands to the tracking data window.
struct TrackingRowsUpdate {
  int count = 0;
  Point anchor{-1, -1};  // client point of the tracked position; (-1, -1) without rows
};

class ChartContainerCore {
 public:
  explicit ChartContainerCore(std::wstring name = L"");
  ~ChartContainerCore();
  ChartContainerCore(const ChartContainerCore&) = delete;
  ChartContainerCore& operator=(const ChartContainerCore&) = delete;

  // The host is not owned and must outlive the container; null means no window.
  void SetHost(ChartContainerHost* host);
  ChartContainerHost& Host() const { return *host_; }

  // ---- Operations the pages call ----

  // Adds a series; returns its index (never reused), or -1. An empty name becomes
  // "Cnart_<index>"; a long one is shortened to 18 characters; a name already present gets
  // "_<index>" appended. Points extend the extents.
  int AddChart(const ChartAddRecord& record, bool redraw);
  // Replaces one series' points (sorted copy). clipToX keeps only the range around the home
  // X extent; fitExtents fits the home extents to the data. False for an unknown index or a
  // refused confirmation.
  bool ReplaceChartData(int index, const ChartPoints* points, bool clipToX, bool fitExtents,
                        bool confirm, bool redraw);
  // False, nothing changed, for equal bounds or a range that does not reach the home extent.
  bool SetExtentX(double min, double max, bool redraw);
  // False, nothing changed, for equal bounds or a range in which no visible point would show.
  bool SetExtentY(double min, double max, bool keepMargins, bool redraw);

  // Back to the home extents, stacks emptied, every series visible.
  void ResetExtents(bool resetYScale);

  // ---- Zoom, move and undo (each returns the resulting state) ----
  // SetExtentX without redraw; accepted and drawn: state 7, accepted only: 4; refused: 0 or
  // 7 by whether the X undo stack is empty.
  std::int32_t ZoomExtentX(double min, double max, bool redraw);
  // A positive delta shows smaller values: the curves move right.
  std::int32_t MoveExtentX(double delta, bool redraw);
  // Zooms to the middle 80 % of [a, b]; refused (state unchanged) when no visible point would
  // show there.
  std::int32_t ZoomExtentY(double a, double b, bool redraw);
  // A positive delta moves the curves up; a move keeps the margins of a margin state.
  std::int32_t MoveExtentY(double delta, bool redraw);
  void UndoExtentX(bool redraw);
  void UndoExtentY(bool redraw);

  // The mouse steps of the two-click zooms. Each needs the interactive flag and a visible
  // series with a point. Shift + left button down:
  void ShiftClickZoom(int x, int y);
  // Shift + left double-click: the first click of a Y zoom.
  void ShiftDoubleClickZoom(int x, int y);
  // Left button up: a zoom set by the second click is drawn and settled.
  void FinishMouseZoom();

  // A menu command; returns the notification to send to the parent, sent whether or not the
  // extent changed, or none (Zoom In X and Zoom In Y on an empty or inverted extent).
  std::optional<ChartNotify> RunExtentCommand(ChartExtentCommand command);
  // A notification of the given code carrying the current extents, for all series.
  ChartNotify ExtentNotify(ChartNotifyCode code) const;

  // ---- Queries (id -1: the first qualifying series in index order) ----
  bool HasDrawableChart(int id, bool visibleOnly) const;
  int FindChartWithExtent(int id, bool visibleOnly) const;
  const ChartSeries* FindVisibleChart(int id) const;
  ChartSeries* FindVisibleChart(int id);
  const ChartSeries* GetChart(int id, bool visibleOnly) const;
  ChartSeries* GetChart(int id, bool visibleOnly);
  std::optional<bool> GetChartFlag(int id) const;
  const ChartSeries* FindChartByName(const std::wstring& name) const;
  int GetChartIdByName(const std::wstring& name) const;
  std::wstring GetChartNameById(int id) const;
  // Some visible series (or the given one) has a point that would show in the client area
  // under the current X extent and the Y range [yLo, yHi].
  bool HitTestCharts(int id, double yLo, double yHi) const;
  int GetSelectedChartId() const;
  ChartExtent GetChartsExtentX() const;
  ChartExtent GetChartsExtentY() const;
  const ChartSeriesMap& SeriesMap() const { return series_; }
  std::size_t SeriesCount() const { return series_.size(); }

  // ---- State changes ----
  // A second select of the same id, or -1, deselects. Returns the selected index or -1.
  int SelectChart(int id, bool redraw);
  int SelectedIndex() const { return selectedIndex_; }
  // -1 for an unknown id, else the new visibility (1 or 0).
  int ToggleChartVisibility(int id);
  void ResetContainer(bool keepSeries, bool resetColours);
  // A live series follows live data (a cross-hair) and is drawn afresh at every paint; the
  // others are drawn once into the window's cached layer and kept until they change.
  void SetLiveChart(int id, bool live);
  bool IsLiveChart(int id) const { return liveCharts_.count(id) != 0; }

  // Called by the chart data view.
  void SyncDataViewCell(int id, int position, double x, double y, bool select);
  void SyncDataViewSelection(int id, const DataViewPoints& points);
  bool DataViewClosed();
  int DataViewIndex() const { return dataViewIndex_; }
  void SetDataViewIndex(int index) { dataViewIndex_ = index; }
  const DataViewPoints& SelectedDataViewPoints() const { return dataViewPoints_; }
  void ClearDataViewPoints() { dataViewPoints_.clear(); }

  // ---- Pop-up windows (through the host) ----
  void RefreshDataWindows(int id, bool rebuildTransform, int reloadKind);
  // Rebuilds the tracking rows at the tracked X and has the host show them there.
  void RefreshTrackingWindow(bool rebuildTransform);
  // Builds the legend rows and has the host show them in the top-right corner; closes the
  // legend when the window is not shown, has no points or the legend cannot be placed.
  void CreateLegendWindow();
  // Closes the tracking window; the tracked values and position are cleared.
  void CloseTrackingWindow(bool redraw);
  void CloseLegendWindow(bool redraw);

  // ---- Tracking values and data window rows ----
  // Finds the values at point.x (within width / 2 on either side) of every series, visible or
  // not, into values; rows get the visible ones whose scaled y shows in the client area.
  // Returns the number of rows. Both outputs are emptied first.
  int BuildDataWindowRows(const ChartPoint& point, double width, ChartLabelRows& rows,
                          TrackedValues& values, bool rebuildTransform);
  // One row per visible series with points. Returns the number of rows.
  int BuildLegendRows(ChartLabelRows& rows) const;
  // Rebuilds the rows from stored values after the view changed; values of series that no
  // longer exist are dropped.
  TrackingRowsUpdate RefreshTrackingRows(TrackedValues& values, ChartLabelRows& rows);
  // A tracking click at client (x, y): searches 6 pixels wide around it, fills the
  // container's tracked values and rows, and sets the tracked position (DBL_MAX when nothing
  // was found). Returns the number of rows.
  int TrackAtPoint(int x, int y, ChartLabelRows& rows);

  // ---- Output ----
  // A window-less copy of the data for printing and saving: every series cloned with its
  // state under its own index, the colours, X name, formatter and precision, and the view
  // state. An empty name keeps this container's name.
  std::unique_ptr<ChartContainerCore> CollectChartsForOutput(const std::wstring& name) const;

  // ---- Transforms and geometry ----
  // (1, 1) without series; margins follow the Y state; zero spans scale as a span of 1.
  ScaleFactors GetScaleFactors(const RectF& plot, double minX, double maxX, double minY,
                               double maxY) const;
  // Client rectangle from the host (0, 0, width, height).
  RectF ClientBounds() const;
  // A transform for the given extents over the current client rectangle.
  ChartTransform BuildTransform(double minX, double maxX, double minY, double maxY) const;
  // Rebuilds the current transform from the current extents.
  const ChartTransform& UpdateTransform();
  // The current transform, built first when there is none. Use before every inverse map.
  const ChartTransform& EnsureTransform();
  const ChartTransform* CurrentTransform() const { return transform_.get(); }
  // Data X under a client point; X state becomes "first click". No value when the point
  // cannot be mapped (the plot has no area). drawLine shows the live vertical line.
  std::optional<double> ScreenToDataX(int px, int py, bool drawLine);
  // (current Y multiplier, step that moves the series' largest value by 1 % of the height).
  std::pair<double, double> GetYScaleStep(const ChartSeries& series) const;

  // Asks the host for a full redraw, which takes the live lines away; a half-made two-click
  // zoom goes with them now (DropPendingClicks), not at the paint, so a click that comes
  // before that paint keeps what it sets. Every redraw of the chart comes here.
  void Redraw();
  // A half-made two-click zoom is dropped: X first click settles to 0 or 7, Y to 1 or 8.
  void DropPendingClicks() { zoom_.DropPendingClicks(); }

  // ---- Painting ----
  // Computes the layout for bounds and stores the transform, the pixels per Y unit (which the
  // Y multiplier's step is measured in) and the axis placements in the container. A paint only
  // draws the state: it changes none of the zoom state, so events that came before it keep
  // what they set.
  ChartPaintLayout PreparePaint(const RectF& bounds);
  // The same layout without touching the container (images, printing, previews).
  ChartPaintLayout ComputePaintLayout(const RectF& bounds) const;
  double PixelsPerY() const { return pixelsPerY_; }
  std::int32_t XAxisCode() const { return xAxisCode_; }
  std::int32_t YAxisCode() const { return yAxisCode_; }
  float XAxisScreenY() const { return xAxisScreenY_; }

  // ---- Plain state ----
  std::uint32_t Colour(ChartColourRole role) const { return colours_[static_cast<int>(role)]; }
  void SetColour(ChartColourRole role, std::uint32_t argb) {
    colours_[static_cast<int>(role)] = argb;
  }
  const ChartColours& Colours() const { return colours_; }

  ChartExtent ExtentX() const { return zoom_.ExtentX(); }
  ChartExtent ExtentY() const { return zoom_.ExtentY(); }
  // Extents, undo stacks, states and first clicks; the operations above change them.
  const ChartZoomState& Zoom() const { return zoom_; }

  bool IsTracking() const { return tracking_; }
  void SetTracking(bool on) { tracking_ = on; }
  double TrackedX() const { return trackedX_; }
  double TrackedY() const { return trackedY_; }
  double TrackingWidth() const { return trackingWidth_; }
  void SetTrackedPosition(double x, double y, double width);
  TrackedValues& TrackedValuesFound() { return trackedValues_; }
  const TrackedValues& TrackedValuesFound() const { return trackedValues_; }

  bool IsLegendShown() const { return legendShown_; }
  void SetLegendShown(bool shown) { legendShown_ = shown; }
  bool IsInteractive() const { return interactive_; }
  void SetInteractive(bool on) { interactive_ = on; }
  bool ShowsXBoundaries() const { return showXBoundaries_; }
  void SetShowXBoundaries(bool on) { showXBoundaries_ = on; }

  const std::wstring& ContainerName() const { return name_; }
  const std::wstring& NameX() const { return nameX_; }
  void SetNameX(std::wstring name) { nameX_ = std::move(name); }
  std::int32_t PrecisionX() const { return precisionX_; }
  void SetPrecisionX(std::int32_t precision) { precisionX_ = precision; }
  ChartValueFormatter FormatterX() const { return formatterX_; }
  void SetFormatterX(ChartValueFormatter formatter);

 private:
  bool WindowShown() const;
  ChartSeries* FindSeries(int id) const;
  // Fit the home extent to all series' data.
  ChartExtent FitExtentX();
  ChartExtent FitExtentY();
  // Redraw after an extent change: through the tracking window when it is up.
  void RefreshAfterExtentChange();
  // Shows [a, b] (either order) on the Y axis unless the bounds are equal or no visible point
  // would show there; returns the Y state.
  std::int32_t ChangeExtentY(double a, double b, bool keepMargins, bool redraw);
  // Second click of a two-click zoom at client (x, y); first is the first click's value.
  // A click within 3 pixels of the first one changes nothing.
  void SecondClickZoomX(int x, int y, double firstX);
  void SecondClickZoomY(int x, int y, double firstY);
  // Data Y under a client point through the current transform.
  std::optional<double> ScreenToDataY(int px, int py);
  // The client area's bottom and top edges in data Y; none without an invertible transform.
  std::optional<ChartExtent> ClientRangeY();
  // The tracked values found again at the tracked position, after the data changed.
  void RebuildTrackedValues();

  ChartContainerHost* host_;

  ChartColours colours_;
  ChartZoomState zoom_;
  float xAxisScreenY_ = 0.0f;
  std::int32_t xAxisCode_ = kAxisAtZero;
  std::int32_t yAxisCode_ = kAxisAtZero;
  double pixelsPerY_ = 1.0;
  bool tracking_ = false;
  bool legendShown_ = false;
  bool interactive_ = true;
  bool showXBoundaries_ = false;
  int selectedIndex_ = -1;
  int dataViewIndex_ = -1;
  std::int32_t precisionX_ = 3;
  std::unique_ptr<ChartTransform> transform_;
  double trackedX_;
  double trackedY_;
  double trackingWidth_ = 0.0;
  ChartSeriesMap series_;
  std::set<int> liveCharts_;
  TrackedValues trackedValues_;
  DataViewPoints dataViewPoints_;
  std::wstring name_;
  std::wstring nameX_ = L"X";
  ChartValueFormatter formatterX_ = FormatChartValue;
};

}  // namespace chart
