// Entry of the window tests: starts wx without running an application's initialisation and keeps
// one event loop active, so that tests can create windows and pump their events.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/window.h>

// Xlib's macros clash with other headers, so X comes last.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "window_test_support.h"

void PumpEvents(int ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_ALL);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

unsigned long XWindowIdOf(wxWindow* window) {
  return GDK_WINDOW_XID(gtk_widget_get_window(window->GetHandle()));
}

void SendWindowManagerClose(wxWindow* window) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = XWindowIdOf(window);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XFlush(display);
}

wxPoint ServerWindowPosition(wxWindow* window) {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, XWindowIdOf(window), DefaultRootWindow(display), 0, 0, &x, &y,
                        &child);
  return {x, y};
}

namespace {

// A window manager owns the selection WM_S<screen>.
bool WindowManagerOwnsScreen() {
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  const std::string name = "WM_S" + std::to_string(DefaultScreen(display));
  return XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None;
}

}  // namespace

extern char** environ;

ScopedWindowManager::ScopedWindowManager(const std::filesystem::path& stateDir) {
  if (WindowManagerOwnsScreen()) return;  // someone else's: leave it alone
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("XDG_", 0) != 0) variables.emplace_back(*e);
  }
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
    variables.push_back(std::string(name) + "=" + stateDir.string());
  }
  std::vector<char*> env;
  for (std::string& v : variables) env.push_back(v.data());
  env.push_back(nullptr);
  char program[] = "openbox";
  char noSession[] = "--sm-disable";
  char* argv[] = {program, noSession, nullptr};
  if (posix_spawnp(&pid_, program, nullptr, nullptr, argv, env.data()) != 0) {
    pid_ = -1;
    return;
  }
  running_ = PumpUntil([] { return WindowManagerOwnsScreen(); }, 10000);
}

ScopedWindowManager::~ScopedWindowManager() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  // The windows it managed are handed back to the root; let their events pass.
  PumpUntil([] { return !WindowManagerOwnsScreen(); }, 3000);
  // openbox leaves its check window's id on the root. GLFW takes such a stale id for a running
  // window manager and then trips over its own X error handling at the next start.
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"}) {
    XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False));
  }
  XSync(display, False);
}

ScopedWorkingDirectory::ScopedWorkingDirectory() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvo-app-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
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
