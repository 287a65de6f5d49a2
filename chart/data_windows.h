// The chart container's two data windows, the legend and the tracking values, and what the
// container's host hooks and its tracking click do with them.
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
  // Rows at the container's tracked position into the window (the values into the container).
  void BuildDataWindowRows();
  // Rows from the container's tracked values; the window shows beside them or hides.
  void RefreshTrackingRows();
  void DestroyTrackingWindow();
  // A click while tracking, at client (x, y): the window shows the values found there
  // beside the click, or the tracking window closes when nothing was found.
  void OnTrackingClick(int x, int y);

  // ---- Legend ----
  bool HasLegendWindow() const { return legend_ != nullptr; }
  bool IsLegendWindowVisible() const;
  // Builds the legend rows and shows the legend in the top-right corner; closes the legend
  // when the container is not shown or has no points.
  void CreateLegendWindow();
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
