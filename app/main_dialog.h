// Vezazivedov_sys_testDlg: the program's main window. Owns the device link, the pedal pages
// and the tray icon; polls the link, tracks the connection, drives the display unit and holds
// the configuration transfer buttons. A modeless top-level window: the program ends when it is
// destroyed, and its close box only hides it.
#pragma once

#include <memory>
#include <string>

#include <wx/frame.h>
#include <wx/timer.h>

#include "app/backup/backup_restore.h"
#include "app/hot_keys/assign_buttons.h"
#include "app/hot_keys/button_assignment.h"
#include "app/hot_keys/hot_keys.h"
#include "app/hot_keys/joystick_buttons.h"
#include "app/main_dialog_model.h"
#include "app/modal_boxes.h"
#include "pages/page_owner.h"

class wxButton;
class wxPanel;
class wxStaticBitmap;
class wxStaticBox;

namespace devlink {
class Process;
}
namespace pages {
class CFontStatic;
class CPedalsConfig2Dlg;
class CPedalsConfigDlg;
}  // namespace pages

namespace app {

class CTLWndTrayIcon;
class CVirtualDisplayDlg;

class Vezazivedov_sys_testDlg : public wxFrame,
                                public pages::PageOwner,
                                private MainDialogView,
                                private HotKeyPort,
                                private AssignButtonsHost {
 public:
  // Control ids of the window.
  enum ControlId {
    kSendConfigId = 1000,
    kGetConfigId = 1001,
    kLanguageId = 1002,
    kBackupId = 1003,
    kRestoreId = 1004,
    kAssignButtonsId = 1005,
    kExitId = 1006,
    kStatusLabelId = 1009,
    kStatusIconId = 1012,
    kClutchGroupId = 1055,
    kBrakeGroupId = 1056,
    kThrottleGroupId = 1057,
    kLogoId = 1070,
    kClutchPlaceholderId = 1102,
    kBrakePlaceholderId = 1103,
    kThrottlePlaceholderId = 1104,
  };
  enum TimerId { kPollTimer = 1, kHotKeyTimer = 2, kDisplayTimer = 3 };
  static constexpr int kPollPeriodMs = 23;
  static constexpr int kHotKeyPeriodMs = 10;
  static constexpr int kDisplayPeriodMs = 2000;
  // Size of the window in dialog units before the layout narrows it.
  static constexpr int kWidthDlu = 763;
  static constexpr int kHeightDlu = 383;

  // Starts the device link. monitor (may be null) and the application's options must outlive
  // the window; [START] minimized is read when the window has been shown, and the button
  // assignment rewrites all three options.
  Vezazivedov_sys_testDlg(CVirtualDisplayDlg* monitor, AppOptionRefs options);
  ~Vezazivedov_sys_testDlg() override;

  // The initialisation: texts, layout, pages, timers, monitor, sound, tray icon; then shows
  // the window (and hides it again at once when [START] minimized is set).
  void Start();

  // PageOwner: send without storing, monitor pop-up and beep.
  void ApplyConfigLive() override;

  // Esc, Exit and the tray's exit: asks first when a page holds unsent changes.
  void OnCancel();

  void ApplySpanishTexts();
  void ApplyEnglishTexts();
  // The language showing, as the language button's caption tells it.
  pages::PageLanguage ShownLanguage() const;

  // From the start of the program's end on: nothing more may be asked or shown.
  bool Ending() const { return shutDown_; }

  // Whether any of the three timers still runs; false from the start of the program's end.
  bool AnyTimerRunning() const;
  pages::CPedalsConfig2Dlg* ThrottlePage() const { return throttlePage_; }
  // The notification-area icon: its menu's commands reach it as menu events.
  CTLWndTrayIcon& TrayIcon() const { return *trayIcon_; }

 private:
  class ThrottlePort;
  class PedalPort;
  class LinkPort;
  class BackupPort;

  void CreateControls();
  void LayOut();
  void CreatePages(PedalPresence presence);
  void ReadButtonAssignments();
  void ApplyTexts(pages::PageLanguage language);
  void ShowAfterInit();
  void StopTimers();
  void Shutdown();
  // The close box and [START] minimized: into the tray, or minimised when there is no tray.
  void HideToTray();

  void OnTimer(wxTimerEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void ToggleLanguage();
  void SendConfigClicked();
  void GetConfigClicked();
  void UpdateSegmentDisplay();

  void PollHotKeys();
  void OnBackupPresets();
  void OnRestorePresets();
  void OnAssignButtons();

  // MainDialogView
  void ShowConnected(bool connected) override;
  pages::QuestionAnswer AskUnsavedChanges(const std::string& question) override;
  void ShowNotSent(const std::string& message) override;
  void ShowMonitorPopup(int brakeForce, int preset) override;
  void PlayBeep() override;
  void EndDialog() override;

  // HotKeyPort
  bool BrakePresent() const override;
  void BrakeForceUp() override;
  void BrakeForceDown() override;
  int CurrentPreset() const override;
  void SelectPreset(int preset) override;

  // AssignButtonsHost
  wxWindow* HostWindow() override { return this; }
  wxString LanguageButtonCaption() const override;
  ButtonAssignments& HotKeyAssignments() override { return assignments_; }
  JoystickButtonMasks& LastJoystickButtons() override { return lastJoystickButtons_; }
  AppOptionRefs AppOptions() override { return options_; }
  void StopPollTimers() override;
  void StartPollTimers() override;
  void SetBusy(bool busy) override { busy_ = busy ? 1 : 0; }

  CVirtualDisplayDlg* monitor_;  // no ownership: the application owns the monitor
  AppOptionRefs options_;        // the application object's; no ownership
  std::unique_ptr<CTLWndTrayIcon> trayIcon_;
  std::unique_ptr<devlink::Process> link_;
  std::unique_ptr<LinkPort> linkPort_;
  std::unique_ptr<ThrottlePort> throttlePort_;
  std::unique_ptr<PedalPort> brakePort_;
  std::unique_ptr<PedalPort> clutchPort_;
  std::unique_ptr<MainDialogModel> model_;
  std::unique_ptr<BackupPort> backupPort_;

  // Brake up, brake down, throttle presets A, B, C, from [JOY].
  ButtonAssignments assignments_{};
  HotKeyPoller hotKeys_;
  // A hot key must not change the pages under an open question or file dialog, nor the tray's
  // exit end the program under it: the answer belongs to what the window asked about.
  ModalBoxWatch modalBoxes_;
  // The assignment's reference masks of the joysticks it has seen.
  JoystickButtonMasks lastJoystickButtons_;
  // Set while the assignment dialog runs: the hot keys read every joystick as released.
  int busy_ = 0;

  wxTimer pollTimer_{this, kPollTimer};
  wxTimer hotKeyTimer_{this, kHotKeyTimer};
  wxTimer displayTimer_{this, kDisplayTimer};
  bool shutDown_ = false;

  wxBitmap connectedIcon_;
  wxBitmap disconnectedIcon_;

  // Children of the window; the window tree owns them.
  wxPanel* client_ = nullptr;
  pages::CPedalsConfig2Dlg* throttlePage_ = nullptr;
  pages::CPedalsConfigDlg* brakePage_ = nullptr;
  pages::CPedalsConfigDlg* clutchPage_ = nullptr;
  pages::CFontStatic* statusLabel_ = nullptr;
  wxStaticBitmap* statusIcon_ = nullptr;
  wxStaticBitmap* logo_ = nullptr;
  wxButton* sendConfig_ = nullptr;
  wxButton* getConfig_ = nullptr;
  wxButton* language_ = nullptr;
  wxButton* backup_ = nullptr;
  wxButton* restore_ = nullptr;
  wxButton* assignButtons_ = nullptr;
  wxButton* exit_ = nullptr;
  wxStaticBox* clutchGroup_ = nullptr;
  wxStaticBox* brakeGroup_ = nullptr;
  wxStaticBox* throttleGroup_ = nullptr;
  wxWindow* clutchPlaceholder_ = nullptr;
  wxWindow* brakePlaceholder_ = nullptr;
  wxWindow* throttlePlaceholder_ = nullptr;
};

}  // namespace app
