// GLFW and GLEW start-up for the monitor window.
#include "app/monitor/gl_startup.h"

// GLEW must come before any other GL header.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace app {

namespace {

// The window named by property on window (a one-window WINDOW value); none when it is not set,
// or when window does not exist. XCB hands errors to the caller, so the check asks the server
// without touching the process-wide Xlib error handler that GTK relies on.
std::optional<xcb_window_t> WindowProperty(xcb_connection_t* connection, xcb_window_t window,
                                           xcb_atom_t property) {
  xcb_generic_error_t* error = nullptr;
  const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(
          connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1),
          &error),
      &std::free);
  std::free(error);
  if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
      xcb_get_property_value_length(reply.get()) < static_cast<int>(sizeof(xcb_window_t))) {
    return std::nullopt;
  }
  xcb_window_t named = 0;
  std::memcpy(&named, xcb_get_property_value(reply.get()), sizeof named);
  return named;
}

GlStartup::Status RunSteps(const GlStartup::Report& report, GLFWwindow*& window) {
  // GLFW follows the root's check property to the window it names, and when that window is gone
  // or lacks the property (a window manager that ended without clearing it), GLFW keeps its X
  // error handler installed and aborts the program at its next X request.
  if (IsWindowManagerCheckStale()) {
    std::fprintf(stderr,
                 "orvo: the display names a window manager that is no longer there "
                 "(_NET_SUPPORTING_WM_CHECK); the monitor runs without GL\n");
    report(kGlfwInitFailedMessage);
    return GlStartup::Status::kGlfwFailed;
  }
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

bool IsWindowManagerCheckStale() {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> hold(connection,
                                                                          &xcb_disconnect);
  // No server at all is GLFW's own failure to report.
  if (xcb_connection_has_error(connection) != 0) return false;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return false;

  constexpr const char kCheck[] = "_NET_SUPPORTING_WM_CHECK";
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, sizeof kCheck - 1, kCheck),
                            nullptr),
      &std::free);
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;  // no window manager ever set it

  const std::optional<xcb_window_t> check =
      WindowProperty(connection, screens.data->root, atom->atom);
  // A living window manager's check window carries the property too (any value satisfies GLFW).
  return check && !WindowProperty(connection, *check, atom->atom);
}

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
