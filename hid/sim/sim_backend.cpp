// The simulated backend: the controller and display unit come and go on the scenario's
// timeline, and the controller sends input reports at the configured rate.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "hid/backend.h"
#include "hid/sim/sim_devices.h"
#include "hid/sim/sim_settings.h"

namespace orvo::hid::sim {
namespace {

using Clock = std::chrono::steady_clock;

// Plugging is seen within 50 ms; each look at the timeline costs next to nothing.
constexpr std::chrono::milliseconds kPollInterval{50};
constexpr const char* kPathPrefix = "sim:";
// Input reports kept for a reader that has not taken them yet, as the kernel keeps them.
constexpr int kKeptReports = 64;

enum class Kind { kController, kDisplay };

struct Attachment {
  Kind kind;
  std::size_t index;  // into the device's plug intervals
};

class SimBackend;

// One attachment of a simulated device; it fails once its plug interval is over.
class SimConnection final : public DeviceConnection {
 public:
  SimConnection(SimBackend& backend, Kind kind, Clock::time_point plugged,
                Clock::time_point unplugged);
  int Read(std::uint8_t* buffer, std::size_t size, std::chrono::milliseconds timeout) override;
  int Write(const std::uint8_t* report, std::size_t length) override;

 private:
  SimBackend& backend_;  // outlives its connections: the library closes them first
  const Kind kind_;
  const Clock::time_point plugged_;
  const Clock::time_point unplugged_;
  const Clock::duration period_;
  Clock::time_point nextReport_;  // reader thread only
};

class SimBackend final : public Backend {
 public:
  explicit SimBackend(SimSettings settings)
      : settings_(std::move(settings)),
        log_(settings_.logPath),
        controller_(settings_, log_),
        display_(log_) {}

  std::vector<DeviceInfo> Enumerate() override {
    std::vector<DeviceInfo> devices;
    const double now = Elapsed();
    for (Kind kind : {Kind::kController, Kind::kDisplay}) {
      const auto& plugs = Plugs(kind);
      for (std::size_t i = 0; i < plugs.size(); ++i) {
        if (now >= plugs[i].start && now < plugs[i].end) devices.push_back(Describe({kind, i}));
      }
    }
    return devices;
  }

  std::unique_ptr<DeviceConnection> Open(const DeviceInfo& device, std::string& error) override {
    for (Kind kind : {Kind::kController, Kind::kDisplay}) {
      const auto& plugs = Plugs(kind);
      for (std::size_t i = 0; i < plugs.size(); ++i) {
        if (Path({kind, i}) != device.path) continue;
        if (Elapsed() >= plugs[i].end) break;
        if (kind == Kind::kController) controller_.PowerOn();
        return std::make_unique<SimConnection>(*this, kind, At(plugs[i].start), At(plugs[i].end));
      }
    }
    error = "no such simulated device attached";
    return nullptr;
  }

  std::chrono::milliseconds PollInterval() const override { return kPollInterval; }

  const SimSettings& Settings() const { return settings_; }
  SimController& Controller() { return controller_; }
  SimDisplay& Display() { return display_; }

 private:
  const std::vector<PlugInterval>& Plugs(Kind kind) const {
    return kind == Kind::kController ? settings_.controllerPlugs : settings_.displayPlugs;
  }

  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

  Clock::time_point At(double seconds) const {
    if (seconds > 1e9) return Clock::time_point::max();  // never unplugged
    return start_ +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  }

  static std::string Path(Attachment attachment) {
    return kPathPrefix +
           std::string(attachment.kind == Kind::kController ? "controller:" : "display:") +
           std::to_string(attachment.index);
  }

  static DeviceInfo Describe(Attachment attachment) {
    DeviceInfo info;
    info.path = Path(attachment);
    info.vendorId = kVendorId;
    info.version = 0x0100;
    info.vendorName = "Orvo";
    if (attachment.kind == Kind::kController) {
      info.productId = kControllerProductId;
      info.productName = "Orvo Pedals (simulated)";
      info.serialNumber = "SIM-PEDALS-1";
      info.inputReportLength = kControllerInputLength;
      info.outputReportLength = kControllerOutputLength;
    } else {
      info.productId = kDisplayProductId;
      info.productName = "Orvo Pedals Display (simulated)";
      info.serialNumber = "SIM-DISPLAY-1";
      info.outputReportLength = kDisplayOutputLength;
    }
    return info;
  }

  const SimSettings settings_;
  OutputLog log_;
  SimController controller_;
  SimDisplay display_;
  const Clock::time_point start_ = Clock::now();
};

SimConnection::SimConnection(SimBackend& backend, Kind kind, Clock::time_point plugged,
                             Clock::time_point unplugged)
    : backend_(backend),
      kind_(kind),
      plugged_(plugged),
      unplugged_(unplugged),
      period_(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
              backend.Settings().reportRate),
      nextReport_(Clock::now()) {}

int SimConnection::Read(std::uint8_t* buffer, std::size_t size, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  // The display unit sends nothing; the controller sends on its own clock.
  const Clock::time_point due = kind_ == Kind::kController ? nextReport_ : Clock::time_point::max();
  std::this_thread::sleep_until(std::min({due, deadline, unplugged_}));
  const Clock::time_point now = Clock::now();
  if (now >= unplugged_) return -1;
  if (now < due) return 0;
  // Reports nobody read yet wait, as the kernel keeps them for a reader that is busy or
  // gathering; after a stall longer than that buffer holds, carry on from now rather than send
  // the missed reports in a burst.
  nextReport_ = now - due > period_ * kKeptReports ? now + period_ : due + period_;
  std::uint8_t report[kControllerInputLength];
  backend_.Controller().BuildInputReport(std::chrono::duration<double>(now - plugged_).count(),
                                         report);
  const std::size_t length = std::min(size, sizeof report);
  std::memcpy(buffer, report, length);
  return static_cast<int>(length);
}

int SimConnection::Write(const std::uint8_t* report, std::size_t length) {
  if (report == nullptr || length == 0 || Clock::now() >= unplugged_) return -1;
  if (kind_ == Kind::kController) {
    backend_.Controller().ReceiveOutputReport(report, length);
  } else {
    backend_.Display().ReceiveOutputReport(report, length);
  }
  return static_cast<int>(length);
}

const char* GetEnvironment(const char* name) { return std::getenv(name); }

}  // namespace
}  // namespace orvo::hid::sim

namespace orvo::hid {

std::unique_ptr<Backend> CreateBackend() {
  std::vector<std::string> warnings;
  sim::SimSettings settings = sim::ReadSimSettings(&sim::GetEnvironment, warnings);
  for (const std::string& warning : warnings)
    std::fprintf(stderr, "libmcHID (sim): %s\n", warning.c_str());
  return std::make_unique<sim::SimBackend>(std::move(settings));
}

}  // namespace orvo::hid
