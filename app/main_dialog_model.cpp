// Connection state and configuration transfer of the main dialog.
#include "app/main_dialog_model.h"

namespace app {

MainDialogModel::MainDialogModel(ThrottlePagePort& throttle, PedalPagePort& brake,
                                 PedalPagePort& clutch, DeviceLinkPort& link, MainDialogView& view)
    : throttle_(throttle), brake_(brake), clutch_(clutch), link_(link), view_(view) {
  SetLanguage(pages::PageLanguage::kSpanish);
}

double LivePercent(std::int32_t value) {
  return static_cast<double>(static_cast<std::uint32_t>(value) & 0xFFFFu) * 100.0 / kLiveFullScale;
}

void MainDialogModel::SetLanguage(pages::PageLanguage language) {
  const MainDialogTexts& texts = MainDialogTextsFor(language);
  unsavedQuestion_ = texts.unsavedQuestion;
  notSentMessage_ = texts.notSent;
}

void MainDialogModel::OnPollTimer() {
  devlink::LivePedalValues values{};
  if (link_.GetLivePedalValues(values) == 0) {
    throttle_.OnPedalInput(LivePercent(values[kThrottleValue]));
    brake_.OnPedalInput(LivePercent(values[kBrakeValue]));
    clutch_.OnPedalInput(LivePercent(values[kClutchValue]));
  } else if (connected_) {
    // Unplugged: the pages show zero once, then nothing until a new report.
    throttle_.OnPedalInput(0.0);
    brake_.OnPedalInput(0.0);
    clutch_.OnPedalInput(0.0);
    SetConnected(false);
  }
  if (!connected_ && LoadConfigFromDevice()) SetConnected(true);
}

void MainDialogModel::SetConnected(bool connected) {
  connected_ = connected;
  view_.ShowConnected(connected);
}

void MainDialogModel::OnSendConfig() {
  const auto record = BuildPedalConfigRecord(throttle_.Settings(), brake_.Settings(),
                                             clutch_.Settings(), presence_, RecordUse::kSend);
  const bool sent = record && link_.SendPedalConfig(*record, true, true, true) == 0;
  if (sent) {
    brake_.Settings().dirty = false;
    clutch_.Settings().dirty = false;
    throttle_.Settings().dirty = false;
  }
  throttle_.SaveThrottlePreset(throttle_.CurrentPreset());
  if (!sent) view_.ShowNotSent(notSentMessage_);
}

void MainDialogModel::ApplyConfigLive() {
  const auto record = BuildPedalConfigRecord(throttle_.Settings(), brake_.Settings(),
                                             clutch_.Settings(), presence_, RecordUse::kLive);
  if (record) link_.SendPedalConfig(*record, false, false, false);
  view_.ShowMonitorPopup(BrakeForce(), throttle_.CurrentPreset());
  view_.PlayBeep();
}

bool MainDialogModel::LoadConfigFromDevice() {
  devlink::PedalConfigRecord device{};
  if (!link_.CopyDeviceConfig(device)) return false;
  // Only the enable bit comes from the device; the load-cell mode is a throttle option.
  const auto pedal = [&device](std::uint8_t dz0, std::uint8_t dz1, const auto& curve,
                               std::uint8_t enabledFlag) {
    pages::BrakeClutchSettings settings{{}};
    settings.dz_0 = dz0;
    settings.dz_1 = dz1;
    for (std::size_t i = 0; i < curve.size(); ++i) settings.band[i] = curve[i];
    settings.axis_cnf = (device.flags & enabledFlag) != 0 ? 1 : 0;
    settings.axis_mode = 0;
    return settings;
  };
  brake_.LoadPedalSettings(
      pedal(device.brakeDz0, device.brakeDz1, device.brakeCurve, devlink::kBrakeEnabledFlag));
  clutch_.LoadPedalSettings(
      pedal(device.clutchDz0, device.clutchDz1, device.clutchCurve, devlink::kClutchEnabledFlag));
  // The throttle keeps the preset from the settings file; the live apply sends it.
  ApplyConfigLive();
  return true;
}

bool MainDialogModel::AnyPageDirty() {
  return throttle_.Settings().dirty || brake_.Settings().dirty || clutch_.Settings().dirty;
}

int MainDialogModel::BrakeForce() { return brake_.Settings().dz_1; }

bool MainDialogModel::ConfirmLosingChanges() {
  if (!AnyPageDirty()) return true;
  return view_.AskUnsavedChanges(unsavedQuestion_) == pages::QuestionAnswer::kYes;
}

void MainDialogModel::OnGetConfig() {
  if (ConfirmLosingChanges()) LoadConfigFromDevice();
}

void MainDialogModel::OnCancel() {
  if (ConfirmLosingChanges()) view_.EndDialog();
}

}  // namespace app
