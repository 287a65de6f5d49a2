// Tracking values and the rows of the tracking data window and the legend.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "chart/core/chart_container_core.h"
#include "tests/chart/core/chart_test_support.h"

namespace chart {
namespace {

using test::Diagonal;
using test::FakeHost;
using test::Record;

// X and Y [0, 100] at home in a 207 x 107 window: screen (2 x + 3, 103 - 0.8 y); the client
// area shows data Y from -5 (bottom) to 128.75 (top).
class TrackingFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.SetHost(&host);
    chart.AddChart(Record(diagonal, L"A"), false);
    ChartAddRecord hidden = Record(single, L"B");
    hidden.visible = false;
    chart.AddChart(hidden, false);
    chart.AddChart(Record(vertical, L"C"), false);
    chart.AddChart(Record(high, L"D"), false);
    chart.GetChart(3, false)->SetYScale(3.0);  // 90 x 3 lies above the client area
  }

  // (series index, y) of each value or row, in multimap order.
  static std::vector<std::pair<int, double>> Values(const TrackedValues& values) {
    std::vector<std::pair<int, double>> out;
    for (const auto& [index, p] : values) out.emplace_back(index, p.y);
    return out;
  }
  static std::vector<std::pair<int, std::wstring>> Rows(const ChartLabelRows& rows) {
    std::vector<std::pair<int, std::wstring>> out;
    for (const auto& [index, row] : rows) out.emplace_back(index, row.textY);
    return out;
  }

  FakeHost host;
  ChartContainerCore chart;
  const ChartPoints diagonal = Diagonal(100, 10);
  const ChartPoints single = {{50, 40}};
  const ChartPoints vertical = {{40, 1}, {50, 1}, {50, 2}, {50, 3}, {60, 1}};
  const ChartPoints high = {{50, 90}};
  ChartLabelRows rows;
};

TEST_F(TrackingFixture, ValuesOfEverySeriesRowsOnlyForWhatShows) {
  TrackedValues values;
  const int count = chart.BuildDataWindowRows({50, 50}, 4, rows, values, true);

  const std::vector<std::pair<int, double>> expectedValues = {{0, 50}, {1, 40}, {2, 3},
                                                              {2, 2},  {2, 1},  {3, 90}};
  EXPECT_EQ(Values(values), expectedValues);
  // Hidden B and off-screen D keep their values but get no row; the vertical run of C is
  // listed from the nearest point backwards.
  const std::vector<std::pair<int, std::wstring>> expectedRows = {
      {0, L"= 50"}, {2, L"= 3"}, {2, L"= 2"}, {2, L"= 1"}};
  EXPECT_EQ(count, 4);
  EXPECT_EQ(Rows(rows), expectedRows);

  const ChartLabelRow& row = rows.begin()->second;
  EXPECT_EQ(row.seriesName, L"A");
  EXPECT_EQ(row.nameX, L"X");
  EXPECT_EQ(row.textX, L"= 50");
  EXPECT_EQ(row.nameY, L"Y");
}

TEST_F(TrackingFixture, NothingOutsideTheXExtentOrTheSearchWidth) {
  struct Case {
    const char* what;
    ChartPoint point;
    double width;
  };
  const std::vector<Case> cases = {
      {"right of the extent", {100.5, 50}, 4},
      {"left of the extent", {-1, 50}, 4},
      {"between points", {45, 50}, 4},
      {"no width", {50, 50}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TrackedValues values = {{0, {1, 1}}};  // stale entries are dropped
    rows.emplace(0, ChartLabelRow{});
    EXPECT_EQ(chart.BuildDataWindowRows(c.point, c.width, rows, values, false), 0);
    EXPECT_TRUE(values.empty());
    EXPECT_TRUE(rows.empty());
  }
}

TEST_F(TrackingFixture, RefreshRebuildsRowsFromTheStoredValues) {
  TrackedValues& values = chart.TrackedValuesFound();
  chart.BuildDataWindowRows({50, 50}, 4, rows, values, true);
  chart.SetTrackedPosition(50, 50, 4);

  TrackingRowsUpdate update = chart.RefreshTrackingRows(values, rows);
  EXPECT_EQ(update.count, 4);
  EXPECT_EQ(update.anchor.x, 103);
  EXPECT_EQ(update.anchor.y, 63);

  chart.ToggleChartVisibility(0);            // hidden: no row, value kept
  chart.GetChart(3, false)->SetYScale(1.0);  // back inside the client area
  values.emplace(99, ChartPoint{50, 5});     // a series that no longer exists
  update = chart.RefreshTrackingRows(values, rows);
  const std::vector<std::pair<int, std::wstring>> expectedRows = {
      {2, L"= 3"}, {2, L"= 2"}, {2, L"= 1"}, {3, L"= 90"}};
  EXPECT_EQ(Rows(rows), expectedRows);
  EXPECT_EQ(update.count, 4);
  EXPECT_EQ(values.count(0), 1u);
  EXPECT_EQ(values.count(99), 0u);
}

TEST_F(TrackingFixture, RefreshWithTheTrackedXOutOfViewHasNoRowsAndNoAnchor) {
  TrackedValues& values = chart.TrackedValuesFound();
  chart.BuildDataWindowRows({50, 50}, 4, rows, values, true);
  chart.SetTrackedPosition(50, 50, 4);
  ASSERT_TRUE(chart.SetExtentX(0, 40, false));

  const TrackingRowsUpdate update = chart.RefreshTrackingRows(values, rows);
  EXPECT_EQ(update.count, 0);
  EXPECT_EQ(update.anchor.x, -1);
  EXPECT_EQ(update.anchor.y, -1);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(values.size(), 6u);  // kept for when the view comes back
}

TEST_F(TrackingFixture, TrackingClickSetsTheTrackedPositionOnlyWhenValuesAreFound) {
  EXPECT_EQ(chart.TrackAtPoint(103, 63, rows), 4);
  EXPECT_NEAR(chart.TrackedX(), 50, 1e-9);
  EXPECT_NEAR(chart.TrackedY(), 50, 1e-9);
  EXPECT_NEAR(chart.TrackingWidth(), 3, 1e-9);  // 6 pixels at 2 pixels per unit
  EXPECT_EQ(chart.TrackedValuesFound().size(), 6u);

  EXPECT_EQ(chart.TrackAtPoint(13, 63, rows), 0);  // data x 5: no point within 1.5
  EXPECT_EQ(chart.TrackedX(), DBL_MAX);
  EXPECT_EQ(chart.TrackedY(), DBL_MAX);
  EXPECT_TRUE(chart.TrackedValuesFound().empty());
  EXPECT_TRUE(rows.empty());
}

TEST_F(TrackingFixture, LegendHasARowPerVisibleSeriesWithPoints) {
  const ChartPoints none;
  chart.AddChart(Record(none, L"E"), false);
  EXPECT_EQ(chart.BuildLegendRows(rows), 3);
  std::vector<std::wstring> names;
  for (const auto& [index, row] : rows) names.push_back(row.seriesName);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"C", L"D"}));
  EXPECT_TRUE(rows.begin()->second.textX.empty());

  ChartContainerCore empty;
  EXPECT_EQ(empty.BuildLegendRows(rows), 0);
  EXPECT_TRUE(rows.empty());
}

}  // namespace
}  // namespace chart
