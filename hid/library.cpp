// Device registry, watcher thread and event posting of the HID access library.
#include "hid/library.h"

#include <algorithm>
#include <cstdio>

#include "platform/message_window.h"

namespace orvo::hid {

namespace {
constexpr std::uint16_t kOurVendorId = 0x0444;
constexpr std::uint16_t kPedalsProductId = 0x22A5;
constexpr std::uint16_t kDisplayUnitProductId = 0xB1A5;
}  // namespace

bool IsOurDevice(std::uint16_t vendorId, std::uint16_t productId) {
  return vendorId == kOurVendorId &&
         (productId == kPedalsProductId || productId == kDisplayUnitProductId);
}

Library::Library(BackendFactory factory) : factory_(factory) {}

Library::~Library() { Disconnect(); }

bool Library::Connect(McHidWindow window) {
  std::lock_guard lifecycle(lifecycleMutex_);
  if (connected_) return window == window_.load();
  if (window == 0 || !platform::IsWindow(window)) return false;
  try {
    backend_ = factory_();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "libmcHID: cannot start: %s\n", e.what());
    backend_.reset();
  }
  if (!backend_) return false;
  window_ = window;
  {
    std::lock_guard lock(watchMutex_);
    watchStop_ = false;
    pollNow_ = false;
  }
  // Devices attached already are known when Connect returns.
  try {
    Poll();
    watcher_ = std::thread(&Library::WatcherLoop, this);
  } catch (const std::exception&) {
    CloseAll();
    return false;
  }
  connected_ = true;
  return true;
}

void Library::Disconnect() {
  std::lock_guard lifecycle(lifecycleMutex_);
  if (!connected_) return;
  {
    std::lock_guard lock(watchMutex_);
    watchStop_ = true;
  }
  watchWake_.notify_all();
  if (watcher_.joinable()) watcher_.join();

  CloseAll();
  connected_ = false;
}

void Library::CloseAll() {
  std::vector<std::shared_ptr<Device>> devices;
  {
    std::lock_guard lock(registryMutex_);
    devices.swap(attached_);
  }
  // Stop them all first so their waits overlap, then join each.
  for (const auto& device : devices) device->RequestStop();
  for (const auto& device : devices) device->Shutdown();
  Retire(devices);
  backend_.reset();
  refused_.clear();
  window_ = 0;
}

McHidHandle Library::GetItem(int index) const {
  std::lock_guard lock(registryMutex_);
  if (index < 0 || static_cast<std::size_t>(index) >= attached_.size()) return 0;
  return attached_[static_cast<std::size_t>(index)]->Handle();
}

int Library::GetItemCount() const {
  std::lock_guard lock(registryMutex_);
  return static_cast<int>(attached_.size());
}

McHidHandle Library::GetHandle(int vendorId, int productId) const {
  std::lock_guard lock(registryMutex_);
  for (const auto& device : attached_) {
    if (device->Info().vendorId == vendorId && device->Info().productId == productId)
      return device->Handle();
  }
  return 0;
}

std::shared_ptr<Device> Library::Find(McHidHandle handle) const {
  std::lock_guard lock(registryMutex_);
  auto it = known_.find(handle);
  return it == known_.end() ? nullptr : it->second;
}

std::shared_ptr<Device> Library::FindAttached(McHidHandle handle) const {
  auto device = Find(handle);
  return device && device->Attached() ? device : nullptr;
}

void Library::WatcherLoop() {
  const auto interval = backend_->PollInterval();
  std::unique_lock lock(watchMutex_);
  for (;;) {
    watchWake_.wait_for(lock, interval, [this] { return watchStop_ || pollNow_; });
    if (watchStop_) return;
    pollNow_ = false;
    lock.unlock();
    try {
      Poll();
    } catch (const std::exception& e) {
      // Out of memory or threads: try again on the next round rather than end the watcher.
      std::fprintf(stderr, "libmcHID: device scan failed: %s\n", e.what());
    }
    lock.lock();
  }
}

void Library::Poll() {
  std::vector<DeviceInfo> found = backend_->Enumerate();
  const auto isFound = [&found](const std::string& path) {
    return std::any_of(found.begin(), found.end(),
                       [&](const DeviceInfo& d) { return d.path == path; });
  };

  std::vector<std::shared_ptr<Device>> gone;
  std::vector<std::string> keptPaths;
  {
    std::lock_guard lock(registryMutex_);
    auto firstGone = std::stable_partition(
        attached_.begin(), attached_.end(),
        [&](const auto& device) { return !device->Failed() && isFound(device->Info().path); });
    gone.assign(firstGone, attached_.end());
    attached_.erase(firstGone, attached_.end());
    for (const auto& device : attached_) keptPaths.push_back(device->Info().path);
  }
  // Each device's threads end before its unplug is told, so no report of it follows event 2.
  for (const auto& device : gone) device->RequestStop();
  for (const auto& device : gone) {
    device->Shutdown();
    PostEvent(MCHID_UNPLUGGED, device->Handle(), 1);
  }
  Retire(gone);

  std::erase_if(refused_, [&](const std::string& path) { return !isFound(path); });
  bool added = false;
  for (DeviceInfo& info : found) {
    if (std::find(keptPaths.begin(), keptPaths.end(), info.path) != keptPaths.end()) continue;
    std::unique_ptr<DeviceConnection> connection;
    if (IsOurDevice(info.vendorId, info.productId)) {
      std::string error;
      connection = backend_->Open(info, error);
      if (!connection) {
        // A device we may not open counts as absent; say so once, not on every poll.
        if (!error.empty() && refused_.insert(info.path).second) {
          std::fprintf(stderr, "libmcHID: %04x:%04x at %s ignored: %s\n", info.vendorId,
                       info.productId, info.path.c_str(), error.c_str());
        }
        continue;
      }
    } else {
      // Listed, never opened: it has no reports here.
      info.inputReportLength = 0;
      info.outputReportLength = 0;
    }
    refused_.erase(info.path);
    keptPaths.push_back(info.path);
    McHidHandle handle;
    {
      std::lock_guard lock(registryMutex_);
      handle = ++lastHandle_;
      auto device = std::make_shared<Device>(handle, std::move(info), std::move(connection),
                                             static_cast<DeviceEvents*>(this));
      attached_.push_back(device);
      known_.emplace(handle, std::move(device));
    }
    PostEvent(MCHID_PLUGGED, handle, 1);
    added = true;
  }
  if (added || !gone.empty()) PostEvent(MCHID_CHANGED, 0, 1);
}

void Library::Retire(const std::vector<std::shared_ptr<Device>>& gone) {
  std::lock_guard lock(registryMutex_);
  for (const auto& device : gone) detached_.push_back(device->Handle());
  while (detached_.size() > kDetachedKept) {
    known_.erase(detached_.front());
    detached_.pop_front();
  }
}

void Library::PostEvent(std::uint32_t event, McHidHandle handle, std::size_t count) {
  const McHidWindow window = window_.load();
  if (window != 0)
    platform::PostMessages(window, MCHID_EVENT_MESSAGE, event, static_cast<std::intptr_t>(handle),
                           count);
}

void Library::DeviceFailed() {
  {
    std::lock_guard lock(watchMutex_);
    pollNow_ = true;
  }
  watchWake_.notify_all();
}

}  // namespace orvo::hid
