// The chart window driven by real mouse and key events under an X server: two-click zooms,
// keys, wheel, middle button, the context menu and the notifications its parent receives.
#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "chart/chart_container.h"
#include "chart/chart_menu.h"
#include "tests/support/window_test.h"

namespace chart {
namespace {

constexpr int kChartId = 1200;
constexpr int kW = 400;
constexpr int kH = 300;

void Xdo(const std::string& args) {
  const std::string command = "xdotool " + args + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The colour the X server shows at a client point of window, as 0xRRGGBB.
unsigned long PixelAt(wxWindow& window, int x, int y) {
  const wxPoint p = window.ClientToScreen(wxPoint(x, y));
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  unsigned long pixel = 0;
  if (XImage* shot =
          XGetImage(display, DefaultRootWindow(display), p.x, p.y, 1, 1, AllPlanes, ZPixmap)) {
    pixel = XGetPixel(shot, 0, 0) & 0xFFFFFF;
    XDestroyImage(shot);
  }
  XCloseDisplay(display);
  return pixel;
}

bool IsBlue(unsigned long rgb) { return (rgb & 0xFF) > 150 && (rgb >> 16) < 100; }

class ChartInputWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    frame_ = new wxFrame(nullptr, wxID_ANY, "chart input", wxPoint(30, 30), wxSize(560, 400));
    panel_ = new wxPanel(frame_);
    chart_ = new CChartContainer(panel_, kChartId, wxPoint(20, 20), wxSize(kW, kH));
    other_ = new wxButton(panel_, wxID_ANY, "Other", wxPoint(440, 20));
    panel_->Bind(EVT_CHART_NOTIFY, [this](ChartNotifyEvent& e) {
      EXPECT_EQ(e.GetEventObject(), chart_);
      EXPECT_EQ(e.GetId(), kChartId);
      notes_.push_back(e.Notify());
    });
    frame_->Show();
    frame_->Raise();
    ASSERT_TRUE(PumpUntil([&] { return chart_->IsShownOnScreen() && chart_->PaintCount() > 0; }));
    other_->SetFocus();
    PumpUntil([&] { return other_->HasFocus(); });
  }
  void TearDown() override {
    frame_->Destroy();
    DrainEvents();
  }

  // The diagonal 0..100 in 11 points, extents [0, 100] on both axes.
  int AddLine(const std::wstring& name, double from = 0, double to = 100) {
    ChartPoints points;
    for (int k = 0; k <= 10; ++k)
      points.push_back({from + (to - from) * k / 10, from + (to - from) * k / 10});
    ChartAddRecord r;
    r.name = name;
    r.points = &points;
    r.colour = 0xFF0000FF;
    const int index = chart_->AddChart(r, true);
    PaintSettled();
    return index;
  }

  void PaintSettled() {
    const std::size_t before = chart_->PaintCount();
    PumpUntil([&] { return chart_->PaintCount() > before; });
    DrainEvents();
  }

  wxPoint Screen(int x, int y) const { return chart_->ClientToScreen(wxPoint(x, y)); }
  std::string At(int x, int y) const {
    const wxPoint p = Screen(x, y);
    return "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y);
  }
  // A click with modifiers ("shift", "ctrl" or "") of a button at client (x, y).
  void Click(int x, int y, const std::string& modifiers = "", int button = 1, int repeat = 1) {
    SeparateFromLastClick(Screen(x, y));
    std::string args = At(x, y) + " sleep 0.05";
    if (!modifiers.empty()) args += " keydown " + modifiers;
    args += " click --repeat " + std::to_string(repeat) + " --delay 60 " + std::to_string(button);
    if (!modifiers.empty()) args += " keyup " + modifiers;
    Xdo(args);
    DrainEvents();
  }
  void Keys(const std::string& keys) {
    Xdo("key --delay 60 " + keys);
    DrainEvents();
  }
  void FocusChart() {
    chart_->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return chart_->HasFocus(); }));
    DrainEvents();
  }
  // Opens the context menu with a right click at client (x, y); the menu runs its own loop,
  // in which a MenuDriver works it, so it has closed again when this returns.
  void RightClick(int x = kW / 2, int y = kH / 2) { Click(x, y, "", 3); }

  double DataX(int px) const { return ScreenToData(px, 0, chart_->Core().CurrentTransform()).x; }
  double DataY(int py) const { return ScreenToData(0, py, chart_->Core().CurrentTransform()).y; }

  wxFrame* frame_ = nullptr;
  wxPanel* panel_ = nullptr;
  CChartContainer* chart_ = nullptr;
  wxButton* other_ = nullptr;
  std::vector<ChartNotify> notes_;
};

TEST_F(ChartInputWindowTest, ShiftClicksZoomXBetweenThemAndIgnoreASlip) {
  AddLine(L"line");
  const double first = DataX(100);
  const double second = DataX(250);
  // The click that gives the chart the focus is already the first click of the zoom.
  Click(100, 150, "shift");
  EXPECT_TRUE(chart_->HasFocus());
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  SaveScreenshot("chart_input_first_click");
  Click(102, 150, "shift");  // within 3 pixels: a slip
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  EXPECT_EQ(chart_->Core().ExtentX(), (ChartExtent{0, 100}));

  Click(250, 150, "shift");
  EXPECT_NEAR(chart_->Core().ExtentX().first, first, 0.2);
  EXPECT_NEAR(chart_->Core().ExtentX().second, second, 0.2);
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXZoomed);
  EXPECT_EQ(chart_->Core().Zoom().UndoStackX().size(), 1u);
  EXPECT_TRUE(notes_.empty());  // mouse zooms send nothing
}

TEST_F(ChartInputWindowTest, ShiftDoubleClickThenShiftClickZoomsY) {
  AddLine(L"line");
  const double first = DataY(80);
  const double second = DataY(200);
  Click(200, 80, "shift", 1, 2);
  EXPECT_EQ(chart_->Core().Zoom().YState(), kYFirstClick);
  ASSERT_FALSE(chart_->LiveLines().empty());
  EXPECT_FALSE(chart_->LiveLines().back().vertical);
  EXPECT_EQ(chart_->LiveLines().back().position, 80);
  SaveScreenshot("chart_input_y_first_click");

  Click(200, 200, "shift");
  EXPECT_NEAR(chart_->Core().ExtentY().first, second, 0.5);
  EXPECT_NEAR(chart_->Core().ExtentY().second, first, 0.5);
  EXPECT_EQ(chart_->Core().Zoom().YState(), kYZoomed);
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ChartInputWindowTest, FirstClickKeepsTheCurvesWhereTheClickSawThem) {
  AddLine(L"line");
  // At home the Y extent has margins: (90, 90) lies well below the top edge.
  const PointF p = chart_->Core().CurrentTransform()->ToScreen(90, 90);
  const int px = int(std::lround(p.x)), py = int(std::lround(p.y));
  ASSERT_GT(py, 30);
  ASSERT_TRUE(IsBlue(PixelAt(*chart_, px, py)));
  Click(60, 200, "shift", 1, 2);
  ASSERT_EQ(chart_->Core().Zoom().YState(), kYFirstClick);
  PaintSettled();
  EXPECT_TRUE(IsBlue(PixelAt(*chart_, px, py))) << std::hex << PixelAt(*chart_, px, py);
}

TEST_F(ChartInputWindowTest, DeleteCancelsAHalfMadeZoom) {
  AddLine(L"line");
  Click(100, 150, "shift");
  ASSERT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  Keys("Delete");
  PaintSettled();
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXHome);
  EXPECT_TRUE(chart_->LiveLines().empty());
  // A second Shift-click now starts a new zoom instead of finishing the old one.
  Click(250, 150, "shift");
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  EXPECT_EQ(chart_->Core().ExtentX(), (ChartExtent{0, 100}));
}

bool IsRed(unsigned long rgb) { return (rgb >> 16) > 200 && (rgb & 0xFF) < 80; }

// The page set the X extent (X state 4), so the double-click's first button-up asks for a
// full repaint. xdotool has queued the whole double-click before the chart reads any of it,
// so that repaint runs after the double-click: it must draw the Y first click, not undo it.
TEST_F(ChartInputWindowTest, QuickShiftDoubleClickKeepsItsYFirstClickAfterAPageSetX) {
  AddLine(L"line");
  ASSERT_TRUE(chart_->SetExtentX(10, 90, true));
  PaintSettled();
  ASSERT_EQ(chart_->Core().Zoom().XState(), kXSetNotDrawn);
  const double first = DataY(80);
  const double second = DataY(200);

  Click(200, 80, "shift", 1, 2);
  PaintSettled();
  EXPECT_EQ(chart_->Core().Zoom().YState(), kYFirstClick);
  ASSERT_FALSE(chart_->LiveLines().empty());
  EXPECT_FALSE(chart_->LiveLines().back().vertical);
  EXPECT_TRUE(IsRed(PixelAt(*chart_, 330, 80))) << std::hex << PixelAt(*chart_, 330, 80);

  // The next Shift-click finishes the Y zoom; it does not start an X zoom.
  Click(200, 200, "shift");
  EXPECT_NEAR(chart_->Core().ExtentY().first, second, 0.5);
  EXPECT_NEAR(chart_->Core().ExtentY().second, first, 0.5);
  EXPECT_EQ(chart_->Core().Zoom().YState(), kYZoomed);
  EXPECT_EQ(chart_->Core().ExtentX(), (ChartExtent{10, 90}));
}

// A paint the chart did not ask for (the window was uncovered) draws the pending click and
// its line again; a resize moves the chart under the line, so it takes both away at once.
TEST_F(ChartInputWindowTest, PendingFirstClickGoesOnlyWithItsLine) {
  AddLine(L"line");
  Click(100, 150, "shift");
  ASSERT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  chart_->Refresh();
  PaintSettled();
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  EXPECT_FALSE(chart_->LiveLines().empty());
  EXPECT_TRUE(IsRed(PixelAt(*chart_, 100, 40))) << std::hex << PixelAt(*chart_, 100, 40);

  chart_->SetSize(kW - 60, kH);
  PaintSettled();
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXHome);
  EXPECT_TRUE(chart_->LiveLines().empty());
  EXPECT_FALSE(IsRed(PixelAt(*chart_, 100, 40))) << std::hex << PixelAt(*chart_, 100, 40);
}

// Drawing the chart into an image of another size changes neither the pending click nor the
// transform that the second click is read through.
TEST_F(ChartInputWindowTest, ImageDrawnBetweenTwoClicksLeavesTheZoomAlone) {
  AddLine(L"line");
  const double first = DataX(100);
  const double second = DataX(250);
  Click(100, 150, "shift");
  ASSERT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  wxImage image(kW / 2, kH / 2);
  chart_->DrawChartsTo(0, 0, kW / 2, kH / 2, image);
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXFirstClick);
  EXPECT_DOUBLE_EQ(DataX(250), second);

  Click(250, 150, "shift");
  EXPECT_NEAR(chart_->Core().ExtentX().first, first, 0.2);
  EXPECT_NEAR(chart_->Core().ExtentX().second, second, 0.2);
}

TEST_F(ChartInputWindowTest, KeysMoveTheExtentsAndScaleTheSelectedSeries) {
  AddLine(L"line");
  FocusChart();
  Keys("Up");
  EXPECT_NEAR(chart_->Core().ExtentY().first, -1, 1e-9);
  EXPECT_NEAR(chart_->Core().ExtentY().second, 99, 1e-9);
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kExtentY);
  EXPECT_DOUBLE_EQ(notes_[0].yMin, chart_->Core().ExtentY().first);
  Keys("Right");
  EXPECT_NEAR(chart_->Core().ExtentX().first, -1, 1e-9);
  EXPECT_EQ(notes_.size(), 1u);  // X moves by key send nothing
  EXPECT_TRUE(chart_->HasFocus()) << "the arrows must not move the focus";

  // Ctrl+click on the line selects it; PgUp then scales it instead of moving the extent.
  const PointF p = chart_->Core().CurrentTransform()->ToScreen(50, 50);
  Click(int(std::lround(p.x)), int(std::lround(p.y)), "ctrl");
  ASSERT_EQ(chart_->Core().SelectedIndex(), 0);
  const ChartExtent extentY = chart_->Core().ExtentY();
  Keys("Prior");
  EXPECT_GT(chart_->Core().GetChart(0, false)->YScale(), 1.0);
  EXPECT_EQ(chart_->Core().ExtentY(), extentY);
  ASSERT_EQ(notes_.size(), 2u);
  EXPECT_EQ(notes_[1].code, ChartNotifyCode::kSeriesYScale);
  EXPECT_EQ(notes_[1].index, 0);
  SaveScreenshot("chart_input_scaled");
}

TEST_F(ChartInputWindowTest, ShiftWheelMovesXWithoutNotifying) {
  AddLine(L"line");
  Click(200, 150, "shift", 5);  // towards the user
  EXPECT_NEAR(chart_->Core().ExtentX().first, -1, 1e-9);
  Click(200, 150, "shift", 4);
  Click(200, 150, "shift", 4);
  EXPECT_NEAR(chart_->Core().ExtentX().first, 1, 1e-9);
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ChartInputWindowTest, MiddleButtonTogglesTrackingAndTheCursor) {
  AddLine(L"line");
  Click(200, 150, "", 2);
  EXPECT_TRUE(chart_->Core().IsTracking());
  EXPECT_TRUE(chart_->GetCursor().IsSameAs(*wxCROSS_CURSOR));
  Click(200, 150, "", 2);
  EXPECT_FALSE(chart_->Core().IsTracking());
  EXPECT_FALSE(chart_->GetCursor().IsSameAs(*wxCROSS_CURSOR));
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ChartInputWindowTest, ContextMenuZoomInXNotifiesTheParent) {
  AddLine(L"Pedal Curve");
  {
    MenuDriver driver(chart_, "Down Down Down Down Down Right Return", "chart_input_menu");
    RightClick();
    ASSERT_GE(driver.opened, 1);
    const std::vector<std::string> head{"Show Legend",     "---", "Show Axis X boundaries", "---",
                                        "View Chart Data", "---", "Save/Print Charts",      "---",
                                        "Zoom/Move",       "---", "Show/Hide Chart Pnts",   "---",
                                        "Show Pedal Curve"};
    EXPECT_EQ(driver.texts, head);
    EXPECT_EQ(driver.ids.back(), kCmdShowSeriesFirst);
    EXPECT_TRUE(driver.checked.back());
  }
  EXPECT_NEAR(chart_->Core().ExtentX().first, 10, 1e-9);
  EXPECT_NEAR(chart_->Core().ExtentX().second, 90, 1e-9);
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kExtentX);
  EXPECT_EQ(notes_[0].index, -1);
  EXPECT_DOUBLE_EQ(notes_[0].xMin, 10);
  EXPECT_DOUBLE_EQ(notes_[0].xMax, 90);
  EXPECT_DOUBLE_EQ(notes_[0].yMax, 100);

  // Now the menu offers the undo, and "Refresh Charts" goes home with code 5.
  {
    MenuDriver driver(chart_, "Up Up Up Return");
    RightClick();
    ASSERT_GE(driver.texts.size(), 13u);
    EXPECT_EQ(driver.texts[10], "Undo Last Zoom/Move X");
    EXPECT_EQ(driver.texts[12], "Refresh Charts");
  }
  EXPECT_EQ(chart_->Core().ExtentX(), (ChartExtent{0, 100}));
  ASSERT_EQ(notes_.size(), 2u);
  EXPECT_EQ(notes_[1].code, ChartNotifyCode::kExtentsRestored);
  EXPECT_DOUBLE_EQ(notes_[1].xMax, 100);
}

TEST_F(ChartInputWindowTest, ContextMenuTogglesXBoundariesAndSeries) {
  AddLine(L"a");
  AddLine(L"b", 20, 60);
  {
    MenuDriver driver(chart_, "Down Down Return");
    RightClick();
  }
  EXPECT_TRUE(chart_->Core().ShowsXBoundaries());
  EXPECT_TRUE(notes_.empty());
  {
    MenuDriver driver(chart_, "Up Return");  // the last item: "Show b"
    RightClick();
    ASSERT_FALSE(driver.texts.empty());
    EXPECT_EQ(driver.texts.back(), "Show b");
  }
  EXPECT_FALSE(chart_->Core().GetChart(1, false)->IsVisible());
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kSeriesShown);
  EXPECT_EQ(notes_[0].index, 1);
  EXPECT_FALSE(notes_[0].flag);
}

TEST_F(ChartInputWindowTest, SeriesItemBeyondTheTwentySixthStillTogglesItsSeries) {
  for (int i = 0; i < 27; ++i) {
    ChartPoints points{{0.0, double(i)}, {100.0, double(i + 1)}};
    ChartAddRecord r;
    r.points = &points;
    ASSERT_EQ(chart_->AddChart(r, false), i);
  }
  chart_->RedrawExceptPopups();
  PaintSettled();
  {
    MenuDriver driver(chart_, "Up Return");
    RightClick();
    ASSERT_FALSE(driver.ids.empty());
    EXPECT_EQ(driver.ids.back(), kCmdShowSeriesFirst + 26);
  }
  EXPECT_FALSE(chart_->Core().GetChart(26, false)->IsVisible());
  ASSERT_EQ(notes_.size(), 1u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kSeriesShown);
  EXPECT_EQ(notes_[0].index, 26);
}

TEST_F(ChartInputWindowTest, NoMenuOnAChartThatIsNotInteractive) {
  AddLine(L"line");
  chart_->Core().SetInteractive(false);
  MenuDriver driver(chart_, "Escape");
  RightClick();
  EXPECT_EQ(driver.opened, 0);
  // Nor do the keys and the mouse act.
  Click(100, 150, "shift");
  EXPECT_EQ(chart_->Core().Zoom().XState(), kXHome);
}

TEST_F(ChartInputWindowTest, TrackingCommandNotifiesItsNewState) {
  AddLine(L"line");
  wxCommandEvent command(wxEVT_MENU, kCmdEnableTracking);
  chart_->ProcessWindowEvent(command);
  EXPECT_TRUE(chart_->Core().IsTracking());
  chart_->ProcessWindowEvent(command);
  EXPECT_FALSE(chart_->Core().IsTracking());
  ASSERT_EQ(notes_.size(), 2u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kTracking);
  EXPECT_TRUE(notes_[0].flag);
  EXPECT_FALSE(notes_[1].flag);
}

TEST_F(ChartInputWindowTest, TrackingClickShowsTheValuesBesideTheClickOrClosesTheWindow) {
  AddLine(L"Pedal Curve");
  Click(200, 150, "", 2);
  ASSERT_TRUE(chart_->Core().IsTracking());
  const PointF p = chart_->Core().CurrentTransform()->ToScreen(30, 30);
  Click(int(std::lround(p.x)), 150);
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsTrackingWindowVisible(); }));
  EXPECT_NEAR(chart_->Core().TrackedX(), 30, 1.0);
  const CDataWnd* window = chart_->DataWindows().TrackingWindow();
  ASSERT_EQ(window->Rows().size(), 1u);
  EXPECT_EQ(window->Rows().begin()->second.seriesName, L"Pedal Curve");
  // Beside the click, in the left half: 6 px to its right.
  EXPECT_EQ(window->GetPosition().x, int(std::lround(p.x)) + 6);
  PaintSettled();
  SaveScreenshot("chart_input_tracking");

  // Between two points (10 units, some 38 px apart) nothing lies within 6 px.
  const PointF q = chart_->Core().CurrentTransform()->ToScreen(35, 35);
  Click(int(std::lround(q.x)), 150);
  EXPECT_FALSE(chart_->DataWindows().HasTrackingWindow());
  EXPECT_EQ(chart_->Core().TrackedX(), DBL_MAX);
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ChartInputWindowTest, ScalingASeriesHidesTheTrackingWindowForHalfASecond) {
  AddLine(L"line");
  Click(200, 150, "", 2);
  const PointF p = chart_->Core().CurrentTransform()->ToScreen(50, 50);
  Click(int(std::lround(p.x)), int(std::lround(p.y)));
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsTrackingWindowVisible(); }));
  Click(int(std::lround(p.x)), int(std::lround(p.y)), "ctrl");
  ASSERT_EQ(chart_->Core().SelectedIndex(), 0);
  Keys("Prior");
  EXPECT_FALSE(chart_->DataWindows().IsTrackingWindowVisible());
  EXPECT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsTrackingWindowVisible(); }));
}

TEST_F(ChartInputWindowTest, LegendFromTheMenuOpensAndCloses) {
  AddLine(L"Pedal Curve");
  AddLine(L"Second", 10, 40);
  {
    MenuDriver driver(chart_, "Down Return");
    RightClick();
    ASSERT_FALSE(driver.checked.empty());
    EXPECT_FALSE(driver.checked[0]);
  }
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsLegendWindowVisible(); }));
  EXPECT_TRUE(chart_->Core().IsLegendShown());
  EXPECT_EQ(chart_->DataWindows().LegendWindow()->Rows().size(), 2u);
  PaintSettled();
  {
    MenuDriver driver(chart_, "Down Return", "chart_input_legend_menu");
    RightClick();
    ASSERT_FALSE(driver.checked.empty());
    EXPECT_TRUE(driver.checked[0]);
  }
  EXPECT_FALSE(chart_->DataWindows().HasLegendWindow());
  EXPECT_FALSE(chart_->Core().IsLegendShown());
}

TEST_F(ChartInputWindowTest, ViewChartDataFromTheMenuOpensTheViewOnTheFirstSeries) {
  AddLine(L"Pedal Curve");
  {
    MenuDriver driver(chart_, "Down Down Down Return");
    RightClick();
  }
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataView() && chart_->DataView()->IsShown(); }));
  EXPECT_EQ(chart_->Core().DataViewIndex(), 0);
  EXPECT_EQ(chart_->Core().SelectedIndex(), 0);  // the first visible series became selected
  chart_->Core().DataViewClosed();
  PumpUntil([&] { return chart_->DataView() == nullptr; });
  EXPECT_EQ(chart_->DataView(), nullptr);
}

TEST_F(ChartInputWindowTest, PointMarkersOnASeriesWithoutRangeSayWhy) {
  ChartPoints single{{50, 50}};
  ChartAddRecord r;
  r.name = L"one";
  r.points = &single;
  ASSERT_EQ(chart_->AddChart(r, true), 0);
  AddLine(L"line");
  ASSERT_EQ(chart_->Core().SelectChart(0, true), 0);
  ModalDriver answer(wxTheApp->GetAppDisplayName().utf8_string(), "chart_input_pnts_box",
                     {[] { ::Keys("Return"); }});
  wxCommandEvent command(wxEVT_MENU, kCmdTogglePointMarkers);
  chart_->ProcessWindowEvent(command);
  EXPECT_TRUE(PumpUntil([&] { return answer.Done(); }));
  EXPECT_TRUE(chart_->Core().GetChart(1, false)->ShowsPoints());
  EXPECT_TRUE(notes_.empty());
}

TEST_F(ChartInputWindowTest, SaveChartsFromTheMenuWritesTheFileAndTellsTheParent) {
  AddLine(L"Pedal Curve");
  const TempFolder folder("chart-input");
  const std::string path = folder.File("saved.xml");
  {
    ModalDriver answer("Save Charts", "", TypePathSteps(path));
    MenuDriver driver(chart_, "Down Down Down Down Right Return");
    RightClick();
    ASSERT_TRUE(PumpUntil([&] { return answer.Done(); }));
  }
  ASSERT_TRUE(PumpUntil([&] { return notes_.size() >= 2; }));
  const wxString text = Shell("cat '" + path + "'");
  EXPECT_TRUE(text.Contains("<Charts")) << text;
  EXPECT_TRUE(text.Contains("Pedal Curve"));
  ASSERT_EQ(notes_.size(), 2u);
  EXPECT_EQ(notes_[0].code, ChartNotifyCode::kXmlSaveStart);
  EXPECT_EQ(notes_[1].code, ChartNotifyCode::kXmlSaved);
}

TEST_F(ChartInputWindowTest, ResizedChartPlacesTheLegendAgainInItsCorner) {
  AddLine(L"Pedal Curve");
  wxCommandEvent legend(wxEVT_MENU, kCmdShowLegend);
  chart_->ProcessWindowEvent(legend);
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsLegendWindowVisible(); }));
  const CDataWnd* window = chart_->DataWindows().LegendWindow();
  EXPECT_EQ(window->GetRect().GetRight(), kW - 1 - 6);

  chart_->SetSize(wxSize(kW - 100, kH));
  EXPECT_FALSE(chart_->DataWindows().IsLegendWindowVisible());
  ASSERT_TRUE(PumpUntil([&] { return chart_->DataWindows().IsLegendWindowVisible(); }));
  EXPECT_EQ(chart_->DataWindows().LegendWindow()->GetRect().GetRight(), kW - 100 - 1 - 6);
}

TEST_F(ChartInputWindowTest, TabLeavesTheChart) {
  AddLine(L"line");
  FocusChart();
  Keys("Tab");
  EXPECT_TRUE(other_->HasFocus());
}

TEST_F(ChartInputWindowTest, ToolkitMenuKeepsTheCommandIds) {
  for (int i = 0; i < 27; ++i) {
    ChartPoints points{{0.0, 1.0}, {10.0, 2.0}};
    ChartAddRecord r;
    r.points = &points;
    chart_->AddChart(r, false);
  }
  const std::unique_ptr<wxMenu> menu = CreateChartMenu(BuildChartMenu(chart_->Core(), {}));
  ASSERT_NE(menu->FindItem(33816), nullptr);
  EXPECT_TRUE(menu->FindItem(33816)->IsChecked());
  EXPECT_NE(menu->FindItem(static_cast<int>(ChartExtentCommand::kZoomInX)), nullptr);
  EXPECT_EQ(menu->FindItem(kCmdSaveCharts)->GetItemLabelText(), "Save chart(s)");
}

}  // namespace
}  // namespace chart
