// Shared by the backup and restore tests: a fresh folder per test with its settings file, raw
// file access, a backup file in UTF-16 with CRLF line ends, and a scripted main dialog.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/backup/backup_restore.h"
#include "pages/brake_clutch_curve.h"
#include "pages/throttle_page_model.h"
#include "tests/support/temp_folder.h"

namespace backup_test {

using namespace app;
using namespace pages;

namespace fs = std::filesystem;

// A fresh folder for one test, removed with the object; the settings file lies in it.
// The keys in the order a backup writes them, spelt out here rather than taken from the code.
const std::vector<std::string> kThrottleKeys = {
    "dz_0",    "dz_1",    "band_0",  "band_10", "band_20", "band_30",  "band_40",  "band_50",
    "band_60", "band_70", "band_80", "band_90", "band_91", "band_92",  "band_93",  "band_94",
    "band_95", "band_96", "band_97", "band_98", "band_99", "band_100", "axis_cnf", "axis_mode"};
const std::vector<std::string> kPedalKeys = {
    "dz_0",    "dz_1",    "band_0",  "band_10", "band_20",  "band_30",  "band_40",  "band_50",
    "band_60", "band_70", "band_80", "band_90", "band_100", "axis_cnf", "axis_mode"};

class TempFolder : public test_support::TempFolder {
 public:
  TempFolder() : test_support::TempFolder("orvo-backup") {}
  std::string Settings() const { return File("presets.ini"); }
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// ASCII text as UTF-16 LE with its byte order mark, LF turned into CRLF: how the profile
// functions leave a file they created as Unicode.
inline std::string WindowsUtf16File(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char c : text) {
    if (c == '\n') bytes += std::string("\r\0", 2);
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// The key lines of a file written by our INI module (UTF-8, CRLF), in file order, with the
// section each belongs to: "SECTION key=value".
inline std::vector<std::string> KeyLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::string section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else {
      lines.push_back(section + " " + line);
    }
  }
  return lines;
}

using Events = std::vector<std::string>;

class RecordingThrottleView : public ThrottlePageView {
 public:
  explicit RecordingThrottleView(Events& events) : events_(events) {}
  void ShowSettings() override {}
  void ShowPresetChecked(int preset) override {
    events_.push_back("check " + std::to_string(preset));
  }
  QuestionAnswer AskSaveChanges(const std::string&) override {
    events_.push_back("page question");
    return QuestionAnswer::kNo;
  }
  void ApplyConfigLive() override { events_.push_back("apply"); }

 private:
  Events& events_;
};

class RecordingPedal : public BackupPedalPort {
 public:
  RecordingPedal(Events& events, std::string name) : events_(events), name_(std::move(name)) {}
  BrakeClutchSettings settings = DefaultBrakeClutchSettings();
  BrakeClutchSettings& Settings() override { return settings; }
  void LoadPedalSettings(const BrakeClutchSettings& values) override {
    events_.push_back("load " + name_);
    settings = values;
    settings.dirty = false;
  }

 private:
  Events& events_;
  std::string name_;
};

// The main dialog as backup and restore see it, with the real throttle page model on the
// settings file and scripted answers of the user; every call is recorded in events.
class ScriptedHost : public BackupHost {
  std::string settingsFile_;  // first: the throttle page is built on it

 public:
  explicit ScriptedHost(const std::string& settingsFile)
      : settingsFile_(settingsFile), throttle(throttleView_, settingsFile) {
    throttle.Start();
  }

  Events events;
  PedalPresence presence{};
  PageLanguage language = PageLanguage::kSpanish;
  QuestionAnswer answer = QuestionAnswer::kYes;
  QuestionAnswer incompleteAnswer = QuestionAnswer::kNo;  // to restoring a file that lacks keys
  std::vector<std::string> questions;                     // the incomplete-file questions asked
  std::optional<std::string> chosenFile;  // nothing: the user cancels the file dialog
  std::vector<std::string> errors;
  RecordingThrottleView throttleView_{events};
  ThrottlePageModel throttle;
  RecordingPedal brake{events, "brake"};
  RecordingPedal clutch{events, "clutch"};

  const std::string& SettingsFile() const override { return settingsFile_; }
  PedalPresence Presence() const override { return presence; }
  PageLanguage Language() const override { return language; }
  bool AnyPageDirty() override {
    return throttle.Settings().dirty || brake.settings.dirty || clutch.settings.dirty;
  }
  int CurrentThrottlePreset() const override { return throttle.CurrentPreset(); }
  void SelectThrottlePreset(int index) override {
    events.push_back("select " + std::to_string(index));
    throttle.SelectThrottlePreset(index, true);
  }
  BackupPedalPort& BrakePage() override { return brake; }
  BackupPedalPort& ClutchPage() override { return clutch; }
  void ApplyConfigLive() override { events.push_back("apply"); }
  QuestionAnswer AskUnsavedChanges() override {
    events.push_back("question");
    return answer;
  }
  std::optional<std::string> ChooseBackupFileToSave() override {
    events.push_back("save dialog");
    return chosenFile;
  }
  std::optional<std::string> ChooseBackupFileToOpen() override {
    events.push_back("open dialog");
    return chosenFile;
  }
  QuestionAnswer AskRestoreIncomplete(const std::string& message) override {
    events.push_back("incomplete question");
    questions.push_back(message);
    return incompleteAnswer;
  }
  void ShowBackupError(const std::string& message) override {
    events.push_back("error");
    errors.push_back(message);
  }
};

}  // namespace backup_test
