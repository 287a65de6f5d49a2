// The hot-key poll: keyboard keys through the key state, joystick buttons through their masks.
#include "app/hot_keys/hot_keys.h"

#include <map>
#include <utility>

#include "app/hot_keys/joystick_buttons.h"
#include "platform/key_state.h"

HotKeyPoller::HotKeyPoller() : HotKeyPoller(platform::GetAsyncKeyState, ReadJoystickButtons) {}

HotKeyPoller::HotKeyPoller(KeyStateReader keyState, JoystickReader joystickButtons)
    : keyState_(std::move(keyState)), joystickButtons_(std::move(joystickButtons)) {}

void HotKeyPoller::Tick(const ButtonAssignments& assignments, bool busy, HotKeyActions& actions) {
  PollKeyboard(assignments, actions);
  PollJoysticks(assignments, busy, actions);
}

bool HotKeyPoller::KeyDown(const ButtonAssignment& assignment) const {
  return assignment.device == kKeyboardDevice && keyState_(assignment.button) != 0;
}

void HotKeyPoller::PollKeyboard(const ButtonAssignments& assignments, HotKeyActions& actions) {
  if (actions.BrakePresent()) {
    for (std::size_t slot : {kBrakeIncreaseSlot, kBrakeDecreaseSlot}) {
      const bool down = KeyDown(assignments[slot]);
      if (down && !brakeKeysDown_[slot]) Act(slot, actions);
      brakeKeysDown_[slot] = down;
    }
  }
  // A held preset key selects once: afterwards its preset is current.
  for (std::size_t slot : {kThrottleASlot, kThrottleBSlot, kThrottleCSlot}) {
    if (KeyDown(assignments[slot])) Act(slot, actions);
  }
}

void HotKeyPoller::PollJoysticks(const ButtonAssignments& assignments, bool busy,
                                 HotKeyActions& actions) {
  // Each joystick is read once per tick, however many pairs it serves.
  std::map<int, std::uint32_t> masks;
  for (const ButtonAssignment& assignment : assignments) masks.try_emplace(assignment.device, 0);
  for (auto& [device, mask] : masks) {
    mask = busy || !IsJoystickDevice(device) ? 0 : joystickButtons_(device);
  }
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    if (slot < kThrottleASlot && !actions.BrakePresent()) continue;
    const ButtonAssignment& assignment = assignments[slot];
    const int pressed = (masks[assignment.device] & ButtonBit(assignment.button)) != 0 ? 1 : 0;
    if (pressed == lastStates_[slot]) continue;
    lastStates_[slot] = pressed;
    if (pressed == 1) Act(slot, actions);
  }
}

void HotKeyPoller::Act(std::size_t slot, HotKeyActions& actions) {
  switch (slot) {
    case kBrakeIncreaseSlot:
      actions.BrakeForceUp();
      return;
    case kBrakeDecreaseSlot:
      actions.BrakeForceDown();
      return;
    default: {
      const int preset = static_cast<int>(slot - kThrottleASlot);
      if (actions.CurrentPreset() != preset) actions.SelectPreset(preset);
    }
  }
}
