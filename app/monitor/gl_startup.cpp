// GLFW and GLEW start-up for the monitor window.
#include "app/monitor/gl_startup.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace app {

GlStartup::GlStartup(const Report& report) {
  if (glfwInit() != GLFW_TRUE) {
    status_ = Status::kGlfwFailed;
    report(kGlfwInitFailedMessage);
    return;
  }
  glfwStarted_ = true;
  window_ = glfwCreateWindow(1, 1, kGlWindowTitle, nullptr, nullptr);
  if (window_ == nullptr) {
    status_ = Status::kWindowFailed;
    report(kGlWindowFailedMessage);
    return;
  }
  glfwHideWindow(window_);
  glfwMakeContextCurrent(window_);
  if (glewInit() != GLEW_OK) {
    status_ = Status::kGlewFailed;
    report(kGlewInitFailedMessage);
  }
}

GlStartup::~GlStartup() {
  if (window_ != nullptr) glfwDestroyWindow(window_);
  // Ending GLFW lets a later monitor start it afresh.
  if (glfwStarted_) glfwTerminate();
}

}  // namespace app
