// What the pop-up window tests share: a chart in a frame whose host hooks reach the data
// windows and the data view as CChartContainer's host does.
#pragma once

#include <memory>
#include <string>

#include <wx/frame.h>
#include <wx/panel.h>

#include "chart/chart_container.h"
#include "chart/chart_data_view.h"
#include "chart/data_windows.h"
#include "tests/support/window_test.h"

namespace chart::test {

// The screen as shown, kept as <name>.png when ORVO_SCREENSHOT_DIR is set.
inline wxImage Screenshot(const std::string& name) {
  const wxImage screen = ScreenImage();
  SaveImage(screen, name);
  return screen;
}

// The host hooks that CChartContainer's host implements, forwarding to the pop-ups.
class PopupHost : public ChartContainerHost {
 public:
  PopupHost(CChartContainer& chart, ChartDataWindows& windows, ChartDataViewSlot& view)
      : chart_(chart), windows_(windows), view_(view) {}

  bool HasWindow() const override { return chart_.GetHandle() != nullptr; }
  bool IsWindowVisible() const override { return chart_.IsShownOnScreen(); }
  SizeF ClientSize() const override {
    const wxSize size = chart_.GetClientSize();
    return {static_cast<float>(size.x), static_cast<float>(size.y)};
  }
  void Redraw() override { chart_.RedrawExceptPopups(); }

  bool HasTrackingWindow() const override { return windows_.HasTrackingWindow(); }
  bool IsTrackingWindowVisible() const override { return windows_.IsTrackingWindowVisible(); }
  void ShowTrackingRows(const ChartLabelRows& rows, Point anchor) override {
    windows_.ShowTrackingRows(rows, anchor);
  }
  void DestroyTrackingWindow() override { windows_.DestroyTrackingWindow(); }

  bool HasLegendWindow() const override { return windows_.HasLegendWindow(); }
  bool IsLegendWindowVisible() const override { return windows_.IsLegendWindowVisible(); }
  bool ShowLegendRows(const ChartLabelRows& rows) override { return windows_.ShowLegendRows(rows); }
  void DestroyLegendWindow() override { windows_.DestroyLegendWindow(); }

  bool HasDataView() const override { return view_.HasDataView(); }
  void RefreshChartDataView(int reloadKind) override { view_.RefreshChartDataView(reloadKind); }
  void DestroyDataViewWindow() override { view_.DestroyDataViewWindow(); }
  void DestroyDataView() override { view_.DestroyDataView(); }

 private:
  CChartContainer& chart_;
  ChartDataWindows& windows_;
  ChartDataViewSlot& view_;
};

// A frame with a page-sized chart whose host reaches the pop-ups.
class PopupFixture {
 public:
  // The frame's top-left corner at (20, 100) leaves room for the data view beside it.
  explicit PopupFixture(wxSize chartSize = wxSize(420, 300)) {
    frame_ = new wxFrame(nullptr, wxID_ANY, "chart pop-ups", wxPoint(20, 100),
                         chartSize + wxSize(40, 40));
    panel_ = new wxPanel(frame_);
    chart_ = new CChartContainer(panel_, 1100, wxPoint(20, 20), chartSize, L"Throttle");
    windows_ = std::make_unique<ChartDataWindows>(*chart_);
    view_ = std::make_unique<ChartDataViewSlot>(*chart_);
    host_ = std::make_unique<PopupHost>(*chart_, *windows_, *view_);
    chart_->Core().SetHost(host_.get());
    frame_->Show();
    PumpUntil([&] { return chart_->IsShownOnScreen() && chart_->PaintCount() > 0; });
  }
  ~PopupFixture() {
    view_.reset();
    windows_.reset();
    chart_->Core().SetHost(nullptr);
    host_.reset();
    frame_->Destroy();
    DrainEvents();
  }

  CChartContainer& Chart() { return *chart_; }
  ChartContainerCore& Core() { return chart_->Core(); }
  ChartDataWindows& Windows() { return *windows_; }
  ChartDataViewSlot& View() { return *view_; }
  wxFrame& Frame() { return *frame_; }

 private:
  wxFrame* frame_ = nullptr;
  wxPanel* panel_ = nullptr;
  CChartContainer* chart_ = nullptr;
  std::unique_ptr<ChartDataWindows> windows_;
  std::unique_ptr<ChartDataViewSlot> view_;
  std::unique_ptr<PopupHost> host_;
};

}  // namespace chart::test
