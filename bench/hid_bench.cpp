// HID access library figures: event latency and library CPU with the simulated controller at
// 1000 reports/s into a message window, CPU of device polling with no device (hidapi build),
// and the caller's cost of WriteEx. Run: hid_bench [--seconds=N] [--poll-seconds=N].
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/mchid_entry_points.h"
#include "platform/message_window.h"

namespace {

namespace fs = std::filesystem;

constexpr int kVendor = 0x0444;
constexpr int kController = 0x22A5;
constexpr int kDisplay = 0xB1A5;
constexpr std::uint32_t kStopMessage = platform::WM_APP + 1;
constexpr std::size_t kStampOffset =
    63;  // the simulation's creation stamp, low 16 bits of microseconds

struct Api : orvo::hid::McHidEntryPoints {
  void* module = nullptr;

  explicit Api(const fs::path& path) {
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
      std::exit(1);
    }
    Fill([this](const char* entryPoint) { return dlsym(module, entryPoint); });
  }
  ~Api() {
    Disconnect();
    dlclose(module);
  }
};

// The libraries sit beside this program's folder in the build tree.
fs::path BuildDir() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path(); }

double Seconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

unsigned MonotonicMicros16() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<unsigned>((now.tv_sec * 1000000LL + now.tv_nsec / 1000) & 0xFFFF);
}

std::intptr_t Procedure(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

platform::WindowHandle MakeWindow() {
  platform::RegisterClass("orvoHidBench", &Procedure);
  return platform::CreateWindow("orvoHidBench", "orvoHidBench");
}

// Posts the stop message after seconds, from a thread of its own.
std::thread StopLater(platform::WindowHandle window, double seconds) {
  return std::thread([window, seconds] {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    platform::PostMessage(window, kStopMessage, 0, 0);
  });
}

double Percentile(std::vector<unsigned>& values, double fraction) {
  if (values.empty()) return 0;
  const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

// The device link's way: a window on this thread, each event 4 answered by a Read.
void MeasureReports(double seconds) {
  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "none", 1);
  setenv("ORVO_SIM_RATE", "1000", 1);
  setenv("ORVO_SIM_VALUES", "sweep", 1);
  setenv("ORVO_SIM_STATE", "", 1);
  unsetenv("ORVO_SIM_LOG");
  Api api(BuildDir() / "hid" / "sim" / "libmcHID.so");
  const platform::WindowHandle window = MakeWindow();
  if (api.Connect(window) != 1) {
    std::fprintf(stderr, "Connect failed\n");
    std::exit(1);
  }
  api.SetReadNotify(api.GetHandle(kVendor, kController), 1);

  std::vector<unsigned> latencies;
  latencies.reserve(static_cast<std::size_t>(seconds * 1100));
  std::uint8_t buffer[MCHID_BUFFER_SIZE];
  const double wallStart = Seconds(CLOCK_MONOTONIC);
  const double processStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double consumerStart = Seconds(CLOCK_THREAD_CPUTIME_ID);
  std::thread stopper = StopLater(window, seconds);
  platform::Message message;
  while (platform::GetMessage(&message, window, 0, 0) > 0 && message.message != kStopMessage) {
    if (message.message != MCHID_EVENT_MESSAGE || message.wParam != MCHID_READ) continue;
    const unsigned taken = MonotonicMicros16();
    std::memset(buffer, 0, sizeof buffer);
    if (api.Read(static_cast<McHidHandle>(message.lParam), buffer) != 1) continue;
    const unsigned stamp = buffer[kStampOffset] | (buffer[kStampOffset + 1] << 8);
    latencies.push_back((taken - stamp) & 0xFFFF);
  }
  const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
  const double consumer = Seconds(CLOCK_THREAD_CPUTIME_ID) - consumerStart;
  const double library = Seconds(CLOCK_PROCESS_CPUTIME_ID) - processStart - consumer;
  stopper.join();
  api.Disconnect();
  platform::DestroyWindow(window);

  const std::size_t count = latencies.size();
  std::printf("simulation, 1000 reports/s for %.1f s: %zu reports taken (%.0f/s)\n", wall, count,
              count / wall);
  std::printf(
      "  latency creation -> taken from the window queue: p50 %.0f us, p99 %.0f us, max %.0f us "
      "(target p99 < 1000 us)\n",
      Percentile(latencies, 0.50), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
  std::printf("  CPU of the library's threads: %.2f %% of one core (target < 2 %%)\n",
              100 * library / wall);
  std::printf("  CPU of the receiving window thread: %.2f %% of one core\n", 100 * consumer / wall);
}

// What any thread that wakes 1000 times a second and wakes another costs on this machine: the
// floor under the library's figure, since each report wakes the library's reader once.
void MeasureWakeFloor(double seconds) {
  std::mutex mutex;
  std::condition_variable wake;
  std::size_t pending = 0;
  bool stop = false;
  std::thread consumer([&] {
    std::unique_lock lock(mutex);
    while (!stop) {
      wake.wait(lock, [&] { return pending > 0 || stop; });
      pending = 0;
    }
  });
  double producerCpu = 0;
  const double wallStart = Seconds(CLOCK_MONOTONIC);
  std::thread producer([&] {
    const double start = Seconds(CLOCK_THREAD_CPUTIME_ID);
    auto next = std::chrono::steady_clock::now();
    while (Seconds(CLOCK_MONOTONIC) - wallStart < seconds) {
      next += std::chrono::milliseconds(1);
      std::this_thread::sleep_until(next);
      {
        std::lock_guard lock(mutex);
        ++pending;
      }
      wake.notify_one();
    }
    producerCpu = Seconds(CLOCK_THREAD_CPUTIME_ID) - start;
  });
  producer.join();
  {
    std::lock_guard lock(mutex);
    stop = true;
  }
  wake.notify_one();
  consumer.join();
  std::printf(
      "  floor: a bare thread waking 1000/s and waking another costs %.2f %% of one core here\n",
      100 * producerCpu / (Seconds(CLOCK_MONOTONIC) - wallStart));
}

// The hidapi build with no device: only the watcher's polling runs.
void MeasurePolling(double seconds) {
  Api api(BuildDir() / "hid" / "libmcHID.so");
  const platform::WindowHandle window = MakeWindow();
  const double processStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double wallStart = Seconds(CLOCK_MONOTONIC);
  if (api.Connect(window) != 1) {
    std::fprintf(stderr, "Connect failed\n");
    std::exit(1);
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const bool present =
      api.GetHandle(kVendor, kController) != 0 || api.GetHandle(kVendor, kDisplay) != 0;
  api.Disconnect();
  const double wall = Seconds(CLOCK_MONOTONIC) - wallStart;
  const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
  platform::DestroyWindow(window);
  std::printf(
      "hidapi build, device polling for %.1f s%s: %.3f %% of one core, %.0f us per poll (target < "
      "0.5 %%)\n",
      wall, present ? " (pedals attached!)" : " with no device", 100 * cpu / wall,
      1e6 * cpu / (wall / 0.2));
}

// What the UI thread pays for each display report: WriteEx only queues.
void BM_WriteExToDisplay(benchmark::State& state) {
  setenv("ORVO_SIM_CONTROLLER", "none", 1);
  setenv("ORVO_SIM_DISPLAY", "0", 1);
  setenv("ORVO_SIM_STATE", "", 1);
  unsetenv("ORVO_SIM_LOG");
  static Api api(BuildDir() / "hid" / "sim" / "libmcHID.so");
  const platform::WindowHandle window = MakeWindow();
  api.Connect(window);
  std::uint8_t report[MCHID_BUFFER_SIZE] = {0x00, 0x04, 0x6D, 0x07, 0x04};
  std::int64_t refused = 0;
  for (auto _ : state) refused += api.WriteEx(kVendor, kDisplay, report) == 1 ? 0 : 1;
  state.counters["refused_full"] = static_cast<double>(refused);
  api.Disconnect();
  platform::DestroyWindow(window);
}
BENCHMARK(BM_WriteExToDisplay);

double Option(int& argc, char** argv, const char* name, double fallback) {
  const std::string prefix = std::string("--") + name + "=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) != 0) continue;
    const double value = std::atof(argv[i] + prefix.size());
    std::copy(argv + i + 1, argv + argc, argv + i);
    --argc;
    return value > 0 ? value : fallback;
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = Option(argc, argv, "seconds", 5);
  const double pollSeconds = Option(argc, argv, "poll-seconds", 10);
  MeasureReports(seconds);
  MeasureWakeFloor(seconds);
  MeasurePolling(pollSeconds);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
