// Device-side behaviour of the simulated controller and display unit, and the output log.
#include "hid/sim/sim_devices.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvo::hid::sim {
namespace {

// Positions in ControllerConfig (input report byte minus 13).
constexpr std::size_t kDeadZones = 0;      // six bytes, percent
constexpr std::size_t kThrottleCurve = 6;  // twenty points, half percent
constexpr std::size_t kBrakeCurve = 27;    // eleven points, half percent
constexpr std::size_t kClutchCurve = 38;   // eleven points, half percent
constexpr std::size_t kFlags = 49;
constexpr std::size_t kConfigOffset = 13;  // in the input report

constexpr std::size_t kDeadZoneCount = 6;
constexpr std::size_t kThrottlePoints = 20;
constexpr std::size_t kLowThrottlePoints = 10;  // points 0-9 travel in the settings report
constexpr std::size_t kPedalPoints = 11;

// Throttle curve report: command, twenty points, check byte over the points.
constexpr std::size_t kCurveCheck = 22;
// Pedal settings report: command, dead zones, throttle points 0-9 and 19, brake, clutch, flags,
// store flag, check byte over bytes 2 to 42.
constexpr std::size_t kSettingsDeadZones = 2;
constexpr std::size_t kSettingsThrottle = 8;
constexpr std::size_t kSettingsThrottleTop = 18;
constexpr std::size_t kSettingsBrake = 19;
constexpr std::size_t kSettingsClutch = 30;
constexpr std::size_t kSettingsFlags = 41;
constexpr std::size_t kSettingsStore = 42;
constexpr std::size_t kSettingsCheck = 43;
constexpr std::size_t kPayload = 2;  // the check bytes cover from here

constexpr const char* kStateKey = "config=";

std::uint8_t Xor(const std::uint8_t* begin, const std::uint8_t* end) {
  std::uint8_t check = 0;
  for (const std::uint8_t* p = begin; p != end; ++p) check ^= *p;
  return check;
}

std::string Hex(const std::uint8_t* bytes, std::size_t length) {
  std::string text;
  text.reserve(length * 3);
  char digits[4];
  for (std::size_t i = 0; i < length; ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : " %02x", bytes[i]);
    text += digits;
  }
  return text;
}

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  std::snprintf(text + length, sizeof text - length, ".%03lld", static_cast<long long>(millis));
  return text;
}

std::uint16_t CreationStamp() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long micros = static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
  return static_cast<std::uint16_t>(micros & 0xFFFF);
}

}  // namespace

ControllerConfig FactoryConfig() {
  ControllerConfig config{};
  for (std::size_t pedal = 0; pedal < 3; ++pedal) config[kDeadZones + pedal * 2 + 1] = 100;
  // Inputs 0, 10, ..., 90, then 91, ..., 100 percent; outputs equal, in half percent.
  for (std::size_t i = 0; i < kThrottlePoints; ++i) {
    const std::size_t input = i < kLowThrottlePoints ? i * 10 : 90 + (i - kLowThrottlePoints + 1);
    config[kThrottleCurve + i] = static_cast<std::uint8_t>(input * 2);
  }
  for (std::size_t i = 0; i < kPedalPoints; ++i) {
    config[kBrakeCurve + i] = static_cast<std::uint8_t>(i * 20);
    config[kClutchCurve + i] = static_cast<std::uint8_t>(i * 20);
  }
  config[kFlags] = 0x01;
  return config;
}

OutputLog::OutputLog(const std::string& path) {
  if (path.empty()) return;
  file_ = std::fopen(path.c_str(), "a");
  if (file_ == nullptr)
    std::fprintf(stderr, "libmcHID (sim): cannot write log %s: %s\n", path.c_str(),
                 std::strerror(errno));
}

OutputLog::~OutputLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void OutputLog::Record(std::string_view device, const std::uint8_t* report, std::size_t length,
                       std::string_view outcome, bool refused) {
  std::lock_guard lock(mutex_);
  std::FILE* target = file_ != nullptr ? file_ : (refused ? stderr : nullptr);
  if (target == nullptr) return;
  std::fprintf(target, "%s %.*s %s -> %.*s\n", Timestamp().c_str(), static_cast<int>(device.size()),
               device.data(), Hex(report, length).c_str(), static_cast<int>(outcome.size()),
               outcome.data());
  std::fflush(target);
}

SimController::SimController(const SimSettings& settings, OutputLog& log)
    : settings_(settings), log_(log) {
  stored_ = FactoryConfig();
  LoadStored();
  active_ = stored_;
}

void SimController::PowerOn() {
  std::lock_guard lock(mutex_);
  active_ = stored_;
}

void SimController::BuildInputReport(double secondsSincePlug, std::uint8_t* report) const {
  std::memset(report, 0, kControllerInputLength);
  // Values 0 to 2 stay 0; 3, 4 and 5 are throttle, brake and clutch, low byte first.
  const PedalValues values = ValuesAt(settings_, secondsSincePlug);
  for (std::size_t i = 0; i < values.size(); ++i) {
    report[7 + i * 2] = static_cast<std::uint8_t>(values[i] & 0xFF);
    report[8 + i * 2] = static_cast<std::uint8_t>(values[i] >> 8);
  }
  {
    std::lock_guard lock(mutex_);
    std::memcpy(report + kConfigOffset, active_.data(), active_.size());
  }
  const std::uint16_t stamp = CreationStamp();
  report[kCreationStampOffset] = static_cast<std::uint8_t>(stamp & 0xFF);
  report[kCreationStampOffset + 1] = static_cast<std::uint8_t>(stamp >> 8);
}

void SimController::ReceiveOutputReport(const std::uint8_t* report, std::size_t length) {
  const auto record = [&](std::string_view outcome, bool refused = false) {
    log_.Record("controller", report, length, outcome, refused);
  };
  if (length <= kSettingsCheck || report[0] != 0) {
    record("ignored: not a controller report", true);
    return;
  }
  const std::uint8_t command = report[1];
  if (command == kThrottleCurveCommand) {
    if (Xor(report + kPayload, report + kCurveCheck) != report[kCurveCheck]) {
      record("ignored: wrong check byte", true);
      return;
    }
    {
      std::lock_guard lock(mutex_);
      std::memcpy(active_.data() + kThrottleCurve, report + kPayload, kThrottlePoints);
    }
    record("applied throttle curve");
    return;
  }
  if (command == kPedalSettingsCommand) {
    if (Xor(report + kPayload, report + kSettingsCheck) != report[kSettingsCheck]) {
      record("ignored: wrong check byte", true);
      return;
    }
    const bool store = report[kSettingsStore] == 1;
    {
      std::lock_guard lock(mutex_);
      std::memcpy(active_.data() + kDeadZones, report + kSettingsDeadZones, kDeadZoneCount);
      std::memcpy(active_.data() + kThrottleCurve, report + kSettingsThrottle, kLowThrottlePoints);
      active_[kThrottleCurve + kThrottlePoints - 1] = report[kSettingsThrottleTop];
      std::memcpy(active_.data() + kBrakeCurve, report + kSettingsBrake, kPedalPoints);
      std::memcpy(active_.data() + kClutchCurve, report + kSettingsClutch, kPedalPoints);
      active_[kFlags] = report[kSettingsFlags];
      if (store) stored_ = active_;
    }
    if (store) SaveStored();
    record(store ? "applied pedal settings, stored" : "applied pedal settings");
    return;
  }
  record("ignored: unknown command", true);
}

void SimController::LoadStored() {
  if (settings_.statePath.empty()) return;
  std::ifstream file(settings_.statePath);
  if (!file) return;  // nothing stored yet
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(kStateKey, 0) != 0) continue;
    std::istringstream hex(line.substr(std::strlen(kStateKey)));
    ControllerConfig config{};
    std::size_t count = 0;
    unsigned value = 0;
    while (count < config.size() && hex >> std::hex >> value && value <= 0xFF)
      config[count++] = static_cast<std::uint8_t>(value);
    if (count == config.size()) {
      stored_ = config;
      return;
    }
  }
  std::fprintf(stderr, "libmcHID (sim): %s holds no configuration; starting from the factory one\n",
               settings_.statePath.c_str());
}

void SimController::SaveStored() {
  if (settings_.statePath.empty()) return;
  ControllerConfig config;
  {
    std::lock_guard lock(mutex_);
    config = stored_;
  }
  // Written beside and renamed over, so a crash never leaves half a file.
  namespace fs = std::filesystem;
  const fs::path target(settings_.statePath);
  std::error_code error;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  const fs::path temporary = target.string() + ".tmp";
  {
    std::ofstream file(temporary, std::ios::trunc);
    file << "# Configuration stored by the simulated pedal controller (input report bytes 13-62)\n"
         << kStateKey << Hex(config.data(), config.size()) << '\n';
    if (!file.flush()) {
      std::fprintf(stderr, "libmcHID (sim): cannot write %s\n", temporary.c_str());
      return;
    }
  }
  fs::rename(temporary, target, error);
  if (error)
    std::fprintf(stderr, "libmcHID (sim): cannot replace %s: %s\n", target.c_str(),
                 error.message().c_str());
}

void SimDisplay::ReceiveOutputReport(const std::uint8_t* report, std::size_t length) {
  if (length >= 5 && report[0] == 0 && report[1] == kSegmentDisplayCommand) {
    char outcome[64];
    std::snprintf(outcome, sizeof outcome, "shown: right 0x%02x, left 0x%02x, lamps 0x%02x",
                  report[2], report[3], report[4]);
    log_.Record("display", report, length, outcome, false);
    return;
  }
  log_.Record("display", report, length, "ignored: unknown command", true);
}

}  // namespace orvo::hid::sim
