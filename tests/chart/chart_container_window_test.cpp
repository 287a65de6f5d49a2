// The chart window under a real X server: painting, live lines, redraw coalescing and
// notifications, with the throttle page's four series.
#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/utils.h>

#include "chart/chart_container.h"
#include "tests/chart/throttle_series.h"
#include "tests/support/window_test.h"

namespace chart {
namespace {

using test::kThrottleChartHeight;
using test::kThrottleChartWidth;

// What the X server shows of a window's client area.
wxImage Grab(wxWindow& window) { return ShownPixels(window); }

class ChartWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    frame_ = new wxFrame(nullptr, wxID_ANY, "chart", wxPoint(40, 40), wxSize(420, 340));
    panel_ = new wxPanel(frame_);
    chart_ = new CChartContainer(panel_, 1100, wxPoint(20, 20),
                                 wxSize(kThrottleChartWidth, kThrottleChartHeight));
    other_ = new wxButton(panel_, wxID_ANY, "Other", wxPoint(280, 20));
    frame_->Show();
    frame_->Raise();
    ASSERT_TRUE(PumpUntil([&] { return chart_->IsShownOnScreen() && chart_->PaintCount() > 0; }));
  }
  void TearDown() override {
    frame_->Destroy();
    DrainEvents();
  }

  // Waits for the next paint after a redraw request.
  bool NextPaint() {
    const std::size_t before = chart_->PaintCount();
    return PumpUntil([&] { return chart_->PaintCount() > before; });
  }

  wxFrame* frame_ = nullptr;
  wxPanel* panel_ = nullptr;
  CChartContainer* chart_ = nullptr;
  wxButton* other_ = nullptr;  // somewhere else for the focus to go
};

TEST_F(ChartWindowTest, ThrottleSeriesFillThePlotOnPedalExtents) {
  test::AddThrottleSeries(*chart_, 37);
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  SaveImage(Grab(*frame_), "chart_throttle_window");

  // Client 229 x 190: plot (3, 3, 222, 183). 50 lands on the left and bottom edges, 150 on
  // the right and top.
  const ChartTransform* t = chart_->Core().CurrentTransform();
  ASSERT_NE(t, nullptr);
  const PointF low = t->ToScreen(50, 50), high = t->ToScreen(150, 150);
  EXPECT_FLOAT_EQ(low.x, 3.0f);
  EXPECT_FLOAT_EQ(low.y, 186.0f);
  EXPECT_FLOAT_EQ(high.x, 225.0f);
  EXPECT_FLOAT_EQ(high.y, 3.0f);

  const wxImage shown = Grab(*chart_);
  // Axes along the bottom and left edges.
  EXPECT_LT(shown.GetRed(100, 186), 40);
  EXPECT_LT(shown.GetRed(3, 100), 40);
  // The curve passes through (100, 100); the green cross-hair is translucent.
  const PointF mid = t->ToScreen(100, 100);
  EXPECT_GT(shown.GetRed(int(mid.x), int(mid.y)), 150);
  EXPECT_LT(shown.GetGreen(int(mid.x), int(mid.y)), 100);
  const PointF cross = t->ToScreen(87, 120);
  const int gx = int(std::lround(cross.x)), gy = int(cross.y);
  EXPECT_GT(shown.GetGreen(gx, gy), shown.GetRed(gx, gy) + 20);
  EXPECT_GT(shown.GetRed(gx, gy), 120);  // alpha 0x40 over white
}

TEST_F(ChartWindowTest, PartialRepaintKeepsTheWholeClientGeometry) {
  test::AddThrottleSeries(*chart_, 37);
  ASSERT_TRUE(NextPaint());
  const ChartTransform before = *chart_->Core().CurrentTransform();
  const wxImage whole = Grab(*chart_);

  // Only a strip is damaged: the chart must still be laid out on the whole client area.
  chart_->RefreshRect(wxRect(100, 0, 12, kThrottleChartHeight), false);
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  const ChartTransform after = *chart_->Core().CurrentTransform();
  EXPECT_DOUBLE_EQ(after.scaleX, before.scaleX);
  EXPECT_DOUBLE_EQ(after.scaleY, before.scaleY);
  EXPECT_DOUBLE_EQ(after.offsetX, before.offsetX);
  EXPECT_DOUBLE_EQ(after.offsetY, before.offsetY);
  const wxImage strip = Grab(*chart_);
  int differing = 0;
  for (int y = 0; y < kThrottleChartHeight; ++y) {
    for (int x = 100; x < 112; ++x) {
      differing +=
          strip.GetRed(x, y) != whole.GetRed(x, y) || strip.GetGreen(x, y) != whole.GetGreen(x, y);
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(ChartWindowTest, LiveLineIsDrawnByTheNextPaintWhichKeepsThePendingClick) {
  test::AddThrottleSeries(*chart_, 37);
  ASSERT_TRUE(NextPaint());
  DrainEvents();

  // A first click of a two-click X zoom: X state "first click" and a live line at the click.
  const auto x = chart_->Core().ScreenToDataX(60, 80, true);
  ASSERT_TRUE(x.has_value());
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  wxImage shown = Grab(*chart_);
  // Row 50 lies between two grid lines.
  EXPECT_GT(shown.GetRed(60, 50), 200);
  EXPECT_LT(shown.GetGreen(60, 50), 60);
  EXPECT_GT(shown.GetGreen(59, 50), 200);

  // Any other redraw removes the line and drops the half-made zoom.
  chart_->RedrawExceptPopups();
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXZoomed);  // the page's SetExtentX left an undo entry
  EXPECT_TRUE(chart_->LiveLines().empty());
  shown = Grab(*chart_);
  EXPECT_GT(shown.GetGreen(60, 50), 200);
}

TEST_F(ChartWindowTest, LiveTickOfTwoReplacementsCostsOnePaint) {
  const test::ThrottleSeries ids = test::AddThrottleSeries(*chart_, 37);
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  for (int tick = 0; tick < 5; ++tick) {
    const std::size_t before = chart_->PaintCount();
    test::LiveTick(*chart_, ids, 40 + tick);
    ASSERT_TRUE(NextPaint());
    // A second paint would follow within a frame or two: none may come.
    PumpEvents(200);
    EXPECT_EQ(chart_->PaintCount(), before + 1);
  }
  // The last cross-hair shows: x 44 % -> data 94.
  const ChartTransform* t = chart_->Core().CurrentTransform();
  const PointF p = t->ToScreen(94, 65);
  const wxImage shown = Grab(*chart_);
  const int px = int(std::lround(p.x)), py = int(p.y);
  EXPECT_GT(shown.GetGreen(px, py), shown.GetRed(px, py) + 20);
}

TEST_F(ChartWindowTest, PaintSkipsDataItCannotDrawInsteadOfThrowing) {
  const ChartPoints wild{{0, std::numeric_limits<double>::quiet_NaN()},
                         {1, DBL_MAX},
                         {2, -DBL_MAX},
                         {3, std::numeric_limits<double>::infinity()}};
  ChartAddRecord r;
  r.name = L"wild";
  r.points = &wild;
  ASSERT_GE(chart_->AddChart(r, true), 0);
  EXPECT_TRUE(NextPaint());
  const ChartPoints flat{{5, 0}, {5, 0}};
  r.name = L"flat";
  r.points = &flat;
  ASSERT_GE(chart_->AddChart(r, true), 0);
  EXPECT_TRUE(NextPaint());
  // The window still paints its frame; the program is alive to check it.
  DrainEvents();
  const wxImage shown = Grab(*chart_);
  EXPECT_LT(shown.GetRed(0, 50), 40);
  chart_->SetSize(wxSize(1, 1));
  DrainEvents();
  chart_->SetSize(wxSize(0, 0));
  DrainEvents();
  SUCCEED();
}

TEST_F(ChartWindowTest, NotificationReachesTheParentBeforeSendReturns) {
  ChartNotify seen;
  int calls = 0;
  panel_->Bind(EVT_CHART_NOTIFY, [&](ChartNotifyEvent& e) {
    ++calls;
    seen = e.Notify();
    EXPECT_EQ(e.GetEventObject(), chart_);
    EXPECT_EQ(e.GetId(), 1100);
  });
  ChartNotify n;
  n.code = ChartNotifyCode::kExtentX;
  n.index = -1;
  n.xMin = 10;
  n.xMax = 90;
  EXPECT_TRUE(chart_->SendChartNotify(n));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen.code, ChartNotifyCode::kExtentX);
  EXPECT_DOUBLE_EQ(seen.xMax, 90);

  CChartContainer orphan;  // no window, no parent: nothing is sent
  EXPECT_FALSE(orphan.SendChartNotify(n));
}

TEST_F(ChartWindowTest, ThrowingParentHandlerDoesNotUnwindThroughTheChart) {
  panel_->Bind(EVT_CHART_NOTIFY, [](ChartNotifyEvent&) { throw std::runtime_error("parent"); });
  ChartNotify n;
  n.code = ChartNotifyCode::kTracking;
  EXPECT_NO_THROW(EXPECT_FALSE(chart_->SendChartNotify(n)));
}

TEST_F(ChartWindowTest, ImageOfTheChartsLeavesTheDataViewSelectionOut) {
  test::AddThrottleSeries(*chart_, 37);
  chart_->Core().SetDataViewIndex(0);
  chart_->Core().SyncDataViewCell(0, 3, 80, 80, true);
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  wxImage image(kThrottleChartWidth, kThrottleChartHeight);
  chart_->DrawChartsTo(0, 0, kThrottleChartWidth, kThrottleChartHeight, image);
  SaveImage(image, "chart_image");
  // The image is drawn into (0, 0, w - 1, h - 1): its frame is one pixel further in.
  EXPECT_LT(image.GetRed(kThrottleChartWidth - 2, 50), 40);
  EXPECT_LT(image.GetRed(100, kThrottleChartHeight - 2), 40);
  EXPECT_EQ(image.GetAlpha(100, 100), 255);
  const ChartTransform* t = chart_->Core().CurrentTransform();
  const PointF p = t->ToScreen(80, 80);
  const int x = int(p.x + 0.5f), y = int(p.y + 0.5f) - 4;
  EXPECT_LT(image.GetBlue(x, y), image.GetGreen(x, y) + 30);  // no selection circle
  // The window shows it; its next paint lays the chart out on the client area again.
  chart_->RedrawExceptPopups();
  ASSERT_TRUE(NextPaint());
  DrainEvents();
  const PointF q = chart_->Core().CurrentTransform()->ToScreen(80, 80);
  const wxImage shown = Grab(*chart_);
  const int sx = int(q.x + 0.5f), sy = int(q.y + 0.5f) - 4;
  EXPECT_GT(shown.GetBlue(sx, sy), shown.GetGreen(sx, sy) + 60);
}

TEST_F(ChartWindowTest, FocusDrawsTheDashedFocusRectangle) {
  // The dashed rectangle runs 3 px inside the frame: count dark pixels along its top side.
  auto darkOnRow3 = [&] {
    const wxImage shown = Grab(*chart_);
    int dark = 0;
    for (int x = 10; x < 110; ++x) dark += shown.GetRed(x, 3) < 100;
    return dark;
  };
  other_->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return other_->HasFocus(); }));
  DrainEvents();
  EXPECT_EQ(darkOnRow3(), 0);

  const std::size_t before = chart_->PaintCount();
  chart_->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return chart_->HasFocus() && chart_->PaintCount() > before; }));
  DrainEvents();
  const int dark = darkOnRow3();
  // Dashes of 3 on, 1 off from a whole coordinate: per period two pixels fully covered and
  // two shared by a dash end and a gap.
  EXPECT_GT(dark, 40);
  EXPECT_LT(dark, 60);
}

}  // namespace
}  // namespace chart
