// main() of the page window tests: starts wx on the X display, then runs the tests on the
// user-interface thread.
#include <gtest/gtest.h>

#include <cstdio>

#include <wx/app.h>
#include <wx/init.h>

namespace {
class WindowTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(WindowTestApp);

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "window tests: no X display (is DISPLAY set?)\n");
    return 1;
  }
  wxTheApp->CallOnInit();
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
