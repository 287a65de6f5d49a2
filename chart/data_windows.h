// The chart container's two data windows, the legend and the tracking values: they show the
// rows that the container data builds, and the tracking click places the tracking window.
#pragma once

#include <memory>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/graphics.h>

#include "chart/data_window.h"

namespace chart {

class CChartContainer;

class ChartDataWindows {
 public:
  // The container must outlive this object; the windows are the container's children and
  // are deleted here, so this must go before the container's window does (a member of the
  // container does).
  explicit ChartDataWindows(CChartContainer& container);
  ~ChartDataWindows();
  ChartDataWindows(const ChartDataWindows&) = delete;
  ChartDataWindows& operator=(const ChartDataWindows&) = delete;

  // ---- Tracking values ----
  bool HasTrackingWindow() const { return tracking_ != nullptr; }
  bool IsTrackingWindowVisible() const;
  // The window shows rows beside anchor (client point), or hides without rows.
  void ShowTrackingRows(const ChartLabelRows& rows, Point anchor);
  void DestroyTrackingWindow();
  // A click while tracking, at client (x, y): the window shows the values found there
  // beside the click, or the tracking window closes when nothing was found.
  void OnTrackingClick(int x, int y);

  // ---- Legend ----
  bool HasLegendWindow() const { return legend_ != nullptr; }
  bool IsLegendWindowVisible() const;
  // Shows rows in the legend (created first when there is none) in the top-right corner and
  // redraws the chart; false when the window could not be placed.
  bool ShowLegendRows(const ChartLabelRows& rows);
  void DestroyLegendWindow();

  // ---- Output ----
  // The visible windows drawn into gc where they stand in the container, legend first.
  void DrawDataWindowsTo(wxGraphicsContext& gc) const;
  // Client rectangles of the visible windows (live lines stop at them).
  std::vector<wxRect> VisibleWindowRects() const;

  CDataWnd* TrackingWindow() const { return tracking_.get(); }
  CDataWnd* LegendWindow() const { return legend_.get(); }

 private:
  std::unique_ptr<CDataWnd> MakeWindow() const;

  CChartContainer& container_;
  std::unique_ptr<CDataWnd> tracking_;
  std::unique_ptr<CDataWnd> legend_;
};

}  // namespace chart
