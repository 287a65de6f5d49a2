// main() of every window test binary: starts wx on the X display without running an
// application's initialisation and keeps one event loop active, so that tests can create windows
// and pump their events. Listing the tests (CTest's discovery) needs no display.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  // File choosers keep their own settings; without a session bus they stay in memory.
  setenv("GSETTINGS_BACKEND", "memory", 0);
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "window tests: wx cannot start; is DISPLAY set?\n");
    return 1;
  }
  wxInitAllImageHandlers();
  int result = 0;
  {
    wxGUIEventLoop loop;
    wxEventLoopActivator activator(&loop);
    result = RUN_ALL_TESTS();
  }
  wxEntryCleanup();
  return result;
}
