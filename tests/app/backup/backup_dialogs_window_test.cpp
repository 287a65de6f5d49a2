// Save Preset and Load Preset as a person uses them: real buttons clicked, the real save and
// open dialogs answered from the keyboard, the overwrite question and the error box, under Xvfb.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "app/backup/backup_dialogs.h"
#include "app/backup/backup_file.h"
#include "backup_test_support.h"
#include "platform/ini_file.h"
#include "tests/support/window_test.h"

using namespace app;
using namespace pages;

namespace {

using backup_test::Events;
using backup_test::KeyLines;
using backup_test::ReadBytes;
using backup_test::ScriptedHost;
using backup_test::TempFolder;
using backup_test::WriteBytes;

// The GTK file chooser's title: the dialogs keep wx's own prompt.
constexpr char kFileDialogTitle[] = "Select a file";

// The scripted main dialog with the real dialogs of backup_dialogs.h, owned by a real window.
class WindowHost : public ScriptedHost {
 public:
  WindowHost(const std::string& settingsFile, wxWindow* owner)
      : ScriptedHost(settingsFile), owner_(owner) {}
  std::optional<std::string> ChooseBackupFileToSave() override {
    events.push_back("save dialog");
    return ::ChooseBackupFileToSave(owner_);
  }
  std::optional<std::string> ChooseBackupFileToOpen() override {
    events.push_back("open dialog");
    return ::ChooseBackupFileToOpen(owner_);
  }
  QuestionAnswer AskRestoreIncomplete(const std::string& message) override {
    ScriptedHost::AskRestoreIncomplete(message);
    return ::AskBackupQuestion(owner_, message);
  }
  void ShowBackupError(const std::string& message) override {
    ScriptedHost::ShowBackupError(message);
    ::ShowBackupError(owner_, message);
  }

 private:
  wxWindow* owner_;
};

// The last step's keys may come before the window they are meant for (the replace question is
// slow to show on a busy machine): every driver here repeats it while the chooser still shows.
constexpr auto kRepeat = ModalDriver::LastStep::kRepeatWhileShown;

class BackupDialogsWindowTest : public ::testing::Test {
 protected:
  BackupDialogsWindowTest() {
    WriteBytes(folder_.Settings(), "[CNF]\npreset=1\n[PRESET_1]\ndz_0=12\nband_95=97.5\n");
    frame_ = new wxFrame(nullptr, wxID_ANY, "backup test", wxPoint(40, 40), wxSize(320, 120));
    save_ = new wxButton(frame_, 1003, "Guardar Preset", wxPoint(10, 10), wxSize(140, 40));
    load_ = new wxButton(frame_, 1004, "Cargar Preset", wxPoint(160, 10), wxSize(140, 40));
    host_.emplace(folder_.Settings(), frame_);
    host_->events.clear();
    save_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { BackupRestore(*host_).OnBackupPresets(); });
    load_->Bind(wxEVT_BUTTON,
                [this](wxCommandEvent&) { BackupRestore(*host_).OnRestorePresets(); });
    frame_->Show();
    PumpUntil([this] { return frame_->IsShownOnScreen(); });
  }
  ~BackupDialogsWindowTest() override {
    frame_->Destroy();
    DrainEvents();
  }

  // A real click on the button; returns once its handler, with every dialog, has finished.
  void Click(wxButton* button) { ClickCentre(*button); }

  // A backup with preset C selected and its dz_0 21, taken from a settings file of its own.
  std::string BackupWithPresetC(const std::string& name) {
    const std::string source = folder_.File("source.ini");
    WriteBytes(source, "[PRESET_2]\ndz_0=21\n");
    const std::string backup = folder_.File(name);
    EXPECT_TRUE(WriteBackupFile(
        *CollectBackup(source, 2, {}, DefaultBrakeClutchSettings(), DefaultBrakeClutchSettings()),
        backup));
    return backup;
  }

  TempFolder folder_;
  wxFrame* frame_ = nullptr;
  wxButton* save_ = nullptr;
  wxButton* load_ = nullptr;
  std::optional<WindowHost> host_;
};

TEST_F(BackupDialogsWindowTest, SavePresetWritesTheFileNamedInTheSaveDialog) {
  const std::string path = folder_.File("my_backup.txt");
  ModalDriver driver(kFileDialogTitle, "backup_save_dialog",
                     {[&] {
                        Keys("ctrl+a");
                        Type(path);
                      },
                      [] { Keys("Return"); }},
                     kRepeat);
  Click(save_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(path); }, 5000));
  EXPECT_EQ(host_->events, Events{"save dialog"});
  EXPECT_EQ(KeyLines(path).size(), 73u);
  EXPECT_EQ(platform::GetPrivateProfileInt("THROTTLE", "actual_preset", -1, path), 1);
  EXPECT_EQ(platform::GetPrivateProfileString("THROTTLE_1", "band_95", "", 64, path), "97.5");
}

TEST_F(BackupDialogsWindowTest, SaveDialogOffersTheDefaultName) {
  ScopedWorkingDirectory workingDirectory;
  ModalDriver driver(kFileDialogTitle, "backup_save_default", {[] { Keys("Return"); }}, kRepeat);
  Click(save_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  const std::string saved = (workingDirectory.Path() / "orvo_pedals_backup.txt").string();
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(saved); }, 5000));
  EXPECT_EQ(KeyLines(saved).size(), 73u);
}

TEST_F(BackupDialogsWindowTest, CancelledSaveDialogWritesNothing) {
  ModalDriver driver(kFileDialogTitle, "backup_save_cancel", {[] { Keys("Escape"); }}, kRepeat);
  Click(save_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  DrainEvents();
  EXPECT_EQ(host_->events, Events{"save dialog"});
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"presets.ini"});
}

TEST_F(BackupDialogsWindowTest, ReplacingAnExistingFileAsksFirst) {
  const std::string path = folder_.File("old_backup.txt");
  const std::string old = "[BRAKE]\r\ndz_1=61\r\n";
  WriteBytes(path, old);
  std::string beforeAnswer;
  ModalDriver driver(kFileDialogTitle, "backup_save_existing",
                     {[&] {
                        Keys("ctrl+a");
                        Type(path);
                      },
                      [] { Keys("Return"); },
                      [&] {
                        SaveScreenshot("backup_replace_question");
                        beforeAnswer = ReadBytes(path);
                        Keys("alt+r");  // GTK's own question over the chooser: Replace
                      }},
                     kRepeat);
  Click(save_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  EXPECT_EQ(beforeAnswer, old);  // nothing written before the answer
  ASSERT_TRUE(PumpUntil([&] { return KeyLines(path).size() == 73; }, 5000));
  // Replaced whole: the earlier backup's brake section is gone.
  EXPECT_EQ(platform::GetPrivateProfileString("BRAKE", "dz_1", "<none>", 64, path), "<none>");
}

TEST_F(BackupDialogsWindowTest, LoadPresetRestoresTheFileChosenInTheOpenDialog) {
  const std::string backup = BackupWithPresetC("chosen_backup.txt");
  ModalDriver driver(kFileDialogTitle, "restore_open_dialog",
                     {[&] {
                        Keys("ctrl+l");
                        Type(backup);
                      },
                      [] { Keys("Return"); }},
                     kRepeat);
  Click(load_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return host_->throttle.CurrentPreset() == 2; }, 5000));
  EXPECT_EQ(host_->throttle.Settings().dz_0, 21);
  EXPECT_EQ(host_->events, (Events{"open dialog", "select 2", "check 2", "apply", "apply"}));
  EXPECT_EQ(platform::GetPrivateProfileInt("CNF", "preset", -1, folder_.Settings()), 2);
}

TEST_F(BackupDialogsWindowTest, LoadPresetOfANonBackupShowsTheErrorBox) {
  const std::string chosen = folder_.File("notes.txt");
  WriteBytes(chosen, "milk\neggs\n");
  const std::string before = ReadBytes(folder_.Settings());
  ModalDriver open(kFileDialogTitle, "restore_open_notes",
                   {[&] {
                      Keys("ctrl+l");
                      Type(chosen);
                    },
                    [] { Keys("Return"); }},
                   kRepeat);
  bool errorShown = false;
  ModalDriver error("Orvo Pedals", "restore_error_box", {[&] {
                      errorShown = true;
                      Keys("Return");
                    }},
                    kRepeat);
  Click(load_);
  ASSERT_TRUE(PumpUntil([&] { return open.Done() && error.Done(); }, 15000));
  DrainEvents();
  EXPECT_TRUE(errorShown);
  EXPECT_EQ(host_->events, (Events{"open dialog", "error"}));
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
}

// A truncated backup asks before anything changes; the question's default is No, so Return
// keeps everything, and Yes restores it.
TEST_F(BackupDialogsWindowTest, LoadPresetOfATruncatedBackupAsksFirst) {
  const std::string bytes = ReadBytes(BackupWithPresetC("full_backup.txt"));
  const std::string chosen = folder_.File("cut_backup.txt");
  WriteBytes(chosen, bytes.substr(0, bytes.find("band_60", bytes.find("[THROTTLE_1]"))));
  const std::string before = ReadBytes(folder_.Settings());

  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "Return");
    host_->events.clear();
    ModalDriver open(kFileDialogTitle, "restore_open_cut",
                     {[&] {
                        Keys("ctrl+l");
                        Type(chosen);
                      },
                      [] { Keys("Return"); }});
    bool asked = false;
    ModalDriver question("Orvo Pedals", yes ? "restore_incomplete_yes" : "restore_incomplete",
                         {[&] {
                           asked = true;
                           Keys(yes ? "alt+y" : "Return");
                         }});
    Click(load_);
    ASSERT_TRUE(PumpUntil([&] { return open.Done() && question.Done(); }));
    // A Yes goes on to restore and apply; a No ends at the question.
    ASSERT_TRUE(PumpUntil([&] { return host_->events.size() >= (yes ? 6u : 2u); }));
    DrainEvents();
    EXPECT_TRUE(asked);
    if (!yes) {
      EXPECT_EQ(host_->events, (Events{"open dialog", "incomplete question"}));
      EXPECT_EQ(ReadBytes(folder_.Settings()), before);
      EXPECT_EQ(host_->throttle.CurrentPreset(), 1);
    } else {
      EXPECT_EQ(host_->events, (Events{"open dialog", "incomplete question", "select 2", "check 2",
                                       "apply", "apply"}));
      EXPECT_EQ(host_->throttle.Settings().dz_0, 0);  // THROTTLE_2 was cut off: defaults
      EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_2", "dz_0", -1, folder_.Settings()), 0);
    }
  }
}

TEST_F(BackupDialogsWindowTest, CancelledOpenDialogChangesNothing) {
  const std::string before = ReadBytes(folder_.Settings());
  ModalDriver driver(kFileDialogTitle, "restore_open_cancel", {[] { Keys("Escape"); }}, kRepeat);
  Click(load_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  DrainEvents();
  EXPECT_EQ(host_->events, Events{"open dialog"});
  EXPECT_EQ(ReadBytes(folder_.Settings()), before);
  EXPECT_EQ(host_->throttle.CurrentPreset(), 1);
}

}  // namespace
