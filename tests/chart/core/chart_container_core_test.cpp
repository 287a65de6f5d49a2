// Container data: naming, extents and their rules, replacing data, selection and reset.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "chart/core/chart_container_core.h"
#include "tests/chart/core/chart_test_support.h"

namespace chart {
namespace {

using test::Diagonal;
using test::FakeHost;
using test::Record;

TEST(ChartContainerNaming, DefaultShortenedAndDuplicateNames) {
  struct Case {
    const char* what;
    std::vector<std::wstring> given;
    std::vector<std::wstring> stored;
  };
  const std::vector<Case> cases = {
      {"unnamed series", {L"", L""}, {L"Cnart_0", L"Cnart_1"}},
      {"duplicate name", {L"Pedal Curve", L"Pedal Curve"}, {L"Pedal Curve", L"Pedal Curve_1"}},
      {"duplicate takes its own index",
       {L"", L"X", L"", L"X"},
       {L"Cnart_0", L"X", L"Cnart_2", L"X_3"}},
      {"long name", {L"ABCDEFGHIJKLMNOPQRST"}, {L"ABCDEFGHIJKLMNOP^T"}},
      {"long names equal once shortened",
       {L"ABCDEFGHIJKLMNOPQRST", L"ABCDEFGHIJKLMNOPxxxT"},
       {L"ABCDEFGHIJKLMNOP^T", L"ABCDEFGHIJKLMNOP^T_1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartContainerCore chart;
    for (std::size_t i = 0; i < c.given.size(); ++i) {
      const ChartPoints none;
      EXPECT_EQ(chart.AddChart(Record(none, c.given[i]), false), static_cast<int>(i));
    }
    for (std::size_t i = 0; i < c.stored.size(); ++i) {
      EXPECT_EQ(chart.GetChartNameById(static_cast<int>(i)), c.stored[i]);
      EXPECT_EQ(chart.GetChartIdByName(c.stored[i]), static_cast<int>(i));
    }
  }
}

TEST(ChartContainerExtents, AddChartExtendsTheHomeExtent) {
  struct Case {
    const char* what;
    std::vector<ChartPoints> series;
    ChartExtent x, y;
  };
  const std::vector<Case> cases = {
      {"one point is widened", {{{5, 7}}}, {5, 5.05}, {6.72, 7.07}},
      {"zero is not widened", {{{0, 0}}}, {0, 0}, {0, 0}},
      {"negative point", {{{-10, -10}}}, {-10, -9.9}, {-10.4, -9.9}},
      {"two series united", {{{0, 5}, {10, 6}}, {{-5, 1}, {3, 2}}}, {-5, 10}, {1, 6}},
      {"series without points change nothing", {{}, {{1, 2}, {3, 4}}, {}}, {1, 3}, {2, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartContainerCore chart;
    for (const ChartPoints& points : c.series) chart.AddChart(Record(points), false);
    EXPECT_NEAR(chart.ExtentX().first, c.x.first, 1e-12);
    EXPECT_NEAR(chart.ExtentX().second, c.x.second, 1e-12);
    EXPECT_NEAR(chart.ExtentY().first, c.y.first, 1e-12);
    EXPECT_NEAR(chart.ExtentY().second, c.y.second, 1e-12);
  }
}

TEST(ChartContainerExtents, SetExtentYRefusesEqualBoundsAndEmptyRanges) {
  FakeHost host;
  ChartContainerCore chart;
  chart.SetHost(&host);
  const ChartPoints data = Diagonal(100, 10);
  chart.AddChart(Record(data), false);

  EXPECT_FALSE(chart.SetExtentY(10, 10, false, false));
  EXPECT_FALSE(chart.SetExtentY(300, 400, false, false));
  EXPECT_TRUE(chart.Zoom().UndoStackY().empty());
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{0, 100}));

  // A hidden series does not count.
  chart.ToggleChartVisibility(0);
  EXPECT_FALSE(chart.SetExtentY(50, 150, false, false));
  chart.ToggleChartVisibility(0);
  EXPECT_TRUE(chart.SetExtentY(150, 50, false, false));
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{50, 150}));
  EXPECT_EQ(chart.Zoom().UndoStackY().front(), (ChartExtent{0, 100}));
}

TEST(ChartContainerExtents, SetExtentYStates) {
  struct Case {
    const char* what;
    bool firstKeepsMargins;
    bool shown;
    int afterFirst;
    bool secondKeepsMargins;
    int afterSecond;
  };
  const std::vector<Case> cases = {
      {"plain, not drawn", false, false, kYSetNotDrawn, false, kYSetNotDrawn},
      {"margins, not drawn", true, false, kYSetKeepMargins, true, kYSetNotDrawn},
      {"plain, drawn", false, true, kYZoomed, true, kYZoomed},
      {"margins, drawn", true, true, kYZoomedKeepMargins, true, kYZoomedKeepMargins},
      {"margins dropped", true, true, kYZoomedKeepMargins, false, kYZoomed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeHost host;
    host.visible = c.shown;
    ChartContainerCore chart;
    chart.SetHost(&host);
    const ChartPoints data = Diagonal(100, 10);
    chart.AddChart(Record(data), false);
    ASSERT_TRUE(chart.SetExtentY(10, 90, c.firstKeepsMargins, true));
    EXPECT_EQ(chart.Zoom().YState(), c.afterFirst);
    ASSERT_TRUE(chart.SetExtentY(20, 80, c.secondKeepsMargins, true));
    EXPECT_EQ(chart.Zoom().YState(), c.afterSecond);
    EXPECT_EQ(host.redraws, c.shown ? 2 : 0);
  }
}

TEST(ChartContainerHitTest, CountsWhatTheClientAreaWouldShow) {
  FakeHost host;
  ChartContainerCore chart;
  const ChartPoints data = Diagonal(100, 10);
  chart.AddChart(Record(data), false);

  // Without a window only the range itself counts. The point at the X extent's end
  // (100, 100) is never tested.
  EXPECT_TRUE(chart.HitTestCharts(-1, 90, 200));
  EXPECT_FALSE(chart.HitTestCharts(-1, 91, 200));
  // In the window the home margins show a little more than the range: 90 is visible.
  chart.SetHost(&host);
  EXPECT_TRUE(chart.HitTestCharts(-1, 91, 200));
  EXPECT_FALSE(chart.HitTestCharts(-1, 150, 250));
  // Only points from just before the X extent up to its end count.
  ASSERT_TRUE(chart.SetExtentX(0, 50, false));
  EXPECT_FALSE(chart.HitTestCharts(-1, 60, 200));
  // The Y multiplier applies.
  chart.GetChart(0, false)->SetYScale(4.0);
  EXPECT_TRUE(chart.HitTestCharts(-1, 150, 250));
  EXPECT_FALSE(chart.HitTestCharts(7, 0, 100));  // unknown series
}

class ReplaceChartDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.SetHost(&host);
    const ChartPoints curve = {{0, 0}, {50, 50}, {100, 100}};
    const ChartPoints none;
    curveId = chart.AddChart(Record(curve, L"Pedal Curve"), false);
    emptyId = chart.AddChart(Record(none, L"X"), false);
  }

  FakeHost host;
  ChartContainerCore chart;
  int curveId = -1;
  int emptyId = -1;
};

TEST_F(ReplaceChartDataTest, UnknownIndexAndRefusedConfirmationChangeNothing) {
  const ChartPoints other = {{1, 1}, {2, 2}};
  EXPECT_FALSE(chart.ReplaceChartData(9, &other, false, true, false, true));

  host.answerYes = false;
  EXPECT_FALSE(chart.ReplaceChartData(curveId, &other, false, true, true, true));
  EXPECT_EQ(host.questions, 1);
  EXPECT_EQ(chart.GetChart(curveId, false)->Points().size(), 3u);

  host.answerYes = true;
  EXPECT_TRUE(chart.ReplaceChartData(curveId, &other, false, false, true, false));
  EXPECT_EQ(chart.GetChart(curveId, false)->Points().size(), 2u);
}

TEST_F(ReplaceChartDataTest, SortsResetsYScaleAndReloadsTheDataView) {
  host.dataView = true;
  chart.SetDataViewIndex(curveId);
  chart.GetChart(curveId, false)->SetYScale(3.0);
  const ChartPoints unsorted = {{9, 1}, {3, 5}, {3, 2}};
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &unsorted, false, false, false, false));
  const ChartSeries& s = *chart.GetChart(curveId, false);
  EXPECT_EQ(s.Points().front().y, 5);
  EXPECT_EQ(s.MinX(), 3);
  EXPECT_EQ(s.MaxX(), 9);
  EXPECT_EQ(s.YScale(), 1.0);
  EXPECT_EQ(host.reloads, (std::vector<int>{kDataViewReloadReplaced}));
  // Without fitExtents the extents stay.
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{0, 100}));
}

TEST_F(ReplaceChartDataTest, ClipToXKeepsOnePointBeyondTheHomeExtent) {
  ASSERT_TRUE(chart.SetExtentX(40, 60, false));  // home stays 0..100
  const ChartPoints wide = Diagonal(200, 25);    // 0, 25, ..., 200
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &wide, true, false, false, false));
  const ChartPoints& kept = chart.GetChart(curveId, false)->Points();
  ASSERT_EQ(kept.size(), 5u);
  EXPECT_EQ(kept.front().x, 0);
  EXPECT_EQ(kept.back().x, 100);
}

TEST_F(ReplaceChartDataTest, FitWhileZoomedMovesHomeAndKeepsTheView) {
  ASSERT_TRUE(chart.SetExtentX(20, 80, false));
  ASSERT_TRUE(chart.SetExtentY(20, 80, false, false));
  ASSERT_TRUE(chart.SetExtentX(30, 70, false));
  ASSERT_EQ(chart.Zoom().UndoStackX().size(), 2u);

  const ChartPoints next = {{0, 10}, {50, 50}, {200, 120}};
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &next, false, true, false, false));
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{30, 70}));
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{20, 80}));
  EXPECT_EQ(chart.Zoom().UndoStackX(), (ChartExtentStack{{0, 200}}));
  EXPECT_EQ(chart.Zoom().UndoStackY(), (ChartExtentStack{{10, 120}}));
}

TEST_F(ReplaceChartDataTest, FitWithNothingLeftInViewReturnsHome) {
  ASSERT_TRUE(chart.SetExtentY(20, 80, false, false));
  chart.ToggleChartVisibility(emptyId);  // hidden series become visible again at home
  const ChartPoints high = {{0, 500}, {100, 600}};
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &high, false, true, false, false));
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{0, 100}));
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{500, 600}));
  EXPECT_TRUE(chart.Zoom().UndoStackX().empty());
  EXPECT_TRUE(chart.Zoom().UndoStackY().empty());
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  EXPECT_EQ(chart.Zoom().YState(), kYHome);
  EXPECT_TRUE(chart.GetChart(emptyId, false)->IsVisible());
}

TEST_F(ReplaceChartDataTest, EmptyingTheLastDataResetsExtentsButKeepsSeries) {
  ASSERT_TRUE(chart.SetExtentX(20, 80, false));
  ASSERT_TRUE(chart.SetExtentY(20, 80, false, false));
  chart.SelectChart(curveId, false);
  const ChartPoints none;
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &none, false, true, false, true));
  EXPECT_EQ(chart.SeriesCount(), 2u);
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{DBL_MAX, -DBL_MAX}));
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{DBL_MAX, -DBL_MAX}));
  EXPECT_TRUE(chart.Zoom().UndoStackX().empty() && chart.Zoom().UndoStackY().empty());
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  EXPECT_EQ(chart.Zoom().YState(), kYHome);
  EXPECT_EQ(chart.SelectedIndex(), -1);
  EXPECT_EQ(chart.CurrentTransform(), nullptr);
  EXPECT_GE(host.redraws, 1);
}

TEST_F(ReplaceChartDataTest, ResetContainerLeavesNoSeriesDrawnAsSelected) {
  chart.SelectChart(curveId, false);
  const ChartPoints none;
  ASSERT_TRUE(chart.ReplaceChartData(curveId, &none, false, false, false, false));
  EXPECT_EQ(chart.GetSelectedChartId(), -1);
  EXPECT_FALSE(chart.GetChart(curveId, false)->IsSelected());
}

TEST(ChartContainerQueries, VisibilityAndPointsDecideWhatQualifies) {
  ChartContainerCore chart;
  const ChartPoints none;
  const ChartPoints one = {{5, 5}};
  const ChartPoints two = {{0, 1}, {1, 2}};
  chart.AddChart(Record(none, L"empty"), false);  // 0
  chart.AddChart(Record(one, L"single"), false);  // 1
  chart.AddChart(Record(two, L"line"), false);    // 2
  chart.ToggleChartVisibility(1);

  EXPECT_TRUE(chart.HasDrawableChart(-1, true));
  EXPECT_FALSE(chart.HasDrawableChart(0, false));
  EXPECT_FALSE(chart.HasDrawableChart(1, true));
  EXPECT_TRUE(chart.HasDrawableChart(1, false));
  EXPECT_EQ(chart.FindChartWithExtent(-1, false), 2);  // one point spans no range
  EXPECT_EQ(chart.FindChartWithExtent(1, false), -1);
  EXPECT_EQ(chart.FindVisibleChart(-1)->Index(), 2);
  EXPECT_EQ(chart.FindVisibleChart(1), nullptr);
  EXPECT_EQ(chart.GetChart(-1, false)->Index(), 0);
  EXPECT_EQ(chart.GetChart(1, true)->Index(), 1);  // a given id whatever its visibility
  EXPECT_EQ(chart.GetChartFlag(2), std::optional<bool>(true));
  EXPECT_EQ(chart.GetChartFlag(7), std::nullopt);
  EXPECT_EQ(chart.FindChartByName(L"Line"), nullptr);  // case matters
  EXPECT_EQ(chart.GetChartNameById(7), L"");
  EXPECT_EQ(chart.GetChartsExtentX(), (ChartExtent{0, 5}));  // hidden series count
  EXPECT_EQ(ChartContainerCore().GetChartsExtentY(), (ChartExtent{DBL_MAX, -DBL_MAX}));
}

// Series 0 and 1 with two points each, series 2 without points; a data view is open.
class ChartSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.dataView = true;
    chart.SetHost(&host);
    const ChartPoints two = {{0, 1}, {1, 2}};
    const ChartPoints none;
    chart.AddChart(Record(two), false);
    chart.AddChart(Record(two), false);
    chart.AddChart(Record(none), false);
  }

  FakeHost host;
  ChartContainerCore chart;
};

TEST_F(ChartSelectionTest, SelectToggleAndHide) {
  EXPECT_EQ(chart.SelectChart(1, true), 1);
  EXPECT_EQ(chart.GetSelectedChartId(), 1);
  EXPECT_EQ(chart.SelectChart(0, true), 0);
  EXPECT_FALSE(chart.GetChart(1, false)->IsSelected());
  EXPECT_EQ(chart.SelectChart(0, true), -1);  // a second click deselects
  EXPECT_EQ(chart.GetSelectedChartId(), -1);
  EXPECT_EQ(chart.SelectChart(2, true), -1);  // nothing to draw
  EXPECT_EQ(chart.SelectChart(9, true), -1);
  EXPECT_EQ(host.redraws, 3);

  chart.SelectChart(1, false);
  chart.SetDataViewIndex(1);
  chart.SyncDataViewCell(1, 0, 0, 1, true);
  EXPECT_EQ(chart.ToggleChartVisibility(1), 0);
  EXPECT_EQ(chart.SelectedIndex(), -1);
  EXPECT_FALSE(chart.GetChart(1, false)->IsSelected());
  EXPECT_EQ(host.dataViewWindowsDestroyed, 1);
  EXPECT_TRUE(chart.SelectedDataViewPoints().empty());
  EXPECT_EQ(chart.DataViewIndex(), 1);  // the view keeps its series
  EXPECT_EQ(chart.ToggleChartVisibility(1), 1);
  EXPECT_EQ(chart.ToggleChartVisibility(9), -1);
}

TEST_F(ChartSelectionTest, DataViewCellsMirrorTheViewsSelection) {
  chart.SetDataViewIndex(0);

  chart.SyncDataViewCell(0, 1, 1, 2, true);
  chart.SyncDataViewCell(0, 1, 9, 9, true);  // present: kept as it was
  chart.SyncDataViewCell(5, 0, 0, 1, true);  // another series: ignored
  ASSERT_EQ(chart.SelectedDataViewPoints().size(), 1u);
  EXPECT_EQ(chart.SelectedDataViewPoints().at(1).x, 1);
  const int redraws = host.redraws;
  chart.SyncDataViewCell(0, 0, 0, 1, false);  // not present: no redraw
  EXPECT_EQ(host.redraws, redraws);

  chart.SyncDataViewSelection(0, {{0, {0, 1}}, {1, {1, 2}}});
  EXPECT_EQ(chart.SelectedDataViewPoints().size(), 2u);
  EXPECT_TRUE(chart.DataViewClosed());
  EXPECT_EQ(chart.DataViewIndex(), -1);
  EXPECT_TRUE(chart.SelectedDataViewPoints().empty());
  EXPECT_FALSE(chart.DataViewClosed());  // the view is gone
}

// A plot of 200 x 100 px at (3, 3).
class ChartPaintLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { chart.SetHost(&host); }
  ChartPaintLayout Paint() { return chart.PreparePaint(chart.ClientBounds()); }
  void Add(const ChartPoints& points) { chart.AddChart(Record(points), false); }

  FakeHost host;
  ChartContainerCore chart;
};

TEST_F(ChartPaintLayoutTest, WithoutSeriesOrPointsNothingIsPlaced) {
  ChartPaintLayout layout = Paint();
  EXPECT_FALSE(layout.hasSeries);
  EXPECT_EQ(chart.GetScaleFactors(layout.plot, 0, 1e-9, -5, 5).perX, 1.0);
  EXPECT_EQ(chart.GetScaleFactors(layout.plot, 0, 1e-9, -5, 5).perY, 1.0);
  Add({});
  layout = Paint();
  EXPECT_TRUE(layout.hasSeries);
  EXPECT_FALSE(layout.hasPoints);
  EXPECT_EQ(chart.CurrentTransform(), nullptr);
}

TEST_F(ChartPaintLayoutTest, DataLandsWhereTheAxisPlacementAndMarginsSay) {
  struct Case {
    const char* what;
    ChartPoints data;
    std::optional<ChartExtent> setY;
    int xAxisCode;
    std::vector<std::pair<double, float>> yToScreen;
  };
  const std::vector<Case> cases = {
      {"[-50, 50] at home", {{0, -50}, {1, 50}}, {}, kAxisAtZero, {{0, 53}, {50, 13}, {-50, 93}}},
      {"[0, 100] at home", {{0, 0}, {1, 100}}, {}, kAxisAtHigh, {{0, 103}, {100, 23}}},
      {"[50, 150] set by a page",
       {{0, 50}, {1, 150}},
       ChartExtent{50, 150},
       kAxisAtHigh,
       {{50, 103}, {150, 3}}},
      {"[-100, -20] at home", {{0, -100}, {1, -20}}, {}, kAxisAtLow, {{-20, 3}, {-100, 83}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartContainerCore fresh;
    fresh.SetHost(&host);
    fresh.AddChart(Record(c.data), false);
    if (c.setY) {
      ASSERT_TRUE(fresh.SetExtentY(c.setY->first, c.setY->second, false, false));
    }
    const ChartPaintLayout layout = fresh.PreparePaint(fresh.ClientBounds());
    ASSERT_TRUE(layout.hasPoints);
    EXPECT_EQ(layout.xAxis.code, c.xAxisCode);
    EXPECT_EQ(fresh.XAxisCode(), c.xAxisCode);
    EXPECT_FLOAT_EQ(fresh.XAxisScreenY(), layout.xAxis.position);
    for (const auto& [y, screenY] : c.yToScreen) {
      EXPECT_NEAR(layout.transform.ToScreen(0, y).y, screenY, 1e-4) << y;
    }
    ASSERT_NE(fresh.CurrentTransform(), nullptr);
    EXPECT_EQ(fresh.CurrentTransform()->offsetY, layout.transform.offsetY);
    EXPECT_EQ(fresh.PixelsPerY(), layout.scale.perY);
  }
}

TEST_F(ChartPaintLayoutTest, NegativeXExtentPutsTheYAxisOnTheRightEdge) {
  Add({{-10, 0}, {-2, 1}});
  const ChartPaintLayout layout = Paint();
  EXPECT_EQ(layout.yAxis.code, kAxisAtHigh);
  EXPECT_FLOAT_EQ(layout.yAxis.position, 203.0f);
  EXPECT_NEAR(layout.transform.ToScreen(-2, 0).x, 203.0, 1e-4);
  EXPECT_NEAR(layout.transform.ToScreen(-10, 0).x, 3.0, 1e-4);
  EXPECT_FLOAT_EQ(layout.crossing.x, layout.yAxis.position);
  EXPECT_FLOAT_EQ(layout.crossing.y, layout.xAxis.position);
}

TEST_F(ChartPaintLayoutTest, ClientPointsMapBackAfterAPaint) {
  Add({{-40, -30}, {60, 70}});
  Paint();
  const ChartTransform& t = *chart.CurrentTransform();
  for (const ChartPoint& data : std::vector<ChartPoint>{{-40, -30}, {0, 0}, {60, 70}}) {
    const PointF s = t.ToScreen(data.x, data.y);
    const ChartPoint back = ScreenToData(static_cast<int>(s.x), static_cast<int>(s.y), &t);
    // Whole pixels: within one pixel's worth of data.
    EXPECT_NEAR(back.x, data.x, 1.0 / t.scaleX);
    EXPECT_NEAR(back.y, data.y, 1.0 / -t.scaleY);
  }
}

TEST_F(ChartPaintLayoutTest, ScreenToDataXBuildsTheTransformWhenNoneWasPainted) {
  Add(Diagonal(100, 10));
  ASSERT_EQ(chart.CurrentTransform(), nullptr);
  const std::optional<double> x = chart.ScreenToDataX(103, 50, false);
  ASSERT_TRUE(x.has_value());
  EXPECT_NEAR(*x, 50.0, 1e-9);
  EXPECT_NE(chart.CurrentTransform(), nullptr);
}

TEST(ChartContainerTransform, ScreenToDataXInAWindowWithoutAreaReportsNoValue) {
  FakeHost tiny({1.0f, 1.0f});
  ChartContainerCore chart;
  chart.SetHost(&tiny);
  const ChartPoints data = Diagonal(100, 10);
  chart.AddChart(Record(data), false);
  const ChartTransform& t = chart.EnsureTransform();
  EXPECT_TRUE(std::isfinite(t.scaleX) && std::isfinite(t.offsetX));
  // The plot is -6 px wide: the transform inverts, and the value is finite.
  const std::optional<double> x = chart.ScreenToDataX(0, 0, false);
  ASSERT_TRUE(x.has_value());
  EXPECT_TRUE(std::isfinite(*x));

  FakeHost flat({7.0f, 50.0f});  // plot width exactly 0
  ChartContainerCore narrow;
  narrow.SetHost(&flat);
  narrow.AddChart(Record(data), false);
  EXPECT_FALSE(narrow.ScreenToDataX(0, 0, false).has_value());
  EXPECT_EQ(narrow.Zoom().XState(), kXHome);
  EXPECT_TRUE(narrow.SetExtentY(10, 90, false, false));  // hit testing copes too
}

TEST_F(ChartPaintLayoutTest, ZeroSpanDataPaintsWithFiniteCentredScales) {
  Add({{0, 0}, {0, 0}});  // one X and one Y value, both 0: no widening
  ASSERT_EQ(chart.ExtentX(), (ChartExtent{0, 0}));
  ASSERT_EQ(chart.ExtentY(), (ChartExtent{0, 0}));
  const ChartPaintLayout layout = Paint();
  ASSERT_TRUE(std::isfinite(layout.scale.perX) && std::isfinite(layout.scale.perY));
  ASSERT_TRUE(IsInvertible(layout.transform));
  const PointF p = layout.transform.ToScreen(0, 0);
  EXPECT_FLOAT_EQ(p.x, 103.0f);
  EXPECT_FLOAT_EQ(p.y, 53.0f);
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{0, 0}));  // stored extents stay as they are
  EXPECT_TRUE(std::isfinite(chart.GetYScaleStep(*chart.GetChart(0, false)).second));
}

TEST_F(ChartPaintLayoutTest, YScaleStepMovesTheLargestValueByOnePercentOfTheHeight) {
  Add({{0, 0}, {1, 100}});
  ASSERT_TRUE(chart.SetExtentY(0, 100, false, false));  // no margins: 1 px per unit
  Paint();
  ASSERT_DOUBLE_EQ(chart.PixelsPerY(), 1.0);
  const auto [scale, step] = chart.GetYScaleStep(*chart.GetChart(0, false));
  EXPECT_EQ(scale, 1.0);
  EXPECT_NEAR(step, 107 * 0.01 / 100, 1e-12);

  ChartContainerCore windowless;
  const ChartPoints data = {{0, 1}};
  windowless.AddChart(Record(data), false);
  EXPECT_EQ(windowless.GetYScaleStep(*windowless.GetChart(0, false)),
            (std::pair<double, double>{1.0, 0.0}));
}

}  // namespace
}  // namespace chart
