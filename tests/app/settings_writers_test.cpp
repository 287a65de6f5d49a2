// Every writer of the settings file tells its failed writes to the settings helpers' handler, so
// that the program can say once that nothing is kept; backups and restores, which report their
// own failures, never tell one as the settings file's. And the message that says so.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/backup/backup_file.h"
#include "app/hot_keys/button_assignment.h"
#include "app/main_dialog_texts.h"
#include "backup/backup_test_support.h"
#include "pages/brake_clutch_page_model.h"
#include "pages/throttle_presets.h"
#include "platform/ini_write_hook.h"
#include "platform/profile_settings.h"

using namespace app;
using namespace pages;

namespace {

using backup_test::ReadBytes;
using backup_test::TempFolder;
using backup_test::WriteBytes;
using platform::WriteFailure;

constexpr char kFrozen[] = "[CNF]\r\npreset=0\r\n";

// The failed writes told while it lives: file and reason.
class ToldFailures {
 public:
  ToldFailures() {
    platform::SetProfileWriteFailureHandler(
        [this](const std::string& file, const platform::WriteError& e) {
          told.emplace_back(file, e.failure);
        });
  }
  ~ToldFailures() { platform::SetProfileWriteFailureHandler(nullptr); }
  ToldFailures(const ToldFailures&) = delete;
  ToldFailures& operator=(const ToldFailures&) = delete;

  std::vector<std::pair<std::string, WriteFailure>> told;
};

class NoView : public BrakeClutchPageView {
 public:
  void ShowSettings() override {}
  void ShowRow(std::size_t, bool) override {}
  void ApplyConfigLive() override {}
};

struct Writer {
  const char* name;
  std::function<void(const std::string& file)> write;
};

TEST(SettingsWriters, EveryWriterTellsThatAFrozenSettingsFileWasNotWritten) {
  const Writer writers[] = {
      {"throttle preset",
       [](const std::string& file) {
         ThrottleCurveSettings settings = DefaultThrottleSettings();
         settings.dz_0 = 7;
         SaveThrottlePreset(settings, 1, file);
       }},
      {"selected preset", [](const std::string& file) { WriteSelectedThrottlePreset(2, file); }},
      {"brake force",
       [](const std::string& file) {
         NoView view;
         BrakeClutchPageModel(PedalKind::kBrake, view, file).BrakeForceDown();
       }},
      {"hot-key assignments",
       [](const std::string& file) {
         ButtonAssignments assignments{};
         assignments[2] = ButtonAssignment{-1, 65};
         WriteButtonAssignments(assignments, file);
       }},
  };
  for (const Writer& writer : writers) {
    SCOPED_TRACE(writer.name);
    TempFolder folder;
    WriteBytes(folder.Settings(), kFrozen);
    ASSERT_EQ(::chmod(folder.Settings().c_str(), 0444), 0);
    ToldFailures failures;
    writer.write(folder.Settings());
    ASSERT_FALSE(failures.told.empty());
    for (const auto& [file, failure] : failures.told) {
      EXPECT_EQ(file, folder.Settings());
      EXPECT_EQ(failure, WriteFailure::kReadOnly);
    }
    EXPECT_EQ(ReadBytes(folder.Settings()), kFrozen);
  }
}

// Fails every write of the INI module just before its file would be replaced.
bool RefuseReplace(const std::string&) { return false; }

TEST(SettingsWriters, BackupAndRestoreNeverTellAFailureAsTheSettingsFiles) {
  TempFolder folder;
  WriteBytes(folder.Settings(), kFrozen);
  const std::string backup = folder.File("backup.txt");
  ToldFailures failures;

  // A frozen settings file: the restore refuses before it writes anything.
  ASSERT_EQ(::chmod(folder.Settings().c_str(), 0444), 0);
  EXPECT_FALSE(WriteRestoredSettings(RestoredBackup{}, folder.Settings()));
  EXPECT_TRUE(failures.told.empty());

  // Writes that fail half-way go to the staged copies, which are other files.
  ASSERT_EQ(::chmod(folder.Settings().c_str(), 0644), 0);
  platform::ini::SetBeforeReplaceHook(&RefuseReplace);
  EXPECT_FALSE(WriteRestoredSettings(RestoredBackup{}, folder.Settings()));
  EXPECT_FALSE(WriteBackupFile(BackupContents{}, backup));
  platform::ini::SetBeforeReplaceHook(nullptr);
  EXPECT_FALSE(failures.told.empty());
  for (const auto& [file, failure] : failures.told) {
    EXPECT_NE(file, folder.Settings());
    EXPECT_NE(file, backup);
  }
  EXPECT_EQ(ReadBytes(folder.Settings()), kFrozen);
}

TEST(SettingsNotSavedMessage, NamesTheFileAndWhyInTheLanguageShowing) {
  const TempFolder folder;
  const std::string path = folder.Settings();
  const platform::WriteError readOnly{WriteFailure::kReadOnly, EACCES};
  EXPECT_EQ(
      SettingsNotSavedMessage(PageLanguage::kSpanish, path, readOnly),
      "No se pueden guardar los ajustes en el archivo\n" + path +
          "\nEs de solo lectura.\n\nLos cambios no se conservarán hasta que esto se corrija.");
  EXPECT_EQ(SettingsNotSavedMessage(PageLanguage::kEnglish, path, readOnly),
            "The settings cannot be saved to the file\n" + path +
                "\nIt is read-only.\n\nChanges will not be kept until this is put right.");

  // Each reason a write can fail for reads differently; any other failure in the system's words.
  const platform::WriteError other{WriteFailure::kOther, ENAMETOOLONG};
  EXPECT_NE(SettingsNotSavedMessage(PageLanguage::kEnglish, "f", other)
                .find(std::string("\n") + std::strerror(ENAMETOOLONG) + ".\n"),
            std::string::npos);
  for (const PageLanguage language : {PageLanguage::kSpanish, PageLanguage::kEnglish}) {
    std::set<std::string> messages;
    for (const WriteFailure failure :
         {WriteFailure::kReadOnly, WriteFailure::kNotOwner, WriteFailure::kFolderNotWritable,
          WriteFailure::kDiskFull, WriteFailure::kNotRegularFile, WriteFailure::kOther}) {
      messages.insert(SettingsNotSavedMessage(language, "f", {failure, EIO}));
    }
    EXPECT_EQ(messages.size(), 6u);
  }
}

}  // namespace
