// The monitor's pop-up timing, driven by a manual clock instead of real timers.
#include <map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/monitor/popup_timing.h"

using namespace app;

namespace {

// Fires the timers that the timing starts in time order, as the real timers would.
class ManualClockHost : public MonitorTimerHost {
 public:
  bool enabled = true;
  int repaints = 0;
  // (time in ms, shown afterwards) for every change of visibility.
  std::vector<std::pair<int, bool>> changes;

  void StartTimer(MonitorTimer timer, int periodMs) override {
    timers_[timer] = Running{periodMs, now_ + periodMs};
  }
  void StopTimer(MonitorTimer timer) override { timers_.erase(timer); }
  bool IsWindowEnabled() const override { return enabled; }
  bool IsWindowShown() const override { return shown_; }
  void ShowWindow() override { SetShown(true); }
  void HideWindow() override { SetShown(false); }
  void RepaintWindow() override { ++repaints; }

  bool IsRunning(MonitorTimer timer) const { return timers_.count(timer) != 0; }
  bool Shown() const { return shown_; }

  // Runs every timer due up to and including time ms, then sets the clock to ms.
  void RunUntil(int ms, MonitorPopupTiming& timing) {
    for (;;) {
      auto next = timers_.end();
      for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (next == timers_.end() || it->second.due < next->second.due) next = it;
      }
      if (next == timers_.end() || next->second.due > ms) break;
      now_ = next->second.due;
      next->second.due += next->second.period;
      timing.OnTimer(next->first);
    }
    now_ = ms;
  }

 private:
  struct Running {
    int period;
    int due;
  };

  void SetShown(bool shown) {
    if (shown != shown_) changes.emplace_back(now_, shown);
    shown_ = shown;
  }

  int now_ = 0;
  bool shown_ = false;
  std::map<MonitorTimer, Running> timers_;
};

using Changes = std::vector<std::pair<int, bool>>;

// Ticks fall on whole hundreds; pop-ups start at 50 past, so no tick and end coincide.
class MonitorTimingTest : public testing::Test {
 protected:
  MonitorTimingTest() { timing.StartTicking(); }

  void PopupAt(int ms) {
    host.RunUntil(ms, timing);
    timing.PopupDrawn();
  }

  ManualClockHost host;
  MonitorPopupTiming timing{host};
};

TEST_F(MonitorTimingTest, PopupShowsAtNextTickAndHidesAtFirstTickAfterThreeSeconds) {
  PopupAt(1050);
  EXPECT_TRUE(timing.IsActive());
  EXPECT_EQ(host.repaints, 1);
  host.RunUntil(4049, timing);
  EXPECT_TRUE(timing.IsActive());
  host.RunUntil(10000, timing);
  EXPECT_FALSE(timing.IsActive());
  EXPECT_FALSE(host.IsRunning(MonitorTimer::kEnd));
  EXPECT_TRUE(host.IsRunning(MonitorTimer::kTick));
  EXPECT_EQ(host.changes, (Changes{{1100, true}, {4100, false}}));
}

TEST_F(MonitorTimingTest, DisabledWindowNeverShowsButPopupStillRuns) {
  host.enabled = false;
  PopupAt(1050);
  EXPECT_TRUE(timing.IsActive());
  EXPECT_TRUE(host.IsRunning(MonitorTimer::kEnd));
  EXPECT_EQ(host.repaints, 0);
  host.RunUntil(4049, timing);
  EXPECT_TRUE(timing.IsActive());
  host.RunUntil(10000, timing);
  EXPECT_FALSE(timing.IsActive());
  EXPECT_TRUE(host.changes.empty());
}

TEST_F(MonitorTimingTest, EnablingDuringPopupShowsAtNextTick) {
  host.enabled = false;
  PopupAt(1050);
  host.RunUntil(2050, timing);
  host.enabled = true;
  host.RunUntil(2099, timing);
  EXPECT_FALSE(host.Shown());
  host.RunUntil(10000, timing);
  EXPECT_EQ(host.changes, (Changes{{2100, true}, {4100, false}}));
}

TEST_F(MonitorTimingTest, DisablingDuringPopupHidesAtNextTick) {
  PopupAt(1050);
  host.RunUntil(2050, timing);
  host.enabled = false;
  host.RunUntil(10000, timing);
  EXPECT_EQ(host.changes, (Changes{{1100, true}, {2100, false}}));
  EXPECT_FALSE(timing.IsActive());
}

TEST_F(MonitorTimingTest, SecondPopupKeepsWindowUpUntilThreeSecondsAfterIt) {
  PopupAt(1050);
  PopupAt(3050);
  host.RunUntil(6049, timing);
  EXPECT_TRUE(timing.IsActive());
  host.RunUntil(10000, timing);
  EXPECT_EQ(host.changes, (Changes{{1100, true}, {6100, false}}));
  EXPECT_EQ(host.repaints, 2);
}

TEST_F(MonitorTimingTest, StoppedTimersLeaveNothingRunning) {
  PopupAt(1050);
  timing.StopTimers();
  EXPECT_FALSE(host.IsRunning(MonitorTimer::kTick));
  EXPECT_FALSE(host.IsRunning(MonitorTimer::kEnd));
}

}  // namespace
