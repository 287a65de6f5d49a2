// The library's machinery over a scripted backend: devices it may not open, writers that
// stall, devices that fail while being read.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "hid/library.h"
#include "mchid_support.h"

namespace orvo::hid {
namespace {

using std::chrono::milliseconds;
using test::EventWindow;
using test::HidEvent;

constexpr milliseconds kPatience{3000};

// What the scripted backend shows; tests change it while the library runs.
struct World {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<DeviceInfo> devices;
  std::set<std::string> denied;   // Open fails with "Permission denied"
  std::set<std::string> failing;  // Read fails, as when the node goes
  std::set<std::string> opened;   // every path Open was asked for
  bool writesStalled = false;
  int written = 0;
};

World* world = nullptr;  // the running test's; not owned

class ScriptedConnection final : public DeviceConnection {
 public:
  explicit ScriptedConnection(std::string path) : path_(std::move(path)) {}
  int Read(std::uint8_t* buffer, std::size_t size, milliseconds timeout) override {
    {
      std::lock_guard lock(world->mutex);
      if (world->failing.count(path_) != 0) return -1;
    }
    std::this_thread::sleep_for(std::min(timeout, milliseconds(5)));
    std::fill(buffer, buffer + std::min<std::size_t>(size, 9), 0x11);
    buffer[0] = 0;
    return 9;
  }
  int Write(const std::uint8_t*, std::size_t length) override {
    std::unique_lock lock(world->mutex);
    world->changed.wait(lock, [] { return !world->writesStalled; });
    ++world->written;
    world->changed.notify_all();
    return static_cast<int>(length);
  }

 private:
  const std::string path_;
};

class ScriptedBackend final : public Backend {
 public:
  std::vector<DeviceInfo> Enumerate() override {
    std::lock_guard lock(world->mutex);
    return world->devices;
  }
  std::unique_ptr<DeviceConnection> Open(const DeviceInfo& device, std::string& error) override {
    std::lock_guard lock(world->mutex);
    world->opened.insert(device.path);
    if (world->denied.count(device.path) != 0) {
      error = "Permission denied";
      return nullptr;
    }
    return std::make_unique<ScriptedConnection>(device.path);
  }
  milliseconds PollInterval() const override { return milliseconds(10); }
};

std::unique_ptr<Backend> MakeScripted() { return std::make_unique<ScriptedBackend>(); }

DeviceInfo Device(const std::string& path, std::uint16_t product) {
  DeviceInfo info;
  info.path = path;
  info.vendorId = 0x0444;
  info.productId = product;
  info.inputReportLength = 9;
  info.outputReportLength = 9;
  return info;
}

class LibraryCoreTest : public ::testing::Test {
 protected:
  void SetUp() override { world = &state; }
  void TearDown() override {
    {
      std::lock_guard lock(state.mutex);
      state.writesStalled = false;
    }
    state.changed.notify_all();
    library.Disconnect();
    world = nullptr;
  }

  std::vector<std::uintptr_t> DeviceEvents() {
    std::vector<std::uintptr_t> codes;
    for (const HidEvent& e : window.Events()) {
      if (e.event != MCHID_READ) codes.push_back(e.event);
    }
    return codes;
  }

  World state;
  EventWindow window;
  Library library{&MakeScripted};
};

TEST_F(LibraryCoreTest, DeviceWithoutPermissionIsAbsentAndToldOnce) {
  state.devices = {Device("/dev/hidraw3", 0x22A5)};
  state.denied = {"/dev/hidraw3"};
  testing::internal::CaptureStderr();
  ASSERT_TRUE(library.Connect(window.Handle()));
  std::this_thread::sleep_for(milliseconds(200));  // about twenty polls
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_EQ(library.GetItemCount(), 0);
  EXPECT_EQ(library.GetHandle(0x0444, 0x22A5), 0u);
  EXPECT_TRUE(window.Events().empty());
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_NE(told.find("/dev/hidraw3"), std::string::npos) << told;
  EXPECT_NE(told.find("Permission denied"), std::string::npos) << told;

  // Access granted (the udev rule took effect): the device appears.
  {
    std::lock_guard lock(state.mutex);
    state.denied.clear();
  }
  EXPECT_TRUE(window.WaitFor([](const auto& events, const auto&) { return events.size() >= 2; },
                             kPatience));
  EXPECT_EQ(DeviceEvents(), (std::vector<std::uintptr_t>{MCHID_PLUGGED, MCHID_CHANGED}));
  EXPECT_NE(library.GetHandle(0x0444, 0x22A5), 0u);
}

// The user may open many HID devices (keyboards, mice, security keys); only ours are opened,
// and the others are listed from their enumeration data, without a word on stderr.
TEST_F(LibraryCoreTest, OnlyOurDevicesAreOpenedOthersAreListedFromEnumeration) {
  DeviceInfo keyboard = Device("/dev/hidraw5", 0xC31C);
  keyboard.vendorId = 0x046D;
  keyboard.vendorName = "Logitech";
  keyboard.productName = "USB Keyboard";
  keyboard.version = 0x6401;
  DeviceInfo securityKey = Device("/dev/hidraw6", 0x0407);
  securityKey.vendorId = 0x1050;
  // A device of our vendor that is not ours counts as another device.
  const DeviceInfo otherOfOurs = Device("/dev/hidraw7", 0x1234);
  state.devices = {Device("/dev/hidraw0", 0x22A5), keyboard, securityKey, otherOfOurs,
                   Device("/dev/hidraw1", 0xB1A5)};
  state.denied = {"/dev/hidraw6", "/dev/hidraw7"};
  testing::internal::CaptureStderr();
  ASSERT_TRUE(library.Connect(window.Handle()));
  std::this_thread::sleep_for(milliseconds(100));  // some polls
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  {
    std::lock_guard lock(state.mutex);
    EXPECT_EQ(state.opened, (std::set<std::string>{"/dev/hidraw0", "/dev/hidraw1"}));
  }
  ASSERT_EQ(library.GetItemCount(), 5);
  EXPECT_EQ(DeviceEvents(),
            (std::vector<std::uintptr_t>{MCHID_PLUGGED, MCHID_PLUGGED, MCHID_PLUGGED, MCHID_PLUGGED,
                                         MCHID_PLUGGED, MCHID_CHANGED}));

  const McHidHandle handle = library.GetItem(1);
  ASSERT_EQ(library.GetHandle(0x046D, 0xC31C), handle);
  auto listed = library.FindAttached(handle);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->Info().vendorName, "Logitech");
  EXPECT_EQ(listed->Info().productName, "USB Keyboard");
  EXPECT_EQ(listed->Info().version, 0x6401);
  EXPECT_EQ(listed->Info().inputReportLength, 0);
  EXPECT_EQ(listed->Info().outputReportLength, 0);
  EXPECT_FALSE(listed->StartReading());
  EXPECT_FALSE(listed->SetNotify(true));
  EXPECT_FALSE(listed->NotifyEnabled());
  const std::uint8_t report[MCHID_BUFFER_SIZE] = {};
  EXPECT_FALSE(listed->QueueOutput(report));
  std::uint8_t buffer[MCHID_BUFFER_SIZE] = {0x5A};
  EXPECT_FALSE(listed->TakeReport(buffer));
  EXPECT_EQ(buffer[0], 0x5A);
  // Ours are opened as before.
  auto pedals = library.FindAttached(library.GetHandle(0x0444, 0x22A5));
  ASSERT_NE(pedals, nullptr);
  EXPECT_TRUE(pedals->StartReading());
  EXPECT_TRUE(pedals->QueueOutput(report));

  // Unplugged, a listed device goes as any other does.
  {
    std::lock_guard lock(state.mutex);
    std::erase_if(state.devices, [](const DeviceInfo& d) { return d.path == "/dev/hidraw5"; });
  }
  ASSERT_TRUE(window.WaitFor([&](const auto&, const auto&) { return library.GetItemCount() == 4; },
                             kPatience));
  EXPECT_EQ(library.FindAttached(handle), nullptr);
  EXPECT_EQ(library.Find(handle)->Info().productId, 0xC31C);
}

TEST_F(LibraryCoreTest, WriteNeverWaitsForAStalledDeviceAndFailsWhenTheQueueIsFull) {
  state.devices = {Device("/dev/hidraw1", 0xB1A5)};
  state.writesStalled = true;
  ASSERT_TRUE(library.Connect(window.Handle()));
  auto device = library.FindAttached(library.GetHandle(0x0444, 0xB1A5));
  ASSERT_NE(device, nullptr);

  const std::uint8_t report[MCHID_BUFFER_SIZE] = {0x00, 0x04};
  int queued = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) queued += device->QueueOutput(report) ? 1 : 0;
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(500))
      << "a write waited for the device";
  // The writer holds one in the stalled write; the queue holds the rest.
  EXPECT_GE(queued, static_cast<int>(Device::kOutputQueueSize));
  EXPECT_LE(queued, static_cast<int>(Device::kOutputQueueSize) + 1);

  {
    std::lock_guard lock(state.mutex);
    state.writesStalled = false;
  }
  state.changed.notify_all();
  std::unique_lock lock(state.mutex);
  EXPECT_TRUE(state.changed.wait_for(lock, kPatience, [&] { return state.written == queued; }))
      << "queued reports lost: " << state.written << " of " << queued;
  lock.unlock();
  EXPECT_TRUE(device->QueueOutput(report)) << "room again once the device took them";
}

TEST_F(LibraryCoreTest, DeviceThatFailsIsDroppedAndFoundAgain) {
  state.devices = {Device("/dev/hidraw2", 0x22A5)};
  ASSERT_TRUE(library.Connect(window.Handle()));
  const McHidHandle first = library.GetHandle(0x0444, 0x22A5);
  ASSERT_NE(library.FindAttached(first), nullptr);
  ASSERT_TRUE(library.FindAttached(first)->StartReading());
  {
    std::lock_guard lock(state.mutex);
    state.failing.insert("/dev/hidraw2");
  }
  ASSERT_TRUE(window.WaitFor([](const auto& events, const auto&) { return events.size() >= 4; },
                             kPatience));
  {
    std::lock_guard lock(state.mutex);
    state.failing.clear();
  }
  // Still listed, so it comes back as a new attachment with a new handle.
  ASSERT_TRUE(window.WaitFor(
      [&](const auto&, const auto&) { return library.GetHandle(0x0444, 0x22A5) != 0; }, kPatience));
  EXPECT_NE(library.GetHandle(0x0444, 0x22A5), first);
  const auto events = window.Events();
  EXPECT_EQ(events[2].event, MCHID_UNPLUGGED);
  EXPECT_EQ(events[2].handle, first);
  EXPECT_EQ(library.Find(first)->Info().productId, 0x22A5) << "ids kept after it went";
}

}  // namespace
}  // namespace orvo::hid
