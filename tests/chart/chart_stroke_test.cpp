// Spline control points and dash cutting.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/chart_stroke.h"

namespace chart {
namespace {

TEST(CardinalSpline, ControlPointsUseTheNeighboursWithEndsRepeated) {
  const std::vector<PointF> p{{0, 0}, {30, 30}, {60, 0}};
  std::vector<BezierSegment> segs;
  CardinalSplineSegments(p, 0.6f, segs);
  ASSERT_EQ(segs.size(), 2u);
  // First segment: P[-1] = P[0], so control1 = P0 + 0.2 (P1 - P0); control2 = P1 - 0.2 (P2 - P0).
  EXPECT_FLOAT_EQ(segs[0].control1.x, 6.0f);
  EXPECT_FLOAT_EQ(segs[0].control1.y, 6.0f);
  EXPECT_FLOAT_EQ(segs[0].control2.x, 18.0f);
  EXPECT_FLOAT_EQ(segs[0].control2.y, 30.0f);
  // Last segment: P[3] = P[2].
  EXPECT_FLOAT_EQ(segs[1].control1.x, 42.0f);
  EXPECT_FLOAT_EQ(segs[1].control2.x, 54.0f);
  EXPECT_FLOAT_EQ(segs[1].control2.y, 6.0f);
  EXPECT_FLOAT_EQ(segs[1].end.x, 60.0f);
}

TEST(CardinalSpline, ZeroTensionFlattensToTheStraightSegments) {
  const std::vector<PointF> p{{0, 0}, {10, 5}, {20, 0}};
  Polylines out;
  FlattenCardinalSpline(p, 0.0f, out);
  ASSERT_EQ(out.FigureCount(), 1u);
  ASSERT_EQ(out.points.size(), 3u);
  EXPECT_FLOAT_EQ(out.points[1].y, 5.0f);
  std::vector<BezierSegment> segs;
  CardinalSplineSegments(std::vector<PointF>{{1, 1}}, 0.5f, segs);
  EXPECT_TRUE(segs.empty());
}

TEST(CardinalSpline, FlattenedCurveEndsOnEveryPoint) {
  const std::vector<PointF> p{{0, 0}, {40, 30}, {80, 0}, {120, 50}};
  Polylines out;
  FlattenCardinalSpline(p, 0.5f, out);
  ASSERT_EQ(out.FigureCount(), 1u);
  for (const PointF& q : p) {
    bool found = false;
    for (const PointF& f : out.points) found |= f.x == q.x && f.y == q.y;
    EXPECT_TRUE(found) << q.x;
  }
}

TEST(Dashes, PatternRestartsAtEachFigure) {
  const float pattern[] = {3.0f, 1.0f};
  Polylines out;
  AppendDashes(std::vector<PointF>{{0, 0}, {10, 0}}, pattern, 0.0f, out);
  AppendDashes(std::vector<PointF>{{0, 5}, {5, 5}}, pattern, 0.0f, out);
  // 0-3, 4-7, 8-10 on the first; 0-3, 4-5 on the second.
  ASSERT_EQ(out.FigureCount(), 5u);
  EXPECT_FLOAT_EQ(out.Figure(2)[0].x, 8.0f);
  EXPECT_FLOAT_EQ(out.Figure(2)[1].x, 10.0f);
  EXPECT_FLOAT_EQ(out.Figure(3)[0].x, 0.0f);
  EXPECT_FLOAT_EQ(out.Figure(4)[1].x, 5.0f);
}

TEST(Dashes, DashFollowsCornersAndCapInsetShortensIt) {
  const float pattern[] = {6.0f, 2.0f};
  Polylines out;
  AppendDashes(std::vector<PointF>{{0, 0}, {4, 0}, {4, 4}}, pattern, 0.5f, out);
  ASSERT_EQ(out.FigureCount(), 1u);
  const auto dash = out.Figure(0);
  ASSERT_EQ(dash.size(), 3u);  // round the corner in one figure
  EXPECT_FLOAT_EQ(dash[0].x, 0.5f);
  EXPECT_FLOAT_EQ(dash[1].x, 4.0f);
  EXPECT_FLOAT_EQ(dash[2].y, 1.5f);
}

TEST(Dashes, StylePatternsInPenWidths) {
  EXPECT_TRUE(DashPattern(kDashSolid).empty());
  EXPECT_TRUE(DashPattern(kDashMarksOnly).empty());
  EXPECT_TRUE(DashPattern(42).empty());
  EXPECT_EQ(DashPattern(kDashDash).size(), 2u);
  EXPECT_EQ(DashPattern(kDashDot)[0], 1.0f);
  EXPECT_EQ(DashPattern(kDashDashDot).size(), 4u);
  EXPECT_EQ(DashPattern(kDashDashDotDot).size(), 6u);
}

}  // namespace
}  // namespace chart
