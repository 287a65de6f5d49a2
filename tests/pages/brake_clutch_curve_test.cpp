// The clutch and brake curve: evaluation, the live input, the step rules of the 26 buttons and
// the stored shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <set>
#include <vector>

#include "case_tables.h"
#include "pages/brake_clutch_curve.h"
#include "pages/live_input.h"

using namespace pages;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using page_test::EvaluateCase;

class BrakeClutchEvaluateTest : public ::testing::TestWithParam<EvaluateCase> {};

TEST_P(BrakeClutchEvaluateTest, MapsInputThroughDeadZonesAndCurve) {
  const EvaluateCase& c = GetParam();
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  if (c.shaped) ApplyBrakeClutchShape(s, CurveShape::kSlow);  // shaped: the slow shape
  page_test::ExpectEvaluates(s, c, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrakeClutchEvaluateTest,
    ::testing::Values(
        EvaluateCase{"identity_37", 0, 100, false, 37.0, 37.0, 37.0},
        EvaluateCase{"at_lower_dead_zone", 10, 60, false, 10.0, 0.0, 0.0},
        EvaluateCase{"mid_travel", 10, 60, false, 35.0, 50.0, 50.0},
        EvaluateCase{"past_upper_end_is_full", 10, 60, false, 80.0, 100.0, 100.0},
        // 4 + (15 - 10) * (9 - 4) / 10
        EvaluateCase{"slow_shape_segment_1", 0, 100, true, 15.0, 15.0, 6.5},
        EvaluateCase{"slow_shape_at_100_uses_last_point", 0, 100, true, 100.0, 100.0, 100.0},
        EvaluateCase{"slow_shape_at_90", 0, 100, true, 90.0, 90.0, 79.0},
        EvaluateCase{"equal_dead_zones_below", 40, 40, false, 40.0, 0.0, 0.0},
        EvaluateCase{"equal_dead_zones_above", 40, 40, false, 40.5, 100.0, 100.0},
        // dz_1 below dz_0: p is negative and the first segment's line runs on below 0.
        EvaluateCase{"reversed_dead_zones_stay_in_first_segment", 60, 40, false, 70.0, -50.0,
                     -50.0},
        EvaluateCase{"not_a_number_counts_as_0", 0, 100, false, kNaN, 0.0, 0.0},
        EvaluateCase{"negative_infinity_is_below_dead_zone", 0, 100, false, -kInf, 0.0, 0.0}),
    page_test::CaseName());

// Regression: a scaled input far below 0 used to give a segment index before the curve.
TEST(BrakeClutchEvaluate, SegmentIndexStaysInCurveForReversedDeadZones) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.band = {7, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // only the first segment is non-zero
  s.dz_0 = 100;
  s.dz_1 = 0;
  for (double x : {100.5, 150.0, 1e6, 1e300, kInf}) {
    const PageCurveValue v = EvaluateCurve(s, x);
    ASSERT_LT(v.scaledInput, 0.0) << x;
    // The first segment's line: band_0 + p * (band_10 - band_0) / 10.
    EXPECT_DOUBLE_EQ(v.output, 7.0 + v.scaledInput * 10.0 / 10.0) << x;
  }
}

TEST(BrakeClutchEvaluate, OutputAboveHundredFromLoadedPointsIsShownAsHundred) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.band[5] = 180;
  EXPECT_DOUBLE_EQ(EvaluateCurve(s, 50.0).output, 100.0);
  EXPECT_DOUBLE_EQ(EvaluateCurve(s, 45.0).output, 100.0);  // 40 + 0.5 * 140
}

TEST(LiveInput, AveragesOverTenAndLimitsOnlyTheBar) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  LiveInput live(10);
  const auto evaluate = [&s](double a) { return EvaluateCurve(s, a); };
  PedalLiveDisplay d;
  for (int i = 0; i < 10; ++i) d = live.Feed(37.0, true, evaluate);
  EXPECT_EQ(d.bar, 37);
  EXPECT_EQ(d.label, "37%");
  EXPECT_EQ(d.inputPercent, 37);
  EXPECT_EQ(d.outputPercent, 37);
  // Ten more samples push the first ten out: the average is now of the new ones only.
  for (int i = 0; i < 10; ++i) d = live.Feed(80.0, true, evaluate);
  EXPECT_EQ(live.Average().Samples().size(), 10u);
  EXPECT_EQ(d.bar, 80);

  s.dz_0 = 60;
  s.dz_1 = 40;
  d = live.Feed(80.0, true, evaluate);
  EXPECT_EQ(d.bar, 0);
  EXPECT_EQ(d.label, "-100%");
}

TEST(LiveInput, DisabledKeepsFeedingTheAverageAndTheCrossHair) {
  LiveInput live(10);
  const auto identity = [](double a) { return PageCurveValue{a, a}; };
  live.Feed(50.0, true, identity);
  const PedalLiveDisplay off = live.Feed(10.0, false, identity);
  EXPECT_FALSE(off.enabled);
  EXPECT_EQ(off.bar, 0);
  EXPECT_EQ(off.label, "0%");
  EXPECT_EQ(off.inputPercent, 50);
  EXPECT_EQ(live.Average().Samples().size(), 2u);
  // Re-enabled, the first input already averages what came in while off.
  EXPECT_EQ(live.Feed(90.0, true, identity).outputPercent, 50);
}

TEST(TruncatePercent, NeverLeavesTheIntRange) {
  EXPECT_EQ(TruncatePercent(6.9), 6);
  EXPECT_EQ(TruncatePercent(-6.9), -6);
  EXPECT_EQ(TruncatePercent(kNaN), 0);
  EXPECT_EQ(TruncatePercent(kInf), std::numeric_limits<int>::max());
  EXPECT_EQ(TruncatePercent(-kInf), std::numeric_limits<int>::min());
}

// ---- Step rules ----

struct StepCase {
  const char* name;
  PedalKind kind;
  int button;
  int before;  // value of the row's field
  int presses;
  int after;
  const char* label;  // the row's value label afterwards
};

const char* KindName(PedalKind kind) {
  switch (kind) {
    case PedalKind::kThrottle: return "throttle";
    case PedalKind::kBrake: return "brake";
    case PedalKind::kClutch: return "clutch";
  }
  return "?";
}

void PrintTo(const StepCase& c, std::ostream* os) {
  *os << KindName(c.kind) << ", button " << c.button << " pressed " << c.presses << " times from "
      << c.before << " gives " << c.after << ", label " << c.label;
}

int& FieldOf(BrakeClutchSettings& s, std::size_t row) {
  if (row == kLowerDeadZoneRow) return s.dz_0;
  if (row == kUpperValueRow) return s.dz_1;
  return s.band.at(row - kFirstPointRow);
}

class BrakeClutchStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(BrakeClutchStepTest, MovesOneFieldWithinItsLimits) {
  const StepCase& c = GetParam();
  const auto step = BrakeClutchStepForButton(c.button);
  ASSERT_TRUE(step.has_value());
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  FieldOf(s, step->row) = c.before;
  const BrakeClutchSettings untouched = s;
  bool chart = false;
  for (int i = 0; i < c.presses; ++i) chart = StepBrakeClutchRow(s, c.kind, *step);
  EXPECT_EQ(FieldOf(s, step->row), c.after);
  EXPECT_EQ(FormatBrakeClutchRowValue(s, c.kind, step->row), c.label);
  EXPECT_TRUE(s.dirty);
  EXPECT_EQ(chart, step->row >= kFirstPointRow);
  // Nothing else moved.
  FieldOf(s, step->row) = c.before;
  EXPECT_EQ(s.dz_0, untouched.dz_0);
  EXPECT_EQ(s.dz_1, untouched.dz_1);
  EXPECT_EQ(s.band, untouched.band);
}

constexpr PedalKind kBrake = PedalKind::kBrake;
constexpr PedalKind kClutch = PedalKind::kClutch;

INSTANTIATE_TEST_SUITE_P(
    Cases, BrakeClutchStepTest,
    ::testing::Values(
        StepCase{"brake_minus_at_60_stays", kBrake, 1001, 60, 1, 60, "60 %"},
        StepCase{"brake_plus_from_60", kBrake, 1000, 60, 1, 61, "61 %"},
        StepCase{"brake_forty_plus_from_60_reach_100", kBrake, 1000, 60, 40, 100, "100 %"},
        StepCase{"brake_plus_at_100_stays", kBrake, 1000, 60, 41, 100, "100 %"},
        StepCase{"brake_plus_from_45_is_one_step", kBrake, 1000, 45, 1, 46, "46 %"},
        StepCase{"brake_minus_from_45_jumps_to_60", kBrake, 1001, 45, 1, 60, "60 %"},
        StepCase{"clutch_plus_widens_dead_zone", kClutch, 1000, 100, 1, 99, "1 %"},
        StepCase{"clutch_minus_at_100_stays", kClutch, 1001, 100, 1, 100, "0 %"},
        StepCase{"clutch_plus_at_0_stays", kClutch, 1000, 0, 1, 0, "100 %"},
        StepCase{"clutch_minus_narrows_dead_zone", kClutch, 1001, 0, 1, 1, "99 %"},
        StepCase{"lower_dead_zone_plus_at_100_stays", kBrake, 1002, 100, 1, 100, "100 %"},
        StepCase{"lower_dead_zone_minus_at_0_stays", kClutch, 1003, 0, 1, 0, "0 %"},
        StepCase{"lower_dead_zone_minus", kBrake, 1003, 7, 1, 6, "6 %"},
        StepCase{"point_50_plus_at_100_stays", kBrake, 1031, 100, 1, 100, "100 %"},
        StepCase{"point_0_minus_at_0_stays", kClutch, 1005, 0, 1, 0, "0 %"},
        StepCase{"point_30_minus_button_1012", kBrake, 1012, 30, 1, 29, "29 %"},
        StepCase{"point_40_plus_button_1014", kClutch, 1014, 40, 1, 41, "41 %"},
        StepCase{"point_100_minus", kBrake, 1052, 100, 3, 97, "97 %"}),
    page_test::CaseName());

TEST(BrakeClutchRows, TwentySixButtonsEachStepOneRow) {
  std::set<int> ids;
  for (std::size_t row = 0; row < kBrakeClutchRowCount; ++row) {
    const BrakeClutchRow& r = kBrakeClutchRows[row];
    for (const auto& [id, direction] : {std::pair{r.plusId, +1}, std::pair{r.minusId, -1}}) {
      const auto step = BrakeClutchStepForButton(id);
      ASSERT_TRUE(step.has_value()) << id;
      EXPECT_EQ(step->row, row);
      EXPECT_EQ(step->direction, direction);
      ids.insert(id);
    }
  }
  EXPECT_EQ(ids.size(), 26u);
  EXPECT_FALSE(BrakeClutchStepForButton(1013).has_value());  // the chart
  EXPECT_FALSE(BrakeClutchStepForButton(1065).has_value());  // a throttle-only button
}

TEST(BrakeClutchRows, CurvePointsKeepNoOrder) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  const auto minus20 = BrakeClutchStepForButton(1009);
  for (int i = 0; i < 15; ++i) StepBrakeClutchRow(s, kBrake, *minus20);
  EXPECT_EQ(s.band[2], 5);  // below band_10, which stays 10
  EXPECT_EQ(s.band[1], 10);
}

TEST(BrakeClutchRows, PointCaptionsAndIdentityLabels) {
  const BrakeClutchSettings s = DefaultBrakeClutchSettings();
  for (std::size_t k = 0; k < kBrakeClutchPointCount; ++k) {
    const std::string text = std::to_string(10 * k) + " %";
    EXPECT_EQ(BrakeClutchPointCaption(k), text);
    EXPECT_EQ(FormatBrakeClutchRowValue(s, kClutch, kFirstPointRow + k), text);
  }
  EXPECT_EQ(FormatBrakeClutchRowValue(s, kBrake, kUpperValueRow), "100 %");
  EXPECT_EQ(FormatBrakeClutchRowValue(s, kClutch, kUpperValueRow), "0 %");
}

TEST(BrakeClutchUpperValue, ClutchAt95ShowsFiveBrakeShows95) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.dz_1 = 95;
  EXPECT_EQ(FormatBrakeClutchRowValue(s, kClutch, kUpperValueRow), "5 %");
  EXPECT_EQ(FormatBrakeClutchRowValue(s, kBrake, kUpperValueRow), "95 %");
}

// ---- Shapes ----

TEST(BrakeClutchShapes, IntegerTablesOfThisPage) {
  const std::vector<std::pair<CurveShape, BrakeClutchPoints>> expected{
      {CurveShape::kLinear, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {CurveShape::kSlow, {0, 4, 9, 14, 21, 29, 39, 50, 63, 79, 100}},
      {CurveShape::kFast, {0, 21, 37, 50, 61, 71, 79, 86, 91, 96, 100}},
      {CurveShape::kVerySlow, {0, 2, 4, 7, 11, 17, 25, 35, 48, 66, 100}},
      {CurveShape::kVeryFast, {0, 33, 52, 65, 75, 83, 89, 93, 96, 98, 100}},
      {CurveShape::kSFastSlow, {0, 19, 31, 40, 46, 50, 54, 60, 69, 81, 100}},
      {CurveShape::kSSlowFast, {0, 4, 10, 19, 31, 50, 69, 81, 90, 96, 100}},
  };
  for (const auto& [shape, points] : expected) {
    EXPECT_EQ(BrakeClutchShapePoints(shape), points) << static_cast<int>(shape);
  }
}

TEST(BrakeClutchShapes, ApplyKeepsDeadZonesAndFlags) {
  BrakeClutchSettings s = DefaultBrakeClutchSettings();
  s.dz_0 = 4;
  s.dz_1 = 77;
  s.axis_cnf = 0;
  s.axis_mode = 1;
  ApplyBrakeClutchShape(s, CurveShape::kVeryFast);
  EXPECT_EQ(s.band, BrakeClutchShapePoints(CurveShape::kVeryFast));
  EXPECT_EQ(s.dz_0, 4);
  EXPECT_EQ(s.dz_1, 77);
  EXPECT_EQ(s.axis_cnf, 0);
  EXPECT_EQ(s.axis_mode, 1);
  EXPECT_TRUE(s.dirty);
}

}  // namespace
