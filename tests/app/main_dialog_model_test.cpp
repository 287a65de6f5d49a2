// The main dialog's connection state over scripted link results, and its configuration
// transfer: Send Config, Get Config, live apply and exit with the unsaved-changes question.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dialog_model.h"

using namespace app;
using namespace pages;

namespace {

using devlink::LivePedalValues;
using devlink::PedalConfigRecord;

BrakeClutchSettings IdentityPedal() {
  return BrakeClutchSettings{{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}};
}

class FakeThrottle : public ThrottlePagePort {
 public:
  ThrottleCurveSettings settings = DefaultThrottleSettings();
  int preset = 0;
  std::vector<int> saved;
  std::vector<double> inputs;

  ThrottleCurveSettings& Settings() override { return settings; }
  int CurrentPreset() const override { return preset; }
  void SaveThrottlePreset(int index) override { saved.push_back(index); }
  void OnPedalInput(double percent) override { inputs.push_back(percent); }
};

class FakePedal : public PedalPagePort {
 public:
  BrakeClutchSettings settings = IdentityPedal();
  std::vector<BrakeClutchSettings> loads;
  std::vector<double> inputs;

  BrakeClutchSettings& Settings() override { return settings; }
  void LoadPedalSettings(const BrakeClutchSettings& fromDevice) override {
    loads.push_back(fromDevice);
    settings = fromDevice;
    settings.dirty = false;
  }
  void OnPedalInput(double percent) override { inputs.push_back(percent); }
};

struct Sent {
  PedalConfigRecord record;
  bool checkBrake, checkClutch, store;
};

// Behaves like the device link: everything hangs on whether an input report is valid.
class FakeLink : public DeviceLinkPort {
 public:
  bool valid = false;
  LivePedalValues values{};
  PedalConfigRecord device{};
  std::vector<Sent> sent;

  int GetLivePedalValues(LivePedalValues& out) override {
    if (!valid) return -1;
    out = values;
    return 0;
  }
  bool CopyDeviceConfig(PedalConfigRecord& out) override {
    if (valid) out = device;
    return valid;
  }
  int SendPedalConfig(const PedalConfigRecord& record, bool checkBrake, bool checkClutch,
                      bool store) override {
    if (!valid) return -1;
    sent.push_back({record, checkBrake, checkClutch, store});
    return 0;
  }
};

class FakeView : public MainDialogView {
 public:
  std::vector<bool> connectedShown;
  std::vector<std::string> questions;
  QuestionAnswer answer = QuestionAnswer::kYes;
  std::vector<std::string> notSent;
  std::vector<std::pair<int, int>> popups;
  int beeps = 0;
  int ends = 0;

  void ShowConnected(bool connected) override { connectedShown.push_back(connected); }
  QuestionAnswer AskUnsavedChanges(const std::string& question) override {
    questions.push_back(question);
    return answer;
  }
  void ShowNotSent(const std::string& message) override { notSent.push_back(message); }
  void ShowMonitorPopup(int value, int preset) override { popups.emplace_back(value, preset); }
  void PlayBeep() override { ++beeps; }
  void EndDialog() override { ++ends; }
};

class MainDialogModelTest : public testing::Test {
 protected:
  FakeThrottle throttle;
  FakePedal brake;
  FakePedal clutch;
  FakeLink link;
  FakeView view;
  MainDialogModel model{throttle, brake, clutch, link, view};

  void Connect() {
    link.valid = true;
    model.OnPollTimer();
    ASSERT_TRUE(model.IsConnected());
    link.sent.clear();
    view.popups.clear();
    view.beeps = 0;
  }
};

// One scripted timer-1 tick and what must follow it.
struct Tick {
  bool reportValid;
  int throttleRaw;
  bool connectedAfter;
  std::optional<bool> iconChange;  // the ShowConnected call of this tick, if any
  std::vector<double> throttleInputs;
  int liveSends;  // the load after a connection sends once, without storing
};

TEST_F(MainDialogModelTest, ConnectionFollowsScriptedLiveValues) {
  const std::vector<Tick> script{
      {false, 0, false, std::nullopt, {}, 0},  // started without a controller
      {false, 0, false, std::nullopt, {}, 0},
      {true, 65535, true, true, {100.0}, 1},  // first report
      {true, 32768, true, std::nullopt, {32768 * 100.0 / 65535.0}, 0},
      {false, 0, false, false, {0.0}, 0},      // unplugged: zero once
      {false, 0, false, std::nullopt, {}, 0},  // then nothing
      {true, 0, true, true, {0.0}, 1},         // plugged again
  };
  for (std::size_t i = 0; i < script.size(); ++i) {
    SCOPED_TRACE("tick " + std::to_string(i));
    const Tick& t = script[i];
    link.valid = t.reportValid;
    link.values[kThrottleValue] = t.throttleRaw;
    link.values[kBrakeValue] = t.throttleRaw / 2;
    throttle.inputs.clear();
    brake.inputs.clear();
    view.connectedShown.clear();
    link.sent.clear();

    model.OnPollTimer();

    EXPECT_EQ(model.IsConnected(), t.connectedAfter);
    if (t.iconChange) {
      EXPECT_EQ(view.connectedShown, std::vector<bool>{*t.iconChange});
    } else {
      EXPECT_TRUE(view.connectedShown.empty());
    }
    ASSERT_EQ(throttle.inputs.size(), t.throttleInputs.size());
    for (std::size_t k = 0; k < t.throttleInputs.size(); ++k)
      EXPECT_DOUBLE_EQ(throttle.inputs[k], t.throttleInputs[k]);
    EXPECT_EQ(brake.inputs.size(), t.throttleInputs.size());
    ASSERT_EQ(link.sent.size(), static_cast<std::size_t>(t.liveSends));
    for (const Sent& s : link.sent) EXPECT_FALSE(s.store);
  }
}

TEST_F(MainDialogModelTest, ConnectingLoadsPedalSettingsFromDeviceAndKeepsThrottle) {
  link.device.brakeDz0 = 5;
  link.device.brakeDz1 = 70;
  link.device.brakeCurve[3] = 33;
  link.device.clutchDz1 = 90;
  link.device.throttleDz1 = 50;  // not taken: the throttle keeps its preset
  link.device.flags = devlink::kBrakeEnabledFlag | devlink::kThrottleAxisModeFlag;
  throttle.settings.dz_1 = 98;
  link.valid = true;
  model.OnPollTimer();

  ASSERT_EQ(brake.loads.size(), 1u);
  EXPECT_EQ(brake.loads[0].dz_0, 5);
  EXPECT_EQ(brake.loads[0].dz_1, 70);
  EXPECT_EQ(brake.loads[0].band[3], 33);
  EXPECT_EQ(brake.loads[0].axis_cnf, 1);
  EXPECT_EQ(brake.loads[0].axis_mode, 0);
  ASSERT_EQ(clutch.loads.size(), 1u);
  EXPECT_EQ(clutch.loads[0].dz_1, 90);
  EXPECT_EQ(clutch.loads[0].axis_cnf, 0);
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0].record.throttleDz1, 98);
  EXPECT_EQ(view.popups, (std::vector<std::pair<int, int>>{{70, 0}}));
  EXPECT_EQ(view.beeps, 1);
}

TEST_F(MainDialogModelTest, SendConfigStoresClearsDirtyAndSavesPreset) {
  Connect();
  throttle.settings.dirty = true;
  throttle.settings.axis_mode = 1;
  brake.settings.dirty = true;
  throttle.preset = 2;
  model.OnSendConfig();

  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_TRUE(link.sent[0].store);
  EXPECT_TRUE(link.sent[0].checkBrake);
  EXPECT_TRUE(link.sent[0].checkClutch);
  EXPECT_EQ(link.sent[0].record.flags, devlink::kThrottleEnabledFlag);
  EXPECT_FALSE(model.AnyPageDirty());
  EXPECT_EQ(throttle.saved, std::vector<int>{2});
  EXPECT_TRUE(view.notSent.empty());

  // A live apply right after sends the same values with the load-cell bit and no store.
  model.ApplyConfigLive();
  ASSERT_EQ(link.sent.size(), 2u);
  EXPECT_FALSE(link.sent[1].store);
  EXPECT_EQ(link.sent[1].record.flags,
            devlink::kThrottleEnabledFlag | devlink::kThrottleAxisModeFlag);
}

TEST_F(MainDialogModelTest, RefusedSendConfigKeepsUnsentChangesAndTellsUser) {
  throttle.settings.dirty = true;
  clutch.settings.dirty = true;
  model.OnSendConfig();  // no input report yet: the link refuses
  EXPECT_TRUE(throttle.settings.dirty);
  EXPECT_TRUE(clutch.settings.dirty);
  EXPECT_EQ(throttle.saved, std::vector<int>{0});  // the preset is saved all the same
  ASSERT_EQ(view.notSent.size(), 1u);
  EXPECT_EQ(view.notSent[0], MainDialogTextsFor(PageLanguage::kSpanish).notSent);

  model.SetLanguage(PageLanguage::kEnglish);
  model.OnSendConfig();
  ASSERT_EQ(view.notSent.size(), 2u);
  EXPECT_EQ(view.notSent[1], MainDialogTextsFor(PageLanguage::kEnglish).notSent);

  // The exit question still protects the edits.
  view.answer = QuestionAnswer::kNo;
  model.OnCancel();
  EXPECT_EQ(view.ends, 0);
  EXPECT_EQ(view.questions.size(), 1u);
}

TEST_F(MainDialogModelTest, SendConfigRefusesOutOfRangeDeadZoneInsteadOfWrapping) {
  Connect();
  throttle.settings.dz_1 = 300;  // would narrow to 44
  throttle.settings.dirty = true;
  model.OnSendConfig();
  EXPECT_TRUE(link.sent.empty());
  EXPECT_TRUE(throttle.settings.dirty);
  EXPECT_EQ(view.notSent.size(), 1u);
}

TEST_F(MainDialogModelTest, LiveApplyShowsPopupAndBeepsEvenWhenRefused) {
  brake.settings.dz_1 = 85;
  throttle.preset = 1;
  model.ApplyConfigLive();  // not connected
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(view.popups, (std::vector<std::pair<int, int>>{{85, 1}}));
  EXPECT_EQ(view.beeps, 1);

  Connect();
  brake.settings.band[10] = 128;  // its doubling no longer fits a byte
  model.ApplyConfigLive();
  EXPECT_TRUE(link.sent.empty());
  brake.settings.band[10] = 120;
  model.ApplyConfigLive();
  ASSERT_EQ(link.sent.size(), 1u);
  EXPECT_EQ(link.sent[0].record.brakeCurve[10], 120);
  EXPECT_FALSE(link.sent[0].checkBrake);
}

struct QuestionCase {
  const char* name;
  bool dirty;
  QuestionAnswer answer;
  bool asks;
  bool goesOn;
};

class UnsavedQuestionTest : public MainDialogModelTest,
                            public testing::WithParamInterface<QuestionCase> {};

TEST_P(UnsavedQuestionTest, ExitGoesOnOnlyWhenCleanOrAnsweredYes) {
  const QuestionCase& c = GetParam();
  throttle.settings.dirty = c.dirty;
  view.answer = c.answer;
  model.OnCancel();
  EXPECT_EQ(view.questions.size(), c.asks ? 1u : 0u);
  EXPECT_EQ(view.ends, c.goesOn ? 1 : 0);
}

TEST_P(UnsavedQuestionTest, GetConfigGoesOnOnlyWhenCleanOrAnsweredYes) {
  const QuestionCase& c = GetParam();
  link.valid = true;
  brake.settings.dirty = c.dirty;
  view.answer = c.answer;
  model.OnGetConfig();
  EXPECT_EQ(view.questions.size(), c.asks ? 1u : 0u);
  EXPECT_EQ(brake.loads.size(), c.goesOn ? 1u : 0u);
  EXPECT_EQ(link.sent.size(), c.goesOn ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnsavedQuestionTest,
    testing::Values(QuestionCase{"Clean", false, QuestionAnswer::kNo, false, true},
                    QuestionCase{"DirtyYes", true, QuestionAnswer::kYes, true, true},
                    QuestionCase{"DirtyNo", true, QuestionAnswer::kNo, true, false},
                    // Closing the box is no answer, and no answer is not Yes.
                    QuestionCase{"DirtyClosed", true, QuestionAnswer::kClosed, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainDialogModelTest, GetConfigKeepsThrottleEditsAndDirty) {
  link.valid = true;
  throttle.settings.dirty = true;
  throttle.settings.dz_0 = 7;
  model.OnGetConfig();
  EXPECT_TRUE(throttle.settings.dirty);
  EXPECT_EQ(throttle.settings.dz_0, 7);
  EXPECT_FALSE(brake.settings.dirty);
}

TEST_F(MainDialogModelTest, QuestionFollowsLanguage) {
  throttle.settings.dirty = true;
  view.answer = QuestionAnswer::kNo;
  model.SetLanguage(PageLanguage::kEnglish);
  model.OnCancel();
  model.SetLanguage(PageLanguage::kSpanish);
  model.OnCancel();
  EXPECT_EQ(view.questions,
            (std::vector<std::string>{
                "Modifications has not been saved and will be lost. Do you want to continue?",
                "Los cambios realizados no han sido guardados y se perderán. ¿Desea continuar?"}));
}

TEST(MainDialogTextsTest, OnlyTheExactCaptionEnglishMeansSpanishIsShowing) {
  EXPECT_EQ(LanguageShowing("English"), PageLanguage::kSpanish);
  EXPECT_EQ(LanguageShowing("Español"), PageLanguage::kEnglish);
  EXPECT_EQ(LanguageShowing("english"), PageLanguage::kEnglish);
  EXPECT_EQ(LanguageShowing("English "), PageLanguage::kEnglish);
  EXPECT_EQ(ToggledLanguage("English"), PageLanguage::kEnglish);
  EXPECT_EQ(ToggledLanguage("Español"), PageLanguage::kSpanish);
  EXPECT_EQ(DialogCaption(PageLanguage::kEnglish),
            "Orvo Zantor Pedals - Calibration Utility Kavo Edition 1.1.10");
  EXPECT_EQ(DialogCaption(PageLanguage::kSpanish),
            "Orvo Zantor Pedals - Utilidad de Calibración Kavo Edition 1.1.10");
}

}  // namespace
