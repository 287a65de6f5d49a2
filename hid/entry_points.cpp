// The twenty C entry points of libmcHID.so over the library state; the backend is whichever
// one the library was linked with.
#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

#include "hid/library.h"
#include "hid/mchid.h"

namespace orvo::hid {
namespace {

Library& TheLibrary() {
  // Destroyed when the library is unloaded; that disconnects a caller who forgot to.
  static Library library(&CreateBackend);
  return library;
}

// No exception may cross the C boundary: any failure inside gives the failure value.
template <typename Result, typename Body>
Result Guarded(Result failure, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

// Copies UTF-8 text cut to fit size bytes with its NUL, never splitting a character.
int CopyText(const std::string& source, char* text, int size) {
  if (text == nullptr || size <= 0) return 0;
  std::size_t length = std::min(source.size(), static_cast<std::size_t>(size - 1));
  if (length < source.size()) {
    while (length > 0 && (static_cast<unsigned char>(source[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(text, source.data(), length);
  text[length] = '\0';
  return static_cast<int>(length);
}

// Answers from a device's record, attached or recently gone; failure for an unknown handle.
template <typename Result, typename Field>
Result FromInfo(McHidHandle handle, Result failure, Field field) noexcept {
  return Guarded(failure, [&]() -> Result {
    auto device = TheLibrary().Find(handle);
    return device ? field(device->Info()) : failure;
  });
}

int ReadReport(McHidHandle handle, uint8_t* buffer) {
  if (buffer == nullptr) return 0;
  auto device = TheLibrary().Find(handle);
  if (!device) return 0;
  // A caller that reads without notification gets the reports from its first call on.
  device->StartReading();
  return device->TakeReport(buffer) ? 1 : 0;
}

int WriteReport(McHidHandle handle, const uint8_t* buffer) {
  if (buffer == nullptr) return 0;
  auto device = TheLibrary().FindAttached(handle);
  return device && device->QueueOutput(buffer) ? 1 : 0;
}

}  // namespace
}  // namespace orvo::hid

using orvo::hid::DeviceInfo;
using orvo::hid::FromInfo;
using orvo::hid::Guarded;
using orvo::hid::TheLibrary;

extern "C" {

int Connect(McHidWindow window) {
  return Guarded(0, [&] { return TheLibrary().Connect(window) ? 1 : 0; });
}

int Disconnect(void) {
  return Guarded(1, [] {
    TheLibrary().Disconnect();
    return 1;
  });
}

McHidHandle GetItem(int index) {
  return Guarded<McHidHandle>(0, [&] { return TheLibrary().GetItem(index); });
}

int GetItemCount(void) {
  return Guarded(0, [] { return TheLibrary().GetItemCount(); });
}

int Read(McHidHandle handle, uint8_t* buffer) {
  return Guarded(0, [&] { return orvo::hid::ReadReport(handle, buffer); });
}

int Write(McHidHandle handle, const uint8_t* buffer) {
  return Guarded(0, [&] { return orvo::hid::WriteReport(handle, buffer); });
}

int ReadEx(int vendorId, int productId, uint8_t* buffer) {
  return Guarded(0, [&] {
    return orvo::hid::ReadReport(TheLibrary().GetHandle(vendorId, productId), buffer);
  });
}

int WriteEx(int vendorId, int productId, const uint8_t* buffer) {
  return Guarded(0, [&] {
    return orvo::hid::WriteReport(TheLibrary().GetHandle(vendorId, productId), buffer);
  });
}

McHidHandle GetHandle(int vendorId, int productId) {
  return Guarded<McHidHandle>(0, [&] { return TheLibrary().GetHandle(vendorId, productId); });
}

int GetVendorID(McHidHandle handle) {
  return FromInfo(handle, 0, [](const DeviceInfo& info) { return int{info.vendorId}; });
}

int GetProductID(McHidHandle handle) {
  return FromInfo(handle, 0, [](const DeviceInfo& info) { return int{info.productId}; });
}

int GetVersion(McHidHandle handle) {
  return FromInfo(handle, 0, [](const DeviceInfo& info) { return int{info.version}; });
}

int GetVendorName(McHidHandle handle, char* text, int size) {
  return FromInfo(handle, 0, [&](const DeviceInfo& info) {
    return orvo::hid::CopyText(info.vendorName, text, size);
  });
}

int GetProductName(McHidHandle handle, char* text, int size) {
  return FromInfo(handle, 0, [&](const DeviceInfo& info) {
    return orvo::hid::CopyText(info.productName, text, size);
  });
}

int GetSerialNumber(McHidHandle handle, char* text, int size) {
  return FromInfo(handle, 0, [&](const DeviceInfo& info) {
    return orvo::hid::CopyText(info.serialNumber, text, size);
  });
}

int GetInputReportLength(McHidHandle handle) {
  return FromInfo(handle, 0, [](const DeviceInfo& info) { return info.inputReportLength; });
}

int GetOutputReportLength(McHidHandle handle) {
  return FromInfo(handle, 0, [](const DeviceInfo& info) { return info.outputReportLength; });
}

int SetReadNotify(McHidHandle handle, int enabled) {
  return Guarded(0, [&] {
    auto device = TheLibrary().FindAttached(handle);
    if (!device) return 0;
    if (enabled != 0 && !device->StartReading()) return 0;
    return device->SetNotify(enabled != 0) ? 1 : 0;
  });
}

int IsReadNotifyEnabled(McHidHandle handle) {
  return Guarded(0, [&] {
    auto device = TheLibrary().FindAttached(handle);
    return device && device->NotifyEnabled() ? 1 : 0;
  });
}

int IsAvailable(int vendorId, int productId) {
  return Guarded(0, [&] { return TheLibrary().GetHandle(vendorId, productId) != 0 ? 1 : 0; });
}

}  // extern "C"
