// When a page lets the toolkit's idle visits reach its controls.
#pragma once

#include <chrono>

namespace pages {

// The toolkit visits every window for idle work after each event it handles: here after every
// tick of the 10 ms and 23 ms timers. A page's controls have such work only now and then (after
// they are made, moved in the tab order or shown), and visiting each of them 200 times a second
// was a tenth of the program's CPU. So a shown page passes the visits on at once when it has
// just been shown and then at most every kInterval; a hidden page passes none.
class IdleVisits {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kInterval{50};

  // True when this idle pass should reach the page and its controls.
  bool Due(bool shown, Clock::time_point now = Clock::now());

 private:
  bool wasShown_ = false;
  Clock::time_point last_{};
};

}  // namespace pages
