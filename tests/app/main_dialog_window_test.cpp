// The main window's end: every timer stops before the pages, the monitor window and the device
// link go, whichever way the window ends.
#include <functional>
#include <optional>

#include <gtest/gtest.h>
#include <wx/frame.h>

#include "app/main_dialog.h"
#include "app/monitor/monitor_window.h"
#include "pages/throttle_page.h"
#include "tests/support/window_test.h"

using namespace pages;
using namespace app;

namespace {

struct EndCase {
  const char* name;
  std::function<void(Vezazivedov_sys_testDlg&)> end;
};

class MainDialogEndTest : public testing::TestWithParam<EndCase> {};

TEST_P(MainDialogEndTest, StopsAllTimersBeforePagesMonitorAndLinkGo) {
  ScopedWorkingDirectory workingDirectory;
  CVirtualDisplayDlg monitor([] { return false; });
  int enableWindow = 0, enableVr = 0, minimized = 0;
  auto* dialog =
      new Vezazivedov_sys_testDlg(&monitor, AppOptionRefs{enableWindow, enableVr, minimized});
  dialog->Start();
  // Timer 3 starts once the window has been shown.
  ASSERT_TRUE(PumpUntil([&] { return dialog->AnyTimerRunning() && dialog->IsShownOnScreen(); }));
  DrainEvents();

  bool dialogGone = false;
  std::optional<bool> timersAtPageEnd;
  std::optional<bool> timersAtMonitorEnd;
  dialog->ThrottlePage()->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
    timersAtPageEnd = dialog->AnyTimerRunning();
    event.Skip();
  });
  wxWindow* monitorWindow = monitor.GetWindow();
  ASSERT_NE(monitorWindow, nullptr);
  monitorWindow->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
    // The monitor's frame may go after the dialog, whose timers have then gone with it.
    if (event.GetEventObject() == monitorWindow)
      timersAtMonitorEnd = !dialogGone && dialog->AnyTimerRunning();
    event.Skip();
  });
  dialog->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == dialog) dialogGone = true;
    event.Skip();
  });

  GetParam().end(*dialog);
  ASSERT_TRUE(PumpUntil([&] { return dialogGone && monitor.GetWindow() == nullptr; }));
  DrainEvents();

  ASSERT_TRUE(timersAtPageEnd.has_value());
  EXPECT_FALSE(*timersAtPageEnd);
  ASSERT_TRUE(timersAtMonitorEnd.has_value());
  EXPECT_FALSE(*timersAtMonitorEnd);
  EXPECT_EQ(monitor.GetWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, MainDialogEndTest,
    testing::Values(EndCase{"ExitWithoutChanges", [](Vezazivedov_sys_testDlg& d) { d.OnCancel(); }},
                    EndCase{"WindowDestroyed", [](Vezazivedov_sys_testDlg& d) { d.Destroy(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
