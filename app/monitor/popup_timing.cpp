// The monitor's pop-up timing.
#include "app/monitor/popup_timing.h"

void MonitorPopupTiming::StartTicking() { host_.StartTimer(MonitorTimer::Tick, kTickMs); }

void MonitorPopupTiming::StopTimers() {
  host_.StopTimer(MonitorTimer::Tick);
  host_.StopTimer(MonitorTimer::End);
}

void MonitorPopupTiming::PopupDrawn() {
  active_ = true;
  host_.StartTimer(MonitorTimer::End, kPopupMs);
  if (host_.IsWindowEnabled()) host_.RepaintWindow();
}

void MonitorPopupTiming::OnTimer(MonitorTimer timer) {
  if (timer == MonitorTimer::End) {
    host_.StopTimer(MonitorTimer::End);
    // The next tick hides the window, so a pop-up stays up for 3000 to about 3100 ms.
    active_ = false;
    return;
  }
  const bool enabled = host_.IsWindowEnabled();
  const bool shown = host_.IsWindowShown();
  if (!active_) {
    host_.HideWindow();
  } else if (enabled && !shown) {
    host_.ShowWindow();
  } else if (!enabled && shown) {
    host_.HideWindow();
  }
  host_.StartTimer(MonitorTimer::Tick, kTickMs);
}
