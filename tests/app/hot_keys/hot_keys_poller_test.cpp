// The hot-key poll with scripted key states and joystick masks: what acts, when, and how often.
#include "app/hot_keys/hot_keys.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "hot_keys_actions.h"

using namespace app;

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr int kWheel = 0x0444B1A5;
constexpr int kPad = 0x046DC29B;

class HotKeyPollerTest : public testing::Test {
 protected:
  HotKeyPollerTest()
      : poller_([this](int vk) -> short { return keysDown_.count(vk) != 0 ? short(0x8000) : 0; },
                [this](int id) {
                  ++reads_[id];
                  const auto it = masks_.find(id);
                  return it != masks_.end() ? it->second : 0u;
                }) {}

  void Ticks(int count, bool busy = false) {
    for (int i = 0; i < count; ++i) poller_.Tick(assignments_, busy, actions_);
  }

  ButtonAssignments assignments_{};
  std::set<int> keysDown_;
  std::map<int, std::uint32_t> masks_;
  std::map<int, int> reads_;
  RecordingActions actions_;
  HotKeyPoller poller_;
};

TEST_F(HotKeyPollerTest, HeldPresetKeySelectsItsPresetOnce) {
  assignments_[kThrottleBSlot] = {kKeyboardDevice, 'B'};
  keysDown_ = {'B'};
  Ticks(10);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 1"));
  EXPECT_EQ(actions_.currentPreset, 1);
}

TEST_F(HotKeyPollerTest, TheCurrentPresetsKeyOrButtonDoesNothing) {
  actions_.currentPreset = 2;
  assignments_[kThrottleCSlot] = {kKeyboardDevice, 'C'};
  keysDown_ = {'C'};
  Ticks(3);
  EXPECT_THAT(actions_.calls, IsEmpty());

  assignments_[kThrottleCSlot] = {kWheel, 4};
  masks_[kWheel] = 1u << 4;
  Ticks(3);
  EXPECT_THAT(actions_.calls, IsEmpty());
  EXPECT_EQ(poller_.LastStates()[kThrottleCSlot], 1);  // seen, just without effect
}

// Keys are polled A, B, C within one tick, each against the preset current at that moment.
TEST_F(HotKeyPollerTest, PresetKeysHeldTogetherActInPresetOrder) {
  assignments_[kThrottleASlot] = {kKeyboardDevice, 'A'};
  assignments_[kThrottleBSlot] = {kKeyboardDevice, 'B'};
  assignments_[kThrottleCSlot] = {kKeyboardDevice, 'C'};
  keysDown_ = {'A', 'B', 'C'};
  Ticks(1);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 1", "preset 2"));
}

// One key press steps the brake force by one, however long the key is held: without a rising
// edge a tap of 100 ms would step it about ten times, each with a send, a beep and a write.
TEST_F(HotKeyPollerTest, HeldBrakeKeyStepsTheForceOncePerPress) {
  actions_.brakePresent = true;
  assignments_[kBrakeIncreaseSlot] = {kKeyboardDevice, 'U'};
  assignments_[kBrakeDecreaseSlot] = {kKeyboardDevice, 'D'};
  keysDown_ = {'U'};
  Ticks(10);
  EXPECT_THAT(actions_.calls, ElementsAre("up"));
  keysDown_ = {};
  Ticks(2);
  keysDown_ = {'U', 'D'};
  Ticks(10);
  EXPECT_THAT(actions_.calls, ElementsAre("up", "up", "down"));
}

TEST_F(HotKeyPollerTest, BrakeHotKeysDoNothingWhileTheBrakeIsAbsent) {
  assignments_[kBrakeIncreaseSlot] = {kKeyboardDevice, 'U'};
  assignments_[kBrakeDecreaseSlot] = {kWheel, 0};
  keysDown_ = {'U'};
  masks_[kWheel] = 0x1;
  Ticks(5);
  EXPECT_THAT(actions_.calls, IsEmpty());
  EXPECT_EQ(poller_.LastStates()[kBrakeDecreaseSlot], 0);

  // Marked present later, a button already down counts as a new press.
  actions_.brakePresent = true;
  Ticks(1);
  EXPECT_THAT(actions_.calls, ElementsAre("up", "down"));
}

TEST_F(HotKeyPollerTest, JoystickButtonActsOncePerPress) {
  actions_.brakePresent = true;
  assignments_[kBrakeIncreaseSlot] = {kWheel, 7};
  masks_[kWheel] = 1u << 7 | 1u << 2;  // another button held alongside is of no concern
  Ticks(10);
  EXPECT_THAT(actions_.calls, ElementsAre("up"));
  EXPECT_EQ(poller_.LastStates()[kBrakeIncreaseSlot], 1);
  masks_[kWheel] = 1u << 2;
  Ticks(1);
  EXPECT_EQ(poller_.LastStates()[kBrakeIncreaseSlot], 0);
  masks_[kWheel] = 1u << 7;
  Ticks(3);
  EXPECT_THAT(actions_.calls, ElementsAre("up", "up"));
}

TEST_F(HotKeyPollerTest, AButtonReleasedByBusyOrUnplugDoesNotActUntilPressedAgain) {
  assignments_[kThrottleBSlot] = {kWheel, 1};
  assignments_[kThrottleCSlot] = {kPad, 0};
  masks_[kWheel] = 0x2;
  Ticks(1);
  ASSERT_THAT(actions_.calls, ElementsAre("preset 1"));

  // While the assignment dialog runs, a held button reads as released and a new one is not seen.
  masks_[kPad] = 0x1;
  reads_.clear();
  Ticks(5, /*busy=*/true);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 1"));
  EXPECT_EQ(poller_.LastStates()[kThrottleBSlot], 0);
  EXPECT_EQ(poller_.LastStates()[kThrottleCSlot], 0);
  EXPECT_THAT(reads_, IsEmpty());
  Ticks(1);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 1", "preset 2"));

  // The pad unplugged reads as no buttons: C is released without acting.
  masks_.erase(kPad);
  Ticks(3);
  EXPECT_EQ(poller_.LastStates()[kThrottleCSlot], 0);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 1", "preset 2"));
}

TEST_F(HotKeyPollerTest, PairsOnOneJoystickReadItOnceAndActInPairOrder) {
  assignments_[kThrottleASlot] = {kWheel, 9};
  assignments_[kThrottleBSlot] = {kWheel, 3};
  assignments_[kThrottleCSlot] = {kPad, 0};
  actions_.currentPreset = 2;
  masks_[kWheel] = 1u << 9 | 1u << 3;
  Ticks(4);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 0", "preset 1"));
  EXPECT_EQ(reads_[kWheel], 4);
  EXPECT_EQ(reads_[kPad], 4);
}

// A joystick without USB ids has id 0, one with both ids 0xFFFF has id -1: were they read,
// their buttons would fire every unassigned or keyboard hot key.
TEST_F(HotKeyPollerTest, UnassignedAndKeyboardPairsNeverFireThroughTheJoysticks) {
  actions_.brakePresent = true;
  assignments_[kThrottleASlot] = {kKeyboardDevice, 1};
  assignments_[kThrottleCSlot] = {kKeyboardDevice, 0};
  masks_[kUnassignedDevice] = 0xFFFFFFFF;
  masks_[kKeyboardDevice] = 0xFFFFFFFF;
  actions_.currentPreset = 1;
  Ticks(5);
  EXPECT_THAT(actions_.calls, IsEmpty());
  EXPECT_THAT(poller_.LastStates(), ElementsAre(0, 0, 0, 0, 0));
  EXPECT_THAT(reads_, IsEmpty());
}

// A button number from an edited settings file must not wrap around onto another button.
TEST_F(HotKeyPollerTest, JoystickButtonOutsideTheMaskNeverFires) {
  actions_.brakePresent = true;
  assignments_[kBrakeIncreaseSlot] = {kWheel, 32};
  assignments_[kBrakeDecreaseSlot] = {kWheel, -1};
  assignments_[kThrottleBSlot] = {kWheel, 64};
  assignments_[kThrottleCSlot] = {kWheel, 31};
  masks_[kWheel] = 0x80000001;
  Ticks(2);
  EXPECT_THAT(actions_.calls, ElementsAre("preset 2"));
}

}  // namespace
