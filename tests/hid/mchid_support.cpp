// Test helpers: loading an HID access library by path, and an event-recording message window.
#include "mchid_support.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>

namespace orvo::hid::test {
namespace {

constexpr std::uint32_t kMarkerMessage = platform::WM_APP + 1;
constexpr std::uint32_t kPauseMessage = platform::WM_APP + 2;
constexpr const char* kClassName = "orvoHidTestWindow";

std::mutex windowsMutex;
std::map<platform::WindowHandle, EventWindow*> windows;  // EventWindow owns its entry

}  // namespace

McHidApi::McHidApi(const std::string& path) {
  module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    error = dlerror();
    return;
  }
  missing = Fill([this](const char* entryPoint) { return dlsym(module, entryPoint); });
}

McHidApi::~McHidApi() {
  if (module == nullptr) return;
  if (Disconnect != nullptr) Disconnect();
  dlclose(module);
}

EventWindow::EventWindow() {
  platform::RegisterClass(kClassName, &EventWindow::Procedure);
  thread_ = std::thread(&EventWindow::Run, this);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return ready_; });
}

EventWindow::~EventWindow() {
  if (window_ != 0) platform::PostMessage(window_, platform::WM_CLOSE, 0, 0);
  thread_.join();
}

void EventWindow::Run() {
  const platform::WindowHandle window = platform::CreateWindow(kClassName, "orvoHidTest");
  {
    std::lock_guard registry(windowsMutex);
    windows[window] = this;
  }
  {
    std::lock_guard lock(mutex_);
    window_ = window;
    ready_ = true;
  }
  changed_.notify_all();
  if (window == 0) return;
  platform::Message message;
  while (platform::GetMessage(&message, window, 0, 0) > 0) platform::DispatchMessage(&message);
  std::lock_guard registry(windowsMutex);
  windows.erase(window);
}

std::intptr_t EventWindow::Procedure(platform::WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == platform::WM_DESTROY) {
    platform::PostQuitMessage(0);
    return 0;
  }
  EventWindow* owner = nullptr;
  {
    std::lock_guard registry(windowsMutex);
    auto it = windows.find(window);
    if (it != windows.end()) owner = it->second;
  }
  if (owner != nullptr) owner->OnMessage(message, wParam, lParam);
  return platform::DefWindowProc(window, message, wParam, lParam);
}

void EventWindow::OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (message == kPauseMessage) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !paused_; });
    return;
  }
  if (message == kMarkerMessage) {
    std::lock_guard lock(mutex_);
    ++markersSeen_;
    eventsAtMarker_ = events_.size();
    changed_.notify_all();
    return;
  }
  if (message != MCHID_EVENT_MESSAGE) return;
  const auto handle = static_cast<McHidHandle>(lParam);
  McHidApi* api;
  {
    std::lock_guard lock(mutex_);
    events_.push_back(HidEvent{wParam, handle});
    api = api_;
  }
  if (wParam == MCHID_READ && api != nullptr) {
    Report report(MCHID_BUFFER_SIZE, 0);
    const bool found = api->Read(handle, report.data()) == 1;
    std::lock_guard lock(mutex_);
    if (found) {
      reports_.push_back(std::move(report));
    } else {
      ++emptyReads_;
    }
  }
  changed_.notify_all();
}

void EventWindow::ReadOnEvent(McHidApi* api) {
  std::lock_guard lock(mutex_);
  api_ = api;
}

bool EventWindow::WaitFor(
    const std::function<bool(const std::vector<HidEvent>&, const std::vector<Report>&)>& test,
    std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return test(events_, reports_); });
}

std::vector<HidEvent> EventWindow::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<EventWindow::Report> EventWindow::Reports() const {
  std::lock_guard lock(mutex_);
  return reports_;
}

void EventWindow::Pause() {
  {
    std::lock_guard lock(mutex_);
    paused_ = true;
  }
  platform::PostMessage(window_, kPauseMessage, 0, 0);
}

void EventWindow::Resume() {
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
  }
  changed_.notify_all();
}

std::size_t EventWindow::EmptyReads() const {
  std::lock_guard lock(mutex_);
  return emptyReads_;
}

std::size_t EventWindow::EventsBeforeMarker() {
  std::unique_lock lock(mutex_);
  const std::size_t wanted = markersSeen_ + 1;
  platform::PostMessage(window_, kMarkerMessage, 0, 0);
  changed_.wait(lock, [&] { return markersSeen_ >= wanted; });
  return eventsAtMarker_;
}

std::size_t ThreadCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    ++count;
  return count;
}

std::size_t ThreadCountSettledAt(std::size_t expected) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  std::size_t count = ThreadCount();
  while (count > expected && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    count = ThreadCount();
  }
  return count;
}

unsigned ReportValue(const EventWindow::Report& report, int index) {
  return report.at(1 + index * 2) | (report.at(2 + index * 2) << 8);
}

}  // namespace orvo::hid::test
