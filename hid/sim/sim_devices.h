// The simulated pedal controller and display unit, seen from the device side: the input
// report the controller sends, and what each does with the output reports it receives.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "hid/sim/sim_settings.h"

namespace orvo::hid::sim {

// The simulated devices spell out their own ids, report layouts and sizes here and in
// sim_devices.cpp instead of sharing the device link's (devlink/, platform/pedal_curves.h), on
// purpose: a twin that shared the link's constants would agree with a wrong one.

inline constexpr std::uint16_t kVendorId = 0x0444;
inline constexpr std::uint16_t kControllerProductId = 0x22A5;
inline constexpr std::uint16_t kDisplayProductId = 0xB1A5;

// Report lengths with the report id byte (the reports are unnumbered: id 0).
inline constexpr int kControllerInputLength = 65;
inline constexpr int kControllerOutputLength = 65;
inline constexpr int kDisplayOutputLength = 9;

inline constexpr std::uint8_t kThrottleCurveCommand = 0x17;
inline constexpr std::uint8_t kPedalSettingsCommand = 0x07;
inline constexpr std::uint8_t kSegmentDisplayCommand = 0x04;

// Input report bytes 63-64 carry the low 16 bits of the report's creation time in CLOCK_MONOTONIC
// microseconds, so a reader can tell how long the report took to reach it.
inline constexpr std::size_t kCreationStampOffset = 63;

// The configuration the controller holds, as input report bytes 13 to 62 carry it.
using ControllerConfig = std::array<std::uint8_t, 50>;

// A line per output report received, in hex, with the time and the device. Without a file,
// only the reports that are refused are told, on stderr.
class OutputLog {
 public:
  explicit OutputLog(const std::string& path);
  ~OutputLog();
  OutputLog(const OutputLog&) = delete;
  OutputLog& operator=(const OutputLog&) = delete;

  void Record(std::string_view device, const std::uint8_t* report, std::size_t length,
              std::string_view outcome, bool refused);

 private:
  std::mutex mutex_;
  std::FILE* file_ = nullptr;  // owned
};

class SimController {
 public:
  // log: not owned; it outlives the controller.
  SimController(const SimSettings& settings, OutputLog& log);

  // A new attachment starts from the stored configuration, as a real controller does after
  // power-up.
  void PowerOn();

  // Fills kControllerInputLength bytes: report id 0, the six values for secondsSincePlug, the
  // configuration held, the creation stamp.
  void BuildInputReport(double secondsSincePlug, std::uint8_t* report) const;

  // Applies a 0x17 or 0x07 report whose check byte is right; 0x07 with store flag 1 also stores
  // the configuration. Anything else is ignored. Every report is logged.
  void ReceiveOutputReport(const std::uint8_t* report, std::size_t length);

 private:
  void LoadStored();
  void SaveStored();

  const SimSettings& settings_;  // owned by the backend, which owns this controller
  OutputLog& log_;
  mutable std::mutex mutex_;  // the reader builds reports while the writer applies them
  ControllerConfig active_{};
  ControllerConfig stored_{};
};

class SimDisplay {
 public:
  explicit SimDisplay(OutputLog& log) : log_(log) {}
  // Accepts 0x04 reports (digits and lamps); nothing is sent back.
  void ReceiveOutputReport(const std::uint8_t* report, std::size_t length);

 private:
  OutputLog& log_;  // not owned
};

// The configuration a controller leaves the factory with: no dead zones, straight curves,
// the throttle enabled.
ControllerConfig FactoryConfig();

}  // namespace orvo::hid::sim
