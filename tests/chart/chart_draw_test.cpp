// Element drawing checked in pixels on images of known size.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/chart_draw.h"
#include "tests/chart/test_canvas.h"

namespace chart {
namespace {

using test::TestCanvas;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGrey = 0xFF808080;
constexpr std::uint32_t kBlack = 0xFF000000;
// Data coordinates equal screen coordinates.
constexpr ChartTransform kIdentity{1.0, 1.0, 0.0, 0.0};

ChartSeries MakeSeries(const ChartPoints& points, bool showPoints, int dashStyle, float penWidth,
                       float tension, std::uint32_t colour = kRed) {
  ChartSeries s;
  s.InitChartSeries(true, showPoints, 0, L"S", L"Y", 3, dashStyle, penWidth, tension, colour);
  s.SetPoints(points);
  return s;
}

bool Draw(TestCanvas& canvas, const ChartSeries& s, float scale = 1.0f) {
  ChartDrawScratch scratch;
  return DrawChartSeries(canvas.Gc(), s, s.Points(), -1e9, 1e9, kIdentity, scratch, scale);
}

TEST(DashedGrid, PlotWithoutAreaDrawsNoLineAndReturns) {
  // Each of these once looped for ever: the step never reached the far edge.
  const RectF plots[] = {{3, 3, 0, 50}, {3, 3, 50, 0}, {3, 3, -7, -7}, {3, 3, NAN, 40}};
  for (const RectF& plot : plots) {
    TestCanvas canvas(60, 60);
    DrawDashedGrid(canvas.Gc(), plot, 3, 3, kGrey, 1.0f);
    canvas.Finish();
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 60; ++x) ASSERT_TRUE(canvas.IsWhite(x, y)) << x << "," << y;
    }
  }
}

TEST(DashedGrid, LinesEveryTenthFromTheOriginButNotOnItOrTheEdges) {
  TestCanvas canvas(107, 107);
  const RectF plot{3, 3, 100, 100};
  DrawDashedGrid(canvas.Gc(), plot, 3, 103, kGrey, 1.0f);  // origin at the bottom-left corner
  canvas.Finish();
  // Row 4 crosses the first dash of every vertical line; column 4 that of every horizontal one.
  std::vector<int> columns, rows;
  for (int i = 0; i < 107; ++i) {
    if (!canvas.IsWhite(i, 4)) columns.push_back(i);
    if (!canvas.IsWhite(4, i)) rows.push_back(i);
  }
  EXPECT_EQ(columns, (std::vector<int>{13, 23, 33, 43, 53, 63, 73, 83, 93}));
  EXPECT_EQ(rows, (std::vector<int>{13, 23, 33, 43, 53, 63, 73, 83, 93}));
  EXPECT_EQ(canvas.At(13, 4).g, 0x80);  // 1-px lines on whole coordinates stay crisp
}

TEST(DashedGrid, NoLineOnTheEdgesWhenTenthsDoNotAddUpExactly) {
  // X axis a tenth above the bottom (Y extent -10..90): nine steps of 10.2 up from it end a
  // few millionths below the top edge.
  TestCanvas canvas(110, 110);
  DrawDashedGrid(canvas.Gc(), {3, 3, 102, 102}, 3.0f, static_cast<float>(3 + 102 * 0.9), kGrey,
                 1.0f);
  canvas.Finish();
  for (int x = 5; x < 12; ++x) EXPECT_TRUE(canvas.IsWhite(x, 3)) << x;
  EXPECT_FALSE(canvas.IsWhite(5, 13));  // the first line below the top is there
}

TEST(DashedGrid, DashesThreeOnOneOffAlongEachLine) {
  TestCanvas canvas(40, 40);
  DrawDashedGrid(canvas.Gc(), {0, 0, 30, 30}, 0, 30, kGrey, 1.0f);
  canvas.Finish();
  // The vertical line at x 3 runs from y 0 in dashes of 3 and gaps of 1: every period of 4
  // rows holds lighter rows, and most rows are fully inked.
  int solid = 0, light = 0;
  for (int y = 1; y < 29; ++y) {
    const int g = canvas.At(3, y).g;
    solid += g <= 0x84;
    light += g >= 0xB0;
  }
  EXPECT_GE(solid, 12);
  EXPECT_GE(light, 6);
  for (int y = 1; y + 4 < 29; ++y) {
    int lightInPeriod = 0;
    for (int i = 0; i < 4; ++i) lightInPeriod += canvas.At(3, y + i).g >= 0xB0;
    EXPECT_GE(lightInPeriod, 1) << y;
  }
}

TEST(DashedGrid, PrintedGridWithRoundCapsKeepsItsGaps) {
  // Scale 3 on paper: dashes of 9 and gaps of 3 units, round ends inside the dash length.
  TestCanvas canvas(120, 40);
  DrawDashedGrid(canvas.Gc(), {0, 0, 100, 30}, 0, 30, kGrey, 3.0f);
  canvas.Finish();
  // The horizontal line at y 27 (origin 30 - 3): gaps show as lighter runs along it.
  int light = 0;
  for (int x = 2; x < 98; ++x) light += canvas.At(x, 27).g >= 0xC0;
  EXPECT_GE(light, 8);
  EXPECT_LE(light, 40);
}

TEST(DashedGrid, EachDirectionDrawsAtMostTenLines) {
  // An origin far outside the plot walks towards it in plot-sized steps; it gives up after ten.
  TestCanvas canvas(60, 60);
  DrawDashedGrid(canvas.Gc(), {10, 10, 40, 40}, -1e6f, -1e6f, kGrey, 1.0f);
  canvas.Finish();
  for (int i = 0; i < 60; ++i) {
    ASSERT_TRUE(canvas.IsWhite(i, 30));
    ASSERT_TRUE(canvas.IsWhite(30, i));
  }
}

struct AxesCase {
  const char* name;
  double minX, maxX, minY, maxY;
  int xCode, yCode;
  float xAxisY, yAxisX;
};

TEST(Axes, LandWhereThePlacementSays) {
  const AxesCase cases[] = {
      {"pedal extents", 50, 150, 50, 150, kAxisAtHigh, kAxisAtLow, 103, 3},
      {"zero inside", -50, 50, -25, 75, kAxisAtZero, kAxisAtZero, 78, 53},
      {"all negative", -10, -2, -9, -1, kAxisAtLow, kAxisAtHigh, 3, 103},
  };
  for (const AxesCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestCanvas canvas(120, 120);
    const RectF plot{3, 3, 100, 100};
    const AxesLayout layout =
        DrawAxes(canvas.Gc(), plot, c.minX, c.maxX, c.minY, c.maxY, kBlack, 1.0f);
    canvas.Finish();
    EXPECT_EQ(layout.xAxis.code, c.xCode);
    EXPECT_EQ(layout.yAxis.code, c.yCode);
    EXPECT_FLOAT_EQ(layout.xAxis.position, c.xAxisY);
    EXPECT_FLOAT_EQ(layout.yAxis.position, c.yAxisX);
    const int ay = static_cast<int>(c.xAxisY), ax = static_cast<int>(c.yAxisX);
    // 2 px wide, overhanging the plot by 3 px at both ends.
    EXPECT_EQ(canvas.At(30, ay).r, 0);
    EXPECT_EQ(canvas.At(1, ay).r, 0);
    EXPECT_EQ(canvas.At(105, ay).r, 0);
    EXPECT_LT(canvas.At(0, ay).r, 255);  // the ends at 0 and 106 fall on pixel centres
    EXPECT_LT(canvas.At(106, ay).r, 255);
    EXPECT_TRUE(canvas.IsWhite(107, ay));
    EXPECT_TRUE(canvas.IsWhite(30, ay - 2));
    EXPECT_TRUE(canvas.IsWhite(30, ay + 2));
    EXPECT_EQ(canvas.At(ax, 30).r, 0);
    EXPECT_EQ(canvas.At(ax, 1).r, 0);
    EXPECT_EQ(canvas.At(ax, 105).r, 0);
    EXPECT_TRUE(canvas.IsWhite(ax, 107));
    EXPECT_TRUE(canvas.IsWhite(ax + 2, 30));
  }
}

TEST(SeriesCurve, PassesThroughItsPoints) {
  const ChartPoints points{{10, 60}, {40, 20}, {70, 70}, {100, 30}};
  for (float tension : {0.0f, 0.5f}) {
    SCOPED_TRACE(tension);
    TestCanvas canvas(110, 90);
    ASSERT_TRUE(Draw(canvas, MakeSeries(points, false, kDashSolid, 1.0f, tension)));
    canvas.Finish();
    for (const ChartPoint& p : points) {
      EXPECT_TRUE(canvas.IsInked(int(p.x), int(p.y))) << p.x << "," << p.y;
    }
    EXPECT_TRUE(canvas.IsWhite(40, 60));
  }
}

TEST(SeriesCurve, ZeroTensionIsStraightAndTensionBends) {
  const ChartPoints points{{10, 50}, {50, 10}, {90, 50}};
  TestCanvas straight(100, 60), bent(100, 60);
  Draw(straight, MakeSeries(points, false, kDashSolid, 1.0f, 0.0f));
  Draw(bent, MakeSeries(points, false, kDashSolid, 1.0f, 0.5f));
  straight.Finish();
  bent.Finish();
  EXPECT_TRUE(straight.IsInked(30, 30));  // midpoint of the first straight segment
  EXPECT_TRUE(bent.IsWhite(30, 30));      // the spline bulges above it
}

TEST(SeriesCurve, NothingInRangeOrNoPointsDrawsNothing) {
  TestCanvas canvas(50, 50);
  ChartDrawScratch scratch;
  const ChartSeries empty = MakeSeries({}, true, kDashSolid, 1.0f, 0.0f);
  EXPECT_FALSE(
      DrawChartSeries(canvas.Gc(), empty, empty.Points(), 0, 100, kIdentity, scratch, 1.0f));
  const ChartSeries s = MakeSeries({{10, 10}, {20, 20}}, true, kDashSolid, 1.0f, 0.0f);
  const ChartTransform flat{0.0, 0.0, 0.0, 0.0};
  EXPECT_FALSE(DrawChartSeries(canvas.Gc(), s, s.Points(), 0, 100, flat, scratch, 1.0f));
}

TEST(SeriesMarkers, AbsentWhenNeighboursAreCloserThanSixPixels) {
  struct Case {
    double spacing;
    bool markers;
  };
  for (const Case c : {Case{5.0, false}, Case{6.0, true}, Case{12.0, true}}) {
    SCOPED_TRACE(c.spacing);
    ChartPoints points;
    for (int i = 0; i < 5; ++i) points.push_back({20 + i * c.spacing, 30});
    TestCanvas canvas(100, 60);
    Draw(canvas, MakeSeries(points, true, kDashSolid, 1.0f, 0.0f));
    canvas.Finish();
    // The top of each circle, 3 px above the point; the curve itself is a horizontal line.
    for (const ChartPoint& p : points) {
      EXPECT_EQ(canvas.IsInked(int(p.x), 27), c.markers) << p.x;
    }
  }
}

TEST(SeriesMarkers, OnePointAlwaysGetsItsCircle) {
  TestCanvas canvas(40, 40);
  Draw(canvas, MakeSeries({{20, 20}}, false, kDashSolid, 1.0f, 0.0f));
  canvas.Finish();
  EXPECT_TRUE(canvas.IsInked(20, 17));
  EXPECT_TRUE(canvas.IsInked(17, 20));
  EXPECT_TRUE(canvas.IsWhite(20, 20));
}

TEST(SeriesAlpha, TwoPointsWithoutMarkersAreTranslucentThreeAreNot) {
  struct Case {
    ChartPoints points;
    bool showPoints;
    int expectGreen;  // red line over white: G = 255 * (1 - alpha)
  };
  const Case cases[] = {
      {{{10, 20}, {90, 20}}, false, 255 - 0x40},
      {{{10, 20}, {50, 20}, {90, 20}}, false, 0},
      {{{10, 20}, {90, 20}}, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points.size());
    TestCanvas canvas(100, 40);
    Draw(canvas, MakeSeries(c.points, c.showPoints, kDashSolid, 3.0f, 0.0f));
    canvas.Finish();
    EXPECT_EQ(canvas.At(30, 20).r, 255);
    EXPECT_NEAR(canvas.At(30, 20).g, c.expectGreen, 2);
  }
}

TEST(SeriesMarks, DashStyleFiveDrawsPlusMarksOnly) {
  TestCanvas canvas(100, 60);
  Draw(canvas, MakeSeries({{20, 30}, {70, 30}}, true, kDashMarksOnly, 1.0f, 0.0f));
  canvas.Finish();
  for (int x : {20, 70}) {
    EXPECT_TRUE(canvas.IsInked(x - 3, 30));
    EXPECT_TRUE(canvas.IsInked(x + 2, 30));
    EXPECT_TRUE(canvas.IsInked(x, 27));
    EXPECT_TRUE(canvas.IsInked(x, 33));
    EXPECT_TRUE(canvas.IsWhite(x + 5, 30));  // arms end at 3 px
    EXPECT_TRUE(canvas.IsWhite(x + 2, 28));  // no circle
  }
  EXPECT_TRUE(canvas.IsWhite(45, 30));  // no curve between the marks
}

TEST(SeriesMarks, DashStyleFiveWithOnePointAddsACircle) {
  TestCanvas canvas(40, 40);
  Draw(canvas, MakeSeries({{20, 20}}, true, kDashMarksOnly, 1.0f, 0.0f));
  canvas.Finish();
  EXPECT_TRUE(canvas.IsInked(20, 20));
  EXPECT_TRUE(canvas.IsInked(22, 18));  // on the circle, off the plus
}

TEST(SeriesHalo, SelectedOnScreenGetsTranslucentHaloSixPixelsWider) {
  struct Case {
    bool selected;
    float scale;
    bool halo;
  };
  for (const Case c : {Case{false, 1.0f, false}, Case{true, 1.0f, true}, Case{true, 2.0f, false}}) {
    SCOPED_TRACE(testing::Message() << c.selected << " " << c.scale);
    ChartSeries s = MakeSeries({{10, 20}, {50, 20}, {90, 20}}, false, kDashSolid, 1.0f, 0.0f);
    s.SetSelected(c.selected);
    TestCanvas canvas(100, 40);
    Draw(canvas, s, c.scale);
    canvas.Finish();
    // Pen 1 (2 in print), halo 7: three pixels off the line lies inside the halo only.
    EXPECT_EQ(canvas.At(30, 20).g, 0);
    const test::Rgb off = canvas.At(30, 23);
    if (c.halo) {
      EXPECT_EQ(off.r, 255);
      EXPECT_NEAR(off.g, 255 - 0x40, 2);
    } else {
      EXPECT_TRUE(canvas.IsWhite(30, 23));
    }
    EXPECT_TRUE(canvas.IsWhite(30, 25));
  }
}

TEST(SeriesDash, DashedCurvesLeaveGapsAndSolidOnesDoNot) {
  for (int style : {kDashSolid, kDashDash, kDashDot, kDashDashDot, kDashDashDotDot}) {
    SCOPED_TRACE(style);
    TestCanvas canvas(110, 20);
    Draw(canvas, MakeSeries({{5, 10}, {55, 10}, {105, 10}}, false, style, 2.0f, 0.0f));
    canvas.Finish();
    int gaps = 0;
    for (int x = 6; x < 104; ++x) gaps += canvas.At(x, 10).g > 128;
    if (style == kDashSolid) {
      EXPECT_EQ(gaps, 0);
    } else {
      EXPECT_GT(gaps, 10);
    }
  }
}

TEST(TickMarks, CountAndStepFollowTheMarkWidth) {
  TestCanvas canvas(100, 20);
  // Marks 5 wide step by 6: floor((1 + 40 - 10) / 6) = 5 marks, centres 12.5, 18.5, ...
  DrawTickMarks(canvas.Gc(), 10, 10, 40, 5, 5, canvas.Gc().CreatePen(wxGraphicsPenInfo(*wxBLACK)),
                1.0f);
  canvas.Finish();
  int centres = 0;
  for (int x = 0; x < 100; ++x) centres += canvas.IsInked(x, 8);  // the vertical strokes only
  EXPECT_EQ(centres, 5 * 2);  // each half-pixel centred stroke touches two columns
  EXPECT_TRUE(canvas.IsWhite(45, 10));
}

TEST(BoundaryLabels, SitAboveABottomAxisInsetFromTheLeft) {
  struct Case {
    int yAxisCode;
    int leftEdge;
  };
  for (const Case c : {Case{kAxisAtLow, 8}, Case{kAxisAtZero, 5}}) {
    SCOPED_TRACE(c.yAxisCode);
    TestCanvas canvas(200, 100);
    BoundaryLabels labels;
    labels.left = L"X 50";
    labels.right = L"X 150";
    labels.xAxis = {kAxisAtHigh, 90.0f};
    labels.yAxisCode = c.yAxisCode;
    labels.fillColour = 0xFF00FF00;  // green boxes show where the labels were placed
    DrawChartText(canvas.Gc(), {0, 0, 199, 99}, labels, 1.0f);
    canvas.Finish();
    // Box edges at whole coordinates fall on pixel centres: the edge pixel is half green.
    auto green = [&](int x, int y) { return canvas.At(x, y).g == 255 && canvas.At(x, y).r < 250; };
    int left = -1, bottom = -1, right = -1;
    for (int x = 0; x < 200 && left < 0; ++x) {
      for (int y = 0; y < 100; ++y) {
        if (green(x, y)) {
          left = x;
          break;
        }
      }
    }
    ASSERT_GE(left, 0);
    for (int y = 99; y >= 0 && bottom < 0; --y) {
      if (green(left + 2, y)) bottom = y;
    }
    ASSERT_GE(bottom, 0);
    for (int x = 199; x >= 0 && right < 0; --x) {
      if (green(x, bottom)) right = x;
    }
    EXPECT_EQ(left, c.leftEdge);
    EXPECT_EQ(bottom, 90 - 6);      // 6 px between the label box and the axis
    EXPECT_EQ(right, 199 - 2 - 3);  // the right label ends 3 px inside the inset rectangle
  }
}

TEST(PageHeader, EmptyDateBecomesNowAndIsReturnedForLaterPages) {
  TestCanvas canvas(600, 400);
  const std::wstring first = PrintPageHeader(canvas.Gc(), L"Pedals", 0, 0, 600, 400, L"", 96.0);
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(PrintPageHeader(canvas.Gc(), L"Pedals", 0, 0, 600, 400, first, 96.0), first);
  canvas.Finish();
  bool nameInk = false;
  for (int x = 200; x < 260; ++x) {
    for (int y = 250; y < 330; ++y) nameInk |= canvas.IsInked(x, y);
  }
  EXPECT_TRUE(nameInk);
}

TEST(PageDate, EnglishNamesWhateverTheLocale) {
  const std::wstring date = FormatPageDate();
  // "Wed, Dec 10, 2025, 08:05"
  ASSERT_EQ(date.size(), 24u);
  EXPECT_EQ(date.substr(3, 2), L", ");
  EXPECT_EQ(date[17], L',');
  EXPECT_EQ(date[21], L':');
}

}  // namespace
}  // namespace chart
