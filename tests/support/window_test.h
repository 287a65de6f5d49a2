// The window tests' harness, shared by every tests/<folder>: window_test_main.cpp starts wx on
// DISPLAY (listing the tests needs no display) and keeps one event loop active; these helpers
// pump it, give real input, read the screen back, answer modal windows and make private folders.
//
// Wait for the thing a test needs with PumpUntil, never for a fixed time: a busy machine only
// makes it take longer. PumpEvents(ms) is for the one case a condition cannot express, checking
// that something does not happen.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "tests/support/temp_folder.h"

class wxWindow;

using test_support::TempFolder;

// How long a condition may take before the test gives up on it.
inline constexpr int kPatienceMs = 10000;

// ---- The event loop ----

// Dispatches events until done() holds or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = kPatienceMs);

// Dispatches events, timers and idle work for ms milliseconds.
void PumpEvents(int ms);

// Handles every event the X server has sent so far and what handling them posts: after real
// input (XTest) has gone out, its effects have happened when this returns. Repaints come later,
// with the toolkit's next frame: wait for those with PumpUntil.
void DrainEvents();

// ---- Real input ----

// Before a click at screen point: when it would make a double click with the click before,
// waits out the double-click time, so that it counts as a click of its own.
void SeparateFromLastClick(wxPoint screen);

// A click of button at a client point of window, as a person makes it, never half of a double
// click; returns once handled.
void ClickAt(wxWindow& window, wxPoint client, int button = wxMOUSE_BTN_LEFT);
void ClickCentre(wxWindow& window);

// Keys by xdotool's names ("Return", "ctrl+a") to the window with the keyboard.
void Keys(const std::string& keys);
// Text typed character by character.
void Type(const std::string& text);

// Standard output of a shell command, without trailing line breaks and blanks.
std::string Shell(const std::string& command);

// The X id of the visible window titled exactly title, the last one found; empty when none.
std::string FindVisibleWindow(const std::string& title);

// ---- X windows and the screen ----

// The X window of a shown top-level window.
unsigned long XWindowIdOf(wxWindow* window);

// Sends the window the close request (WM_DELETE_WINDOW) that a window manager sends for Alt+F4.
void SendWindowManagerClose(wxWindow* window);

// The whole screen as the X server shows it, read into memory.
wxImage ScreenImage();
// The part of a screen image that a window's client area covers.
wxImage ClientPixels(const wxImage& screen, const wxWindow& window);
// A window's client area as the X server shows it.
wxImage ShownPixels(const wxWindow& window);

// <ORVO_SCREENSHOT_DIR>/<name>.png, or empty when that variable is not set: pictures to look at
// are kept only when asked for.
std::string ScreenshotPath(const std::string& name);
// Keeps the screen, or an image, as <name>.png when ORVO_SCREENSHOT_DIR is set.
void SaveScreenshot(const std::string& name);
void SaveImage(const wxImage& image, const std::string& name);

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

// ---- Modal windows ----

// Acts on the window titled exactly title (a file chooser, a message box) from a timer that keeps
// running inside its modal loop: once the window shows and has settled, a screenshot (when
// screenshot names one), then the steps, each given the keyboard, a while apart. The window is
// looked up again before every step, since a dialog shown anew may be another window.
class ModalDriver : public wxTimer {
 public:
  using Step = std::function<void()>;
  enum class LastStep {
    kOnce,
    // The last step's keys may come before the window they are meant for (a question over the
    // chooser, slow to show on a busy machine): while the window still shows, it runs again.
    kRepeatWhileShown,
  };

  ModalDriver(std::string title, std::string screenshot, std::vector<Step> steps,
              LastStep last = LastStep::kOnce);
  void Notify() override;
  bool Done() const { return done_; }

 private:
  std::string title_;
  std::string screenshot_;
  std::vector<Step> steps_;
  LastStep last_;
  bool found_ = false;
  std::size_t step_ = 0;
  int repeats_ = 0;
  std::chrono::steady_clock::time_point next_;
  std::chrono::steady_clock::time_point finished_;
  bool done_ = false;
};

// The steps that answer a file chooser with exactly path. The chooser completes a typed name
// inline ("clutch" becomes "clutch" plus a selected ".xml" when clutch.xml exists); Delete drops
// that selected tail, and does nothing when there is none.
std::vector<ModalDriver::Step> TypePathSteps(const std::string& path);

// Records the items of every menu that opens over window while it lives; once such a menu shows
// and holds the keyboard, a screenshot (when named) and then keys go to it.
class MenuDriver : public wxTimer {
 public:
  MenuDriver(wxWindow* window, std::string keys, std::string screenshot = "");
  ~MenuDriver() override;
  MenuDriver(const MenuDriver&) = delete;
  MenuDriver& operator=(const MenuDriver&) = delete;
  void Notify() override;

  int opened = 0;
  bool keysSent = false;
  std::vector<int> ids;
  std::vector<std::string> texts;  // a separator reads "---"
  std::vector<bool> checked;
  std::vector<bool> enabled;

 private:
  void OnMenuOpen(class wxMenuEvent& event);

  wxWindow* window_;  // not owned; outlives the driver
  std::string keys_;
  std::string screenshot_;
};

// ---- Folders ----

// Makes a fresh private folder the working directory for its lifetime, so that ./presets.ini
// starts absent.
class ScopedWorkingDirectory {
 public:
  ScopedWorkingDirectory();
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

  const std::filesystem::path& Path() const { return folder_.Path(); }

 private:
  std::filesystem::path previous_;
  TempFolder folder_{"orvo-workdir"};
};
