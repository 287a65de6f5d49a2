// The link driven through the real loading path with the simulated controller and display unit.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "devlink/device_output.h"
#include "devlink/hid_library.h"
#include "devlink/process.h"
#include "devlink/segment_display.h"
#include "tests/devlink/link_test_support.h"
#include "tests/support/temp_folder.h"

namespace devlink {
namespace {

using testing::WaitFor;

struct LoggedReport {
  std::string device;
  std::vector<std::uint8_t> bytes;
};

// The simulated devices' behaviour for the next Connect, which each new link makes.
struct SimScenario {
  std::string controller = "0";
  std::string display = "none";
  std::string values = "still:1000,2000,3000";
  int rate = 250;
  std::string logPath;

  void Apply() const {
    setenv("ORVO_SIM_CONTROLLER", controller.c_str(), 1);
    setenv("ORVO_SIM_DISPLAY", display.c_str(), 1);
    setenv("ORVO_SIM_VALUES", values.c_str(), 1);
    setenv("ORVO_SIM_RATE", std::to_string(rate).c_str(), 1);
    setenv("ORVO_SIM_LOG", logPath.c_str(), 1);
    setenv("ORVO_SIM_STATE", "", 1);  // nothing stored outlives the link
  }
};

// Output reports the simulated devices received: "<time> <device> <hex bytes> -> <outcome>".
std::vector<LoggedReport> ReadLog(const std::string& path) {
  std::vector<LoggedReport> reports;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string time, token;
    LoggedReport report;
    words >> time >> report.device;
    while (words >> token && token != "->")
      report.bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    reports.push_back(report);
  }
  return reports;
}

PedalConfigRecord DistinctRecord() {
  PedalConfigRecord r;
  r.throttleDz0 = 4;
  r.throttleDz1 = 96;
  r.brakeDz0 = 2;
  r.brakeDz1 = 85;
  r.clutchDz0 = 6;
  r.clutchDz1 = 90;
  for (std::size_t i = 0; i < kThrottlePointCount; ++i)
    r.throttleCurve[i] = 0.5f * static_cast<float>(3 * i + 1);
  for (std::size_t i = 0; i < kBrakeClutchPointCount; ++i) {
    r.brakeCurve[i] = static_cast<std::uint8_t>(9 * i);
    r.clutchCurve[i] = static_cast<std::uint8_t>(100 - 9 * i);
  }
  r.flags = kThrottleEnabledFlag | kThrottleAxisModeFlag;
  return r;
}

std::vector<std::uint8_t> Leading(const ReportBuffer& report, std::size_t length) {
  return {report.begin(), report.begin() + static_cast<std::ptrdiff_t>(length)};
}

class SimLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadHidLibrary(), 0) << "the simulated libmcHID.so is not on LD_LIBRARY_PATH";
  }
  std::unique_ptr<Process> Start() {
    scenario.Apply();
    return std::make_unique<Process>();
  }

  void UseLog() { scenario.logPath = folder_.File("devices.log"); }

  static bool HasValues(const Process& link) {
    std::int32_t values[6];
    return link.GetLivePedalValues(values) == 0;
  }

  static const HidLibraryTable& Hid() { return *HidLibrary(); }

  test_support::TempFolder folder_{"link-sim-test"};
  SimScenario scenario;
};

TEST_F(SimLink, ValuesOnlyAfterAReportAndUntilTheUnplug) {
  scenario.controller = "0.3-0.8";
  auto link = Start();
  ASSERT_EQ(link->State(), kLinkRunning);
  LivePedalValues values{};
  EXPECT_EQ(link->GetLivePedalValues(values.data()), -1) << "no report before the plug";
  EXPECT_EQ(link->GetLivePedalValues(nullptr), -1);

  ASSERT_TRUE(WaitFor([&] { return HasValues(*link); }));
  ASSERT_EQ(link->GetLivePedalValues(values.data()), 0);
  EXPECT_EQ(values, (LivePedalValues{0, 0, 0, 1000, 2000, 3000}));
  PedalConfigRecord mirror;
  ASSERT_TRUE(link->CopyDeviceConfig(&mirror));
  EXPECT_EQ(mirror.throttleDz1, 100);
  EXPECT_EQ(mirror.brakeCurve[10], 100);
  EXPECT_FLOAT_EQ(mirror.throttleCurve[10], 91.0f);
  EXPECT_EQ(mirror.flags, kThrottleEnabledFlag);

  ASSERT_TRUE(WaitFor([&] { return !HasValues(*link); }));
  EXPECT_FALSE(link->CopyDeviceConfig(&mirror));
  EXPECT_FALSE(link->HasValidReport());
}

TEST_F(SimLink, DisplayUnplugChangesNothing) {
  scenario.display = "0-0.4";
  scenario.rate = 1;  // the next report is a second away, so a wrong clear would stay visible
  auto link = Start();
  ASSERT_TRUE(WaitFor([&] { return HasValues(*link); }));
  LivePedalValues before{};
  ASSERT_EQ(link->GetLivePedalValues(before.data()), 0);

  // Reads stay off until the link handles the list change that follows the display's unplug,
  // and with it the unplug itself.
  const McHidHandle controller = Hid().GetHandle(kVendorId, kControllerProductId);
  ASSERT_NE(controller, 0u);
  Hid().SetReadNotify(controller, 0);
  ASSERT_TRUE(WaitFor([&] { return Hid().IsAvailable(kVendorId, kDisplayProductId) == 0; }));
  ASSERT_TRUE(WaitFor([&] { return Hid().IsReadNotifyEnabled(controller) == 1; }));

  LivePedalValues after{};
  EXPECT_EQ(link->GetLivePedalValues(after.data()), 0);
  EXPECT_EQ(after, before);
}

TEST_F(SimLink, ListChangeWithNoControllerEnablesNothing) {
  scenario.controller = "none";
  scenario.display = "0-0.2";
  auto link = Start();
  const McHidHandle display = Hid().GetHandle(kVendorId, kDisplayProductId);
  ASSERT_NE(display, 0u) << "the display is attached from the start";
  ASSERT_TRUE(WaitFor([&] { return Hid().IsAvailable(kVendorId, kDisplayProductId) == 0; }));
  EXPECT_EQ(Hid().IsReadNotifyEnabled(display), 0);
  EXPECT_FALSE(HasValues(*link));
  PedalConfigRecord record;
  EXPECT_EQ(SendPedalConfig(&record, link.get(), true, true, true), -1);
}

TEST_F(SimLink, MessagesOtherThanTheHidEventAreIgnored) {
  scenario.rate = 1;
  auto link = Start();
  ASSERT_TRUE(WaitFor([&] { return HasValues(*link); }));
  const McHidHandle controller = Hid().GetHandle(kVendorId, kControllerProductId);
  Hid().SetReadNotify(controller, 0);

  const platform::WindowHandle window = link->HiddenWindow();
  for (std::uint32_t message :
       {kHidEventMessage + 1, kHidEventMessage - 1, platform::WM_APP, 0x0400u, 0x0001u}) {
    ASSERT_TRUE(platform::PostMessage(window, message, kDeviceUnplugged,
                                      static_cast<std::intptr_t>(controller)));
    ASSERT_TRUE(platform::PostMessage(window, message, kDeviceListChanged, 0));
  }
  // A real list change behind them turns reads back on once everything before it is handled.
  ASSERT_TRUE(platform::PostMessage(window, kHidEventMessage, kDeviceListChanged, 0));
  ASSERT_TRUE(WaitFor([&] { return Hid().IsReadNotifyEnabled(controller) == 1; }));

  EXPECT_TRUE(HasValues(*link));
  EXPECT_TRUE(platform::IsWindow(window));
  EXPECT_EQ(link->State(), kLinkRunning);
}

TEST_F(SimLink, AcceptedRecordReachesTheControllerAsCurveThenSettings) {
  UseLog();
  auto link = Start();
  ASSERT_TRUE(WaitFor([&] { return HasValues(*link); }));
  const PedalConfigRecord record = DistinctRecord();
  ASSERT_EQ(SendPedalConfig(&record, link.get(), true, true, true), 0);

  PedalConfigRecord refused = record;
  refused.throttleCurve[19] = 100.1f;
  EXPECT_EQ(SendPedalConfig(&refused, link.get(), true, true, true), -1);
  refused = record;
  refused.brakeCurve[3] = 101;
  EXPECT_EQ(SendPedalConfig(&refused, link.get(), true, false, false), -1);
  // Unchecked, the same brake point goes as 202; it closes the log, so the refusals are seen
  // to have sent nothing in between.
  ASSERT_EQ(SendPedalConfig(&refused, link.get(), false, false, false), 0);

  ASSERT_TRUE(WaitFor([&] { return ReadLog(scenario.logPath).size() >= 4; }));
  link.reset();  // what was queued is written before the library lets go
  const std::vector<LoggedReport> log = ReadLog(scenario.logPath);
  ASSERT_EQ(log.size(), 4u);
  const std::size_t length = log[0].bytes.size();
  ASSERT_GE(length, 44u);
  const ReportBuffer expected[] = {
      BuildThrottleCurveReport(record), BuildPedalSettingsReport(record, true),
      BuildThrottleCurveReport(refused), BuildPedalSettingsReport(refused, false)};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(log[i].device, "controller") << i;
    EXPECT_EQ(log[i].bytes, Leading(expected[i], length)) << i;
  }
  EXPECT_EQ(log[3].bytes[19 + 3], 202);
}

TEST_F(SimLink, SentConfigurationComesBackInTheMirror) {
  auto link = Start();
  ASSERT_TRUE(WaitFor([&] { return HasValues(*link); }));
  const PedalConfigRecord record = DistinctRecord();
  ASSERT_EQ(SendPedalConfig(&record, link.get(), true, true, false), 0);
  PedalConfigRecord mirror;
  EXPECT_TRUE(WaitFor([&] { return link->CopyDeviceConfig(&mirror) && mirror == record; }))
      << "mirror throttle dz_0 " << int(mirror.throttleDz0);
}

TEST_F(SimLink, DisplayShowsBrakeValueAndPresetAndBlanks) {
  UseLog();
  scenario.display = "0";
  auto link = Start();
  UpdateSegmentDisplay(75, 0);
  UpdateSegmentDisplay(5, 2);
  BlankSegmentDisplay();
  ASSERT_TRUE(WaitFor([&] { return ReadLog(scenario.logPath).size() >= 3; }));
  const std::vector<LoggedReport> log = ReadLog(scenario.logPath);
  ASSERT_EQ(log.size(), 3u);
  const std::vector<std::uint8_t> expected[] = {{0x00, 0x04, 0x6D, 0x07, 0x04},
                                                {0x00, 0x04, 0x6D, 0x3F, 0x01},
                                                {0x00, 0x04, 0x00, 0x00, 0x00}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log[i].device, "display") << i;
    ASSERT_GE(log[i].bytes.size(), 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(log[i].bytes.begin(), log[i].bytes.begin() + 5),
              expected[i])
        << i;
  }
}

TEST_F(SimLink, StartAndStopHundredTimesLeavesNoThread) {
  scenario.rate = 1000;
  const int threads = testing::ThreadCount();
  for (int i = 0; i < 100; ++i) {
    auto link = Start();
    ASSERT_EQ(link->State(), kLinkRunning) << i;
  }
  // The library's own threads end just after their stop returns; on a busy machine that is
  // seen. None may stay.
  EXPECT_TRUE(WaitFor([&] { return testing::ThreadCount() == threads; })) << testing::ThreadCount();
}

// The hidden window cannot be made: the link fails, never connects, and stops at once.
TEST(SimLinkLifetime, StoppingALinkWhoseWindowFailed) {
  EXPECT_IN_FRESH_PROCESS([]() -> std::string {
    SimScenario{}.Apply();
    if (LoadHidLibrary() != 0) return "not loaded";
    if (std::string failure = testing::StartAndStopWithoutWindow(); !failure.empty())
      return failure;
    // Connected, the library would know the controller that is attached from the start.
    return HidLibrary()->GetItemCount() == 0 ? "" : "connected without a window";
  });
}

}  // namespace
}  // namespace devlink
