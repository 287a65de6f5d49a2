// GLFW and GLEW start-up for the monitor window.
#include "app/monitor/gl_startup.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

namespace app {

namespace {

GlStartup::Status RunSteps(const GlStartup::Report& report, GLFWwindow*& window) {
  if (glfwInit() != GLFW_TRUE) {
    report(kGlfwInitFailedMessage);
    return GlStartup::Status::kGlfwFailed;
  }
  window = glfwCreateWindow(1, 1, kGlWindowTitle, nullptr, nullptr);
  if (window == nullptr) {
    report(kGlWindowFailedMessage);
    return GlStartup::Status::kWindowFailed;
  }
  glfwHideWindow(window);
  glfwMakeContextCurrent(window);
  if (glewInit() != GLEW_OK) {
    report(kGlewInitFailedMessage);
    return GlStartup::Status::kGlewFailed;
  }
  return GlStartup::Status::kReady;
}

}  // namespace

GlStartup::GlStartup(const Report& report) {
  GLFWwindow* window = nullptr;
  status_ = RunSteps(report, window);
  if (window != nullptr) {
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(window);
  }
  glfwTerminate();  // does nothing after a failed glfwInit
}

}  // namespace app
