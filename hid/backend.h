// The device interface below the HID access library: one implementation over hidapi (real
// devices) and one simulated. The library's machinery (registry, threads, events) sits above it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvo::hid {

// One attached device as enumeration sees it.
struct DeviceInfo {
  // Identifies the attachment: the same device plugged again gets another path, or the same
  // path after the old attachment was seen to go.
  std::string path;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t version = 0;  // release number (bcdDevice)
  std::string vendorName;     // UTF-8
  std::string productName;
  std::string serialNumber;
  // Report lengths in bytes with the report id byte, 0 when the device has no such report.
  int inputReportLength = 0;
  int outputReportLength = 0;
};

// An open device. Read is called by one thread (the device's reader) and Write by one other
// thread (its writer), so an implementation may keep per-direction state without locks.
class DeviceConnection {
 public:
  virtual ~DeviceConnection() = default;

  // Waits up to timeout for one input report and copies it into buffer with the report id in
  // byte 0 (0 for unnumbered reports). @returns the length copied (at most size), 0 on
  // timeout, -1 when the device failed or went.
  virtual int Read(std::uint8_t* buffer, std::size_t size, std::chrono::milliseconds timeout) = 0;

  // Sends one output report, report id in byte 0. @returns the bytes written, -1 on failure.
  virtual int Write(const std::uint8_t* report, std::size_t length) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // The devices attached now, each path once.
  virtual std::vector<DeviceInfo> Enumerate() = 0;

  // Opens a device that Enumerate listed. @returns nullptr on failure, with the reason in error;
  // an empty reason means the device has just gone, which is nothing to report.
  virtual std::unique_ptr<DeviceConnection> Open(const DeviceInfo& device, std::string& error) = 0;

  // How often the library looks for plugged and unplugged devices.
  virtual std::chrono::milliseconds PollInterval() const = 0;
};

// The devices the library opens: the pedal controller (0x0444:0x22A5) and the display unit
// (0x0444:0xB1A5). Every other device is listed from what enumeration tells alone and never
// opened, nor its descriptor read: the user may open many HID devices, none of which is ours.
bool IsOurDevice(std::uint16_t vendorId, std::uint16_t productId);

// Each build of the library defines this once: the hidapi backend or the simulated one.
// Called by Connect; the backend lives until Disconnect.
std::unique_ptr<Backend> CreateBackend();

}  // namespace orvo::hid
