// Helpers for the window tests: the wx event loop that window_test_main.cpp keeps running, and a
// private working directory so that ./presets.ini starts absent.
#pragma once

#include <filesystem>
#include <functional>

#include <wx/gdicmn.h>

class wxWindow;

// Dispatches events, timers and idle work for about ms milliseconds.
void PumpEvents(int ms);

// Dispatches events until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// The X window of a shown top-level window.
unsigned long XWindowIdOf(wxWindow* window);

// Sends the window the close request (WM_DELETE_WINDOW) that a window manager sends for Alt+F4.
void SendWindowManagerClose(wxWindow* window);

// Where the X server has a shown window's top-left corner, in root coordinates.
wxPoint ServerWindowPosition(wxWindow* window);

// Runs openbox on the test's display for its lifetime; the window tests' server has no window
// manager of its own. Whatever openbox keeps goes into stateDir. Running() is false when
// openbox could not take the screen.
class ScopedWindowManager {
 public:
  explicit ScopedWindowManager(const std::filesystem::path& stateDir);
  ~ScopedWindowManager();
  ScopedWindowManager(const ScopedWindowManager&) = delete;
  ScopedWindowManager& operator=(const ScopedWindowManager&) = delete;

  bool Running() const { return running_; }

 private:
  int pid_ = -1;
  bool running_ = false;
};

// Makes a fresh temporary directory the working directory for its lifetime.
class ScopedWorkingDirectory {
 public:
  ScopedWorkingDirectory();
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};
