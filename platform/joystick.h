// Joystick buttons over SDL2: a device count, the USB ids of a device by index, and the mask
// of its buttons.
#pragma once

#include <cstdint>
#include <span>

namespace platform {

// Results of JoyGetDevCaps and JoyGetPos.
inline constexpr unsigned JOYERR_NOERROR = 0;
inline constexpr unsigned MMSYSERR_NODRIVER = 6;  // the joystick subsystem could not start
inline constexpr unsigned JOYERR_PARMS =
    165;  // index not below JoyGetNumDevs, or a null out pointer
inline constexpr unsigned JOYERR_UNPLUGGED =
    167;  // the device at this index is gone or cannot be opened

// Buttons beyond this many are not reported.
inline constexpr int kMaxJoystickButtons = 32;

struct JoyCaps {
  std::uint16_t wMid = 0;  // USB vendor id
  std::uint16_t wPid = 0;  // USB product id
};

struct JoyInfo {
  std::uint32_t wButtons = 0;  // bit n set while button n is down, n = 0..31
};

// Takes the devices and their buttons as they are now and returns how many devices there are;
// JoyGetDevCaps and JoyGetPos answer for index 0 .. count-1 from that picture, so the indexes
// keep their devices until the next call. Starts the joystick subsystem on the first call
// (without touching the process's signal handlers); 0 when it cannot start, without trying
// again. Never blocks: a device's state is what the kernel has delivered so far.
unsigned JoyGetNumDevs();

// The ids of the device at this index.
unsigned JoyGetDevCaps(unsigned index, JoyCaps* caps);

// The buttons of the device at this index; JOYERR_UNPLUGGED once it has gone away.
unsigned JoyGetPos(unsigned index, JoyInfo* info);

// The id under which the settings file knows a joystick: vendor id << 16 | product id. Vendor
// ids from 0x8000 up give negative ids, as the int that is stored.
int JoystickId(std::uint16_t vendorId, std::uint16_t productId);

// The button mask of these button states (non-zero = down, first button first); buttons past
// the 32nd are left out.
std::uint32_t ButtonMask(std::span<const std::uint8_t> buttonStates);

}  // namespace platform
