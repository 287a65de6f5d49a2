// The backup file of the throttle presets and the brake and clutch settings: what a backup
// holds, writing it, reading it back with every value checked, and putting the restored presets
// into the settings file. A backup is an INI file like the settings file, written through the
// same helpers: integers "%d", throttle points "%.1f".
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "pages/brake_clutch_curve.h"
#include "pages/throttle_curve.h"
#include "pages/throttle_presets.h"

namespace app {

inline constexpr char kBackupDefaultFileName[] = "orvo_pedals_backup.txt";
// The file dialogs' filter: text files.
inline constexpr char kBackupWildcard[] = "TXT Files (*.txt)|*.txt";

inline constexpr char kBackupThrottleSection[] = "THROTTLE";
inline constexpr char kBackupPresetKey[] = "actual_preset";
inline constexpr char kBackupBrakeSection[] = "BRAKE";
inline constexpr char kBackupClutchSection[] = "CLUTCH";

// "THROTTLE_<index>": the backup of preset section PRESET_<index>.
std::string BackupPresetSection(int index);

// Everything one backup holds. The brake and clutch are there only when the main window marks
// them present.
struct BackupContents {
  int actualPreset = 0;  // 0 = A, 1 = B, 2 = C
  std::array<pages::ThrottleCurveSettings, pages::kThrottlePresetCount> presets{
      pages::DefaultThrottleSettings(), pages::DefaultThrottleSettings(),
      pages::DefaultThrottleSettings()};
  std::optional<pages::BrakeClutchSettings> brake;
  std::optional<pages::BrakeClutchSettings> clutch;
};

// The presets as the settings file holds them (not the throttle page's unsaved edits), each
// missing key taking its default, with the selected preset and the present pedals' settings.
// Nothing when the settings file is there but cannot be read: its defaults are not the user's
// presets. A missing settings file holds the defaults.
std::optional<BackupContents> CollectBackup(const std::string& settingsFile, int actualPreset,
                                            pages::PedalPresence presence,
                                            const pages::BrakeClutchSettings& brake,
                                            const pages::BrakeClutchSettings& clutch);

// Writes the backup as a new file in the order THROTTLE, THROTTLE_0 .. THROTTLE_2, BRAKE,
// CLUTCH, each section's keys in the order dz_0, dz_1, band_.., axis_cnf, axis_mode. An
// existing file is replaced whole, only once the new one is complete, so an earlier backup's
// sections never mix into this one and a failed write leaves the old file as it was.
// False when the file could not be written.
bool WriteBackupFile(const BackupContents& contents, const std::string& path);

// A backup is a few kilobytes; a larger file is no backup and is not read at all.
inline constexpr std::size_t kBackupMaxBytes = 1 << 20;

// Keys a backup always holds that the file lacks (or holds empty): THROTTLE and THROTTLE_0 ..
// THROTTLE_2 with all their keys, and every key of BRAKE and CLUTCH when the file has those
// sections. Keys empty: the whole section is missing.
struct BackupGap {
  std::string section;
  std::vector<std::string> keys;
};

// What a restore takes from a backup file. Every missing or empty key takes its default (dead
// zones 0 and 100, the identity curve, axis_cnf 1 for the throttle but 0 for the brake and
// clutch, axis_mode 0, actual_preset 0); gaps lists them, so that the user decides whether a
// truncated or hand-made file is restored at all. A BRAKE or CLUTCH section that the file does
// not hold stays nothing, so the restore leaves that pedal alone.
struct RestoredBackup {
  int actualPreset = 0;  // as written; the restore maps it to a preset
  std::array<pages::ThrottleCurveSettings, pages::kThrottlePresetCount> presets{
      pages::DefaultThrottleSettings(), pages::DefaultThrottleSettings(),
      pages::DefaultThrottleSettings()};
  std::optional<pages::BrakeClutchSettings> brake;
  std::optional<pages::BrakeClutchSettings> clutch;
  std::vector<BackupGap> gaps;
};

// Why a backup file cannot be restored.
enum class BackupReadFailure {
  kUnreadable,  // the file cannot be opened or read, or is no regular file
  kTooLarge,    // more than kBackupMaxBytes
  kNotABackup,  // it holds no key of the backup's sections
  kBadValue,    // a value is no number of its kind or lies out of range
};

struct BackupReadError {
  BackupReadFailure failure;
  // For BadValue: where, and the text found (at most 63 characters).
  std::string section;
  std::string key;
  std::string text;
};

// Reads the file once and checks all of it before anything is restored from it. Dead zones
// and curve points must lie within 0..100 (throttle points may have one decimal, brake and
// clutch points are whole numbers), axis_cnf and axis_mode must be 0 or 1, actual_preset any
// whole number.
std::variant<RestoredBackup, BackupReadError> ReadBackupFile(const std::string& path);

// The restored presets (all three) into their PRESET_n sections of the settings file, and the
// brake's maximum force (its dz_1) into BRAKE max_force, all at once: the settings file is replaced
// only when every key was written, and is left as it was otherwise. False on failure.
bool WriteRestoredSettings(const RestoredBackup& backup, const std::string& settingsFile);

// The preset that actual_preset selects: B for 1, C for 2, A for anything else.
int PresetForBackupValue(int actualPreset);

}  // namespace app
