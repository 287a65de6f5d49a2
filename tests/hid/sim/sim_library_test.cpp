// The simulated library as the device link uses it: plug and unplug events, input reports at
// the set rate, output reports that change (and store) the controller's configuration.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "tests/hid/mchid_support.h"
#include "tests/support/temp_folder.h"

namespace orvo::hid::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int kVendor = 0x0444;
constexpr int kController = 0x22A5;
constexpr int kDisplay = 0xB1A5;
constexpr milliseconds kPatience{3000};

// Input report bytes 13 to 62 of a controller fresh from the factory: dead zones 0/100, straight
// curves in half percent, byte 39 unused, flags 1.
// clang-format off
const std::array<std::uint8_t, 50> kFactoryConfig = {
    0, 100, 0, 100, 0, 100,                            // dead zones
    0, 20, 40, 60, 80, 100, 120, 140, 160, 180,        // throttle 0-9
    182, 184, 186, 188, 190, 192, 194, 196, 198, 200,  // throttle 10-19
    0,                                                 // unused
    0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200,   // brake
    0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200,   // clutch
    0x01};
// clang-format on

using Buffer = std::array<std::uint8_t, MCHID_BUFFER_SIZE>;

std::uint8_t Xor(const Buffer& report, std::size_t first, std::size_t last) {
  std::uint8_t check = 0;
  for (std::size_t i = first; i <= last; ++i) check ^= report[i];
  return check;
}

// Throttle curve report (0x17) from twenty points in half percent.
Buffer CurveReport(const std::array<std::uint8_t, 20>& halfPercent) {
  Buffer report{};
  report[1] = 0x17;
  std::copy(halfPercent.begin(), halfPercent.end(), report.begin() + 2);
  report[22] = Xor(report, 2, 21);
  return report;
}

// Pedal settings report (0x07) carrying config (input report layout) and the store flag.
Buffer SettingsReport(const std::array<std::uint8_t, 50>& config, std::uint8_t store) {
  Buffer report{};
  report[1] = 0x07;
  std::copy(config.begin(), config.begin() + 6, report.begin() + 2);         // dead zones
  std::copy(config.begin() + 6, config.begin() + 16, report.begin() + 8);    // throttle 0-9
  report[18] = config[25];                                                   // throttle 19
  std::copy(config.begin() + 27, config.begin() + 38, report.begin() + 19);  // brake
  std::copy(config.begin() + 38, config.begin() + 49, report.begin() + 30);  // clutch
  report[41] = config[49];
  report[42] = store;
  report[43] = Xor(report, 2, 42);
  return report;
}

std::array<std::uint8_t, 20> ThrottleOf(const std::array<std::uint8_t, 50>& config) {
  std::array<std::uint8_t, 20> points{};
  std::copy(config.begin() + 6, config.begin() + 26, points.begin());
  return points;
}

std::array<std::uint8_t, 50> ConfigOf(const EventWindow::Report& report) {
  std::array<std::uint8_t, 50> config{};
  std::copy(report.begin() + 13, report.begin() + 63, config.begin());
  return config;
}

// A configuration unlike the factory one in every field the reports carry.
std::array<std::uint8_t, 50> CustomConfig() {
  std::array<std::uint8_t, 50> config = kFactoryConfig;
  const std::array<std::uint8_t, 6> deadZones = {5, 95, 3, 80, 2, 90};
  std::copy(deadZones.begin(), deadZones.end(), config.begin());
  for (std::size_t i = 0; i < 20; ++i) config[6 + i] = static_cast<std::uint8_t>(10 + i * 9);
  for (std::size_t i = 0; i < 11; ++i) {
    config[27 + i] = static_cast<std::uint8_t>(200 - i * 18);
    config[38 + i] = static_cast<std::uint8_t>(i * 16);
  }
  config[49] = 0x0F;
  return config;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class SimLibraryTest : public ::testing::Test {
 protected:
  static McHidApi& Api() {
    static McHidApi api(ORVO_SIM_LIB);
    return api;
  }

  void SetUp() override {
    ASSERT_TRUE(api.Loaded()) << api.error << " missing: " << api.missing;
    for (const char* name :
         {"ORVO_SIM_CONTROLLER", "ORVO_SIM_DISPLAY", "ORVO_SIM_VALUES", "ORVO_SIM_RATE"}) {
      unsetenv(name);
    }
    folder.emplace("orvo-hid-test");
    directory = folder->Path();
    setenv("ORVO_SIM_STATE", (directory / "controller.state").c_str(), 1);
    setenv("ORVO_SIM_LOG", (directory / "output.log").c_str(), 1);
  }

  void TearDown() override {
    api.Disconnect();
    window.ReadOnEvent(nullptr);
    folder.reset();
  }

  // Connects and waits for the controller, with event 4 answered by a Read.
  McHidHandle ConnectController() {
    // Events of an earlier attachment still queued are handled first, so they do not pass for new.
    window.EventsBeforeMarker();
    window.ReadOnEvent(&api);
    EXPECT_EQ(api.Connect(window.Handle()), 1);
    McHidHandle handle = 0;
    window.WaitFor(
        [&](const auto&, const auto&) {
          handle = api.GetHandle(kVendor, kController);
          return handle != 0;
        },
        kPatience);
    EXPECT_NE(handle, 0u) << "controller never plugged";
    EXPECT_EQ(api.SetReadNotify(handle, 1), 1);
    return handle;
  }

  // Waits for an input report read after the call whose configuration test accepts.
  EventWindow::Report WaitForReport(
      const std::function<bool(const std::array<std::uint8_t, 50>&)>& test) {
    const std::size_t seen = window.Reports().size();
    EventWindow::Report found;
    window.WaitFor(
        [&](const auto&, const auto& reports) {
          for (std::size_t i = seen; i < reports.size(); ++i) {
            if (test(ConfigOf(reports[i]))) {
              found = reports[i];
              return true;
            }
          }
          return false;
        },
        kPatience);
    return found;
  }

  McHidApi& api = Api();
  EventWindow window;
  std::optional<test_support::TempFolder> folder;
  fs::path directory;
};

std::vector<std::uintptr_t> DeviceEventsOf(const std::vector<HidEvent>& events) {
  std::vector<std::uintptr_t> codes;
  for (const HidEvent& e : events) {
    if (e.event != MCHID_READ) codes.push_back(e.event);
  }
  return codes;
}

TEST_F(SimLibraryTest, PlugGivesPluggedThenChangedAndUnplugGivesUnpluggedThenChanged) {
  setenv("ORVO_SIM_CONTROLLER", "0.1-0.4", 1);
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  ASSERT_TRUE(window.WaitFor(
      [](const auto& events, const auto&) { return DeviceEventsOf(events).size() >= 4; },
      kPatience));
  const auto events = window.Events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].event, MCHID_PLUGGED);
  EXPECT_EQ(events[1].event, MCHID_CHANGED);
  EXPECT_EQ(events[2].event, MCHID_UNPLUGGED);
  EXPECT_EQ(events[3].event, MCHID_CHANGED);
  const McHidHandle handle = events[0].handle;
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(events[2].handle, handle);

  // The device link asks the ids of the handle in its unplug handler.
  EXPECT_EQ(api.GetVendorID(handle), kVendor);
  EXPECT_EQ(api.GetProductID(handle), kController);
  EXPECT_EQ(api.GetHandle(kVendor, kController), 0u);
  EXPECT_EQ(api.IsAvailable(kVendor, kController), 0);
  EXPECT_EQ(api.SetReadNotify(handle, 1), 0) << "gone";
}

TEST_F(SimLibraryTest, ReplugGetsAHandleNeverUsedBefore) {
  setenv("ORVO_SIM_CONTROLLER", "0-0.15,0.3", 1);
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  const McHidHandle first = api.GetHandle(kVendor, kController);
  EXPECT_NE(first, 0u) << "attached at Connect is known when Connect returns";
  ASSERT_TRUE(window.WaitFor(
      [](const auto& events, const auto&) { return DeviceEventsOf(events).size() >= 6; },
      kPatience));
  const McHidHandle second = api.GetHandle(kVendor, kController);
  EXPECT_NE(second, 0u);
  EXPECT_NE(second, first);
  EXPECT_EQ(DeviceEventsOf(window.Events()),
            (std::vector<std::uintptr_t>{MCHID_PLUGGED, MCHID_CHANGED, MCHID_UNPLUGGED,
                                         MCHID_CHANGED, MCHID_PLUGGED, MCHID_CHANGED}));
}

TEST_F(SimLibraryTest, DescribesEachDevice) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "0", 1);
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  ASSERT_EQ(api.GetItemCount(), 2);
  EXPECT_EQ(api.GetItem(2), 0u);

  struct Expected {
    int product;
    const char* name;
    int inputLength;
    int outputLength;
  };
  for (const Expected& expected : {Expected{kController, "Orvo Pedals (simulated)", 65, 65},
                                   Expected{kDisplay, "Orvo Pedals Display (simulated)", 0, 9}}) {
    SCOPED_TRACE(expected.name);
    const McHidHandle handle = api.GetHandle(kVendor, expected.product);
    ASSERT_NE(handle, 0u);
    EXPECT_TRUE(handle == api.GetItem(0) || handle == api.GetItem(1));
    EXPECT_EQ(api.GetVendorID(handle), kVendor);
    EXPECT_EQ(api.GetProductID(handle), expected.product);
    EXPECT_EQ(api.GetVersion(handle), 0x0100);
    EXPECT_EQ(api.GetInputReportLength(handle), expected.inputLength);
    EXPECT_EQ(api.GetOutputReportLength(handle), expected.outputLength);
    char text[64];
    EXPECT_EQ(api.GetProductName(handle, text, sizeof text),
              static_cast<int>(std::strlen(expected.name)));
    EXPECT_STREQ(text, expected.name);
    EXPECT_EQ(api.GetVendorName(handle, text, sizeof text), 4);
    EXPECT_STREQ(text, "Orvo");
    EXPECT_GT(api.GetSerialNumber(handle, text, sizeof text), 0);
    // Cut to fit, always terminated.
    EXPECT_EQ(api.GetProductName(handle, text, 5), 4);
    EXPECT_STREQ(text, "Orvo");
    EXPECT_EQ(api.GetProductName(handle, text, 1), 0);
    EXPECT_STREQ(text, "");
  }
}

TEST_F(SimLibraryTest, ReportsCarryLiveValuesAndTheHeldConfiguration) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_VALUES", "still:1000,40000,65535", 1);
  ConnectController();
  ASSERT_TRUE(
      window.WaitFor([](const auto&, const auto& reports) { return !reports.empty(); }, kPatience));
  const EventWindow::Report report = window.Reports().front();
  EXPECT_EQ(report[0], 0) << "unnumbered report: id 0";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ReportValue(report, i), 0u);
  EXPECT_EQ(ReportValue(report, 3), 1000u);
  EXPECT_EQ(ReportValue(report, 4), 40000u);
  EXPECT_EQ(ReportValue(report, 5), 65535u);
  EXPECT_EQ(ConfigOf(report), kFactoryConfig);
  for (std::size_t i = 65; i < report.size(); ++i)
    ASSERT_EQ(report[i], 0) << "beyond the report, byte " << i;
}

TEST_F(SimLibraryTest, DefaultScenarioPlugsTheControllerAndMovesTheThrottle) {
  unsetenv("ORVO_SIM_CONTROLLER");
  const auto start = std::chrono::steady_clock::now();
  ConnectController();
  EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(400))
      << "plugged half a second after Connect";
  ASSERT_TRUE(window.WaitFor([](const auto&, const auto& reports) { return reports.size() >= 100; },
                             kPatience));
  const auto reports = window.Reports();
  EXPECT_LT(ReportValue(reports.front(), 3), ReportValue(reports.back(), 3))
      << "throttle rising at first";
}

class SimRateTest : public SimLibraryTest, public ::testing::WithParamInterface<int> {};

TEST_P(SimRateTest, ReportsArriveAtTheConfiguredRate) {
  const int rate = GetParam();
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_RATE", std::to_string(rate).c_str(), 1);
  ConnectController();
  ASSERT_TRUE(
      window.WaitFor([](const auto&, const auto& reports) { return !reports.empty(); }, kPatience));
  const std::size_t first = window.Reports().size();
  std::this_thread::sleep_for(milliseconds(500));
  const std::size_t received = window.Reports().size() - first;
  // Plausibility, not timing: half a second gives about rate / 2.
  EXPECT_GT(received, static_cast<std::size_t>(rate * 0.3));
  EXPECT_LT(received, static_cast<std::size_t>(rate * 0.7));
}

INSTANTIATE_TEST_SUITE_P(Rates, SimRateTest, ::testing::Values(250, 1000));

TEST_F(SimLibraryTest, StoredSettingsChangeTheReportsAndSurviveAReload) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  ConnectController();
  const auto custom = CustomConfig();
  const Buffer curve = CurveReport(ThrottleOf(custom));
  const Buffer settings = SettingsReport(custom, 1);
  ASSERT_EQ(api.WriteEx(kVendor, kController, curve.data()), 1);
  ASSERT_EQ(api.WriteEx(kVendor, kController, settings.data()), 1);
  EXPECT_EQ(WaitForReport([&](const auto& config) { return config == custom; }).size(),
            MCHID_BUFFER_SIZE)
      << "reports never carried the configuration sent";

  api.Disconnect();
  EXPECT_TRUE(fs::exists(directory / "controller.state"));
  ConnectController();
  EXPECT_EQ(ConfigOf(WaitForReport([](const auto&) { return true; })), custom) << "lost on reload";
}

TEST_F(SimLibraryTest, LiveApplyIsForgottenOnReload) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  ConnectController();
  const Buffer settings = SettingsReport(CustomConfig(), 0);
  ASSERT_EQ(api.WriteEx(kVendor, kController, settings.data()), 1);
  const auto applied = WaitForReport([](const auto& config) { return config != kFactoryConfig; });
  ASSERT_FALSE(applied.empty());
  EXPECT_EQ(applied[13], 5) << "dead zone applied without storing";

  api.Disconnect();
  ConnectController();
  EXPECT_EQ(ConfigOf(WaitForReport([](const auto&) { return true; })), kFactoryConfig);
}

TEST_F(SimLibraryTest, ReportWithWrongCheckByteIsIgnoredAndLogged) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  ConnectController();
  const auto custom = CustomConfig();
  Buffer badSettings = SettingsReport(custom, 1);
  badSettings[43] ^= 0x01;
  Buffer badCurve = CurveReport(ThrottleOf(custom));
  badCurve[22] ^= 0x80;
  // A good curve report after them shows that the writer has handled the bad ones.
  std::array<std::uint8_t, 20> fence = ThrottleOf(kFactoryConfig);
  fence[5] = 77;
  ASSERT_EQ(api.WriteEx(kVendor, kController, badSettings.data()), 1);
  ASSERT_EQ(api.WriteEx(kVendor, kController, badCurve.data()), 1);
  ASSERT_EQ(api.WriteEx(kVendor, kController, CurveReport(fence).data()), 1);

  auto expected = kFactoryConfig;
  std::copy(fence.begin(), fence.end(), expected.begin() + 6);
  EXPECT_EQ(ConfigOf(WaitForReport([](const auto& config) { return config[6 + 5] == 77; })),
            expected);
  const std::string log = ReadFile(directory / "output.log");
  std::size_t refused = 0;
  for (std::size_t at = log.find("wrong check byte"); at != std::string::npos;
       at = log.find("wrong check byte", at + 1)) {
    ++refused;
  }
  EXPECT_EQ(refused, 2u) << log;
  EXPECT_FALSE(fs::exists(directory / "controller.state")) << "nothing stored";
}

TEST_F(SimLibraryTest, LogHoldsEveryOutputReportWithTimeAndDevice) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "0", 1);
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  const Buffer display = {0x00, 0x04, 0x6D, 0x07, 0x04};
  ASSERT_EQ(api.WriteEx(kVendor, kDisplay, display.data()), 1);
  ASSERT_EQ(api.WriteEx(kVendor, kController, CurveReport(ThrottleOf(kFactoryConfig)).data()), 1);
  api.Disconnect();  // sends what was queued, then closes

  std::istringstream lines(ReadFile(directory / "output.log"));
  std::vector<std::string> entries;
  for (std::string line; std::getline(lines, line);) entries.push_back(line);
  ASSERT_EQ(entries.size(), 2u);
  const auto& displayLine =
      entries[0].find(" display ") != std::string::npos ? entries[0] : entries[1];
  const auto& controllerLine = &displayLine == &entries[0] ? entries[1] : entries[0];
  EXPECT_NE(displayLine.find(" display 00 04 6d 07 04 00 00 00 00 -> "), std::string::npos)
      << displayLine;
  // The linear curve's check byte is 0xaa.
  EXPECT_NE(
      controllerLine.find(
          " controller 00 17 00 14 28 3c 50 64 78 8c a0 b4 b6 b8 ba bc be c0 c2 c4 c6 c8 aa 00"),
      std::string::npos)
      << controllerLine;
  // Local time stamp first: YYYY-MM-DDTHH:MM:SS.mmm
  std::tm parsed{};
  EXPECT_NE(strptime(entries[0].c_str(), "%Y-%m-%dT%H:%M:%S", &parsed), nullptr) << entries[0];
}

TEST_F(SimLibraryTest, SettingsReportCheckByteMatchesTheControllersTable) {
  // Dead zones 0/100, straight curves, flags 1, store flag 1.
  EXPECT_EQ(SettingsReport(kFactoryConfig, 1)[43], 0x78);
  EXPECT_EQ(CurveReport(ThrottleOf(kFactoryConfig))[22], 0xAA);
}

TEST_F(SimLibraryTest, UnreadReportsStayBoundedAndTheNewestIsKept) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_RATE", "1000", 1);
  setenv("ORVO_SIM_VALUES", "sweep:20", 1);
  const auto connected = std::chrono::steady_clock::now();
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  const McHidHandle handle = api.GetHandle(kVendor, kController);
  ASSERT_EQ(api.SetReadNotify(handle, 1), 1);
  // Nobody reads: announcements stop at 64, while reports go on arriving.
  ASSERT_TRUE(window.WaitFor(
      [](const auto& events, const auto&) { return events.size() >= 2 + 64; }, kPatience));
  std::this_thread::sleep_for(milliseconds(300));
  const std::size_t announced = window.EventsBeforeMarker() - 2;  // less plugged and changed
  EXPECT_EQ(announced, 64u) << "the window's queue grows with the reports";

  Buffer report{};
  int waiting = 0;
  while (waiting < 1000 && api.Read(handle, report.data()) == 1) ++waiting;
  EXPECT_GE(waiting, 60);
  EXPECT_LE(waiting, 66) << "64 kept, and at most a report or two more arrived while reading";
  // The throttle rises over 10 s from the plug at Connect, so it tells when the last report read
  // was made. Keeping the first 64 and dropping the rest would leave one from the first 70 ms.
  const double made =
      ReportValue(EventWindow::Report(report.begin(), report.end()), 3) / 65535.0 * 10.0;
  const double now =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - connected).count();
  EXPECT_GT(made, now - 0.15) << "newest report missing";
}

// The device link parses whatever Read leaves in its zeroed buffer, so an event without a report
// would show the pedals at zero for a moment.
TEST_F(SimLibraryTest, EveryReadEventFindsAReportAfterTheReaderFellBehind) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_RATE", "1000", 1);
  setenv("ORVO_SIM_VALUES", "still:30000", 1);
  window.ReadOnEvent(&api);
  window.Pause();
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  ASSERT_EQ(api.SetReadNotify(api.GetHandle(kVendor, kController), 1), 1);
  // The window is busy elsewhere while reports go on arriving and the oldest are dropped.
  std::this_thread::sleep_for(milliseconds(300));
  window.Resume();
  ASSERT_TRUE(window.WaitFor([](const auto&, const auto& reports) { return reports.size() >= 200; },
                             kPatience));
  EXPECT_EQ(window.EmptyReads(), 0u);
  for (const auto& report : window.Reports()) ASSERT_EQ(ReportValue(report, 3), 30000u);
}

TEST_F(SimLibraryTest, ReadWorksWithoutNotificationAndNotificationTurnsOff) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  const McHidHandle handle = ConnectController();
  ASSERT_TRUE(window.WaitFor([](const auto&, const auto& reports) { return reports.size() >= 3; },
                             kPatience));
  EXPECT_EQ(api.IsReadNotifyEnabled(handle), 1);
  ASSERT_EQ(api.SetReadNotify(handle, 0), 1);
  EXPECT_EQ(api.IsReadNotifyEnabled(handle), 0);
  const std::size_t before = window.EventsBeforeMarker();
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(window.Events().size(), before) << "announced with notification off";

  Buffer report{};
  ASSERT_EQ(api.ReadEx(kVendor, kController, report.data()), 1)
      << "reports still queue for polling";
  EXPECT_EQ(std::vector<std::uint8_t>(report.begin() + 13, report.begin() + 63),
            std::vector<std::uint8_t>(kFactoryConfig.begin(), kFactoryConfig.end()));
}

TEST_F(SimLibraryTest, DisconnectJoinsEveryThreadAndNothingIsPostedAfter) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "0", 1);
  setenv("ORVO_SIM_RATE", "1000", 1);
  const std::size_t threadsBefore = ThreadCount();
  ConnectController();
  const Buffer display = {0x00, 0x04};
  ASSERT_EQ(api.WriteEx(kVendor, kDisplay, display.data()), 1);
  ASSERT_TRUE(window.WaitFor([](const auto&, const auto& reports) { return reports.size() >= 10; },
                             kPatience));
  EXPECT_GT(ThreadCount(), threadsBefore);

  api.Disconnect();
  EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
  const std::size_t before = window.EventsBeforeMarker();
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(window.Events().size(), before);
  EXPECT_EQ(api.GetItemCount(), 0);
  EXPECT_EQ(api.WriteEx(kVendor, kDisplay, display.data()), 0);
}

// Run under valgrind too (see CMakeLists.txt).
TEST_F(SimLibraryTest, HundredConnectCyclesWithDevicesLeaveNoThread) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "0", 1);
  const std::size_t threadsBefore = ThreadCount();
  const Buffer display = {0x00, 0x04};
  for (int cycle = 0; cycle < 100; ++cycle) {
    ASSERT_EQ(api.Connect(window.Handle()), 1) << "cycle " << cycle;
    ASSERT_EQ(api.SetReadNotify(api.GetHandle(kVendor, kController), 1), 1);
    ASSERT_EQ(api.WriteEx(kVendor, kDisplay, display.data()), 1);
    ASSERT_EQ(api.Disconnect(), 1);
  }
  EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
}

TEST_F(SimLibraryTest, WriteExFailsForADeviceThatIsNotAttached) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "none", 1);
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  const Buffer display = {0x00, 0x04};
  EXPECT_EQ(api.WriteEx(kVendor, kDisplay, display.data()), 0);
  EXPECT_EQ(api.WriteEx(kVendor, kController, CurveReport(ThrottleOf(kFactoryConfig)).data()), 1);
}

TEST_F(SimLibraryTest, CallsOnAnAttachedDeviceSurviveBadArguments) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  const McHidHandle handle = ConnectController();
  EXPECT_EQ(api.Read(handle, nullptr), 0);
  EXPECT_EQ(api.Write(handle, nullptr), 0);
  EXPECT_EQ(api.ReadEx(kVendor, kController, nullptr), 0);
  EXPECT_EQ(api.WriteEx(kVendor, kController, nullptr), 0);
  EXPECT_EQ(api.GetVendorName(handle, nullptr, 10), 0);
  char text[4] = "abc";
  EXPECT_EQ(api.GetSerialNumber(handle, text, 0), 0);
  EXPECT_EQ(api.GetSerialNumber(handle, text, -5), 0);
  EXPECT_STREQ(text, "abc");
}

}  // namespace
}  // namespace orvo::hid::test
