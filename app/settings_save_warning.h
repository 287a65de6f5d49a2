// The message that the settings cannot be saved: the first write of the settings file that
// fails in a run of the program says why, once; later ones say nothing until the next start.
#pragma once

#include <atomic>
#include <string>

#include <wx/event.h>
#include <wx/weakref.h>

#include "platform/whole_file.h"

namespace app {

class Vezazivedov_sys_testDlg;

class SettingsSaveWarning : private wxEvtHandler {
 public:
  // Hears of every failed settings write from now on, until it is destroyed.
  SettingsSaveWarning();
  ~SettingsSaveWarning() override;
  SettingsSaveWarning(const SettingsSaveWarning&) = delete;
  SettingsSaveWarning& operator=(const SettingsSaveWarning&) = delete;

  // The message speaks the language that window shows, and is not shown once the window has
  // begun to end or has gone, nor before a window is given. Not owned.
  void SetMainWindow(Vezazivedov_sys_testDlg* window);

 private:
  void OnWriteFailed(const std::string& file, const platform::WriteError& error);
  void Show(const std::string& path, const platform::WriteError& error);

  std::atomic<bool> told_{false};
  wxWeakRef<Vezazivedov_sys_testDlg> mainWindow_;
};

}  // namespace app
