// The HID access library's state behind its C entry points: the device registry, the watcher
// thread that follows plugging and unplugging, and the events posted to the Connect window.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "hid/backend.h"
#include "hid/device.h"
#include "hid/mchid.h"

namespace orvo::hid {

class Library final : private DeviceEvents {
 public:
  using BackendFactory = std::unique_ptr<Backend> (*)();

  // Records of devices that went are kept this long (in devices), so a handle from an unplug
  // event still tells its ids.
  static constexpr std::size_t kDetachedKept = 64;

  explicit Library(BackendFactory factory);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // See mchid.h for each operation's contract.
  bool Connect(McHidWindow window);
  void Disconnect();

  McHidHandle GetItem(int index) const;
  int GetItemCount() const;
  McHidHandle GetHandle(int vendorId, int productId) const;

  // The device of a handle, attached or recently gone; nullptr when unknown.
  std::shared_ptr<Device> Find(McHidHandle handle) const;
  // The device of a handle while it is attached; nullptr otherwise.
  std::shared_ptr<Device> FindAttached(McHidHandle handle) const;

 private:
  void WatcherLoop();
  // Compares the backend's device list with ours and posts the events for the difference.
  // Runs on the watcher thread, or in Connect before the watcher starts.
  void Poll();
  // Closes every device and the backend; the caller holds lifecycleMutex_ and no watcher runs.
  void CloseAll();
  // Moves devices that went into the kept records, forgetting the oldest beyond kDetachedKept.
  void Retire(const std::vector<std::shared_ptr<Device>>& gone);

  void PostEvent(std::uint32_t event, McHidHandle handle, std::size_t count) override;
  void DeviceFailed() override;

  const BackendFactory factory_;

  // Serialises Connect and Disconnect.
  std::mutex lifecycleMutex_;
  bool connected_ = false;
  std::atomic<McHidWindow> window_{0};
  std::unique_ptr<Backend> backend_;  // while connected; used by the watcher only
  std::thread watcher_;

  std::mutex watchMutex_;
  std::condition_variable watchWake_;
  bool watchStop_ = false;
  bool pollNow_ = false;

  // Paths that could not be opened, so each is reported once until it goes (watcher only).
  std::set<std::string> refused_;

  // Guards the registry below.
  mutable std::mutex registryMutex_;
  McHidHandle lastHandle_ = 0;  // handles only grow, so none is reused while loaded
  std::vector<std::shared_ptr<Device>> attached_;                   // in the order they appeared
  std::deque<McHidHandle> detached_;                                // oldest first
  std::unordered_map<McHidHandle, std::shared_ptr<Device>> known_;  // attached and kept
};

}  // namespace orvo::hid
