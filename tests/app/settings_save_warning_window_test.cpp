// A settings file that refuses to be written, on the real main window under Xvfb: the first edit
// that saves says so once, naming the file and why in the language showing; later edits say
// nothing, and the file stays as it was. A refused restore keeps to its own message.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>

#include "app/backup/backup_file.h"
#include "app/main_dialog.h"
#include "app/main_dialog_texts.h"
#include "app/monitor/monitor_window.h"
#include "app/settings_save_warning.h"
#include "pages/page_texts.h"
#include "pages/throttle_page.h"
#include "pages/throttle_presets.h"
#include "platform/ini_write_hook.h"
#include "platform/profile_settings.h"
#include "tests/support/window_test.h"

using namespace pages;
using namespace app;

namespace {

namespace fs = std::filesystem;

constexpr char kSettingsBytes[] = "[CNF]\npreset=0\n[PRESET_1]\ndz_0=5\n[PRESET_2]\ndz_0=9\n";

// Every message box that opens, as the program made it. The first `shown` really show (a
// ModalDriver answers them); any further one is answered at once, so that a test fails on the
// count instead of waiting inside a box that nobody closes.
class MessageBoxLog : public wxModalDialogHook {
 public:
  struct Box {
    wxString caption;
    wxString message;
    long style;
  };

  explicit MessageBoxLog(std::size_t shown) : shown_(shown) { Register(); }
  ~MessageBoxLog() override { Unregister(); }

  std::vector<Box> boxes;

 protected:
  int Enter(wxDialog* dialog) override {
    const auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
    if (box == nullptr) return wxID_NONE;  // a file chooser
    boxes.push_back({box->GetCaption(), box->GetMessage(), box->GetMessageDialogStyle()});
    return boxes.size() <= shown_ ? wxID_NONE : wxID_OK;
  }
  void Exit(wxDialog*) override {}

 private:
  std::size_t shown_;
};

// What stands at path, to tell that nothing changed it: kind, link target, bytes or entries.
std::string Describe(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (fs::is_symlink(status)) {
    return "link to " + fs::read_symlink(path).string() +
           (fs::exists(path) ? " (there)" : " (nothing)");
  }
  if (fs::is_directory(status)) {
    return "folder of " + std::to_string(std::distance(fs::directory_iterator(path), {}));
  }
  if (!fs::is_regular_file(status)) return "nothing";
  std::ifstream in(path, std::ios::binary);
  return "file " + std::string(std::istreambuf_iterator<char>(in), {});
}

// A working directory of the test's own with a settings file that refuses to be written, and the
// main window over it with the warning the program installs at start.
class SettingsSaveWarningTest : public testing::Test {
 protected:
  void Open(std::size_t boxesShown) {
    log_.emplace(boxesShown);
    dialog_ =
        new Vezazivedov_sys_testDlg(&monitor_, AppOptionRefs{enableWindow_, enableVr_, minimized_});
    warning_.SetMainWindow(dialog_);
    dialog_->Start();
    ASSERT_TRUE(
        PumpUntil([&] { return dialog_->IsShownOnScreen() && dialog_->AnyTimerRunning(); }));
    DrainEvents();
  }
  void TearDown() override {
    if (dialog_ != nullptr) dialog_->Destroy();
    DrainEvents();
  }

  CPedalsConfig2Dlg& Page() { return *dialog_->ThrottlePage(); }
  void ClickControl(wxWindow& parent, int id) { ClickCentre(*parent.FindWindow(id)); }
  bool PresetChecked(int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(Page().FindWindow(id));
    return radio != nullptr && radio->GetValue();
  }
  // A click on a preset button saves the selected preset; the box, if one comes, is answered.
  void SelectPresetWithAClick(int id, int preset) {
    ClickControl(Page(), id);
    ASSERT_TRUE(PumpUntil([&] { return Page().CurrentPreset() == preset && PresetChecked(id); }));
    // The warning is posted to the event loop: after this it would have opened.
    DrainEvents();
  }
  fs::path Settings() const { return directory_.Path() / "presets.ini"; }
  std::string SettingsPath() const { return fs::current_path() / "presets.ini"; }

  ScopedWorkingDirectory directory_;
  SettingsSaveWarning warning_;
  CVirtualDisplayDlg monitor_{[] { return false; }};
  int enableWindow_ = 0, enableVr_ = 0, minimized_ = 0;
  std::optional<MessageBoxLog> log_;
  Vezazivedov_sys_testDlg* dialog_ = nullptr;
};

struct RefusalCase {
  const char* name;
  std::function<void(const fs::path& settings)> make;
  platform::WriteFailure failure;
  PageLanguage language;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class SettingsSaveWarningRefusalTest : public SettingsSaveWarningTest,
                                       public testing::WithParamInterface<RefusalCase> {};

TEST_P(SettingsSaveWarningRefusalTest, FirstSaveThatFailsSaysWhyOnceAndTheFileStaysAsItWas) {
  const RefusalCase& c = GetParam();
  c.make(Settings());
  const std::string before = Describe(Settings());
  Open(1);
  EXPECT_TRUE(log_->boxes.empty()) << "nothing is saved at start";
  if (c.language == PageLanguage::kEnglish) {
    ClickControl(*dialog_, Vezazivedov_sys_testDlg::kLanguageId);
    ASSERT_TRUE(PumpUntil([&] { return dialog_->ShownLanguage() == PageLanguage::kEnglish; }));
  }

  const std::string language = c.language == PageLanguage::kSpanish ? "spanish" : "english";
  ModalDriver driver(kQuestionCaption, "settings_not_saved_" + language + "_" + c.name,
                     {[] { Keys("Return"); }});
  SelectPresetWithAClick(CPedalsConfig2Dlg::kPresetBId, 1);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }));
  ASSERT_EQ(log_->boxes.size(), 1u);
  EXPECT_EQ(log_->boxes[0].caption, kQuestionCaption);
  EXPECT_EQ(log_->boxes[0].message.utf8_string(),
            SettingsNotSavedMessage(c.language, SettingsPath(), {c.failure, 0}));
  EXPECT_TRUE(log_->boxes[0].style & wxICON_WARNING);

  // Another edit that saves: its effect shows, and no second box comes.
  SelectPresetWithAClick(CPedalsConfig2Dlg::kPresetCId, 2);
  EXPECT_EQ(log_->boxes.size(), 1u);
  EXPECT_EQ(Describe(Settings()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SettingsSaveWarningRefusalTest,
    testing::Values(RefusalCase{"ReadOnlyFile",
                                [](const fs::path& settings) {
                                  std::ofstream(settings) << kSettingsBytes;
                                  fs::permissions(settings, fs::perms(0444));
                                },
                                platform::WriteFailure::kReadOnly, PageLanguage::kSpanish},
                    RefusalCase{"FolderInItsPlace",
                                [](const fs::path& settings) { fs::create_directory(settings); },
                                platform::WriteFailure::kNotRegularFile, PageLanguage::kEnglish},
                    RefusalCase{"LinkToNothing",
                                [](const fs::path& settings) {
                                  fs::create_symlink("nowhere.ini", settings);
                                },
                                platform::WriteFailure::kNotRegularFile, PageLanguage::kSpanish}),
    [](const auto& info) { return std::string(info.param.name); });

// A save that fails as the program ends (say, a hot key's just before Exit) shows nothing: the
// box would open over windows that are going.
TEST_F(SettingsSaveWarningTest, NothingIsShownOnceTheProgramHasBegunToEnd) {
  std::ofstream(Settings()) << kSettingsBytes;
  fs::permissions(Settings(), fs::perms(0444));
  Open(0);
  WriteSelectedThrottlePreset(2, platform::kSettingsFile);
  dialog_->OnCancel();  // no unsent changes: the window ends at once
  dialog_ = nullptr;
  DrainEvents();
  EXPECT_TRUE(log_->boxes.empty());
}

// Fails every write of the INI module just before its file would be replaced.
bool RefuseReplace(const std::string&) { return false; }

struct RestoreRefusal {
  const char* name;
  std::function<void(const fs::path& settings)> refuse;
  platform::WriteError error;  // of the settings writes that follow
};
void PrintTo(const RestoreRefusal& c, std::ostream* os) { *os << c.name; }

class SettingsSaveWarningRestoreTest : public SettingsSaveWarningTest,
                                       public testing::WithParamInterface<RestoreRefusal> {
 protected:
  ~SettingsSaveWarningRestoreTest() override { platform::ini::SetBeforeReplaceHook(nullptr); }
};

// Load Preset that cannot write the settings says so in its own message, and only that: the first
// edit that saves afterwards still gets the settings message. The restore writes a staged copy
// of the settings file, which is another file.
TEST_P(SettingsSaveWarningRestoreTest, RefusedRestoreShowsOnlyItsOwnMessage) {
  const std::string backup = (directory_.Path() / "backup.txt").string();
  ASSERT_TRUE(WriteBackupFile(BackupContents{}, backup));
  std::ofstream(Settings()) << kSettingsBytes;
  GetParam().refuse(Settings());
  const std::string before = Describe(Settings());
  Open(2);

  ModalDriver open("Select a file", "", TypePathSteps(backup),
                   ModalDriver::LastStep::kRepeatWhileShown);
  ModalDriver restoreError(kQuestionCaption, "", {[] { Keys("Return"); }});
  ClickControl(*dialog_, Vezazivedov_sys_testDlg::kRestoreId);
  ASSERT_TRUE(PumpUntil([&] { return open.Done() && restoreError.Done(); }, 20000));
  DrainEvents();
  ASSERT_EQ(log_->boxes.size(), 1u);
  EXPECT_TRUE(log_->boxes[0].message.utf8_string().starts_with(
      "No se ha podido escribir el archivo de configuración"))
      << log_->boxes[0].message;

  ModalDriver warning(kQuestionCaption, "", {[] { Keys("Return"); }});
  SelectPresetWithAClick(CPedalsConfig2Dlg::kPresetBId, 1);
  ASSERT_TRUE(PumpUntil([&] { return warning.Done(); }));
  ASSERT_EQ(log_->boxes.size(), 2u);
  EXPECT_EQ(log_->boxes[1].message.utf8_string(),
            SettingsNotSavedMessage(PageLanguage::kSpanish, SettingsPath(), GetParam().error));
  EXPECT_EQ(Describe(Settings()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SettingsSaveWarningRestoreTest,
    testing::Values(
        RestoreRefusal{"FrozenSettingsFile",
                       [](const fs::path& settings) { fs::permissions(settings, fs::perms(0444)); },
                       {platform::WriteFailure::kReadOnly, EACCES}},
        RestoreRefusal{"WritesFailHalfWay",
                       [](const fs::path&) { platform::ini::SetBeforeReplaceHook(&RefuseReplace); },
                       {platform::WriteFailure::kOther, EIO}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
