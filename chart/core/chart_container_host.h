// What the window-free container asks of its window and of the pop-up windows (tracking data
// window, legend, chart data view). Every hook has a no-op default, which is the behaviour of
// a container without a window: nothing is shown, so there is nothing to refresh or close.
#pragma once

#include <map>

#include "chart/core/chart_series.h"
#include "chart/core/geometry.h"

namespace chart {

using ChartLabelRows = std::multimap<int, ChartLabelRow>;  // series index -> rows, in order

class ChartContainerHost {
 public:
  virtual ~ChartContainerHost() = default;

  // The container's window.
  virtual bool HasWindow() const { return false; }
  virtual bool IsWindowVisible() const { return false; }
  // Client area size in pixels; the plot rectangle and every transform come from it.
  virtual SizeF ClientSize() const { return {}; }
  // Invalidates the client area (outside the pop-ups); the next paint draws the change.
  virtual void Redraw() {}
  // Asks "You will replace all old chart data. Replace anyway?"; true means Yes.
  virtual bool ConfirmReplaceData() { return true; }
  // Shows the live vertical line at x until the next paint.
  virtual void ShowVerticalTrackLine(int x, int y) {
    (void)x;
    (void)y;
  }
  // Shows the live horizontal line at y until the next paint.
  virtual void ShowHorizontalTrackLine(int x, int y) {
    (void)x;
    (void)y;
  }

  // Tracking data window.
  virtual bool HasTrackingWindow() const { return false; }
  virtual bool IsTrackingWindowVisible() const { return false; }
  // Shows rows (built by the container) beside anchor, the client point of the tracked
  // position; no rows hide the window.
  virtual void ShowTrackingRows(const ChartLabelRows& rows, Point anchor) {
    (void)rows;
    (void)anchor;
  }
  virtual void DestroyTrackingWindow() {}

  // Legend window.
  virtual bool HasLegendWindow() const { return false; }
  virtual bool IsLegendWindowVisible() const { return false; }
  // Shows rows (built by the container) in the legend window, created first when there is
  // none, in the top-right corner; false when it could not be placed.
  virtual bool ShowLegendRows(const ChartLabelRows& rows) {
    (void)rows;
    return false;
  }
  virtual void DestroyLegendWindow() {}

  // Chart data view: the object may exist without its window.
  virtual bool HasDataView() const { return false; }
  // Reloads the view's series; reloadKind 256 after its data was replaced, else 0.
  virtual void RefreshChartDataView(int reloadKind) { (void)reloadKind; }
  // Destroys the view's window, keeping the object.
  virtual void DestroyDataViewWindow() {}
  // Destroys the view, window and object.
  virtual void DestroyDataView() {}
};

}  // namespace chart
