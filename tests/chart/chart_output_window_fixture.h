// A chart window in a frame whose panel records the chart's notifications, and whether the
// output file existed when each arrived: the base of the output command window tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/panel.h>

#include "chart/chart_container.h"
#include "tests/support/window_test.h"

namespace chart::test {

class ChartOutputWindowTest : public testing::Test {
 protected:
  ChartOutputWindowTest(const wxSize& chartSize, const std::wstring& name) {
    frame_ = new wxFrame(nullptr, wxID_ANY, "output", wxPoint(30, 30), chartSize + wxSize(60, 60));
    panel_ = new wxPanel(frame_);
    chart_ = new CChartContainer(panel_, 1300, wxPoint(10, 10), chartSize, name);
    panel_->Bind(EVT_CHART_NOTIFY, [this](ChartNotifyEvent& event) {
      codes_.push_back(static_cast<int>(event.Code()));
      existedAtNotify_.push_back(!watched_.empty() && std::filesystem::exists(watched_));
    });
    frame_->Show();
    PumpUntil([this] { return frame_->IsShownOnScreen(); });
  }
  ~ChartOutputWindowTest() override {
    frame_->Destroy();
    DrainEvents();
  }

  wxFrame* frame_ = nullptr;
  wxPanel* panel_ = nullptr;
  CChartContainer* chart_ = nullptr;
  std::vector<int> codes_;
  std::vector<bool> existedAtNotify_;
  std::string watched_;  // the file whose existence each notification records
};

}  // namespace chart::test
