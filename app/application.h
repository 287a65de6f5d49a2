// Vezazivedov_sys_testApp: the application object. Reads the start and monitor options,
// builds the monitor window object, refuses to run twice and opens the main dialog.
#pragma once

#include <memory>

#include <wx/app.h>

namespace app {

class CVirtualDisplayDlg;
class PngToggleMarks;
class SettingsSaveWarning;

inline constexpr const char* kAlreadyRunningText =
    "Application is already running\n\nLa aplicación ya está abierta";
inline constexpr const char* kAlreadyRunningCaption = "Orvo Zantor Pedals";

class Vezazivedov_sys_testApp : public wxApp {
 public:
  Vezazivedov_sys_testApp();
  ~Vezazivedov_sys_testApp() override;

  bool OnInit() override;
  int OnExit() override;

  // [MONITOR] and [START] as read at start; the button assignment rewrites them.
  int enable_window = 0;
  int enable_vr = 0;
  int minimized = 0;

  // Null until OnInit has built it.
  CVirtualDisplayDlg* Monitor() const { return monitor_.get(); }

 private:
  // While the toolkit still runs: from OnExit, or before OnInit refuses to start.
  void EndOwnedObjects();

  std::unique_ptr<SettingsSaveWarning> saveWarning_;
  std::unique_ptr<CVirtualDisplayDlg> monitor_;
  std::unique_ptr<PngToggleMarks> toggleMarks_;
};

}  // namespace app
