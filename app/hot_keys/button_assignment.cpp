// The hot keys' assignments: [JOY] keys, captions and the one-slot-per-pair rule.
#include "app/hot_keys/button_assignment.h"

#include <cstdio>

#include "platform/ini_file.h"
#include "platform/profile_settings.h"

namespace app {

namespace {

constexpr const char* kJoySection = "JOY";

struct JoyKeys {
  const char* device;
  const char* button;
};
constexpr JoyKeys kJoyKeys[kHotKeyCount] = {
    {"brake_inc_joy", "brake_inc_but"},   {"brake_dec_joy", "brake_dec_but"},
    {"throttle_A_joy", "throttle_A_but"}, {"throttle_B_joy", "throttle_B_but"},
    {"throttle_C_joy", "throttle_C_but"},
};

constexpr int kButtonsInMask = 32;

}  // namespace

bool IsJoystickDevice(int device) {
  return device != kUnassignedDevice && device != kKeyboardDevice;
}

std::uint32_t ButtonBit(int button) {
  // A button number from an edited settings file must not become an out-of-range shift.
  if (button < 0 || button >= kButtonsInMask) return 0;
  return std::uint32_t{1} << button;
}

ButtonAssignments ReadButtonAssignments(const std::string& file) {
  ButtonAssignments assignments;
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    assignments[slot].device =
        platform::GetPrivateProfileInt(kJoySection, kJoyKeys[slot].device, 0, file);
    assignments[slot].button =
        platform::GetPrivateProfileInt(kJoySection, kJoyKeys[slot].button, 0, file);
  }
  return assignments;
}

void WriteButtonAssignments(const ButtonAssignments& assignments, const std::string& file) {
  for (std::size_t slot = 0; slot < kHotKeyCount; ++slot) {
    platform::WriteProfileInt(kJoySection, kJoyKeys[slot].device, assignments[slot].device, file);
    platform::WriteProfileInt(kJoySection, kJoyKeys[slot].button, assignments[slot].button, file);
  }
}

std::string AssignmentCaption(const ButtonAssignment& assignment) {
  if (assignment.device == kUnassignedDevice) return "J(----) BT(--)";
  char device[16];
  if (assignment.device == kKeyboardDevice) {
    std::snprintf(device, sizeof device, "KEYB");
  } else {
    std::snprintf(device, sizeof device, "J(%08X)", static_cast<unsigned>(assignment.device));
  }
  char caption[48];
  std::snprintf(caption, sizeof caption, "%s BT(%d)", device, assignment.button);
  return caption;
}

void ClearDuplicateAssignment(ButtonAssignments& assignments, ButtonAssignment pair) {
  for (ButtonAssignment& slot : assignments) {
    if (slot == pair) {
      slot = ButtonAssignment{};
      return;
    }
  }
}

}  // namespace app
