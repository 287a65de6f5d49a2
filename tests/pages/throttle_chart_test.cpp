// The throttle chart's series and cross-hair, and the styled text rules, without a window.
#include <gtest/gtest.h>

#include "chart/core/chart_container_core.h"
#include "pages/font_static.h"
#include "pages/pedal_chart.h"
#include "pages/throttle_page_model.h"

using namespace pages;

namespace {

TEST(ThrottleChartTest, CurvesShareTheNinetyPercentPoint) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  ApplyThrottleShape(s, CurveShape::kSlow);
  const auto curves = ThrottleChartCurves(s);
  ASSERT_EQ(curves.size(), 2u);
  ASSERT_EQ(curves[0].size(), 10u);
  ASSERT_EQ(curves[1].size(), 11u);
  EXPECT_DOUBLE_EQ(curves[0][0].x, 50.0);
  EXPECT_DOUBLE_EQ(curves[0][9].x, 140.0);
  EXPECT_DOUBLE_EQ(curves[0][9].y, 79.0 + 50.0);  // band_90
  EXPECT_DOUBLE_EQ(curves[1][0].x, 140.0);
  EXPECT_DOUBLE_EQ(curves[1][0].y, 79.0 + 50.0);
  EXPECT_DOUBLE_EQ(curves[1][2].x, 142.0);
  EXPECT_DOUBLE_EQ(curves[1][2].y, 82.5 + 50.0);  // band_92
  EXPECT_DOUBLE_EQ(curves[1][10].x, 150.0);
}

TEST(PedalChartTest, FirstBuildAddsFourSeriesThenReplacesThem) {
  chart::ChartContainerCore container;
  PedalChart pedal({L"Pedal Curve", L"Pedal Curve 2"});
  ThrottleCurveSettings s = DefaultThrottleSettings();
  pedal.Build(container, ThrottleChartCurves(s), 0, 0);
  ASSERT_EQ(container.SeriesMap().size(), 4u);
  EXPECT_EQ(container.GetChartNameById(pedal.CurveSeries(0)), L"Pedal Curve");
  EXPECT_EQ(container.GetChartNameById(pedal.CurveSeries(1)), L"Pedal Curve 2");
  EXPECT_EQ(container.GetChartNameById(pedal.CrossXSeries()), L"X");
  EXPECT_EQ(container.GetChartNameById(pedal.CrossYSeries()), L"Y");
  const chart::ChartSeries* curve = container.GetChart(pedal.CurveSeries(0), false);
  EXPECT_EQ(curve->Colour(), 0xFFFF0000u);
  EXPECT_TRUE(curve->ShowsPoints());
  EXPECT_FLOAT_EQ(curve->Tension(), 0.5f);
  const chart::ChartSeries* cross = container.GetChart(pedal.CrossXSeries(), false);
  EXPECT_EQ(cross->Colour(), 0xFF008000u);
  EXPECT_FALSE(cross->ShowsPoints());
  EXPECT_FLOAT_EQ(cross->PenWidth(), 3.0f);
  EXPECT_EQ(container.ExtentX().first, 50.0);
  EXPECT_EQ(container.ExtentX().second, 150.0);
  EXPECT_EQ(container.ExtentY().first, 50.0);
  EXPECT_EQ(container.ExtentY().second, 150.0);

  s.band[5] = 51.0f;
  pedal.Build(container, ThrottleChartCurves(s), 37, 37);
  EXPECT_EQ(container.SeriesMap().size(), 4u);
  EXPECT_DOUBLE_EQ(container.GetChart(pedal.CurveSeries(0), false)->Points()[5].y, 101.0);
  const auto& crossX = container.GetChart(pedal.CrossXSeries(), false)->Points();
  EXPECT_DOUBLE_EQ(crossX[0].x, 87.0);
  EXPECT_DOUBLE_EQ(crossX[0].y, 50.0);
  EXPECT_DOUBLE_EQ(crossX[1].y, 150.0);
  const auto& crossY = container.GetChart(pedal.CrossYSeries(), false)->Points();
  EXPECT_DOUBLE_EQ(crossY[0].x, 50.0);
  EXPECT_DOUBLE_EQ(crossY[1].x, 150.0);
  EXPECT_DOUBLE_EQ(crossY[1].y, 87.0);
}

TEST(PedalChartTest, CrossHairBeforeTheFirstBuildIsOnlyPrepared) {
  chart::ChartContainerCore container;
  PedalChart pedal({L"Pedal Curve"});
  pedal.UpdateCrossHair(container, 20, 30);
  EXPECT_TRUE(container.SeriesMap().empty());
  EXPECT_DOUBLE_EQ(pedal.CrossXPoints()[0].x, 70.0);
  EXPECT_DOUBLE_EQ(pedal.CrossYPoints()[0].y, 80.0);
}

TEST(FontStaticStyleTest, StylesAccumulateAndAlignmentIsReplaced) {
  FontStaticStyle style;
  EXPECT_EQ(style.face, "MS Sans Serif");
  EXPECT_EQ(style.height, 8);
  EXPECT_EQ(style.align, TextAlign::kLeft);
  style.Apply("Arial", 16, wxColour(255, 255, 255), kFontItalic | kFontAlignRight);
  style.Apply("Arial", 20, wxColour(1, 2, 3), kFontBold);
  EXPECT_TRUE(style.bold);
  EXPECT_TRUE(style.italic);
  EXPECT_FALSE(style.underline);
  EXPECT_EQ(style.align, TextAlign::kLeft);  // flags without alignment mean left
  EXPECT_EQ(style.height, 20);
  EXPECT_EQ(style.textColour, wxColour(1, 2, 3));
  style.Apply("Arial", 16, wxColour(0, 0, 0), kFontAlignCentre | kFontAlignRight);
  EXPECT_EQ(style.align, TextAlign::kCentre);
  style.Apply("Arial", 16, wxColour(0, 0, 0), 0x40);  // no effect but left alignment
  EXPECT_EQ(style.align, TextAlign::kLeft);
  EXPECT_TRUE(style.bold);
  EXPECT_FALSE(style.fillBackground);
}

TEST(FontStaticWrapTest, WrapsAtBlanksAndLineBreaks) {
  const auto width = [](const wxString& s) { return static_cast<int>(s.length()) * 10; };
  using Lines = std::vector<wxString>;
  EXPECT_EQ(WrapTextLines("Zona Muerta Inferior", 200, width), Lines{"Zona Muerta Inferior"});
  EXPECT_EQ(WrapTextLines("Zona Muerta Inferior", 120, width), (Lines{"Zona Muerta", "Inferior"}));
  EXPECT_EQ(WrapTextLines("Unbreakable", 30, width), Lines{"Unbreakable"});
  EXPECT_EQ(WrapTextLines("a\r\nb", 100, width), (Lines{"a", "b"}));
  EXPECT_EQ(WrapTextLines("A & B", 100, width), Lines{"A & B"});
}

}  // namespace
