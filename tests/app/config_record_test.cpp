// The configuration record built from the pages: field placement, flag bits and the range
// refusals that must happen before values are narrowed to bytes.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/config_record.h"

using namespace app;
using namespace pages;

namespace {

using devlink::PedalConfigRecord;

BrakeClutchSettings IdentityPedal() {
  BrakeClutchSettings s{{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}};
  return s;
}

struct Pages {
  ThrottleCurveSettings throttle = DefaultThrottleSettings();
  BrakeClutchSettings brake = IdentityPedal();
  BrakeClutchSettings clutch = IdentityPedal();
};

TEST(ConfigRecordTest, CopiesEveryFieldInPlace) {
  Pages p;
  p.throttle.dz_0 = 3;
  p.throttle.dz_1 = 97;
  p.throttle.band[5] = 42.5f;
  p.brake.dz_0 = 4;
  p.brake.dz_1 = 80;
  p.brake.band[10] = 90;
  p.clutch.dz_0 = 6;
  p.clutch.dz_1 = 95;
  p.clutch.band[1] = 12;
  const auto record = BuildPedalConfigRecord(p.throttle, p.brake, p.clutch, {}, RecordUse::kSend);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->throttleDz0, 3);
  EXPECT_EQ(record->throttleDz1, 97);
  EXPECT_FLOAT_EQ(record->throttleCurve[5], 42.5f);
  EXPECT_FLOAT_EQ(record->throttleCurve[19], 100.0f);
  EXPECT_EQ(record->brakeDz0, 4);
  EXPECT_EQ(record->brakeDz1, 80);
  EXPECT_EQ(record->brakeCurve[10], 90);
  EXPECT_EQ(record->clutchDz0, 6);
  EXPECT_EQ(record->clutchDz1, 95);
  EXPECT_EQ(record->clutchCurve[1], 12);
  EXPECT_EQ(record->clutchCurve[10], 100);
}

struct FlagCase {
  const char* name;
  int throttleCnf, throttleMode, brakeCnf, clutchCnf;
  PedalPresence presence;
  RecordUse use;
  std::uint8_t flags;
};

class ConfigRecordFlagsTest : public testing::TestWithParam<FlagCase> {};

TEST_P(ConfigRecordFlagsTest, SetsBitsFromEnablesPresenceAndUse) {
  const FlagCase& c = GetParam();
  Pages p;
  p.throttle.axis_cnf = c.throttleCnf;
  p.throttle.axis_mode = c.throttleMode;
  p.brake.axis_cnf = c.brakeCnf;
  p.clutch.axis_cnf = c.clutchCnf;
  const auto record = BuildPedalConfigRecord(p.throttle, p.brake, p.clutch, c.presence, c.use);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->flags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigRecordFlagsTest,
    testing::Values(
        FlagCase{"ThrottleOnly", 1, 0, 1, 1, {}, RecordUse::kSend, 0x01},
        FlagCase{"ThrottleOff", 0, 0, 0, 0, {}, RecordUse::kSend, 0x00},
        // The load-cell bit travels only with live applies.
        FlagCase{"SendDropsAxisMode", 1, 1, 0, 0, {}, RecordUse::kSend, 0x01},
        FlagCase{"LiveCarriesAxisMode", 1, 1, 0, 0, {}, RecordUse::kLive, 0x09},
        FlagCase{"LiveAxisModeWithThrottleOff", 0, 2, 0, 0, {}, RecordUse::kLive, 0x08},
        // Absent pedals never get their enable bit, whatever their axis_cnf.
        FlagCase{"AbsentPedalsStayOff", 1, 0, 1, 1, {false, false}, RecordUse::kLive, 0x01},
        FlagCase{"BrakePresent", 1, 0, 1, 1, {true, false}, RecordUse::kSend, 0x03},
        FlagCase{"ClutchPresent", 1, 0, 1, 1, {false, true}, RecordUse::kSend, 0x05},
        FlagCase{"BothPresentBrakeOff", 1, 0, 0, 1, {true, true}, RecordUse::kSend, 0x05},
        FlagCase{"AllOn", 7, 1, 3, 2, {true, true}, RecordUse::kLive, 0x0F}),
    [](const auto& info) { return std::string(info.param.name); });

struct RangeCase {
  const char* name;
  std::function<void(Pages&)> edit;
  bool sendAccepted;
  bool liveAccepted;
};

class ConfigRecordRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(ConfigRecordRangeTest, RefusesOutOfRangeBeforeNarrowing) {
  const RangeCase& c = GetParam();
  Pages p;
  c.edit(p);
  EXPECT_EQ(BuildPedalConfigRecord(p.throttle, p.brake, p.clutch, {}, RecordUse::kSend).has_value(),
            c.sendAccepted);
  EXPECT_EQ(BuildPedalConfigRecord(p.throttle, p.brake, p.clutch, {}, RecordUse::kLive).has_value(),
            c.liveAccepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigRecordRangeTest,
    testing::Values(
        RangeCase{"Limits",
                  [](Pages& p) {
                    p.throttle.dz_0 = 0;
                    p.throttle.dz_1 = 100;
                    p.brake.band[0] = 0;
                    p.clutch.band[10] = 100;
                  },
                  true, true},
        // 300 would narrow to 44, a plausible dead zone.
        RangeCase{"ThrottleDeadZone300", [](Pages& p) { p.throttle.dz_1 = 300; }, false, false},
        RangeCase{"ThrottleDeadZone101", [](Pages& p) { p.throttle.dz_0 = 101; }, false, false},
        RangeCase{"ThrottleDeadZoneNegative", [](Pages& p) { p.throttle.dz_0 = -1; }, false, false},
        RangeCase{"ThrottlePointAbove", [](Pages& p) { p.throttle.band[3] = 100.5f; }, false,
                  false},
        RangeCase{"ThrottlePointNegative", [](Pages& p) { p.throttle.band[0] = -0.5f; }, false,
                  false},
        RangeCase{"ThrottlePointNaN", [](Pages& p) { p.throttle.band[7] = std::nanf(""); }, false,
                  false},
        RangeCase{"ThrottlePointInfinite",
                  [](Pages& p) { p.throttle.band[19] = std::numeric_limits<float>::infinity(); },
                  false, false},
        RangeCase{"BrakeDeadZone356", [](Pages& p) { p.brake.dz_1 = 356; }, false, false},
        RangeCase{"ClutchDeadZoneNegative", [](Pages& p) { p.clutch.dz_0 = -256; }, false, false},
        // A live apply keeps the brake and clutch points 101..127 as they are.
        RangeCase{"BrakePoint101", [](Pages& p) { p.brake.band[10] = 101; }, false, true},
        RangeCase{"ClutchPoint127", [](Pages& p) { p.clutch.band[5] = 127; }, false, true},
        RangeCase{"BrakePoint128", [](Pages& p) { p.brake.band[10] = 128; }, false, false},
        RangeCase{"ClutchPoint300", [](Pages& p) { p.clutch.band[2] = 300; }, false, false},
        RangeCase{"BrakePointNegative", [](Pages& p) { p.brake.band[1] = -1; }, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigRecordTest, LiveApplyKeepsPedalPointsUpTo127Unchanged) {
  Pages p;
  p.brake.band[10] = 127;
  const auto record = BuildPedalConfigRecord(p.throttle, p.brake, p.clutch, {}, RecordUse::kLive);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->brakeCurve[10], 127);
}

}  // namespace
