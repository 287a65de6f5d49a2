// The legend and the tracking data window over a real chart under Xvfb: placement, what they
// draw, and that the mouse and the focus stay with the chart.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <wx/graphics.h>

#include "chart/chart_draw.h"
#include "tests/chart/popup_test_support.h"

namespace chart {
namespace {

using test::Screenshot;

bool Near(const wxImage& image, int x, int y, int r, int g, int b, int tolerance = 24) {
  return std::abs(image.GetRed(x, y) - r) <= tolerance &&
         std::abs(image.GetGreen(x, y) - g) <= tolerance &&
         std::abs(image.GetBlue(x, y) - b) <= tolerance;
}

// Pixels of the given colour in a rectangle of image.
int CountNear(const wxImage& image, const wxRect& rect, int r, int g, int b, int tolerance) {
  int count = 0;
  for (int y = rect.y; y <= rect.GetBottom(); ++y) {
    for (int x = rect.x; x <= rect.GetRight(); ++x) count += Near(image, x, y, r, g, b, tolerance);
  }
  return count;
}

int CountDark(const wxImage& image, const wxRect& rect) {
  int count = 0;
  for (int y = rect.y; y <= rect.GetBottom(); ++y) {
    for (int x = rect.x; x <= rect.GetRight(); ++x) {
      count += image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 200;
    }
  }
  return count;
}

wxRect ToWx(const IntRect& r) { return {r.left, r.top, r.Width(), r.Height()}; }

// The window's light yellow box has been painted on the screen.
bool BoxPainted(const wxWindow& window) {
  const wxImage box = ShownPixels(window);
  const wxRect inside(3, 3, box.GetWidth() - 6, box.GetHeight() - 6);
  return CountNear(box, inside, 0xFF, 0xFF, 0xE0, 4) > inside.width * inside.height / 2;
}

class DataWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ChartPoints diagonal, flat, marks;
    for (int x = 0; x <= 100; x += 10) {
      diagonal.push_back({double(x), double(x)});
      flat.push_back({double(x), 50.0});
      marks.push_back({double(x), 80.0});
    }
    ChartAddRecord r;
    r.name = L"Pedal Curve";
    r.nameY = L"Out";
    r.colour = 0xFFFF0000;
    r.penWidth = 2.0f;
    r.points = &diagonal;
    chart().AddChart(r, false);
    r.name = L"Limit";
    r.nameY = L"";
    r.colour = 0xFF0000FF;
    r.dashStyle = kDashDash;
    r.points = &flat;
    chart().AddChart(r, false);
    r.name = L"Marks";
    r.colour = 0xFF00A000;
    r.dashStyle = kDashMarksOnly;
    r.points = &marks;
    chart().AddChart(r, false);
    chart().SetExtentX(0.0, 100.0, false);
    chart().SetExtentY(0.0, 100.0, false, true);
    DrainEvents();
  }

  CChartContainer& chart() { return popups.Chart(); }
  ChartContainerCore& core() { return popups.Core(); }
  wxPoint ToClient(double x, double y) {
    const PointF p = core().EnsureTransform().ToScreen(x, y);
    return {static_cast<int>(p.x), static_cast<int>(p.y)};
  }
  // Tracking on: the chart's own input handling sends a left click to the data windows.
  // Every click the chart gets is noted.
  void TrackOnClicks() {
    core().SetTracking(true);
    chart().Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
      clicks.push_back(e.GetPosition());
      e.Skip();
    });
  }

  test::PopupFixture popups;
  std::vector<wxPoint> clicks;
};

TEST_F(DataWindowTest, TrackingClickShowsTheValuesBesideTheClick) {
  TrackOnClicks();
  const wxPoint at = ToClient(30, 30);
  ClickAt(chart(), at);
  CDataWnd* window = popups.Windows().TrackingWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return window->IsShownOnScreen(); }));
  PumpUntil([&] { return BoxPainted(*window); });
  const wxImage screen = Screenshot("data_window_tracking");

  // One row per series at X 30: the diagonal, the flat line and the marks.
  EXPECT_EQ(window->Rows().size(), 3u);
  EXPECT_EQ(window->Rows().begin()->second.textX, L"= 30");
  const wxRect placed = window->GetRect();
  EXPECT_EQ(placed.x, at.x + 6) << "left half: right of the click";
  EXPECT_EQ(placed.GetBottom() + 1, chart().GetClientSize().y - 6);

  const wxImage box = ClientPixels(screen, *window);
  const wxRect inside(3, 3, box.GetWidth() - 6, box.GetHeight() - 6);
  EXPECT_GT(CountNear(box, inside, 0xFF, 0xFF, 0xE0, 4), inside.width * inside.height / 2)
      << "light yellow box";
  EXPECT_TRUE(Near(box, box.GetWidth() / 2, 0, 0, 0, 0, 60)) << "black outline";
  // The row texts in the series colours: red, blue and green ink.
  EXPECT_GT(CountNear(box, inside, 0xFF, 0x00, 0x00, 90), 20);
  EXPECT_GT(CountNear(box, inside, 0x00, 0x00, 0xFF, 90), 20);
  EXPECT_GT(CountNear(box, inside, 0x00, 0xA0, 0x00, 90), 20);
}

TEST_F(DataWindowTest, ClickOnTheBoxGoesToTheChartAndLeavesTheFocusThere) {
  TrackOnClicks();
  ClickAt(chart(), ToClient(20, 60));
  CDataWnd* window = popups.Windows().TrackingWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return window->IsShownOnScreen(); }));
  chart().SetFocus();
  PumpUntil([&] { return chart().HasFocus(); });

  // Over the box, where the chart has points at X 30.
  const wxRect box = window->GetRect();
  const int x30 = ToClient(30, 0).x;
  ASSERT_GT(x30, box.x + 2);
  ASSERT_LT(x30, box.GetRight() - 2);
  clicks.clear();
  ClickAt(*window, wxPoint(x30 - box.x, box.height / 2));
  ASSERT_EQ(clicks.size(), 1u) << "the chart got the click";
  EXPECT_EQ(clicks[0], wxPoint(x30, box.y + box.height / 2));
  EXPECT_TRUE(chart().HasFocus());
  ASSERT_TRUE(popups.Windows().HasTrackingWindow());
  EXPECT_EQ(popups.Windows().TrackingWindow()->GetRect().x, x30 + 6) << "tracking moved there";
}

TEST_F(DataWindowTest, ClickWhereNoSeriesHasAPointClosesTheTrackingWindow) {
  TrackOnClicks();
  ClickAt(chart(), ToClient(30, 30));
  ASSERT_TRUE(popups.Windows().HasTrackingWindow());
  ClickAt(chart(), ToClient(35, 30));  // 5 units from any point: nothing within 6 px
  EXPECT_FALSE(popups.Windows().HasTrackingWindow());
  EXPECT_TRUE(core().TrackedValuesFound().empty());
}

TEST_F(DataWindowTest, RefreshAfterAHiddenSeriesShowsOnlyTheOthers) {
  TrackOnClicks();
  ClickAt(chart(), ToClient(40, 40));
  ASSERT_EQ(popups.Windows().TrackingWindow()->Rows().size(), 3u);
  core().ToggleChartVisibility(1);  // the container refreshes its data windows
  PumpUntil([&] { return popups.Windows().TrackingWindow()->Rows().size() == 2; });
  const ChartLabelRows& rows = popups.Windows().TrackingWindow()->Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows.count(1), 0u);
}

TEST_F(DataWindowTest, LegendShowsEachSeriesWithItsLineSampleInTheTopRightCorner) {
  popups.Core().CreateLegendWindow();
  CDataWnd* legend = popups.Windows().LegendWindow();
  ASSERT_NE(legend, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return legend->IsShownOnScreen(); }));
  EXPECT_TRUE(core().IsLegendShown());
  PumpUntil([&] { return BoxPainted(*legend); });
  const wxImage screen = Screenshot("data_window_legend");

  const wxRect placed = legend->GetRect();
  EXPECT_EQ(placed.GetRight() + 1, chart().GetClientSize().x - 6);
  EXPECT_EQ(placed.y, 6);
  const wxImage box = ClientPixels(screen, *legend);
  const float rowHeight = legend->Layout().row.height;
  const auto rowMiddle = [&](int row) { return int(3 + rowHeight * (row + 0.5f)); };
  // Row 1: a solid red sample from x 3 to 23 (plus the border).
  EXPECT_TRUE(Near(box, 12, rowMiddle(0), 0xFF, 0, 0, 40));
  // Row 2: blue dashes leave gaps along the sample.
  const wxRect dashes(3, rowMiddle(1), 20, 1);
  const int blue = CountNear(box, dashes, 0, 0, 0xFF, 60);
  EXPECT_GT(blue, 5);
  EXPECT_LT(blue, 18);
  EXPECT_GE(CountNear(box, dashes, 0xFF, 0xFF, 0xE0, 40), 2);
  // Row 3: plus marks centred at 6, 13 and 20, nothing between them on the middle line.
  for (int cx : {6, 13, 20}) {
    EXPECT_TRUE(Near(box, cx, rowMiddle(2) - 2, 0x00, 0xA0, 0x00, 80)) << "mark " << cx;
  }
  EXPECT_TRUE(Near(box, 10, rowMiddle(2) - 2, 0xFF, 0xFF, 0xE0, 40));
}

TEST_F(DataWindowTest, VisibleWindowsDrawIntoAnImageWhereTheyStand) {
  popups.Core().CreateLegendWindow();
  ASSERT_TRUE(PumpUntil([&] { return popups.Windows().IsLegendWindowVisible(); }));
  const wxSize size = chart().GetClientSize();
  wxImage image(size.x, size.y);
  image.SetRGB(wxRect(size), 255, 255, 255);
  image.InitAlpha();
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    PrepareChartGraphics(*gc);
    popups.Windows().DrawDataWindowsTo(*gc);
  }
  SaveImage(image, "data_window_image");
  const wxRect legend = ToWx(popups.Windows().LegendWindow()->WindowRect());
  const wxRect inside(legend.x + 3, legend.y + 3, legend.width - 6, legend.height - 6);
  EXPECT_GT(CountNear(image, inside, 0xFF, 0xFF, 0xE0, 4), inside.width * inside.height / 2);
  EXPECT_GT(CountDark(image, wxRect(legend.x, legend.y - 1, legend.width, 3)), legend.width / 2)
      << "the outline along the top";
  EXPECT_EQ(CountNear(image, wxRect(0, 0, legend.x - 2, size.y), 0xFF, 0xFF, 0xE0, 4), 0);
}

TEST_F(DataWindowTest, RowsThatMeasureNothingPaintAnEmptyBoxInsteadOfFailing) {
  popups.Core().CreateLegendWindow();
  CDataWnd* legend = popups.Windows().LegendWindow();
  ASSERT_NE(legend, nullptr);
  ChartLabelRows blank;
  blank.emplace(0, ChartLabelRow{});  // nothing to measure: no row height
  ASSERT_TRUE(legend->UpdateDataWindow(blank, chart(), 40, 0));
  EXPECT_FLOAT_EQ(legend->Layout().row.height, 0.0f);
  DrainEvents();
  EXPECT_TRUE(legend->IsShownOnScreen()) << "still painted, the program goes on";
  EXPECT_FALSE(legend->UpdateDataWindow({}, chart(), 40, 0)) << "no rows hide it";
  EXPECT_FALSE(legend->IsShown());
}

}  // namespace
}  // namespace chart
