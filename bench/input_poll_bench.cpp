// Cost of what the hot-key timer polls every 10 ms: key states and joystick scans.
#include "platform/joystick.h"
#include "platform/key_state.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <cstdlib>
#include <vector>

namespace {
int keymapReads = 0;
}  // namespace

// Counts the key-map reads of the key-state layer, which reaches Xlib's own through the dynamic
// linker, and passes them on.
extern "C" int XQueryKeymap(struct _XDisplay* display, char keys[32]) {
  using Real = int (*)(struct _XDisplay*, char*);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XQueryKeymap"));
  ++keymapReads;
  return real(display, keys);
}

namespace {

using namespace platform;

void BM_KeyState(benchmark::State& state) {
  GetAsyncKeyState('A');  // opens the display
  for (auto _ : state) benchmark::DoNotOptimize(GetAsyncKeyState('A'));
  state.SetLabel(std::getenv("DISPLAY") ? "X server round trip" : "no display");
}
BENCHMARK(BM_KeyState)->Unit(benchmark::kMicrosecond);

// The keyboard half of a hot-key tick with three keys assigned, asked key by key as the poll
// used to, and answered from one reading of the key map as it does now.
constexpr int kTickKeys[] = {'A', 'B', VK_F1 + 8};

void BM_HotKeyTickKeysOneByOne(benchmark::State& state) {
  GetAsyncKeyState('A');
  const int readsBefore = keymapReads;
  for (auto _ : state) {
    for (int vk : kTickKeys) benchmark::DoNotOptimize(GetAsyncKeyState(vk));
  }
  state.counters["keymap_reads_per_tick"] =
      static_cast<double>(keymapReads - readsBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HotKeyTickKeysOneByOne)->Unit(benchmark::kMicrosecond);

void BM_HotKeyTickKeysOneReading(benchmark::State& state) {
  GetAsyncKeyState('A');
  const int readsBefore = keymapReads;
  for (auto _ : state) {
    const KeyStateSnapshot keys = ReadKeyStates();
    for (int vk : kTickKeys) benchmark::DoNotOptimize(keys.State(vk));
  }
  state.counters["keymap_reads_per_tick"] =
      static_cast<double>(keymapReads - readsBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HotKeyTickKeysOneReading)->Unit(benchmark::kMicrosecond);

// The first count starts the joystick subsystem, on the UI thread's first hot-key tick.
void BM_FirstCountStartsJoysticks(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(JoyGetNumDevs());
}
BENCHMARK(BM_FirstCountStartsJoysticks)->Iterations(1)->Unit(benchmark::kMillisecond);

// Plugs that many SDL virtual joysticks of 32 buttons for its lifetime.
class VirtualJoysticks {
 public:
  explicit VirtualJoysticks(int count) {
    JoyGetNumDevs();
    for (int i = 0; i < count; ++i) {
      SDL_VirtualJoystickDesc desc{};
      desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
      desc.nbuttons = 32;
      desc.vendor_id = 0x0444;
      desc.product_id = static_cast<Uint16>(0x1000 + i);
      const int index = SDL_JoystickAttachVirtualEx(&desc);
      if (index >= 0) instances_.push_back(SDL_JoystickGetDeviceInstanceID(index));
    }
  }
  ~VirtualJoysticks() {
    for (SDL_JoystickID id : instances_) {
      for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
      }
    }
  }

 private:
  std::vector<SDL_JoystickID> instances_;
};

// One read of one joystick id: the count, then caps and buttons of each index until it matches.
std::uint32_t ReadButtons(int id) {
  const unsigned count = JoyGetNumDevs();
  for (unsigned j = 0; j < count && j < 100; ++j) {
    JoyCaps caps;
    JoyInfo info;
    if (JoyGetDevCaps(j, &caps) == JOYERR_NOERROR && JoystickId(caps.wMid, caps.wPid) == id &&
        JoyGetPos(j, &info) == JOYERR_NOERROR) {
      return info.wButtons;
    }
  }
  return 0;
}

// The joystick half of a hot-key tick: six ids read (five assignments plus the unassigned 0),
// none of them matching, so every scan walks all devices.
void BM_HotKeyTickJoysticks(benchmark::State& state) {
  VirtualJoysticks plugged(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int id = 0; id < 6; ++id) benchmark::DoNotOptimize(ReadButtons(-1 - id));
  }
}
BENCHMARK(BM_HotKeyTickJoysticks)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
