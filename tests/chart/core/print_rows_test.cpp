// Printed label rows: column layout on one, two or three lines, and page planning.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/core/print_rows.h"

namespace chart {
namespace {

// Every character is 10 units wide.
float TenPerCharacter(const std::wstring& text) { return 10.0f * static_cast<float>(text.size()); }

PrintLabelRow FullRow() {
  PrintLabelRow row;
  row.seriesName = L"Brake";   // 50
  row.scaleText = L"x1";       // 20
  row.selectionText = L"sel";  // 30
  row.firstLabel = L"X";       // 10
  row.firstValue = L"50";      // 20
  row.secondLabel = L"Y";      // 10
  row.secondValue = L"60";     // 20
  return row;
}

TEST(PrintRowLayout, OneTwoOrThreeLinesByTheAreaWidth) {
  // Right to left with s = 1 (gap 3) from the right edge W: x6 = W - 20, x5 = W - 33,
  // x4 = W - 56, x3 = W - 63, x2 = W - 90, x1 = W - 113, x0 = W - 166, sample W - 189.
  struct Case {
    const char* what;
    float width;
    std::int32_t lines;
    float sample;
    std::array<float, kPrintColumnCount> x;
  };
  const std::vector<Case> cases = {
      {"centred on one line",
       400,
       0,
       105.5f,
       {128.5f, 181.5f, 204.5f, 231.5f, 238.5f, 261.5f, 274.5f}},
      {"two lines", 150, kPrintSecondLine, 0, {23, 76, 60, 87, 94, 117, 130}},
      {"three lines", 80, kPrintSecondLine | kPrintThirdLine, 0, {23, 76, 14, 47, 60, 47, 60}},
  };
  PrintLabelRows rows;
  rows.emplace(0, FullRow());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PrintRowLayout layout = LayoutPrintRows({0, 0, c.width, 500}, rows, TenPerCharacter, 1);
    EXPECT_EQ(layout.lines, c.lines);
    EXPECT_FLOAT_EQ(layout.sampleX, c.sample);
    for (int col = 0; col < kPrintColumnCount; ++col) {
      EXPECT_FLOAT_EQ(layout.x[col], c.x[col]) << "column " << col;
    }
  }
}

TEST(PrintRowLayout, EmptyColumnsTakeNoRoomAndTheWidestTextCounts) {
  PrintLabelRows rows;
  PrintLabelRow values;
  values.firstValue = L"1";
  values.secondValue = L"1234";
  rows.emplace(0, values);
  PrintLabelRow wider;
  wider.firstValue = L"123";
  rows.emplace(1, wider);
  const PrintRowLayout layout = LayoutPrintRows({100, 0, 300, 500}, rows, TenPerCharacter, 2);
  // Only the values: x6 = 400 - 40, x4 = 360 - 30 - 6; the rest collapse onto x4, then the
  // whole row is centred: shift (324 - 100) / 2.
  EXPECT_EQ(layout.lines, 0);
  EXPECT_FLOAT_EQ(layout.x[kPrintSecondValue], 360 - 112);
  EXPECT_FLOAT_EQ(layout.x[kPrintSecondLabel], 360 - 112);
  EXPECT_FLOAT_EQ(layout.x[kPrintFirstValue], 324 - 112);
  EXPECT_FLOAT_EQ(layout.x[kPrintSeriesName], 324 - 112);
  EXPECT_FLOAT_EQ(layout.sampleX, 324 - 112);
}

// A row without a series name, in the look of heading.
PrintLabelRow Continuation(const PrintLabelRow& heading) {
  PrintLabelRow row;
  row.colour = heading.colour;
  row.dashStyle = heading.dashStyle;
  row.penWidth = heading.penWidth;
  row.selectionText = L"more";
  return row;
}

// Five rows: A with two continuation rows, B with one. Rows of a series share its look.
PrintLabelRows PagedRows() {
  PrintLabelRows rows;
  PrintLabelRow a = FullRow();
  a.seriesName = L"A";
  a.colour = 0xFFFF0000;
  a.penWidth = 3.0f;
  rows.emplace(0, a);
  rows.emplace(0, Continuation(a));
  rows.emplace(0, Continuation(a));
  PrintLabelRow b = FullRow();
  b.seriesName = L"B";
  b.dashStyle = kDashMarksOnly;
  rows.emplace(1, b);
  rows.emplace(1, Continuation(b));
  return rows;
}

std::vector<std::wstring> Texts(const PlannedPrintRow& row) {
  std::vector<std::wstring> texts;
  for (const PrintRowText& t : row.texts) texts.push_back(t.text);
  return texts;
}

TEST(PrintRowPages, PagesStopWhileThreeLinesStillFitAndRepeatTheHeading) {
  const PrintLabelRows rows = PagedRows();
  PrintRowLayout layout;  // one line, all columns at 0
  // Font height 10: pitch 15. After row 0 y = 15 (15 + 45 <= 65), after row 1 y = 30: stop.
  const RectF area{0, 0, 400, 65};
  const PrintPagePlan first = PlanPrintRows(area, rows, layout, 10, 1, 0);
  EXPECT_EQ(first.next, 2);
  ASSERT_EQ(first.rows.size(), 2u);
  EXPECT_TRUE(first.rows[0].sample.has_value());
  EXPECT_FALSE(first.rows[1].sample.has_value());  // a continuation row inside a page
  EXPECT_EQ(Texts(first.rows[1]), (std::vector<std::wstring>{L"more"}));
  EXPECT_FLOAT_EQ(first.rows[1].texts[0].at.y, 15);

  const PrintPagePlan second = PlanPrintRows(area, rows, layout, 10, 1, first.next);
  EXPECT_EQ(second.next, 4);
  ASSERT_EQ(second.rows.size(), 2u);
  EXPECT_EQ(Texts(second.rows[0]), (std::vector<std::wstring>{L"A", L"x1", L"more"}));
  ASSERT_TRUE(second.rows[0].sample.has_value());
  EXPECT_FLOAT_EQ(second.rows[0].sample->y, 5);
  EXPECT_EQ(second.rows[0].pen.colour, 0xFFFF0000u);
  EXPECT_FLOAT_EQ(second.rows[0].pen.width, 3);

  const PrintPagePlan third = PlanPrintRows(area, rows, layout, 10, 1, second.next);
  EXPECT_EQ(third.next, 5);
  ASSERT_EQ(third.rows.size(), 1u);
  EXPECT_EQ(Texts(third.rows[0]), (std::vector<std::wstring>{L"B", L"x1", L"more"}));
  // Marks-only series: plus marks as the sample, drawn with a solid pen of width s.
  EXPECT_TRUE(third.rows[0].sample->marks);
  EXPECT_EQ(third.rows[0].pen.dashStyle, kDashSolid);
  EXPECT_FLOAT_EQ(third.rows[0].pen.width, 1);

  EXPECT_EQ(PlanPrintRows(area, rows, layout, 10, 1, 5).rows.size(), 0u);
  EXPECT_EQ(PlanPrintRows(area, rows, layout, 10, 1, 9).next, 5);
}

TEST(PrintRowPages, StackedLinesMoveTheTextsDown) {
  PrintLabelRows rows;
  rows.emplace(0, FullRow());
  PrintRowLayout layout;
  layout.lines = kPrintSecondLine | kPrintThirdLine;
  layout.x = {1, 2, 3, 4, 5, 6, 7};
  const PrintPagePlan plan = PlanPrintRows({0, 10, 100, 1000}, rows, layout, 10, 2, 0);
  ASSERT_EQ(plan.rows.size(), 1u);
  const std::vector<PrintRowText>& t = plan.rows[0].texts;
  ASSERT_EQ(t.size(), 7u);
  const std::vector<float> ys = {10, 10, 25, 25, 25, 40, 40};
  for (std::size_t i = 0; i < t.size(); ++i) {
    EXPECT_FLOAT_EQ(t[i].at.x, static_cast<float>(i + 1));
    EXPECT_FLOAT_EQ(t[i].at.y, ys[i]) << i;
  }
  EXPECT_FLOAT_EQ(plan.rows[0].sample->x1 - plan.rows[0].sample->x0, 40);  // 20 s
}

TEST(PrintRowPages, ATinyAreaStillTakesOneRowPerPage) {
  const PrintLabelRows rows = PagedRows();
  const PrintPagePlan plan = PlanPrintRows({0, 0, 400, 5}, rows, PrintRowLayout{}, 10, 1, 0);
  EXPECT_EQ(plan.next, 1);
}

}  // namespace
}  // namespace chart
