// When the monitor window shows and hides: a 100 ms visibility tick and a 3000 ms pop-up end,
// kept apart from the window so that the timing can be driven without waiting.
#pragma once

namespace app {

enum class MonitorTimer { kTick = 1, kEnd = 2 };

// What the timing needs from its window. The monitor window backs it with wxTimer; tests back
// it with a clock of their own.
class MonitorTimerHost {
 public:
  virtual ~MonitorTimerHost() = default;
  // (Re)starts the timer: it fires every periodMs from now on until stopped.
  virtual void StartTimer(MonitorTimer timer, int periodMs) = 0;
  virtual void StopTimer(MonitorTimer timer) = 0;
  // The application's enable-window option as it stands at this moment.
  virtual bool IsWindowEnabled() const = 0;
  virtual bool IsWindowShown() const = 0;
  // Shows the window without taking the focus from the application in front.
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  virtual void RepaintWindow() = 0;
};

class MonitorPopupTiming {
 public:
  static constexpr int kTickMs = 100;
  static constexpr int kPopupMs = 3000;

  // No ownership: the host owns this object and outlives it.
  explicit MonitorPopupTiming(MonitorTimerHost& host) : host_(host) {}

  // The window exists: the visibility tick starts.
  void StartTicking();
  // The window goes away: both timers stop; a running pop-up stays marked active.
  void StopTimers();

  // A new pop-up image has been drawn: the pop-up (re)starts its full time.
  void PopupDrawn();

  void OnTimer(MonitorTimer timer);

  bool IsActive() const { return active_; }

 private:
  MonitorTimerHost& host_;
  bool active_ = false;
};

}  // namespace app
