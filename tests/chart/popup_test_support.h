// What the pop-up window tests share: a chart in a frame, with its data windows and data view.
#pragma once

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

// A frame with a page-sized chart. The chart's own host reaches its data windows and its data
// view, as in the program.
class PopupFixture {
 public:
  // The frame's top-left corner at (20, 100) leaves room for the data view beside it.
  explicit PopupFixture(wxSize chartSize = wxSize(420, 300)) {
    frame_ = new wxFrame(nullptr, wxID_ANY, "chart pop-ups", wxPoint(20, 100),
                         chartSize + wxSize(40, 40));
    panel_ = new wxPanel(frame_);
    chart_ = new CChartContainer(panel_, 1100, wxPoint(20, 20), chartSize, L"Throttle");
    frame_->Show();
    PumpUntil([&] { return chart_->IsShownOnScreen() && chart_->PaintCount() > 0; });
  }
  ~PopupFixture() {
    frame_->Destroy();
    DrainEvents();
  }

  CChartContainer& Chart() { return *chart_; }
  ChartContainerCore& Core() { return chart_->Core(); }
  const ChartDataWindows& Windows() const { return chart_->DataWindows(); }
  CChartDataView* DataView() const { return chart_->DataView(); }

 private:
  wxFrame* frame_ = nullptr;
  wxPanel* panel_ = nullptr;
  CChartContainer* chart_ = nullptr;
};

}  // namespace chart::test
