// The curve series and the green cross-hair that the pedal pages draw on their chart. Both axes
// run from 50 to 150: a point at input i and output o percent is drawn at (50 + i, 50 + o).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "chart/core/chart_series.h"

namespace chart {
class ChartContainerCore;
}

namespace pages {

inline constexpr double kPedalChartOffset = 50.0;
inline constexpr double kPedalChartMin = 50.0;
inline constexpr double kPedalChartMax = 150.0;

// The chart point of a curve point.
inline chart::ChartPoint PedalChartPoint(double input, double output) {
  return {input + kPedalChartOffset, output + kPedalChartOffset};
}

class PedalChart {
 public:
  // One name per curve series: "Pedal Curve" and, on the throttle page, "Pedal Curve 2".
  explicit PedalChart(std::vector<std::wstring> curveNames);

  // The first build adds the curves (red, with point markers) and the cross-hair lines "X" and
  // "Y" (green, 3 wide); later builds replace the curves' points and move the cross-hair.
  // Then both extents are set to 50..150. curves holds one point run per curve name.
  void Build(chart::ChartContainerCore& chart, const std::vector<chart::ChartPoints>& curves,
             int inputPercent, int outputPercent);

  // A vertical line at the scaled input and a horizontal one at the output. Before the first
  // build the points are only prepared; an unchanged cross-hair is not sent again.
  void UpdateCrossHair(chart::ChartContainerCore& chart, int inputPercent, int outputPercent);

  int CurveSeries(std::size_t curve) const { return curveSeries_.at(curve); }
  int CrossXSeries() const { return crossXSeries_; }
  int CrossYSeries() const { return crossYSeries_; }
  const chart::ChartPoints& CrossXPoints() const { return crossXPoints_; }
  const chart::ChartPoints& CrossYPoints() const { return crossYPoints_; }

 private:
  // True when the points changed.
  bool FillCrossHair(int inputPercent, int outputPercent);

  std::vector<std::wstring> curveNames_;
  std::vector<int> curveSeries_;
  int crossXSeries_ = -1;
  int crossYSeries_ = -1;
  chart::ChartPoints crossXPoints_;
  chart::ChartPoints crossYPoints_;
};

}  // namespace pages
