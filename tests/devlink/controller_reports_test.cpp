// Golden byte tables for the controller's input report and its 0x17 and 0x07 output reports.
#include "devlink/controller_reports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace devlink {
namespace {

// Throttle points at inputs 0, 10, ..., 90, 91, ..., 100 on the identity curve.
constexpr std::array<float, kThrottlePointCount> kIdentityThrottle = {
    0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100};

PedalConfigRecord IdentityRecord() {
  PedalConfigRecord r;
  r.throttleDz0 = 0;
  r.throttleDz1 = 100;
  r.brakeDz0 = 0;
  r.brakeDz1 = 100;
  r.clutchDz0 = 0;
  r.clutchDz1 = 100;
  r.throttleCurve = kIdentityThrottle;
  for (std::size_t i = 0; i < kBrakeClutchPointCount; ++i) {
    r.brakeCurve[i] = static_cast<std::uint8_t>(10 * i);
    r.clutchCurve[i] = static_cast<std::uint8_t>(10 * i);
  }
  r.flags = kThrottleEnabledFlag;
  return r;
}

ReportBuffer Golden(const std::vector<std::uint8_t>& leading) {
  ReportBuffer b{};
  std::copy(leading.begin(), leading.end(), b.begin());
  return b;
}

TEST(ControllerReports, ThrottleCurveReportMatchesGoldenBytes) {
  const ReportBuffer expected = Golden(
      {0x00, 0x17, 0x00, 0x14, 0x28, 0x3C, 0x50, 0x64, 0x78, 0x8C, 0xA0, 0xB4,  // inputs 0..90
       0xB6, 0xB8, 0xBA, 0xBC, 0xBE, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8,              // inputs 91..100
       0xAA});
  EXPECT_EQ(BuildThrottleCurveReport(IdentityRecord()), expected);
}

TEST(ControllerReports, PedalSettingsReportMatchesGoldenBytes) {
  const ReportBuffer expected =
      Golden({0x00, 0x07, 0,  100, 0,  100, 0,   100,                 // dead zones
              0,    20,   40, 60,  80, 100, 120, 140, 160, 180,       // throttle points 0..9
              200,                                                    // throttle point 19
              0,    20,   40, 60,  80, 100, 120, 140, 160, 180, 200,  // brake, doubled
              0,    20,   40, 60,  80, 100, 120, 140, 160, 180, 200,  // clutch, doubled
              0x01,                                                   // flags
              0x01,                                                   // store
              0x78});
  EXPECT_EQ(BuildPedalSettingsReport(IdentityRecord(), true), expected);
}

TEST(ControllerReports, LiveApplyClearsStoreFlagAndCheckFollows) {
  const ReportBuffer stored = BuildPedalSettingsReport(IdentityRecord(), true);
  const ReportBuffer live = BuildPedalSettingsReport(IdentityRecord(), false);
  EXPECT_EQ(live[42], 0);
  EXPECT_EQ(live[43], 0x78 ^ 0x01);
  for (std::size_t i = 0; i < 42; ++i) EXPECT_EQ(live[i], stored[i]) << "byte " << i;
}

TEST(ControllerReports, ThrottlePointsBecomeTruncatedHalfPercent) {
  struct Case {
    float point;
    std::uint8_t byte;
  };
  for (const Case& c : {Case{45.7f, 91}, Case{0.4f, 0}, Case{100.0f, 200}, Case{90.5f, 181},
                        Case{0.5f, 1}, Case{99.99f, 199}}) {
    PedalConfigRecord r = IdentityRecord();
    r.throttleCurve[3] = c.point;   // in both reports
    r.throttleCurve[12] = c.point;  // in the curve report only
    r.throttleCurve[19] = c.point;  // both, byte 18 of the settings report
    const ReportBuffer curve = BuildThrottleCurveReport(r);
    const ReportBuffer settings = BuildPedalSettingsReport(r, true);
    EXPECT_EQ(curve[2 + 3], c.byte) << c.point;
    EXPECT_EQ(curve[2 + 12], c.byte) << c.point;
    EXPECT_EQ(curve[2 + 19], c.byte) << c.point;
    EXPECT_EQ(settings[8 + 3], c.byte) << c.point;
    EXPECT_EQ(settings[18], c.byte) << c.point;
  }
}

TEST(ControllerReports, UncheckedBrakePointTravelsDoubledInEightBits) {
  PedalConfigRecord r = IdentityRecord();
  r.brakeCurve[4] = 101;
  r.clutchCurve[7] = 130;
  const ReportBuffer settings = BuildPedalSettingsReport(r, false);
  EXPECT_EQ(settings[19 + 4], 202);
  EXPECT_EQ(settings[30 + 7], static_cast<std::uint8_t>(260));
}

TEST(ControllerReports, RangeChecksRefuseOnlyWhatIsAskedFor) {
  struct Case {
    const char* what;
    void (*edit)(PedalConfigRecord&);
    bool checkBrake;
    bool checkClutch;
    bool sendable;
  };
  const Case cases[] = {
      {"identity", [](PedalConfigRecord&) {}, true, true, true},
      {"throttle 100.0", [](PedalConfigRecord& r) { r.throttleCurve[19] = 100.0f; }, true, true,
       true},
      {"throttle 100.1", [](PedalConfigRecord& r) { r.throttleCurve[19] = 100.1f; }, false, false,
       false},
      {"dead zone 101", [](PedalConfigRecord& r) { r.clutchDz1 = 101; }, false, false, false},
      {"throttle dz_0 255", [](PedalConfigRecord& r) { r.throttleDz0 = 255; }, false, false, false},
      {"brake 101 checked", [](PedalConfigRecord& r) { r.brakeCurve[10] = 101; }, true, false,
       false},
      {"brake 101 unchecked", [](PedalConfigRecord& r) { r.brakeCurve[10] = 101; }, false, true,
       true},
      {"clutch 101 checked", [](PedalConfigRecord& r) { r.clutchCurve[0] = 101; }, false, true,
       false},
      {"clutch 101 unchecked", [](PedalConfigRecord& r) { r.clutchCurve[0] = 101; }, true, false,
       true},
  };
  for (const Case& c : cases) {
    PedalConfigRecord r = IdentityRecord();
    c.edit(r);
    EXPECT_EQ(IsPedalConfigSendable(r, c.checkBrake, c.checkClutch), c.sendable) << c.what;
  }
}

TEST(ControllerReports, RefusesThrottlePointsThatCannotBeConverted) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {-0.5f, -1e30f, nan, inf, -inf}) {
    PedalConfigRecord r = IdentityRecord();
    r.throttleCurve[15] = bad;
    EXPECT_FALSE(IsPedalConfigSendable(r, false, false)) << bad;
  }
  EXPECT_EQ(HalfPercentByte(nan), 0);
  EXPECT_EQ(HalfPercentByte(inf), 0);
  EXPECT_EQ(HalfPercentByte(3e9f), 0);
}

TEST(ControllerReports, InputReportFillsValuesAndRecord) {
  ReportBuffer in{};
  in[0] = 0x00;
  const std::uint16_t raw[6] = {0x0001, 0x1234, 0x8000, 0xFFFF, 0x00FF, 0xABCD};
  for (int i = 0; i < 6; ++i) {
    in[1 + 2 * i] = raw[i] & 0xFF;
    in[2 + 2 * i] = raw[i] >> 8;
  }
  const std::uint8_t deadZones[6] = {3, 97, 5, 80, 7, 100};
  std::copy(std::begin(deadZones), std::end(deadZones), in.begin() + 13);
  for (int i = 0; i < 20; ++i) in[19 + i] = static_cast<std::uint8_t>(2 * kIdentityThrottle[i]);
  in[19] = 181;
  in[39] = 0xEE;  // not read
  for (int i = 0; i < 11; ++i) {
    in[40 + i] = static_cast<std::uint8_t>(20 * i + 1);  // odd half percents round down
    in[51 + i] = static_cast<std::uint8_t>(20 * i);
  }
  in[40] = 201;
  in[41] = 200;
  in[62] = 0x0B;
  in[63] = 0xFF;  // not read

  LivePedalValues values{};
  PedalConfigRecord r;
  ParseInputReport(in, values, r);

  EXPECT_EQ(values, (LivePedalValues{0x0001, 0x1234, 0x8000, 0xFFFF, 0x00FF, 0xABCD}));
  EXPECT_EQ(r.throttleDz0, 3);
  EXPECT_EQ(r.throttleDz1, 97);
  EXPECT_EQ(r.brakeDz0, 5);
  EXPECT_EQ(r.brakeDz1, 80);
  EXPECT_EQ(r.clutchDz0, 7);
  EXPECT_EQ(r.clutchDz1, 100);
  EXPECT_FLOAT_EQ(r.throttleCurve[0], 90.5f);
  for (int i = 1; i < 20; ++i) EXPECT_FLOAT_EQ(r.throttleCurve[i], kIdentityThrottle[i]) << i;
  EXPECT_EQ(r.brakeCurve[0], 100);
  EXPECT_EQ(r.brakeCurve[1], 100);
  for (int i = 2; i < 11; ++i) EXPECT_EQ(r.brakeCurve[i], 10 * i) << i;
  for (int i = 0; i < 11; ++i) EXPECT_EQ(r.clutchCurve[i], 10 * i) << i;
  EXPECT_EQ(r.flags, 0x0B);
}

TEST(ControllerReports, ParsedReportSendsBackTheSameConfiguration) {
  ReportBuffer in{};
  const ReportBuffer settings = BuildPedalSettingsReport(IdentityRecord(), true);
  std::copy(settings.begin() + 2, settings.begin() + 8, in.begin() + 13);
  const ReportBuffer curve = BuildThrottleCurveReport(IdentityRecord());
  std::copy(curve.begin() + 2, curve.begin() + 22, in.begin() + 19);
  std::copy(settings.begin() + 19, settings.begin() + 30, in.begin() + 40);
  std::copy(settings.begin() + 30, settings.begin() + 41, in.begin() + 51);
  in[62] = kThrottleEnabledFlag;
  LivePedalValues values{};
  PedalConfigRecord parsed;
  ParseInputReport(in, values, parsed);
  EXPECT_EQ(parsed, IdentityRecord());
}

}  // namespace
}  // namespace devlink
