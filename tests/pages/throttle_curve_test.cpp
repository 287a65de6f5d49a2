// The throttle curve: evaluation, the moving average, the edit rows and the curve shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

#include "case_tables.h"
#include "pages/curve_menu.h"
#include "pages/moving_average.h"
#include "pages/throttle_curve.h"

using namespace pages;

namespace {

// A curve whose points all differ from their inputs, so a wrong segment shows.
ThrottleCurveSettings DistinctCurve() {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  for (std::size_t k = 0; k < kThrottlePointCount; ++k) s.band[k] = 2.0f * k + 1.0f;
  return s;
}

using page_test::EvaluateCase;

class EvaluateCurveTest : public ::testing::TestWithParam<EvaluateCase> {};

TEST_P(EvaluateCurveTest, MapsInputThroughDeadZonesAndCurve) {
  const EvaluateCase& c = GetParam();
  // shaped: DistinctCurve.
  page_test::ExpectEvaluates(c.shaped ? DistinctCurve() : DefaultThrottleSettings(), c, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EvaluateCurveTest,
    ::testing::Values(
        EvaluateCase{"identity_37_6", 0, 100, false, 37.6, 37.6, 37.6},
        EvaluateCase{"input_at_lower_dead_zone_gives_band_0", 10, 100, true, 10.0, 0.0, 1.0},
        EvaluateCase{"just_above_lower_dead_zone", 10, 100, false, 10.9, 1.0, 1.0},
        // Distinct curve: band_90 is element 9 (19), band_100 element 19 (39).
        EvaluateCase{"exactly_90_gives_band_90", 0, 100, true, 90.0, 90.0, 19.0},
        EvaluateCase{"exactly_100_gives_band_100", 0, 100, true, 100.0, 100.0, 39.0},
        EvaluateCase{"coarse_segment_midpoint", 0, 100, true, 45.0, 45.0, 10.0},
        // band_95 is element 14 (29), band_96 element 15 (31).
        EvaluateCase{"95_5_is_mean_of_95_and_96", 0, 100, true, 95.5, 95.5, 30.0},
        EvaluateCase{"dead_zones_20_80_input_50", 20, 80, false, 50.0, 50.0, 50.0},
        EvaluateCase{"input_past_upper_end_is_full", 20, 80, false, 95.0, 100.0, 100.0},
        EvaluateCase{"equal_dead_zones_below", 40, 40, false, 40.0, 0.0, 0.0},
        EvaluateCase{"equal_dead_zones_above", 40, 40, false, 40.01, 100.0, 100.0},
        // dz_1 below dz_0: the first segment's line runs on below 0.
        EvaluateCase{"reversed_dead_zones_go_negative", 60, 40, false, 70.0, -50.0, -50.0}),
    page_test::CaseName());

TEST(EvaluateCurveTest, PointAbove100StillGivesAtMost100) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  s.band[5] = 150.0f;  // only a settings file can hold this
  EXPECT_DOUBLE_EQ(EvaluateCurve(s, 50.0).output, 100.0);
  EXPECT_DOUBLE_EQ(EvaluateCurve(s, 45.0).output, 95.0);
}

TEST(MovingAverageTest, AveragesOverHeldSamplesUntilWindowFills) {
  MovingAverage average(8);
  EXPECT_DOUBLE_EQ(average.AddSampleAndAverage(10.0), 10.0);
  EXPECT_DOUBLE_EQ(average.AddSampleAndAverage(20.0), 15.0);
  EXPECT_DOUBLE_EQ(average.AddSampleAndAverage(60.0), 30.0);
  EXPECT_EQ(average.Samples().size(), 3u);
}

TEST(MovingAverageTest, DropsOldestBeyondWindow) {
  MovingAverage average(8);
  for (int i = 1; i <= 8; ++i) average.AddSample(i);        // 1..8, mean 4.5
  EXPECT_DOUBLE_EQ(average.AddSampleAndAverage(9.0), 5.5);  // 2..9
  ASSERT_EQ(average.Samples().size(), 8u);
  EXPECT_DOUBLE_EQ(average.Samples().front(), 2.0);
  EXPECT_DOUBLE_EQ(average.Samples().back(), 9.0);
}

TEST(ThrottleRowsTest, FortyFourButtonsEachStepOneRow) {
  // The step buttons that the page binds, "+" and "-" of every row.
  const std::set<int> expected{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                               1012, 1014, 1028, 1031, 1032, 1035, 1036, 1039, 1040, 1043, 1044,
                               1047, 1048, 1051, 1052, 1065, 1066, 1069, 1070, 1075, 1076, 1079,
                               1080, 1083, 1084, 1087, 1088, 1091, 1092, 1095, 1096, 1099, 1100};
  std::set<int> seen;
  for (const ThrottleRow& row : kThrottleRows) {
    seen.insert(row.plusId);
    seen.insert(row.minusId);
  }
  EXPECT_EQ(seen, expected);
  for (int id : expected) {
    const auto step = ThrottleStepForButton(id);
    ASSERT_TRUE(step) << id;
    const ThrottleRow& row = kThrottleRows[step->row];
    EXPECT_EQ(step->direction == 1 ? row.plusId : row.minusId, id);
  }
  EXPECT_FALSE(ThrottleStepForButton(1013));
  EXPECT_FALSE(ThrottleStepForButton(1016));
}

// Row index of a curve point: the two dead-zone rows come first.
constexpr std::size_t PointRowIndex(std::size_t point) { return point + 2; }
constexpr std::size_t kLowerRow = 0;
constexpr std::size_t kUpperRow = 1;

struct StepCase {
  const char* name;
  std::size_t row;
  int direction;
  float start;  // the field before the click (dz_1 itself for the upper row)
  float after;
  const char* label;
};

void PrintTo(const StepCase& c, std::ostream* os) {
  *os << "row " << c.row << (c.direction > 0 ? " plus" : " minus") << " from " << c.start
      << " gives " << c.after << ", label " << c.label;
}

class StepThrottleRowTest : public ::testing::TestWithParam<StepCase> {};

float FieldOf(const ThrottleCurveSettings& s, std::size_t row) {
  if (row == kLowerRow) return static_cast<float>(s.dz_0);
  if (row == kUpperRow) return static_cast<float>(s.dz_1);
  return s.band[row - 2];
}

void SetField(ThrottleCurveSettings& s, std::size_t row, float value) {
  if (row == kLowerRow)
    s.dz_0 = static_cast<int>(value);
  else if (row == kUpperRow)
    s.dz_1 = static_cast<int>(value);
  else
    s.band[row - 2] = value;
}

TEST_P(StepThrottleRowTest, StepsWithinLimitsAndFormatsLabel) {
  const StepCase& c = GetParam();
  ThrottleCurveSettings s = DefaultThrottleSettings();
  SetField(s, c.row, c.start);
  const ThrottleCurveSettings before = s;
  const bool chart = StepThrottleRow(s, {c.row, c.direction});
  EXPECT_FLOAT_EQ(FieldOf(s, c.row), c.after);
  EXPECT_EQ(FormatThrottleRowValue(s, c.row), c.label);
  EXPECT_TRUE(s.dirty);
  EXPECT_EQ(chart, c.row >= 2);
  // Only the named field moves.
  for (std::size_t r = 0; r < kThrottleRowCount; ++r) {
    if (r != c.row) {
      EXPECT_FLOAT_EQ(FieldOf(s, r), FieldOf(before, r)) << r;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepThrottleRowTest,
    ::testing::Values(
        StepCase{"band_95_99_5_plus_reaches_100", PointRowIndex(14), +1, 99.5f, 100.0f, "100.0"},
        StepCase{"band_95_100_plus_stays", PointRowIndex(14), +1, 100.0f, 100.0f, "100.0"},
        StepCase{"band_0_0_minus_stays", PointRowIndex(0), -1, 0.0f, 0.0f, "0 %"},
        StepCase{"coarse_37_3_plus", PointRowIndex(5), +1, 37.3f, 38.3f, "38 %"},
        StepCase{"band_91_is_coarse", PointRowIndex(10), +1, 37.3f, 38.3f, "38 %"},
        StepCase{"band_92_is_fine", PointRowIndex(11), +1, 37.3f, 37.8f, "37.8"},
        StepCase{"fine_minus", PointRowIndex(19), -1, 82.5f, 82.0f, "82.0"},
        StepCase{"fine_minus_at_0_stays", PointRowIndex(19), -1, 0.0f, 0.0f, "0.0"},
        StepCase{"coarse_half_value_shows_whole", PointRowIndex(3), -1, 83.5f, 82.5f, "82 %"},
        StepCase{"lower_plus", kLowerRow, +1, 5, 6, "6 %"},
        StepCase{"lower_plus_at_100_stays", kLowerRow, +1, 100, 100, "100 %"},
        StepCase{"lower_minus_at_0_stays", kLowerRow, -1, 0, 0, "0 %"},
        // The upper row shows 100 - dz_1: "+" widens it by lowering dz_1.
        StepCase{"upper_minus_at_0_percent_stays", kUpperRow, -1, 100, 100, "0 %"},
        StepCase{"upper_plus_widens", kUpperRow, +1, 100, 99, "1 %"},
        StepCase{"upper_plus_at_100_percent_stays", kUpperRow, +1, 0, 0, "100 %"}),
    page_test::CaseName());

TEST(StepThrottleRowTest, OutOfRangeValueIsLimitedOnlyOnTheSideMoved) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  s.dz_0 = 150;  // from a settings file
  StepThrottleRow(s, {kLowerRow, -1});
  EXPECT_EQ(s.dz_0, 149);
  StepThrottleRow(s, {kLowerRow, +1});
  EXPECT_EQ(s.dz_0, 100);
}

TEST(StepThrottleRowTest, DeadZonesDoNotCheckEachOther) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  s.dz_0 = 59;
  s.dz_1 = 50;
  StepThrottleRow(s, {kLowerRow, +1});
  EXPECT_EQ(s.dz_0, 60);
  EXPECT_EQ(FormatThrottleRowValue(s, kUpperRow), "50 %");
}

TEST(ThrottleRowsTest, PointCaptionsNameTheirInputs) {
  EXPECT_EQ(ThrottlePointCaption(0), "0 %");
  EXPECT_EQ(ThrottlePointCaption(9), "90 %");
  EXPECT_EQ(ThrottlePointCaption(10), "91 %");
  EXPECT_EQ(ThrottlePointCaption(19), "100 %");
}

TEST(CurveShapeTest, EveryMenuIdOfBothLanguagesNamesItsShape) {
  std::set<int> ids;
  for (const CurveMenuItem& item : kCurveMenuItems) {
    EXPECT_EQ(CurveShapeForMenuId(item.spanishId), item.shape);
    EXPECT_EQ(CurveShapeForMenuId(item.englishId), item.shape);
    ids.insert(item.spanishId);
    ids.insert(item.englishId);
  }
  EXPECT_EQ(ids.size(), 14u);
  EXPECT_EQ(*ids.begin(), kCurveMenuFirstId);
  EXPECT_EQ(*ids.rbegin(), kCurveMenuLastId);
  EXPECT_FALSE(CurveShapeForMenuId(32770));
  EXPECT_EQ(CurveShapeForMenuId(32777), CurveShape::kFast);  // "Fast Curve"
  EXPECT_EQ(CurveShapeForMenuId(32773), CurveShape::kFast);  // "Curva rápida"
}

TEST(CurveShapeTest, ShapesRunFromZeroToFullWithoutFalling) {
  for (const CurveMenuItem& item : kCurveMenuItems) {
    const auto& points = ThrottleShapePoints(item.shape);
    EXPECT_FLOAT_EQ(points.front(), 0.0f) << item.englishText;
    EXPECT_FLOAT_EQ(points.back(), 100.0f) << item.englishText;
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end())) << item.englishText;
    // The fine points hold half percents only.
    for (float p : points) {
      EXPECT_FLOAT_EQ(p * 2.0f, static_cast<float>(static_cast<int>(p * 2.0f)));
    }
  }
}

TEST(CurveShapeTest, ApplyingAShapeSetsAllPointsAndKeepsDeadZones) {
  ThrottleCurveSettings s = DefaultThrottleSettings();
  s.dz_0 = 7;
  s.dz_1 = 93;
  s.axis_cnf = 0;
  ApplyThrottleShape(s, CurveShape::kFast);
  const std::array<float, kThrottlePointCount> fast{
      0, 21, 37, 50, 61, 70, 78, 84, 90, 95, 96, 96.5f, 97, 97.5f, 98, 98.5f, 99, 99.5f, 100, 100};
  EXPECT_EQ(s.band, fast);
  EXPECT_EQ(s.dz_0, 7);
  EXPECT_EQ(s.dz_1, 93);
  EXPECT_EQ(s.axis_cnf, 0);
  EXPECT_TRUE(s.dirty);
  ApplyThrottleShape(s, CurveShape::kLinear);
  EXPECT_EQ(s.band, DefaultThrottleSettings().band);
}

TEST(CurveShapeTest, DistinctShapesAreDistinct) {
  std::set<std::array<float, kThrottlePointCount>> tables;
  for (const CurveMenuItem& item : kCurveMenuItems) tables.insert(ThrottleShapePoints(item.shape));
  EXPECT_EQ(tables.size(), kCurveShapeCount);
}

}  // namespace
