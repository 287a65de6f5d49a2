// The throttle page as a user meets it: a real window under X, driven by real mouse and key
// events, checked against the template layout and through screenshots.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/timer.h>

#include "chart/chart_container.h"
#include "page_window_test_support.h"
#include "pages/font_static.h"
#include "pages/live_bar.h"
#include "pages/throttle_page.h"
#include "platform/ini_file.h"

using namespace pages;

namespace {

using page_test::ClickOn;
using page_test::Placement;
using page_test::RecordingOwner;
using page_test::TemplatePixels;

// Answers the save question by keyboard once its window shows: the box is modal, so the
// answer comes from a timer inside its loop.
class QuestionAnswerer : public ModalDriver {
 public:
  explicit QuestionAnswerer(const std::string& keys)
      : ModalDriver("Orvo Pedals", "throttle_question", {[keys] { Keys(keys); }}) {}
  bool Answered() const { return Done(); }
};

class ThrottlePageWindowTest : public page_test::PageWindowTest {
 protected:
  ThrottlePageWindowTest() : PageWindowTest("throttle_window") {}

  void SetUp() override {
    std::ofstream(file_) << "[CNF]\npreset=0\n"
                            "[PRESET_0]\ndz_0=5\nband_50=50.0\n"
                            "[PRESET_1]\ndz_0=11\nband_50=60.0\naxis_mode=1\n";
  }

  void CreatePage() {
    owner_ = new RecordingOwner("throttle page test");
    page_ = new CPedalsConfig2Dlg(owner_, file_);
    owner_->SetClientSize(page_->GetSize());
    page_->Show();
    owner_->Show();
    PumpUntil([this] { return owner_->IsShownOnScreen(); });
    DrainEvents();
  }

  template <typename T>
  T* Control(int id) {
    return page_test::Control<T>(*page_, id);
  }
  std::string Key(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileString(section, key, "<missing>", 64, file_);
  }

  CPedalsConfig2Dlg* page_ = nullptr;
};

TEST_F(ThrottlePageWindowTest, ControlsStandAtTheirTemplatePositions) {
  CreatePage();
  const std::vector<Placement> placements{
      {1013, 93, 38, 153, 117},                           // chart
      {1011, 330, 20, 9, 252},                            // live bar
      {1059, 310, 2, 33, 12},                             // percentage
      {1055, 0, 4, 42, 12},     {1058, 25, 161, 50, 15},  // Curves
      {1016, 283, 258, 26, 12},                           // dz_0 value, "-" and "+"
      {1003, 271, 257, 12, 15}, {1002, 309, 257, 12, 15},
      {1015, 283, 21, 26, 12},                            // upper dead zone
      {1017, 171, 22, 96, 15},  {1019, 37, 177, 26, 12},  // band_0
      {1020, 0, 178, 24, 15},   {1005, 25, 176, 12, 15},
      {1004, 63, 176, 12, 15},  {1030, 115, 162, 26, 12},  // band_50
      {1064, 197, 162, 26, 12},                            // band_92
      {1098, 281, 192, 26, 12},                            // band_100
      {1101, 241, 193, 27, 15},
  };
  page_test::ExpectPlacements(*page_, placements);
  EXPECT_EQ(page_->GetSize(), TemplatePixels(0, 0, 383, 278).GetSize());
  page_test::ExpectEnabledBoxAtTemplatePlace(*page_);
  // The preset boxes sit at the right end of their template rectangles, texts to their left.
  for (int id : {1063, 1072, 1073}) {
    const wxRect r = page_->FindWindow(id)->GetRect();
    EXPECT_EQ(r.GetRight() + 1, TemplatePixels(267 + 51, 0, 0, 0).x) << id;
  }

  EXPECT_EQ(page_->GetBackgroundColour(), wxColour(236, 110, 25));
  EXPECT_EQ(page_->ValueLabel(0).Style().background, wxColour(225, 225, 225));
  EXPECT_EQ(page_->CaptionLabel(0).Style().textColour, *wxWHITE);
  EXPECT_EQ(page_->CaptionLabel(0).Style().align, TextAlign::kRight);
  EXPECT_EQ(page_->ValueLabel(0).Style().align, TextAlign::kCentre);
  EXPECT_EQ(page_->ValueLabel(0).Style().face, "Arial");
  EXPECT_EQ(page_->ValueLabel(0).Style().height, 16);

  // Spanish at start, preset A checked with its values, load-cell switch hidden.
  EXPECT_EQ(Control<wxButton>(1058)->GetLabel(), "Curvas");
  EXPECT_EQ(Control<CFontStatic>(1055)->GetText(), "Habilitar");
  EXPECT_EQ(Control<CFontStatic>(1018)->GetText(), "Zona Muerta Inferior");
  EXPECT_EQ(Control<CFontStatic>(1016)->GetText(), "5 %");
  EXPECT_EQ(Control<CFontStatic>(1015)->GetText(), "0 %");
  EXPECT_TRUE(Control<wxRadioButton>(1063)->GetValue());
  EXPECT_TRUE(Control<wxCheckBox>(1054)->GetValue());
  EXPECT_FALSE(Control<wxCheckBox>(1056)->IsShown());
  EXPECT_FALSE(Control<CFontStatic>(1057)->IsShown());
  EXPECT_EQ(page_->Chart().GetChartCount(), 4u);
  EXPECT_FALSE(page_->Settings().dirty);

  page_->SetEnglishTexts();
  EXPECT_EQ(Control<wxButton>(1058)->GetLabel(), "Curves");
  EXPECT_EQ(Control<CFontStatic>(1017)->GetText(), "End DeadZone");
  DrainEvents();
  SaveScreenshot("throttle_page_english");
  page_->SetSpanishTexts();
  DrainEvents();
  SaveScreenshot("throttle_page");
}

TEST_F(ThrottlePageWindowTest, PlusOnAPointRowChangesItsLabelAndTheChart) {
  CreatePage();
  CFontStatic& label = *Control<CFontStatic>(1030);  // band_50
  ASSERT_EQ(label.GetText(), "50 %");
  const std::size_t paintsBefore = page_->Chart().PaintCount();

  ClickOn(page_->FindWindow(1031));  // its "+"
  EXPECT_EQ(label.GetText(), "51 %");
  EXPECT_FLOAT_EQ(page_->Settings().band[5], 51.0f);
  EXPECT_TRUE(page_->Settings().dirty);
  const auto* curve = page_->Chart().Core().GetChart(page_->ChartSeries().CurveSeries(0), false);
  ASSERT_NE(curve, nullptr);
  EXPECT_DOUBLE_EQ(curve->Points().at(5).x, 100.0);
  EXPECT_DOUBLE_EQ(curve->Points().at(5).y, 101.0);
  EXPECT_TRUE(PumpUntil([&] { return page_->Chart().PaintCount() > paintsBefore; }));

  ClickOn(page_->FindWindow(1032));  // "-"
  ClickOn(page_->FindWindow(1032));
  EXPECT_EQ(label.GetText(), "49 %");

  ClickOn(page_->FindWindow(1000));  // upper dead zone "+": widens it
  EXPECT_EQ(Control<CFontStatic>(1015)->GetText(), "1 %");
  EXPECT_EQ(page_->Settings().dz_1, 99);
}

TEST_F(ThrottlePageWindowTest, LiveInputMovesBarLabelAndCrossHair) {
  CreatePage();
  page_->Settings().dz_0 = 0;
  for (int i = 0; i < 8; ++i) page_->OnPedalInput(37.6);
  DrainEvents();
  EXPECT_EQ(page_->LiveBar().GetValue(), 37);
  EXPECT_EQ(page_->PercentLabel().GetText(), "37%");
  const auto& crossX = page_->ChartSeries().CrossXPoints();
  EXPECT_DOUBLE_EQ(crossX.at(0).x, 87.0);
  const auto* series = page_->Chart().Core().GetChart(page_->ChartSeries().CrossYSeries(), false);
  ASSERT_NE(series, nullptr);
  EXPECT_DOUBLE_EQ(series->Points().at(0).y, 87.0);
  SaveScreenshot("throttle_page_live");

  // dz_1 below dz_0: the evaluated values go negative; the bar stays in its range.
  page_->Settings().dz_0 = 60;
  page_->Settings().dz_1 = 40;
  for (int i = 0; i < 8; ++i) page_->OnPedalInput(70.0);
  DrainEvents();
  EXPECT_EQ(page_->LiveBar().GetValue(), 0);
  EXPECT_EQ(page_->PercentLabel().GetText(), "-50%");
  EXPECT_DOUBLE_EQ(page_->ChartSeries().CrossXPoints().at(0).x, 0.0);

  // Unchecking Enabled: one more display through the curve, then "0%" and the bar at 0.
  page_->Settings().dz_0 = 0;
  page_->Settings().dz_1 = 100;
  for (int i = 0; i < 8; ++i) page_->OnPedalInput(50.0);
  ClickOn(page_->FindWindow(1054));
  EXPECT_EQ(page_->Settings().axis_cnf, 0);
  EXPECT_EQ(page_->PercentLabel().GetText(), "43%");  // seven 50s and one 0
  page_->OnPedalInput(50.0);
  EXPECT_EQ(page_->PercentLabel().GetText(), "0%");
  EXPECT_EQ(page_->LiveBar().GetValue(), 0);
}

TEST_F(ThrottlePageWindowTest, LiveBarFillsItsTemplateRectangleInsideABorder) {
  CreatePage();
  page_->Settings().dz_0 = 0;
  EXPECT_EQ(page_->LiveBar().GetRect(), TemplatePixels(330, 20, 9, 252));
  for (int value : {0, 37, 100}) {
    for (int i = 0; i < 8; ++i) page_->OnPedalInput(value + 0.5);
    ASSERT_EQ(page_->LiveBar().GetValue(), value);
    SCOPED_TRACE(value);
    page_test::ExpectLiveBarOnScreen(page_->LiveBar());
  }
}

TEST_F(ThrottlePageWindowTest, ShownPageLetsIdleVisitsReachItsControlsSparingly) {
  CreatePage();
  page_test::ExpectIdleVisitsReachControlsSparingly(*owner_, page_->PercentLabel());
}

TEST_F(ThrottlePageWindowTest, CrossHairTicksKeepTheCurvesInTheCachedLayer) {
  CreatePage();
  page_->Settings().dz_0 = 0;
  chart::CChartContainer& chart = page_->Chart();
  const auto showInput = [&](double percent) {
    for (int i = 0; i < 8; ++i) page_->OnPedalInput(percent);
    const std::size_t paints = chart.PaintCount();
    ASSERT_TRUE(PumpUntil([&] { return chart.PaintCount() > paints; }, 2000));
  };
  showInput(30.0);
  const std::vector<std::uint8_t> at30 = page_test::ScreenPixels(chart.GetScreenRect());
  const std::size_t layers = chart.LayerDrawCount();
  const std::size_t paints = chart.PaintCount();
  for (double percent : {45.0, 60.0, 75.0, 30.0}) showInput(percent);
  EXPECT_GT(chart.PaintCount(), paints);
  EXPECT_EQ(chart.LayerDrawCount(), layers);
  // Back at the first input the picture is the one drawn with a fresh layer.
  EXPECT_TRUE(page_test::ScreenPixels(chart.GetScreenRect()) == at30);

  ClickOn(page_->FindWindow(1031));  // band_50 "+": the curve changes
  ASSERT_TRUE(PumpUntil([&] { return chart.LayerDrawCount() > layers; }, 2000));
}

class ThrottlePresetWindowTest : public ThrottlePageWindowTest {
 protected:
  // Edits preset A, clicks "Preset B" and answers the question with keys.
  void SwitchToBAnswering(const std::string& keys) {
    CreatePage();
    ClickOn(page_->FindWindow(1002));  // dz_0 "+": 5 -> 6, not sent
    ASSERT_TRUE(page_->Settings().dirty);
    QuestionAnswerer answerer(keys);
    ClickOn(page_->FindWindow(1072));  // the question is modal inside the click's handling
    EXPECT_TRUE(PumpUntil([&] { return answerer.Answered(); })) << "no question was asked";
    EXPECT_EQ(page_->CurrentPreset(), 1);
    EXPECT_TRUE(Control<wxRadioButton>(1072)->GetValue());
    EXPECT_EQ(page_->Settings().dz_0, 11);
    EXPECT_FALSE(page_->Settings().dirty);
    EXPECT_EQ(Key("CNF", "preset"), "1");
    EXPECT_EQ(owner_->applied, 1);
    // The load-cell switch follows the loaded preset, hidden as it is.
    EXPECT_TRUE(Control<wxCheckBox>(1056)->GetValue());
  }
};

TEST_F(ThrottlePresetWindowTest, YesSavesThePresetLeft) {
  SwitchToBAnswering("Return");  // Yes is the default button
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "6");
}

TEST_F(ThrottlePresetWindowTest, NoLeavesThePresetLeftAlone) {
  SwitchToBAnswering("alt+n");
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "5");
}

TEST_F(ThrottlePresetWindowTest, ClosingTheQuestionIsNotYes) {
  SwitchToBAnswering("Escape");
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "5");
}

TEST_F(ThrottlePresetWindowTest, ClickOnTheCheckedPresetAsksAndReloads) {
  CreatePage();
  ClickOn(page_->FindWindow(1002));
  ASSERT_EQ(page_->Settings().dz_0, 6);
  QuestionAnswerer answerer("alt+n");
  ClickOn(page_->FindWindow(1063));  // preset A, already checked
  EXPECT_TRUE(PumpUntil([&] { return answerer.Answered(); }));
  EXPECT_EQ(page_->Settings().dz_0, 5);  // the stored values are back
  EXPECT_EQ(owner_->applied, 1);
}

TEST_F(ThrottlePresetWindowTest, WithoutChangesNoQuestion) {
  CreatePage();
  QuestionAnswerer answerer("Escape");
  ClickOn(page_->FindWindow(1073));
  EXPECT_FALSE(answerer.Answered());
  EXPECT_EQ(page_->CurrentPreset(), 2);
  EXPECT_EQ(Key("CNF", "preset"), "2");
  EXPECT_EQ(owner_->applied, 1);
  EXPECT_TRUE(page_->SelectThrottlePreset(0, true));
  EXPECT_TRUE(Control<wxRadioButton>(1063)->GetValue());
  EXPECT_EQ(owner_->applied, 2);
}

TEST_F(ThrottlePageWindowTest, CurvesButtonOpensTheMenuOfTheCurrentLanguage) {
  CreatePage();
  // The fourth item: fast.
  const page_test::MenuSeen spanish =
      page_test::UseCurvesMenu(*page_, "Down Down Down Down Return");
  ASSERT_EQ(spanish.texts.size(), 7u);
  EXPECT_EQ(spanish.texts[0], "Lineal (por defecto)");
  EXPECT_EQ(spanish.texts[3], "Curva rápida");
  EXPECT_EQ(spanish.ids[3], 32773);
  EXPECT_FLOAT_EQ(page_->Settings().band[1], 21.0f);
  EXPECT_FLOAT_EQ(page_->Settings().band[19], 100.0f);
  EXPECT_EQ(page_->Settings().dz_0, 5);
  EXPECT_TRUE(page_->Settings().dirty);
  EXPECT_EQ(Control<CFontStatic>(1021)->GetText(), "21 %");
  EXPECT_EQ(Control<CFontStatic>(1064)->GetText(), "96.5");  // band_92

  page_->SetEnglishTexts();
  const auto before = page_->Settings().band;
  const page_test::MenuSeen english = page_test::UseCurvesMenu(*page_, "Escape");
  ASSERT_EQ(english.texts.size(), 7u);
  EXPECT_EQ(english.texts[0], "Lineal (default)");
  EXPECT_EQ(english.texts[6], "S shape Curve (slow-fast)");
  EXPECT_EQ(english.ids[6], 32784);
  EXPECT_EQ(page_->Settings().band, before);
}

TEST_F(ThrottlePageWindowTest, EnterAndEscCloseNothing) {
  auto* dialog = new wxDialog(nullptr, wxID_ANY, "dialog around the page", wxPoint(0, 0));
  auto* page = new CPedalsConfig2Dlg(dialog, file_);
  auto* ok = new wxButton(dialog, wxID_OK, "OK");
  new wxButton(dialog, wxID_CANCEL, "Cancel", wxPoint(100, 0));
  ok->SetDefault();
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(page);
  dialog->SetSizerAndFit(sizer);
  page->Show();
  dialog->Show();
  PumpUntil([&] { return dialog->IsShownOnScreen(); });

  // Focus on a step button: Esc does nothing, Enter presses that button only.
  page_test::ExpectKeysLeaveDialogOpen(*dialog, *page->FindWindow(1002), {WXK_ESCAPE, WXK_RETURN});
  EXPECT_EQ(page->Settings().dz_0, 6);

  // Focus on the chart, which takes no Enter itself.
  page_test::ExpectKeysLeaveDialogOpen(*dialog, page->Chart(), {WXK_RETURN, WXK_ESCAPE});
  dialog->Destroy();
  DrainEvents();
}

// ---- CFontStatic ----

class FontStaticWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CFontStatic::SetFontFactory(nullptr);
    CFontStatic::SetFailureReporter(nullptr);
    if (frame_) frame_->Destroy();
    DrainEvents();
  }
  wxFrame* frame_ = nullptr;
};

TEST_F(FontStaticWindowTest, FontFailureIsReportedOnceAndNeverFromAPaint) {
  int reports = 0;
  wxString message;
  CFontStatic::SetFailureReporter([&](const wxString& m) {
    ++reports;
    message = m;
  });
  CFontStatic::SetFontFactory([](const FontStaticStyle&, int) { return wxNullFont; });

  frame_ = new wxFrame(nullptr, wxID_ANY, "font failure", wxPoint(0, 0), wxSize(300, 200));
  std::vector<CFontStatic*> labels;
  int paints = 0;
  for (int i = 0; i < 3; ++i) {
    auto* label =
        new CFontStatic(frame_, wxID_ANY, "Estático", wxPoint(10, 10 + 30 * i), wxSize(120, 24));
    label->SetFontStyle("Arial", 16, *wxBLACK, kFontAlignCentre);
    label->Bind(wxEVT_PAINT, [&paints](wxPaintEvent& e) {
      ++paints;
      e.Skip();
    });
    labels.push_back(label);
  }
  frame_->Show();
  for (CFontStatic* label : labels) label->Update();  // paints now, synchronously
  EXPECT_EQ(reports, 0) << "reported from inside a paint";
  PumpUntil([&] { return frame_->IsShownOnScreen(); });
  DrainEvents();
  for (int round = 0; round < 3; ++round) {
    for (CFontStatic* label : labels) {
      label->SetText(wxString::Format("%d %%", round));
      label->Update();
    }
    DrainEvents();
  }
  EXPECT_GT(paints, 3);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(message, "Font could not be created!");
}

TEST_F(FontStaticWindowTest, EmptyTextPaintsTheCaption) {
  frame_ = new wxFrame(nullptr, wxID_ANY, "caption", wxPoint(0, 0), wxSize(300, 100));
  auto* label = new CFontStatic(frame_, wxID_ANY, "0%", wxPoint(10, 10), wxSize(120, 24));
  EXPECT_EQ(label->ShownText(), "0%");
  label->SetText("A & B");
  EXPECT_EQ(label->ShownText(), "A & B");
  label->SetText("");
  EXPECT_EQ(label->ShownText(), "0%");
}

}  // namespace
