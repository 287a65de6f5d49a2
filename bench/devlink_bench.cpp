// Device link latency and load: the simulated controller sends 1000 reports/s through the real
// link; prints the age of the newest values GetLivePedalValues returns and the link thread's CPU.
//
// Each simulated report carries its creation time (low 16 bits of CLOCK_MONOTONIC in
// microseconds, bytes 63-64). The link does not keep those bytes, so the bench watches reports
// on their way in: before the link starts, it wraps Read in the loaded table and notes each
// report's stamp by its throttle value, which the sweep makes unique per report. The link's own
// code path is unchanged.
#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "devlink/hid_library.h"
#include "devlink/process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReportRate = 1000;
constexpr std::size_t kStampOffset = 63;
constexpr double kAgeTargetMs = 2.0;
constexpr double kCpuTargetPercent = 2.0;

std::uint16_t MonotonicMicros16() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint16_t>(
      (static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000) & 0xFFFF);
}

// Written by the link thread inside Read, read by the sampling thread.
std::array<std::atomic<std::uint32_t>, 65536> stampByThrottle{};  // stamp | 0x10000 when seen
decltype(devlink::HidLibraryTable::Read) realRead = nullptr;
std::atomic<bool> linkClockKnown{false};
clockid_t linkClock;
std::atomic<long> reportsRead{0};
std::vector<double> readDelaysUs;  // link thread only until the link stops

int WatchedRead(McHidHandle handle, std::uint8_t* buffer) {
  const int result = realRead(handle, buffer);
  if (!linkClockKnown.load(std::memory_order_relaxed)) {
    pthread_getcpuclockid(pthread_self(), &linkClock);
    linkClockKnown = true;
  }
  if (result == 0) return result;
  const std::uint16_t stamp =
      static_cast<std::uint16_t>(buffer[kStampOffset] | (buffer[kStampOffset + 1] << 8));
  const std::uint16_t throttle = static_cast<std::uint16_t>(buffer[7] | (buffer[8] << 8));
  stampByThrottle[throttle].store(0x10000u | stamp, std::memory_order_release);
  if (readDelaysUs.size() < readDelaysUs.capacity())
    readDelaysUs.push_back(static_cast<std::uint16_t>(MonotonicMicros16() - stamp));
  ++reportsRead;
  return result;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t at =
      std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
  return values[at];
}

double ThreadSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs again with the simulated library on the search path when it sits in the build tree.
void SelectSimulatedLibrary(char** argv) {
  if (std::getenv("LD_LIBRARY_PATH") != nullptr) return;
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return;
  const auto simDir = exe.parent_path().parent_path() / "hid" / "sim";
  if (!std::filesystem::exists(simDir / devlink::kHidLibraryName)) return;
  setenv("LD_LIBRARY_PATH", simDir.c_str(), 1);
  execv(exe.c_str(), argv);
}

}  // namespace

int main(int argc, char** argv) {
  SelectSimulatedLibrary(argv);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (!(seconds > 0)) {
    std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
    return 2;
  }

  setenv("ORVO_SIM_CONTROLLER", "0", 1);
  setenv("ORVO_SIM_DISPLAY", "none", 1);
  setenv("ORVO_SIM_VALUES", "sweep:8", 1);  // 4 s rising: each report's throttle value differs
  setenv("ORVO_SIM_RATE", std::to_string(kReportRate).c_str(), 1);
  setenv("ORVO_SIM_STATE", "", 1);
  unsetenv("ORVO_SIM_LOG");

  if (devlink::LoadHidLibrary() != 0) {
    std::fprintf(stderr,
                 "devlink_bench: libmcHID.so not found; set LD_LIBRARY_PATH to build/hid/sim\n");
    return 1;
  }
  // Written once before the link thread exists; the thread's start orders it before any read.
  auto& table = const_cast<devlink::HidLibraryTable&>(*devlink::HidLibrary());
  realRead = table.Read;
  table.Read = &WatchedRead;
  readDelaysUs.reserve(static_cast<std::size_t>(seconds * kReportRate * 2) + 10000);

  auto linkOwner = std::make_unique<devlink::Process>();
  devlink::Process& link = *linkOwner;
  if (link.State() != devlink::kLinkRunning) {
    std::fprintf(stderr, "devlink_bench: the link did not start (state %d)\n", link.State());
    return 1;
  }
  std::int32_t values[6];
  const auto giveUp = Clock::now() + std::chrono::seconds(5);
  while (link.GetLivePedalValues(values) != 0) {
    if (Clock::now() > giveUp) {
      std::fprintf(
          stderr,
          "devlink_bench: no report from the controller (is the simulated library loaded?)\n");
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // settle

  // Sample at random moments, 0.5 to 1.5 ms apart, so the report phase is covered evenly.
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> gapUs(500, 1500);
  std::vector<double> agesMs;
  long unknown = 0;
  const long readsBefore = reportsRead.load();
  const std::size_t delaysBefore = readDelaysUs.size();
  const double cpuBefore = ThreadSeconds(linkClock);
  const auto start = Clock::now();
  const auto end =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  while (Clock::now() < end) {
    if (link.GetLivePedalValues(values) == 0) {
      const std::uint32_t seen =
          stampByThrottle[static_cast<std::uint16_t>(values[3])].load(std::memory_order_acquire);
      if (seen & 0x10000u) {
        const std::uint16_t age =
            static_cast<std::uint16_t>(MonotonicMicros16() - static_cast<std::uint16_t>(seen));
        agesMs.push_back(age / 1000.0);
      } else {
        ++unknown;
      }
    } else {
      ++unknown;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = ThreadSeconds(linkClock) - cpuBefore;
  const long reads = reportsRead.load() - readsBefore;
  // With the link stopped, the link thread's delays are ours alone.
  linkOwner.reset();
  std::vector<double> readDelaysMs;
  for (std::size_t i = delaysBefore; i < readDelaysUs.size(); ++i)
    readDelaysMs.push_back(readDelaysUs[i] / 1000.0);

  const double p50 = Percentile(agesMs, 0.50);
  const double p99 = Percentile(agesMs, 0.99);
  const double cpuPercent = 100.0 * cpu / wall;
  std::printf("devlink_bench: simulated controller at %d reports/s, %.1f s measured\n", kReportRate,
              wall);
  std::printf("  reports read by the link:       %ld (%.0f/s)\n", reads,
              static_cast<double>(reads) / wall);
  std::printf(
      "  age of the newest live values:  p50 %.3f ms, p99 %.3f ms, max %.3f ms (%zu samples, %ld "
      "without values)\n",
      p50, p99, agesMs.empty() ? 0.0 : *std::max_element(agesMs.begin(), agesMs.end()),
      agesMs.size(), unknown);
  std::printf("  report creation to link Read:   p50 %.3f ms, p99 %.3f ms\n",
              Percentile(readDelaysMs, 0.50), Percentile(readDelaysMs, 0.99));
  std::printf("  link thread CPU:                %.2f %% of one core\n", cpuPercent);
  std::printf("  targets: p99 < %.0f ms %s, CPU < %.0f %% %s\n", kAgeTargetMs,
              p99 < kAgeTargetMs ? "met" : "MISSED", kCpuTargetPercent,
              cpuPercent < kCpuTargetPercent ? "met" : "MISSED");
  return 0;
}
