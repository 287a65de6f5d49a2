// The link's fault handling, driven through the real loading path with a fake HID library
// whose reads, devices and timing the tests decide.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "devlink/device_output.h"
#include "devlink/hid_library.h"
#include "devlink/process.h"
#include "tests/devlink/fake_mchid_control.h"
#include "tests/devlink/link_test_support.h"

namespace devlink {
namespace {

using testing::LibraryExport;
using testing::WaitFor;

// The fake's controls, looked up once the link has loaded it.
struct Fake {
  FakeHidResetFn reset = LibraryExport<FakeHidResetFn>("FakeHidReset");
  FakeHidPostFn post = LibraryExport<FakeHidPostFn>("FakeHidPost");
  FakeHidSetControllerFn setController =
      LibraryExport<FakeHidSetControllerFn>("FakeHidSetController");
  FakeHidSetReportFn setReport = LibraryExport<FakeHidSetReportFn>("FakeHidSetReport");
  FakeHidSetReadDelayFn setReadDelay = LibraryExport<FakeHidSetReadDelayFn>("FakeHidSetReadDelay");
  FakeHidReadsInProgressFn readsInProgress =
      LibraryExport<FakeHidReadsInProgressFn>("FakeHidReadsInProgress");
  FakeHidCallsFn calls = LibraryExport<FakeHidCallsFn>("FakeHidCalls");
  FakeHidWriteCountFn writeCount = LibraryExport<FakeHidWriteCountFn>("FakeHidWriteCount");

  bool Complete() const {
    return reset && post && setController && setReport && setReadDelay && readsInProgress &&
           calls && writeCount;
  }

  // Posts an event and waits until the link has handled it and everything posted before it: a
  // list change behind it makes the link ask for the controller's handle.
  bool PostAndWait(std::uintptr_t event, std::uint32_t handle) {
    const int asked = calls("GetHandle");
    return post(kHidEventMessage, event, handle) && post(kHidEventMessage, kDeviceListChanged, 0) &&
           WaitFor([&] { return calls("GetHandle") > asked; });
  }
};

// An input report whose live values and record are all nonzero, told apart by base.
ReportBuffer InputReport(std::uint8_t base) {
  ReportBuffer report{};
  for (std::size_t i = 1; i < 63; ++i) report[i] = static_cast<std::uint8_t>(base + i);
  return report;
}

LivePedalValues ValuesOf(const ReportBuffer& report) {
  LivePedalValues values{};
  PedalConfigRecord record;
  ParseInputReport(report, values, record);
  return values;
}

class FakeLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadHidLibrary(), 0) << "the fake libmcHID.so is not on LD_LIBRARY_PATH";
    fake = Fake{};
    ASSERT_TRUE(fake.Complete());
    fake.reset();
  }
  Fake fake;
};

TEST_F(FakeLink, FailedReadIsNotTakenForAReport) {
  Process link;
  ASSERT_EQ(link.State(), kLinkRunning);
  fake.setReport(InputReport(10).data(), 0);
  ASSERT_TRUE(fake.PostAndWait(kInputReportReady, kFakeController));
  EXPECT_EQ(fake.calls("Read"), 1);
  std::int32_t values[6] = {};
  EXPECT_EQ(link.GetLivePedalValues(values), -1);
  PedalConfigRecord record;
  EXPECT_FALSE(link.CopyDeviceConfig(&record));
}

TEST_F(FakeLink, FailedReadKeepsTheLastReport) {
  Process link;
  const ReportBuffer good = InputReport(10);
  fake.setReport(good.data(), 1);
  ASSERT_TRUE(fake.PostAndWait(kInputReportReady, kFakeController));
  fake.setReport(InputReport(50).data(), 0);
  ASSERT_TRUE(fake.PostAndWait(kInputReportReady, kFakeController));

  LivePedalValues values{};
  ASSERT_EQ(link.GetLivePedalValues(values.data()), 0);
  EXPECT_EQ(values, ValuesOf(good));
}

// An unplug between testing the valid flag and copying would hand out the cleared mirror as
// valid data; the link's event handler is driven straight from a second thread to race it.
TEST_F(FakeLink, UnplugNeverHandsOutTheClearedMirrorAsValid) {
  Process link;
  fake.setReport(InputReport(10).data(), 1);
  std::atomic<bool> stop{false};
  std::thread events([&] {
    while (!stop) {
      link.OnHidNotify(kFakeController, kInputReportReady);
      link.OnHidNotify(kFakeController, kDeviceUnplugged);
    }
  });
  int valid = 0, invalid = 0, zeroValues = 0, zeroRecords = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end && (valid < 20000 || invalid < 20000)) {
    LivePedalValues values{};
    if (link.GetLivePedalValues(values.data()) == 0) {
      ++valid;
      if (values[0] == 0) ++zeroValues;
    } else {
      ++invalid;
    }
    PedalConfigRecord record;
    if (link.CopyDeviceConfig(&record) && record.throttleDz0 == 0) ++zeroRecords;
  }
  stop = true;
  events.join();
  EXPECT_GT(valid, 0);
  EXPECT_GT(invalid, 0);
  EXPECT_EQ(zeroValues, 0);
  EXPECT_EQ(zeroRecords, 0);
}

TEST_F(FakeLink, UnplugOfAnotherDeviceKeepsTheReport) {
  Process link;
  const ReportBuffer good = InputReport(10);
  fake.setReport(good.data(), 1);
  ASSERT_TRUE(fake.PostAndWait(kInputReportReady, kFakeController));
  ASSERT_TRUE(fake.PostAndWait(kDeviceUnplugged, kFakeDisplay));
  ASSERT_TRUE(fake.PostAndWait(kDeviceUnplugged, kFakeStranger));
  LivePedalValues values{};
  ASSERT_EQ(link.GetLivePedalValues(values.data()), 0);
  EXPECT_EQ(values, ValuesOf(good));

  ASSERT_TRUE(fake.PostAndWait(kDeviceUnplugged, kFakeController));
  EXPECT_EQ(link.GetLivePedalValues(values.data()), -1);
}

TEST_F(FakeLink, ListChangeEnablesReadsOnlyForAnAttachedController) {
  Process link;
  fake.setController(0);
  ASSERT_TRUE(fake.PostAndWait(kDeviceListChanged, 0));
  EXPECT_EQ(fake.calls("SetReadNotify"), 0);
  fake.setController(1);
  ASSERT_TRUE(fake.PostAndWait(kDeviceListChanged, 0));
  EXPECT_GE(fake.calls("SetReadNotify"), 1);
}

// The link thread may be inside the library when the link stops; the destructor must not
// return, past its warning delay too, until the thread is done with the link.
TEST_F(FakeLink, StopWaitsForAHandlerThatIsStillRunning) {
  auto link = std::make_unique<Process>();
  fake.setReport(InputReport(10).data(), 1);
  fake.setReadDelay(5600);
  ASSERT_TRUE(fake.post(kHidEventMessage, kInputReportReady, kFakeController));
  ASSERT_TRUE(WaitFor([&] { return fake.readsInProgress() == 1; }));
  const int threads = testing::ThreadCount();
  link.reset();
  EXPECT_EQ(fake.readsInProgress(), 0);
  EXPECT_TRUE(WaitFor([&] { return testing::ThreadCount() == threads - 1; }))
      << testing::ThreadCount();
}

TEST_F(FakeLink, ThrottlePointsThatCannotBeConvertedSendNothing) {
  Process link;
  fake.setReport(InputReport(10).data(), 1);
  ASSERT_TRUE(fake.PostAndWait(kInputReportReady, kFakeController));
  PedalConfigRecord record;
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity(), -1.0f}) {
    record.throttleCurve[0] = bad;
    EXPECT_EQ(SendPedalConfig(&record, &link, false, false, false), -1) << bad;
  }
  EXPECT_EQ(fake.writeCount(), 0);
  record.throttleCurve[0] = 100.0f;
  EXPECT_EQ(SendPedalConfig(&record, &link, false, false, false), 0);
  EXPECT_EQ(fake.writeCount(), 2);
}

// Loading again when a link stops would rewrite the table under a running link thread. One
// load, one table, one release at exit: after the release the library is gone from the
// process, so no second load was ever holding it.
TEST(FakeLinkLibrary, LoadsOnceAndReleasesOnceAfterTheLinks) {
  EXPECT_IN_FRESH_PROCESS([]() -> std::string {
    if (LoadHidLibrary() != 0) return "not loaded";
    const HidLibraryTable* table = HidLibrary();
    const HidLibraryTable first = *table;
    for (int i = 0; i < 3; ++i) {
      Process link;
      if (link.State() != kLinkRunning) return "link not running";
    }
    if (LoadHidLibrary() != 0 || HidLibrary() != table || !(*table == first))
      return "table changed";
    if (LibraryExport<FakeHidCallsFn>("FakeHidCalls")("Connect") != 3) return "connect count";
    if (LibraryExport<FakeHidCallsFn>("FakeHidCalls")("Disconnect") != 3) return "disconnect count";
    FreeHidLibrary();
    if (HidLibrary() != nullptr) return "table still handed out";
    if (dlopen(kHidLibraryName, RTLD_NOW | RTLD_NOLOAD) != nullptr)
      return "library loaded more than once";
    if (LoadHidLibrary() != 1) return "loaded again after the release";
    Process late;  // runs with no device
    std::int32_t values[6];
    return late.GetLivePedalValues(values) == -1 ? "" : "late link has data";
  });
}

// At exit a link that still runs may be inside the library: the release leaves it mapped.
TEST(FakeLinkLibrary, ReleaseWhileALinkRunsKeepsTheLibraryMapped) {
  EXPECT_IN_FRESH_PROCESS([]() -> std::string {
    Process link;
    if (HidLibrary() == nullptr) return "not loaded";
    FreeHidLibrary();
    void* still = dlopen(kHidLibraryName, RTLD_NOW | RTLD_NOLOAD);
    if (still == nullptr) return "library unmapped under a running link";
    dlclose(still);
    return "";
  });
}

// The window class cannot be registered (taken by another procedure): state 3, no Connect,
// and stopping posts nothing and returns.
TEST(FakeLinkLifetime, WindowFailureSkipsConnectAndStops) {
  EXPECT_IN_FRESH_PROCESS([]() -> std::string {
    if (LoadHidLibrary() != 0) return "not loaded";
    if (std::string failure = testing::StartAndStopWithoutWindow(); !failure.empty())
      return failure;
    auto calls = LibraryExport<FakeHidCallsFn>("FakeHidCalls");
    return calls("Connect") == 0 && calls("Disconnect") == 0 ? "" : "library called";
  });
}

// With no room for a thread's stack the link cannot start: state 3 at once, no wait.
TEST(FakeLinkLifetime, ThreadThatCannotStartFailsWithoutWaiting) {
  EXPECT_IN_FRESH_PROCESS([]() -> std::string {
    if (LoadHidLibrary() != 0) return "not loaded";
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                         (2u << 20);  // 2 MiB spare
    const rlimit tight{limit, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &tight) != 0) return "setrlimit";
    int state = -1;
    {
      Process link;
      state = link.State();
    }
    if (state != kLinkFailed) return "state " + std::to_string(state);
    return LibraryExport<FakeHidCallsFn>("FakeHidCalls")("Connect") == 0 ? "" : "connected";
  });
}

}  // namespace
}  // namespace devlink
