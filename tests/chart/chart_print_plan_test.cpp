// What a chart printout puts where: page geometry, the rows of each printed series, which series
// are printed, how rows go onto pages, and the first page as drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <wx/image.h>

#include "chart/chart_print.h"
#include "chart/core/chart_container_core.h"
#include "tests/chart/chart_output_test_support.h"

namespace chart {
namespace {

using test::AddSeries;
using test::SeriesLook;

constexpr float kS = 300.0f / 96.0f;  // one screen pixel on paper at 96 dpi
const RectF kA4{0, 0, 2480, 3508};    // printable area of A4 at 300 units per inch

ChartPoints Ramp(double from, double to) {
  ChartPoints points;
  for (int k = 0; k <= 10; ++k) points.push_back({from + (to - from) * k / 10, 10.0 * k});
  return points;
}

// The number in "ScaleY = <n> units/inch\n".
double ScaleValue(const std::wstring& text) {
  const std::wstring prefix = L"ScaleY = ";
  EXPECT_EQ(text.rfind(prefix, 0), 0u) << std::string(text.begin(), text.end());
  EXPECT_EQ(text.substr(text.size() - 12), L" units/inch\n");
  return std::wcstod(text.c_str() + prefix.size(), nullptr);
}

TEST(ChartPrintGeometry, FrameIsThreeQuartersOfThePrintableWidthInEitherOrientation) {
  const RectF pages[] = {kA4, {0, 0, 3508, 2480}, {10, 20, 1000, 1000}};
  for (const RectF& b : pages) {
    const ChartPrintGeometry g = ComputePrintGeometry(b, kS);
    EXPECT_FLOAT_EQ(g.frame.height, 0.75f * b.width);
    EXPECT_FLOAT_EQ(g.frame.x, b.x + 200);
    EXPECT_FLOAT_EQ(g.frame.y, b.y + 400);
    EXPECT_FLOAT_EQ(g.frame.width, b.width - 400);
    EXPECT_FLOAT_EQ(g.plot.x, g.frame.x + 3 * kS);
    EXPECT_FLOAT_EQ(g.plot.Bottom(), g.frame.Bottom() - 3 * kS);
    EXPECT_FLOAT_EQ(g.header.y, b.y + 250);
    EXPECT_FLOAT_EQ(g.firstRows.Top(), g.plot.Bottom() + 100);
    EXPECT_FLOAT_EQ(g.firstRows.Left(), g.plot.Left());
    EXPECT_FLOAT_EQ(g.laterRows.Top(), b.y + 500);
    // Both row areas end at the printable bottom.
    EXPECT_FLOAT_EQ(g.firstRows.Bottom(), b.Bottom());
    EXPECT_FLOAT_EQ(g.laterRows.Bottom(), b.Bottom());
  }
}

TEST(ChartPrintRows, WithoutTrackingEachPrintedSeriesGivesOneRangeRow) {
  ChartContainerCore copy(L"Throttle");
  SeriesLook look;
  look.colour = 0x4000FF00;
  look.dashStyle = kDashDot;
  look.penWidth = 1.5f;
  AddSeries(copy, L"Curve", Ramp(0, 100), look);
  look.nameY = L"Out";
  AddSeries(copy, L"Second", {{0, -5}, {100, 25}}, look);

  const ChartPrintPlan plan = PlanChartPrint(copy, kA4, kS);
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_TRUE(copy.ShowsXBoundaries());
  auto it = plan.rows.begin();
  const PrintLabelRow& first = it->second;
  EXPECT_EQ(first.seriesName, L"Curve");
  EXPECT_GT(ScaleValue(first.scaleText), 0.0);
  EXPECT_EQ(first.selectionText, L"");
  EXPECT_EQ(first.firstLabel, L"MinY");
  EXPECT_EQ(first.firstValue, L"= 0");
  EXPECT_EQ(first.secondLabel, L"MaxY");
  EXPECT_EQ(first.secondValue, L"= 100");
  // The colour is printed opaque; the line look is the series'.
  EXPECT_EQ(first.colour, 0xFF00FF00u);
  EXPECT_EQ(first.dashStyle, kDashDot);
  EXPECT_FLOAT_EQ(first.penWidth, 1.5f);
  const PrintLabelRow& second = (++it)->second;
  EXPECT_EQ(second.seriesName, L"Second");
  EXPECT_EQ(second.firstValue, L"= -5");
  EXPECT_EQ(second.secondValue, L"= 25");
  // One inch of paper spans the same Y units for every series of one plot.
  EXPECT_EQ(first.scaleText, second.scaleText);
}

TEST(ChartPrintRows, ScaleIsTheYUnitsOneInchOfThePlotSpansOverTheMultiplier) {
  ChartContainerCore copy(L"C");
  const int id = AddSeries(copy, L"Curve", Ramp(0, 100));
  const ChartPrintPlan plain = PlanChartPrint(copy, kA4, kS);
  const double scale = ScaleValue(plain.rows.begin()->second.scaleText);
  // The Y extent [0, 100] fills 80 % of the plot (10 % margins above and below).
  const double expected = 100.0 / (0.8 * plain.geometry.plot.height / 300.0);
  EXPECT_NEAR(scale, expected, expected * 2e-3);

  copy.GetChart(id, false)->SetYScale(0.5);
  const ChartPrintPlan halved = PlanChartPrint(copy, kA4, kS);
  EXPECT_NEAR(ScaleValue(halved.rows.begin()->second.scaleText), 2.0 * scale, scale * 1e-3);
}

TEST(ChartPrintRows, TrackedValuesInsideTheFrameShowTheirValuesOthersTheRange) {
  ChartContainerCore copy(L"C");
  copy.SetNameX(L"In");
  SeriesLook look;
  look.nameY = L"Out";
  look.precisionY = 4;
  const int id = AddSeries(copy, L"Curve", Ramp(0, 100), look);
  AddSeries(copy, L"Other", Ramp(0, 100));
  copy.SetTracking(true);
  copy.SetTrackedPosition(40, 40, 1);
  copy.TrackedValuesFound().emplace(id, ChartPoint{40, 40.5});
  copy.TrackedValuesFound().emplace(id, ChartPoint{40, 1e6});  // far above the plot

  const ChartPrintPlan plan = PlanChartPrint(copy, kA4, kS);
  ASSERT_EQ(plan.rows.count(id), 2u);
  auto it = plan.rows.find(id);
  const PrintLabelRow& shown = it->second;
  EXPECT_EQ(shown.seriesName, L"Curve");
  EXPECT_FALSE(shown.scaleText.empty());
  EXPECT_EQ(shown.selectionText, L"Sel. Point: ");
  EXPECT_EQ(shown.firstLabel, L"In");
  EXPECT_EQ(shown.firstValue, L"= 40");
  EXPECT_EQ(shown.secondLabel, L"Out");
  EXPECT_EQ(shown.secondValue, L"= 40.5");
  const PrintLabelRow& outside = (++it)->second;
  EXPECT_EQ(outside.seriesName, L"");
  EXPECT_EQ(outside.scaleText, L"");
  EXPECT_EQ(outside.selectionText, L"Sel. N/A, ");
  EXPECT_EQ(outside.firstLabel, L"MinY");
  EXPECT_EQ(outside.firstValue, L"= 0");
  EXPECT_EQ(outside.secondValue, L"= 100");
  // A series without tracked values keeps its range row.
  EXPECT_EQ(plan.rows.rbegin()->second.firstLabel, L"MinY");
}

TEST(ChartPrintSelection, ASelectedSeriesIsPrintedAloneAndAnUnprintableOneHandsOn) {
  struct Case {
    const char* what;
    int selected;  // position of the selected series, -1 none
    bool selectedVisible;
    bool selectedHasPoints;
    std::vector<int> printed;  // positions
  };
  const Case cases[] = {
      {"no selection: every visible series with points", -1, true, true, {0, 2, 3}},
      {"a selected series alone", 2, true, true, {2}},
      {"a hidden selected series: the next one alone", 0, false, true, {2}},
      {"an empty selected series: the next one alone", 1, true, false, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartContainerCore copy(L"C");
    std::vector<int> ids;
    SeriesLook hidden;
    hidden.visible = false;
    ids.push_back(AddSeries(copy, L"A", Ramp(0, 100)));
    ids.push_back(AddSeries(copy, L"B", {}, hidden));
    ids.push_back(AddSeries(copy, L"C", Ramp(0, 50)));
    ids.push_back(AddSeries(copy, L"D", Ramp(0, 70)));
    if (c.selected >= 0) {
      ChartSeries* s = copy.GetChart(ids[c.selected], false);
      s->SetSelected(true);
      s->SetVisible(c.selectedVisible);
      if (!c.selectedHasPoints)
        s->SetPoints({});
      else if (s->Points().empty())
        s->SetPoints(Ramp(0, 10));
    }
    const ChartPrintPlan plan = PlanChartPrint(copy, kA4, kS);
    std::vector<int> expected;
    for (int position : c.printed) expected.push_back(ids[position]);
    EXPECT_EQ(plan.printed, expected);
    ASSERT_EQ(plan.rows.size(), expected.size());
    for (int id : expected) EXPECT_EQ(plan.rows.count(id), 1u);
  }
}

// A copy with count series, each with a row.
std::unique_ptr<ChartContainerCore> ManySeries(int count) {
  auto copy = std::make_unique<ChartContainerCore>(L"Many");
  for (int i = 0; i < count; ++i) AddSeries(*copy, L"S" + std::to_wstring(i), Ramp(0, 100 + i));
  return copy;
}

// Paginates a job with measurements of an image context in page units.
void Paginate(ChartPrintJob& job) {
  wxImage scratch(1, 1);
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(scratch));
  job.Paginate(*gc);
}

TEST(ChartPrintPages, RowsThatDoNotFitContinueOnFurtherPages) {
  ChartPrintJob job(ManySeries(80), 96, kA4);
  Paginate(job);
  ASSERT_GE(job.PageCount(), 2);
  int next = 0;
  for (const PrintPagePlan& page : job.Pages()) {
    EXPECT_FALSE(page.rows.empty());
    EXPECT_GT(page.next, next);
    next = page.next;
  }
  EXPECT_EQ(next, 80);
  // Further pages start higher than the rows of the first, under the header.
  const float firstTop = job.Pages()[0].rows[0].texts[0].at.y;
  const float laterTop = job.Pages()[1].rows[0].texts[0].at.y;
  EXPECT_FLOAT_EQ(firstTop, job.Plan().geometry.firstRows.Top());
  EXPECT_FLOAT_EQ(laterTop, 500.0f);
}

TEST(ChartPrintPages, RowsStartOnTheSecondPageWhenThePlotFillsTheFirst) {
  // Landscape: the frame is 0.75 of the width high and runs past the bottom of the page, so
  // a row placed under it would be off the paper.
  const RectF landscape{0, 0, 3508, 2480};
  ChartPrintJob job(ManySeries(3), 96, landscape);
  Paginate(job);
  ASSERT_EQ(job.PageCount(), 2);
  EXPECT_TRUE(job.Pages()[0].rows.empty());
  EXPECT_EQ(job.Pages()[1].rows.size(), 3u);
  for (const PlannedPrintRow& row : job.Pages()[1].rows) {
    for (const PrintRowText& text : row.texts) EXPECT_LT(text.at.y, landscape.Bottom());
  }
}

TEST(ChartPrintPages, ACopyWithoutSeriesPrintsOnePageWithHeaderAndFrame) {
  ChartPrintJob job(std::make_unique<ChartContainerCore>(L"Empty"), 96, kA4);
  Paginate(job);
  EXPECT_FALSE(job.Plan().hasSeries);
  EXPECT_EQ(job.PageCount(), 1);
  EXPECT_TRUE(job.Pages()[0].rows.empty());
}

}  // namespace
}  // namespace chart
