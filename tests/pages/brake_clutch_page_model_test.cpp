// The clutch and brake page without a window: loading with the stored brake force, the live
// display, editing, and the brake-force steps against a real settings file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "case_tables.h"
#include "pages/brake_clutch_page_model.h"
#include "platform/ini_file.h"
#include "temp_settings_file.h"

using namespace pages;

namespace {

namespace fs = std::filesystem;

// Records what the model asks of its window.
class RecordingView : public BrakeClutchPageView {
 public:
  void ShowSettings() override { ++settingsShown; }
  void ShowRow(std::size_t row, bool chartChanged) override {
    rowsShown.push_back(row);
    chartRebuilt += chartChanged ? 1 : 0;
  }
  void ApplyConfigLive() override { ++applied; }

  int settingsShown = 0;
  std::vector<std::size_t> rowsShown;
  int chartRebuilt = 0;
  int applied = 0;
};

constexpr BrakeClutchPoints kControllerCurve{0, 5, 15, 25, 35, 45, 55, 65, 75, 85, 95};

// What the controller sends; its dirty is set to show that the page does not take it.
BrakeClutchSettings FromController(int dz0, int dz1, int axisCnf = 1, int axisMode = 0) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.dz_0 = dz0;
  s.dz_1 = dz1;
  s.band = kControllerCurve;
  s.axis_cnf = axisCnf;
  s.axis_mode = axisMode;
  s.dirty = true;
  return s;
}

class BrakeClutchModelTest : public ::testing::Test {
 protected:
  void StoreMaxForce(const std::string& text) const {
    std::ofstream(file_) << "[BRAKE]\nmax_force=" << text << "\n";
  }
  std::string StoredMaxForce() const {
    return platform::GetPrivateProfileString(kBrakeSection, kMaxForceKey, "<missing>", 64, file_);
  }
  BrakeClutchPageModel Model(PedalKind kind) { return BrakeClutchPageModel(kind, view_, file_); }

  page_test::TempSettingsFile settings_{"brake_clutch_model"};
  const std::string& file_ = settings_.Path();
  RecordingView view_;
};

TEST_F(BrakeClutchModelTest, ConstructedWithDefaults) {
  BrakeClutchPageModel m = Model(PedalKind::kClutch);
  const BrakeClutchSettings& s = m.Settings();
  EXPECT_EQ(s.dz_0, 0);
  EXPECT_EQ(s.dz_1, 100);
  EXPECT_EQ(s.band, (BrakeClutchPoints{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(s.axis_cnf, 1);
  EXPECT_EQ(s.axis_mode, 0);
  EXPECT_FALSE(s.dirty);
  EXPECT_EQ(m.InputAverage().Window(), 10);
}

struct LoadCase {
  const char* name;
  PedalKind kind;
  const char* stored;  // max_force text, nullptr for no settings file
  int expectedDz1;     // the controller sends 72
};

void PrintTo(const LoadCase& c, std::ostream* os) {
  *os << (c.kind == PedalKind::kBrake ? "brake" : "clutch") << ", stored max_force "
      << (c.stored ? c.stored : "none (no file)") << " gives dz_1 " << c.expectedDz1;
}

class BrakeClutchLoadTest : public BrakeClutchModelTest,
                            public ::testing::WithParamInterface<LoadCase> {};

TEST_P(BrakeClutchLoadTest, StoredForceReplacesControllerValueOnlyWhenInRange) {
  const LoadCase& c = GetParam();
  if (c.stored) StoreMaxForce(c.stored);
  BrakeClutchPageModel m = Model(c.kind);
  m.Settings().dirty = true;
  m.LoadPedalSettings(FromController(3, 72, 0, 1));
  const BrakeClutchSettings& s = m.Settings();
  EXPECT_EQ(s.dz_1, c.expectedDz1);
  EXPECT_EQ(s.dz_0, 3);
  EXPECT_EQ(s.band, kControllerCurve);
  EXPECT_EQ(s.axis_cnf, 0);
  EXPECT_EQ(s.axis_mode, 1);
  EXPECT_FALSE(s.dirty);
  EXPECT_EQ(view_.settingsShown, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrakeClutchLoadTest,
    ::testing::Values(LoadCase{"brake_without_settings_file", PedalKind::kBrake, nullptr, 72},
                      LoadCase{"brake_with_stored_85", PedalKind::kBrake, "85", 85},
                      LoadCase{"brake_with_stored_0", PedalKind::kBrake, "0", 0},
                      LoadCase{"brake_with_stored_100", PedalKind::kBrake, "100", 100},
                      LoadCase{"brake_with_minus_1_none_stored", PedalKind::kBrake, "-1", 72},
                      // Regression: an edited file must not put a force above 100 on the wire.
                      LoadCase{"brake_ignores_stored_101", PedalKind::kBrake, "101", 72},
                      LoadCase{"brake_ignores_stored_250", PedalKind::kBrake, "250", 72},
                      LoadCase{"brake_ignores_stored_minus_5", PedalKind::kBrake, "-5", 72},
                      LoadCase{"clutch_never_reads_max_force", PedalKind::kClutch, "85", 72}),
    page_test::CaseName());

TEST_F(BrakeClutchModelTest, LiveInputGoesThroughThePageCurve) {
  BrakeClutchPageModel m = Model(PedalKind::kBrake);
  m.ApplyCurveShape(CurveShape::kSlow);
  PedalLiveDisplay d;
  for (int i = 0; i < 10; ++i) d = m.OnPedalInput(15.0);
  EXPECT_EQ(d.label, "6%");  // 6.5 on the slow shape
  EXPECT_EQ(d.bar, 6);
  EXPECT_EQ(m.InputPercent(), 15);
  EXPECT_EQ(m.OutputPercent(), 6);

  // The eleventh sample pushes out the first: average of nine 15s and one 115.
  d = m.OnPedalInput(115.0);
  EXPECT_EQ(m.InputPercent(), 25);
}

TEST_F(BrakeClutchModelTest, ClearingEnabledFeedsOneZeroSampleThroughTheCurve) {
  BrakeClutchPageModel m = Model(PedalKind::kClutch);
  m.OnPedalInput(40.0);
  const std::optional<PedalLiveDisplay> last = m.SetEnabled(false);
  ASSERT_TRUE(last.has_value());
  EXPECT_TRUE(last->enabled);     // evaluated while axis_cnf still held 1
  EXPECT_EQ(last->label, "20%");  // the average of 40 and 0
  EXPECT_EQ(m.InputAverage().Samples(), (std::deque<double>{40.0, 0.0}));
  EXPECT_EQ(m.Settings().axis_cnf, 0);
  EXPECT_TRUE(m.Settings().dirty);

  const PedalLiveDisplay d = m.OnPedalInput(80.0);
  EXPECT_FALSE(d.enabled);
  EXPECT_EQ(d.bar, 0);
  EXPECT_EQ(d.label, "0%");
  EXPECT_EQ(m.InputPercent(), 20);  // the cross-hair stays at the last evaluation
  EXPECT_EQ(m.InputAverage().Samples().size(), 3u);

  // Setting it again feeds nothing and changes nothing until the next input.
  m.Settings().dirty = false;
  EXPECT_FALSE(m.SetEnabled(true).has_value());
  EXPECT_EQ(m.InputAverage().Samples().size(), 3u);
  EXPECT_EQ(m.Settings().axis_cnf, 1);
  EXPECT_TRUE(m.Settings().dirty);
}

TEST_F(BrakeClutchModelTest, StepButtonShowsItsRowAndRebuildsChartForPoints) {
  BrakeClutchPageModel m = Model(PedalKind::kBrake);
  EXPECT_TRUE(m.StepButton(1002));   // dz_0 +
  EXPECT_TRUE(m.StepButton(1031));   // band_50 +
  EXPECT_FALSE(m.StepButton(1058));  // the Curves button is no step
  EXPECT_EQ(view_.rowsShown, (std::vector<std::size_t>{kLowerDeadZoneRow, kFirstPointRow + 5}));
  EXPECT_EQ(view_.chartRebuilt, 1);
  EXPECT_EQ(m.Settings().dz_0, 1);
  EXPECT_EQ(m.Settings().band[5], 51);
  EXPECT_TRUE(m.Settings().dirty);
}

TEST_F(BrakeClutchModelTest, LoadCellFollowsCheckState) {
  BrakeClutchPageModel m = Model(PedalKind::kBrake);
  m.SetLoadCell(1);
  EXPECT_EQ(m.Settings().axis_mode, 1);
  EXPECT_TRUE(m.Settings().dirty);
}

TEST_F(BrakeClutchModelTest, ShapeMarksChangedAndKeepsDeadZones) {
  BrakeClutchPageModel m = Model(PedalKind::kClutch);
  m.LoadPedalSettings(FromController(5, 90));
  m.ApplyCurveShape(CurveShape::kSlow);
  EXPECT_EQ(m.Settings().band, BrakeClutchShapePoints(CurveShape::kSlow));
  EXPECT_EQ(m.Settings().dz_0, 5);
  EXPECT_EQ(m.Settings().dz_1, 90);
  EXPECT_TRUE(m.Settings().dirty);
  EXPECT_EQ(view_.settingsShown, 2);
}

TEST_F(BrakeClutchModelTest, BrakeForceDownAt60AppliesAndStores60) {
  BrakeClutchPageModel m = Model(PedalKind::kBrake);
  m.LoadPedalSettings(FromController(0, 60));
  m.BrakeForceDown();
  EXPECT_EQ(m.Settings().dz_1, 60);
  EXPECT_TRUE(m.Settings().dirty);
  EXPECT_EQ(view_.applied, 1);
  EXPECT_EQ(view_.rowsShown, (std::vector<std::size_t>{kUpperValueRow}));
  EXPECT_EQ(StoredMaxForce(), "60");
}

TEST_F(BrakeClutchModelTest, BrakeForceUpStoresForTheNextLoad) {
  BrakeClutchPageModel m = Model(PedalKind::kBrake);
  m.LoadPedalSettings(FromController(0, 80));
  m.BrakeForceUp();
  m.BrakeForceUp();
  EXPECT_EQ(StoredMaxForce(), "82");
  EXPECT_EQ(view_.applied, 2);
  // The controller still holds 80; the force set here wins.
  m.LoadPedalSettings(FromController(0, 80));
  EXPECT_EQ(m.Settings().dz_1, 82);
}

TEST_F(BrakeClutchModelTest, BrakeForceUpOnClutchPageActsAsItsPlusWithoutStoring) {
  BrakeClutchPageModel m = Model(PedalKind::kClutch);
  m.BrakeForceUp();
  EXPECT_EQ(m.Settings().dz_1, 99);
  EXPECT_EQ(FormatBrakeClutchRowValue(m.Settings(), PedalKind::kClutch, kUpperValueRow), "1 %");
  EXPECT_EQ(view_.applied, 1);
  EXPECT_FALSE(fs::exists(file_));
}

TEST(BrakeClutchTexts, UpperCaptionByKindAndLanguage) {
  EXPECT_STREQ(UpperValueCaption(PedalKind::kBrake, PageLanguage::kSpanish),
               "Fuerza Máxima Frenado");
  EXPECT_STREQ(UpperValueCaption(PedalKind::kBrake, PageLanguage::kEnglish), "Max Braking Force");
  EXPECT_STREQ(UpperValueCaption(PedalKind::kClutch, PageLanguage::kSpanish),
               "Zona Muerta Superior");
  EXPECT_STREQ(UpperValueCaption(PedalKind::kClutch, PageLanguage::kEnglish), "End DeadZone");
}

TEST(BrakeClutchChart, OneCurveShiftedByFifty) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.band[3] = 44;
  const std::vector<chart::ChartPoints> curves = BrakeClutchChartCurves(s);
  ASSERT_EQ(curves.size(), 1u);
  ASSERT_EQ(curves[0].size(), 11u);
  EXPECT_DOUBLE_EQ(curves[0][0].x, 50.0);
  EXPECT_DOUBLE_EQ(curves[0][10].x, 150.0);
  EXPECT_DOUBLE_EQ(curves[0][3].x, 80.0);
  EXPECT_DOUBLE_EQ(curves[0][3].y, 94.0);
}

}  // namespace
