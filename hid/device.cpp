// One attached device: input queue with announcements, output queue with its writer.
#include "hid/device.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace orvo::hid {
namespace {

// How long the reader waits for a report before it looks at its stop flag again; this bounds
// how long Disconnect and an unplug wait for it.
constexpr std::chrono::milliseconds kReadTimeout{50};

// A controller may send a report every millisecond. Waking for each one costs far more than the
// reports are worth to a window that looks at them every few tens of milliseconds, so after a
// report the reader lets the next ones gather for this long (the kernel, or the simulation, keeps
// them in order meanwhile) and then takes what waits in one go. At 1000 reports a second that
// is twenty per wake-up, well within the 64 either side keeps, and no more than the 23 ms at
// which the window shows the values.
constexpr std::chrono::milliseconds kGatherTime{20};

}  // namespace

Device::Device(McHidHandle handle, DeviceInfo info, std::unique_ptr<DeviceConnection> connection,
               DeviceEvents* events)
    : handle_(handle),
      info_(std::move(info)),
      listedOnly_(connection == nullptr),
      events_(events),
      connection_(std::move(connection)) {}

Device::~Device() { Shutdown(); }

bool Device::Attached() const {
  std::lock_guard lock(stateMutex_);
  return !stopping_;
}

bool Device::TakeReport(std::uint8_t* buffer) {
  std::lock_guard lock(inputMutex_);
  if (outstanding_ > 0) --outstanding_;
  if (input_.empty()) {
    // Nothing waits, so no announcement is owed: a caller that let some go unanswered (or
    // polls) gets them again from the next report on.
    outstanding_ = 0;
    return false;
  }
  const Report& report = input_.front();
  std::memcpy(buffer, report.bytes.data(), report.length);
  input_.pop_front();
  return true;
}

bool Device::QueueOutput(const std::uint8_t* report) {
  const auto length =
      static_cast<std::size_t>(std::clamp(info_.outputReportLength, 0, MCHID_BUFFER_SIZE));
  if (length == 0 || listedOnly_) return false;
  std::lock_guard state(stateMutex_);
  if (stopping_) return false;
  if (!writer_.joinable()) {
    try {
      writer_ = std::thread(&Device::WriterLoop, this);
    } catch (const std::system_error&) {
      return false;
    }
  }
  {
    std::lock_guard lock(outputMutex_);
    if (output_.size() >= kOutputQueueSize) return false;
    Report& queued = output_.emplace_back();
    std::memcpy(queued.bytes.data(), report, length);
    queued.length = length;
  }
  outputWake_.notify_one();
  return true;
}

bool Device::StartReading() {
  if (listedOnly_) return false;
  std::lock_guard state(stateMutex_);
  if (stopping_) return false;
  if (reader_.joinable()) return true;
  try {
    reader_ = std::thread(&Device::ReaderLoop, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool Device::SetNotify(bool enabled) {
  if (listedOnly_ || !Attached()) return false;
  std::size_t backlog = 0;
  {
    std::lock_guard lock(inputMutex_);
    const bool wasEnabled = notify_.exchange(enabled);
    if (enabled && !wasEnabled && input_.size() > outstanding_) {
      backlog = input_.size() - outstanding_;
      outstanding_ = input_.size();
    }
  }
  Announce(backlog);
  return true;
}

void Device::Announce(std::size_t count) {
  if (count > 0) events_->PostEvent(MCHID_READ, handle_, count);
}

void Device::ReaderLoop() {
  Report report;
  while (!readerStop_.load()) {
    // The first report is waited for; those behind it only taken while they are there, and
    // never more than the queue holds, so a device that always has one cannot keep the reader.
    std::size_t announce = 0;
    std::chrono::milliseconds wait = kReadTimeout;
    for (std::size_t taken = 0; taken < kInputQueueSize && !readerStop_.load(); ++taken) {
      const int length = connection_->Read(report.bytes.data(), report.bytes.size(), wait);
      if (length < 0) {
        Announce(announce);
        failed_ = true;
        events_->DeviceFailed();
        return;
      }
      if (length == 0) break;
      wait = std::chrono::milliseconds(0);
      report.length = std::min<std::size_t>(static_cast<std::size_t>(length), report.bytes.size());
      {
        std::lock_guard lock(inputMutex_);
        if (input_.size() >= kInputQueueSize) input_.pop_front();
        input_.push_back(report);
        if (notify_.load() && outstanding_ < input_.size()) {
          ++outstanding_;
          ++announce;
        }
      }
      report.bytes.fill(0);
    }
    Announce(announce);
    if (wait.count() == 0 && !readerStop_.load()) std::this_thread::sleep_for(kGatherTime);
  }
}

void Device::WriterLoop() {
  std::unique_lock lock(outputMutex_);
  for (;;) {
    outputWake_.wait(lock, [this] { return writerStop_ || !output_.empty(); });
    // A failed device takes nothing more; otherwise what was queued before the stop still goes,
    // so a last report written just before Disconnect reaches the device.
    if (output_.empty() || failed_.load()) return;
    Report report = output_.front();
    output_.pop_front();
    lock.unlock();
    connection_->Write(report.bytes.data(), report.length);
    lock.lock();
  }
}

void Device::RequestStop() {
  {
    std::lock_guard state(stateMutex_);
    stopping_ = true;
  }
  readerStop_ = true;
  {
    std::lock_guard lock(outputMutex_);
    writerStop_ = true;
  }
  outputWake_.notify_all();
}

void Device::Shutdown() {
  RequestStop();
  // stopping_ is set, so no thread starts any more; the thread objects are ours alone now.
  if (reader_.joinable()) reader_.join();
  if (writer_.joinable()) writer_.join();
  std::lock_guard state(stateMutex_);
  connection_.reset();
}

}  // namespace orvo::hid
