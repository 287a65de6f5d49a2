// One attached device of the HID access library: its open connection, the reader that queues
// its input reports and announces them, and the writer that sends its output reports.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "hid/backend.h"
#include "hid/mchid.h"

namespace orvo::hid {

// What a device tells the library; implemented by the library, which outlives every device
// thread (devices are shut down before the library lets go of them).
class DeviceEvents {
 public:
  // Posts the event count times, in one go.
  virtual void PostEvent(std::uint32_t event, McHidHandle handle, std::size_t count) = 0;
  // The device failed (it usually went): the library should look at the device list now.
  virtual void DeviceFailed() = 0;

 protected:
  ~DeviceEvents() = default;
};

struct Report {
  std::array<std::uint8_t, MCHID_BUFFER_SIZE> bytes{};
  std::size_t length = 0;
};

class Device {
 public:
  // Unread input reports kept per device; the oldest goes when a new one arrives.
  static constexpr std::size_t kInputQueueSize = 64;
  // Output reports waiting for the writer; Write fails beyond this instead of blocking.
  static constexpr std::size_t kOutputQueueSize = 16;

  // events: not owned, see DeviceEvents. A null connection makes a listed-only device: it has
  // its handle, ids and strings, and never a reader, a writer or a report.
  Device(McHidHandle handle, DeviceInfo info, std::unique_ptr<DeviceConnection> connection,
         DeviceEvents* events);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  McHidHandle Handle() const { return handle_; }
  // Stays valid after the device went, so its ids still answer.
  const DeviceInfo& Info() const { return info_; }
  bool Attached() const;
  // True once the reader saw the device fail; the library then drops it.
  bool Failed() const { return failed_.load(); }

  // Copies the oldest unread report (its own length, at most MCHID_BUFFER_SIZE bytes) into
  // buffer. @returns false, buffer untouched, when none waits.
  bool TakeReport(std::uint8_t* buffer);

  // Queues one output report of the device's output report length for the writer.
  // @returns false when the device went, is listed only, has no output report or the queue is
  // full.
  bool QueueOutput(const std::uint8_t* report);

  // Starts the reader unless it runs; it keeps running until the device goes.
  // @returns false when the device went, is listed only, or the thread could not start.
  bool StartReading();

  // Turns the announcement of each input report (MCHID_READ) on or off; turning it on also
  // announces the reports already waiting. @returns false when the device went or is listed
  // only.
  bool SetNotify(bool enabled);
  bool NotifyEnabled() const { return notify_.load(); }

  // Stops both threads without waiting; Shutdown waits.
  void RequestStop();
  // Stops and joins both threads, then closes the device. Output reports already queued are
  // sent first unless the device failed. Safe to call more than once.
  void Shutdown();

 private:
  void ReaderLoop();
  void WriterLoop();
  // Announces count reports; called without locks.
  void Announce(std::size_t count);

  const McHidHandle handle_;
  const DeviceInfo info_;
  const bool listedOnly_;       // made without a connection
  DeviceEvents* const events_;  // not owned

  // Guards stopping_, the thread objects and the connection's lifetime.
  mutable std::mutex stateMutex_;
  bool stopping_ = false;
  std::unique_ptr<DeviceConnection> connection_;
  std::thread reader_;
  std::thread writer_;
  std::atomic<bool> failed_{false};
  std::atomic<bool> readerStop_{false};
  std::atomic<bool> notify_{false};

  // Input queue. outstanding_ counts announcements not yet answered by a TakeReport, so no
  // more are posted than reports wait: the window's queue stays bounded too, and every
  // announcement finds a report.
  std::mutex inputMutex_;
  std::deque<Report> input_;
  std::size_t outstanding_ = 0;

  std::mutex outputMutex_;
  std::condition_variable outputWake_;
  std::deque<Report> output_;
  bool writerStop_ = false;
};

}  // namespace orvo::hid
