// The monitor's GL start-up under Xvfb, with GL working and with GL made unavailable.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <wx/frame.h>

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

}  // namespace
