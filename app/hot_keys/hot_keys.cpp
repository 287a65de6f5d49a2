// The hot-key poll: keyboard keys through the key state, joystick buttons through their masks.
#include "app/hot_keys/hot_keys.h"

#include <algorithm>
#include <map>
#include <utility>

#include "app/hot_keys/joystick_buttons.h"
#include "platform/key_state.h"

namespace app {

namespace {

HotKeyPoller::KeyStateReader ReadXKeyboard() {
  return [keys = platform::ReadKeyStates()](int virtualKey) { return keys.State(virtualKey); };
}

}  // namespace

HotKeyPoller::HotKeyPoller() : HotKeyPoller(KeyboardReader(ReadXKeyboard), ReadJoystickButtons) {}

HotKeyPoller::HotKeyPoller(KeyboardReader keyboard, JoystickReader joystickButtons)
    : keyboard_(std::move(keyboard)), joystickButtons_(std::move(joystickButtons)) {}

HotKeyPoller::HotKeyPoller(KeyStateReader keyState, JoystickReader joystickButtons)
    : HotKeyPoller(KeyboardReader([keyState = std::move(keyState)] { return keyState; }),
                   std::move(joystickButtons)) {}

void HotKeyPoller::Tick(const ButtonAssignments& assignments, bool busy, HotKeyPort& port) {
  PollKeyboard(assignments, port);
  PollJoysticks(assignments, busy, port);
}

void HotKeyPoller::PollKeyboard(const ButtonAssignments& assignments, HotKeyPort& port) {
  const bool anyKey =
      std::any_of(assignments.begin(), assignments.end(),
                  [](const ButtonAssignment& a) { return a.device == kKeyboardDevice; });
  // One reading answers every key of the tick: one round trip, not one per key; none without
  // a keyboard pair.
  const KeyStateReader keyState = anyKey ? keyboard_() : KeyStateReader();
  const auto keyDown = [&](const ButtonAssignment& assignment) {
    return assignment.device == kKeyboardDevice && keyState(assignment.button) != 0;
  };
  if (port.BrakePresent()) {
    for (std::size_t slot : {kBrakeIncreaseSlot, kBrakeDecreaseSlot}) {
      const bool down = keyDown(assignments[slot]);
      if (down && !brakeKeysDown_[slot]) Act(slot, port);
      brakeKeysDown_[slot] = down;
    }
  }
  // A held preset key selects once: afterwards its preset is current.
  for (std::size_t slot : {kThrottleASlot, kThrottleBSlot, kThrottleCSlot}) {
    if (keyDown(assignments[slot])) Act(slot, port);
  }
}

void HotKeyPoller::PollJoysticks(const ButtonAssignments& assignments, bool busy,
                                 HotKeyPort& port) {
  // Each joystick is read once per tick, however many pairs it serves.
  std::map<int, std::uint32_t> masks;
  for (const ButtonAssignment& assignment : assignments) masks.try_emplace(assignment.device, 0);
  for (auto& [device, mask] : masks) {
    mask = busy || !IsJoystickDevice(device) ? 0 : joystickButtons_(device);
  }
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    if (slot < kThrottleASlot && !port.BrakePresent()) continue;
    const ButtonAssignment& assignment = assignments[slot];
    const int pressed = (masks[assignment.device] & ButtonBit(assignment.button)) != 0 ? 1 : 0;
    if (pressed == lastStates_[slot]) continue;
    lastStates_[slot] = pressed;
    if (pressed == 1) Act(slot, port);
  }
}

void HotKeyPoller::Act(std::size_t slot, HotKeyPort& port) {
  switch (slot) {
    case kBrakeIncreaseSlot: port.BrakeForceUp(); return;
    case kBrakeDecreaseSlot: port.BrakeForceDown(); return;
    default: {
      const int preset = static_cast<int>(slot - kThrottleASlot);
      if (port.CurrentPreset() != preset) port.SelectPreset(preset);
    }
  }
}

}  // namespace app
