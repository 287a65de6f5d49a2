// Joystick buttons over SDL2: the subsystem starts lazily, devices stay open while plugged.
#include "platform/joystick.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {
namespace {

struct Device {
  SDL_JoystickID instance = -1;
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
  SDL_Joystick* joystick = nullptr;  // owned; null when the device would not open
  bool openFailed = false;           // not tried again until it comes back as a new device
};

enum class Subsystem { kNotTried, kReady, kUnavailable };

struct JoystickState {
  std::mutex mutex;
  Subsystem subsystem = Subsystem::kNotTried;
  std::vector<Device> devices;  // the picture of the last JoyGetNumDevs, by index
};

// Never destroyed: closing devices at exit could race whoever shuts SDL down.
JoystickState& TheState() {
  static JoystickState* state = new JoystickState;
  return *state;
}

bool Start(JoystickState& state) {
  if (state.subsystem == Subsystem::kNotTried) {
    // Hot keys act whichever window has the focus, none of them SDL's. And SDL's own SIGINT and
    // SIGTERM handlers would only queue an event that nothing reads, so the program would not end.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) {
      // States are read by polling; queued events would only pile up unread.
      SDL_JoystickEventState(SDL_IGNORE);
      state.subsystem = Subsystem::kReady;
    } else {
      state.subsystem = Subsystem::kUnavailable;
    }
  }
  return state.subsystem == Subsystem::kReady;
}

// Brings the picture up to date: closes what has gone, opens what is new, keeps the rest open
// so that reading buttons costs no system call.
void Refresh(JoystickState& state) {
  SDL_JoystickUpdate();
  std::vector<Device> now;
  const int count = std::max(SDL_NumJoysticks(), 0);
  for (int i = 0; i < count; ++i) {
    Device device;
    device.instance = SDL_JoystickGetDeviceInstanceID(i);
    device.vendor = SDL_JoystickGetDeviceVendor(i);
    device.product = SDL_JoystickGetDeviceProduct(i);
    const auto known = std::find_if(state.devices.begin(), state.devices.end(),
                                    [&](const Device& d) { return d.instance == device.instance; });
    if (known != state.devices.end()) {
      device.joystick = std::exchange(known->joystick, nullptr);
      device.openFailed = known->openFailed;
    } else {
      device.joystick = SDL_JoystickOpen(i);
      device.openFailed = device.joystick == nullptr;
    }
    now.push_back(device);
  }
  for (Device& gone : state.devices) {
    if (gone.joystick != nullptr) SDL_JoystickClose(gone.joystick);
  }
  state.devices = std::move(now);
}

}  // namespace

unsigned JoyGetNumDevs() {
  JoystickState& state = TheState();
  std::lock_guard lock(state.mutex);
  if (!Start(state)) return 0;
  Refresh(state);
  return static_cast<unsigned>(state.devices.size());
}

unsigned JoyGetDevCaps(unsigned index, JoyCaps* caps) {
  JoystickState& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.subsystem == Subsystem::kUnavailable) return MMSYSERR_NODRIVER;
  if (caps == nullptr || index >= state.devices.size()) return JOYERR_PARMS;
  caps->wMid = state.devices[index].vendor;
  caps->wPid = state.devices[index].product;
  return JOYERR_NOERROR;
}

unsigned JoyGetPos(unsigned index, JoyInfo* info) {
  JoystickState& state = TheState();
  std::lock_guard lock(state.mutex);
  if (state.subsystem == Subsystem::kUnavailable) return MMSYSERR_NODRIVER;
  if (info == nullptr || index >= state.devices.size()) return JOYERR_PARMS;
  SDL_Joystick* joystick = state.devices[index].joystick;
  if (joystick == nullptr || !SDL_JoystickGetAttached(joystick)) return JOYERR_UNPLUGGED;
  std::uint8_t buttons[kMaxJoystickButtons] = {};
  const int count = std::clamp(SDL_JoystickNumButtons(joystick), 0, kMaxJoystickButtons);
  for (int b = 0; b < count; ++b) buttons[b] = SDL_JoystickGetButton(joystick, b);
  info->wButtons = ButtonMask({buttons, static_cast<std::size_t>(count)});
  return JOYERR_NOERROR;
}

int JoystickId(std::uint16_t vendorId, std::uint16_t productId) {
  return static_cast<int>(static_cast<std::uint32_t>(vendorId) << 16 | productId);
}

std::uint32_t ButtonMask(std::span<const std::uint8_t> buttonStates) {
  std::uint32_t mask = 0;
  const std::size_t count =
      std::min(buttonStates.size(), static_cast<std::size_t>(kMaxJoystickButtons));
  for (std::size_t b = 0; b < count; ++b) {
    if (buttonStates[b] != 0) mask |= std::uint32_t{1} << b;
  }
  return mask;
}

}  // namespace platform
