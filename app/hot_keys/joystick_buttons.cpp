// Joystick scans over the platform's joystick layer.
#include "app/hot_keys/joystick_buttons.h"

#include <bit>

#include "app/hot_keys/button_assignment.h"
#include "platform/joystick.h"

namespace app {

namespace {

// Calls visit(id, buttons) for every joystick, in index order, whose ids and buttons read, until
// visit returns true; returns whether it did.
template <typename Visit>
bool ForEachReadableJoystick(Visit visit) {
  const unsigned count = platform::JoyGetNumDevs();
  for (unsigned index = 0; index < count && index < kMaxJoysticksScanned; ++index) {
    platform::JoyCaps caps;
    platform::JoyInfo info;
    if (platform::JoyGetDevCaps(index, &caps) != platform::JOYERR_NOERROR) continue;
    if (platform::JoyGetPos(index, &info) != platform::JOYERR_NOERROR) continue;
    if (visit(platform::JoystickId(caps.wMid, caps.wPid), info.wButtons)) return true;
  }
  return false;
}

}  // namespace

std::uint32_t ReadJoystickButtons(int joystickId) {
  std::uint32_t mask = 0;
  ForEachReadableJoystick([&](int id, std::uint32_t buttons) {
    if (id != joystickId) return false;
    mask = buttons;
    return true;
  });
  return mask;
}

bool DetectJoystickButtonChange(JoystickButtonMasks& referenceMasks, int& button, int& device) {
  return ForEachReadableJoystick([&](int id, std::uint32_t buttons) {
    if (!IsJoystickDevice(id)) return false;
    const std::uint32_t changed = buttons ^ referenceMasks.try_emplace(id, 0).first->second;
    if (changed == 0) return false;
    device = id;
    button = std::bit_width(changed) - 1;
    return true;
  });
}

}  // namespace app
