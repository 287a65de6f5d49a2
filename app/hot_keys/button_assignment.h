// ButtonAssignment: the keyboard key or joystick button behind one hot key; the five hot keys
// in their fixed order, their [JOY] keys in the settings file and their button captions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// device: 0 unassigned, -1 keyboard (button = virtual-key code), any other value a joystick id
// (USB vendor id << 16 | product id) with button = bit index 0..31 of its button mask.
struct ButtonAssignment {
  int device = 0;
  int button = 0;

  friend bool operator==(const ButtonAssignment&, const ButtonAssignment&) = default;
};

inline constexpr int kUnassignedDevice = 0;
inline constexpr int kKeyboardDevice = -1;

// The hot keys, in the order of the main dialog's pairs, the capture buttons and the [JOY] keys.
enum HotKeySlot : std::size_t {
  kBrakeIncreaseSlot,
  kBrakeDecreaseSlot,
  kThrottleASlot,
  kThrottleBSlot,
  kThrottleCSlot,
  kHotKeyCount
};

using ButtonAssignments = std::array<ButtonAssignment, kHotKeyCount>;

// Whether a device id can name a joystick. A joystick whose ids make 0 or -1 (no USB ids, or
// both 0xFFFF) cannot be told from "unassigned" or "keyboard", so it is never read or captured.
bool IsJoystickDevice(int device);

// The bit of a joystick button in a button mask; 0 for a button outside 0..31.
std::uint32_t ButtonBit(int button);

// [JOY] brake_inc_joy, brake_inc_but, ... throttle_C_but; missing keys read as 0.
ButtonAssignments ReadButtonAssignments(const std::string& file);
// The ten keys in the order brake_inc_joy, brake_inc_but, brake_dec_joy, ... throttle_C_but.
void WriteButtonAssignments(const ButtonAssignments& assignments, const std::string& file);

// The capture button's caption: "J(----) BT(--)", "KEYB BT(65)" or "J(0444B1A5) BT(3)".
std::string AssignmentCaption(const ButtonAssignment& assignment);

// Unassigns the first slot, in slot order, that holds exactly this pair; at most one.
void ClearDuplicateAssignment(ButtonAssignments& assignments, ButtonAssignment pair);

}  // namespace app
