// The whole-chart paint over container data, checked in pixels on images of known size.
#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_paint.h"
#include "tests/chart/test_canvas.h"
#include "tests/chart/throttle_series.h"

namespace chart {
namespace {

using test::TestCanvas;

// A shown window of a fixed client size, so that hit tests and transforms have an area.
class FixedHost : public ChartContainerHost {
 public:
  FixedHost(int w, int h) : size_{float(w), float(h)} {}
  bool HasWindow() const override { return true; }
  bool IsWindowVisible() const override { return true; }
  SizeF ClientSize() const override { return size_; }
  void ShowVerticalTrackLine(int x, int) override { lines.push_back(x); }
  std::vector<int> lines;

 private:
  SizeF size_;
};

class PaintTest : public testing::Test {
 protected:
  static constexpr int kW = test::kThrottleChartWidth;   // 229
  static constexpr int kH = test::kThrottleChartHeight;  // 190

  PaintTest() : host_(kW, kH) { core_.SetHost(&host_); }
  ~PaintTest() override { core_.SetHost(nullptr); }

  TestCanvas Paint(ChartPaintOptions options = {}) {
    TestCanvas canvas(kW, kH, false);
    PaintChartContents(canvas.Gc(), core_, {0, 0, float(kW), float(kH)}, options);
    canvas.Finish();
    return canvas;
  }

  FixedHost host_;
  ChartContainerCore core_;
};

bool RowHasInk(const TestCanvas& c, int y, int from, int to) {
  for (int x = from; x < to; ++x) {
    if (!c.IsWhite(x, y)) return true;
  }
  return false;
}

TEST_F(PaintTest, WithoutSeriesOnlyTheFramedBox) {
  const TestCanvas c = Paint();
  EXPECT_EQ(c.At(0, 50).r, 0);
  EXPECT_EQ(c.At(kW - 1, 50).r, 0);  // frame at (0, 0, W - 1, H - 1)
  EXPECT_EQ(c.At(100, kH - 1).r, 0);
  for (int y = 1; y < kH - 1; ++y) ASSERT_FALSE(RowHasInk(c, y, 1, kW - 1)) << y;
}

TEST_F(PaintTest, SeriesWithoutPointsDrawAGridFromTheClientOriginAndNoAxes) {
  ChartAddRecord r;
  r.name = L"empty";
  ASSERT_EQ(core_.AddChart(r, false), 0);
  const TestCanvas c = Paint();
  // Plot (3, 3, 222, 183): vertical lines at 22.2 k from x 0, the first at 22.2.
  EXPECT_FALSE(c.IsWhite(22, 4));
  EXPECT_TRUE(c.IsWhite(12, 4));
  EXPECT_TRUE(c.IsWhite(100, 184));  // no X axis along the bottom
  EXPECT_EQ(core_.CurrentTransform(), nullptr);
}

TEST_F(PaintTest, PedalExtentsPutTheAxesOnTheLowEdgesAndTheCurveOnItsPoints) {
  test::AddThrottleSeries(core_, 37);
  const TestCanvas c = Paint();
  const ChartTransform* t = core_.CurrentTransform();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(core_.XAxisCode(), kAxisAtHigh);
  EXPECT_EQ(core_.YAxisCode(), kAxisAtLow);
  EXPECT_FLOAT_EQ(core_.XAxisScreenY(), 186.0f);
  // Axes 2 px wide on the plot's left and bottom edges.
  EXPECT_EQ(c.At(100, 186).r, 0);
  EXPECT_EQ(c.At(3, 100).r, 0);
  // Grid lines every tenth from the bottom-left corner: x = 3 + 22.2 k.
  const PointF g = t->ToScreen(60, 150);
  EXPECT_NEAR(g.x, 25.2f, 1e-3f);
  EXPECT_FALSE(c.IsWhite(25, 5));
  EXPECT_TRUE(c.IsWhite(35, 5));
  // The curve passes through its points (the identity curve runs corner to corner).
  for (double v : {60.0, 90.0, 120.0}) {
    const PointF p = t->ToScreen(v, v);
    const test::Rgb px = c.At(int(p.x + 0.5f), int(p.y + 0.5f));
    EXPECT_GT(px.r, 200) << v;
    EXPECT_LT(px.g, 120) << v;
  }
}

// A paint draws the zoom state and never changes it: whatever the order of clicks and paints,
// a pending first click stays, and the view it was made on keeps its layout (a Y first click
// does not take the home margins away from under its line).
TEST_F(PaintTest, PaintNeverUndoesAPendingFirstClick) {
  test::AddThrottleSeries(core_, 37);  // the page's X extent: X state 4
  core_.UndoExtentY(false);            // Y at home, drawn with margins
  ASSERT_EQ(core_.Zoom().YState(), kYHome);
  Paint();
  const ChartTransform before = *core_.CurrentTransform();

  // A Shift+double-click, all of it before the next paint.
  core_.ShiftClickZoom(80, 50);  // X state 4: nothing
  core_.FinishMouseZoom();       // settles X and asks for a redraw
  core_.ShiftClickZoom(80, 50);
  core_.ShiftDoubleClickZoom(80, 50);
  core_.FinishMouseZoom();
  ASSERT_EQ(core_.Zoom().XState(), kXFirstClick);
  ASSERT_EQ(core_.Zoom().YState(), kYFirstClick);
  EXPECT_EQ(host_.lines, std::vector<int>{80});
  for (int paint = 0; paint < 2; ++paint) {
    Paint();
    EXPECT_EQ(core_.Zoom().XState(), kXFirstClick);
    EXPECT_EQ(core_.Zoom().YState(), kYFirstClick);
    EXPECT_DOUBLE_EQ(core_.CurrentTransform()->offsetY, before.offsetY);
    EXPECT_DOUBLE_EQ(core_.CurrentTransform()->scaleY, before.scaleY);
  }

  // A redraw asked for after the clicks drops them, and the settled states come back.
  core_.Redraw();
  EXPECT_EQ(core_.Zoom().XState(), kXZoomed);  // the page's SetExtentX left an undo entry
  EXPECT_EQ(core_.Zoom().YState(), kYHome);
}

TEST_F(PaintTest, BoundaryLabelsOnlyWhenAsked) {
  test::AddThrottleSeries(core_, 37);
  // The left label sits above the bottom axis, 8 px in (Y axis on the left edge).
  auto labelInk = [](const TestCanvas& c) {
    int ink = 0;
    for (int y = 165; y < 181; ++y) {
      for (int x = 9; x < 40; ++x) ink += c.At(x, y).r < 80 && c.At(x, y).g < 80;
    }
    return ink;
  };
  EXPECT_EQ(labelInk(Paint()), 0);
  core_.SetShowXBoundaries(true);
  EXPECT_GT(labelInk(Paint()), 10);
}

TEST_F(PaintTest, DataViewSelectionIsCircledOnScreenButNotInImages) {
  test::AddThrottleSeries(core_, 37);
  core_.SetDataViewIndex(0);
  core_.SyncDataViewCell(0, 3, 80, 80, true);
  ASSERT_EQ(core_.SelectedDataViewPoints().size(), 1u);
  Paint();
  const PointF p = core_.CurrentTransform()->ToScreen(80, 80);
  // Circle of 8 px in the selection colour (blue violet): 4 px above the point.
  const int x = int(p.x + 0.5f), y = int(p.y + 0.5f) - 4;
  const TestCanvas screen = Paint();
  EXPECT_GT(screen.At(x, y).b, screen.At(x, y).g + 60);
  ChartPaintOptions image;
  image.drawSelectedPoints = false;
  const TestCanvas saved = Paint(image);
  EXPECT_LT(saved.At(x, y).b, saved.At(x, y).g + 30);
}

TEST_F(PaintTest, AllPointsOnOneValueStillPaint) {
  const ChartPoints flat{{0, 0}, {0, 0}};
  ChartAddRecord r;
  r.name = L"flat";
  r.points = &flat;
  ASSERT_GE(core_.AddChart(r, false), 0);
  const TestCanvas c = Paint();
  const ChartTransform* t = core_.CurrentTransform();
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(std::isfinite(t->scaleX) && std::isfinite(t->scaleY));
  EXPECT_EQ(c.At(0, 50).r, 0);
}

TEST(LiveLines, CrossTheClientAreaAndStopAtDataWindows) {
  TestCanvas canvas(100, 80);
  const LiveLine lines[] = {{true, 30}, {false, 50}};
  const wxRect windows[] = {wxRect(20, 10, 20, 15)};  // across the vertical line only
  DrawLiveLines(canvas.Gc(), wxSize(100, 80), lines, windows, 0xFFFF0000);
  canvas.Finish();
  EXPECT_EQ(canvas.At(30, 5).g, 0);
  EXPECT_TRUE(canvas.IsWhite(30, 15));  // interrupted by the window
  EXPECT_EQ(canvas.At(30, 30).g, 0);
  EXPECT_EQ(canvas.At(1, 50).g, 0);
  EXPECT_EQ(canvas.At(98, 50).g, 0);
  EXPECT_TRUE(canvas.IsWhite(50, 49));
}

}  // namespace
}  // namespace chart
