// The chart data view's table without a window: texts, pages, hits, selection and refreshes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/core/data_view_model.h"

namespace chart {
namespace {

// Every character 10 units wide; table lines 20 units high, title lines 30.
class FixedMeasure : public DataViewMeasure {
 public:
  float TableTextWidth(const std::wstring& text) const override {
    return 10.0f * static_cast<float>(text.size());
  }
  float TableFontHeight() const override { return 20.0f; }
  float TitleFontHeight() const override { return 30.0f; }
};

// At 300 pixels per inch a screen pixel is one document unit. With up to two-digit texts a
// group is 92 wide ("..99" 40, X and Y 20 + 6 each); this area gives three groups 11.5
// apart and five rows per group: 15 points per page.
constexpr SizeF kArea{356.5f, 456.0f};

ChartPoints Line(int count) {
  ChartPoints points;
  for (int i = 0; i < count; ++i) points.push_back({double(i), 2.0 * i});
  return points;
}

std::wstring Bracketed(double value, int precision, bool withEquals) {
  return L"[" + FormatChartValue(value, precision, withEquals) + L"]";
}

class DataViewModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    series.InitChartSeries(true, true, 4, L"Pedal Curve", L"", 3, kDashSolid, 1.0f, 0.0f,
                           0xFFFF0000);
    SetPoints(Line(22));
  }
  void SetPoints(const ChartPoints& points) { series.SetPoints(points); }
  void Load(bool clear = true) {
    model.LoadDataView(container, series, clear);
    model.LayoutDataViewPages(kArea, measure);
  }
  DataViewUpdate Update(int kind) {
    return model.UpdateDataView(container, series, kind, kArea, measure);
  }
  std::vector<int> Selected() const {
    std::vector<int> out;
    for (const auto& [index, p] : model.SelectedCells()) out.push_back(index);
    return out;
  }

  ChartContainerCore container;
  ChartSeries series;
  FixedMeasure measure;
  ChartDataViewModel model{300.0f};
};

TEST_F(DataViewModelTest, LoadMakesTextsHeadersAndTitle) {
  container.SetNameX(L"");
  Load();
  EXPECT_EQ(model.SeriesIndex(), 4);
  EXPECT_EQ(model.HeaderX(), L"X");  // empty names fall back
  EXPECT_EQ(model.HeaderY(), L"Y");
  EXPECT_EQ(model.TextX(21), L"21");
  EXPECT_EQ(model.TextY(21), L"42");
  EXPECT_EQ(FormatIndexText(0), L"0");
  model.BuildDataViewTitle(L"Mon, Jan 05, 2026, 10:30");
  EXPECT_EQ(model.Title(), L"Pedal Curve (22 Points)      \nMon, Jan 05, 2026, 10:30");
}

TEST_F(DataViewModelTest, LayoutFitsGroupsAndRowsIntoTheArea) {
  Load();
  const DataViewPageLayout& l = model.Layout();
  EXPECT_EQ(l.groupsPerPage, 3u);
  EXPECT_EQ(l.rowsPerGroup, 5u);
  EXPECT_EQ(l.pointsPerPage, 15u);
  EXPECT_EQ(model.PageCount(), 2);
  EXPECT_FLOAT_EQ(l.group.width, 92.0f);
  EXPECT_FLOAT_EQ(l.originX, 21.5f);
  EXPECT_FLOAT_EQ(l.stride, 103.5f);
  EXPECT_FLOAT_EQ(l.originY, 100.0f);  // 10 + 2 title lines of 45
  EXPECT_FLOAT_EQ(l.rowHeight, 30.0f);
  EXPECT_FLOAT_EQ(l.xCell.x, 40.0f);
  EXPECT_FLOAT_EQ(l.yCell.x, 66.0f);
  EXPECT_FLOAT_EQ(l.header.y, 43.75f);
}

TEST_F(DataViewModelTest, LastPageSpreadsItsRowsFirstGroupsLonger) {
  Load();
  EXPECT_EQ(model.GroupRowCounts(0), (std::vector<std::uint32_t>{5, 5, 5}));
  EXPECT_EQ(model.GroupRowCounts(15), (std::vector<std::uint32_t>{3, 2, 2}));
}

TEST_F(DataViewModelTest, HitTestFindsTheRowAndItsRectangleOnTheCurrentPage) {
  Load();
  ASSERT_TRUE(model.OnNextPage());
  // Page 2 holds points 15..21 as 3, 2, 2 rows; the second group starts at 125.
  const auto hit = model.HitTestCell({130.0f, 165.0f});
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->index, 19u);
  EXPECT_FLOAT_EQ(hit->row.x, 125.0f);
  EXPECT_FLOAT_EQ(hit->row.y, 160.0f);
  const auto rect = model.GetCellRect(19);
  ASSERT_TRUE(rect);
  EXPECT_FLOAT_EQ(rect->x, hit->row.x);
  EXPECT_FLOAT_EQ(rect->y, hit->row.y);
  EXPECT_FLOAT_EQ(rect->width, 92.0f);

  EXPECT_FALSE(model.HitTestCell({118.0f, 165.0f})) << "between groups";
  EXPECT_FALSE(model.HitTestCell({130.0f, 195.0f})) << "below the group's last row";
  EXPECT_FALSE(model.HitTestCell({30.0f, 110.0f})) << "the header row";
  EXPECT_FALSE(model.GetCellRect(3)) << "not on this page";
}

TEST_F(DataViewModelTest, PagingStopsAtTheEndsAndSetsTheButtons) {
  SetPoints(Line(50));  // 4 pages
  Load();
  EXPECT_EQ(model.ButtonStates(), (PageButtonStates{false, false, true, true}));
  EXPECT_FALSE(model.OnPrevPage());
  EXPECT_FALSE(model.OnFirstPage());
  EXPECT_TRUE(model.OnNextPage());
  EXPECT_EQ(model.ButtonStates(), (PageButtonStates{true, true, true, true}));
  EXPECT_TRUE(model.OnLastPage());
  EXPECT_EQ(model.CurrentPage(), 3);
  EXPECT_EQ(model.ButtonStates(), (PageButtonStates{true, true, false, false}));
  EXPECT_FALSE(model.OnNextPage());
  EXPECT_TRUE(model.OnPrevPage());
  EXPECT_EQ(model.CurrentPage(), 2);
  EXPECT_TRUE(model.OnFirstPage());
  EXPECT_EQ(model.CurrentPage(), 0);

  SetPoints(Line(15));
  Load();
  EXPECT_EQ(model.PageCount(), 1);
  EXPECT_EQ(model.ButtonStates(), PageButtonStates{}) << "one page: all arrows off";
}

TEST_F(DataViewModelTest, AreaTooSmallForAGroupOrARowStillPagesEveryPoint) {
  model.LoadDataView(container, series, true);
  model.LayoutDataViewPages({60.0f, 200.0f}, measure);
  EXPECT_EQ(model.Layout().pointsPerPage, 1u);
  EXPECT_EQ(model.PageCount(), 22);
  EXPECT_EQ(model.GroupRowCounts(21), (std::vector<std::uint32_t>{1}));
}

TEST_F(DataViewModelTest, ClickingARowTwiceSelectsThenDeselects) {
  Load();
  EXPECT_TRUE(model.ToggleCell(7));
  EXPECT_EQ(Selected(), (std::vector<int>{7}));
  EXPECT_FALSE(model.ToggleCell(7));
  EXPECT_TRUE(Selected().empty());
  EXPECT_FALSE(model.ToggleCell(99));
}

TEST_F(DataViewModelTest, RefreshOfAnotherSeriesChangesNothingAndNoPointsClose) {
  Load();
  ChartSeries other;
  other.InitChartSeries(true, true, 5, L"Other", L"", 3, kDashSolid, 1.0f, 0.0f, 0);
  EXPECT_FALSE(model.UpdateDataView(container, other, kDataViewFormatOnly, kArea, measure).handled);
  SetPoints({});
  const DataViewUpdate update = Update(kDataViewPointsReplaced);
  EXPECT_TRUE(update.handled);
  EXPECT_TRUE(update.close);
}

TEST_F(DataViewModelTest, NewFormatterReformatsAllTextsAndColumnsOnlyWiden) {
  Load();
  const float before = model.Layout().xCell.width;
  container.SetFormatterX(Bracketed);
  Update(kDataViewFormatOnly);
  EXPECT_EQ(model.TextX(3), L"[3]");
  EXPECT_EQ(model.TextX(21), L"[21]");
  EXPECT_FLOAT_EQ(model.Layout().xCell.width, before + 20.0f);
  EXPECT_EQ(model.TextY(3), L"6") << "Y keeps its format";

  container.SetFormatterX(FormatChartValue);
  Update(kDataViewFormatOnly);
  EXPECT_EQ(model.TextX(21), L"21");
  EXPECT_FLOAT_EQ(model.Layout().xCell.width, before + 20.0f) << "never shrinks";
}

TEST_F(DataViewModelTest, AppendedPointsGetTextsAndPages) {
  Load();
  model.ToggleCell(2);
  SetPoints(Line(40));
  const DataViewUpdate update = Update(kDataViewPointsAppended);
  EXPECT_FALSE(update.syncSelection);
  EXPECT_EQ(model.PointCount(), 40u);
  EXPECT_EQ(model.TextY(39), L"78");
  EXPECT_EQ(model.PageCount(), 3);
  EXPECT_EQ(Selected(), (std::vector<int>{2}));
}

TEST_F(DataViewModelTest, AppendAfterAFormatChangeReformatsTheTextsAlreadyShown) {
  Load();
  container.SetFormatterX(Bracketed);
  SetPoints(Line(25));
  Update(kDataViewPointsAppended);
  EXPECT_EQ(model.TextX(0), L"[0]");
  EXPECT_EQ(model.TextX(24), L"[24]");
}

TEST_F(DataViewModelTest, TrimKeepsTheSurvivingPointsAndMovesTheirSelection) {
  Load();
  for (int i : {1, 5, 20}) model.ToggleCell(i);
  ChartPoints cut = Line(22);
  cut.erase(cut.begin(), cut.begin() + 3);
  cut.pop_back();
  SetPoints(cut);  // points 3..20
  const DataViewUpdate update = Update(kDataViewPointsTrimmed);
  EXPECT_TRUE(update.syncSelection) << "point 1 was dropped";
  EXPECT_EQ(model.PointCount(), 18u);
  EXPECT_EQ(model.TextX(0), L"3");
  EXPECT_EQ(Selected(), (std::vector<int>{2, 17}));
}

TEST_F(DataViewModelTest, TrimThatDoesNotMatchTheShownPointsReloadsInsteadOfFailing) {
  Load();
  model.ToggleCell(4);
  SetPoints({{4.0, 8.0}, {4.5, 1.0}, {30.0, 1.0}});  // first matches, last is new
  const DataViewUpdate update = Update(kDataViewPointsTrimmed);
  EXPECT_TRUE(update.syncSelection);
  EXPECT_EQ(model.PointCount(), 3u);
  EXPECT_EQ(model.TextX(2), L"30");
  EXPECT_EQ(Selected(), (std::vector<int>{0}));

  SetPoints({{-1.0, 0.0}});  // first point not shown at all
  EXPECT_NO_THROW(Update(kDataViewPointsTrimmed));
  EXPECT_EQ(model.PointCount(), 1u);
}

TEST_F(DataViewModelTest, ReloadMatchesTheSelectionByXAndDropsWhatLeftTheRange) {
  Load();
  for (int i : {2, 6, 21}) model.ToggleCell(i);
  ChartPoints moved;
  for (int i = 0; i <= 10; ++i) moved.push_back({double(i), -1.0 * i});
  SetPoints(moved);
  const DataViewUpdate update = Update(kDataViewPointsReplaced);
  EXPECT_TRUE(update.syncSelection);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 6}));
  EXPECT_DOUBLE_EQ(model.SelectedCells().at(6).y, -6.0) << "the cell takes the new point";
}

TEST_F(DataViewModelTest, RefreshThatDropsPagesMovesBackToTheLastPage) {
  SetPoints(Line(50));
  Load();
  model.OnLastPage();
  SetPoints(Line(20));
  Update(kDataViewPointsReplaced);
  EXPECT_EQ(model.PageCount(), 2);
  EXPECT_EQ(model.CurrentPage(), 1);
}

TEST_F(DataViewModelTest, ReloadWithoutClearingKeepsMatchingCells) {
  Load();
  model.ToggleCell(3);
  model.ToggleCell(9);
  ChartPoints shifted = Line(22);
  shifted.erase(shifted.begin());
  SetPoints(shifted);
  EXPECT_FALSE(model.LoadDataView(container, series, false));
  EXPECT_EQ(Selected(), (std::vector<int>{2, 8}));
  SetPoints(Line(5));
  EXPECT_TRUE(model.LoadDataView(container, series, false));
  EXPECT_EQ(Selected(), (std::vector<int>{3}));
  EXPECT_EQ(model.CurrentPage(), 0);
}

}  // namespace
}  // namespace chart
