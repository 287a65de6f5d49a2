// The monitor's GL start-up under Xvfb, with GL working and with GL made unavailable.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <xcb/xcb.h>

#include "app/monitor/monitor_window.h"
#include "monitor_test_support.h"
#include "tests/support/window_test.h"

using namespace app;

namespace {

// Number of X windows titled like the monitor's hidden GL window, mapped or not.
int CountGlWindows() {
  const std::string ids =
      Shell(std::string("xdotool search --name '^") + kGlWindowTitle + "$' 2>/dev/null");
  return ids.empty() ? 0 : 1 + static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
}

// Sets or clears an environment variable for its lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Threads of this process, the GL driver's workers among them.
int CountThreads() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                        std::filesystem::directory_iterator()));
}

TEST(MonitorGl, StartsUnderXvfbAndReleasesTheContextAtOnce) {
  MessageBoxRecorder boxes;
  const int threadsBefore = CountThreads();
  CVirtualDisplayDlg monitor([] { return true; });
  ASSERT_NE(monitor.Gl(), nullptr);
  EXPECT_EQ(monitor.Gl()->GetStatus(), GlStartup::Status::kReady);
  // GLEW found the context current and loaded the entry points.
  EXPECT_TRUE(GLEW_VERSION_1_1);
  EXPECT_TRUE(boxes.messages.empty());
  // While the monitor lives on, its GL window, the context and the driver's worker threads
  // are gone already.
  EXPECT_EQ(glfwGetCurrentContext(), nullptr);
  EXPECT_TRUE(PumpUntil([] { return CountGlWindows() == 0; }));
  EXPECT_TRUE(PumpUntil([&] { return CountThreads() <= threadsBefore; }))
      << CountThreads() << " threads, " << threadsBefore << " before the start-up";
}

struct UnavailableCase {
  const char* name;
  const char* variable;
  const char* value;  // null: unset
  const char* message;
  GlStartup::Status status;
};

class MonitorGlUnavailableTest : public testing::TestWithParam<UnavailableCase> {};

TEST_P(MonitorGlUnavailableTest, ShowsOneMessageAndMonitorCarriesOn) {
  const UnavailableCase param = GetParam();
  ScopedWorkingDirectory directory;
  MessageBoxRecorder boxes;
  std::optional<CVirtualDisplayDlg> monitor;
  {
    ScopedEnv broken(param.variable, param.value);
    monitor.emplace([] { return true; });
  }
  ASSERT_EQ(boxes.messages.size(), 1u);
  EXPECT_EQ(boxes.messages[0], param.message);
  ASSERT_NE(monitor->Gl(), nullptr);
  EXPECT_EQ(monitor->Gl()->GetStatus(), param.status);
  EXPECT_EQ(CountGlWindows(), 0);

  // Without GL the pop-up still draws and shows.
  ASSERT_TRUE(monitor->Create());
  monitor->ShowMonitorPopup(77, 2);
  EXPECT_TRUE(PumpUntil([&] { return monitor->GetWindow()->IsShown(); }));
  EXPECT_EQ(monitor->Image().Bitmap().ConvertToImage().GetRed(120, 80), 255);
  monitor.reset();
  EXPECT_EQ(boxes.messages.size(), 1u);
}

// No display for GLFW (wx keeps its own connection); no OpenGL driver for the context.
INSTANTIATE_TEST_SUITE_P(
    Ways, MonitorGlUnavailableTest,
    testing::Values(UnavailableCase{"NoDisplay", "DISPLAY", nullptr, kGlfwInitFailedMessage,
                                    GlStartup::Status::kGlfwFailed},
                    UnavailableCase{"NoDriver", "LIBGL_DRIVERS_PATH", "/nonexistent",
                                    kGlWindowFailedMessage, GlStartup::Status::kWindowFailed}),
    [](const testing::TestParamInfo<UnavailableCase>& info) { return info.param.name; });

// An X server of the test's own, so that what the test leaves on its root window cannot reach
// the windows of tests running beside it. The connection it holds keeps the server from
// resetting, which would clear the root's properties.
class PrivateXServer {
 public:
  PrivateXServer() {
    int ready[2];
    if (pipe(ready) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    const std::string fd = std::to_string(ready[1]);
    const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen", "0",
                          "320x240x24", "-nolisten",  "tcp",      nullptr};
    const int spawned =
        posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) pid_ = -1;
    // The server writes its display number once it takes connections.
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, kPatienceMs) == 1 && read(ready[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(ready[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    connection_ = xcb_connect(name_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
      xcb_disconnect(connection_);
      connection_ = nullptr;
    }
  }
  ~PrivateXServer() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // Null when the server could not start.
  xcb_connection_t* Connection() const { return connection_; }
  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  xcb_connection_t* connection_ = nullptr;
};

// What the root's window manager check names.
enum class CheckWindow { kGone, kWithoutProperty, kLivingManager };

void SetWindowManagerCheck(xcb_connection_t* connection, CheckWindow kind) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  constexpr const char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, sizeof kCheck - 1, kCheck), nullptr);
  ASSERT_NE(atom, nullptr);
  const xcb_atom_t check = atom->atom;
  std::free(atom);
  const xcb_window_t window = xcb_generate_id(connection);
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  const auto point = [&](xcb_window_t on) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, on, check, XCB_ATOM_WINDOW, 32, 1,
                        &window);
  };
  point(screen->root);
  if (kind == CheckWindow::kLivingManager) point(window);
  // A window manager that ended without clearing the root leaves an id nobody has.
  if (kind == CheckWindow::kGone) xcb_destroy_window(connection, window);
  // A round trip: the server has done all of the above.
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

struct WindowManagerCheckCase {
  const char* name;
  CheckWindow check;
  bool stale;
};

class MonitorGlWindowManagerCheckTest : public testing::TestWithParam<WindowManagerCheckCase> {};

// GLFW aborted the whole program at its start on a display whose root still named the check
// window of a window manager that had ended.
TEST_P(MonitorGlWindowManagerCheckTest,
       StaleCheckWindowLeavesTheMonitorWithoutGlInsteadOfAborting) {
  const WindowManagerCheckCase param = GetParam();
  PrivateXServer server;
  ASSERT_NE(server.Connection(), nullptr) << "Xvfb could not start";
  SetWindowManagerCheck(server.Connection(), param.check);

  ScopedWorkingDirectory directory;
  MessageBoxRecorder boxes;
  std::optional<CVirtualDisplayDlg> monitor;
  {
    // GLFW takes its display from DISPLAY; wx keeps its own connection.
    ScopedEnv glDisplay("DISPLAY", server.Name().c_str());
    EXPECT_EQ(IsWindowManagerCheckStale(), param.stale);
    monitor.emplace([] { return true; });
  }
  ASSERT_NE(monitor->Gl(), nullptr);
  if (param.stale) {
    EXPECT_EQ(monitor->Gl()->GetStatus(), GlStartup::Status::kGlfwFailed);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0], kGlfwInitFailedMessage);
  } else {
    EXPECT_EQ(monitor->Gl()->GetStatus(), GlStartup::Status::kReady);
    EXPECT_TRUE(boxes.messages.empty());
  }

  // Either way the pop-up draws and shows.
  ASSERT_TRUE(monitor->Create());
  monitor->ShowMonitorPopup(77, 2);
  EXPECT_TRUE(PumpUntil([&] { return monitor->GetWindow()->IsShown(); }));
  monitor.reset();
  EXPECT_EQ(boxes.messages.size(), param.stale ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, MonitorGlWindowManagerCheckTest,
    testing::Values(WindowManagerCheckCase{"GoneWindow", CheckWindow::kGone, true},
                    WindowManagerCheckCase{"WindowWithoutProperty", CheckWindow::kWithoutProperty,
                                           true},
                    WindowManagerCheckCase{"LivingManager", CheckWindow::kLivingManager, false}),
    [](const testing::TestParamInfo<WindowManagerCheckCase>& info) { return info.param.name; });

}  // namespace
