// Zoom, move and undo: menu commands with their notifications, undo states, refusals and the
// two-click zooms of the mouse.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/core/chart_container_core.h"
#include "tests/chart/core/chart_test_support.h"

namespace chart {
namespace {

using test::Diagonal;
using test::FakeHost;
using test::Record;
using Cmd = ChartExtentCommand;

// X and Y [0, 100] in a shown 207 x 107 window: plot (3, 3, 200, 100), so screen x = 2 x + 3;
// with Y margins (home) screen y = 103 - 0.8 y.
class ZoomFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.SetHost(&host);
    chart.AddChart(Record(data), false);
  }

  std::optional<ChartNotify> Run(const std::vector<Cmd>& commands) {
    std::optional<ChartNotify> last;
    for (Cmd c : commands) last = chart.RunExtentCommand(c);
    return last;
  }

  // Another container over the same data and window, for one case of a table.
  std::unique_ptr<ChartContainerCore> Fresh() {
    auto fresh = std::make_unique<ChartContainerCore>();
    fresh->SetHost(&host);
    fresh->AddChart(Record(data), false);
    return fresh;
  }

  static int ScreenX(double x) { return static_cast<int>(2 * x + 3); }
  static int ScreenYWithMargins(double y) { return static_cast<int>(103 - 0.8 * y); }

  FakeHost host;
  ChartContainerCore chart;
  const ChartPoints data = Diagonal(100, 10);
};

void ExpectExtent(const ChartExtent& actual, const ChartExtent& expected) {
  EXPECT_NEAR(actual.first, expected.first, 1e-9);
  EXPECT_NEAR(actual.second, expected.second, 1e-9);
}

TEST_F(ZoomFixture, MenuCommandsChangeExtentsStatesAndNotify) {
  struct Case {
    const char* what;
    std::vector<Cmd> commands;
    ChartExtent x, y;
    std::int32_t xState, yState;
    std::size_t undoX, undoY;
    ChartNotifyCode code;
  };
  // A table of cases, one case to a row or two.
  // clang-format off
  const std::vector<Case> cases = {
      {"zoom in X", {Cmd::kZoomInX}, {10, 90}, {0, 100}, kXZoomed, kYHome, 1, 0,
       ChartNotifyCode::kExtentX},
      {"zoom in X twice", {Cmd::kZoomInX, Cmd::kZoomInX}, {18, 82}, {0, 100}, kXZoomed, kYHome,
       2, 0, ChartNotifyCode::kExtentX},
      {"zoom in Y from home keeps 80 %", {Cmd::kZoomInY}, {0, 100}, {10, 90}, kXHome, kYZoomed,
       0, 1, ChartNotifyCode::kExtentY},
      {"zoom in Y again keeps 64 %", {Cmd::kZoomInY, Cmd::kZoomInY}, {0, 100}, {24.4, 75.6},
       kXHome, kYZoomed, 0, 2, ChartNotifyCode::kExtentY},
      {"move up keeps the margins", {Cmd::kMoveUp}, {0, 100}, {-10, 90}, kXHome,
       kYZoomedKeepMargins, 0, 1, ChartNotifyCode::kExtentY},
      {"move down", {Cmd::kMoveDown}, {0, 100}, {10, 110}, kXHome, kYZoomedKeepMargins, 0, 1,
       ChartNotifyCode::kExtentY},
      {"zoom after a move drops the margins", {Cmd::kMoveUp, Cmd::kZoomInY}, {0, 100},
       {-10 + 0.18 * 100, -10 + 0.82 * 100}, kXHome, kYZoomed, 0, 2, ChartNotifyCode::kExtentY},
      {"move right", {Cmd::kMoveRight}, {-10, 90}, {0, 100}, kXZoomed, kYHome, 1, 0,
       ChartNotifyCode::kExtentX},
      {"move left", {Cmd::kMoveLeft}, {10, 110}, {0, 100}, kXZoomed, kYHome, 1, 0,
       ChartNotifyCode::kExtentX},
      {"undo X back home", {Cmd::kZoomInX, Cmd::kUndoX}, {0, 100}, {0, 100}, kXHome, kYHome, 0,
       0, ChartNotifyCode::kExtentX},
      {"undo X one of two", {Cmd::kZoomInX, Cmd::kMoveRight, Cmd::kUndoX}, {10, 90}, {0, 100},
       kXZoomed, kYHome, 1, 0, ChartNotifyCode::kExtentX},
      {"undo X with nothing to undo still notifies", {Cmd::kUndoX}, {0, 100}, {0, 100}, kXHome,
       kYHome, 0, 0, ChartNotifyCode::kExtentX},
      {"two moves, undo: the first move with margins", {Cmd::kMoveUp, Cmd::kMoveUp, Cmd::kUndoY},
       {0, 100}, {-10, 90}, kXHome, kYZoomedKeepMargins, 0, 1, ChartNotifyCode::kExtentY},
      {"two moves, two undos: home",
       {Cmd::kMoveUp, Cmd::kMoveUp, Cmd::kUndoY, Cmd::kUndoY}, {0, 100}, {0, 100}, kXHome,
       kYHome, 0, 0, ChartNotifyCode::kExtentY},
      {"restore after zooms and moves",
       {Cmd::kZoomInX, Cmd::kMoveLeft, Cmd::kZoomInY, Cmd::kMoveDown, Cmd::kRestoreExtents},
       {0, 100}, {0, 100}, kXHome, kYHome, 0, 0, ChartNotifyCode::kExtentsRestored},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto owner = Fresh();
    ChartContainerCore& fresh = *owner;
    std::optional<ChartNotify> notify;
    for (Cmd command : c.commands) notify = fresh.RunExtentCommand(command);

    ExpectExtent(fresh.ExtentX(), c.x);
    ExpectExtent(fresh.ExtentY(), c.y);
    EXPECT_EQ(fresh.Zoom().XState(), c.xState);
    EXPECT_EQ(fresh.Zoom().YState(), c.yState);
    EXPECT_EQ(fresh.Zoom().UndoStackX().size(), c.undoX);
    EXPECT_EQ(fresh.Zoom().UndoStackY().size(), c.undoY);
    ASSERT_TRUE(notify.has_value());
    EXPECT_EQ(notify->code, c.code);
    EXPECT_EQ(notify->index, -1);
    EXPECT_EQ(notify->xMin, fresh.ExtentX().first);
    EXPECT_EQ(notify->xMax, fresh.ExtentX().second);
    EXPECT_EQ(notify->yMin, fresh.ExtentY().first);
    EXPECT_EQ(notify->yMax, fresh.ExtentY().second);
  }
}

TEST_F(ZoomFixture, ZoomInAroundAPendingFirstClick) {
  struct Case {
    double clickX;
    ChartExtent expected;
  };
  const std::vector<Case> cases = {{30, {30, 70}}, {80, {20, 80}}, {50, {40, 60}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clickX);
    const auto owner = Fresh();
    ChartContainerCore& fresh = *owner;
    fresh.ShiftClickZoom(ScreenX(c.clickX), 50);
    ASSERT_EQ(fresh.Zoom().XState(), kXFirstClick);
    EXPECT_NEAR(fresh.Zoom().FirstClickX(), c.clickX, 1e-9);
    ASSERT_TRUE(fresh.RunExtentCommand(ChartExtentCommand::kZoomInX).has_value());
    ExpectExtent(fresh.ExtentX(), c.expected);
    EXPECT_EQ(fresh.Zoom().XState(), kXZoomed);
  }
}

TEST_F(ZoomFixture, ZoomInYAroundAPendingFirstClick) {
  struct Case {
    double clickY;
    ChartExtent passed;  // ZoomExtentY keeps its middle 80 %
  };
  const std::vector<Case> cases = {{30, {30, 70}}, {80, {20, 80}}, {50, {0, 100}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clickY);
    const auto owner = Fresh();
    ChartContainerCore& fresh = *owner;
    fresh.ShiftDoubleClickZoom(10, ScreenYWithMargins(c.clickY));
    ASSERT_EQ(fresh.Zoom().YState(), kYFirstClick);
    EXPECT_NEAR(fresh.Zoom().FirstClickY(), c.clickY, 1e-9);
    fresh.RunExtentCommand(ChartExtentCommand::kZoomInY);
    const double span = c.passed.second - c.passed.first;
    ExpectExtent(fresh.ExtentY(), {c.passed.first + 0.1 * span, c.passed.first + 0.9 * span});
    EXPECT_EQ(fresh.Zoom().YState(), kYZoomed);
  }
}

TEST(ChartZoom, ZoomInOnAnEmptyExtentDoesNothingAndSendsNothing) {
  ChartContainerCore chart;
  EXPECT_FALSE(chart.RunExtentCommand(ChartExtentCommand::kZoomInX).has_value());
  EXPECT_FALSE(chart.RunExtentCommand(ChartExtentCommand::kZoomInY).has_value());
  EXPECT_TRUE(chart.Zoom().UndoStackX().empty());
  EXPECT_TRUE(chart.Zoom().UndoStackY().empty());
  EXPECT_EQ(chart.ExtentX().first, DBL_MAX);
}

TEST(ChartZoom, ChangesThatWouldShowNoPointAreRefused) {
  // Without a window the visible range is exactly the extent asked for.
  ChartContainerCore chart;
  const ChartPoints corners = {{0, 0}, {100, 100}};
  chart.AddChart(Record(corners), false);

  const std::optional<ChartNotify> notify =
      chart.RunExtentCommand(ChartExtentCommand::kZoomInY);  // [10, 90] holds no point
  ASSERT_TRUE(notify.has_value());
  EXPECT_EQ(notify->code, ChartNotifyCode::kExtentY);
  EXPECT_EQ(chart.ExtentY(), (ChartExtent{0, 100}));
  EXPECT_TRUE(chart.Zoom().UndoStackY().empty());
  EXPECT_EQ(chart.Zoom().YState(), kYHome);

  EXPECT_EQ(chart.MoveExtentY(150, false), kYHome);             // [-150, -50]: nothing there
  EXPECT_EQ(chart.MoveExtentY(0, false), kYSetKeepMargins);     // same range, accepted
  EXPECT_EQ(chart.ZoomExtentY(5, 5, false), kYSetKeepMargins);  // equal bounds

  EXPECT_EQ(chart.MoveExtentX(200, false), kXHome);  // [-200, -100] misses home
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{0, 100}));
  EXPECT_EQ(chart.MoveExtentX(50, false), kXSetNotDrawn);  // not drawn without a window
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{-50, 50}));
  EXPECT_EQ(chart.MoveExtentX(500, false), kXZoomed);  // refused while zoomed
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{-50, 50}));
}

TEST_F(ZoomFixture, RefreshGoesThroughTheTrackingWindowWhenItIsUp) {
  chart.RunExtentCommand(ChartExtentCommand::kZoomInX);
  EXPECT_EQ(host.trackingRefreshes, 0);
  const int redrawsBefore = host.redraws;
  EXPECT_GT(redrawsBefore, 0);

  chart.SetTracking(true);
  host.trackingWindow = true;
  chart.RunExtentCommand(ChartExtentCommand::kMoveRight);
  EXPECT_EQ(host.trackingRefreshes, 1);
  chart.RunExtentCommand(ChartExtentCommand::kUndoY);  // nothing to undo: no refresh
  EXPECT_EQ(host.trackingRefreshes, 1);
}

TEST_F(ZoomFixture, TwoClickXZoomNeedsClicksMoreThanThreePixelsApart) {
  chart.ShiftClickZoom(100, 50);
  EXPECT_EQ(chart.Zoom().XState(), kXFirstClick);
  EXPECT_NEAR(chart.Zoom().FirstClickX(), 48.5, 1e-9);
  chart.ShiftClickZoom(102, 50);
  EXPECT_EQ(chart.Zoom().XState(), kXFirstClick);
  EXPECT_EQ(chart.ExtentX(), (ChartExtent{0, 100}));

  chart.ShiftClickZoom(150, 50);
  EXPECT_EQ(chart.Zoom().XState(), kXSetNotDrawn);
  chart.ShiftClickZoom(180, 50);  // a Shift-click in state 4 does nothing
  ExpectExtent(chart.ExtentX(), {48.5, 73.5});

  const int redrawsBefore = host.redraws;
  chart.FinishMouseZoom();
  EXPECT_EQ(chart.Zoom().XState(), kXZoomed);
  EXPECT_EQ(chart.Zoom().YState(), kYHome);
  EXPECT_GT(host.redraws, redrawsBefore);
  ExpectExtent(chart.ExtentX(), {48.5, 73.5});
  EXPECT_EQ(chart.Zoom().UndoStackX().size(), 1u);
  const std::vector<std::pair<bool, int>> lines = {{true, 100}, {true, 150}};
  EXPECT_EQ(host.liveLines, lines);
}

TEST_F(ZoomFixture, TwoClickYZoomStartsWithADoubleClick) {
  chart.ShiftDoubleClickZoom(10, ScreenYWithMargins(75));
  ASSERT_EQ(chart.Zoom().YState(), kYFirstClick);
  chart.ShiftClickZoom(10, ScreenYWithMargins(75) + 2);
  EXPECT_EQ(chart.Zoom().YState(), kYFirstClick);
  EXPECT_TRUE(chart.Zoom().UndoStackY().empty());

  chart.ShiftClickZoom(10, ScreenYWithMargins(25));
  EXPECT_EQ(chart.Zoom().YState(), kYSetNotDrawn);
  ExpectExtent(chart.ExtentY(), {25, 75});
  chart.FinishMouseZoom();
  EXPECT_EQ(chart.Zoom().YState(), kYZoomed);
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  const std::vector<std::pair<bool, int>> lines = {{false, ScreenYWithMargins(75)},
                                                   {false, ScreenYWithMargins(25)}};
  EXPECT_EQ(host.liveLines, lines);
}

TEST_F(ZoomFixture, FinishingAnXZoomByMouseKeepsTheYMargins) {
  chart.RunExtentCommand(ChartExtentCommand::kMoveUp);
  ASSERT_EQ(chart.Zoom().YState(), kYZoomedKeepMargins);
  chart.ShiftClickZoom(50, 50);
  chart.ShiftClickZoom(150, 50);
  chart.FinishMouseZoom();
  EXPECT_EQ(chart.Zoom().XState(), kXZoomed);
  EXPECT_EQ(chart.Zoom().YState(), kYZoomedKeepMargins);
}

TEST_F(ZoomFixture, MouseZoomsNeedTheInteractiveFlagAndAVisiblePoint) {
  chart.SetInteractive(false);
  chart.ShiftClickZoom(100, 50);
  chart.ShiftDoubleClickZoom(10, 50);
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  EXPECT_EQ(chart.Zoom().YState(), kYHome);

  chart.SetInteractive(true);
  chart.ToggleChartVisibility(0);
  chart.ShiftClickZoom(100, 50);
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  EXPECT_TRUE(host.liveLines.empty());
}

TEST_F(ZoomFixture, ButtonUpWithoutAFinishedZoomChangesNothing) {
  chart.ShiftClickZoom(100, 50);
  const int redrawsBefore = host.redraws;
  chart.FinishMouseZoom();
  EXPECT_EQ(chart.Zoom().XState(), kXFirstClick);  // the first click stays pending
  EXPECT_EQ(host.redraws, redrawsBefore);
}

TEST(ChartZoom, ZoomWithoutAShownWindowIsSetButNotDrawn) {
  FakeHost host;
  host.visible = false;
  ChartContainerCore chart;
  chart.SetHost(&host);
  const ChartPoints data = Diagonal(100, 10);
  chart.AddChart(Record(data), false);
  EXPECT_EQ(chart.ZoomExtentX(20, 80, true), kXSetNotDrawn);
  EXPECT_EQ(chart.ZoomExtentY(0, 100, true), kYSetNotDrawn);
  EXPECT_EQ(host.redraws, 0);
  chart.UndoExtentX(true);
  EXPECT_EQ(chart.Zoom().XState(), kXHome);
  EXPECT_EQ(host.redraws, 0);
}

}  // namespace
}  // namespace chart
