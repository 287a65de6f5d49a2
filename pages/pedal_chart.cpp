// Building the pedal curve chart.
#include "pages/pedal_chart.h"

#include <utility>

#include "chart/core/chart_container_core.h"

namespace pages {

namespace {

struct SeriesLook {
  bool showPoints;
  std::int32_t precisionY;
  float penWidth;
  float tension;
  std::uint32_t colour;
};

// The curves: red, thin, smoothed, with point markers.
constexpr SeriesLook kCurveLook{true, 3, 1.0f, 0.5f, 0xFFFF0000};
// The cross-hair lines: green, 3 wide, straight, no markers.
constexpr SeriesLook kCrossHairLook{false, 1, 3.0f, 0.0f, 0xFF008000};

chart::ChartAddRecord SeriesRecord(const SeriesLook& look, const std::wstring& name,
                                   const std::wstring& nameY, const chart::ChartPoints* points) {
  chart::ChartAddRecord r;
  r.visible = true;
  r.showPoints = look.showPoints;
  r.name = name;
  r.nameY = nameY;
  r.precisionY = look.precisionY;
  r.dashStyle = chart::kDashSolid;
  r.penWidth = look.penWidth;
  r.tension = look.tension;
  r.colour = look.colour;
  r.points = points;
  return r;
}

bool SamePoints(const chart::ChartPoints& a, const chart::ChartPoints& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  }
  return true;
}

}  // namespace

PedalChart::PedalChart(std::vector<std::wstring> curveNames)
    : curveNames_(std::move(curveNames)), curveSeries_(curveNames_.size(), -1) {}

bool PedalChart::FillCrossHair(int inputPercent, int outputPercent) {
  const double x = inputPercent + kPedalChartOffset;
  const double y = outputPercent + kPedalChartOffset;
  chart::ChartPoints crossX{{x, kPedalChartMin}, {x, kPedalChartMax}};
  chart::ChartPoints crossY{{kPedalChartMin, y}, {kPedalChartMax, y}};
  const bool changed = !SamePoints(crossX, crossXPoints_) || !SamePoints(crossY, crossYPoints_);
  crossXPoints_ = std::move(crossX);
  crossYPoints_ = std::move(crossY);
  return changed;
}

void PedalChart::Build(chart::ChartContainerCore& chart,
                       const std::vector<chart::ChartPoints>& curves, int inputPercent,
                       int outputPercent) {
  if (chart.SeriesMap().empty()) {
    for (std::size_t i = 0; i < curveNames_.size(); ++i) {
      curveSeries_[i] =
          chart.AddChart(SeriesRecord(kCurveLook, curveNames_[i], L"Y", &curves.at(i)), true);
    }
    FillCrossHair(inputPercent, outputPercent);
    crossXSeries_ = chart.AddChart(SeriesRecord(kCrossHairLook, L"X", L"X", &crossXPoints_), true);
    crossYSeries_ = chart.AddChart(SeriesRecord(kCrossHairLook, L"Y", L"Y", &crossYPoints_), true);
    // The cross-hair moves with every input; the curves stay in the chart's cached layer.
    chart.SetLiveChart(crossXSeries_, true);
    chart.SetLiveChart(crossYSeries_, true);
  } else {
    for (std::size_t i = 0; i < curveNames_.size(); ++i) {
      chart.ReplaceChartData(curveSeries_[i], &curves.at(i), false, true, false, true);
    }
    UpdateCrossHair(chart, inputPercent, outputPercent);
  }
  chart.SetExtentX(kPedalChartMin, kPedalChartMax, true);
  chart.SetExtentY(kPedalChartMin, kPedalChartMax, false, true);
}

void PedalChart::UpdateCrossHair(chart::ChartContainerCore& chart, int inputPercent,
                                 int outputPercent) {
  // Replacing identical points would only repaint the same picture, 40 times a second.
  const bool changed = FillCrossHair(inputPercent, outputPercent);
  if (!changed || chart.SeriesMap().empty()) return;
  chart.ReplaceChartData(crossXSeries_, &crossXPoints_, false, true, false, true);
  chart.ReplaceChartData(crossYSeries_, &crossYPoints_, false, true, false, true);
}

}  // namespace pages
