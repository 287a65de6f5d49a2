// The hot-key poll of the main dialog's 10 ms timer: keyboard keys and joystick buttons
// assigned to brake force up and down and to throttle presets A, B and C.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "app/hot_keys/button_assignment.h"

namespace app {

// The hot keys' door to what they act on: the pages, reached through the main dialog, which
// implements it.
class HotKeyPort {
 public:
  virtual ~HotKeyPort() = default;
  // The brake hot keys act only while the main dialog marks the brake present.
  virtual bool BrakePresent() const = 0;
  // The brake page's force steps; each applies the configuration live.
  virtual void BrakeForceUp() = 0;
  virtual void BrakeForceDown() = 0;
  // The throttle page's current preset, 0..2.
  virtual int CurrentPreset() const = 0;
  // Without a question: checks the preset's radio button, makes it current, loads it, writes
  // [CNF] preset and applies the configuration live.
  virtual void SelectPreset(int preset) = 0;
};

class HotKeyPoller {
 public:
  // GetAsyncKeyState's shape: non-zero while the key is down.
  using KeyStateReader = std::function<short(int virtualKey)>;
  // Reads the whole keyboard once; the reader it returns answers every key of one tick.
  using KeyboardReader = std::function<KeyStateReader()>;
  using JoystickReader = std::function<std::uint32_t(int joystickId)>;

  // By default one reading of the X server's key map per tick, and the platform's joysticks.
  HotKeyPoller();
  HotKeyPoller(KeyboardReader keyboard, JoystickReader joystickButtons);
  // keyState is asked about each key on its own.
  HotKeyPoller(KeyStateReader keyState, JoystickReader joystickButtons);

  // One tick. While busy, every joystick reads as no button down.
  void Tick(const ButtonAssignments& assignments, bool busy, HotKeyPort& port);

  // The joystick button state of each pair seen on the last tick, 0 or 1.
  const std::array<int, kHotKeyCount>& LastStates() const { return lastStates_; }

 private:
  void PollKeyboard(const ButtonAssignments& assignments, HotKeyPort& port);
  void PollJoysticks(const ButtonAssignments& assignments, bool busy, HotKeyPort& port);
  // Brake up or down, or a preset n when it is not current already.
  static void Act(std::size_t slot, HotKeyPort& port);

  KeyboardReader keyboard_;
  JoystickReader joystickButtons_;
  std::array<int, kHotKeyCount> lastStates_{};
  // A held brake key steps the force once, not on every tick.
  std::array<bool, kThrottleASlot> brakeKeysDown_{};
};

}  // namespace app
