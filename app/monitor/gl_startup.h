// The monitor's GL start-up: GLFW, a hidden 1 x 1 window with an OpenGL context made current,
// then GLEW. Nothing draws with the context; it only has to exist while the monitor does.
#pragma once

#include <functional>
#include <string>

struct GLFWwindow;

namespace app {

inline constexpr const char* kGlfwInitFailedMessage = "Failed to initialize GLFW";
inline constexpr const char* kGlWindowFailedMessage = "Failed to start opengl";
inline constexpr const char* kGlewInitFailedMessage = "Failed to initialize GLEW";
inline constexpr const char* kGlWindowTitle = "Orvo Pedals Monitor";

// Whether the X server of $DISPLAY names on its root, in _NET_SUPPORTING_WM_CHECK, a window
// manager's check window that is gone or does not carry the property itself. GLFW cannot start
// on such a display without aborting the program.
bool IsWindowManagerCheckStale();

class GlStartup {
 public:
  enum class Status { kReady, kGlfwFailed, kWindowFailed, kGlewFailed };
  // Receives the one message of the first step that fails.
  using Report = std::function<void(const std::string& message)>;

  // Runs the steps in order and stops at the first failure; the caller carries on without GL.
  // A display with a stale window manager check counts as GLFW failing to start.
  explicit GlStartup(const Report& report);
  // Destroys the GLFW window and ends GLFW.
  ~GlStartup();

  GlStartup(const GlStartup&) = delete;
  GlStartup& operator=(const GlStartup&) = delete;

  Status GetStatus() const { return status_; }
  // Null unless the window was made.
  GLFWwindow* Window() const { return window_; }

 private:
  bool glfwStarted_ = false;
  GLFWwindow* window_ = nullptr;
  Status status_ = Status::kReady;
};

}  // namespace app
