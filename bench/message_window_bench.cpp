// Latency from PostMessage on one thread to GetMessage on the window's thread, as the HID
// library's notifications reach the device link: paced at 1000 per second, and back to back.
#include "platform/message_window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "hid/mchid.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace platform;

constexpr std::uint32_t kHidEventMessage = MCHID_EVENT_MESSAGE;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

std::intptr_t BenchWindowProc(WindowHandle w, std::uint32_t m, std::uintptr_t wp,
                              std::intptr_t lp) {
  if (m == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProc(w, m, wp, lp);
}

// The link's side: its own thread, window and loop. lParam carries the post time.
class Receiver {
 public:
  Receiver() {
    thread_ = std::thread([this] {
      RegisterClass("benchWClass", BenchWindowProc);
      WindowHandle w = CreateWindow("benchWClass", "bench");
      window_ = w;
      Message m;
      while (GetMessage(&m, w, 0, 0) > 0) {
        if (m.message == kHidEventMessage) {
          lastLatencyNs_.store(NowNs() - m.lParam, std::memory_order_relaxed);
          received_.fetch_add(1, std::memory_order_release);
        }
        DispatchMessage(&m);
      }
    });
    while (window_ == 0) std::this_thread::yield();
  }
  ~Receiver() {
    PostMessage(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  WindowHandle Window() const { return window_; }
  std::uint64_t Received() const { return received_.load(std::memory_order_acquire); }
  std::int64_t LastLatencyNs() const { return lastLatencyNs_.load(std::memory_order_relaxed); }

 private:
  std::thread thread_;
  std::atomic<WindowHandle> window_{0};
  std::atomic<std::uint64_t> received_{0};
  std::atomic<std::int64_t> lastLatencyNs_{0};
};

double PercentileUs(std::vector<std::int64_t>& ns, double p) {
  const auto k = static_cast<std::size_t>(p * static_cast<double>(ns.size() - 1));
  std::nth_element(ns.begin(), ns.begin() + static_cast<std::ptrdiff_t>(k), ns.end());
  return static_cast<double>(ns[k]) / 1000.0;
}

// range(0): microseconds between posts; 0 posts the next as soon as the last one arrived.
void BM_PostToGetMessage(benchmark::State& state) {
  const auto interval = std::chrono::microseconds(state.range(0));
  Receiver receiver;
  std::vector<std::int64_t> latencies;
  latencies.reserve(static_cast<std::size_t>(state.max_iterations));
  auto next = Clock::now();
  for (auto _ : state) {
    if (interval.count() > 0) {
      next += interval;
      std::this_thread::sleep_until(next);
    }
    const std::uint64_t before = receiver.Received();
    if (!PostMessage(receiver.Window(), kHidEventMessage, 4, static_cast<std::intptr_t>(NowNs()))) {
      state.SkipWithError("post refused");
      break;
    }
    while (receiver.Received() == before) {
    }
    const std::int64_t ns = receiver.LastLatencyNs();
    latencies.push_back(ns);
    state.SetIterationTime(static_cast<double>(ns) * 1e-9);
  }
  if (latencies.empty()) return;
  state.counters["p50_us"] = PercentileUs(latencies, 0.50);
  state.counters["p99_us"] = PercentileUs(latencies, 0.99);
  state.counters["max_us"] = PercentileUs(latencies, 1.0);
}
BENCHMARK(BM_PostToGetMessage)
    ->Arg(1000)
    ->Iterations(3000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostToGetMessage)
    ->Arg(0)
    ->Iterations(50000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// What a notifying thread pays per post while the link drains the queue.
void BM_PostCost(benchmark::State& state) {
  Receiver receiver;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        PostMessage(receiver.Window(), kHidEventMessage, 4, static_cast<std::intptr_t>(NowNs())));
  }
}
BENCHMARK(BM_PostCost)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
