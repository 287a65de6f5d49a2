// The backup file against real files: what a backup holds and in which order, that it
// replaces an earlier file whole and only once complete, reading a backup back with its
// defaults and value checks, a UTF-16 file with CRLF line ends, and the restored presets going
// into the settings file all at once.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/backup/backup_file.h"
#include "backup_test_support.h"
#include "pages/brake_clutch_curve.h"
#include "platform/ini_file.h"
#include "platform/ini_write_hook.h"

using namespace pages;
using namespace app;

namespace {

using backup_test::KeyLines;
using backup_test::ReadBytes;
using backup_test::TempFolder;
using backup_test::WindowsUtf16File;
using backup_test::WriteBytes;

using backup_test::kPedalKeys;
using backup_test::kThrottleKeys;

using Overrides = std::map<std::string, std::string>;

// Key lines of one section: each key's default text unless overridden.
void AppendSection(std::vector<std::string>& lines, const std::string& section,
                   const std::vector<std::string>& keys, bool throttle,
                   const Overrides& overrides) {
  for (const std::string& key : keys) {
    std::string value;
    if (auto found = overrides.find(key); found != overrides.end()) {
      value = found->second;
    } else if (key == "dz_1") {
      value = "100";
    } else if (key == "axis_cnf") {
      value = "1";
    } else if (key.rfind("band_", 0) == 0) {
      value = key.substr(5) + (throttle ? ".0" : "");
    } else {
      value = "0";
    }
    lines.push_back(section + " " + key + "=" + value);
  }
}

BrakeClutchSettings SlowBrake() {
  BrakeClutchSettings brake = DefaultBrakeClutchSettings();
  brake.dz_0 = 3;
  brake.dz_1 = 85;
  brake.band = {0, 4, 9, 14, 21, 29, 39, 50, 63, 79, 100};
  return brake;
}

BrakeClutchSettings WideClutch() {
  BrakeClutchSettings clutch = DefaultBrakeClutchSettings();
  clutch.dz_1 = 95;
  clutch.axis_cnf = 0;
  return clutch;
}

// Fails the INI module's writes from the given one on; each write counts once.
int writesBeforeFailure = 0;
bool CountDownWrites(const std::string&) { return --writesBeforeFailure >= 0; }

class FailingWrites {
 public:
  explicit FailingWrites(int succeeding) {
    writesBeforeFailure = succeeding;
    platform::ini::SetBeforeReplaceHook(&CountDownWrites);
  }
  ~FailingWrites() { platform::ini::SetBeforeReplaceHook(nullptr); }
};

// Every field that a backup carries (dirty is not one).
template <typename Settings>
void ExpectSameSettings(const Settings& actual, const Settings& expected) {
  EXPECT_EQ(actual.dz_0, expected.dz_0);
  EXPECT_EQ(actual.dz_1, expected.dz_1);
  EXPECT_EQ(actual.band, expected.band);
  EXPECT_EQ(actual.axis_cnf, expected.axis_cnf);
  EXPECT_EQ(actual.axis_mode, expected.axis_mode);
}

RestoredBackup ReadOk(const std::string& path) {
  auto result = ReadBackupFile(path);
  if (const auto* error = std::get_if<BackupReadError>(&result)) {
    ADD_FAILURE() << "refused: [" << error->section << "] " << error->key << "=" << error->text;
    return {};
  }
  return std::get<RestoredBackup>(result);
}

// What reading a file of these contents gives; nullptr: the file does not exist.
std::variant<RestoredBackup, BackupReadError> ReadChosenFile(const char* contents) {
  TempFolder folder;
  const std::string path = folder.File("chosen.txt");
  if (contents) WriteBytes(path, contents);
  return ReadBackupFile(path);
}

// ---- Writing ----

struct PresenceCase {
  const char* name;
  PedalPresence presence;
  std::size_t keyLines;
};

class BackupPresenceTest : public ::testing::TestWithParam<PresenceCase> {};

TEST_P(BackupPresenceTest, WritesSectionsAndKeysInOrder) {
  const PresenceCase& c = GetParam();
  TempFolder folder;
  // PRESET_0 is missing; PRESET_2 holds a text that the settings helpers read as 0.0.
  WriteBytes(folder.Settings(),
             "[PRESET_1]\ndz_0=5\nband_95=97.5\naxis_mode=1\n[PRESET_2]\nband_50=abc\ndz_1=80\n");
  const std::string backup = folder.File("backup.txt");
  ASSERT_TRUE(WriteBackupFile(
      *CollectBackup(folder.Settings(), 2, c.presence, SlowBrake(), WideClutch()), backup));

  std::vector<std::string> expected = {"THROTTLE actual_preset=2"};
  AppendSection(expected, "THROTTLE_0", kThrottleKeys, true, {});
  AppendSection(expected, "THROTTLE_1", kThrottleKeys, true,
                {{"dz_0", "5"}, {"band_95", "97.5"}, {"axis_mode", "1"}});
  AppendSection(expected, "THROTTLE_2", kThrottleKeys, true, {{"band_50", "0.0"}, {"dz_1", "80"}});
  if (c.presence.brake) {
    AppendSection(expected, "BRAKE", kPedalKeys, false,
                  {{"dz_0", "3"},
                   {"dz_1", "85"},
                   {"band_10", "4"},
                   {"band_20", "9"},
                   {"band_30", "14"},
                   {"band_40", "21"},
                   {"band_50", "29"},
                   {"band_60", "39"},
                   {"band_70", "50"},
                   {"band_80", "63"},
                   {"band_90", "79"}});
  }
  if (c.presence.clutch) {
    AppendSection(expected, "CLUTCH", kPedalKeys, false, {{"dz_1", "95"}, {"axis_cnf", "0"}});
  }
  EXPECT_EQ(KeyLines(backup), expected);
  EXPECT_EQ(expected.size(), c.keyLines);
  // A new file: UTF-8 without byte order mark, CRLF line ends, sections in writing order.
  const std::string start = "[THROTTLE]\r\nactual_preset=2\r\n[THROTTLE_0]\r\ndz_0=0\r\n";
  EXPECT_EQ(ReadBytes(backup).substr(0, start.size()), start);
}

INSTANTIATE_TEST_SUITE_P(Presence, BackupPresenceTest,
                         ::testing::Values(PresenceCase{"NoPedals", {false, false}, 73},
                                           PresenceCase{"Brake", {true, false}, 88},
                                           PresenceCase{"Clutch", {false, true}, 88},
                                           PresenceCase{"Both", {true, true}, 103}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackupFileTest, BackupReplacesAnEarlierFileWhole) {
  TempFolder folder;
  const std::string backup = folder.File("backup.txt");
  // An earlier backup taken while the brake was present, and a line of the user's own.
  WriteBytes(backup,
             "[THROTTLE_0]\r\ndz_0=9\r\n[BRAKE]\r\ndz_0=7\r\ndz_1=61\r\n[NOTES]\r\nx=1\r\n");
  ASSERT_TRUE(WriteBackupFile(
      *CollectBackup(folder.Settings(), 0, {false, false}, SlowBrake(), WideClutch()), backup));
  const std::vector<std::string> lines = KeyLines(backup);
  ASSERT_EQ(lines.size(), 73u);
  EXPECT_EQ(lines[1], "THROTTLE_0 dz_0=0");
  EXPECT_EQ(platform::GetPrivateProfileString("BRAKE", "dz_1", "<missing>", 64, backup),
            "<missing>");
}

TEST(BackupFileTest, BackupThatFailsLeavesTheOldFile) {
  // First, a middle and the last of the 73 writes of a backup without pedals.
  for (const int succeeding : {0, 36, 72}) {
    SCOPED_TRACE(succeeding);
    TempFolder folder;
    const std::string backup = folder.File("backup.txt");
    const std::string old = "[THROTTLE]\r\nactual_preset=1\r\n";
    WriteBytes(backup, old);
    const std::vector<std::string> entries = folder.Entries();
    {
      FailingWrites failing(succeeding);
      EXPECT_FALSE(WriteBackupFile(
          *CollectBackup(folder.Settings(), 0, {false, false}, SlowBrake(), WideClutch()), backup));
    }
    EXPECT_EQ(ReadBytes(backup), old);
    EXPECT_EQ(folder.Entries(), entries);  // no temporary file left behind
  }
}

// The most temporary files seen in the folder at any write; a kill at that point leaves them.
std::string watchedFolder;
std::size_t mostTemporaryFiles = 0;
bool CountTemporaryFiles(const std::string&) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(watchedFolder)) {
    count += entry.path().filename().string().starts_with(".") ? 1 : 0;
  }
  mostTemporaryFiles = std::max(mostTemporaryFiles, count);
  return true;
}

// A backup or restore written key by key into its staged copy keeps one temporary file beside
// the target, so a kill at any point leaves no more than that one.
TEST(BackupFileTest, StagedWritesKeepOneTemporaryFile) {
  TempFolder folder;
  watchedFolder = folder.File("");
  mostTemporaryFiles = 0;
  const std::string backup = folder.File("backup.txt");
  platform::ini::SetBeforeReplaceHook(&CountTemporaryFiles);
  const bool backedUp = WriteBackupFile(
      *CollectBackup(folder.Settings(), 0, {true, true}, SlowBrake(), WideClutch()), backup);
  const auto read = ReadBackupFile(backup);
  const bool restored = std::holds_alternative<RestoredBackup>(read) &&
                        WriteRestoredSettings(std::get<RestoredBackup>(read), folder.Settings());
  platform::ini::SetBeforeReplaceHook(nullptr);
  EXPECT_TRUE(backedUp && restored);
  EXPECT_EQ(mostTemporaryFiles, 1u);
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"backup.txt", "presets.ini"}));
}

TEST(BackupFileTest, BackupIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(
      WriteBackupFile(*CollectBackup(folder.Settings(), 0, {true, true}, SlowBrake(), WideClutch()),
                      folder.File("no/such/folder/backup.txt")));
}

// ---- Reading ----

TEST(BackupFileTest, RoundTripRestoresWhatWasBackedUp) {
  TempFolder folder;
  WriteBytes(folder.Settings(),
             "[PRESET_0]\ndz_0=4\ndz_1=96\nband_50=45.5\naxis_cnf=0\n"
             "[PRESET_1]\nband_0=2.5\nband_99=99.5\naxis_mode=1\n"
             "[PRESET_2]\nband_100=90.0\n");
  std::array<ThrottleCurveSettings, 3> stored{DefaultThrottleSettings(), DefaultThrottleSettings(),
                                              DefaultThrottleSettings()};
  for (int n = 0; n < 3; ++n) LoadThrottlePreset(stored[n], n, folder.Settings());
  const std::string backup = folder.File("backup.txt");
  ASSERT_TRUE(WriteBackupFile(
      *CollectBackup(folder.Settings(), 1, {true, true}, SlowBrake(), WideClutch()), backup));

  // The settings change afterwards; other sections must survive the restore.
  WriteBytes(folder.Settings(),
             "[JOY]\nbrake_inc_joy=-1\n[PRESET_0]\ndz_0=30\n[PRESET_2]\nband_100=10.0\n");
  const RestoredBackup restored = ReadOk(backup);
  ASSERT_TRUE(WriteRestoredSettings(restored, folder.Settings()));

  EXPECT_EQ(restored.actualPreset, 1);
  EXPECT_TRUE(restored.gaps.empty());
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    ExpectSameSettings(restored.presets[n], stored[n]);
    ThrottleCurveSettings reloaded = DefaultThrottleSettings();
    LoadThrottlePreset(reloaded, n, folder.Settings());
    ExpectSameSettings(reloaded, stored[n]);
  }
  ASSERT_TRUE(restored.brake && restored.clutch);
  ExpectSameSettings(*restored.brake, SlowBrake());
  ExpectSameSettings(*restored.clutch, WideClutch());
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "max_force", -1, folder.Settings()), 85);
  EXPECT_EQ(platform::GetPrivateProfileInt("JOY", "brake_inc_joy", 0, folder.Settings()), -1);
}

// A backup in the profile functions' Unicode form: UTF-16 LE with byte order mark and CRLF.
constexpr char kWindowsBackup[] =
    "[THROTTLE]\n"
    "actual_preset=2\n"
    "[THROTTLE_0]\n"
    "dz_0=2\n"
    "dz_1=98\n"
    "band_0=0.0\n"
    "band_10=21.0\n"
    "band_20=37.0\n"
    "band_30=50.0\n"
    "band_40=61.0\n"
    "band_50=70.5\n"
    "band_60=78.0\n"
    "band_70=85.0\n"
    "band_80=90.5\n"
    "band_90=95.0\n"
    "band_91=95.5\n"
    "band_92=96.0\n"
    "band_93=96.5\n"
    "band_94=97.0\n"
    "band_95=97.5\n"
    "band_96=98.0\n"
    "band_97=98.5\n"
    "band_98=99.0\n"
    "band_99=99.5\n"
    "band_100=100.0\n"
    "axis_cnf=1\n"
    "axis_mode=1\n"
    "[THROTTLE_1]\n"
    "dz_0=0\n"
    "dz_1=100\n"
    "band_50=50.0\n"
    "axis_cnf=1\n"
    "axis_mode=0\n"
    "[THROTTLE_2]\n"
    "dz_0=10\n"
    "dz_1=90\n"
    "axis_cnf=0\n"
    "axis_mode=0\n"
    "[BRAKE]\n"
    "dz_0=5\n"
    "dz_1=72\n"
    "band_0=0\n"
    "band_10=2\n"
    "band_20=4\n"
    "band_30=7\n"
    "band_40=11\n"
    "band_50=17\n"
    "band_60=25\n"
    "band_70=35\n"
    "band_80=48\n"
    "band_90=66\n"
    "band_100=100\n"
    "axis_cnf=1\n"
    "axis_mode=0\n";

TEST(BackupFileTest, RestoresABackupWrittenByTheWindowsProgram) {
  TempFolder folder;
  const std::string backup = folder.File("windows_backup.txt");
  WriteBytes(backup, WindowsUtf16File(kWindowsBackup));
  // The settings file is a Unicode one too, and must stay so.
  WriteBytes(folder.Settings(), WindowsUtf16File("[CNF]\npreset=0\n"));

  const RestoredBackup restored = ReadOk(backup);
  EXPECT_EQ(restored.actualPreset, 2);
  ThrottleCurveSettings first = DefaultThrottleSettings();
  first.dz_0 = 2;
  first.dz_1 = 98;
  first.band = {0.0f,  21.0f, 37.0f, 50.0f, 61.0f, 70.5f, 78.0f, 85.0f, 90.5f, 95.0f,
                95.5f, 96.0f, 96.5f, 97.0f, 97.5f, 98.0f, 98.5f, 99.0f, 99.5f, 100.0f};
  first.axis_mode = 1;
  ExpectSameSettings(restored.presets[0], first);
  ExpectSameSettings(restored.presets[1], DefaultThrottleSettings());
  EXPECT_EQ(restored.presets[2].dz_0, 10);
  EXPECT_EQ(restored.presets[2].axis_cnf, 0);
  ASSERT_TRUE(restored.brake.has_value());
  EXPECT_EQ(restored.brake->dz_1, 72);
  EXPECT_EQ(restored.brake->dz_0, 5);
  EXPECT_EQ(restored.brake->band, (BrakeClutchPoints{0, 2, 4, 7, 11, 17, 25, 35, 48, 66, 100}));
  EXPECT_EQ(restored.brake->axis_cnf, 1);
  EXPECT_FALSE(restored.clutch.has_value());

  ASSERT_TRUE(WriteRestoredSettings(restored, folder.Settings()));
  EXPECT_EQ(ReadBytes(folder.Settings()).substr(0, 2), "\xFF\xFE");
  ThrottleCurveSettings reloaded = DefaultThrottleSettings();
  LoadThrottlePreset(reloaded, 0, folder.Settings());
  ExpectSameSettings(reloaded, first);
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "max_force", -1, folder.Settings()), 72);
  EXPECT_EQ(platform::GetPrivateProfileInt("CNF", "preset", -1, folder.Settings()), 0);
}

TEST(BackupFileTest, MissingKeysTakeTheirDefaultsAndAreListed) {
  TempFolder folder;
  const std::string backup = folder.File("backup.txt");
  WriteBytes(backup,
             "[THROTTLE_0]\ndz_1=80\nband_50=\n"
             "[THROTTLE_1]\n"
             "[BRAKE]\ndz_1=85\n"
             "[CLUTCH]\naxis_mode=1\n");
  const RestoredBackup restored = ReadOk(backup);
  EXPECT_EQ(restored.actualPreset, 0);
  ThrottleCurveSettings throttle = DefaultThrottleSettings();
  throttle.dz_1 = 80;
  ExpectSameSettings(restored.presets[0], throttle);  // band_50 empty: 50.0
  ExpectSameSettings(restored.presets[1], DefaultThrottleSettings());
  ExpectSameSettings(restored.presets[2], DefaultThrottleSettings());

  // The brake and clutch are off unless the file says otherwise.
  BrakeClutchSettings brake = DefaultBrakeClutchSettings();
  brake.dz_1 = 85;
  brake.axis_cnf = 0;
  BrakeClutchSettings clutch = DefaultBrakeClutchSettings();
  clutch.axis_cnf = 0;
  clutch.axis_mode = 1;
  ASSERT_TRUE(restored.brake && restored.clutch);
  ExpectSameSettings(*restored.brake, brake);
  ExpectSameSettings(*restored.clutch, clutch);

  // Every key a backup always holds and this one lacks; an empty one counts as missing.
  std::vector<std::string> throttle0 = kThrottleKeys;
  std::erase(throttle0, "dz_1");
  std::vector<std::string> brakeKeys = kPedalKeys;
  std::erase(brakeKeys, "dz_1");
  std::vector<std::string> clutchKeys = kPedalKeys;
  std::erase(clutchKeys, "axis_mode");
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"THROTTLE", {}},   {"THROTTLE_0", throttle0}, {"THROTTLE_1", {}},
      {"THROTTLE_2", {}}, {"BRAKE", brakeKeys},      {"CLUTCH", clutchKeys}};
  ASSERT_EQ(restored.gaps.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(restored.gaps[i].section, expected[i].first);
    EXPECT_EQ(restored.gaps[i].keys, expected[i].second) << expected[i].first;
  }
}

TEST(BackupFileTest, AbsentPedalSectionsRestoreNothingOfThem) {
  TempFolder folder;
  const std::string backup = folder.File("backup.txt");
  WriteBytes(backup, "[THROTTLE_1]\ndz_0=7\n");
  WriteBytes(folder.Settings(),
             "[PRESET_0]\ndz_0=9\n[PRESET_1]\ndz_0=1\n[PRESET_2]\ndz_0=8\n[BRAKE]\nmax_force=70\n");

  const RestoredBackup restored = ReadOk(backup);
  EXPECT_FALSE(restored.brake.has_value());
  EXPECT_FALSE(restored.clutch.has_value());

  ASSERT_TRUE(WriteRestoredSettings(restored, folder.Settings()));
  const std::string& settings = folder.Settings();
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_0", "dz_0", -1, settings), 0);
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_1", "dz_0", -1, settings), 7);
  EXPECT_EQ(platform::GetPrivateProfileString("PRESET_1", "band_100", "", 64, settings), "100.0");
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_2", "dz_0", -1, settings), 0);
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "max_force", -1, settings), 70);
}

struct NotRestorableCase {
  const char* name;
  const char* contents;  // nullptr: no file at all
  BackupReadFailure failure;
};

class NotRestorableTest : public ::testing::TestWithParam<NotRestorableCase> {};

TEST_P(NotRestorableTest, IsRefused) {
  const NotRestorableCase& c = GetParam();
  const auto result = ReadChosenFile(c.contents);
  ASSERT_TRUE(std::holds_alternative<BackupReadError>(result));
  EXPECT_EQ(std::get<BackupReadError>(result).failure, c.failure);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotRestorableTest,
    ::testing::Values(
        NotRestorableCase{"Empty", "", BackupReadFailure::kNotABackup},
        NotRestorableCase{"PlainText", "shopping list\nmilk\n", BackupReadFailure::kNotABackup},
        NotRestorableCase{"SettingsFile", "[JOY]\nbrake_inc_joy=-1\n[PRESET_0]\ndz_0=5\n",
                          BackupReadFailure::kNotABackup},
        NotRestorableCase{"UnknownKeysOnly", "[THROTTLE_0]\ncolour=red\n",
                          BackupReadFailure::kNotABackup},
        NotRestorableCase{"Missing", nullptr, BackupReadFailure::kUnreadable}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupFileTest, AFolderIsUnreadable) {
  TempFolder folder;
  const std::string path = folder.File("backup.txt");
  std::filesystem::create_directory(path);
  const auto result = ReadBackupFile(path);
  ASSERT_TRUE(std::holds_alternative<BackupReadError>(result));
  EXPECT_EQ(std::get<BackupReadError>(result).failure, BackupReadFailure::kUnreadable);
}

// A file far larger than any backup is refused from its size, without being read; what is not
// a regular file is refused without waiting on it.
TEST(BackupFileTest, OversizedAndSpecialFilesAreRefused) {
  TempFolder folder;
  const std::string good = "[THROTTLE]\nactual_preset=1\n";
  const auto sized = [&](const std::string& name, std::size_t size) {
    const std::string path = folder.File(name);
    WriteBytes(path, good + std::string(size - good.size() - 1, ';') + "\n");
    return path;
  };
  const std::string atLimit = sized("at_limit.txt", kBackupMaxBytes);
  const std::string overLimit = sized("over_limit.txt", kBackupMaxBytes + 1);
  const std::string huge = folder.File("huge.txt");
  WriteBytes(huge, good);
  std::filesystem::resize_file(huge, std::uintmax_t{100} << 20);
  const std::string fifo = folder.File("fifo.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);

  const auto failure = [](const std::string& path) -> std::optional<BackupReadFailure> {
    const auto result = ReadBackupFile(path);
    if (const auto* error = std::get_if<BackupReadError>(&result)) return error->failure;
    return std::nullopt;
  };
  EXPECT_EQ(failure(atLimit), std::nullopt);
  EXPECT_EQ(failure(overLimit), BackupReadFailure::kTooLarge);
  EXPECT_EQ(failure(huge), BackupReadFailure::kTooLarge);
  EXPECT_EQ(failure(fifo), BackupReadFailure::kUnreadable);
}

struct ValueCase {
  const char* section;
  const char* key;
  const char* text;
  bool accepted;
};

class BackupValueTest : public ::testing::TestWithParam<ValueCase> {};

// One value beside a good one: taken when it is a number of its kind within its range, else
// the whole file is refused, naming the value.
TEST_P(BackupValueTest, IsCheckedBeforeAnythingIsRestored) {
  const ValueCase& c = GetParam();
  const auto result = ReadChosenFile(
      (std::string("[") + c.section + "]\n" + c.key + "=" + c.text + "\naxis_mode=0\n").c_str());
  if (c.accepted) {
    EXPECT_TRUE(std::holds_alternative<RestoredBackup>(result));
    return;
  }
  ASSERT_TRUE(std::holds_alternative<BackupReadError>(result));
  const BackupReadError& error = std::get<BackupReadError>(result);
  EXPECT_EQ(error.failure, BackupReadFailure::kBadValue);
  EXPECT_EQ(error.section, c.section);
  EXPECT_EQ(error.key, c.key);
  EXPECT_EQ(error.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BackupValueTest,
    ::testing::Values(
        // dead zones
        ValueCase{"THROTTLE_1", "dz_0", "101", false}, ValueCase{"THROTTLE_1", "dz_1", "-1", false},
        ValueCase{"THROTTLE_1", "dz_1", "100", true}, ValueCase{"BRAKE", "dz_1", "250", false},
        ValueCase{"BRAKE", "dz_1", "45", true}, ValueCase{"CLUTCH", "dz_0", "5x", false},
        ValueCase{"THROTTLE_2", "dz_0", "99999999999", false},
        // throttle points: numbers within 0..100
        ValueCase{"THROTTLE_2", "band_50", "100.5", false},
        ValueCase{"THROTTLE_2", "band_50", "-0.5", false},
        ValueCase{"THROTTLE_2", "band_50", "abc", false},
        ValueCase{"THROTTLE_2", "band_50", "nan", false},
        ValueCase{"THROTTLE_2", "band_50", "inf", false},
        ValueCase{"THROTTLE_2", "band_50", "99.5", true},
        ValueCase{"THROTTLE_2", "band_0", "0", true},
        ValueCase{"THROTTLE_2", "band_100", "+100.0", true},
        // brake and clutch points: whole numbers within 0..100
        ValueCase{"BRAKE", "band_30", "37.5", false}, ValueCase{"CLUTCH", "band_100", "101", false},
        ValueCase{"BRAKE", "band_30", "37", true},
        // flags: 0 or 1
        ValueCase{"THROTTLE_0", "axis_cnf", "2", false},
        ValueCase{"CLUTCH", "axis_mode", "-1", false}, ValueCase{"BRAKE", "axis_cnf", "1", true},
        // the selected preset: any whole number
        ValueCase{"THROTTLE", "actual_preset", "abc", false},
        ValueCase{"THROTTLE", "actual_preset", "7", true}),
    [](const auto& info) {
      std::string name =
          std::string(info.param.section) + "_" + info.param.key + "_" + std::to_string(info.index);
      for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

TEST(BackupFileTest, ActualPresetSelectsBOrCOrElseA) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {7, 0}, {-1, 0}};
  for (const auto& [value, preset] : cases) EXPECT_EQ(PresetForBackupValue(value), preset) << value;
}

// ---- Into the settings file ----

TEST(BackupFileTest, RestoredSettingsGoInAllAtOnceOrNotAtAll) {
  for (const int succeeding : {0, 30, 72}) {
    SCOPED_TRACE(succeeding);
    TempFolder folder;
    const std::string backup = folder.File("backup.txt");
    ASSERT_TRUE(WriteBackupFile(
        *CollectBackup(folder.Settings(), 0, {true, false}, SlowBrake(), WideClutch()), backup));
    const std::string old = "[PRESET_0]\r\ndz_0=33\r\n[BRAKE]\r\nmax_force=66\r\n";
    WriteBytes(folder.Settings(), old);
    const std::vector<std::string> entries = folder.Entries();
    const RestoredBackup restored = ReadOk(backup);
    {
      // 3 x 24 preset keys and max_force: the last write fails too.
      FailingWrites failing(succeeding);
      EXPECT_FALSE(WriteRestoredSettings(restored, folder.Settings()));
    }
    EXPECT_EQ(ReadBytes(folder.Settings()), old);
    EXPECT_EQ(folder.Entries(), entries);
  }
}

TEST(BackupFileTest, RestoreCreatesAMissingSettingsFile) {
  TempFolder folder;
  const std::string backup = folder.File("backup.txt");
  ASSERT_TRUE(WriteBackupFile(
      *CollectBackup(folder.Settings(), 0, {true, false}, SlowBrake(), WideClutch()), backup));
  ASSERT_TRUE(WriteRestoredSettings(ReadOk(backup), folder.Settings()));
  const std::vector<std::string> lines = KeyLines(folder.Settings());
  ASSERT_EQ(lines.size(), 73u);
  EXPECT_EQ(lines.front(), "PRESET_0 dz_0=0");
  EXPECT_EQ(lines.back(), "BRAKE max_force=85");
}

}  // namespace
