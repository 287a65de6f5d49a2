// CChartContainer: the chart window. It owns the window-free container data (series, extents,
// transform) and turns paint, size and focus events into drawing of that data.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/window.h>

#include "chart/chart_notify_event.h"
#include "chart/chart_paint.h"
#include "chart/core/chart_container_core.h"
#include "chart/core/chart_container_host.h"

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

  // Draws the whole chart into image at (x, y, w - 1, h - 1), as the window shows it, without
  // the data view's selection. The image is given an alpha channel when it has none; pixels
  // outside that rectangle are left as they are. Stores the image's transform in the
  // container until the next paint, as a paint does.
  void DrawChartsTo(int x, int y, int w, int h, wxImage& image);

  // Invalidates the client area; the next paint (at the next frame) draws the change, so any
  // number of redraws between two frames cost one paint. Clears the live lines.
  void RedrawExceptPopups();

  // Live lines of mouse tracking and two-click zooms. They are drawn over the chart by the next
  // paint and stay until the chart is redrawn. That paint keeps a pending first click.
  void DrawVerticalTrackLine(int x, int y);
  void DrawHorizontalTrackLine(int x, int y);
  const std::vector<LiveLine>& LiveLines() const { return liveLines_; }

  // Sends notify to the parent window and returns whether the parent handled it. Nothing is
  // sent without a parent.
  bool SendChartNotify(const ChartNotify& notify);

  // Paints done so far (for measuring how redraws coalesce).
  std::size_t PaintCount() const { return paintCount_; }

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

   private:
    CChartContainer& owner_;
  };

  void BindEvents();
  void OnChartPaint(wxPaintEvent& event);
  void OnChartSize(wxSizeEvent& event);
  void OnFocusChange(wxFocusEvent& event);
  void AddLiveLine(LiveLine line);
  // Paints into the back buffer, sized to the whole client area.
  void RenderBackBuffer(const wxSize& client);

  // Declared before core_: the core keeps a pointer to it.
  Host host_;
  ChartContainerCore core_;
  wxBitmap backBuffer_;
  // The last background drawn, and what it was drawn for.
  wxBitmap background_;
  ChartBackgroundKey backgroundKey_;
  std::vector<LiveLine> liveLines_;
  // What was asked for since the last paint. A paint asked for by live lines alone keeps
  // pending clicks; any other paint (asked for or not) drops them.
  enum class PendingPaint { kNone, kLiveLinesOnly, kFull };
  PendingPaint pending_ = PendingPaint::kNone;
  std::size_t paintCount_ = 0;
};

}  // namespace chart
