// Test helpers: an HID access library loaded by path as the device link loads it, and a
// message window on its own thread that records the library's events.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/mchid_entry_points.h"
#include "platform/message_window.h"

namespace orvo::hid::test {

// The twenty entry points, looked up with dlsym in a library opened with dlopen.
struct McHidApi : McHidEntryPoints {
  explicit McHidApi(const std::string& path);
  ~McHidApi();
  McHidApi(const McHidApi&) = delete;
  McHidApi& operator=(const McHidApi&) = delete;

  bool Loaded() const { return module != nullptr && missing.empty(); }

  void* module = nullptr;
  std::string error;    // dlerror of a failed dlopen
  std::string missing;  // entry points the library lacks
};

struct HidEvent {
  std::uintptr_t event = 0;
  McHidHandle handle = 0;
};

// A message window owned by a thread of its own, like the device link's hidden window.
// Events of the library are recorded in arrival order. With a reader set, each MCHID_READ is
// answered on that thread by a Read into a zeroed 128-byte buffer, as the device link does.
class EventWindow {
 public:
  using Report = std::vector<std::uint8_t>;

  EventWindow();
  ~EventWindow();
  EventWindow(const EventWindow&) = delete;
  EventWindow& operator=(const EventWindow&) = delete;

  platform::WindowHandle Handle() const { return window_; }

  // api: not owned; must outlive the window or be reset with nullptr first.
  void ReadOnEvent(McHidApi* api);

  // Waits until test holds for the events and reports so far. @returns whether it did.
  bool WaitFor(
      const std::function<bool(const std::vector<HidEvent>&, const std::vector<Report>&)>& test,
      std::chrono::milliseconds timeout);
  std::vector<HidEvent> Events() const;
  std::vector<Report> Reports() const;
  // MCHID_READ events answered by a Read that found nothing.
  std::size_t EmptyReads() const;
  // Holds the window's thread (as a long handler would) until Resume; messages wait in its queue.
  void Pause();
  void Resume();
  // Number of events recorded before a marker that was posted after everything sent so far.
  std::size_t EventsBeforeMarker();

 private:
  static std::intptr_t Procedure(platform::WindowHandle window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam);
  void OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void Run();

  std::thread thread_;
  platform::WindowHandle window_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool ready_ = false;
  McHidApi* api_ = nullptr;  // not owned
  std::vector<HidEvent> events_;
  std::vector<Report> reports_;
  std::size_t emptyReads_ = 0;
  std::size_t markersSeen_ = 0;
  bool paused_ = false;
  std::size_t eventsAtMarker_ = 0;
};

// Threads of this process, counted in /proc/self/task.
std::size_t ThreadCount();
// ThreadCount once it is down to expected, or after a second. A joined thread may stay listed
// for a moment while the kernel finishes its exit.
std::size_t ThreadCountSettledAt(std::size_t expected);

// Input report bytes 1 to 12, value index 0 to 5, low byte first.
unsigned ReportValue(const EventWindow::Report& report, int index);

}  // namespace orvo::hid::test
