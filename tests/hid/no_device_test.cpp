// Both builds of the HID access library with no device of ours attached: connecting, the
// window rules, threads that end, and bad arguments.
#include <gtest/gtest.h>

#include <cstdlib>

#include "mchid_support.h"

namespace orvo::hid::test {
namespace {

constexpr int kVendor = 0x0444;
constexpr int kController = 0x22A5;
constexpr int kDisplay = 0xB1A5;
constexpr McHidHandle kUnknownHandle = 0xFFFFFFF0u;

struct Build {
  const char* name;
  const char* path;
};

void PrintTo(const Build& build, std::ostream* out) { *out << build.name; }

class NoDeviceTest : public ::testing::TestWithParam<Build> {
 protected:
  static McHidApi& Api(const char* path) {
    // One load per build for the whole run, as a program loads it once.
    static McHidApi sim(ORVO_SIM_LIB);
    static McHidApi real(ORVO_HID_LIB);
    return std::string(path) == ORVO_SIM_LIB ? sim : real;
  }

  void SetUp() override {
    ASSERT_TRUE(api.Loaded()) << api.error << " missing: " << api.missing;
    setenv("ORVO_SIM_CONTROLLER", "none", 1);
    setenv("ORVO_SIM_DISPLAY", "none", 1);
    setenv("ORVO_SIM_STATE", "", 1);
    unsetenv("ORVO_SIM_LOG");
  }
  void TearDown() override { api.Disconnect(); }

  // A developer's machine may have the real pedals plugged in; these tests need none.
  bool PedalsPresent() {
    return api.IsAvailable(kVendor, kController) || api.IsAvailable(kVendor, kDisplay);
  }

  McHidApi& api = Api(GetParam().path);
  EventWindow window;
};

TEST_P(NoDeviceTest, ConnectsAndReportsNoDevice) {
  const std::size_t threadsBefore = ThreadCount();
  ASSERT_EQ(api.Connect(window.Handle()), 1);
  if (PedalsPresent()) GTEST_SKIP() << "pedals attached";
  EXPECT_EQ(api.GetHandle(kVendor, kController), 0u);
  EXPECT_EQ(api.IsAvailable(kVendor, kController), 0);

  std::uint8_t report[MCHID_BUFFER_SIZE] = {0, 0x04};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(api.WriteEx(kVendor, kDisplay, report), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100))
      << "WriteEx must not wait";
  EXPECT_EQ(api.ReadEx(kVendor, kController, report), 0);

  EXPECT_EQ(api.Disconnect(), 1);
  EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
}

TEST_P(NoDeviceTest, ConnectAcceptsOneLiveWindow) {
  EXPECT_EQ(api.Connect(0), 0) << "null window";
  EventWindow other;
  const platform::WindowHandle gone = [] {
    EventWindow closed;
    return closed.Handle();
  }();
  EXPECT_EQ(api.Connect(gone), 0) << "window already destroyed";

  ASSERT_EQ(api.Connect(window.Handle()), 1);
  EXPECT_EQ(api.Connect(window.Handle()), 1) << "same window again";
  EXPECT_EQ(api.Connect(other.Handle()), 0) << "another window while connected";
  EXPECT_EQ(api.Disconnect(), 1);
  EXPECT_EQ(api.Disconnect(), 1) << "not connected any more";
  EXPECT_EQ(api.Connect(other.Handle()), 1) << "after Disconnect";
}

// Run under valgrind too (see CMakeLists.txt): no leak may be left by the cycles.
TEST_P(NoDeviceTest, HundredConnectCyclesLeaveNoThread) {
  const std::size_t threadsBefore = ThreadCount();
  for (int cycle = 0; cycle < 100; ++cycle) {
    ASSERT_EQ(api.Connect(window.Handle()), 1) << "cycle " << cycle;
    ASSERT_EQ(api.Disconnect(), 1);
  }
  EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
}

// Every entry point with null buffers and unknown handles, connected or not.
TEST_P(NoDeviceTest, BadArgumentsGiveFailureValues) {
  for (bool connected : {false, true}) {
    SCOPED_TRACE(connected ? "connected" : "not connected");
    if (connected) {
      ASSERT_EQ(api.Connect(window.Handle()), 1);
    }
    std::uint8_t buffer[MCHID_BUFFER_SIZE] = {};
    char text[8] = "x";
    for (McHidHandle handle : {McHidHandle{0}, kUnknownHandle}) {
      EXPECT_EQ(api.Read(handle, buffer), 0);
      EXPECT_EQ(api.Read(handle, nullptr), 0);
      EXPECT_EQ(api.Write(handle, buffer), 0);
      EXPECT_EQ(api.Write(handle, nullptr), 0);
      EXPECT_EQ(api.GetVendorID(handle), 0);
      EXPECT_EQ(api.GetProductID(handle), 0);
      EXPECT_EQ(api.GetVersion(handle), 0);
      EXPECT_EQ(api.GetVendorName(handle, text, sizeof text), 0);
      EXPECT_EQ(api.GetProductName(handle, nullptr, 8), 0);
      EXPECT_EQ(api.GetSerialNumber(handle, text, 0), 0);
      EXPECT_EQ(api.GetInputReportLength(handle), 0);
      EXPECT_EQ(api.GetOutputReportLength(handle), 0);
      EXPECT_EQ(api.SetReadNotify(handle, 1), 0);
      EXPECT_EQ(api.IsReadNotifyEnabled(handle), 0);
    }
    EXPECT_STREQ(text, "x") << "text of an unknown handle left alone";
    for (int index : {-1, 0, 1 << 30}) EXPECT_EQ(api.GetItem(index), 0u);
    EXPECT_EQ(api.ReadEx(-1, 70000, buffer), 0);
    EXPECT_EQ(api.WriteEx(-1, 70000, buffer), 0);
    EXPECT_EQ(api.ReadEx(kVendor, kController, nullptr), 0);
    EXPECT_EQ(api.WriteEx(kVendor, kController, nullptr), 0);
    EXPECT_EQ(api.GetHandle(-1, -1), 0u);
    EXPECT_EQ(api.IsAvailable(-1, -1), 0);
    if (connected) api.Disconnect();
  }
}

INSTANTIATE_TEST_SUITE_P(Builds, NoDeviceTest,
                         ::testing::Values(Build{"Sim", ORVO_SIM_LIB},
                                           Build{"Hidapi", ORVO_HID_LIB}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orvo::hid::test
