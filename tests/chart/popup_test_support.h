// What the pop-up window tests share: a chart in a frame whose host hooks reach the data
// windows and the data view as CChartContainer's host does, event pumping, real input and
// screenshots read back from the X server.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "chart/chart_container.h"
#include "chart/chart_data_view.h"
#include "chart/data_windows.h"

namespace chart::test {

// Runs the event loop for ms milliseconds, or until done() holds.
inline bool Pump(int ms, const std::function<bool()>& done = {}) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (done && done()) return true;
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
  return !done || done();
}

// Saves the whole screen to path (the file to look at) and returns it as an image.
inline wxImage Screenshot(const std::string& path) {
  wxYield();
  const std::string command = "import -window root " + path + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  return wxImage(path, wxBITMAP_TYPE_PNG);
}

// The part of a screenshot that a window's client area covers.
inline wxImage ClientPixels(const wxImage& screen, const wxWindow& window) {
  const wxPoint at = window.ClientToScreen(wxPoint(0, 0));
  return screen.GetSubImage(wxRect(at, window.GetClientSize()));
}

// A click of the left (or another) button at a client point of window, as a user makes it.
inline void ClickAt(wxWindow& window, wxPoint client, int button = wxMOUSE_BTN_LEFT) {
  wxUIActionSimulator input;
  const wxPoint at = window.ClientToScreen(client);
  input.MouseMove(at);
  Pump(60);
  input.MouseClick(button);
  Pump(150);
}

inline void ClickCentre(wxWindow& window) {
  const wxSize size = window.GetClientSize();
  ClickAt(window, wxPoint(size.x / 2, size.y / 2));
}

// Output of a shell command.
inline std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// Waits for a window titled title (a modal dialog, say) from a timer that keeps running in
// its modal loop; then takes a screenshot and types keys into it.
class DialogKeys : public wxTimer {
 public:
  DialogKeys(std::string title, std::string screenshot, std::string keys)
      : title_(std::move(title)), screenshot_(std::move(screenshot)), keys_(std::move(keys)) {
    Start(150);
  }
  void Notify() override {
    const std::string id =
        Shell("xdotool search --onlyvisible --name '^" + title_ + "$' 2>/dev/null | tail -n 1");
    if (id.empty()) return;
    Stop();
    Shell("xdotool windowfocus --sync " + id + " sleep 0.5");
    Screenshot(screenshot_);
    Shell("xdotool key --clearmodifiers --delay 60 " + keys_);
    done_ = true;
  }
  bool Done() const { return done_; }

 private:
  std::string title_;
  std::string screenshot_;
  std::string keys_;
  bool done_ = false;
};

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
  bool ShowLegendRows(const ChartLabelRows& rows) override {
    return windows_.ShowLegendRows(rows);
  }
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
    Pump(3000, [&] { return chart_->IsShownOnScreen() && chart_->PaintCount() > 0; });
  }
  ~PopupFixture() {
    view_.reset();
    windows_.reset();
    chart_->Core().SetHost(nullptr);
    host_.reset();
    frame_->Destroy();
    Pump(100);
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
