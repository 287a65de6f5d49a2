// Answers a real modal window (file dialog, message box) from the keyboard, as a person would:
// a timer that keeps running inside the window's modal loop finds it by its title, takes a
// screenshot, then runs the steps a while apart.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/timer.h>
#include <wx/utils.h>

namespace chart::test {

inline std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// <ORVO_SCREENSHOT_DIR>/<name>.png, or empty when that variable is not set: pictures to look
// at are kept only when asked for.
inline std::string ScreenshotPath(const std::string& name) {
  const char* dir = std::getenv("ORVO_SCREENSHOT_DIR");
  return dir ? std::string(dir) + "/" + name + ".png" : std::string();
}

inline void Keys(const std::string& keys) {
  Shell("xdotool key --clearmodifiers --delay 40 " + keys);
}
inline void Type(const std::string& text) { Shell("xdotool type --delay 10 '" + text + "'"); }

class ModalDriver : public wxTimer {
 public:
  using Step = std::function<void()>;
  // screenshot: a PNG path for the screen as the window first shows, or empty.
  ModalDriver(std::string title, std::string screenshot, std::vector<Step> steps)
      : title_(std::move(title)), screenshot_(std::move(screenshot)), steps_(std::move(steps)) {
    Start(100);
  }
  void Notify() override {
    const auto now = std::chrono::steady_clock::now();
    if (done_ || now < next_) return;
    // Looked up again before every step: a dialog shown anew may be another window.
    const std::string id =
        Shell("xdotool search --onlyvisible --name '^" + title_ + "$' 2>/dev/null | tail -n 1");
    if (id.empty()) {
      found_ = false;
      return;
    }
    if (!found_) {
      found_ = true;
      next_ = now + std::chrono::milliseconds(800);  // lets the window settle
      return;
    }
    if (step_ == 0 && !screenshot_.empty()) Shell("import -window root '" + screenshot_ + "'");
    // Without a window manager nothing gives the window the keyboard: every step takes it.
    Shell("xdotool windowfocus --sync " + id + " 2>/dev/null");
    steps_[step_++]();
    next_ = now + std::chrono::milliseconds(600);
    if (step_ == steps_.size()) {
      Stop();
      done_ = true;
    }
  }
  bool Done() const { return done_; }

 private:
  std::string title_;
  std::string screenshot_;
  std::vector<Step> steps_;
  bool found_ = false;
  std::size_t step_ = 0;
  std::chrono::steady_clock::time_point next_;
  bool done_ = false;
};

// The steps that answer a file chooser with exactly path. The chooser completes a typed name
// inline ("clutch" becomes "clutch" plus a selected ".xml" when clutch.xml exists); Delete drops
// that selected tail, and does nothing when there is none.
inline std::vector<ModalDriver::Step> TypePathSteps(const std::string& path) {
  return {[path] {
            Keys("ctrl+a");
            Type(path);
          },
          [] { Keys("Delete"); },
          [] { Keys("Return"); }};
}

inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
  return true;
}

}  // namespace chart::test
