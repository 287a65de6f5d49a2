// The monitor's pop-up timing.
#include "app/monitor/popup_timing.h"

namespace app {

void MonitorPopupTiming::StartTicking() { host_.StartTimer(MonitorTimer::kTick, kTickMs); }

void MonitorPopupTiming::StopTimers() {
  host_.StopTimer(MonitorTimer::kTick);
  host_.StopTimer(MonitorTimer::kEnd);
}

void MonitorPopupTiming::PopupDrawn() {
  active_ = true;
  host_.StartTimer(MonitorTimer::kEnd, kPopupMs);
  if (host_.IsWindowEnabled()) host_.RepaintWindow();
}

void MonitorPopupTiming::OnTimer(MonitorTimer timer) {
  if (timer == MonitorTimer::kEnd) {
    host_.StopTimer(MonitorTimer::kEnd);
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
  host_.StartTimer(MonitorTimer::kTick, kTickMs);
}

}  // namespace app
