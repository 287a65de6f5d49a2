// Steps that drive real modal windows from a timer, which keeps running inside their modal
// loops: each step is retried until it returns true. A step stuck for kPatienceMs hands over to the
// test's way out, called on every tick until it has nothing left to end, so that a failing test
// cannot hang.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <wx/timer.h>

#include "tests/support/window_test.h"

class UiScript {
 public:
  // endOne: ends the innermost modal window left; false when none is left.
  explicit UiScript(std::function<bool()> endOne) : endOne_(std::move(endOne)) {
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); });
  }

  void Then(std::string name, std::function<bool()> step) {
    steps_.push_back({std::move(name), std::move(step)});
  }
  void Start() {
    stepStart_ = std::chrono::steady_clock::now();
    timer_.Start(20);
  }
  bool Finished() const { return next_ == steps_.size(); }
  std::string StuckAt() const { return Finished() ? "" : steps_[next_].name; }

 private:
  struct Step {
    std::string name;
    std::function<bool()> run;
  };

  void OnTick() {
    if (aborting_) {
      if (!endOne_()) timer_.Stop();
      return;
    }
    if (Finished()) {
      timer_.Stop();
      return;
    }
    if (steps_[next_].run()) {
      ++next_;
      stepStart_ = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - stepStart_ >
               std::chrono::milliseconds(kPatienceMs)) {
      aborting_ = true;
    }
  }

  std::function<bool()> endOne_;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool aborting_ = false;
  std::chrono::steady_clock::time_point stepStart_;
  wxTimer timer_;
};
