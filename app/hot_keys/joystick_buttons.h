// Joystick buttons for the hot keys and their capture: the button mask of a joystick by id, and
// the first joystick whose buttons differ from a reference mask.
#pragma once

#include <cstdint>
#include <map>

namespace app {

// Joystick id -> reference button mask. Owned by the main dialog, filled by
// DetectJoystickButtonChange only with missing ids at mask 0.
using JoystickButtonMasks = std::map<int, std::uint32_t>;

// Joystick indexes from this one up are never looked at.
inline constexpr unsigned kMaxJoysticksScanned = 100;

// The button mask of the first joystick, in index order, with this id whose buttons read;
// 0 when none does.
std::uint32_t ReadJoystickButtons(int joystickId);

// Scans the joysticks in index order, adding each readable one's id to referenceMasks with mask
// 0 when missing. At the first whose mask differs from its reference: device = its id, button =
// the highest bit at which they differ, returns true; the reference stays. Joysticks whose id
// cannot be stored (see IsJoystickDevice) are passed over. False, outputs untouched, when none
// differs.
bool DetectJoystickButtonChange(JoystickButtonMasks& referenceMasks, int& button, int& device);

}  // namespace app
