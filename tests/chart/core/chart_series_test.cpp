// Series records: sorting, extents, nearest point, screen points, labels and formatting.
#include <gtest/gtest.h>

#include <cfloat>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/core/chart_error.h"
#include "chart/core/chart_format.h"
#include "chart/core/chart_series.h"
#include "chart/core/chart_transform.h"

namespace chart {
namespace {

ChartPoints Xs(std::initializer_list<double> xs) {
  ChartPoints points;
  for (double x : xs) points.push_back({x, 0.0});
  return points;
}

TEST(ChartSeries, SortsStablyByXAndKeepsExtentsInStep) {
  ChartSeries series;
  series.SetPoints({{3, 1}, {1, 5}, {1, 2}});
  const ChartPoints& p = series.Points();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].x, 1);
  EXPECT_EQ(p[0].y, 5);  // equal x keep the caller's order
  EXPECT_EQ(p[1].y, 2);
  EXPECT_EQ(p[2].x, 3);
  EXPECT_EQ(series.MinX(), 1);
  EXPECT_EQ(series.MaxX(), 3);
  EXPECT_EQ(series.MinY(), 1);
  EXPECT_EQ(series.MaxY(), 5);

  series.SetPoints({{5, 7}});
  EXPECT_EQ(series.MinX(), series.MaxX());
  EXPECT_EQ(series.MinY(), series.MaxY());
  EXPECT_FALSE(series.HasExtent());

  series.SetPoints({});
  EXPECT_EQ(series.MinX(), DBL_MAX);
  EXPECT_EQ(series.MaxX(), -DBL_MAX);
  EXPECT_EQ(series.MinY(), DBL_MAX);
  EXPECT_EQ(series.MaxY(), -DBL_MAX);
}

TEST(ChartSeries, InitRefusesEmptyNameAndLeavesSeriesUnchanged) {
  ChartSeries series;
  series.InitChartSeries(false, false, 4, L"Curve", L"", 2, 3, 1.5f, 0.5f, 0xFF00FF00);
  EXPECT_EQ(series.GetChartSecondName(), L"Y");  // empty Y name means "Y"

  EXPECT_THROW(series.InitChartSeries(true, true, 9, L"", L"Out", 5, 0, 3.0f, 0.0f, 0xFF0000FF),
               std::invalid_argument);
  EXPECT_THROW(series.InitChartSeries(true, true, 9, L"", L"Out", 5, 0, 3.0f, 0.0f, 0xFF0000FF),
               ChartArgumentError);
  EXPECT_EQ(series.GetChartName(), L"Curve");
  EXPECT_EQ(series.Index(), 4);
  EXPECT_FALSE(series.IsVisible());
  EXPECT_EQ(series.DashStyle(), 3);
  EXPECT_EQ(series.Colour(), 0xFF00FF00u);
}

TEST(ChartSeries, CloneWithoutStateTakesFreshFlags) {
  ChartSeries series;
  series.InitChartSeries(false, false, 2, L"Brake", L"Out", 4, 1, 3.0f, 0.5f, 0x80112233);
  series.SetPoints({{0, 1}, {2, 3}});
  series.SetSelected(true);
  series.SetYScale(2.5);

  const auto fresh = series.CloneChartSeries(false);
  EXPECT_TRUE(fresh->IsVisible());
  EXPECT_FALSE(fresh->IsSelected());
  EXPECT_TRUE(fresh->ShowsPoints());
  EXPECT_EQ(fresh->YScale(), 1.0);
  EXPECT_EQ(fresh->GetChartName(), L"Brake");
  EXPECT_EQ(fresh->Index(), 2);
  EXPECT_EQ(fresh->Points().size(), 2u);
  EXPECT_EQ(fresh->MaxY(), 3);

  const auto kept = series.CloneChartSeries(true);
  EXPECT_FALSE(kept->IsVisible());
  EXPECT_TRUE(kept->IsSelected());
  EXPECT_FALSE(kept->ShowsPoints());
  EXPECT_EQ(kept->YScale(), 2.5);
}

struct NearestCase {
  const char* what;
  ChartPoints points;
  double target;
  double width;
  bool found;
  double x;
  int ordinal;
};

TEST(ChartSeries, FindNearestPointX) {
  const std::vector<NearestCase> cases = {
      {"nearest wins", Xs({4.5, 5.4, 5.6}), 5, 2, true, 5.4, 1},
      {"equal distance: later wins", Xs({4.5, 5.5}), 5, 2, true, 5.5, 1},
      {"window bounds are exclusive", Xs({4.0, 6.0}), 5, 2, false, 0, 0},
      {"outside the window", Xs({1.0, 9.0}), 5, 2, false, 0, 0},
      {"exact hit stops the walk", Xs({4.9, 5.0, 5.2}), 5, 2, true, 5.0, 1},
      {"third of three equal x", Xs({2.0, 5.0, 5.0, 5.0}), 5, 2, true, 5.0, 3},
      {"empty series", {}, 5, 2, false, 0, 0},
  };
  for (const NearestCase& c : cases) {
    SCOPED_TRACE(c.what);
    ChartSeries series;
    series.SetPoints(c.points);
    ChartPoint out{-1, -1};
    const NearestPoint result = series.FindNearestPointX({c.target, 0}, c.width, out);
    EXPECT_EQ(result.position != series.Points().end(), c.found);
    EXPECT_EQ(result.ordinal, c.ordinal);
    if (c.found) {
      EXPECT_DOUBLE_EQ(out.x, c.x);
      EXPECT_EQ(result.position->x, out.x);
    } else {
      EXPECT_EQ(out.x, -1);  // untouched
    }
  }
}

struct ScreenCase {
  const char* what;
  ChartPoints points;
  double minX, maxX;
  double yScale;
  std::vector<PointF> expected;
};

TEST(ChartSeries, GetScreenPointsCoversOnePointBeyondEachEdge) {
  const ChartTransform t{2.0, -1.0, 5.0, 100.0};
  const ChartPoints fourPoints = {{0, 1}, {10, 2}, {20, 3}, {30, 4}};
  const std::vector<ScreenCase> cases = {
      {"range between points", fourPoints, 12, 18, 1.0, {{25, 98}, {45, 97}}},
      {"range on points", fourPoints, 10, 20, 1.0, {{25, 98}, {45, 97}}},
      {"whole range", fourPoints, 0, 30, 1.0, {{5, 99}, {25, 98}, {45, 97}, {65, 96}}},
      {"left of all points", fourPoints, -20, -10, 1.0, {{5, 99}}},
      {"right of all points", fourPoints, 40, 50, 1.0, {{65, 96}}},
      {"y multiplier", fourPoints, 12, 18, 2.0, {{25, 96}, {45, 94}}},
      {"one point whatever its x", {{500, 1}}, 0, 10, 1.0, {{1005, 99}}},
  };
  for (const ScreenCase& c : cases) {
    SCOPED_TRACE(c.what);
    ChartSeries series;
    series.SetPoints(c.points);
    series.SetYScale(c.yScale);
    std::vector<PointF> out(7);  // reused vectors are resized
    ASSERT_TRUE(series.GetScreenPoints(series.Points(), out, t, c.minX, c.maxX));
    ASSERT_EQ(out.size(), c.expected.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
      EXPECT_FLOAT_EQ(out[i].x, c.expected[i].x) << i;
      EXPECT_FLOAT_EQ(out[i].y, c.expected[i].y) << i;
    }
  }
}

TEST(ChartSeries, GetScreenPointsRefusesEmptyVector) {
  ChartSeries series;
  std::vector<PointF> out;
  EXPECT_THROW(series.GetScreenPoints({}, out, ChartTransform{}, 0, 1), ChartArgumentError);
}

TEST(ChartSeries, LabelRowsRaiseAlphaAndFormatWithEqualsOnlyAfterANames) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> colours = {{0x20FF0000, 0x80FF0000},
                                                                        {0x00000000, 0x80000000},
                                                                        {0x80123456, 0x80123456},
                                                                        {0xC0FF0000, 0xC0FF0000}};
  for (const auto& [given, shown] : colours) {
    EXPECT_EQ(LabelColour(given), shown) << std::hex << given;
  }

  ChartSeries series;
  series.InitChartSeries(true, true, 0, L"Pedal", L"Out", 2, 1, 3.0f, 0.0f, 0x20FF0000);
  series.SetPoints({{1, 2}});
  const ChartLabelRow row = series.BuildPointLabelRow(1.25, 2.345, L"In", 3, nullptr);
  EXPECT_EQ(row.seriesName, L"Pedal");
  EXPECT_EQ(row.nameX, L"In");
  EXPECT_EQ(row.textX, L"= 1.25");
  EXPECT_EQ(row.nameY, L"Out");
  EXPECT_EQ(row.textY, L"= 2.3");
  EXPECT_EQ(row.colour, 0x80FF0000u);
  EXPECT_EQ(row.dashStyle, 1);
  EXPECT_EQ(row.penWidth, 3.0f);
  EXPECT_EQ(series.BuildPointLabelRow(1.25, 2, L"", 3, FormatChartValue).textX, L"1.25");

  ChartLabelRow legend;
  ASSERT_TRUE(series.BuildLegendLabelRow(legend));
  EXPECT_EQ(legend.seriesName, L"Pedal");
  EXPECT_TRUE(legend.textX.empty() && legend.textY.empty() && legend.nameY.empty());
  EXPECT_EQ(legend.colour, 0x80FF0000u);

  legend.seriesName = L"untouched";
  series.SetVisible(false);
  EXPECT_FALSE(series.BuildLegendLabelRow(legend));
  series.SetVisible(true);
  series.SetPoints({});
  EXPECT_FALSE(series.BuildLegendLabelRow(legend));
  EXPECT_EQ(legend.seriesName, L"untouched");
}

TEST(ChartFormat, FormatChartValueCountsSignificantDigits) {
  struct Case {
    double value;
    int precision;
    bool withEquals;
    const wchar_t* text;
  };
  const std::vector<Case> cases = {
      {1.1234567, 3, false, L"1.12"},  {1.1234567, 3, true, L"= 1.12"},
      {1234.5, 3, false, L"1.23e+03"}, {50.0, 3, false, L"50"},
      {-2.26, 2, false, L"-2.3"},      {0.000125, 2, false, L"0.00013"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatChartValue(c.value, c.precision, c.withEquals), c.text) << c.value;
  }
}

TEST(ChartFormat, ShortenChartNameKeepsFirstCharactersMarkAndLast) {
  struct Case {
    std::wstring text;
    std::size_t n;
    std::wstring shortened;
  };
  const std::vector<Case> cases = {
      {L"ABCDEFGHIJKLMNOPQRST", 18, L"ABCDEFGHIJKLMNOP^T"},
      {L"ABCDEFGHIJKLMNOPQRS", 18, L"ABCDEFGHIJKLMNOP^S"},
      {L"ABCDEFGHIJKLMNOPQR", 18, L"ABCDEFGHIJKLMNOPQR"},
      {L"Curva de aceleración", 18, L"Curva de acelera^n"},
      {L"", 18, L""},
      {L"ABC", 2, L"^C"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortenChartName(c.text, c.n, L"^"), c.shortened);
  }
}

TEST(ChartSeries, FindCloseNeighbourFindsPointsCloserThanTheMarkerSize) {
  struct Case {
    std::vector<PointF> points;
    std::size_t expected;
  };
  const std::vector<Case> cases = {
      {{{0, 0}, {5, 0}, {11, 0}}, 0},  // 5 px apart
      {{{0, 0}, {6, 0}, {12, 0}}, 3},  // 6 px apart: none
      {{{0, 0}, {0, 9}, {3, 0}}, 1},   // same x is no neighbour
      {{{0, 0}}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindCloseNeighbour(c.points, 6.0f), c.expected);
  }
}

}  // namespace
}  // namespace chart
