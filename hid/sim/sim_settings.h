// What the simulated devices do, read from ORVO_SIM_* environment variables at Connect.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace orvo::hid::sim {

// One attachment of a simulated device, in seconds after Connect.
struct PlugInterval {
  double start = 0;
  double end = std::numeric_limits<double>::infinity();
};

// Throttle, brake and clutch, raw 16-bit values (full scale 65535).
using PedalValues = std::array<std::uint16_t, 3>;

// From time (seconds after the plug) on, until the next step, the pedals stand at values.
struct ValueStep {
  double time = 0;
  PedalValues values{};
};

enum class ValueMode { kStill, kSweep, kTable };

struct SimSettings {
  std::vector<PlugInterval> controllerPlugs{PlugInterval{0.5}};
  std::vector<PlugInterval> displayPlugs;  // the display unit is absent unless asked for
  ValueMode valueMode = ValueMode::kSweep;
  PedalValues stillValues{};
  double sweepSeconds = 8.0;  // one slow rise and fall of the throttle
  std::vector<ValueStep> table;
  int reportRate = 250;   // input reports per second, 1 to 1000
  std::string logPath;    // empty: output reports are not logged
  std::string statePath;  // empty: stored configurations last until Disconnect only
};

// Reads the settings through getEnv (getenv in use, a table in tests). Each variable that does
// not parse keeps its default, and a line saying why is added to warnings.
using EnvLookup = const char* (*)(const char* name);
SimSettings ReadSimSettings(EnvLookup getEnv, std::vector<std::string>& warnings);

// Values of the pedals at seconds after the plug.
PedalValues ValuesAt(const SimSettings& settings, double seconds);

}  // namespace orvo::hid::sim
