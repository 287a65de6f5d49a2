// The clutch and brake pages as a user meets them: real windows under X, driven by real mouse
// and key events, checked against the template layout and through screenshots.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>

#include "chart/chart_container.h"
#include "page_window_test_support.h"
#include "pages/brake_clutch_page.h"
#include "pages/font_static.h"
#include "pages/live_bar.h"
#include "platform/ini_file.h"

using namespace pages;

namespace {

using page_test::ClickOn;
using page_test::Placement;
using page_test::TemplatePixels;

class BrakeClutchPageWindowTest : public page_test::PageWindowTest {
 protected:
  BrakeClutchPageWindowTest() : PageWindowTest("brake_clutch_window") {}

  // Both pages side by side in one owner, as the main dialog holds them.
  void CreatePages() {
    owner_ = new page_test::RecordingOwner("brake and clutch pages");
    brake_ = new CPedalsConfigDlg(owner_, PedalKind::kBrake, file_);
    clutch_ = new CPedalsConfigDlg(owner_, PedalKind::kClutch, file_);
    clutch_->SetPosition({brake_->GetSize().x + 8, 0});
    owner_->SetClientSize(clutch_->GetRect().GetRight() + 1, brake_->GetSize().y);
    brake_->Show();
    clutch_->Show();
    owner_->Show();
    PumpUntil([this] { return owner_->IsShownOnScreen(); });
    DrainEvents();
  }

  template <typename T>
  T* Control(CPedalsConfigDlg* page, int id) {
    return page_test::Control<T>(*page, id);
  }
  std::string LabelText(CFontStatic* label) const { return label->GetText().utf8_string(); }
  std::string Label(CPedalsConfigDlg* page, int id) {
    return LabelText(Control<CFontStatic>(page, id));
  }
  std::string StoredMaxForce() const {
    return platform::GetPrivateProfileString("BRAKE", "max_force", "<missing>", 64, file_);
  }
  // What the controller holds: dz_1 45, below the force the buttons allow.
  static BrakeClutchSettings FromController(int dz1) {
    BrakeClutchSettings s = DefaultBrakeClutchSettings();
    s.dz_0 = 2;
    s.dz_1 = dz1;
    return s;
  }

  CPedalsConfigDlg* brake_ = nullptr;
  CPedalsConfigDlg* clutch_ = nullptr;
};

TEST_F(BrakeClutchPageWindowTest, LaidOutFromTheTemplateInThePageLook) {
  CreatePages();
  const std::vector<Placement> placements{
      {1013, 0, 41, 153, 117},                            // chart
      {1011, 159, 20, 9, 252},                            // live bar
      {1059, 134, 2, 39, 12},                             // percentage
      {1055, 0, 4, 42, 12},     {1058, 25, 161, 50, 15},  // Curves
      {1017, 3, 22, 96, 15},                              // upper value row
      {1001, 103, 20, 12, 15},  {1015, 115, 21, 26, 12},  {1000, 141, 20, 12, 15},
      {1018, 3, 259, 96, 15},  // lower dead zone row
      {1003, 103, 257, 12, 15}, {1016, 115, 258, 26, 12}, {1002, 141, 257, 12, 15},
      {1020, 0, 178, 24, 15},  // band_0
      {1005, 25, 176, 12, 15},  {1019, 37, 177, 26, 12},  {1004, 63, 176, 12, 15},
      {1029, 0, 238, 24, 15},                                                       // band_40
      {1028, 25, 236, 12, 15},  {1014, 63, 236, 12, 15},  {1033, 78, 163, 24, 15},  // band_50
      {1030, 115, 162, 26, 12}, {1053, 75, 238, 27, 15},                            // band_100
      {1052, 103, 236, 12, 15}, {1050, 115, 237, 26, 12}, {1051, 141, 236, 12, 15},
  };
  for (CPedalsConfigDlg* page : {brake_, clutch_}) {
    page_test::ExpectPlacements(*page, placements);
    EXPECT_EQ(page->GetSize(), TemplatePixels(0, 0, 185, 278).GetSize());
    page_test::ExpectEnabledBoxAtTemplatePlace(*page);
    EXPECT_EQ(page->GetBackgroundColour(), wxColour(236, 110, 25));
    // Both pages hide the load-cell switch.
    EXPECT_FALSE(Control<wxCheckBox>(page, 1056)->IsShown());
    EXPECT_FALSE(Control<CFontStatic>(page, 1057)->IsShown());
    EXPECT_EQ(page->Chart().GetChartCount(), 3u);
  }
  const FontStaticStyle& value = Control<CFontStatic>(brake_, 1015)->Style();
  EXPECT_EQ(value.face, "Arial");
  EXPECT_EQ(value.height, 16);
  EXPECT_EQ(value.align, TextAlign::kCentre);
  EXPECT_TRUE(value.fillBackground);
  EXPECT_EQ(value.background, wxColour(225, 225, 225));
  const FontStaticStyle& caption = Control<CFontStatic>(brake_, 1053)->Style();
  EXPECT_EQ(caption.textColour, *wxWHITE);
  EXPECT_EQ(caption.align, TextAlign::kRight);
  EXPECT_FALSE(caption.fillBackground);
  const FontStaticStyle& percent = brake_->PercentLabel().Style();
  EXPECT_EQ(percent.align, TextAlign::kRight);
  EXPECT_TRUE(percent.fillBackground);

  // Spanish at start, with the defaults.
  EXPECT_EQ(Label(brake_, 1017), "Fuerza Máxima Frenado");
  EXPECT_EQ(Label(clutch_, 1017), "Zona Muerta Superior");
  EXPECT_EQ(Label(brake_, 1018), "Zona Muerta Inferior");
  EXPECT_EQ(Label(brake_, 1053), "100 %");
  EXPECT_EQ(Label(brake_, 1055), "Habilitar");
  EXPECT_EQ(Control<wxButton>(brake_, 1058)->GetLabel(), "Curvas");
  EXPECT_EQ(Label(brake_, 1015), "100 %");
  EXPECT_EQ(Label(clutch_, 1015), "0 %");
  EXPECT_EQ(Label(brake_, 1050), "100 %");
  EXPECT_TRUE(Control<wxCheckBox>(brake_, 1054)->GetValue());
  EXPECT_FALSE(brake_->Settings().dirty);

  for (int i = 0; i < 10; ++i) {
    brake_->OnPedalInput(37.0);
    clutch_->OnPedalInput(64.0);
  }
  DrainEvents();
  SaveScreenshot("brake_clutch_pages");

  brake_->SetEnglishTexts();
  clutch_->SetEnglishTexts();
  EXPECT_EQ(Label(brake_, 1017), "Max Braking Force");
  EXPECT_EQ(Label(clutch_, 1017), "End DeadZone");
  EXPECT_EQ(Label(clutch_, 1018), "Begin DeadZone");
  EXPECT_EQ(Label(clutch_, 1055), "Enabled");
  EXPECT_EQ(Label(clutch_, 1057), "LoadCell");
  EXPECT_EQ(Label(clutch_, 1033), "50 %");
  EXPECT_EQ(Control<wxButton>(clutch_, 1058)->GetLabel(), "Curves");
  DrainEvents();
  SaveScreenshot("brake_clutch_pages_english");
}

TEST_F(BrakeClutchPageWindowTest, BrakePlusAndMinusClicksStepTheMaximumForce) {
  CreatePages();
  brake_->LoadPedalSettings(FromController(45));  // no max_force stored
  CFontStatic* force = Control<CFontStatic>(brake_, 1015);
  ASSERT_EQ(LabelText(force), "45 %");
  ASSERT_FALSE(brake_->Settings().dirty);

  ClickOn(brake_->FindWindow(1000));  // "+": one step, even below 60
  EXPECT_EQ(LabelText(force), "46 %");
  EXPECT_EQ(brake_->Settings().dz_1, 46);
  EXPECT_TRUE(brake_->Settings().dirty);

  ClickOn(brake_->FindWindow(1001));  // "-": straight to 60
  EXPECT_EQ(LabelText(force), "60 %");
  ClickOn(brake_->FindWindow(1001));
  EXPECT_EQ(LabelText(force), "60 %");
  ClickOn(brake_->FindWindow(1000));
  EXPECT_EQ(LabelText(force), "61 %");
  EXPECT_EQ(brake_->Settings().dz_1, 61);

  // The buttons change the page only: nothing is applied or stored.
  EXPECT_EQ(owner_->applied, 0);
  EXPECT_EQ(StoredMaxForce(), "<missing>");
  EXPECT_EQ(clutch_->Settings().dz_1, 100);
  SaveScreenshot("brake_page_after_clicks");
}

TEST_F(BrakeClutchPageWindowTest, ClutchUpperDeadZoneIsInvertedAndPointsRebuildTheChart) {
  CreatePages();
  CFontStatic* deadZone = Control<CFontStatic>(clutch_, 1015);
  ClickOn(clutch_->FindWindow(1001));  // "-" at 100 stays
  EXPECT_EQ(LabelText(deadZone), "0 %");
  EXPECT_EQ(clutch_->Settings().dz_1, 100);
  ClickOn(clutch_->FindWindow(1000));  // "+" widens the dead zone
  ClickOn(clutch_->FindWindow(1000));
  EXPECT_EQ(LabelText(deadZone), "2 %");
  EXPECT_EQ(clutch_->Settings().dz_1, 98);

  ClickOn(clutch_->FindWindow(1031));  // band_50 "+"
  EXPECT_EQ(Label(clutch_, 1030), "51 %");
  const auto* curve =
      clutch_->Chart().Core().GetChart(clutch_->ChartSeries().CurveSeries(0), false);
  ASSERT_NE(curve, nullptr);
  EXPECT_DOUBLE_EQ(curve->Points().at(5).x, 100.0);
  EXPECT_DOUBLE_EQ(curve->Points().at(5).y, 101.0);
  EXPECT_TRUE(clutch_->Settings().dirty);
  EXPECT_FALSE(brake_->Settings().dirty);
}

TEST_F(BrakeClutchPageWindowTest, LiveInputMovesBarLabelAndCrossHair) {
  CreatePages();
  for (int i = 0; i < 10; ++i) brake_->OnPedalInput(37.0);
  DrainEvents();
  EXPECT_EQ(brake_->LiveBar().GetValue(), 37);
  EXPECT_EQ(LabelText(&brake_->PercentLabel()), "37%");
  const auto* crossX = brake_->Chart().Core().GetChart(brake_->ChartSeries().CrossXSeries(), false);
  const auto* crossY = brake_->Chart().Core().GetChart(brake_->ChartSeries().CrossYSeries(), false);
  ASSERT_NE(crossX, nullptr);
  ASSERT_NE(crossY, nullptr);
  EXPECT_DOUBLE_EQ(crossX->Points().at(0).x, 87.0);
  EXPECT_DOUBLE_EQ(crossY->Points().at(0).y, 87.0);

  // Reversed dead zones from the controller: the bar stays in range, nothing reads outside
  // the curve.
  BrakeClutchSettings reversed = DefaultBrakeClutchSettings();
  reversed.dz_0 = 90;
  reversed.dz_1 = 20;
  clutch_->LoadPedalSettings(reversed);
  for (int i = 0; i < 10; ++i) clutch_->OnPedalInput(100.0);
  DrainEvents();
  EXPECT_EQ(clutch_->LiveBar().GetValue(), 0);
  EXPECT_EQ(LabelText(&clutch_->PercentLabel()), "-14%");
}

TEST_F(BrakeClutchPageWindowTest, LiveBarFillsItsTemplateRectangleInsideABorder) {
  CreatePages();
  EXPECT_EQ(brake_->LiveBar().GetRect(), page_test::TemplatePixels(159, 20, 9, 252));
  for (int value : {0, 64, 100}) {
    for (int i = 0; i < 10; ++i) brake_->OnPedalInput(value);
    ASSERT_EQ(brake_->LiveBar().GetValue(), value);
    SCOPED_TRACE(value);
    page_test::ExpectLiveBarOnScreen(brake_->LiveBar());
  }
}

TEST_F(BrakeClutchPageWindowTest, HiddenPageLeavesItsControlsOutOfIdleWork) {
  CreatePages();
  int hiddenIdles = 0, shownIdles = 0;
  const auto count = [](int& counter) {
    return [&counter](wxIdleEvent& event) {
      ++counter;
      event.Skip();
    };
  };
  brake_->PercentLabel().Bind(wxEVT_IDLE, count(hiddenIdles));
  clutch_->PercentLabel().Bind(wxEVT_IDLE, count(shownIdles));
  brake_->Hide();
  hiddenIdles = shownIdles = 0;
  // Idle passes have visited the shown page a few times meanwhile.
  ASSERT_TRUE(PumpUntil(
      [&] {
        wxWakeUpIdle();
        return shownIdles >= 3;
      },
      2000));
  EXPECT_EQ(hiddenIdles, 0);
  brake_->Show();
  EXPECT_TRUE(PumpUntil(
      [&] {
        wxWakeUpIdle();
        return hiddenIdles > 0;
      },
      2000));
}

TEST_F(BrakeClutchPageWindowTest, ShownPageLetsIdleVisitsReachItsControlsSparingly) {
  CreatePages();
  brake_->Hide();
  page_test::ExpectIdleVisitsReachControlsSparingly(*owner_, clutch_->PercentLabel());
}

TEST_F(BrakeClutchPageWindowTest, ClearingEnabledShowsOneLastEvaluationThenZero) {
  CreatePages();
  for (int i = 0; i < 10; ++i) brake_->OnPedalInput(50.0);
  ClickOn(brake_->FindWindow(1054));
  EXPECT_EQ(brake_->Settings().axis_cnf, 0);
  EXPECT_TRUE(brake_->Settings().dirty);
  EXPECT_EQ(LabelText(&brake_->PercentLabel()), "45%");  // nine 50s and one 0
  EXPECT_EQ(brake_->LiveBar().GetValue(), 45);
  brake_->OnPedalInput(50.0);
  EXPECT_EQ(LabelText(&brake_->PercentLabel()), "0%");
  EXPECT_EQ(brake_->LiveBar().GetValue(), 0);
  EXPECT_EQ(brake_->InputPercent(), 45);  // the cross-hair stays

  ClickOn(brake_->FindWindow(1054));
  EXPECT_EQ(brake_->Settings().axis_cnf, 1);
  EXPECT_EQ(LabelText(&brake_->PercentLabel()), "0%");  // until the next input
}

TEST_F(BrakeClutchPageWindowTest, CurvesMenuInEnglishSetsTheSlowShape) {
  CreatePages();
  brake_->SetEnglishTexts();
  brake_->LoadPedalSettings(FromController(80));
  // The second item: slow.
  const page_test::MenuSeen english = page_test::UseCurvesMenu(*brake_, "Down Down Return");
  ASSERT_EQ(english.texts.size(), 7u);
  EXPECT_EQ(english.texts[0], "Lineal (default)");
  EXPECT_EQ(english.texts[1], "Slow Curve");
  EXPECT_EQ(english.ids[1], 32776);
  EXPECT_EQ(brake_->Settings().band, BrakeClutchShapePoints(CurveShape::kSlow));
  EXPECT_EQ(Label(brake_, 1021), "4 %");
  EXPECT_EQ(Label(brake_, 1046), "79 %");
  EXPECT_EQ(brake_->Settings().dz_0, 2);
  EXPECT_EQ(brake_->Settings().dz_1, 80);
  EXPECT_TRUE(brake_->Settings().dirty);

  brake_->SetSpanishTexts();
  const page_test::MenuSeen spanish = page_test::UseCurvesMenu(*brake_, "Escape");
  ASSERT_EQ(spanish.texts.size(), 7u);
  EXPECT_EQ(spanish.texts[1], "Curva lenta");
}

TEST_F(BrakeClutchPageWindowTest, BrakeForceStepsApplyLiveAndStoreOnlyForTheBrake) {
  CreatePages();
  brake_->LoadPedalSettings(FromController(60));
  brake_->BrakeForceDown();
  EXPECT_EQ(brake_->Settings().dz_1, 60);
  EXPECT_EQ(owner_->applied, 1);
  EXPECT_EQ(StoredMaxForce(), "60");
  brake_->BrakeForceUp();
  EXPECT_EQ(Label(brake_, 1015), "61 %");
  EXPECT_EQ(owner_->applied, 2);
  EXPECT_EQ(StoredMaxForce(), "61");

  clutch_->BrakeForceUp();
  EXPECT_EQ(clutch_->Settings().dz_1, 99);
  EXPECT_EQ(Label(clutch_, 1015), "1 %");
  EXPECT_EQ(owner_->applied, 3);
  EXPECT_EQ(StoredMaxForce(), "61");

  // The next read from the controller keeps the force set here.
  brake_->LoadPedalSettings(FromController(90));
  EXPECT_EQ(Label(brake_, 1015), "61 %");
  EXPECT_FALSE(brake_->Settings().dirty);
}

TEST_F(BrakeClutchPageWindowTest, EnterAndEscapeInsideAPageCloseNothing) {
  auto* dialog = new wxDialog(nullptr, wxID_ANY, "page in a dialog");
  auto* page = new CPedalsConfigDlg(dialog, PedalKind::kBrake, file_);
  dialog->SetClientSize(page->GetSize());
  page->Show();
  dialog->Show();
  PumpUntil([&] { return dialog->IsShownOnScreen(); });
  // A focused "+" still takes Enter as its press.
  page_test::ExpectKeysLeaveDialogOpen(*dialog, *page->FindWindow(1000), {WXK_ESCAPE, WXK_RETURN});
  EXPECT_EQ(page->Settings().dz_1, 100);
  dialog->Destroy();
  DrainEvents();
}

}  // namespace
