// The main dialog's Save Preset and Load Preset buttons: the throttle presets, the selected
// preset and the present pedals' settings to a backup file of the user's choice, and back.
// BackupRestore holds the two flows; the main dialog supplies the pages, the flags and the
// user's answers through BackupHost and BackupPedalPort, so the flows run without a window in
// tests.
#pragma once

#include <optional>
#include <string>

#include "pages/brake_clutch_curve.h"
#include "pages/page_texts.h"

namespace app {

// A brake or clutch page as backup and restore use it.
class BackupPedalPort {
 public:
  virtual ~BackupPedalPort() = default;
  virtual pages::BrakeClutchSettings& Settings() = 0;
  // Takes the settings and clears the page's unsent-changes flag (the brake page puts its
  // stored maximum force in place of dz_1).
  virtual void LoadPedalSettings(const pages::BrakeClutchSettings& settings) = 0;
};

// What backup and restore need of the main dialog.
class BackupHost {
 public:
  virtual ~BackupHost() = default;

  // ---- The main dialog's state ----
  virtual const std::string& SettingsFile() const = 0;  // "./presets.ini"
  virtual pages::PedalPresence Presence() const = 0;
  virtual pages::PageLanguage Language() const = 0;
  // Whether the throttle, brake or clutch page holds unsent changes.
  virtual bool AnyPageDirty() = 0;

  // ---- The pages ----
  virtual int CurrentThrottlePreset() const = 0;
  // The throttle page's forced selection: checks the preset's button, loads the preset from
  // the settings file (dropping unsent changes), writes CNF preset and applies live.
  virtual void SelectThrottlePreset(int index) = 0;
  virtual BackupPedalPort& BrakePage() = 0;
  virtual BackupPedalPort& ClutchPage() = 0;
  // Send without storing, the monitor pop-up and the beep.
  virtual void ApplyConfigLive() = 0;

  // ---- The user ----
  // The dialog's unsaved-changes question: caption "Orvo Pedals", Yes and No, exclamation icon.
  virtual pages::QuestionAnswer AskUnsavedChanges() = 0;
  // The save and open dialogs of backup_dialogs.h; nothing when the user cancels.
  virtual std::optional<std::string> ChooseBackupFileToSave() = 0;
  virtual std::optional<std::string> ChooseBackupFileToOpen() = 0;
  // The question whether to restore a file that lacks keys: caption "Orvo Pedals", Yes and
  // No (the default), exclamation icon (AskBackupQuestion of backup_dialogs.h).
  virtual pages::QuestionAnswer AskRestoreIncomplete(const std::string& message) = 0;
  // A message box with the error icon (ShowBackupError of backup_dialogs.h).
  virtual void ShowBackupError(const std::string& message) = 0;
};

class BackupRestore {
 public:
  // host is not owned and must outlive this object.
  explicit BackupRestore(BackupHost& host) : host_(host) {}

  // Button 1003. Asks for a file (a cancel does nothing), then writes the presets as the
  // settings file holds them, the selected preset, and the brake and clutch pages' settings
  // when those pedals are present. A file that cannot be written (a read-only one too), the
  // settings file itself, or a settings file that cannot be read is refused with a message and
  // nothing is written.
  void OnBackupPresets();

  // Button 1004. With unsent changes on any page, asks first: only Yes goes on. Asks for a
  // file (a cancel does nothing) and checks all of it before anything changes: a file that
  // cannot be read, is far too large, holds no backup section or holds a bad value is refused
  // with a message; one that lacks keys every backup holds is restored only when the user
  // answers Yes to the list of what is missing, which then takes its defaults. Then the
  // presets and the brake's maximum force go into the settings file at once (a settings file
  // that cannot be written is reported and nothing changes), the stored preset is selected
  // (forced), the brake and clutch pages take the file's settings and are marked changed, and
  // the configuration is applied live. A pedal the file holds no section of stays as it was.
  void OnRestorePresets();

 private:
  BackupHost& host_;
};

}  // namespace app
