// The tray's exit against the program's modal windows, on the real main dialog under Xvfb: an
// exit whose turn comes while a question, a file chooser or the assignment dialog is open must not
// run inside that window, and once the window has ended the exit asks about unsent changes as
// always.
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/modalhook.h>

#include "app/hot_keys/assign_button_dlg.h"
#include "app/main_dialog.h"
#include "app/monitor/monitor_window.h"
#include "app/tray_icon.h"
#include "pages/throttle_page.h"
#include "tests/support/ui_script.h"
#include "tests/support/window_test.h"

using namespace pages;
using namespace app;

namespace {

// Every modal window that opens while it lives, the toolkit's own message boxes and choosers
// included.
class ModalWindowCount : private wxModalDialogHook {
 public:
  ModalWindowCount() { Register(); }
  ~ModalWindowCount() override { Unregister(); }
  int opened = 0;

 private:
  int Enter(wxDialog*) override {
    ++opened;
    return wxID_NONE;
  }
  void Exit(wxDialog*) override {}
};

// The X window of the open assignment dialog, empty while none shows; it has no title to find.
std::string OpenAssignmentDialog() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<CAssignButtonDlg*>(window);
    if (dialog != nullptr && dialog->IsModal() && dialog->IsShownOnScreen())
      return std::to_string(XWindowIdOf(dialog));
  }
  return {};
}

bool CloseWithEscape(const std::string& id) {
  if (id.empty()) return false;
  // Without a window manager nothing gives the window the keyboard.
  Shell("xdotool windowfocus --sync " + id + " 2>/dev/null; xdotool key Escape");
  return true;
}

struct TrayExitCase {
  const char* name;
  int buttonId;                             // the main dialog's button that opens the window
  std::function<std::string()> openWindow;  // its X window once it shows, else empty
};
void PrintTo(const TrayExitCase& c, std::ostream* os) { *os << c.name; }

class TrayExitUnderModalWindowTest : public testing::TestWithParam<TrayExitCase> {
 protected:
  void SetUp() override {
    dialog_ =
        new Vezazivedov_sys_testDlg(&monitor_, AppOptionRefs{enableWindow_, enableVr_, minimized_});
    dialog_->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
      if (event.GetEventObject() == dialog_) dialogGone_ = true;
      event.Skip();
    });
    dialog_->Start();
    ASSERT_TRUE(PumpUntil([&] { return dialog_->IsShownOnScreen(); }));
    DrainEvents();
  }
  void TearDown() override {
    if (!dialogGone_) dialog_->Destroy();
    PumpUntil([&] { return dialogGone_; });
    DrainEvents();
  }

  // What the tray menu's "Salir" sends the icon.
  void ChooseTrayExit() {
    wxCommandEvent exit(wxEVT_MENU, CTLWndTrayIcon::kExitCommand);
    dialog_->TrayIcon().ProcessEvent(exit);
  }

  ScopedWorkingDirectory directory_;
  CVirtualDisplayDlg monitor_{[] { return false; }};
  int enableWindow_ = 0, enableVr_ = 0, minimized_ = 0;
  Vezazivedov_sys_testDlg* dialog_ = nullptr;
  bool dialogGone_ = false;
  ModalWindowCount modalWindows_;
};

// The exit runs once the menu has closed. When a window of the program has opened by then (the
// user clicked a button right after choosing Exit), the window comes first: the exit neither asks
// inside it nor ends the program under it. Here the command comes while the window shows, so that
// its turn comes inside the window's loop for certain.
TEST_P(TrayExitUnderModalWindowTest, ExitDuringAWindowNeitherAsksNorEndsUntilTheWindowHasEnded) {
  CPedalsConfig2Dlg& page = *dialog_->ThrottlePage();
  ClickCentre(*page.FindWindow(kThrottleRows[0].plusId));
  ASSERT_TRUE(PumpUntil([&] { return page.Settings().dirty; }));

  std::string window;
  bool exitsTurnPassed = false;
  bool mainShownAfterExit = false;
  int modalWindowsBeforeExit = 0;
  int modalWindowsAfterExit = 0;
  // The way out of a failing run: a question asked inside the window first, then the window.
  UiScript script([] {
    return CloseWithEscape(FindVisibleWindow("Orvo Pedals")) ||
           CloseWithEscape(GetParam().openWindow());
  });
  script.Then("the window open", [&] {
    window = GetParam().openWindow();
    if (window.empty()) return false;
    modalWindowsBeforeExit = modalWindows_.opened;
    ChooseTrayExit();
    // Queued behind the exit's own run: once this has run, so has the exit.
    dialog_->CallAfter([&] { exitsTurnPassed = true; });
    return true;
  });
  script.Then("the exit's turn passed", [&] {
    if (!exitsTurnPassed) return false;
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) c = c == '/' ? '_' : c;
    SaveScreenshot("tray_exit_" + name);
    mainShownAfterExit = !dialogGone_ && dialog_->IsShown();
    modalWindowsAfterExit = modalWindows_.opened;
    return true;
  });
  script.Then("answered", [&] { return CloseWithEscape(window); });
  script.Then("the window gone", [] { return GetParam().openWindow().empty(); });
  script.Start();
  ClickCentre(*dialog_->FindWindow(GetParam().buttonId));  // returns once the window has ended
  EXPECT_TRUE(PumpUntil([&] { return script.Finished(); }, 30000))
      << "stuck at: " << script.StuckAt();
  DrainEvents();

  EXPECT_TRUE(mainShownAfterExit);
  EXPECT_EQ(modalWindowsAfterExit, modalWindowsBeforeExit) << "the exit asked inside the window";
  ASSERT_FALSE(dialogGone_);
  EXPECT_TRUE(page.Settings().dirty);

  // Now the exit asks as always; Yes ends the program.
  const int before = modalWindows_.opened;
  ModalDriver yes("Orvo Pedals", "", {[] { Keys("Return"); }});  // Return: the default, Yes
  ChooseTrayExit();
  EXPECT_TRUE(PumpUntil([&] { return dialogGone_ && yes.Done(); }));
  EXPECT_EQ(modalWindows_.opened, before + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, TrayExitUnderModalWindowTest,
    testing::Values(TrayExitCase{"UnsavedChangesQuestion", Vezazivedov_sys_testDlg::kRestoreId,
                                 [] { return FindVisibleWindow("Orvo Pedals"); }},
                    TrayExitCase{"FileChooser", Vezazivedov_sys_testDlg::kBackupId,
                                 [] { return FindVisibleWindow("Select a file"); }},
                    TrayExitCase{"AssignmentDialog", Vezazivedov_sys_testDlg::kAssignButtonsId,
                                 OpenAssignmentDialog}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
