// Plot geometry, axis placement, the inverse map and the sorted-run searches.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "chart/core/chart_error.h"
#include "chart/core/chart_transform.h"
#include "chart/core/geometry.h"

namespace chart {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ChartGeometry, RoundPointFRoundsHalvesAwayFromZero) {
  struct Case {
    float x, y;
    int rx, ry;
  };
  const std::vector<Case> cases = {
      {2.5f, -2.5f, 3, -3},   {-0.4f, 0.4f, 0, 0}, {0.5f, -0.5f, 1, -1},
      {1.49f, -1.49f, 1, -1}, {0.0f, -0.0f, 0, 0}, {99.6f, -99.6f, 100, -100},
  };
  for (const Case& c : cases) {
    const Point p = RoundPointF(c.x, c.y);
    EXPECT_EQ(p.x, c.rx) << c.x;
    EXPECT_EQ(p.y, c.ry) << c.y;
  }
}

TEST(ChartGeometry, RectFFromCenterAndPlotRect) {
  const RectF r = RectFFromCenter(10.0f, 20.0f, 6.0f, 9.0f);
  EXPECT_FLOAT_EQ(r.x, 7.0f);
  EXPECT_FLOAT_EQ(r.y, 15.5f);
  EXPECT_FLOAT_EQ(r.width, 6.0f);
  EXPECT_FLOAT_EQ(r.height, 9.0f);

  // 3 px in from the left and top, 4 px from the right and bottom.
  const RectF plot = PlotRectFromBounds({10.0f, 20.0f, 207.0f, 107.0f});
  EXPECT_FLOAT_EQ(plot.Left(), 13.0f);
  EXPECT_FLOAT_EQ(plot.Top(), 23.0f);
  EXPECT_FLOAT_EQ(plot.Right(), 213.0f);
  EXPECT_FLOAT_EQ(plot.Bottom(), 123.0f);
}

TEST(ChartTransform, AxisPlacementFollowsTheSignOfTheExtent) {
  const RectF plot{3, 3, 200, 100};
  struct Case {
    double min, max;
    int xCode;
    float xPos;
    int yCode;
    float yPos;
  };
  const std::vector<Case> cases = {
      {-50, 50, kAxisAtZero, 53, kAxisAtZero, 103}, {-25, 75, kAxisAtZero, 78, kAxisAtZero, 53},
      {0, 100, kAxisAtHigh, 103, kAxisAtLow, 3},    {50, 150, kAxisAtHigh, 103, kAxisAtLow, 3},
      {-100, 0, kAxisAtLow, 3, kAxisAtHigh, 203},   {-10, -2, kAxisAtLow, 3, kAxisAtHigh, 203},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.min);
    const AxisPlacement x = GetXAxisPlacement(plot, c.min, c.max);
    EXPECT_EQ(x.code, c.xCode);
    EXPECT_FLOAT_EQ(x.position, c.xPos);
    const AxisPlacement y = GetYAxisPlacement(plot, c.min, c.max);
    EXPECT_EQ(y.code, c.yCode);
    EXPECT_FLOAT_EQ(y.position, c.yPos);
  }
}

TEST(ChartTransform, ScreenToDataInvertsTheTransform) {
  const ChartTransform t{2.0, -0.8, 5.0, 53.0};
  for (const ChartPoint& data : std::vector<ChartPoint>{{0, 0}, {10, 50}, {-2, -50}}) {
    const PointF screen = t.ToScreen(data.x, data.y);
    const Point px = RoundPointF(screen.x, screen.y);
    const ChartPoint back = ScreenToData(px.x, px.y, &t);
    EXPECT_NEAR(back.x, data.x, 1e-5);
    EXPECT_NEAR(back.y, data.y, 1e-5);
  }
}

TEST(ChartTransform, ScreenToDataRejectsEachUnusableScaleOnItsOwn) {
  struct Case {
    const char* what;
    ChartTransform t;
    bool usable;
  };
  const std::vector<Case> cases = {
      {"zero X scale", {0.0, -1.0, 0, 0}, false},
      {"zero Y scale", {1.0, 0.0, 0, 0}, false},
      // The product of these is NaN, which never compares equal to 0.
      {"infinite X with zero Y", {kInf, 0.0, 0, 0}, false},
      {"infinite Y scale", {1.0, -kInf, 0, 0}, false},
      {"NaN X scale", {kNaN, -1.0, 0, 0}, false},
      {"NaN offset", {1.0, -1.0, kNaN, 0}, false},
      // The product of these underflows to 0, yet each scale can be inverted.
      {"tiny scales", {1e-200, -1e-200, 0, 0}, true},
      {"negative X scale", {-2.0, -1.0, 0, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsInvertible(c.t), c.usable);
    EXPECT_EQ(TryScreenToData(10, 10, &c.t).has_value(), c.usable);
    if (c.usable) {
      const ChartPoint p = ScreenToData(10, 10, &c.t);
      EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    } else {
      EXPECT_THROW(ScreenToData(10, 10, &c.t), ChartArgumentError);
    }
  }
  EXPECT_THROW(ScreenToData(0, 0, nullptr), std::invalid_argument);
  EXPECT_FALSE(TryScreenToData(0, 0, nullptr));
}

TEST(ChartTransform, ZeroSpanScalesAsUnitSpanCentredOnTheValue) {
  const RectF plot{3, 3, 200, 100};
  struct Case {
    double min, max;
    double lo, hi;
  };
  const std::vector<Case> cases = {
      {0, 0, -0.5, 0.5},    {7, 7, 6.5, 7.5},
      {-3, -3, -3.5, -2.5}, {DBL_MAX, -DBL_MAX, -0.5, 0.5},  // no points at all
      {10, 20, 10, 20},                                      // a real span stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.min);
    const ChartExtent e = ScalingExtent(c.min, c.max);
    EXPECT_DOUBLE_EQ(e.first, c.lo);
    EXPECT_DOUBLE_EQ(e.second, c.hi);

    const ScaleFactors s = ComputeScaleFactors(plot, c.min, c.max, c.min, c.max, true);
    ASSERT_TRUE(std::isfinite(s.perX) && std::isfinite(s.perY));
    const ChartTransform t = TransformForPlot(GetXAxisPlacement(plot, c.min, c.max),
                                              GetYAxisPlacement(plot, c.min, c.max), s, c.min,
                                              c.max, c.min, c.max, false);
    ASSERT_TRUE(IsInvertible(t));
    if (c.min == c.max) {
      // The single value sits in the middle of the plot width; the centre of the span sits
      // at least inside the plot height (margins keep the lower 80 % for positive values).
      const PointF p = t.ToScreen(c.min, c.min);
      EXPECT_FLOAT_EQ(p.x, 103.0f);
      EXPECT_GT(p.y, plot.Top());
      EXPECT_LT(p.y, plot.Bottom());
    }
  }
}

TEST(ChartTransform, FindPointRangeXBracketsTheRange) {
  const ChartPoints points = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
  struct Case {
    double a, b;
    bool startAfterExact;
    std::ptrdiff_t lo, hi;  // positions; 5 is last
  };
  const std::vector<Case> cases =
      {
          {1, 3, false, 1, 3},   {1.5, 2.5, false, 1, 3}, {1, 10, false, 1, 5},
          {-5, -1, false, 0, 0}, {10, 20, false, 4, 5},   {0, 4, false, 0, 4},
          {1, 1, true, 0, 1},  // once past an exact start, a point at a stops the range
      };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a);
    const PointRange r = FindPointRangeX(points.begin(), points.end(), c.a, c.b, c.startAfterExact);
    EXPECT_EQ(r.lo - points.begin(), c.lo);
    EXPECT_EQ(r.hi - points.begin(), c.hi);
  }
  const ChartPoints none;
  const PointRange empty = FindPointRangeX(none.begin(), none.end(), 0, 1, false);
  EXPECT_EQ(empty.lo, none.end());
  EXPECT_EQ(empty.hi, none.end());
}

TEST(ChartTransform, FindUnitSlopeRunFindsTrailingMovesAndSymmetricZooms) {
  struct Case {
    const char* what;
    ChartExtentStack stack;
    std::ptrdiff_t result;
  };
  const std::vector<Case> cases = {
      {"every step a move", {{0, 100}, {10, 110}, {20, 120}}, 0},
      {"only the last step a move", {{0, 100}, {0, 50}, {10, 60}}, 2},
      {"last step one-sided", {{0, 100}, {10, 110}, {10, 90}}, 3},
      {"symmetric zoom", {{0, 100}, {10, 90}}, 0},
      {"single entry", {{0, 100}}, 0},
      {"empty", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = FindUnitSlopeRun(c.stack.end(), c.stack.begin());
    EXPECT_EQ(result - c.stack.begin(), c.result);
  }
}

}  // namespace
}  // namespace chart
