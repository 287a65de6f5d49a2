// Writing and reading the backup file, and the restored presets into the settings file.
#include "app/backup/backup_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string_view>
#include <type_traits>

#include "app/backup/staged_file.h"
#include "pages/brake_clutch_curve.h"
#include "platform/profile_settings.h"
#include "platform/ini_file.h"

namespace {

// The brake's maximum force in the settings file; the brake page prefers it to the
// controller's value.
constexpr char kMaxForceSection[] = "BRAKE";
constexpr char kMaxForceKey[] = "max_force";

constexpr int kMinPercent = 0;
// Values are read from the first 63 characters of their text, as the settings helpers do.
constexpr std::size_t kValueTextSize = 64;
// No value can hold a line break, so this default tells a missing key from any value.
constexpr char kMissing[] = "\n";

template <typename Settings>
constexpr bool kThrottlePoints = std::is_same_v<typename Settings::PointType, float>;

// band_<input percent> of point k.
template <typename Settings>
std::string BandKey(std::size_t k) {
  const int input = kThrottlePoints<Settings> ? kThrottlePointInputs[k]
                                              : static_cast<int>(k) * kBrakeClutchPointSpacing;
  return "band_" + std::to_string(input);
}

bool WritePoint(const std::string& section, const std::string& key, float value,
                const std::string& file) {
  return WriteProfileFloat(section, key, value, file);
}
bool WritePoint(const std::string& section, const std::string& key, int value,
                const std::string& file) {
  return WriteProfileInt(section, key, value, file);
}

// The section's keys in their order: dz_0, dz_1, the points, axis_cnf, axis_mode. Stops at the
// first failed write.
template <typename Settings>
bool WriteCurveSection(const std::string& section, const Settings& settings,
                       const std::string& file) {
  bool ok = WriteProfileInt(section, "dz_0", settings.dz_0, file) &&
            WriteProfileInt(section, "dz_1", settings.dz_1, file);
  for (std::size_t k = 0; ok && k < Settings::kPointCount; ++k) {
    ok = WritePoint(section, BandKey<Settings>(k), settings.band[k], file);
  }
  return ok && WriteProfileInt(section, "axis_cnf", settings.axis_cnf, file) &&
         WriteProfileInt(section, "axis_mode", settings.axis_mode, file);
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  // from_chars takes a minus sign but no plus sign.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  if constexpr (std::is_floating_point_v<Number>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

// Reads the keys of one backup file; remembers whether each section held any key, and the
// first value that could not be taken.
class BackupReader {
 public:
  explicit BackupReader(std::string file) : file_(std::move(file)) {}

  bool FoundAny() const { return foundAny_; }
  const std::optional<BackupReadError>& Error() const { return error_; }

  // A whole number of the section within low..high; nothing when the key is missing or empty.
  std::optional<int> Whole(const std::string& section, const char* key, int low, int high) {
    return Read<int>(section, key, low, high);
  }

  // The section's curve, each missing key taking its value in defaults; nothing when the file
  // holds no key of the section.
  template <typename Settings>
  std::optional<Settings> Curve(const std::string& section, const Settings& defaults) {
    const bool before = sectionFound_;
    sectionFound_ = false;
    Settings settings = defaults;
    settings.dz_0 = Whole(section, "dz_0", kMinPercent, kMaxPercent).value_or(defaults.dz_0);
    settings.dz_1 = Whole(section, "dz_1", kMinPercent, kMaxPercent).value_or(defaults.dz_1);
    for (std::size_t k = 0; k < Settings::kPointCount; ++k) {
      using Point = typename Settings::PointType;
      // Throttle points are read as double and narrowed, as the settings helpers read them.
      using Parsed = std::conditional_t<kThrottlePoints<Settings>, double, Point>;
      const std::optional<Parsed> point =
          Read<Parsed>(section, BandKey<Settings>(k), kMinPercent, kMaxPercent);
      settings.band[k] = point ? static_cast<Point>(*point) : defaults.band[k];
    }
    settings.axis_cnf = Whole(section, "axis_cnf", 0, 1).value_or(defaults.axis_cnf);
    settings.axis_mode = Whole(section, "axis_mode", 0, 1).value_or(defaults.axis_mode);
    settings.dirty = false;
    const bool found = sectionFound_;
    sectionFound_ = before || found;
    if (!found) return std::nullopt;
    return settings;
  }

 private:
  template <typename Number>
  std::optional<Number> Read(const std::string& section, const std::string& key, Number low,
                             Number high) {
    const std::string text =
        platform::GetPrivateProfileString(section, key, kMissing, kValueTextSize, file_);
    if (text == kMissing) return std::nullopt;
    foundAny_ = sectionFound_ = true;
    if (text.empty()) return std::nullopt;
    const std::optional<Number> value = ParseNumber<Number>(text);
    if (value && *value >= low && *value <= high) return value;
    if (!error_) error_ = BackupReadError{BackupReadFailure::BadValue, section, key, text};
    return std::nullopt;
  }

  std::string file_;
  bool foundAny_ = false;
  bool sectionFound_ = false;
  std::optional<BackupReadError> error_;
};

bool CanRead(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  in.peek();
  return in.is_open() && !in.bad();
}

}  // namespace

std::string BackupPresetSection(int index) { return "THROTTLE_" + std::to_string(index); }

int PresetForBackupValue(int actualPreset) {
  return actualPreset == 1 || actualPreset == 2 ? actualPreset : 0;
}

BackupContents CollectBackup(const std::string& settingsFile, int actualPreset,
                             PedalPresence presence, const BrakeClutchSettings& brake,
                             const BrakeClutchSettings& clutch) {
  BackupContents contents;
  contents.actualPreset = actualPreset;
  for (int n = 0; n < kThrottlePresetCount; ++n) {
    LoadThrottlePreset(contents.presets[static_cast<std::size_t>(n)], n, settingsFile);
  }
  if (presence.brake) contents.brake = brake;
  if (presence.clutch) contents.clutch = clutch;
  return contents;
}

bool WriteBackupFile(const BackupContents& contents, const std::string& path) {
  const std::unique_ptr<StagedFile> staged = StagedFile::Begin(path, StagedFile::Start::Empty);
  if (!staged) return false;
  const std::string& file = staged->Path();
  bool ok = WriteProfileInt(kBackupThrottleSection, kBackupPresetKey, contents.actualPreset, file);
  for (int n = 0; ok && n < kThrottlePresetCount; ++n) {
    ok = WriteCurveSection(BackupPresetSection(n), contents.presets[static_cast<std::size_t>(n)],
                           file);
  }
  if (ok && contents.brake) ok = WriteCurveSection(kBackupBrakeSection, *contents.brake, file);
  if (ok && contents.clutch) ok = WriteCurveSection(kBackupClutchSection, *contents.clutch, file);
  return ok && staged->Commit();
}

std::variant<RestoredBackup, BackupReadError> ReadBackupFile(const std::string& path) {
  if (!CanRead(path)) return BackupReadError{BackupReadFailure::Unreadable, {}, {}, {}};
  BackupReader reader(path);
  RestoredBackup backup;
  backup.actualPreset = reader.Whole(kBackupThrottleSection, kBackupPresetKey,
                                     std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max());
  for (int n = 0; n < kThrottlePresetCount; ++n) {
    backup.presets[static_cast<std::size_t>(n)] =
        reader.Curve(BackupPresetSection(n), DefaultThrottleSettings());
  }
  // A restored brake or clutch is off unless the file says otherwise.
  BrakeClutchSettings pedalDefaults = DefaultBrakeClutchSettings();
  pedalDefaults.axis_cnf = 0;
  backup.brake = reader.Curve(kBackupBrakeSection, pedalDefaults);
  backup.clutch = reader.Curve(kBackupClutchSection, pedalDefaults);
  if (reader.Error()) return *reader.Error();
  if (!reader.FoundAny()) return BackupReadError{BackupReadFailure::NotABackup, {}, {}, {}};
  return backup;
}

bool WriteRestoredSettings(const RestoredBackup& backup, const std::string& settingsFile) {
  bool anyPreset = false;
  for (const auto& preset : backup.presets) anyPreset = anyPreset || preset.has_value();
  if (!anyPreset && !backup.brake) return true;

  const std::unique_ptr<StagedFile> staged =
      StagedFile::Begin(settingsFile, StagedFile::Start::CopyOfTarget);
  if (!staged) return false;
  const std::string& file = staged->Path();
  bool ok = true;
  for (int n = 0; ok && n < kThrottlePresetCount; ++n) {
    const auto& preset = backup.presets[static_cast<std::size_t>(n)];
    if (preset) ok = WriteCurveSection(ThrottlePresetSection(n), *preset, file);
  }
  if (ok && backup.brake) {
    ok = WriteProfileInt(kMaxForceSection, kMaxForceKey, backup.brake->dz_1, file);
  }
  return ok && staged->Commit();
}
