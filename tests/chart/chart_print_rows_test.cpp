// The printed label rows as drawn, checked in pixels of a page drawn one pixel per page unit.
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/print_rows_draw.h"
#include "tests/chart/test_canvas.h"

namespace chart {
namespace {

using test::TestCanvas;

constexpr float kS = 300.0f / 96.0f;
constexpr std::uint32_t kBlue = 0xFF0000FF;

PrintLabelRow Row(const std::wstring& name, std::int32_t dashStyle = kDashSolid) {
  PrintLabelRow row;
  row.colour = kBlue;
  row.dashStyle = dashStyle;
  row.penWidth = 2.0f;
  row.seriesName = name;
  row.scaleText = name.empty() ? L"" : L"ScaleY = 12.5 units/inch\n";
  row.firstLabel = L"MinY";
  row.firstValue = L"= 0";
  row.secondLabel = L"MaxY";
  row.secondValue = L"= 100";
  return row;
}

bool Blue(const TestCanvas& canvas, int x, int y) {
  const test::Rgb c = canvas.At(x, y);
  return c.b > 150 && c.r < 120 && c.g < 120;
}

// Leftmost and rightmost column with ink between rows y0 and y1; (-1, -1) without ink.
std::pair<int, int> InkColumns(const TestCanvas& canvas, int width, int y0, int y1) {
  int left = -1, right = -1;
  for (int x = 0; x < width; ++x) {
    for (int y = y0; y < y1; ++y) {
      if (canvas.IsInked(x, y)) {
        if (left < 0) left = x;
        right = x;
        break;
      }
    }
  }
  return {left, right};
}

TEST(PrintRowsDrawing, ARowThatFitsOneLineIsCentredInTheArea) {
  TestCanvas canvas(1400, 200);
  const RectF area{100, 20, 1200, 160};
  PrintLabelRows rows{{0, Row(L"Curve")}};
  const PrintRowLayout layout = LayoutPrintRows(area, rows, canvas.Gc(), kS);
  ASSERT_EQ(layout.lines, 0);
  EXPECT_EQ(DrawPrintRows(area, rows, layout, canvas.Gc(), kS, 0), 1);
  const int sampleY = static_cast<int>(area.Top() + PrintRowFontHeight(canvas.Gc()) / 2);
  canvas.Finish();
  const auto [left, right] = InkColumns(canvas, 1400, 0, 200);
  ASSERT_GE(left, 0);
  EXPECT_NEAR(left - area.Left(), area.Right() - right, 16.0);
  // The sample line in the row's colour starts the row.
  EXPECT_TRUE(Blue(canvas, left + 10, sampleY));
}

TEST(PrintRowsDrawing, ANarrowAreaMovesTheValuesToFurtherLinesRightAligned) {
  TestCanvas canvas(600, 300);
  const RectF area{20, 20, 560, 260};
  PrintLabelRows rows{{0, Row(L"A rather long series name")}};
  const PrintRowLayout layout = LayoutPrintRows(area, rows, canvas.Gc(), kS);
  ASSERT_NE(layout.lines, 0);
  DrawPrintRows(area, rows, layout, canvas.Gc(), kS, 0);
  const float pitch = 1.5f * PrintRowFontHeight(canvas.Gc());
  canvas.Finish();
  const int line1 = static_cast<int>(area.Top()), line2 = static_cast<int>(area.Top() + pitch);
  // First line: the sample from the area's left edge; second line ends at the right edge.
  EXPECT_LE(InkColumns(canvas, 600, line1, line1 + static_cast<int>(pitch)).first,
            static_cast<int>(area.Left()) + 2);
  const auto second = InkColumns(canvas, 600, line2, line2 + static_cast<int>(pitch));
  ASSERT_GE(second.second, 0);
  EXPECT_NEAR(second.second, area.Right(), 12.0);
  EXPECT_GT(second.first, area.Left() + 100);
}

TEST(PrintRowsDrawing, AMarksOnlySeriesShowsPlusMarksAsItsSample) {
  for (const std::int32_t style : {kDashSolid, kDashMarksOnly}) {
    SCOPED_TRACE(style);
    TestCanvas canvas(1400, 120);
    const RectF area{100, 20, 1200, 100};
    PrintLabelRows rows{{0, Row(L"Curve", style)}};
    const PrintRowLayout layout = LayoutPrintRows(area, rows, canvas.Gc(), kS);
    DrawPrintRows(area, rows, layout, canvas.Gc(), kS, 0);
    const int y = static_cast<int>(area.Top() + PrintRowFontHeight(canvas.Gc()) / 2 + 0.5f);
    canvas.Finish();
    const int x0 = static_cast<int>(layout.sampleX);
    const int x1 = static_cast<int>(layout.sampleX + 20 * kS);
    int onLine = 0, aboveLine = 0;
    for (int x = x0 + 1; x < x1 - 1; ++x) {
      if (Blue(canvas, x, y)) ++onLine;
      if (Blue(canvas, x, y - 7)) ++aboveLine;
    }
    if (style == kDashMarksOnly) {
      // Arms of 6 x 6 pixels times s: gaps between the marks, strokes above the line.
      EXPECT_LT(onLine, x1 - x0 - 2);
      EXPECT_GE(aboveLine, 3);
    } else {
      EXPECT_EQ(onLine, x1 - x0 - 2);
      EXPECT_EQ(aboveLine, 0);
    }
  }
}

TEST(PrintRowsDrawing, DrawingStopsWhileThreeLinesStillFitAndResumesThere) {
  TestCanvas canvas(1400, 400);
  PrintLabelRows rows;
  for (int i = 0; i < 10; ++i) rows.emplace(i, Row(L"S" + std::to_wstring(i)));
  const float pitch = 1.5f * PrintRowFontHeight(canvas.Gc());
  // Room for five lines and a little: after each row the next is taken only while three more
  // lines would still fit below, so the third row is the last.
  const RectF area{100, 0, 1200, 5.0f * pitch + 1.0f};
  const PrintRowLayout layout = LayoutPrintRows(area, rows, canvas.Gc(), kS);
  const int next = DrawPrintRows(area, rows, layout, canvas.Gc(), kS, 0);
  EXPECT_EQ(next, 3);
  EXPECT_EQ(DrawPrintRows(area, rows, layout, canvas.Gc(), kS, next), 6);
  EXPECT_EQ(DrawPrintRows(area, rows, layout, canvas.Gc(), kS, 9), 10);
}

}  // namespace
}  // namespace chart
