// Writing and reading the backup file, and the restored presets into the settings file.
#include "app/backup/backup_file.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <type_traits>

#include "app/backup/staged_file.h"
#include "pages/brake_clutch_page_model.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"
#include "platform/whole_file.h"

namespace app {

namespace {

// Values are read from the first 63 characters of their text, as the settings helpers do.
constexpr std::size_t kValueTextSize = 64;
// No value can hold a line break, so this default tells a missing key from any value.
constexpr char kMissing[] = "\n";

template <typename Settings>
constexpr bool kThrottlePoints = std::is_same_v<typename Settings::PointType, float>;

// band_<input percent> of point k.
template <typename Settings>
std::string BandKey(std::size_t k) {
  const int input = kThrottlePoints<Settings>
                        ? pages::kThrottlePointInputs[k]
                        : static_cast<int>(k) * pages::kBrakeClutchPointSpacing;
  return pages::CurvePointKey(input);
}

bool WritePoint(const std::string& section, const std::string& key, float value,
                const std::string& file) {
  return platform::WriteProfileFloat(section, key, value, file);
}
bool WritePoint(const std::string& section, const std::string& key, int value,
                const std::string& file) {
  return platform::WriteProfileInt(section, key, value, file);
}

// The section's keys in their order: dz_0, dz_1, the points, axis_cnf, axis_mode. Stops at the
// first failed write.
template <typename Settings>
bool WriteCurveSection(const std::string& section, const Settings& settings,
                       const std::string& file) {
  bool ok = platform::WriteProfileInt(section, pages::kLowerDeadZoneKey, settings.dz_0, file) &&
            platform::WriteProfileInt(section, pages::kUpperDeadZoneKey, settings.dz_1, file);
  for (std::size_t k = 0; ok && k < Settings::kPointCount; ++k) {
    ok = WritePoint(section, BandKey<Settings>(k), settings.band[k], file);
  }
  return ok &&
         platform::WriteProfileInt(section, pages::kCurveEnabledKey, settings.axis_cnf, file) &&
         platform::WriteProfileInt(section, pages::kLoadCellKey, settings.axis_mode, file);
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

// Reads the keys of one backup file, read once; remembers whether the file held any key of the
// backup, which keys it lacks, and the first value that could not be taken.
class BackupReader {
 public:
  explicit BackupReader(const platform::ProfileFile& file) : file_(file) {}

  bool FoundAny() const { return foundAny_; }
  const std::optional<BackupReadError>& Error() const { return error_; }
  std::vector<BackupGap>& Gaps() { return gaps_; }

  bool HasSection(const std::string& section) const { return file_.HasSection(section); }

  // A whole number of the section within low..high; nothing when the key is missing or empty.
  std::optional<int> Whole(const std::string& section, const char* key, int low, int high) {
    return Read<int>(section, key, low, high);
  }

  // The section's curve, each missing key taking its value in defaults; every key that is
  // missing goes into the gaps.
  template <typename Settings>
  Settings Curve(const std::string& section, const Settings& defaults) {
    const std::size_t gapsBefore = gaps_.size();
    Settings settings = defaults;
    settings.dz_0 =
        Whole(section, pages::kLowerDeadZoneKey, platform::kMinPercent, platform::kMaxPercent)
            .value_or(defaults.dz_0);
    settings.dz_1 =
        Whole(section, pages::kUpperDeadZoneKey, platform::kMinPercent, platform::kMaxPercent)
            .value_or(defaults.dz_1);
    for (std::size_t k = 0; k < Settings::kPointCount; ++k) {
      using Point = typename Settings::PointType;
      // Throttle points are read as double and narrowed, as the settings helpers read them.
      using Parsed = std::conditional_t<kThrottlePoints<Settings>, double, Point>;
      const std::optional<Parsed> point =
          Read<Parsed>(section, BandKey<Settings>(k), platform::kMinPercent, platform::kMaxPercent);
      settings.band[k] = point ? static_cast<Point>(*point) : defaults.band[k];
    }
    settings.axis_cnf = Whole(section, pages::kCurveEnabledKey, 0, 1).value_or(defaults.axis_cnf);
    settings.axis_mode = Whole(section, pages::kLoadCellKey, 0, 1).value_or(defaults.axis_mode);
    settings.dirty = false;
    // A section without any of its keys is named whole.
    constexpr std::size_t kKeyCount = Settings::kPointCount + 4;
    if (gaps_.size() > gapsBefore && gaps_.back().keys.size() == kKeyCount) {
      gaps_.back().keys.clear();
    }
    return settings;
  }

 private:
  template <typename Number>
  std::optional<Number> Read(const std::string& section, const std::string& key, Number low,
                             Number high) {
    const std::string text = file_.GetString(section, key, kMissing, kValueTextSize);
    if (text != kMissing) foundAny_ = true;
    if (text == kMissing || text.empty()) {
      if (gaps_.empty() || gaps_.back().section != section) gaps_.push_back({section, {}});
      gaps_.back().keys.push_back(key);
      return std::nullopt;
    }
    const std::optional<Number> value = ParseNumber<Number>(text);
    if (value && *value >= low && *value <= high) return value;
    if (!error_) error_ = BackupReadError{BackupReadFailure::kBadValue, section, key, text};
    return std::nullopt;
  }

  const platform::ProfileFile& file_;
  bool foundAny_ = false;
  std::vector<BackupGap> gaps_;
  std::optional<BackupReadError> error_;
};

bool SettingsFileReadable(const std::string& path) {
  const platform::FileReadStatus status = platform::ReadRegularFile(path).status;
  return status == platform::FileReadStatus::kRead || status == platform::FileReadStatus::kMissing;
}

}  // namespace

std::string BackupPresetSection(int index) { return "THROTTLE_" + std::to_string(index); }

int PresetForBackupValue(int actualPreset) {
  return actualPreset == 1 || actualPreset == 2 ? actualPreset : 0;
}

std::optional<BackupContents> CollectBackup(const std::string& settingsFile, int actualPreset,
                                            pages::PedalPresence presence,
                                            const pages::BrakeClutchSettings& brake,
                                            const pages::BrakeClutchSettings& clutch) {
  if (!SettingsFileReadable(settingsFile)) return std::nullopt;
  BackupContents contents;
  contents.actualPreset = actualPreset;
  for (int n = 0; n < pages::kThrottlePresetCount; ++n) {
    LoadThrottlePreset(contents.presets[static_cast<std::size_t>(n)], n, settingsFile);
  }
  if (presence.brake) contents.brake = brake;
  if (presence.clutch) contents.clutch = clutch;
  return contents;
}

bool WriteBackupFile(const BackupContents& contents, const std::string& path) {
  const std::unique_ptr<StagedFile> staged = StagedFile::Begin(path, StagedFile::Start::kEmpty);
  if (!staged) return false;
  const std::string& file = staged->Path();
  bool ok = platform::WriteProfileInt(kBackupThrottleSection, kBackupPresetKey,
                                      contents.actualPreset, file);
  for (int n = 0; ok && n < pages::kThrottlePresetCount; ++n) {
    ok = WriteCurveSection(BackupPresetSection(n), contents.presets[static_cast<std::size_t>(n)],
                           file);
  }
  if (ok && contents.brake) ok = WriteCurveSection(kBackupBrakeSection, *contents.brake, file);
  if (ok && contents.clutch) ok = WriteCurveSection(kBackupClutchSection, *contents.clutch, file);
  return ok && staged->Commit();
}

std::variant<RestoredBackup, BackupReadError> ReadBackupFile(const std::string& path) {
  const platform::ProfileFile file(path, kBackupMaxBytes);
  switch (file.Status()) {
    case platform::FileReadStatus::kRead: break;
    case platform::FileReadStatus::kTooLarge:
      return BackupReadError{BackupReadFailure::kTooLarge, {}, {}, {}};
    default: return BackupReadError{BackupReadFailure::kUnreadable, {}, {}, {}};
  }
  BackupReader reader(file);
  RestoredBackup backup;
  backup.actualPreset = reader
                            .Whole(kBackupThrottleSection, kBackupPresetKey,
                                   std::numeric_limits<int>::min(), std::numeric_limits<int>::max())
                            .value_or(0);
  // Its one key missing with its header too: the whole section is.
  if (!reader.Gaps().empty() && !reader.HasSection(kBackupThrottleSection)) {
    reader.Gaps().front().keys.clear();
  }
  for (int n = 0; n < pages::kThrottlePresetCount; ++n) {
    backup.presets[static_cast<std::size_t>(n)] =
        reader.Curve(BackupPresetSection(n), pages::DefaultThrottleSettings());
  }
  // A restored brake or clutch is off unless the file says otherwise. These sections are in a
  // backup only when the pedal was present, so only a section that is there can lack keys.
  pages::BrakeClutchSettings pedalDefaults = pages::DefaultBrakeClutchSettings();
  pedalDefaults.axis_cnf = 0;
  if (reader.HasSection(kBackupBrakeSection)) {
    backup.brake = reader.Curve(kBackupBrakeSection, pedalDefaults);
  }
  if (reader.HasSection(kBackupClutchSection)) {
    backup.clutch = reader.Curve(kBackupClutchSection, pedalDefaults);
  }
  if (reader.Error()) return *reader.Error();
  if (!reader.FoundAny()) return BackupReadError{BackupReadFailure::kNotABackup, {}, {}, {}};
  backup.gaps = std::move(reader.Gaps());
  return backup;
}

bool WriteRestoredSettings(const RestoredBackup& backup, const std::string& settingsFile) {
  const std::unique_ptr<StagedFile> staged =
      StagedFile::Begin(settingsFile, StagedFile::Start::kCopyOfTarget);
  if (!staged) return false;
  const std::string& file = staged->Path();
  bool ok = true;
  for (int n = 0; ok && n < pages::kThrottlePresetCount; ++n) {
    ok = WriteCurveSection(pages::ThrottlePresetSection(n),
                           backup.presets[static_cast<std::size_t>(n)], file);
  }
  if (ok && backup.brake) {
    ok = platform::WriteProfileInt(pages::kBrakeSection, pages::kMaxForceKey, backup.brake->dz_1,
                                   file);
  }
  return ok && staged->Commit();
}

}  // namespace app
