// The hot keys under the program's modal windows, on the real main dialog under Xvfb: a key held
// while a question or a file or print dialog is open does nothing until the window has ended,
// so the answer applies to what the window asked about.
#include <algorithm>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/printdlg.h>
#include <wx/radiobut.h>

#include "app/main_dialog.h"
#include "app/monitor/monitor_window.h"
#include "pages/throttle_page.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"
#include "tests/support/ui_script.h"
#include "tests/support/window_test.h"

using namespace pages;
using namespace app;

// The chart tests' shell and screenshot helpers serve here too.

namespace {

constexpr int kF9 = 0x78;  // the preset-C key; no window of the program reacts to it
constexpr int kHotKeyTicksHeld = 10;

// The way out of a stuck test: the key up, the window closed.
bool LetGoAndClose() {
  Shell("xdotool keyup F9 key Escape");
  return false;
}

class HotKeysUnderModalWindowsTest : public testing::Test {
 protected:
  void SetUp() override {
    // The file chooser keeps its own settings; without a session bus they stay in memory.
    ::setenv("GSETTINGS_BACKEND", "memory", 0);
    std::ofstream(platform::kSettingsFile) << "[JOY]\nthrottle_C_joy=-1\nthrottle_C_but=" << kF9
                                           << "\n[PRESET_1]\ndz_0=5\n[PRESET_2]\ndz_0=9\n";
    dialog_ =
        new Vezazivedov_sys_testDlg(&monitor_, AppOptionRefs{enableWindow_, enableVr_, minimized_});
    dialog_->Bind(wxEVT_TIMER, [this](wxTimerEvent& event) {
      if (event.GetId() == Vezazivedov_sys_testDlg::kHotKeyTimer) ++hotKeyTicks_;
      event.Skip();
    });
    dialog_->Start();
    ASSERT_TRUE(PumpUntil([&] { return dialog_->IsShownOnScreen() && hotKeyTicks_ > 0; }));
    DrainEvents();
  }
  void TearDown() override {
    Shell("xdotool keyup F9");
    if (dialog_ != nullptr) dialog_->Destroy();
    DrainEvents();
  }

  CPedalsConfig2Dlg& Page() { return *dialog_->ThrottlePage(); }
  bool PresetChecked(int id) {
    auto* radio = dynamic_cast<wxRadioButton*>(Page().FindWindow(id));
    return radio != nullptr && radio->GetValue();
  }
  // Lets the hot-key timer poll a few times more: what a held key would do has been done.
  void LetHotKeysPoll() {
    const int ticks = hotKeyTicks_;
    ASSERT_TRUE(PumpUntil([&] { return hotKeyTicks_ >= ticks + 3; }));
  }

  // Once the window titled title shows: holds the preset-C key for some hot-key ticks, noting
  // the page's preset meanwhile, then lets it go and answers the window with keys.
  void HoldPresetKeyWhileOpen(const std::string& title, const std::string& answerKeys) {
    script_.Then("window open", [this, title] {
      if (FindVisibleWindow(title).empty()) return false;
      Shell("xdotool keydown F9");
      ticksAtPress_ = hotKeyTicks_;
      return true;
    });
    script_.Then("hot-key ticks with the key down", [this] {
      if (hotKeyTicks_ < ticksAtPress_ + kHotKeyTicksHeld) return false;
      std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
      std::replace(name.begin(), name.end(), '/', '_');
      SaveScreenshot("hotkey_under_" + name);
      presetWhileOpen_ = Page().CurrentPreset();
      presetCCheckedWhileOpen_ = PresetChecked(CPedalsConfig2Dlg::kPresetCId);
      Shell("xdotool keyup F9");
      return true;
    });
    script_.Then("answered", [title, answerKeys] {
      const std::string id = FindVisibleWindow(title);
      if (id.empty()) return false;
      // Without a window manager nothing gives the window the keyboard.
      Shell("xdotool windowfocus --sync " + id + " 2>/dev/null; xdotool key --delay 40 " +
            answerKeys);
      return true;
    });
    script_.Start();
  }

  ScopedWorkingDirectory directory_;
  CVirtualDisplayDlg monitor_{[] { return false; }};
  int enableWindow_ = 0, enableVr_ = 0, minimized_ = 0;
  Vezazivedov_sys_testDlg* dialog_ = nullptr;
  int hotKeyTicks_ = 0;
  int ticksAtPress_ = 0;
  int presetWhileOpen_ = -1;
  bool presetCCheckedWhileOpen_ = true;
  UiScript script_{LetGoAndClose};
};

// Edit preset A, click Preset B, press the preset-C key while the page asks about A, answer Yes:
// A gets the edit, B is loaded and checked, and the file names B.
TEST_F(HotKeysUnderModalWindowsTest, SaveQuestionAnswerAppliesToThePresetItNames) {
  ClickCentre(*Page().FindWindow(kThrottleRows[0].plusId));  // dz_0 of preset A: 0 -> 1
  ASSERT_TRUE(PumpUntil([&] { return Page().Settings().dirty; }));
  const int editedDz0 = Page().Settings().dz_0;

  HoldPresetKeyWhileOpen("Orvo Pedals", "Return");  // Return: the default answer, Yes
  ClickCentre(*Page().FindWindow(CPedalsConfig2Dlg::kPresetBId));
  ASSERT_TRUE(PumpUntil([&] { return script_.Finished() && Page().CurrentPreset() == 1; }, 30000))
      << "stuck at: " << script_.StuckAt();
  LetHotKeysPoll();

  EXPECT_EQ(presetWhileOpen_, 0);
  EXPECT_FALSE(presetCCheckedWhileOpen_);
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_0", "dz_0", -1, platform::kSettingsFile),
            editedDz0);
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_2", "dz_0", -1, platform::kSettingsFile), 9);
  EXPECT_EQ(platform::GetPrivateProfileInt("CNF", "preset", -1, platform::kSettingsFile), 1);
  EXPECT_EQ(Page().CurrentPreset(), 1);
  EXPECT_EQ(Page().Settings().dz_0, 5);
  EXPECT_TRUE(PresetChecked(CPedalsConfig2Dlg::kPresetBId));
  EXPECT_FALSE(PresetChecked(CPedalsConfig2Dlg::kPresetCId));
}

struct ModalWindowCase {
  const char* name;
  const char* title;  // as the window shows it
  std::function<void(wxWindow* owner)> show;
};
void PrintTo(const ModalWindowCase& c, std::ostream* os) { *os << c.name; }

class HotKeysUnderEachModalWindowTest : public HotKeysUnderModalWindowsTest,
                                        public testing::WithParamInterface<ModalWindowCase> {};

// Every kind of modal window the program opens holds the hot keys back; once it has ended, the
// same key acts again.
TEST_P(HotKeysUnderEachModalWindowTest, PresetKeyWaitsUntilTheWindowHasEnded) {
  HoldPresetKeyWhileOpen(GetParam().title, "Escape");
  GetParam().show(dialog_);
  ASSERT_TRUE(PumpUntil([&] { return script_.Finished(); }, 30000))
      << "stuck at: " << script_.StuckAt();
  LetHotKeysPoll();
  EXPECT_EQ(presetWhileOpen_, 0);
  EXPECT_EQ(Page().CurrentPreset(), 0);
  EXPECT_EQ(platform::GetPrivateProfileInt("CNF", "preset", -1, platform::kSettingsFile), -1);

  Shell("xdotool keydown F9");
  EXPECT_TRUE(PumpUntil([&] { return Page().CurrentPreset() == 2; }));
  Shell("xdotool keyup F9");
  EXPECT_TRUE(PresetChecked(CPedalsConfig2Dlg::kPresetCId));
}

INSTANTIATE_TEST_SUITE_P(Windows, HotKeysUnderEachModalWindowTest,
                         testing::Values(ModalWindowCase{"MessageBox", "Orvo Pedals",
                                                         [](wxWindow* owner) {
                                                           wxMessageDialog(owner, "Config not sent",
                                                                           "Orvo Pedals", wxOK)
                                                               .ShowModal();
                                                         }},
                                         ModalWindowCase{"FileDialog", "Save backup",
                                                         [](wxWindow* owner) {
                                                           wxFileDialog(owner, "Save backup", "",
                                                                        "orvo_pedals_backup.txt",
                                                                        "TXT Files (*.txt)|*.txt",
                                                                        wxFD_SAVE)
                                                               .ShowModal();
                                                         }},
                                         ModalWindowCase{"PrintDialog", "Print",
                                                         [](wxWindow* owner) {
                                                           wxPrintDialogData data;
                                                           wxPrintDialog(owner, &data).ShowModal();
                                                         }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
