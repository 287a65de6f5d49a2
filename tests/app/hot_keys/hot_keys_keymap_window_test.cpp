// The hot-key poll on the real X server: every keyboard key of a tick is answered from one
// reading of the key map, so three assigned keys cost one round trip per tick, not three.
#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/hot_keys/hot_keys.h"
#include "hot_keys_actions.h"

// After gtest: Xlib's macros (None, Bool, ...) would clash with its names.
#include <X11/Xlib.h>

using namespace app;

namespace {
int keymapReads = 0;
}  // namespace

// Stands in for Xlib's own, which the key-state layer reaches through the dynamic linker: counts
// the reads and passes them on.
extern "C" int XQueryKeymap(Display* display, char keys[32]) {
  using Real = int (*)(Display*, char*);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XQueryKeymap"));
  ++keymapReads;
  return real(display, keys);
}

namespace {

using testing::ElementsAre;

TEST(HotKeyKeymapTest, ThreeKeyboardKeysReadTheKeyMapOncePerTick) {
  ButtonAssignments assignments{};
  assignments[kThrottleASlot] = {kKeyboardDevice, 'A'};
  assignments[kThrottleBSlot] = {kKeyboardDevice, 'B'};
  assignments[kThrottleCSlot] = {kKeyboardDevice, 0x78};  // F9
  RecordingActions actions;
  HotKeyPoller poller;
  poller.Tick(assignments, false, actions);  // opens the display
  keymapReads = 0;
  for (int i = 0; i < 10; ++i) poller.Tick(assignments, false, actions);
  EXPECT_EQ(keymapReads, 10);
  EXPECT_THAT(actions.calls, testing::IsEmpty());

  // And the one reading answers each key: F9 held selects preset C.
  ASSERT_EQ(std::system("xdotool keydown F9"), 0);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (actions.calls.empty() && std::chrono::steady_clock::now() < until) {
    poller.Tick(assignments, false, actions);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::system("xdotool keyup F9");
  EXPECT_THAT(actions.calls, ElementsAre("preset 2"));
}

TEST(HotKeyKeymapTest, NoKeyboardKeyNoKeyMapRead) {
  ButtonAssignments assignments{};
  assignments[kThrottleASlot] = {0x0444B1A5, 3};
  RecordingActions actions;
  HotKeyPoller poller;
  keymapReads = 0;
  for (int i = 0; i < 5; ++i) poller.Tick(assignments, false, actions);
  EXPECT_EQ(keymapReads, 0);
}

}  // namespace
