// The monitor window: a small borderless, always-on-top pop-up that shows the brake force and
// the selected throttle preset for 3 seconds after each live apply.
#pragma once

#include <functional>
#include <memory>

#include <wx/gdicmn.h>
#include <wx/timer.h>

#include "app/monitor/gl_startup.h"
#include "app/monitor/popup_image.h"
#include "app/monitor/popup_timing.h"

class wxFrame;

namespace app {

class MonitorFrame;

// A stored monitor position is used only with both coordinates above 0 and on a current display;
// anywhere else the pop-up could never be seen again.
bool IsMonitorPositionRestorable(const wxPoint& position);

class CVirtualDisplayDlg : private MonitorTimerHost {
 public:
  static constexpr int kWidth = MonitorPopupImage::kWidth;
  static constexpr int kHeight = MonitorPopupImage::kHeight;

  // Draws the black image and starts GL; a GL failure shows its one message box and the monitor
  // carries on without GL. windowEnabled gives the application's MONITOR enable_window at each
  // use. Needs the GUI library running, so the application builds it in its initialisation.
  explicit CVirtualDisplayDlg(std::function<bool()> windowEnabled);
  ~CVirtualDisplayDlg() override;

  CVirtualDisplayDlg(const CVirtualDisplayDlg&) = delete;
  CVirtualDisplayDlg& operator=(const CVirtualDisplayDlg&) = delete;

  // Creates the window, hidden and with no parent, starts the 100 ms tick and moves the window to
  // the stored MONITOR x, y when that position is usable. False when the window exists already
  // or cannot be made.
  bool Create();
  // Stops the timers and destroys the window; the object stays and can create it again.
  void DestroyWindow();

  // Draws value (the brake's maximum force in percent) and preset (0, 1, 2 for A, B, C) and
  // (re)starts the 3000 ms pop-up; the window shows at the next tick when enabled.
  virtual void ShowMonitorPopup(int value, int preset);

  // Null before Create and after the window is destroyed.
  wxFrame* GetWindow() const;
  // Null when the image could not be made, so GL was never started.
  const GlStartup* Gl() const { return gl_.get(); }
  const MonitorPopupImage& Image() const { return image_; }
  bool IsPopupActive() const { return timing_.IsActive(); }

 private:
  void StartTimer(MonitorTimer timer, int periodMs) override;
  void StopTimer(MonitorTimer timer) override;
  bool IsWindowEnabled() const override;
  bool IsWindowShown() const override;
  void ShowWindow() override;
  void HideWindow() override;
  void RepaintWindow() override;

  wxTimer& TimerFor(MonitorTimer timer);
  void OnWindowMoved(const wxPoint& position);
  void OnWindowGone();

  std::function<bool()> windowEnabled_;
  MonitorPopupImage image_;
  MonitorPopupTiming timing_{*this};
  wxTimer tickTimer_;
  wxTimer endTimer_;
  std::unique_ptr<GlStartup> gl_;
  // No ownership: wx owns top-level windows. Cleared when the window goes.
  MonitorFrame* frame_ = nullptr;
};

}  // namespace app
