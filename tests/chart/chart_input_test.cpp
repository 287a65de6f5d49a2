// The chart's keys, wheel, selection clicks, menu commands and context menu over container
// data, without a window.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "chart/chart_input.h"
#include "chart/chart_menu.h"

namespace chart {
namespace {

// A shown window of 200 x 200 pixels that counts its redraws.
class CountingHost : public ChartContainerHost {
 public:
  bool HasWindow() const override { return true; }
  bool IsWindowVisible() const override { return true; }
  SizeF ClientSize() const override { return {200.0f, 200.0f}; }
  void Redraw() override { ++redraws; }
  int redraws = 0;
};

ChartPoints Line(double from, double to, int count) {
  ChartPoints points;
  for (int k = 0; k < count; ++k) {
    const double v = from + (to - from) * k / (count - 1);
    points.push_back({v, v});
  }
  return points;
}

class ChartInputTest : public testing::Test {
 protected:
  ChartInputTest() { core_.SetHost(&host_); }
  ~ChartInputTest() override { core_.SetHost(nullptr); }

  int Add(const ChartPoints& points, const std::wstring& name = L"", bool showPoints = true) {
    ChartAddRecord r;
    r.name = name;
    r.showPoints = showPoints;
    r.points = &points;
    return core_.AddChart(r, false);
  }
  // Series 0: the diagonal 0..100 in 11 points; extents [0, 100] on both axes.
  void AddDiagonal() { ASSERT_EQ(Add(Line(0, 100, 11), L"diagonal"), 0); }
  // Lays the chart out on the client area, as a paint does.
  void Paint() { core_.PreparePaint({0, 0, 200, 200}); }

  CountingHost host_;
  ChartContainerCore core_;
};

struct ExtentCase {
  ChartKey key;
  ChartExtent expected;
};

TEST_F(ChartInputTest, KeysWithoutSelectionMoveTheYExtentAndReportIt) {
  const ExtentCase cases[] = {{ChartKey::kUp, {-1, 99}},
                              {ChartKey::kDown, {1, 101}},
                              {ChartKey::kPageUp, {-10, 90}},
                              {ChartKey::kPageDown, {10, 110}}};
  for (const ExtentCase& c : cases) {
    ChartContainerCore core;
    core.SetHost(&host_);
    const ChartPoints points = Line(0, 100, 11);
    ChartAddRecord r;
    r.points = &points;
    core.AddChart(r, false);
    const ChartInputResult result = ChartKeyDown(core, c.key);
    EXPECT_NEAR(core.ExtentY().first, c.expected.first, 1e-9);
    EXPECT_NEAR(core.ExtentY().second, c.expected.second, 1e-9);
    ASSERT_TRUE(result.notify.has_value());
    EXPECT_EQ(result.notify->code, ChartNotifyCode::kExtentY);
    EXPECT_EQ(result.notify->index, -1);
    EXPECT_DOUBLE_EQ(result.notify->yMin, core.ExtentY().first);
    EXPECT_DOUBLE_EQ(result.notify->xMax, 100);
    EXPECT_FALSE(result.yScaleChanged);
    core.SetHost(nullptr);
  }
}

TEST_F(ChartInputTest, RefusedKeyMoveStillReportsTheExtents) {
  AddDiagonal();
  core_.SetInteractive(true);
  // Far down: no point would show, the move is refused, code 4 is still sent.
  for (int i = 0; i < 30; ++i) ChartKeyDown(core_, ChartKey::kPageDown);
  const ChartExtent before = core_.ExtentY();
  const ChartInputResult result = ChartKeyDown(core_, ChartKey::kPageDown);
  EXPECT_EQ(core_.ExtentY(), before);
  ASSERT_TRUE(result.notify.has_value());
  EXPECT_EQ(result.notify->code, ChartNotifyCode::kExtentY);
}

TEST_F(ChartInputTest, ArrowKeyMoveLeavesOneUndoEntryPerMove) {
  AddDiagonal();
  EXPECT_FALSE(ChartKeyDown(core_, ChartKey::kRight).notify.has_value());
  EXPECT_NEAR(core_.ExtentX().first, -1, 1e-9);
  EXPECT_NEAR(core_.ExtentX().second, 99, 1e-9);
  ASSERT_EQ(core_.Zoom().UndoStackX().size(), 1u);
  EXPECT_EQ(core_.Zoom().UndoStackX()[0], (ChartExtent{0, 100}));
  EXPECT_EQ(core_.Zoom().XState(), kXZoomed);
  // One undo brings the home view back and leaves nothing to undo.
  core_.UndoExtentX(true);
  EXPECT_EQ(core_.ExtentX(), (ChartExtent{0, 100}));
  EXPECT_EQ(core_.Zoom().XState(), kXHome);

  ChartKeyDown(core_, ChartKey::kLeft);
  EXPECT_NEAR(core_.ExtentX().first, 1, 1e-9);
  EXPECT_EQ(core_.Zoom().UndoStackX().size(), 1u);
}

TEST_F(ChartInputTest, KeysScaleTheSelectedSeriesByStepsNeverBelowATenth) {
  AddDiagonal();
  Paint();
  ChartSeries& series = *core_.GetChart(0, false);
  ASSERT_EQ(core_.SelectChart(0, false), 0);
  const double step = core_.GetYScaleStep(series).second;
  ASSERT_GT(step, 0.0);
  struct Case {
    ChartKey key;
    double from;
    double to;
  };
  const Case cases[] = {{ChartKey::kPageUp, 1.0, 1.0 + 10 * step},
                        {ChartKey::kUp, 1.0, 1.0 + step},
                        {ChartKey::kDown, 1.0, 1.0 - step},
                        {ChartKey::kPageDown, 1.0, 1.0 - 10 * step},
                        {ChartKey::kPageDown, 10 * step + 0.05, kMinYScale},
                        {ChartKey::kDown, kMinYScale, kMinYScale}};
  for (const Case& c : cases) {
    series.SetYScale(c.from);
    const ChartExtent extentY = core_.ExtentY();
    const ChartInputResult result = ChartKeyDown(core_, c.key);
    EXPECT_NEAR(series.YScale(), c.to, 1e-12) << c.from;
    EXPECT_EQ(core_.ExtentY(), extentY);
    EXPECT_TRUE(result.yScaleChanged);
    ASSERT_TRUE(result.notify.has_value());
    EXPECT_EQ(result.notify->code, ChartNotifyCode::kSeriesYScale);
    EXPECT_EQ(result.notify->index, 0);
  }
}

TEST_F(ChartInputTest, InputNeedsAnInteractiveChartWithAVisiblePoint) {
  const ChartInputResult none = ChartKeyDown(core_, ChartKey::kUp);
  EXPECT_FALSE(none.notify.has_value());
  AddDiagonal();
  core_.SetInteractive(false);
  EXPECT_FALSE(ChartAcceptsInput(core_));
  EXPECT_FALSE(ChartKeyDown(core_, ChartKey::kUp).notify.has_value());
  ChartMouseWheel(core_, true, false, -120);
  EXPECT_EQ(core_.ExtentX(), (ChartExtent{0, 100}));
  EXPECT_EQ(core_.ExtentY(), (ChartExtent{0, 100}));
  core_.SetInteractive(true);
  core_.ToggleChartVisibility(0);  // hidden: nothing to act on
  EXPECT_FALSE(ChartAcceptsInput(core_));
}

TEST_F(ChartInputTest, ShiftWheelMovesXByOnePercentAndCtrlWheelScalesTheSelection) {
  AddDiagonal();
  Paint();
  EXPECT_FALSE(ChartMouseWheel(core_, true, false, -120).notify.has_value());
  EXPECT_NEAR(core_.ExtentX().first, -1, 1e-9);  // towards the user: curves move right
  ChartMouseWheel(core_, true, false, 120);
  ChartMouseWheel(core_, true, false, 120);
  EXPECT_NEAR(core_.ExtentX().first, 1, 1e-9);
  ChartMouseWheel(core_, true, false, 0);
  EXPECT_NEAR(core_.ExtentX().first, 1, 1e-9);

  // Ctrl without a selection does nothing.
  const ChartInputResult plain = ChartMouseWheel(core_, false, true, 120);
  EXPECT_FALSE(plain.yScaleChanged);
  core_.SelectChart(0, false);
  ChartSeries& series = *core_.GetChart(0, false);
  const double step = core_.GetYScaleStep(series).second;
  const ChartInputResult up = ChartMouseWheel(core_, false, true, 120);
  EXPECT_TRUE(up.yScaleChanged);
  EXPECT_FALSE(up.notify.has_value());
  EXPECT_NEAR(series.YScale(), 1.0 + step, 1e-12);
  ChartMouseWheel(core_, false, true, -120);
  EXPECT_NEAR(series.YScale(), 1.0, 1e-12);
}

TEST_F(ChartInputTest, CtrlClickSelectsTheSeriesUnderTheClickAndASecondClickDeselects) {
  AddDiagonal();
  const ChartPoints flat{{0, 80}, {50, 80}, {100, 80}};
  ASSERT_EQ(Add(flat, L"flat"), 1);
  Paint();
  const ChartTransform& t = *core_.CurrentTransform();
  const PointF onFlat = t.ToScreen(50, 80);
  const PointF onDiagonal = t.ToScreen(30, 30);

  EXPECT_EQ(SelectChartAtPoint(core_, int(onFlat.x) + 3, int(onFlat.y) - 3), 1);
  EXPECT_TRUE(core_.GetChart(1, false)->IsSelected());
  EXPECT_EQ(SelectChartAtPoint(core_, int(onDiagonal.x), int(onDiagonal.y)), 0);
  EXPECT_FALSE(core_.GetChart(1, false)->IsSelected());
  // Again on the selected series: deselected.
  EXPECT_EQ(SelectChartAtPoint(core_, int(onDiagonal.x), int(onDiagonal.y)), -1);
  EXPECT_EQ(core_.GetSelectedChartId(), -1);
  // Empty space while a series is selected: nothing selected afterwards.
  SelectChartAtPoint(core_, int(onFlat.x), int(onFlat.y));
  EXPECT_EQ(SelectChartAtPoint(core_, int(onFlat.x), int(onFlat.y) + 40), -1);
  // Points 6 pixels away are out of reach.
  EXPECT_EQ(SelectChartAtPoint(core_, int(onFlat.x), int(std::ceil(onFlat.y)) + 6), -1);
  EXPECT_EQ(SelectChartAtPoint(core_, int(onFlat.x), int(std::ceil(onFlat.y)) + 5), 1);
}

TEST_F(ChartInputTest, TrackingCommandAndMiddleButton) {
  AddDiagonal();
  core_.SetTrackedPosition(50, 50, 1);
  ChartNotify on = ToggleTracking(core_);
  EXPECT_EQ(on.code, ChartNotifyCode::kTracking);
  EXPECT_TRUE(on.flag);
  ChartNotify off = ToggleTracking(core_);
  EXPECT_FALSE(off.flag);
  EXPECT_EQ(core_.TrackedX(), DBL_MAX);

  EXPECT_TRUE(ToggleTrackingByButton(core_));
  EXPECT_FALSE(ToggleTrackingByButton(core_));
  // The button turns tracking on only when a visible series has a point; the command does not
  // ask.
  core_.ToggleChartVisibility(0);
  EXPECT_FALSE(ToggleTrackingByButton(core_));
  EXPECT_TRUE(ToggleTracking(core_).flag);
}

TEST_F(ChartInputTest, PointMarkersToggleTheSelectionOrTheFirstSeriesWithARange) {
  const ChartPoints single{{5, 7}};
  ASSERT_EQ(Add(single, L"single"), 0);
  EXPECT_FALSE(TogglePointMarkers(core_).has_value());  // one point spans no range
  EXPECT_EQ(core_.SelectedIndex(), -1);

  ASSERT_EQ(Add(Line(0, 100, 11), L"line"), 1);
  const auto first = TogglePointMarkers(core_);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->code, ChartNotifyCode::kPointMarkers);
  EXPECT_EQ(first->index, 1);
  EXPECT_FALSE(first->flag);
  EXPECT_EQ(core_.SelectedIndex(), 1);
  const auto second = TogglePointMarkers(core_);
  ASSERT_TRUE(second.has_value());
  EXPECT_TRUE(second->flag);
  EXPECT_TRUE(core_.GetChart(1, false)->ShowsPoints());

  // A selected series without a range is refused too.
  core_.SelectChart(0, false);
  EXPECT_FALSE(TogglePointMarkers(core_).has_value());
}

TEST_F(ChartInputTest, SeriesCommandReportsWhetherTheSeriesShows) {
  AddDiagonal();
  ASSERT_EQ(Add({}, L"empty"), 1);
  auto hidden = ToggleSeriesVisible(core_, 0);
  ASSERT_TRUE(hidden.has_value());
  EXPECT_EQ(hidden->code, ChartNotifyCode::kSeriesShown);
  EXPECT_EQ(hidden->index, 0);
  EXPECT_FALSE(hidden->flag);
  EXPECT_TRUE(ToggleSeriesVisible(core_, 0)->flag);
  // Visible but without a point: does not show.
  ToggleSeriesVisible(core_, 1);
  EXPECT_FALSE(ToggleSeriesVisible(core_, 1)->flag);
  EXPECT_FALSE(ToggleSeriesVisible(core_, 7).has_value());
}

TEST_F(ChartInputTest, DataViewSeriesIsTheSelectionOrTheFirstVisibleOne) {
  EXPECT_STREQ(ChooseDataViewSeries(core_).message, kEmptyContainerMessage);
  ASSERT_EQ(Add({}, L"empty"), 0);
  EXPECT_STREQ(ChooseDataViewSeries(core_).message, kNoDataViewSeriesMessage);
  ASSERT_EQ(Add(Line(0, 100, 11), L"a"), 1);
  ASSERT_EQ(Add(Line(0, 50, 6), L"b"), 2);
  const DataViewChoice first = ChooseDataViewSeries(core_);
  EXPECT_EQ(first.index, 1);
  EXPECT_EQ(first.message, nullptr);
  EXPECT_EQ(core_.SelectedIndex(), 1);
  core_.SelectChart(2, false);
  EXPECT_EQ(ChooseDataViewSeries(core_).index, 2);
}

TEST_F(ChartInputTest, DeleteRedrawsOnlyWhileAClickIsPending) {
  AddDiagonal();
  Paint();
  const int before = host_.redraws;
  ChartKeyDown(core_, ChartKey::kDelete);
  EXPECT_EQ(host_.redraws, before);
  core_.ShiftClickZoom(50, 50);
  ASSERT_EQ(core_.Zoom().XState(), kXFirstClick);
  EXPECT_FALSE(ChartKeyDown(core_, ChartKey::kDelete).notify.has_value());
  EXPECT_EQ(host_.redraws, before + 1);
}

// ---- Context menu ----

// One line per entry: indent, text, id, [x] checked / [ ] unchecked, (dim) disabled.
void Flatten(const ChartMenuEntries& entries, std::vector<std::string>& out, int depth = 0) {
  for (const ChartMenuEntry& e : entries) {
    std::string line(depth * 2, ' ');
    if (e.kind == ChartMenuEntry::Kind::kSeparator) {
      out.push_back(line + "---");
      continue;
    }
    line += wxString(e.text).utf8_string();
    if (e.kind == ChartMenuEntry::Kind::kItem) line += " " + std::to_string(e.id);
    if (e.checkable) line += e.checked ? " [x]" : " [ ]";
    if (!e.enabled) line += " (dim)";
    out.push_back(line);
    Flatten(e.children, out, depth + 1);
  }
}

std::vector<std::string> Menu(const ChartContainerCore& core, int buttons = 3,
                              bool legend = false) {
  ChartMenuContext context;
  context.mouseButtons = buttons;
  context.legendVisible = legend;
  std::vector<std::string> out;
  Flatten(BuildChartMenu(core, context), out);
  return out;
}

TEST_F(ChartInputTest, MenuOfASeriesWithoutPointsOffersOnlySaving) {
  EXPECT_TRUE(Menu(core_).empty());
  ASSERT_EQ(Add({}, L"Pedal Curve"), 0);
  const std::vector<std::string> expected{"Save Charts", "  Save chart(s) 33774", "---",
                                          "Pedal Curve has no data 33790 [x] (dim)"};
  EXPECT_EQ(Menu(core_), expected);
}

TEST_F(ChartInputTest, MenuOfAZoomedChartListsUndoAndTrackingOnATwoButtonMouse) {
  AddDiagonal();
  ASSERT_EQ(Add({}, L"empty"), 1);
  core_.RunExtentCommand(ChartExtentCommand::kZoomInX);
  core_.RunExtentCommand(ChartExtentCommand::kMoveUp);
  core_.SetShowXBoundaries(true);
  core_.SetTracking(true);
  core_.ToggleChartVisibility(1);
  const std::vector<std::string> expected{"Show Legend 33771 [x]",
                                          "---",
                                          "Show Axis X boundaries 33772 [x]",
                                          "---",
                                          "View Chart Data 33773",
                                          "---",
                                          "Save/Print Charts",
                                          "  Save chart(s) 33774",
                                          "  Save Charts As Image 33775",
                                          "  Print charts 33776",
                                          "---",
                                          "Zoom/Move",
                                          "  Zoom In X  33777",
                                          "  Move Right 33778",
                                          "  Move Left 33779",
                                          "  ---",
                                          "  Zoom In Y 33781",
                                          "  Move Up 33782",
                                          "  Move Down 33783",
                                          "---",
                                          "Undo Last Zoom/Move X 33780",
                                          "---",
                                          "Undo Last Zoom/Move Y 33784",
                                          "---",
                                          "Refresh Charts 33785",
                                          "---",
                                          "Enable Tracking 33786 [x]",
                                          "Show/Hide Chart Pnts 33788 [x]",
                                          "---",
                                          "Show diagonal 33790 [x]",
                                          "empty has no data 33791 [ ] (dim)"};
  EXPECT_EQ(Menu(core_, 2, true), expected);
}

TEST_F(ChartInputTest, MenuLeavesOutWhatTheStateDoesNotAllow) {
  const ChartPoints single{{5, 7}};
  ASSERT_EQ(Add(single, L"one"), 0);
  std::vector<std::string> menu = Menu(core_);
  // A visible point: the full head of the menu, but no marker item (no range), no undo and,
  // with a middle button, no tracking item.
  EXPECT_EQ(menu.front(), "Show Legend 33771 [ ]");
  for (const std::string& line : menu) {
    EXPECT_EQ(line.find("Pnts"), std::string::npos);
    EXPECT_EQ(line.find("Undo"), std::string::npos);
    EXPECT_EQ(line.find("Refresh"), std::string::npos);
    EXPECT_EQ(line.find("Tracking"), std::string::npos);
  }
  EXPECT_EQ(menu.back(), "Show one 33790 [x]");

  core_.SetInteractive(false);
  EXPECT_TRUE(Menu(core_).empty());
}

TEST_F(ChartInputTest, MenuMarksPointsOffOnlyForASelectedSeriesWithoutMarkers) {
  AddDiagonal();
  auto pnts = [&] {
    for (const std::string& line : Menu(core_)) {
      if (line.rfind("Show/Hide Chart Pnts", 0) == 0) return line;
    }
    return std::string();
  };
  EXPECT_EQ(pnts(), "Show/Hide Chart Pnts 33788 [x]");
  core_.GetChart(0, false)->SetShowPoints(false);
  EXPECT_EQ(pnts(), "Show/Hide Chart Pnts 33788 [x]");  // nothing selected
  core_.SelectChart(0, false);
  EXPECT_EQ(pnts(), "Show/Hide Chart Pnts 33788 [ ]");
}

TEST_F(ChartInputTest, MenuItemIdsFollowTheSeriesIndices) {
  for (int i = 0; i < 27; ++i) ASSERT_EQ(Add(Line(0, 10, 2)), i);
  const std::vector<std::string> menu = Menu(core_);
  EXPECT_EQ(menu.back(), "Show Cnart_26 33816 [x]");
}

}  // namespace
}  // namespace chart
