// The link thread, its hidden window and the mirror of the controller's last input report.
#include "devlink/process.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <system_error>

namespace devlink {
namespace {

constexpr int kHideWindow = 0;
// Stopping longer than this is reported; the destructor still waits for the thread to end.
constexpr auto kStopWarningDelay = std::chrono::milliseconds(5000);

// Hidden window -> its receiver. Each link thread inserts and erases only its own window; the
// lock lets several links run side by side.
class WindowObjectMap {
 public:
  void Insert(platform::WindowHandle window, CMyWnd* receiver) {
    std::lock_guard<std::mutex> hold(mutex_);
    map_[window] = receiver;
  }
  void Erase(platform::WindowHandle window) {
    std::lock_guard<std::mutex> hold(mutex_);
    map_.erase(window);
  }
  CMyWnd* Find(platform::WindowHandle window) {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto it = map_.find(window);
    return it == map_.end() ? nullptr : it->second;
  }

 private:
  std::mutex mutex_;
  std::map<platform::WindowHandle, CMyWnd*> map_;  // no ownership; each link owns itself
};

WindowObjectMap& WindowObjects() {
  static WindowObjectMap map;
  return map;
}

std::intptr_t HiddenWindowProc(platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case platform::WM_DESTROY: platform::PostQuitMessage(0); return 0;
    case platform::WM_CLOSE: platform::DestroyWindow(window); return 0;
    default:
      // The receiver is erased on this same thread, so it is alive for the call.
      if (CMyWnd* receiver = WindowObjects().Find(window))
        receiver->HandleWindowMessage(message, wParam, lParam);
      return platform::DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

Process::Process() {
  state_ = kLinkStarting;
  runFlag_ = 1;
  try {
    thread_ = std::thread(&Process::HiddenWindowThread, this);
  } catch (const std::system_error& error) {
    std::fprintf(stderr, "orvo: the device link thread cannot start: %s\n", error.what());
    runFlag_ = 0;
    state_ = kLinkFailed;
    return;
  }
  {
    std::unique_lock<std::mutex> hold(signalMutex_);
    signal_.wait(hold, [this] { return state_ != kLinkStarting; });
  }
  if (state_ != kLinkRunning || LoadHidLibrary() != 0) return;
  const HidLibraryTable* hid = HidLibrary();
  if (hid->Connect(window_) != 0)
    connectedTo_ = hid;
  else
    std::fprintf(stderr, "orvo: the HID library refused to connect\n");
}

Process::~Process() {
  if (connectedTo_) connectedTo_->Disconnect();
  if (const platform::WindowHandle window = window_)
    platform::PostMessage(window, platform::WM_CLOSE, 0, 0);
  runFlag_ = 0;
  if (!thread_.joinable()) return;
  {
    std::unique_lock<std::mutex> hold(signalMutex_);
    if (!signal_.wait_for(hold, kStopWarningDelay, [this] { return threadEnded_; })) {
      std::fprintf(stderr, "orvo: the device link thread is slow to end; still waiting\n");
      signal_.wait(hold, [this] { return threadEnded_; });
    }
  }
  thread_.join();
}

void Process::HiddenWindowThread(Process* link) {
  link->RunHiddenWindow();
  link->SignalThreadEnd();
  // Nothing of the link may be touched from here on: its destructor may already be running.
}

void Process::RunHiddenWindow() {
  if (!platform::RegisterClass(kHiddenWindowClass, &HiddenWindowProc)) {
    SetState(kLinkFailed);
    return;
  }
  const platform::WindowHandle window =
      platform::CreateWindow(kHiddenWindowClass, kHiddenWindowTitle);
  if (window == 0) {
    SetState(kLinkFailed);
    return;
  }
  WindowObjects().Insert(window, this);
  platform::ShowWindow(window, kHideWindow);
  platform::UpdateWindow(window);
  window_ = window;
  SetState(kLinkRunning);

  platform::Message message;
  while (platform::GetMessage(&message, window_, 0, 0) > 0) {
    platform::TranslateMessage(&message);
    platform::DispatchMessage(&message);
    if (!runFlag_) break;
  }

  WindowObjects().Erase(window);
  // Left without the close message being handled (run flag cleared first): destroy it here, so
  // no window outlives its link.
  if (platform::IsWindow(window)) platform::DestroyWindow(window);
  window_ = 0;
  SetState(kLinkEnded);
}

void Process::SetState(int state) {
  std::lock_guard<std::mutex> hold(signalMutex_);
  state_ = state;
  signal_.notify_all();
}

void Process::SignalThreadEnd() {
  std::lock_guard<std::mutex> hold(signalMutex_);
  threadEnded_ = true;
  signal_.notify_all();
}

std::intptr_t Process::HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                           std::intptr_t lParam) {
  if (message == kHidEventMessage) OnHidNotify(static_cast<McHidHandle>(lParam), wParam);
  return 0;
}

int Process::OnHidNotify(McHidHandle handle, std::uintptr_t event) {
  const HidLibraryTable* hid = HidLibrary();
  switch (event) {
    case kDevicePlugged: return 1;
    case kDeviceUnplugged:
      if (hid && hid->GetVendorID(handle) == kVendorId &&
          hid->GetProductID(handle) == kControllerProductId) {
        std::lock_guard<CTLCriticalSection> hold(lock_);
        valid_ = false;
        mirror_ = PedalConfigRecord{};
        values_ = LivePedalValues{};
      }
      return 1;
    case kDeviceListChanged:
      if (hid) {
        if (const McHidHandle controller = hid->GetHandle(kVendorId, kControllerProductId))
          hid->SetReadNotify(controller, 1);
      }
      return 1;
    case kInputReportReady: {
      // A failed read parses nothing: a zeroed buffer is not a report.
      ReportBuffer report{};
      if (!hid || hid->Read(handle, report.data()) == 0) return 1;
      LivePedalValues values;
      PedalConfigRecord record;
      ParseInputReport(report, values, record);
      std::lock_guard<CTLCriticalSection> hold(lock_);
      values_ = values;
      mirror_ = record;
      valid_ = true;
      return 1;
    }
    default: return 0;
  }
}

int Process::GetLivePedalValues(std::int32_t* values) const {
  if (values == nullptr) return -1;
  // The test and the copy share one hold, so an unplug cannot slip in between.
  std::lock_guard<CTLCriticalSection> hold(lock_);
  if (!valid_) return -1;
  for (std::size_t i = 0; i < values_.size(); ++i) values[i] = values_[i];
  return 0;
}

bool Process::CopyDeviceConfig(PedalConfigRecord* out) const {
  if (out == nullptr) return false;
  std::lock_guard<CTLCriticalSection> hold(lock_);
  if (!valid_) return false;
  *out = mirror_;
  return true;
}

bool Process::HasValidReport() const {
  std::lock_guard<CTLCriticalSection> hold(lock_);
  return valid_;
}

}  // namespace devlink
