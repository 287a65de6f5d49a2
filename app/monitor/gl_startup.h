// The monitor's GL start-up: GLFW, a hidden 1 x 1 window with an OpenGL context made current,
// then GLEW. Nothing ever draws with the context, so it goes again as soon as GLEW has loaded:
// a live context keeps the GL driver's worker threads and some megabytes of theirs.
#pragma once

#include <functional>
#include <string>

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
  // A display with a stale window manager check counts as GLFW failing to start. Whatever the
  // outcome, the window and its context are destroyed and GLFW ended before it returns, so a
  // later start-up begins afresh.
  explicit GlStartup(const Report& report);

  GlStartup(const GlStartup&) = delete;
  GlStartup& operator=(const GlStartup&) = delete;

  Status GetStatus() const { return status_; }

 private:
  Status status_ = Status::kReady;
};

}  // namespace app
