// A fake HID access library for the link's tests: devices, reports and read failures are set by
// the test through the controls in fake_mchid_control.h. Built a second time without WriteEx
// (FAKE_MCHID_WITHOUT_WRITEEX) to stand for a library that lacks a needed entry point.
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/mchid.h"
#include "platform/message_window.h"
#include "tests/devlink/fake_mchid_control.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Written {
  int vendorId;
  int productId;
  std::uint8_t report[MCHID_BUFFER_SIZE];
};

struct FakeState {
  std::mutex mutex;
  McHidWindow window = 0;
  bool controllerAttached = true;
  std::uint8_t report[MCHID_BUFFER_SIZE] = {};
  bool readSucceeds = true;
  int readDelayMs = 0;
  std::map<std::string, int> calls;
  std::vector<Written> writes;
};

FakeState& State() {
  static FakeState state;
  return state;
}

std::atomic<int> readsInProgress{0};

void Count(const char* entryPoint) {
  std::lock_guard<std::mutex> hold(State().mutex);
  ++State().calls[entryPoint];
}

int VendorOf(McHidHandle h) {
  return h == kFakeController || h == kFakeDisplay || h == kFakeStranger ? 0x0444 : 0;
}

int ProductOf(McHidHandle h) {
  switch (h) {
    case kFakeController: return 0x22A5;
    case kFakeDisplay: return 0xB1A5;
    case kFakeStranger: return 0x1234;
    default: return 0;
  }
}

}  // namespace

FAKE_EXPORT int Connect(McHidWindow window) {
  Count("Connect");
  std::lock_guard<std::mutex> hold(State().mutex);
  State().window = window;
  return window != 0;
}

FAKE_EXPORT int Disconnect(void) {
  Count("Disconnect");
  std::lock_guard<std::mutex> hold(State().mutex);
  State().window = 0;
  return 1;
}

FAKE_EXPORT McHidHandle GetItem(int) { return 0; }
FAKE_EXPORT int GetItemCount(void) { return 0; }

FAKE_EXPORT int Read(McHidHandle handle, std::uint8_t* buffer) {
  Count("Read");
  ++readsInProgress;
  int delay;
  {
    std::lock_guard<std::mutex> hold(State().mutex);
    delay = State().readDelayMs;
  }
  if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  int result = 0;
  {
    std::lock_guard<std::mutex> hold(State().mutex);
    if (buffer != nullptr && handle == kFakeController && State().readSucceeds) {
      std::memcpy(buffer, State().report, MCHID_BUFFER_SIZE);
      result = 1;
    }
  }
  --readsInProgress;
  return result;
}

FAKE_EXPORT int Write(McHidHandle, const std::uint8_t*) { return 0; }
FAKE_EXPORT int ReadEx(int, int, std::uint8_t*) { return 0; }

#ifndef FAKE_MCHID_WITHOUT_WRITEEX
FAKE_EXPORT int WriteEx(int vendorId, int productId, const std::uint8_t* buffer) {
  Count("WriteEx");
  if (buffer == nullptr) return 0;
  Written w{vendorId, productId, {}};
  std::memcpy(w.report, buffer, MCHID_BUFFER_SIZE);
  std::lock_guard<std::mutex> hold(State().mutex);
  State().writes.push_back(w);
  return 1;
}
#endif

FAKE_EXPORT McHidHandle GetHandle(int vendorId, int productId) {
  Count("GetHandle");
  std::lock_guard<std::mutex> hold(State().mutex);
  const bool controller = vendorId == 0x0444 && productId == 0x22A5 && State().controllerAttached;
  return controller ? kFakeController : 0;
}

FAKE_EXPORT int GetVendorID(McHidHandle handle) { return VendorOf(handle); }
FAKE_EXPORT int GetProductID(McHidHandle handle) { return ProductOf(handle); }
FAKE_EXPORT int GetVersion(McHidHandle) { return 0; }
FAKE_EXPORT int GetVendorName(McHidHandle, char*, int) { return 0; }
FAKE_EXPORT int GetProductName(McHidHandle, char*, int) { return 0; }
FAKE_EXPORT int GetSerialNumber(McHidHandle, char*, int) { return 0; }
FAKE_EXPORT int GetInputReportLength(McHidHandle) { return 64; }
FAKE_EXPORT int GetOutputReportLength(McHidHandle) { return 64; }

FAKE_EXPORT int SetReadNotify(McHidHandle handle, int) {
  Count("SetReadNotify");
  return VendorOf(handle) != 0;
}

FAKE_EXPORT int IsReadNotifyEnabled(McHidHandle) { return 0; }
FAKE_EXPORT int IsAvailable(int, int) { return 0; }

// Controls.

FAKE_EXPORT void FakeHidReset() {
  std::lock_guard<std::mutex> hold(State().mutex);
  State().controllerAttached = true;
  std::memset(State().report, 0, sizeof State().report);
  State().readSucceeds = true;
  State().readDelayMs = 0;
  State().calls.clear();
  State().writes.clear();
}

FAKE_EXPORT int FakeHidPost(std::uint32_t message, std::uintptr_t event, std::uint32_t handle) {
  McHidWindow window;
  {
    std::lock_guard<std::mutex> hold(State().mutex);
    window = State().window;
  }
  return platform::PostMessage(window, message, event, static_cast<std::intptr_t>(handle)) ? 1 : 0;
}

FAKE_EXPORT void FakeHidSetController(int attached) {
  std::lock_guard<std::mutex> hold(State().mutex);
  State().controllerAttached = attached != 0;
}

FAKE_EXPORT void FakeHidSetReport(const std::uint8_t* report, int readSucceeds) {
  std::lock_guard<std::mutex> hold(State().mutex);
  std::memcpy(State().report, report, MCHID_BUFFER_SIZE);
  State().readSucceeds = readSucceeds != 0;
}

FAKE_EXPORT void FakeHidSetReadDelay(int milliseconds) {
  std::lock_guard<std::mutex> hold(State().mutex);
  State().readDelayMs = milliseconds;
}

FAKE_EXPORT int FakeHidReadsInProgress() { return readsInProgress.load(); }

FAKE_EXPORT int FakeHidCalls(const char* entryPoint) {
  std::lock_guard<std::mutex> hold(State().mutex);
  const auto it = State().calls.find(entryPoint);
  return it == State().calls.end() ? 0 : it->second;
}

FAKE_EXPORT int FakeHidWriteCount() {
  std::lock_guard<std::mutex> hold(State().mutex);
  return static_cast<int>(State().writes.size());
}

FAKE_EXPORT int FakeHidWritten(int index, int* vendorId, int* productId, std::uint8_t* report) {
  std::lock_guard<std::mutex> hold(State().mutex);
  if (index < 0 || index >= static_cast<int>(State().writes.size())) return 0;
  const Written& w = State().writes[index];
  *vendorId = w.vendorId;
  *productId = w.productId;
  std::memcpy(report, w.report, MCHID_BUFFER_SIZE);
  return 1;
}
