// Opening, refreshing and closing the legend and the tracking data window.
#include "chart/data_windows.h"

#include "chart/chart_container.h"

namespace chart {
namespace {

bool Shown(const CDataWnd* window) { return window && window->GetHandle() && window->IsShown(); }

}  // namespace

ChartDataWindows::ChartDataWindows(CChartContainer& container) : container_(container) {}

ChartDataWindows::~ChartDataWindows() = default;

std::unique_ptr<CDataWnd> ChartDataWindows::MakeWindow() const {
  const ChartContainerCore& core = container_.Core();
  return std::make_unique<CDataWnd>(core.Colour(ChartColourRole::kDataWindowBack),
                                    core.Colour(ChartColourRole::kDataWindowText));
}

bool ChartDataWindows::IsTrackingWindowVisible() const { return Shown(tracking_.get()); }

bool ChartDataWindows::IsLegendWindowVisible() const { return Shown(legend_.get()); }

void ChartDataWindows::ShowTrackingRows(const ChartLabelRows& rows, Point anchor) {
  if (!tracking_) return;
  // Kept even when empty: a hidden window holds no stale rows.
  tracking_->Rows() = rows;
  tracking_->UpdateDataWindow(tracking_->Rows(), container_, anchor.x, anchor.y);
}

void ChartDataWindows::DestroyTrackingWindow() { tracking_.reset(); }

void ChartDataWindows::OnTrackingClick(int x, int y) {
  ChartContainerCore& core = container_.Core();
  if (core.SeriesCount() == 0) return;
  if (!tracking_) tracking_ = MakeWindow();
  const int rows = core.TrackAtPoint(x, y, tracking_->Rows());
  if (rows > 0 && tracking_->CreateDataWindow(container_, x, y, true)) {
    container_.RedrawExceptPopups();
    tracking_->ShowDataWindow();
  } else {
    core.CloseTrackingWindow(true);
  }
}

bool ChartDataWindows::ShowLegendRows(const ChartLabelRows& rows) {
  if (!legend_) legend_ = MakeWindow();
  legend_->Rows() = rows;
  if (!legend_->CreateDataWindow(container_, 0, 0, false)) return false;
  container_.RedrawExceptPopups();
  legend_->ShowDataWindow();
  return true;
}

void ChartDataWindows::DestroyLegendWindow() { legend_.reset(); }

void ChartDataWindows::DrawDataWindowsTo(wxGraphicsContext& gc) const {
  for (const CDataWnd* window : {legend_.get(), tracking_.get()}) {
    if (!Shown(window)) continue;
    const IntRect& at = window->WindowRect();
    window->DrawDataWndTo(gc, static_cast<float>(at.left), static_cast<float>(at.top));
  }
}

std::vector<wxRect> ChartDataWindows::VisibleWindowRects() const {
  std::vector<wxRect> rects;
  for (const CDataWnd* window : {legend_.get(), tracking_.get()}) {
    if (Shown(window)) rects.push_back(window->GetRect());
  }
  return rects;
}

}  // namespace chart
