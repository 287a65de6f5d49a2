// Parsing of the ORVO_SIM_* variables and the live values they ask for.
#include "hid/sim/sim_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <string_view>

namespace orvo::hid::sim {
namespace {

constexpr int kMaxReportRate = 1000;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Locale-independent number parsing; the whole text must be the number.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  text = Trim(text);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t begin = 0;
  for (;;) {
    const auto end = text.find_first_of(separators, begin);
    parts.push_back(
        text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    if (end == std::string_view::npos) return parts;
    begin = end + 1;
  }
}

// "none", or comma-separated START[-[END]] in seconds, in order and not overlapping.
std::optional<std::vector<PlugInterval>> ParsePlugs(std::string_view text) {
  std::vector<PlugInterval> plugs;
  if (Trim(text) == "none") return plugs;
  for (std::string_view part : Split(text, ",")) {
    PlugInterval interval;
    const auto dash = part.find('-');
    const auto start = ParseNumber<double>(part.substr(0, dash));
    if (!start || *start < 0) return std::nullopt;
    interval.start = *start;
    if (dash != std::string_view::npos && !Trim(part.substr(dash + 1)).empty()) {
      const auto end = ParseNumber<double>(part.substr(dash + 1));
      if (!end || *end <= *start) return std::nullopt;
      interval.end = *end;
    }
    if (!plugs.empty() && interval.start < plugs.back().end) return std::nullopt;
    plugs.push_back(interval);
  }
  return plugs;
}

std::optional<PedalValues> ParseValues(const std::vector<std::string_view>& parts) {
  if (parts.empty() || parts.size() > 3) return std::nullopt;
  PedalValues values{};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const auto value = ParseNumber<unsigned>(parts[i]);
    if (!value || *value > 0xFFFF) return std::nullopt;
    values[i] = static_cast<std::uint16_t>(*value);
  }
  return values;
}

// Lines of "SECONDS THROTTLE BRAKE CLUTCH" (blanks or commas between), '#' starts a comment.
std::optional<std::vector<ValueStep>> ReadTable(const std::string& path, std::string& why) {
  std::ifstream file(path);
  if (!file) {
    why = "cannot read " + path;
    return std::nullopt;
  }
  std::vector<ValueStep> table;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    std::string_view text = line;
    text = Trim(text.substr(0, text.find('#')));
    if (text.empty()) continue;
    std::vector<std::string_view> fields;
    for (std::string_view field : Split(text, " \t,")) {
      if (!Trim(field).empty()) fields.push_back(field);
    }
    const auto time = fields.empty() ? std::nullopt : ParseNumber<double>(fields[0]);
    const auto values =
        fields.size() == 4 ? ParseValues({fields.begin() + 1, fields.end()}) : std::nullopt;
    if (!time || !values || (!table.empty() && *time < table.back().time)) {
      why = path + " line " + std::to_string(number) +
            ": expected rising SECONDS THROTTLE BRAKE CLUTCH";
      return std::nullopt;
    }
    table.push_back(ValueStep{*time, *values});
  }
  if (table.empty()) {
    why = path + " holds no rows";
    return std::nullopt;
  }
  return table;
}

// "sweep[:SECONDS]", "still:THROTTLE[,BRAKE[,CLUTCH]]" or "table:FILE".
bool ParseValueMode(std::string_view text, SimSettings& settings, std::string& why) {
  const auto colon = text.find(':');
  const std::string_view mode = Trim(text.substr(0, colon));
  const std::string_view argument =
      colon == std::string_view::npos ? std::string_view{} : text.substr(colon + 1);
  if (mode == "sweep") {
    if (colon == std::string_view::npos) {
      settings.valueMode = ValueMode::kSweep;
      return true;
    }
    const auto seconds = ParseNumber<double>(argument);
    if (!seconds || *seconds <= 0) return false;
    settings.valueMode = ValueMode::kSweep;
    settings.sweepSeconds = *seconds;
    return true;
  }
  if (mode == "still") {
    const auto values = ParseValues(Split(argument, ","));
    if (!values) return false;
    settings.valueMode = ValueMode::kStill;
    settings.stillValues = *values;
    return true;
  }
  if (mode == "table") {
    auto table = ReadTable(std::string(Trim(argument)), why);
    if (!table) return false;
    settings.valueMode = ValueMode::kTable;
    settings.table = std::move(*table);
    return true;
  }
  return false;
}

std::string DefaultStatePath(EnvLookup getEnv) {
  const char* stateHome = getEnv("XDG_STATE_HOME");
  std::string base;
  if (stateHome != nullptr && *stateHome == '/') {
    base = stateHome;
  } else if (const char* home = getEnv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.local/state";
  } else {
    return {};
  }
  return base + "/orvo-pedals/sim-controller.state";
}

}  // namespace

SimSettings ReadSimSettings(EnvLookup getEnv, std::vector<std::string>& warnings) {
  SimSettings settings;
  const auto warn = [&warnings](const char* name, const char* value, const std::string& why) {
    warnings.push_back(std::string(name) + "=\"" + value + "\" ignored" +
                       (why.empty() ? "" : ": " + why));
  };

  for (auto [name, plugs] : {std::pair{"ORVO_SIM_CONTROLLER", &settings.controllerPlugs},
                             std::pair{"ORVO_SIM_DISPLAY", &settings.displayPlugs}}) {
    const char* value = getEnv(name);
    if (value == nullptr) continue;
    if (auto parsed = ParsePlugs(value)) {
      *plugs = std::move(*parsed);
    } else {
      warn(name, value, "expected none or START[-END],... in rising seconds");
    }
  }

  if (const char* value = getEnv("ORVO_SIM_VALUES")) {
    std::string why;
    SimSettings parsed = settings;
    if (ParseValueMode(value, parsed, why)) {
      settings = std::move(parsed);
    } else {
      warn("ORVO_SIM_VALUES", value,
           why.empty() ? "expected sweep[:SECONDS], still:T[,B[,C]] or table:FILE" : why);
    }
  }

  if (const char* value = getEnv("ORVO_SIM_RATE")) {
    const auto rate = ParseNumber<int>(value);
    if (rate && *rate >= 1 && *rate <= kMaxReportRate) {
      settings.reportRate = *rate;
    } else {
      warn("ORVO_SIM_RATE", value, "expected 1 to 1000 reports per second");
    }
  }

  if (const char* value = getEnv("ORVO_SIM_LOG")) settings.logPath = value;
  const char* state = getEnv("ORVO_SIM_STATE");
  settings.statePath = state != nullptr ? std::string(state) : DefaultStatePath(getEnv);
  return settings;
}

PedalValues ValuesAt(const SimSettings& settings, double seconds) {
  switch (settings.valueMode) {
    case ValueMode::kStill: return settings.stillValues;
    case ValueMode::kSweep: {
      // A triangle: up over the first half of the period, down over the second.
      const double phase =
          std::fmod(std::max(seconds, 0.0), settings.sweepSeconds) / settings.sweepSeconds;
      const double level = phase < 0.5 ? phase * 2 : 2 - phase * 2;
      return PedalValues{static_cast<std::uint16_t>(std::lround(level * 0xFFFF)), 0, 0};
    }
    case ValueMode::kTable: {
      PedalValues values{};
      for (const ValueStep& step : settings.table) {
        if (step.time > seconds) break;
        values = step.values;
      }
      return values;
    }
  }
  return {};
}

}  // namespace orvo::hid::sim
