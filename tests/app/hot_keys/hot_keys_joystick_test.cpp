// Joystick reading and capture against SDL virtual joysticks, and the hot-key poll reading them.
#include "app/hot_keys/joystick_buttons.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/hot_keys/hot_keys.h"
#include "hot_keys_actions.h"
#include "tests/support/virtual_joystick.h"

using namespace app;

namespace {

using test_support::VirtualJoystick;

using testing::ElementsAre;
using testing::Pair;

constexpr int kWheelId = 0x0444B1A5;

TEST(ReadJoystickButtonsTest, ReadsTheJoystickWithTheIdAndZeroWithoutOne) {
  VirtualJoystick other(0x046D, 0xC29B);
  VirtualJoystick wheel(0x0444, 0xB1A5);
  other.Press(1);
  wheel.Press(0);
  wheel.Press(31);
  EXPECT_EQ(ReadJoystickButtons(kWheelId), 0x80000001u);
  EXPECT_EQ(ReadJoystickButtons(0x046DC29B), 0x2u);
  EXPECT_EQ(ReadJoystickButtons(0x12345678), 0u);
  wheel.Unplug();
  EXPECT_EQ(ReadJoystickButtons(kWheelId), 0u);
}

TEST(ReadJoystickButtonsTest, TwoJoysticksWithOneIdReadAsTheFirst) {
  VirtualJoystick first(0x0444, 0x2222);
  VirtualJoystick second(0x0444, 0x2222);
  second.Press(6);
  EXPECT_EQ(ReadJoystickButtons(0x04442222), 0u);
  first.Press(1);
  EXPECT_EQ(ReadJoystickButtons(0x04442222), 0x2u);
}

TEST(DetectJoystickButtonChangeTest, NothingHeldLeavesTheOutputsAndRecordsTheIds) {
  VirtualJoystick wheel(0x0444, 0xB1A5);
  JoystickButtonMasks masks;
  int button = 77;
  int device = 88;
  EXPECT_FALSE(DetectJoystickButtonChange(masks, button, device));
  EXPECT_EQ(button, 77);
  EXPECT_EQ(device, 88);
  EXPECT_THAT(masks, ElementsAre(Pair(kWheelId, 0u)));
}

TEST(DetectJoystickButtonChangeTest, CapturesTheHighestHeldButtonOfTheFirstJoystick) {
  VirtualJoystick first(0x0444, 0x0001);
  VirtualJoystick wheel(0x0444, 0xB1A5);
  wheel.Press(2);
  wheel.Press(5);
  JoystickButtonMasks masks;
  int button = 0;
  int device = 0;
  ASSERT_TRUE(DetectJoystickButtonChange(masks, button, device));
  EXPECT_EQ(device, kWheelId);
  EXPECT_EQ(button, 5);
  // The references never move: the same buttons still held are captured again.
  EXPECT_THAT(masks, ElementsAre(Pair(0x04440001, 0u), Pair(kWheelId, 0u)));

  first.Press(0);
  ASSERT_TRUE(DetectJoystickButtonChange(masks, button, device));
  EXPECT_EQ(device, 0x04440001);
  EXPECT_EQ(button, 0);
}

// Their ids would be stored as "unassigned" and "keyboard": such a joystick cannot be captured,
// and the capture goes on to the next one.
TEST(DetectJoystickButtonChangeTest, PassesOverJoysticksWhoseIdCannotBeStored) {
  VirtualJoystick noIds(0x0000, 0x0000);
  VirtualJoystick allOnes(0xFFFF, 0xFFFF);
  noIds.Press(3);
  allOnes.Press(4);
  JoystickButtonMasks masks;
  int button = 0;
  int device = 0;
  EXPECT_FALSE(DetectJoystickButtonChange(masks, button, device));
  EXPECT_TRUE(masks.empty());

  VirtualJoystick wheel(0x0444, 0xB1A5);
  wheel.Press(9);
  ASSERT_TRUE(DetectJoystickButtonChange(masks, button, device));
  EXPECT_EQ(device, kWheelId);
  EXPECT_EQ(button, 9);
}

TEST(HotKeyJoystickTest, AVirtualWheelButtonSelectsAPresetOnceWhileHeld) {
  VirtualJoystick wheel(0x0444, 0xB1A5);
  ButtonAssignments assignments{};
  assignments[kThrottleBSlot] = {kWheelId, 3};
  assignments[kThrottleCSlot] = {kWheelId, 4};
  RecordingActions actions;
  HotKeyPoller poller([](int) -> short { return 0; }, ReadJoystickButtons);
  poller.Tick(assignments, false, actions);
  wheel.Press(3);
  for (int i = 0; i < 10; ++i) poller.Tick(assignments, false, actions);
  wheel.Release(3);
  wheel.Press(4);
  poller.Tick(assignments, false, actions);
  EXPECT_THAT(actions.calls, ElementsAre("preset 1", "preset 2"));
  wheel.Unplug();
  poller.Tick(assignments, false, actions);
  EXPECT_THAT(poller.LastStates(), ElementsAre(0, 0, 0, 0, 0));
}

}  // namespace
