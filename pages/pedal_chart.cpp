// Building the pedal curve chart.
#include "pages/pedal_chart.h"

#include <utility>

#include "chart/core/chart_container_core.h"

namespace {

constexpr std::uint32_t kCurveColour = 0xFFFF0000;      // opaque red
constexpr std::uint32_t kCrossHairColour = 0xFF008000;  // opaque green

chart::ChartAddRecord CurveRecord(const std::wstring& name, const chart::ChartPoints* points) {
  chart::ChartAddRecord r;
  r.visible = true;
  r.showPoints = true;
  r.name = name;
  r.nameY = L"Y";
  r.precisionY = 3;
  r.dashStyle = chart::kDashSolid;
  r.penWidth = 1.0f;
  r.tension = 0.5f;
  r.colour = kCurveColour;
  r.points = points;
  return r;
}

chart::ChartAddRecord CrossHairRecord(const std::wstring& name,
                                      const chart::ChartPoints* points) {
  chart::ChartAddRecord r;
  r.visible = true;
  r.showPoints = false;
  r.name = name;
  r.nameY = name;
  r.precisionY = 1;
  r.dashStyle = chart::kDashSolid;
  r.penWidth = 3.0f;
  r.tension = 0.0f;
  r.colour = kCrossHairColour;
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
      curveSeries_[i] = chart.AddChart(CurveRecord(curveNames_[i], &curves.at(i)), true);
    }
    FillCrossHair(inputPercent, outputPercent);
    crossXSeries_ = chart.AddChart(CrossHairRecord(L"X", &crossXPoints_), true);
    crossYSeries_ = chart.AddChart(CrossHairRecord(L"Y", &crossYPoints_), true);
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
