// Shared fixtures of the chart core tests: a fake window host and point helpers.
#pragma once

#include <utility>
#include <vector>

#include "chart/core/chart_container_core.h"

namespace chart::test {

// A window of known size that records what the container asks of it.
class FakeHost : public ChartContainerHost {
 public:
  // 207 x 107 gives the plot rectangle (3, 3, 200, 100).
  explicit FakeHost(SizeF size = {207.0f, 107.0f}) : size_(size) {}

  bool HasWindow() const override { return true; }
  bool IsWindowVisible() const override { return visible; }
  SizeF ClientSize() const override { return size_; }
  void Redraw() override { ++redraws; }
  bool ConfirmReplaceData() override {
    ++questions;
    return answerYes;
  }
  bool HasDataView() const override { return dataView; }
  void RefreshChartDataView(int reloadKind) override { reloads.push_back(reloadKind); }
  void DestroyDataViewWindow() override { ++dataViewWindowsDestroyed; }
  void DestroyDataView() override { dataView = false; }
  void ShowVerticalTrackLine(int x, int) override { liveLines.push_back({true, x}); }
  void ShowHorizontalTrackLine(int, int y) override { liveLines.push_back({false, y}); }
  bool HasTrackingWindow() const override { return trackingWindow; }
  void ShowTrackingRows(const ChartLabelRows&, Point) override { ++trackingRefreshes; }
  void DestroyTrackingWindow() override { trackingWindow = false; }

  bool visible = true;
  bool answerYes = true;
  bool dataView = false;
  int redraws = 0;
  int questions = 0;
  int dataViewWindowsDestroyed = 0;
  std::vector<int> reloads;
  // (vertical, client position) of each live line shown.
  std::vector<std::pair<bool, int>> liveLines;
  bool trackingWindow = false;
  int trackingRefreshes = 0;

 private:
  SizeF size_;
};

inline ChartAddRecord Record(const ChartPoints& points, std::wstring name = L"") {
  ChartAddRecord record;
  record.name = std::move(name);
  record.points = &points;
  return record;
}

// Points (x, y) for x = 0, step, ..., last with y = x.
inline ChartPoints Diagonal(double last, double step) {
  ChartPoints points;
  for (double x = 0.0; x <= last; x += step) points.push_back({x, x});
  return points;
}

}  // namespace chart::test
