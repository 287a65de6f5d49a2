// The device link: a thread with a hidden message window that follows the pedal controller and
// keeps, under one lock, a mirror of its last input report.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "devlink/controller_reports.h"
#include "devlink/hid_library.h"
#include "hid/mchid.h"
#include "platform/message_window.h"

namespace devlink {

// Posted by the HID library to the hidden window: wParam the event, lParam the device handle.
// The ids are the library's own (hid/mchid.h).
inline constexpr std::uint32_t kHidEventMessage = MCHID_EVENT_MESSAGE;
inline constexpr std::uintptr_t kDevicePlugged = MCHID_PLUGGED;
inline constexpr std::uintptr_t kDeviceUnplugged = MCHID_UNPLUGGED;
inline constexpr std::uintptr_t kDeviceListChanged = MCHID_CHANGED;
inline constexpr std::uintptr_t kInputReportReady = MCHID_READ;

inline constexpr const char* kHiddenWindowClass = "orvopedalsWClass";
inline constexpr const char* kHiddenWindowTitle = "orvopedalsSys";

// Link states.
inline constexpr int kLinkEnded = 0;
inline constexpr int kLinkStarting = 1;
inline constexpr int kLinkRunning = 2;
inline constexpr int kLinkFailed = 3;  // no window, or no thread

// Receives the messages of a hidden window.
class CMyWnd {
 public:
  virtual ~CMyWnd() = default;
  virtual std::intptr_t HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) = 0;
};

// The lock shared by the link thread and the UI thread; usable with std::lock_guard.
class CTLCriticalSection {
 public:
  virtual ~CTLCriticalSection() = default;
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};

class Process : public CMyWnd {
 public:
  // Starts the link thread and returns once its window exists (state 2) or could not be made
  // (state 3); connects to the HID library only in state 2.
  Process();
  // Disconnects, closes the window and returns only after the link thread has ended.
  ~Process() override;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Passes kHidEventMessage on to OnHidNotify and ignores every other message; returns 0.
  std::intptr_t HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) override;

  // Handles one HID library event on the link thread. @returns 1 for events 1 to 4, else 0.
  int OnHidNotify(McHidHandle handle, std::uintptr_t event);

  // Copies the six live values into values (six ints). @returns 0, or -1 when values is null or
  // no input report has been parsed since the start or the controller's last unplug.
  int GetLivePedalValues(std::int32_t* values) const;

  // Copies the configuration the controller last reported. @returns false, leaving out
  // untouched, when out is null or there is no valid report.
  bool CopyDeviceConfig(PedalConfigRecord* out) const;

  // True once an input report has been parsed since the start or the controller's last unplug.
  bool HasValidReport() const;

  int State() const { return state_.load(); }
  // The hidden window, 0 while there is none.
  platform::WindowHandle HiddenWindow() const { return window_.load(); }

 private:
  static void HiddenWindowThread(Process* link);
  void RunHiddenWindow();
  void SetState(int state);
  void SignalThreadEnd();

  HidLibraryUse libraryUse_;
  std::atomic<int> state_{kLinkEnded};
  std::atomic<int> runFlag_{0};
  std::thread thread_;
  std::atomic<platform::WindowHandle> window_{0};
  const HidLibraryTable* connectedTo_ = nullptr;  // set when Connect succeeded; UI thread only

  // Start and end of the link thread, for the constructor's and the destructor's waits.
  std::mutex signalMutex_;
  std::condition_variable signal_;
  bool threadEnded_ = false;  // guarded by signalMutex_

  // Guarded by lock_: the valid flag, the mirror and the live values.
  mutable CTLCriticalSection lock_;
  bool valid_ = false;
  PedalConfigRecord mirror_{};
  LivePedalValues values_{};
};

}  // namespace devlink
