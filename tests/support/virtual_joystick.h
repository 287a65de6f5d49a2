// An SDL virtual joystick plugged for a test's lifetime, seen by the platform's joystick layer.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/joystick.h"

namespace test_support {

class VirtualJoystick {
 public:
  VirtualJoystick(std::uint16_t vendor, std::uint16_t product, int buttons = 32) {
    platform::JoyGetNumDevs();  // virtual joysticks need the subsystem running
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_WHEEL;
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.vendor_id = vendor;
    desc.product_id = product;
    desc.name = "test wheel";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    instance_ = SDL_JoystickGetDeviceInstanceID(index);
    handle_ = SDL_JoystickOpen(index);
    EXPECT_NE(handle_, nullptr) << SDL_GetError();
  }
  VirtualJoystick(const VirtualJoystick&) = delete;
  VirtualJoystick& operator=(const VirtualJoystick&) = delete;
  ~VirtualJoystick() { Unplug(); }

  void Press(int button, bool down = true) {
    ASSERT_EQ(SDL_JoystickSetVirtualButton(handle_, button, down ? SDL_PRESSED : SDL_RELEASED), 0)
        << SDL_GetError();
  }
  void Release(int button) { Press(button, false); }

  void Unplug() {
    if (handle_ == nullptr) return;
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
    // Detaching goes by the current device index, which moves as others come and go.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == instance_) SDL_JoystickDetachVirtual(i);
    }
  }

 private:
  SDL_JoystickID instance_ = -1;
  SDL_Joystick* handle_ = nullptr;
};

}  // namespace test_support
