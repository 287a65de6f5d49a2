// Throttle presets against real settings files, and the page's preset switch, live display
// and editing without a window.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pages/throttle_page_model.h"
#include "pages/throttle_presets.h"
#include "platform/ini_file.h"
#include "temp_settings_file.h"

using namespace pages;

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& text) const { std::ofstream(file_) << text; }
  std::string ReadFile() const {
    std::ifstream in(file_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Key(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileString(section, key, "<missing>", 64, file_);
  }

  page_test::TempSettingsFile settings_{"throttle_presets"};
  const std::string file_ = settings_.Path();
};

using ThrottlePresetFileTest = SettingsFileTest;

TEST_F(ThrottlePresetFileTest, MissingFileLoadsDefaults) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  s.dz_0 = 9;
  s.band[3] = 77.0f;
  s.axis_cnf = 0;
  s.axis_mode = 1;
  s.dirty = true;
  LoadThrottlePreset(s, 2, file_);
  const ThrottleCurveSettings d = DefaultThrottleSettings();
  EXPECT_EQ(s.dz_0, 0);
  EXPECT_EQ(s.dz_1, 100);
  EXPECT_EQ(s.band, d.band);
  EXPECT_EQ(s.axis_cnf, 1);
  EXPECT_EQ(s.axis_mode, 0);
  EXPECT_FALSE(s.dirty);
  EXPECT_EQ(ReadSelectedThrottlePreset(file_), 0);
}

TEST_F(ThrottlePresetFileTest, SectionWithOnlyUpperEndPoint) {
  WriteFile("[PRESET_1]\ndz_1=80\n");
  ThrottleCurveSettings s = DefaultThrottleSettings();
  ApplyThrottleShape(s, CurveShape::kSlow);
  LoadThrottlePreset(s, 1, file_);
  EXPECT_EQ(s.dz_0, 0);
  EXPECT_EQ(s.dz_1, 80);
  EXPECT_EQ(s.band, DefaultThrottleSettings().band);
  EXPECT_EQ(s.axis_cnf, 1);
  EXPECT_EQ(s.axis_mode, 0);
}

TEST_F(ThrottlePresetFileTest, ValuesAreTakenAsRead) {
  WriteFile("[preset_0]\nDZ_0=150\nband_50=abc\nband_60=\nband_97=97.25\naxis_cnf=2\n");
  ThrottleCurveSettings s = DefaultThrottleSettings();
  LoadThrottlePreset(s, 0, file_);
  EXPECT_EQ(s.dz_0, 150);
  EXPECT_FLOAT_EQ(s.band[5], 0.0f);   // not a number
  EXPECT_FLOAT_EQ(s.band[6], 60.0f);  // empty: the default
  EXPECT_FLOAT_EQ(s.band[16], 97.25f);
  EXPECT_EQ(s.axis_cnf, 2);
}

TEST_F(ThrottlePresetFileTest, SaveWritesEveryKeyInOrderAndRoundTrips) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  ApplyThrottleShape(s, CurveShape::kVerySlow);
  s.dz_0 = 3;
  s.dz_1 = 96;
  s.band[16] = 97.5f;
  s.axis_cnf = 0;
  s.axis_mode = 1;
  SaveThrottlePreset(s, 2, file_);
  EXPECT_TRUE(s.dirty);  // saving does not clear it

  EXPECT_EQ(Key("PRESET_2", "band_97"), "97.5");
  EXPECT_EQ(Key("PRESET_2", "band_100"), "100.0");
  EXPECT_EQ(Key("PRESET_2", "band_0"), "0.0");
  EXPECT_EQ(Key("PRESET_2", "dz_1"), "96");

  const std::string text = ReadFile();
  std::vector<std::string> keys{"dz_0", "dz_1"};
  for (int input : kThrottlePointInputs) keys.push_back("band_" + std::to_string(input));
  keys.push_back("axis_cnf");
  keys.push_back("axis_mode");
  std::size_t last = 0;
  for (const std::string& key : keys) {
    const std::size_t at = text.find("\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }

  ThrottleCurveSettings back = DefaultThrottleSettings();
  LoadThrottlePreset(back, 2, file_);
  EXPECT_EQ(back.dz_0, 3);
  EXPECT_EQ(back.dz_1, 96);
  EXPECT_EQ(back.band, s.band);
  EXPECT_EQ(back.axis_cnf, 0);
  EXPECT_EQ(back.axis_mode, 1);
  EXPECT_FALSE(back.dirty);
}

TEST_F(ThrottlePresetFileTest, SelectedPresetOutsideRangeReadsAsA) {
  const std::vector<std::pair<std::string, int>> cases{{"0", 0},  {"1", 1}, {"2", 2}, {"3", 0},
                                                       {"-1", 0}, {"7", 0}, {"x", 0}};
  for (const auto& [text, expected] : cases) {
    WriteFile("[CNF]\npreset=" + text + "\n");
    EXPECT_EQ(ReadSelectedThrottlePreset(file_), expected) << text;
  }
  WriteSelectedThrottlePreset(2, file_);
  EXPECT_EQ(Key("CNF", "preset"), "2");
}

TEST(ThrottlePresetNamesTest, SectionsAndLetters) {
  EXPECT_EQ(ThrottlePresetSection(0), "PRESET_0");
  EXPECT_EQ(ThrottlePresetSection(2), "PRESET_2");
  EXPECT_STREQ(ThrottlePresetLetter(0), "A");
  EXPECT_STREQ(ThrottlePresetLetter(1), "B");
  EXPECT_STREQ(ThrottlePresetLetter(2), "C");
  EXPECT_STREQ(ThrottlePresetLetter(3), "A");  // never past C
  EXPECT_STREQ(ThrottlePresetLetter(-1), "A");
}

// ---- The page model with a recording view ----

class RecordingView : public ThrottlePageView {
 public:
  void ShowSettings() override { ++shown; }
  void ShowPresetChecked(int preset) override { checked.push_back(preset); }
  QuestionAnswer AskSaveChanges(const std::string& question) override {
    questions.push_back(question);
    return answer;
  }
  void ApplyConfigLive() override { ++applied; }

  QuestionAnswer answer = QuestionAnswer::kNo;
  int shown = 0;
  int applied = 0;
  std::vector<int> checked;
  std::vector<std::string> questions;
};

class ThrottlePresetSwitchTest : public SettingsFileTest {
 protected:
  void SetUp() override {
    WriteFile(
        "[CNF]\npreset=0\n"
        "[PRESET_0]\ndz_0=5\nband_50=40.0\n"
        "[PRESET_1]\ndz_0=11\nband_50=60.0\n"
        "[PRESET_2]\ndz_0=22\n");
    model_ = std::make_unique<ThrottlePageModel>(view_, file_);
    model_->SetLanguage(PageLanguage::kEnglish);
    model_->Start();
    view_ = RecordingView{};
  }

  // An edit of preset A that has not been sent.
  void EditCurrent() {
    model_->StepButton(1002);  // dz_0 "+"
    ASSERT_TRUE(model_->Settings().dirty);
  }

  RecordingView view_;
  std::unique_ptr<ThrottlePageModel> model_;
};

TEST_F(ThrottlePresetSwitchTest, StartLoadsTheSelectedPreset) {
  EXPECT_EQ(model_->CurrentPreset(), 0);
  EXPECT_EQ(model_->Settings().dz_0, 5);
  EXPECT_FALSE(model_->Settings().dirty);
}

TEST_F(ThrottlePresetSwitchTest, YesSavesTheLeftPresetThenLoadsTheNewOne) {
  EditCurrent();
  view_.answer = QuestionAnswer::kYes;
  model_->OnPresetButton(1, true);
  ASSERT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(view_.questions[0], "Do you want to save changes in preset A?");
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "6");
  EXPECT_EQ(model_->CurrentPreset(), 1);
  EXPECT_EQ(model_->Settings().dz_0, 11);
  EXPECT_FALSE(model_->Settings().dirty);
  EXPECT_EQ(Key("CNF", "preset"), "1");
  EXPECT_EQ(view_.applied, 1);
  EXPECT_GE(view_.shown, 1);
  EXPECT_TRUE(view_.checked.empty());  // the click has checked the button already
}

TEST_F(ThrottlePresetSwitchTest, NoAndClosedLeaveTheLeftPresetAlone) {
  for (QuestionAnswer answer : {QuestionAnswer::kNo, QuestionAnswer::kClosed}) {
    model_->OnPresetButton(0, false);  // back to A, stored values
    EditCurrent();
    view_ = RecordingView{};
    view_.answer = answer;
    model_->OnPresetButton(1, true);
    EXPECT_EQ(view_.questions.size(), 1u);
    EXPECT_EQ(Key("PRESET_0", "dz_0"), "5");  // only an explicit Yes saves
    EXPECT_EQ(model_->CurrentPreset(), 1);
    EXPECT_EQ(model_->Settings().dz_0, 11);
    EXPECT_FALSE(model_->Settings().dirty);
    EXPECT_EQ(Key("CNF", "preset"), "1");
    EXPECT_EQ(view_.applied, 1);
  }
}

TEST_F(ThrottlePresetSwitchTest, WithoutChangesNothingIsAsked) {
  model_->OnPresetButton(2, true);
  EXPECT_TRUE(view_.questions.empty());
  EXPECT_EQ(model_->Settings().dz_0, 22);
  EXPECT_EQ(Key("CNF", "preset"), "2");
  EXPECT_EQ(view_.applied, 1);
}

TEST_F(ThrottlePresetSwitchTest, ClickOnCurrentPresetAsksAboutItAndReloads) {
  EditCurrent();
  view_.answer = QuestionAnswer::kNo;
  model_->OnPresetButton(0, true);
  ASSERT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(view_.questions[0], "Do you want to save changes in preset A?");
  EXPECT_EQ(model_->Settings().dz_0, 5);  // the stored values are back
  EXPECT_EQ(view_.applied, 1);

  EditCurrent();
  view_.answer = QuestionAnswer::kYes;
  model_->OnPresetButton(0, true);
  EXPECT_EQ(model_->Settings().dz_0, 6);
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "6");
}

TEST_F(ThrottlePresetSwitchTest, SpanishQuestionNamesThePresetLeft) {
  model_->SetLanguage(PageLanguage::kSpanish);
  model_->OnPresetButton(2, false);
  EditCurrent();
  model_->OnPresetButton(1, true);
  ASSERT_EQ(view_.questions.size(), 1u);
  EXPECT_EQ(view_.questions[0], "¿Desea guardar los cambios realizados en el preset C?");
}

TEST_F(ThrottlePresetSwitchTest, UnforcedSelectionOfCurrentPresetDoesNothing) {
  model_->OnPresetButton(1, false);
  EditCurrent();
  WriteSelectedThrottlePreset(0, file_);  // so a write would show
  view_ = RecordingView{};
  EXPECT_FALSE(model_->SelectThrottlePreset(1, false));
  EXPECT_TRUE(model_->Settings().dirty);
  EXPECT_EQ(model_->Settings().dz_0, 12);
  EXPECT_EQ(Key("CNF", "preset"), "0");
  EXPECT_EQ(view_.applied, 0);
  EXPECT_EQ(view_.shown, 0);
  EXPECT_TRUE(view_.checked.empty());
}

TEST_F(ThrottlePresetSwitchTest, ForcedSelectionReloadsChecksWritesAndApplies) {
  model_->OnPresetButton(1, false);
  EditCurrent();
  WriteSelectedThrottlePreset(0, file_);
  view_ = RecordingView{};
  EXPECT_TRUE(model_->SelectThrottlePreset(1, true));
  EXPECT_TRUE(view_.questions.empty());  // unsent changes are dropped
  EXPECT_EQ(model_->Settings().dz_0, 11);
  EXPECT_FALSE(model_->Settings().dirty);
  EXPECT_EQ(view_.checked, std::vector<int>{1});
  EXPECT_EQ(Key("CNF", "preset"), "1");
  EXPECT_EQ(view_.applied, 1);
  EXPECT_EQ(Key("PRESET_1", "dz_0"), "11");  // nothing saved
}

TEST_F(ThrottlePresetSwitchTest, UnforcedSelectionOfAnotherPresetSwitches) {
  EditCurrent();
  EXPECT_TRUE(model_->SelectThrottlePreset(2, false));
  EXPECT_TRUE(view_.questions.empty());
  EXPECT_EQ(model_->CurrentPreset(), 2);
  EXPECT_EQ(view_.checked, std::vector<int>{2});
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "5");
}

TEST_F(ThrottlePresetSwitchTest, IndexOutsideThreePresetsIsIgnored) {
  EXPECT_FALSE(model_->SelectThrottlePreset(3, true));
  model_->OnPresetButton(-1, true);
  EXPECT_EQ(model_->CurrentPreset(), 0);
  EXPECT_EQ(view_.applied, 0);
}

TEST_F(ThrottlePresetSwitchTest, OutOfRangeSelectedPresetStartsOnA) {
  WriteFile("[CNF]\npreset=5\n[PRESET_0]\ndz_0=5\n[PRESET_5]\ndz_0=55\n");
  RecordingView view;
  ThrottlePageModel model(view, file_);
  model.SetLanguage(PageLanguage::kEnglish);
  model.Start();
  EXPECT_EQ(model.CurrentPreset(), 0);
  EXPECT_EQ(model.Settings().dz_0, 5);  // PRESET_0, not PRESET_5
  model.StepButton(1002);
  view.answer = QuestionAnswer::kYes;
  model.OnPresetButton(1, true);
  EXPECT_EQ(view.questions.at(0), "Do you want to save changes in preset A?");
  EXPECT_EQ(Key("PRESET_0", "dz_0"), "6");
  EXPECT_EQ(Key("PRESET_5", "dz_0"), "55");
}

// ---- Live display and editing through the model ----

using ThrottleLiveDisplayTest = ThrottlePresetSwitchTest;

TEST_F(ThrottleLiveDisplayTest, SteadyInputShowsTruncatedOutput) {
  model_->Settings() = DefaultThrottleSettings();
  PedalLiveDisplay d;
  for (int i = 0; i < 8; ++i) d = model_->OnPedalInput(37.6);
  EXPECT_TRUE(d.enabled);
  EXPECT_EQ(d.bar, 37);
  EXPECT_EQ(d.label, "37%");
  EXPECT_EQ(d.inputPercent, 37);
  EXPECT_EQ(d.outputPercent, 37);
}

TEST_F(ThrottleLiveDisplayTest, ReversedDeadZonesKeepTheBarInRange) {
  model_->Settings() = DefaultThrottleSettings();
  model_->Settings().dz_0 = 60;
  model_->Settings().dz_1 = 40;
  PedalLiveDisplay d;
  for (int i = 0; i < 8; ++i) d = model_->OnPedalInput(70.0);
  EXPECT_EQ(d.bar, 0);
  EXPECT_EQ(d.label, "-50%");
  EXPECT_EQ(d.inputPercent, -50);
  EXPECT_EQ(d.outputPercent, -50);
}

TEST_F(ThrottleLiveDisplayTest, DisabledCurveShowsZeroButAverageKeepsFilling) {
  model_->Settings() = DefaultThrottleSettings();
  model_->OnPedalInput(20.0);
  model_->Settings().axis_cnf = 0;
  PedalLiveDisplay d;
  for (int i = 0; i < 8; ++i) d = model_->OnPedalInput(80.0);
  EXPECT_FALSE(d.enabled);
  EXPECT_EQ(d.bar, 0);
  EXPECT_EQ(d.label, "0%");
  EXPECT_EQ(d.inputPercent, 20);  // the last enabled evaluation stays
  EXPECT_EQ(model_->InputAverage().Samples().size(), 8u);
  model_->Settings().axis_cnf = 1;
  d = model_->OnPedalInput(80.0);
  EXPECT_EQ(d.bar, 80);  // already the average of the last eight inputs
}

TEST_F(ThrottleLiveDisplayTest, EditsMarkTheSettingsChanged) {
  EXPECT_FALSE(model_->StepButton(1013));
  EXPECT_FALSE(model_->Settings().dirty);
  const auto outcome = model_->StepButton(1004);  // band_0 "+"
  ASSERT_TRUE(outcome);
  EXPECT_TRUE(outcome->chartChanged);
  EXPECT_TRUE(model_->Settings().dirty);

  model_->LoadThrottlePreset(0);
  EXPECT_FALSE(model_->Settings().dirty);
  view_.shown = 0;
  model_->ApplyCurveShape(CurveShape::kVeryFast);
  EXPECT_TRUE(model_->Settings().dirty);
  EXPECT_EQ(view_.shown, 1);
  EXPECT_EQ(model_->Settings().dz_0, 5);

  model_->LoadThrottlePreset(0);
  model_->SetEnabled(false);
  EXPECT_EQ(model_->Settings().axis_cnf, 0);
  EXPECT_TRUE(model_->Settings().dirty);
  model_->LoadThrottlePreset(0);
  model_->SetLoadCell(1);
  EXPECT_EQ(model_->Settings().axis_mode, 1);
  EXPECT_TRUE(model_->Settings().dirty);
}

}  // namespace
