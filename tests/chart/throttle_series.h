// The four series of the throttle page on its 50..150 extents: the curve in two parts and the
// live cross-hair, for an identity curve and an input of `input` percent.
#pragma once

#include "chart/chart_container.h"

namespace chart::test {

struct ThrottleSeries {
  int curve = -1;
  int fine = -1;
  int crossX = -1;
  int crossY = -1;
};

// Throttle page size: 153 x 117 dialog units at the fixed base units.
inline constexpr int kThrottleChartWidth = 153 * 6 / 4;
inline constexpr int kThrottleChartHeight = 117 * 13 / 8;

inline ChartPoints CrossX(double input) { return {{input + 50, 50}, {input + 50, 150}}; }
inline ChartPoints CrossY(double output) { return {{50, output + 50}, {150, output + 50}}; }

// Chart: CChartContainer or the window-free ChartContainerCore.
template <class Chart>
ThrottleSeries AddThrottleSeries(Chart& chart, double input) {
  ChartPoints curve, fine;
  for (int k = 0; k <= 9; ++k) curve.push_back({50.0 + 10 * k, 50.0 + 10 * k});
  for (int k = 0; k <= 10; ++k) fine.push_back({140.0 + k, 140.0 + k});
  const ChartPoints crossX = CrossX(input), crossY = CrossY(input);

  ChartAddRecord r;
  r.visible = true;
  r.showPoints = true;
  r.name = L"Pedal Curve";
  r.nameY = L"Y";
  r.precisionY = 3;
  r.dashStyle = kDashSolid;
  r.penWidth = 1.0f;
  r.tension = 0.5f;
  r.colour = 0xFFFF0000;
  r.points = &curve;
  ThrottleSeries ids;
  ids.curve = chart.AddChart(r, true);
  r.name = L"Pedal Curve 2";
  r.points = &fine;
  ids.fine = chart.AddChart(r, true);

  r.showPoints = false;
  r.name = L"X";
  r.nameY = L"X";
  r.precisionY = 1;
  r.penWidth = 3.0f;
  r.tension = 0.0f;
  r.colour = 0xFF008000;
  r.points = &crossX;
  ids.crossX = chart.AddChart(r, true);
  r.name = L"Y";
  r.nameY = L"Y";
  r.points = &crossY;
  ids.crossY = chart.AddChart(r, true);

  chart.SetExtentX(50.0, 150.0, true);
  chart.SetExtentY(50.0, 150.0, false, true);
  return ids;
}

// One live tick of the page: both cross-hair lines replaced, each with a redraw.
template <class Chart>
void LiveTick(Chart& chart, const ThrottleSeries& ids, double input) {
  const ChartPoints x = CrossX(input), y = CrossY(input);
  chart.ReplaceChartData(ids.crossX, &x, false, true, false, true);
  chart.ReplaceChartData(ids.crossY, &y, false, true, false, true);
}

}  // namespace chart::test
