// A device's reader against a connection that sends a report every millisecond, as the
// controller does: every report arrives once and in order, and the reader does not wake for
// each one.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "hid/device.h"

namespace orvo::hid {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kReportLength = 9;

// Numbers its reports 0, 1, 2 ... in bytes 1 and 2, one due each millisecond, and counts the
// reads that found none due and had to wait for one.
class PacedConnection final : public DeviceConnection {
 public:
  int Read(std::uint8_t* buffer, std::size_t size, milliseconds timeout) override {
    const Clock::time_point now = Clock::now();
    if (now < due_) {
      if (timeout.count() == 0) return 0;
      ++waits_;
      if (due_ > now + timeout) {
        std::this_thread::sleep_for(timeout);
        return 0;
      }
      std::this_thread::sleep_until(due_);
    }
    due_ += milliseconds(1);
    std::fill(buffer, buffer + std::min<std::size_t>(size, kReportLength), 0);
    buffer[1] = static_cast<std::uint8_t>(sent_ & 0xFF);
    buffer[2] = static_cast<std::uint8_t>(sent_ >> 8);
    ++sent_;
    return kReportLength;
  }
  int Write(const std::uint8_t*, std::size_t length) override { return static_cast<int>(length); }

  // Read by the test only after the reader has stopped.
  int waits() const { return waits_; }

 private:
  Clock::time_point due_ = Clock::now();
  int sent_ = 0;
  int waits_ = 0;
};

// Takes each announced report at once, as the device link does.
class Taker final : public DeviceEvents {
 public:
  void PostEvent(std::uint32_t event, McHidHandle, std::size_t count) override {
    if (event != MCHID_READ) return;
    std::uint8_t buffer[MCHID_BUFFER_SIZE] = {};
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count; ++i) {
      if (device_ != nullptr && device_->TakeReport(buffer)) {
        numbers_.push_back(buffer[1] | buffer[2] << 8);
      } else {
        ++emptyAnnouncements_;
      }
    }
    changed_.notify_all();
  }
  void DeviceFailed() override {}

  void Attach(Device* device) {
    std::lock_guard lock(mutex_);
    device_ = device;
  }
  bool WaitForReports(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(30),
                             [&] { return numbers_.size() >= count; });
  }
  std::vector<int> Numbers() {
    std::lock_guard lock(mutex_);
    return numbers_;
  }
  int EmptyAnnouncements() {
    std::lock_guard lock(mutex_);
    return emptyAnnouncements_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Device* device_ = nullptr;
  std::vector<int> numbers_;
  int emptyAnnouncements_ = 0;
};

TEST(DeviceReaderTest, ReportsEveryMillisecondArriveInOrderWithoutAWakeUpForEach) {
  constexpr std::size_t kReports = 300;
  DeviceInfo info;
  info.path = "paced";
  info.inputReportLength = kReportLength;
  auto connection = std::make_unique<PacedConnection>();
  PacedConnection* paced = connection.get();
  Taker taker;
  Device device(1, info, std::move(connection), &taker);
  taker.Attach(&device);
  ASSERT_TRUE(device.SetNotify(true));
  ASSERT_TRUE(device.StartReading());
  ASSERT_TRUE(taker.WaitForReports(kReports));
  device.Shutdown();

  const std::vector<int> numbers = taker.Numbers();
  for (std::size_t i = 0; i < numbers.size(); ++i) ASSERT_EQ(numbers[i], static_cast<int>(i));
  EXPECT_EQ(taker.EmptyAnnouncements(), 0) << "every announcement finds its report";
  // A reader that waits for each report waits once per report. One that lets them gather waits
  // at most once per gathering, whatever the load (a slower reader only gathers more).
  EXPECT_LT(paced->waits(), static_cast<int>(numbers.size()) / 3)
      << paced->waits() << " waits for " << numbers.size() << " reports";
}

}  // namespace
}  // namespace orvo::hid
