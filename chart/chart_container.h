// CChartContainer: the chart window. It owns the window-free container data (series, extents,
// transform), turns paint, size and focus events into drawing of that data, and the mouse,
// wheel, keys and context menu into zooms, moves, selection, tracking and the menu commands,
// telling its parent what the user changed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/window.h>

#include "chart/chart_data_view.h"
#include "chart/chart_input.h"
#include "chart/chart_notify_event.h"
#include "chart/chart_paint.h"
#include "chart/core/chart_container_core.h"
#include "chart/core/chart_container_host.h"
#include "chart/data_windows.h"

namespace chart {

class CChartContainer : public wxWindow {
 public:
  // The object first, the window later with Create, as a dialog creates its controls.
  explicit CChartContainer(std::wstring name = L"");
  CChartContainer(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, std::wstring name = L"");
  ~CChartContainer() override;

  bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize);

  // ---- What the pages call (see ChartContainerCore for the rules) ----
  int AddChart(const ChartAddRecord& record, bool redraw);
  bool ReplaceChartData(int index, const ChartPoints* points, bool clipToX, bool fitExtents,
                        bool confirm, bool redraw);
  bool SetExtentX(double min, double max, bool redraw);
  bool SetExtentY(double min, double max, bool keepMargins, bool redraw);
  // Number of series the container holds.
  std::size_t GetChartCount() const { return core_.SeriesMap().size(); }

  ChartContainerCore& Core() { return core_; }
  const ChartContainerCore& Core() const { return core_; }
  // The legend and tracking data windows, and the chart data view.
  const ChartDataWindows& DataWindows() const { return dataWindows_; }
  CChartDataView* DataView() const { return dataView_.DataView(); }

  // Draws the whole chart into image at (x, y, w - 1, h - 1), as the window shows it, without
  // the data view's selection. The image is given an alpha channel when it has none; pixels
  // outside that rectangle are left as they are. The container is left as it is: a click
  // that follows is still read through the window's own transform.
  void DrawChartsTo(int x, int y, int w, int h, wxImage& image);

  // Invalidates the client area; the next paint (at the next frame) draws the change, so any
  // number of redraws between two frames cost one paint. Clears the live lines and, with
  // them, drops a half-made two-click zoom (ChartContainerCore::Redraw).
  void RedrawExceptPopups();

  // Live lines of mouse tracking and two-click zooms. They are drawn over the chart by the next
  // paint and stay until the chart is redrawn.
  void DrawVerticalTrackLine(int x, int y);
  void DrawHorizontalTrackLine(int x, int y);
  const std::vector<LiveLine>& LiveLines() const { return liveLines_; }

  // Sends notify to the parent window and returns whether the parent handled it. Nothing is
  // sent without a parent.
  bool SendChartNotify(const ChartNotify& notify);

  // Paints done so far (for measuring how redraws coalesce).
  std::size_t PaintCount() const { return paintCount_; }
  // Times the cached layer (box, axes, grid, series that are not live) was drawn.
  std::size_t LayerDrawCount() const { return layerDrawCount_; }

  // Hides the tracking window (redrawing when asked) and the legend when they are visible;
  // true when either was visible.
  bool HidePopups(bool redraw);

  // Opens the chart data view on the series (creating and placing its window first) and loads
  // it; reload loads it again when it already shows that series. False when the window cannot
  // be created.
  bool ShowChartDataView(int index, bool reload, bool redraw);

  // Timer ids of the container window: the tracking window's return after a Y-multiplier
  // change, and the data windows' re-placement after a resize.
  static constexpr int kRescaleTimerId = 1;
  static constexpr int kResizeTimerId = 2;
  static constexpr int kRescaleTimerMs = 500;
  static constexpr int kResizeTimerMs = 50;

 private:
  // The container data's view of this window.
  class Host : public ChartContainerHost {
   public:
    explicit Host(CChartContainer& owner) : owner_(owner) {}
    bool HasWindow() const override;
    bool IsWindowVisible() const override;
    SizeF ClientSize() const override;
    void Redraw() override;
    bool ConfirmReplaceData() override;
    void ShowVerticalTrackLine(int x, int y) override;
    void ShowHorizontalTrackLine(int x, int y) override;
    bool HasTrackingWindow() const override;
    bool IsTrackingWindowVisible() const override;
    void ShowTrackingRows(const ChartLabelRows& rows, Point anchor) override;
    void DestroyTrackingWindow() override;
    bool HasLegendWindow() const override;
    bool IsLegendWindowVisible() const override;
    bool ShowLegendRows(const ChartLabelRows& rows) override;
    void DestroyLegendWindow() override;
    bool HasDataView() const override;
    void RefreshChartDataView(int reloadKind) override;
    void DestroyDataViewWindow() override;
    void DestroyDataView() override;

   private:
    CChartContainer& owner_;
  };

  void BindEvents();
  void OnChartPaint(wxPaintEvent& event);
  void OnChartSize(wxSizeEvent& event);
  void OnFocusChange(wxFocusEvent& event);
  void OnChartLButtonDown(wxMouseEvent& event);
  void OnChartLButtonDblClk(wxMouseEvent& event);
  void OnChartLButtonUp(wxMouseEvent& event);
  void OnChartSetCursor(wxSetCursorEvent& event);
  void OnChartMButtonDown(wxMouseEvent& event);
  void OnChartMouseWheel(wxMouseEvent& event);
  void OnChartContextMenu(wxContextMenuEvent& event);
  void OnChartCommand(wxCommandEvent& event);
  void OnSeriesCommand(wxCommandEvent& event);
  void OnChartKeyDown(wxKeyEvent& event);
  void OnChartTimer(wxTimerEvent& event);

  // The menu commands that need the window.
  void ToggleLegend();
  void ViewChartData();
  void SaveCharts();
  void SaveImage();
  void Print();
  // A plain click while tracking: the values at the click show in the tracking window.
  void TrackingClick(int x, int y);
  void HideTrackingWindow();
  // Sends the step's notification; after a Y-multiplier change hides the tracking window until
  // timer 1 lays it out again.
  void FinishInput(const ChartInputResult& result);
  void ShowMessage(const wchar_t* text, long icon);
  // The cross while tracking, else the arrow.
  const wxCursor& TrackingCursor() const;
  void UpdateCursor();

  void RequestPaint();
  // What the core's redraw asks of the window: the live lines go, the whole chart is painted.
  void ClearLiveLinesAndRepaint();
  void AddLiveLine(LiveLine line);
  // Paints into the back buffer, sized to the whole client area.
  void RenderBackBuffer(const wxSize& client);

  // Declared before core_: the core keeps a pointer to it.
  Host host_;
  ChartContainerCore core_;
  wxBitmap backBuffer_;
  // The last background drawn with the series that are not live, and what it was drawn for.
  wxBitmap background_;
  ChartBackgroundKey backgroundKey_;
  std::vector<double> cachedSeries_;
  std::size_t layerDrawCount_ = 0;
  std::vector<LiveLine> liveLines_;
  wxTimer rescaleTimer_;
  wxTimer resizeTimer_;
  // After core_: they reach into it, and go (with their windows) before it.
  ChartDataWindows dataWindows_;
  ChartDataViewSlot dataView_;
  std::size_t paintCount_ = 0;
};

}  // namespace chart
