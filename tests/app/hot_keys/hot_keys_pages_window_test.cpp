// The hot keys acting on the real throttle and brake pages, through the actions the main
// dialog provides: a preset key replaces unsent edits without a question, a brake key steps
// the brake page's force and stores it.
#include <memory>
#include <set>

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/radiobut.h>

#include "app/hot_keys/hot_keys.h"
#include "pages/brake_clutch_page.h"
#include "pages/page_owner.h"
#include "pages/throttle_page.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"
#include "tests/support/window_test.h"

using namespace pages;
using namespace app;

namespace {

// The owner of the pages, counting live applies, and the hot-key actions on those pages.
class PagesFrame : public wxFrame, public PageOwner, public HotKeyPort {
 public:
  PagesFrame() : wxFrame(nullptr, wxID_ANY, "pages") {
    throttle = new CPedalsConfig2Dlg(this, platform::kSettingsFile,
                                     [this](wxWindow*, const wxString&, const wxString&, long) {
                                       ++questions;
                                       return wxID_NO;
                                     });
    brake = new CPedalsConfigDlg(this, PedalKind::kBrake);
  }

  void ApplyConfigLive() override { ++liveApplies; }

  bool BrakePresent() const override { return true; }
  void BrakeForceUp() override { brake->BrakeForceUp(); }
  void BrakeForceDown() override { brake->BrakeForceDown(); }
  int CurrentPreset() const override { return throttle->CurrentPreset(); }
  void SelectPreset(int preset) override { throttle->SelectThrottlePreset(preset, false); }

  CPedalsConfig2Dlg* throttle = nullptr;  // no ownership: children of the frame
  CPedalsConfigDlg* brake = nullptr;
  int liveApplies = 0;
  int questions = 0;
};

class HotKeyPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    frame_ = new PagesFrame;
    DrainEvents();
  }
  void TearDown() override {
    frame_->Destroy();
    DrainEvents();
  }

  void Ticks(int count) {
    for (int i = 0; i < count; ++i) poller_.Tick(assignments_, false, *frame_);
  }

  ScopedWorkingDirectory directory_;
  PagesFrame* frame_ = nullptr;
  ButtonAssignments assignments_{};
  std::set<int> keysDown_;
  HotKeyPoller poller_{
      [this](int vk) -> short { return keysDown_.count(vk) != 0 ? short(0x8000) : 0; },
      [](int) { return 0u; }};
};

TEST_F(HotKeyPagesTest, PresetKeyReplacesUnsentEditsWithoutAQuestion) {
  platform::WritePrivateProfileString("PRESET_1", "dz_1", "80", platform::kSettingsFile);
  assignments_[kThrottleBSlot] = {kKeyboardDevice, 'B'};
  frame_->throttle->Settings().dz_0 = 7;
  frame_->throttle->Settings().dirty = true;
  keysDown_ = {'B'};
  Ticks(10);
  EXPECT_EQ(frame_->questions, 0);
  EXPECT_EQ(frame_->liveApplies, 1);
  EXPECT_EQ(frame_->throttle->CurrentPreset(), 1);
  EXPECT_EQ(frame_->throttle->Settings().dz_0, 0);
  EXPECT_EQ(frame_->throttle->Settings().dz_1, 80);
  EXPECT_FALSE(frame_->throttle->Settings().dirty);
  EXPECT_EQ(platform::GetPrivateProfileInt("CNF", "preset", -1, platform::kSettingsFile), 1);
  auto* presetB =
      dynamic_cast<wxRadioButton*>(frame_->throttle->FindWindow(CPedalsConfig2Dlg::kPresetBId));
  ASSERT_NE(presetB, nullptr);
  EXPECT_TRUE(presetB->GetValue());
  // Nothing was saved into the preset that was left.
  EXPECT_EQ(platform::GetPrivateProfileInt("PRESET_0", "dz_0", -1, platform::kSettingsFile), -1);
}

TEST_F(HotKeyPagesTest, BrakeKeysStepTheBrakePagesForceAndStoreIt) {
  assignments_[kBrakeIncreaseSlot] = {kKeyboardDevice, 'U'};
  assignments_[kBrakeDecreaseSlot] = {kKeyboardDevice, 'D'};
  const int start = frame_->brake->Settings().dz_1;
  keysDown_ = {'D'};
  Ticks(10);
  EXPECT_EQ(frame_->brake->Settings().dz_1, start - 1);
  EXPECT_EQ(frame_->liveApplies, 1);
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "max_force", -1, platform::kSettingsFile),
            start - 1);
  keysDown_ = {};
  Ticks(1);
  keysDown_ = {'U'};
  Ticks(10);
  EXPECT_EQ(frame_->brake->Settings().dz_1, start);
  EXPECT_EQ(frame_->liveApplies, 2);
  EXPECT_EQ(platform::GetPrivateProfileInt("BRAKE", "max_force", -1, platform::kSettingsFile),
            start);
}

}  // namespace
