// The main dialog without its window: the connection state that timer 1 drives, and the
// configuration transfer (Send Config, Get Config, live apply, exit). The dialog turns events
// into calls here; tests drive it with scripted pages, link and view.
#pragma once

#include <cstdint>
#include <string>

#include "app/config_record.h"
#include "app/main_dialog_texts.h"
#include "devlink/controller_reports.h"
#include "pages/page_texts.h"
#include "pages/throttle_curve.h"

namespace app {

// What the model needs of the throttle page.
class ThrottlePagePort {
 public:
  virtual ~ThrottlePagePort() = default;
  virtual pages::ThrottleCurveSettings& Settings() = 0;
  virtual int CurrentPreset() const = 0;
  virtual void SaveThrottlePreset(int index) = 0;
  virtual void OnPedalInput(double inputPercent) = 0;
};

// What the model needs of the brake page and of the clutch page.
class PedalPagePort {
 public:
  virtual ~PedalPagePort() = default;
  virtual pages::BrakeClutchSettings& Settings() = 0;
  // The controller's values; the page clears its unsent-changes flag (the brake page puts its
  // stored maximum force in place of dz_1).
  virtual void LoadPedalSettings(const pages::BrakeClutchSettings& fromDevice) = 0;
  virtual void OnPedalInput(double inputPercent) = 0;
};

// The device link as the model uses it; the dialog forwards to devlink::Process.
class DeviceLinkPort {
 public:
  virtual ~DeviceLinkPort() = default;
  // 0 with the six live values, -1 while no input report is valid.
  virtual int GetLivePedalValues(devlink::LivePedalValues& values) = 0;
  // False while no input report is valid.
  virtual bool CopyDeviceConfig(devlink::PedalConfigRecord& record) = 0;
  // 0 when both reports went out, -1 when refused.
  virtual int SendPedalConfig(const devlink::PedalConfigRecord& record, bool checkBrake,
                              bool checkClutch, bool storeFlag) = 0;
};

// The window side of the model.
class MainDialogView {
 public:
  virtual ~MainDialogView() = default;
  // The status icon and the enabled state of Send Config and Get Config.
  virtual void ShowConnected(bool connected) = 0;
  // Caption "Orvo Pedals", Yes and No, the exclamation icon.
  virtual pages::QuestionAnswer AskUnsavedChanges(const std::string& question) = 0;
  // Caption "Orvo Pedals", the warning icon.
  virtual void ShowNotSent(const std::string& message) = 0;
  virtual void ShowMonitorPopup(int brakeForce, int preset) = 0;
  virtual void PlayBeep() = 0;
  // The program's normal end: the dialog goes away.
  virtual void EndDialog() = 0;
};

inline constexpr double kLiveFullScale = 65535.0;
// Live values 3, 4, 5 are throttle, brake and clutch.
inline constexpr std::size_t kThrottleValue = 3;
inline constexpr std::size_t kBrakeValue = 4;
inline constexpr std::size_t kClutchValue = 5;

class MainDialogModel {
 public:
  // None owned; all must outlive the model.
  MainDialogModel(ThrottlePagePort& throttle, PedalPagePort& brake, PedalPagePort& clutch,
                  DeviceLinkPort& link, MainDialogView& view);

  bool IsConnected() const { return connected_; }
  PedalPresence Presence() const { return presence_; }
  void SetPresence(PedalPresence presence) { presence_ = presence; }

  // The question and the not-sent message follow the language.
  void SetLanguage(pages::PageLanguage language);
  const std::string& UnsavedQuestion() const { return unsavedQuestion_; }

  // One tick of the 23 ms timer: the live values to the pages, then the connection state.
  void OnPollTimer();

  // Button 1000: send and store. Refused, the pages keep their unsent-changes flags and the
  // user is told; the selected throttle preset is saved either way.
  void OnSendConfig();
  // Send without storing, then the monitor pop-up and the beep (also when refused).
  void ApplyConfigLive();
  // The controller's brake and clutch settings into their pages, then a live apply. False,
  // changing nothing, while no input report is valid.
  bool LoadConfigFromDevice();
  // Button 1001: asks first when a page holds unsent changes; only Yes goes on.
  void OnGetConfig();
  // Esc, Exit and the tray's exit: asks first when a page holds unsent changes; only Yes ends.
  void OnCancel();

  bool AnyPageDirty();
  // The brake's maximum force (its page's dz_1), shown by the display unit and the monitor.
  int BrakeForce();
  int CurrentPreset() const { return throttle_.CurrentPreset(); }

 private:
  bool ConfirmLosingChanges();
  void SetConnected(bool connected);

  ThrottlePagePort& throttle_;
  PedalPagePort& brake_;
  PedalPagePort& clutch_;
  DeviceLinkPort& link_;
  MainDialogView& view_;
  // The main window's initialisation marks both pedals absent; nothing marks them again.
  PedalPresence presence_{};
  bool connected_ = false;
  std::string unsavedQuestion_;
  std::string notSentMessage_;
};

// value (0..65535) as a percent of full scale.
double LivePercent(std::int32_t value);

}  // namespace app
