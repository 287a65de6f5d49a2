// The Save Preset and Load Preset flows over a scripted main dialog with the real throttle page
// model and real files: the unsaved-changes question, cancelled dialogs, what a restore selects,
// loads and applies, and that a refused file or a failed write changes nothing.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
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

using backup_test::Events;
using backup_test::KeyLines;
using backup_test::ReadBytes;
using backup_test::ScriptedHost;
using backup_test::TempFolder;
using backup_test::WriteBytes;

class BackupRestoreTest : public ::testing::Test {
 protected:
  BackupRestoreTest() {
    WriteBytes(
        folder_.Settings(),
        "[CNF]\r\npreset=0\r\n[PRESET_0]\r\ndz_0=4\r\n[PRESET_1]\r\nband_50=60.0\r\n"
        "[PRESET_2]\r\naxis_cnf=0\r\n[BRAKE]\r\nmax_force=70\r\n[JOY]\r\nbrake_inc_joy=-1\r\n");
    host_.emplace(folder_.Settings());
    host_->events.clear();
  }

  // A backup with the given preset selected, taken from a settings file of its own.
  std::string MakeBackup(const std::string& presets, int actualPreset, PedalPresence presence,
                         const BrakeClutchSettings& brake, const BrakeClutchSettings& clutch) {
    const std::string source = folder_.File("source.ini");
    WriteBytes(source, presets);
    const std::string backup = folder_.File("backup.txt");
    EXPECT_TRUE(
        WriteBackupFile(*CollectBackup(source, actualPreset, presence, brake, clutch), backup));
    return backup;
  }

  int SettingsInt(const char* section, const char* key) const {
    return platform::GetPrivateProfileInt(section, key, -99, folder_.Settings());
  }

  TempFolder folder_;
  std::optional<ScriptedHost> host_;
};

BrakeClutchSettings Brake85() {
  BrakeClutchSettings brake = DefaultBrakeClutchSettings();
  brake.dz_0 = 2;
  brake.dz_1 = 85;
  brake.band[5] = 40;
  return brake;
}

BrakeClutchSettings Clutch90() {
  BrakeClutchSettings clutch = DefaultBrakeClutchSettings();
  clutch.dz_1 = 90;
  return clutch;
}

// ---- Restore ----

TEST_F(BackupRestoreTest, RestoreWritesSelectsLoadsAndApplies) {
  host_->chosenFile = MakeBackup("[PRESET_1]\ndz_0=12\nband_95=97.5\n[PRESET_2]\ndz_1=80\n", 1,
                                 {true, true}, Brake85(), Clutch90());
  BackupRestore(*host_).OnRestorePresets();

  // The forced selection applies once, and the restore once more at its end.
  EXPECT_EQ(host_->events, (Events{"open dialog", "select 1", "check 1", "apply", "load brake",
                                   "load clutch", "apply"}));
  EXPECT_EQ(host_->throttle.CurrentPreset(), 1);
  EXPECT_EQ(host_->throttle.Settings().dz_0, 12);
  EXPECT_FLOAT_EQ(host_->throttle.Settings().band[14], 97.5f);
  EXPECT_FALSE(host_->throttle.Settings().dirty);
  EXPECT_EQ(SettingsInt("CNF", "preset"), 1);
  EXPECT_EQ(SettingsInt("PRESET_0", "dz_0"), 0);  // the backup's preset A: all defaults
  EXPECT_EQ(SettingsInt("PRESET_2", "dz_1"), 80);
  EXPECT_EQ(SettingsInt("BRAKE", "max_force"), 85);
  EXPECT_EQ(SettingsInt("JOY", "brake_inc_joy"), -1);  // the rest of the file stays

  EXPECT_EQ(host_->brake.settings.dz_1, 85);
  EXPECT_EQ(host_->brake.settings.band[5], 40);
  EXPECT_TRUE(host_->brake.settings.dirty);
  EXPECT_EQ(host_->clutch.settings.dz_1, 90);
  EXPECT_TRUE(host_->clutch.settings.dirty);
  EXPECT_TRUE(host_->errors.empty());
}

TEST_F(BackupRestoreTest, RestoreOfAnOutOfRangePresetSelectsA) {
  host_->chosenFile = folder_.File("backup.txt");
  WriteBytes(*host_->chosenFile, "[THROTTLE]\nactual_preset=7\n[THROTTLE_0]\ndz_0=3\n");
  host_->incompleteAnswer = QuestionAnswer::kYes;
  host_->throttle.SelectThrottlePreset(2, true);
  host_->events.clear();
  BackupRestore(*host_).OnRestorePresets();
  EXPECT_EQ(host_->throttle.CurrentPreset(), 0);
  EXPECT_EQ(host_->throttle.Settings().dz_0, 3);
  EXPECT_EQ(SettingsInt("CNF", "preset"), 0);
}

// The backup of the report: cut just before band_60 of [THROTTLE_1].
std::string CutBefore(const std::string& backup, const std::string& marker) {
  const std::string bytes = ReadBytes(backup);
  const std::size_t at = bytes.find(marker);
  EXPECT_NE(at, std::string::npos);
  return bytes.substr(0, at);
}

// The answers to a question of the restore: only an explicit Yes goes on.
struct QuestionCase {
  const char* name;
  QuestionAnswer answer;
  bool goesOn;
};

const QuestionCase kAnswerCases[] = {{"Yes", QuestionAnswer::kYes, true},
                                     {"No", QuestionAnswer::kNo, false},
                                     {"Closed", QuestionAnswer::kClosed, false}};

std::string AnswerName(const ::testing::TestParamInfo<QuestionCase>& info) {
  return info.param.name;
}

class IncompleteRestoreTest : public BackupRestoreTest,
                              public ::testing::WithParamInterface<QuestionCase> {};

// A truncated backup names what it lacks and goes on only on an explicit Yes; then what is
// missing takes its defaults, preset C's included, instead of being left as it was.
TEST_P(IncompleteRestoreTest, IsRestoredWholeOnlyAfterYes) {
  const std::string full = MakeBackup(
      "[PRESET_0]\ndz_0=6\n[PRESET_1]\nband_90=80.0\n"
      "[PRESET_2]\ndz_1=77\n",
      2, {false, false}, Brake85(), Clutch90());
  const std::string cut = full + ".cut";
  WriteBytes(cut, CutBefore(full, "band_60=60.0\r\nband_70=70.0\r\nband_80=80.0\r\nband_90=80.0"));
  host_->chosenFile = cut;
  host_->language = PageLanguage::kEnglish;
  host_->incompleteAnswer = GetParam().answer;
  const std::string before = ReadBytes(folder_.Settings());
  BackupRestore(*host_).OnRestorePresets();

  ASSERT_EQ(host_->questions.size(), 1u);
  EXPECT_EQ(host_->questions[0],
            "The file\n" + cut +
                "\nis incomplete. It lacks:\n"
                "[THROTTLE_1] band_60, band_70, band_80, band_90, band_91, band_92, band_93, "
                "band_94, band_95, band_96, band_97, band_98, band_99, band_100, axis_cnf, "
                "axis_mode\n[THROTTLE_2] the whole section\n\n"
                "What is missing will take its default values. Do you want to load it anyway?");
  if (!GetParam().goesOn) {
    EXPECT_EQ(host_->events, (Events{"open dialog", "incomplete question"}));
    EXPECT_EQ(ReadBytes(folder_.Settings()), before);
    return;
  }
  EXPECT_EQ(host_->events, (Events{"open dialog", "incomplete question", "select 2", "check 2",
                                   "apply", "apply"}));
  EXPECT_EQ(SettingsInt("PRESET_0", "dz_0"), 6);
  EXPECT_EQ(platform::GetPrivateProfileString("PRESET_1", "band_90", "", 64, folder_.Settings()),
            "90.0");
  EXPECT_EQ(SettingsInt("PRESET_2", "dz_1"), 100);
  EXPECT_EQ(SettingsInt("PRESET_2", "axis_cnf"), 1);  // was 0 in the settings file
  EXPECT_EQ(host_->throttle.Settings().dz_1, 100);
}

INSTANTIATE_TEST_SUITE_P(Answers, IncompleteRestoreTest, ::testing::ValuesIn(kAnswerCases),
                         AnswerName);

TEST_F(BackupRestoreTest, IncompleteFileQuestionInSpanish) {
  host_->chosenFile = folder_.File("backup.txt");
  WriteBytes(*host_->chosenFile, "[THROTTLE]\nactual_preset=1\n");
  BackupRestore(*host_).OnRestorePresets();
  ASSERT_EQ(host_->questions.size(), 1u);
  EXPECT_EQ(host_->questions[0],
            "El archivo\n" + *host_->chosenFile +
                "\nestá incompleto. Le faltan:\n[THROTTLE_0] la sección entera\n"
                "[THROTTLE_1] la sección entera\n[THROTTLE_2] la sección entera\n\n"
                "Lo que falta tomará sus valores por defecto. ¿Desea cargarlo de todos modos?");
}

// The keys a file holds with a value, by section, as the test reads the file itself.
std::map<std::string, std::map<std::string, std::string>> ValuesIn(const std::string& text) {
  std::map<std::string, std::map<std::string, std::string>> values;
  std::string section;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      values[section];
    } else if (const std::size_t equals = line.find('=');
               equals != std::string::npos && equals + 1 < line.size()) {
      values[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return values;
}

// Cut at every line of a real backup, with and without the pedals: the file is refused with a
// message, or restored whole (at once, or after an explicit Yes), never in part.
TEST_F(BackupRestoreTest, ABackupCutAtAnyLineIsRefusedOrRestoredWhole) {
  const std::string settingsBefore = ReadBytes(folder_.Settings());
  for (const PedalPresence presence : {PedalPresence{false, false}, PedalPresence{true, true}}) {
    const std::string full = MakeBackup(
        "[PRESET_0]\ndz_0=6\nband_0=3.5\n[PRESET_1]\nband_90=80.0\naxis_mode=1\n"
        "[PRESET_2]\ndz_1=77\nband_100=99.5\n",
        1, presence, Brake85(), Clutch90());
    const std::string bytes = ReadBytes(full);
    std::vector<std::size_t> lineEnds = {0};
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
         at = bytes.find("\r\n", at + 2)) {
      lineEnds.push_back(at + 2);
    }
    for (const std::size_t end : lineEnds) {
      for (const QuestionAnswer answer : {QuestionAnswer::kNo, QuestionAnswer::kYes}) {
        const std::string text = bytes.substr(0, end);
        SCOPED_TRACE(std::to_string(presence.brake) + " cut at byte " + std::to_string(end) +
                     (answer == QuestionAnswer::kYes ? " Yes" : " No"));
        WriteBytes(folder_.Settings(), settingsBefore);
        const std::string chosen = folder_.File("cut.txt");
        WriteBytes(chosen, text);
        host_.emplace(folder_.Settings());
        host_->events.clear();
        host_->chosenFile = chosen;
        host_->incompleteAnswer = answer;
        BackupRestore(*host_).OnRestorePresets();

        const auto values = ValuesIn(text);
        const auto valueOf = [&](const std::string& section, const std::string& key) {
          const auto found = values.find(section);
          if (found == values.end()) return std::optional<std::string>();
          const auto value = found->second.find(key);
          if (value == found->second.end()) return std::optional<std::string>();
          return std::optional<std::string>(value->second);
        };
        bool complete = valueOf("THROTTLE", "actual_preset").has_value();
        for (int n = 0; n < 3; ++n) {
          for (const std::string& key : backup_test::kThrottleKeys) {
            complete = complete && valueOf("THROTTLE_" + std::to_string(n), key).has_value();
          }
        }
        for (const char* pedal : {"BRAKE", "CLUTCH"}) {
          if (!values.contains(pedal)) continue;
          for (const std::string& key : backup_test::kPedalKeys) {
            complete = complete && valueOf(pedal, key).has_value();
          }
        }

        const Events& events = host_->events;
        ASSERT_GE(events.size(), 2u);
        if (events[1] == "error" ||
            (events[1] == "incomplete question" && answer != QuestionAnswer::kYes)) {
          EXPECT_EQ(events.size(), 2u);
          EXPECT_EQ(ReadBytes(folder_.Settings()), settingsBefore);
          continue;
        }
        EXPECT_EQ(events[1] == "incomplete question", !complete);
        // Restored whole: every key from the file, every other one its default.
        for (int n = 0; n < 3; ++n) {
          for (const std::string& key : backup_test::kThrottleKeys) {
            const std::string fallback = key == "dz_1"              ? "100"
                                         : key == "axis_cnf"        ? "1"
                                         : key.starts_with("band_") ? key.substr(5) + ".0"
                                                                    : "0";
            EXPECT_EQ(platform::GetPrivateProfileString("PRESET_" + std::to_string(n), key, "", 64,
                                                        folder_.Settings()),
                      valueOf("THROTTLE_" + std::to_string(n), key).value_or(fallback))
                << n << " " << key;
          }
        }
        const int preset = std::stoi(valueOf("THROTTLE", "actual_preset").value_or("0"));
        EXPECT_EQ(SettingsInt("CNF", "preset"), PresetForBackupValue(preset));
        EXPECT_EQ(
            SettingsInt("BRAKE", "max_force"),
            values.contains("BRAKE") ? std::stoi(valueOf("BRAKE", "dz_1").value_or("100")) : 70);
      }
    }
  }
}

// A backup taken while the brake and clutch were absent holds no settings of theirs: the pages
// and the stored maximum force keep what they had.
TEST_F(BackupRestoreTest, RestoreWithoutBrakeSectionKeepsTheBrake) {
  host_->chosenFile = MakeBackup("[PRESET_0]\ndz_0=1\n", 0, {false, false}, Brake85(), Clutch90());
  host_->brake.settings = Brake85();
  host_->brake.settings.dz_1 = 77;
  BackupRestore(*host_).OnRestorePresets();
  EXPECT_EQ(host_->events, (Events{"open dialog", "select 0", "check 0", "apply", "apply"}));
  EXPECT_EQ(host_->brake.settings.dz_1, 77);
  EXPECT_FALSE(host_->brake.settings.dirty);
  EXPECT_FALSE(host_->clutch.settings.dirty);
  EXPECT_EQ(SettingsInt("BRAKE", "max_force"), 70);
  EXPECT_EQ(SettingsInt("PRESET_0", "dz_0"), 1);
}

TEST_F(BackupRestoreTest, RestoreTakesBrakeAndClutchSectionsWhetherPresentOrNot) {
  host_->chosenFile = folder_.File("backup.txt");
  WriteBytes(*host_->chosenFile, "[BRAKE]\ndz_0=1\n[CLUTCH]\ndz_1=92\n");
  host_->presence = {false, false};
  host_->incompleteAnswer = QuestionAnswer::kYes;
  BackupRestore(*host_).OnRestorePresets();
  // A missing dz_1 writes the default force 100; the restored pedals are off by default.
  EXPECT_EQ(SettingsInt("BRAKE", "max_force"), 100);
  EXPECT_EQ(host_->brake.settings.dz_1, 100);
  EXPECT_EQ(host_->brake.settings.axis_cnf, 0);
  EXPECT_EQ(host_->clutch.settings.dz_1, 92);
  EXPECT_TRUE(host_->brake.settings.dirty && host_->clutch.settings.dirty);
}

class RestoreQuestionTest : public BackupRestoreTest,
                            public ::testing::WithParamInterface<QuestionCase> {};

// Only an explicit Yes goes on; No and a box closed without an answer leave everything.
TEST_P(RestoreQuestionTest, UnsentChangesAskFirst) {
  host_->chosenFile = MakeBackup("", 2, {true, true}, Brake85(), Clutch90());
  host_->clutch.settings.dirty = true;
  host_->answer = GetParam().answer;
  const std::string before = ReadBytes(folder_.Settings());
  BackupRestore(*host_).OnRestorePresets();
  if (GetParam().goesOn) {
    ASSERT_GE(host_->events.size(), 2u);
    EXPECT_EQ(host_->events[1], "open dialog");
    EXPECT_EQ(host_->throttle.CurrentPreset(), 2);
  } else {
    EXPECT_EQ(host_->events, Events{"question"});
    EXPECT_EQ(ReadBytes(folder_.Settings()), before);
    EXPECT_TRUE(host_->clutch.settings.dirty);
  }
  EXPECT_EQ(host_->events.front(), "question");
}

INSTANTIATE_TEST_SUITE_P(Answers, RestoreQuestionTest, ::testing::ValuesIn(kAnswerCases),
                         AnswerName);

TEST_F(BackupRestoreTest, RestoreWithoutUnsentChangesAsksNothing) {
  host_->chosenFile = std::nullopt;
  BackupRestore(*host_).OnRestorePresets();
  EXPECT_EQ(host_->events, Events{"open dialog"});
}

TEST_F(BackupRestoreTest, CancelledOpenDialogChangesNothing) {
  host_->throttle.Settings().dirty = true;
  host_->chosenFile = std::nullopt;
  const std::string before = ReadBytes(folder_.Settings());
  BackupRestore(*host_).OnRestorePresets();
  EXPECT_EQ(host_->events, (Events{"question", "open dialog"}));
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
  EXPECT_TRUE(host_->throttle.Settings().dirty);
}

struct RefusedCase {
  const char* name;
  const char* contents;  // nullptr: the chosen file has gone
  const char* spanish;   // the message, with <file> for the chosen path
  const char* english;
};

class RefusedRestoreTest : public BackupRestoreTest,
                           public ::testing::WithParamInterface<RefusedCase> {};

// A file that cannot be restored is named in a message; nothing is written, selected, loaded
// or applied, even when its first sections were good.
TEST_P(RefusedRestoreTest, ChangesNothingAndSaysWhy) {
  const RefusedCase& c = GetParam();
  for (const PageLanguage language : {PageLanguage::kSpanish, PageLanguage::kEnglish}) {
    host_->events.clear();
    host_->errors.clear();
    host_->language = language;
    const std::string path = folder_.File("chosen.txt");
    std::filesystem::remove(path);
    if (c.contents) WriteBytes(path, c.contents);
    host_->chosenFile = path;
    const std::string before = ReadBytes(folder_.Settings());
    BackupRestore(*host_).OnRestorePresets();
    EXPECT_EQ(host_->events, (Events{"open dialog", "error"}));
    EXPECT_EQ(ReadBytes(folder_.Settings()), before);
    std::string expected = language == PageLanguage::kSpanish ? c.spanish : c.english;
    expected.replace(expected.find("<file>"), 6, path);
    ASSERT_EQ(host_->errors.size(), 1u);
    EXPECT_EQ(host_->errors[0], expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedRestoreTest,
    ::testing::Values(
        RefusedCase{"OutOfRange",
                    "[THROTTLE]\nactual_preset=1\n[THROTTLE_0]\ndz_0=5\n[THROTTLE_1]\ndz_0=3\n"
                    "[THROTTLE_2]\nband_50=150.0\n",
                    "El archivo\n<file>\ntiene un valor no válido en [THROTTLE_2] band_50: "
                    "\"150.0\".\n\nNo se ha cambiado nada.",
                    "The file\n<file>\nholds an invalid value in [THROTTLE_2] band_50: "
                    "\"150.0\".\n\nNothing was changed."},
        RefusedCase{"NotABackup", "[MONITOR]\nenable_window=1\n",
                    "El archivo\n<file>\nno es una copia de seguridad de los presets.\n\n"
                    "No se ha cambiado nada.",
                    "The file\n<file>\nis not a backup of the presets.\n\nNothing was changed."},
        RefusedCase{"Gone", nullptr,
                    "No se ha podido leer el archivo\n<file>\n\nNo se ha cambiado nada.",
                    "The file could not be read:\n<file>\n\nNothing was changed."}),
    [](const auto& info) { return std::string(info.param.name); });

bool FailEveryWrite(const std::string&) { return false; }

TEST_F(BackupRestoreTest, UnwritableSettingsFileStopsTheRestore) {
  host_->chosenFile = MakeBackup("", 1, {true, false}, Brake85(), Clutch90());
  host_->language = PageLanguage::kEnglish;
  const std::string before = ReadBytes(folder_.Settings());
  platform::ini::SetBeforeReplaceHook(&FailEveryWrite);
  BackupRestore(*host_).OnRestorePresets();
  platform::ini::SetBeforeReplaceHook(nullptr);
  EXPECT_EQ(host_->events, (Events{"open dialog", "error"}));
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0], "The settings file could not be written:\n" + folder_.Settings() +
                                  "\n\nNothing was changed.");
}

// ---- Backup ----

TEST_F(BackupRestoreTest, BackupHoldsTheStoredPresetsAndThePresentPedals) {
  // An unsaved edit on the page is not what the backup takes.
  host_->throttle.Settings().dz_0 = 40;
  host_->throttle.Settings().dirty = true;
  host_->throttle.SelectThrottlePreset(1, true);
  host_->throttle.Settings().band[5] = 10.0f;
  host_->presence = {true, false};
  host_->brake.settings = Brake85();
  host_->chosenFile = folder_.File("backup.txt");
  host_->events.clear();
  BackupRestore(*host_).OnBackupPresets();

  EXPECT_EQ(host_->events, Events{"save dialog"});  // no question, no message
  const std::string& backup = *host_->chosenFile;
  EXPECT_EQ(platform::GetPrivateProfileInt("THROTTLE", "actual_preset", -1, backup), 1);
  EXPECT_EQ(platform::GetPrivateProfileInt("THROTTLE_0", "dz_0", -1, backup), 4);
  EXPECT_EQ(platform::GetPrivateProfileString("THROTTLE_1", "band_50", "", 64, backup), "60.0");
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "dz_1", -1, backup), 85);
  EXPECT_EQ(platform::GetPrivateProfileInt("CLUTCH", "dz_1", -1, backup), -1);
  EXPECT_EQ(KeyLines(backup).size(), 88u);
}

TEST_F(BackupRestoreTest, CancelledSaveDialogWritesNothing) {
  const std::vector<std::string> entries = folder_.Entries();
  host_->chosenFile = std::nullopt;
  BackupRestore(*host_).OnBackupPresets();
  EXPECT_EQ(host_->events, Events{"save dialog"});
  EXPECT_EQ(folder_.Entries(), entries);
}

TEST_F(BackupRestoreTest, BackupOverTheSettingsFileIsRefused) {
  const std::string before = ReadBytes(folder_.Settings());
  host_->chosenFile = folder_.Settings();
  BackupRestore(*host_).OnBackupPresets();
  EXPECT_EQ(host_->events, (Events{"save dialog", "error"}));
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0],
            "La copia de seguridad no puede guardarse sobre el archivo de configuración\n" +
                folder_.Settings());
}

TEST_F(BackupRestoreTest, BackupThatCannotBeWrittenSaysSo) {
  host_->chosenFile = folder_.File("missing/backup.txt");
  host_->language = PageLanguage::kEnglish;
  BackupRestore(*host_).OnBackupPresets();
  EXPECT_EQ(host_->events, (Events{"save dialog", "error"}));
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0], "The backup could not be saved to\n" + *host_->chosenFile);
}

// A file made read-only is how a user freezes it: the restore and the backup say they could
// not write it and leave it as it was, also for root.
TEST_F(BackupRestoreTest, ReadOnlyFilesAreNotReplaced) {
  host_->language = PageLanguage::kEnglish;
  host_->chosenFile = MakeBackup("", 1, {false, false}, Brake85(), Clutch90());
  const std::string settings = ReadBytes(folder_.Settings());
  ASSERT_EQ(::chmod(folder_.Settings().c_str(), 0444), 0);
  BackupRestore(*host_).OnRestorePresets();
  EXPECT_EQ(host_->events, (Events{"open dialog", "error"}));
  EXPECT_EQ(ReadBytes(folder_.Settings()), settings);
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0], "The settings file could not be written:\n" + folder_.Settings() +
                                  "\n\nNothing was changed.");

  host_->events.clear();
  host_->errors.clear();
  const std::string old = "[THROTTLE]\r\nactual_preset=2\r\n";
  WriteBytes(*host_->chosenFile, old);
  ASSERT_EQ(::chmod(host_->chosenFile->c_str(), 0444), 0);
  BackupRestore(*host_).OnBackupPresets();
  EXPECT_EQ(host_->events, (Events{"save dialog", "error"}));
  EXPECT_EQ(ReadBytes(*host_->chosenFile), old);
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0], "The backup could not be saved to\n" + *host_->chosenFile);
  EXPECT_EQ(folder_.Entries(),
            (std::vector<std::string>{"backup.txt", "presets.ini", "source.ini"}));
}

// The defaults are not the user's presets: a settings file that is there but cannot be read
// gives no backup.
TEST_F(BackupRestoreTest, BackupOfAnUnreadableSettingsFileIsRefused) {
  std::filesystem::remove(folder_.Settings());
  std::filesystem::create_directory(folder_.Settings());
  host_->language = PageLanguage::kEnglish;
  host_->chosenFile = folder_.File("backup.txt");
  BackupRestore(*host_).OnBackupPresets();
  EXPECT_EQ(host_->events, (Events{"save dialog", "error"}));
  ASSERT_EQ(host_->errors.size(), 1u);
  EXPECT_EQ(host_->errors[0], "The settings file could not be read:\n" + folder_.Settings() +
                                  "\n\nNo backup was saved.");
  EXPECT_FALSE(std::filesystem::exists(*host_->chosenFile));
}

TEST_F(BackupRestoreTest, AFileFarLargerThanABackupIsRefusedAtOnce) {
  host_->chosenFile = folder_.File("large.txt");
  WriteBytes(*host_->chosenFile, "[THROTTLE]\nactual_preset=1\n");
  std::filesystem::resize_file(*host_->chosenFile, kBackupMaxBytes + 1);
  const std::string before = ReadBytes(folder_.Settings());
  for (const PageLanguage language : {PageLanguage::kSpanish, PageLanguage::kEnglish}) {
    host_->language = language;
    host_->events.clear();
    host_->errors.clear();
    BackupRestore(*host_).OnRestorePresets();
    EXPECT_EQ(host_->events, (Events{"open dialog", "error"}));
    ASSERT_EQ(host_->errors.size(), 1u);
    EXPECT_EQ(host_->errors[0],
              language == PageLanguage::kEnglish
                  ? "The file\n" + *host_->chosenFile +
                        "\nis too large to be a backup of the presets (more than 1 MiB).\n\n"
                        "Nothing was changed."
                  : "El archivo\n" + *host_->chosenFile +
                        "\nes demasiado grande para ser una copia de seguridad de los presets "
                        "(más de 1 MiB).\n\nNo se ha cambiado nada.");
  }
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
}

}  // namespace
