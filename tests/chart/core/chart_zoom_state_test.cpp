// The zoom and move state machine on its own: home extents, the X extent rules, undo states
// and the two-click zoom's pending clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/core/chart_zoom_state.h"

namespace chart {
namespace {

// Home extents [0, 100] on both axes, as a series of that span leaves them.
ChartZoomState Home() {
  ChartZoomState zoom;
  zoom.ExtendExtentX(0, 100);
  zoom.ExtendExtentY(0, 100);
  return zoom;
}

void ExpectExtent(const ChartExtent& actual, const ChartExtent& expected) {
  EXPECT_NEAR(actual.first, expected.first, 1e-9);
  EXPECT_NEAR(actual.second, expected.second, 1e-9);
}

TEST(ChartZoomState, ExtendWhileZoomedMovesOnlyTheHomeExtent) {
  ChartZoomState zoom = Home();
  ASSERT_TRUE(zoom.SetExtentX(20, 80));
  zoom.ExtendExtentX(150, 150);
  zoom.ExtendExtentY(200, 200);
  EXPECT_EQ(zoom.ExtentX(), (ChartExtent{20, 80}));
  ASSERT_EQ(zoom.UndoStackX().size(), 1u);
  EXPECT_EQ(zoom.UndoStackX().front(), (ChartExtent{0, 150}));
  EXPECT_EQ(zoom.ExtentY(), (ChartExtent{0, 200}));  // Y was never zoomed
}

TEST(ChartZoomState, SetExtentXNeedsARangeThatReachesTheHomeExtent) {
  struct Case {
    const char* what;
    double min, max;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"one end inside", 50, 150, true},      {"ends given in reverse", 150, 50, true},
      {"bound included", 100, 200, true},     {"both outside, right", 150, 250, false},
      {"both outside, left", -50, -1, false}, {"equal bounds", 10, 10, false},
      {"not a number", NAN, 50, false},       {"covers the whole home extent", -10, 110, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ChartZoomState zoom = Home();
    EXPECT_EQ(zoom.SetExtentX(c.min, c.max), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(zoom.ExtentX(), (ChartExtent{std::min(c.min, c.max), std::max(c.min, c.max)}));
      ASSERT_EQ(zoom.UndoStackX().size(), 1u);
      EXPECT_EQ(zoom.UndoStackX().front(), (ChartExtent{0, 100}));
      EXPECT_EQ(zoom.XState(), kXSetNotDrawn);
    } else {
      EXPECT_EQ(zoom.ExtentX(), (ChartExtent{0, 100}));
      EXPECT_TRUE(zoom.UndoStackX().empty());
      EXPECT_EQ(zoom.XState(), kXHome);
    }
  }
}

TEST(ChartZoomState, SetExtentXComparesWithTheHomeExtentNotTheView) {
  ChartZoomState zoom = Home();
  ASSERT_TRUE(zoom.SetExtentX(50, 150));
  EXPECT_FALSE(zoom.SetExtentX(150, 250));  // 150..250 overlaps the view, not home
  EXPECT_EQ(zoom.ExtentX(), (ChartExtent{50, 150}));
  EXPECT_EQ(zoom.UndoStackX().size(), 1u);

  ChartZoomState fresh;
  EXPECT_FALSE(fresh.SetExtentX(0, 1));  // nothing to reach before any data
}

TEST(ChartZoomState, UndoToAZoomedYExtentDrawsItWithoutMargins) {
  // Zooms are symmetric about the centre; the view they restore was drawn without margins.
  ChartZoomState zoom = Home();
  for (const ChartExtent& y : {ChartExtent{10, 90}, ChartExtent{24.4, 75.6}}) {
    zoom.SetExtentY(y.first, y.second, false);
    zoom.MarkYDrawn();
  }
  ASSERT_TRUE(zoom.UndoY());
  ExpectExtent(zoom.ExtentY(), {10, 90});
  EXPECT_EQ(zoom.YState(), kYZoomed);
}

TEST(ChartZoomState, UndoAfterMovesFromAZoomKeepsNoMargins) {
  ChartZoomState zoom = Home();
  zoom.SetExtentY(10, 90, false);  // a zoom
  zoom.MarkYDrawn();
  for (int move = 1; move <= 2; ++move) {
    zoom.SetExtentY(10 - 8 * move, 90 - 8 * move, true);
    zoom.MarkYDrawn();
  }
  ASSERT_TRUE(zoom.UndoY());
  EXPECT_EQ(zoom.YState(), kYZoomed);
  ExpectExtent(zoom.ExtentY(), {10 - 8, 90 - 8});
}

// The half-made zoom goes when the window takes its line away, not at a paint.
TEST(ChartZoomState, DroppingAHalfMadeZoomSettlesOnlyThePendingAxis) {
  ChartZoomState zoom = Home();
  zoom.MarkFirstClickX();
  zoom.DropPendingClicks();
  EXPECT_EQ(zoom.XState(), kXHome);
  EXPECT_EQ(zoom.YState(), kYHome);

  // Zoomed on both axes, a pending Y click settles to "zoomed" and X is left alone.
  ASSERT_TRUE(zoom.SetExtentX(10, 90));
  zoom.MarkXDrawn();
  zoom.SetExtentY(10, 90, false);
  zoom.MarkYDrawn();
  zoom.StartFirstClickY(50);
  ASSERT_EQ(zoom.YState(), kYFirstClick);
  zoom.DropPendingClicks();
  EXPECT_EQ(zoom.XState(), kXZoomed);
  EXPECT_EQ(zoom.YState(), kYZoomed);
}

// A pending Y first click draws with the margins of the view it was made on, so the curves
// stay where the click saw them; once dropped, the state's own margins apply again.
TEST(ChartZoomState, PendingYClickKeepsTheMarginsOfItsView) {
  ChartZoomState zoom = Home();
  zoom.StartFirstClickY(40);
  EXPECT_TRUE(zoom.DrawsYMargins());
  zoom.DropPendingClicks();
  EXPECT_TRUE(zoom.DrawsYMargins());

  zoom.SetExtentY(10, 90, false);
  zoom.MarkYDrawn();
  zoom.StartFirstClickY(40);
  EXPECT_FALSE(zoom.DrawsYMargins());
  EXPECT_FALSE(zoom.AcceptsFirstClickY());
}

}  // namespace
}  // namespace chart
