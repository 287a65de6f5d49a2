// Time of the first "open", which starts audio; without a device it must not hold the UI thread.
#include "platform/mci_sound.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using platform::MciSendString;

// Any readable file will do: audio starts before the file is decoded.
void BM_FirstOpenStartsAudio(benchmark::State& state) {
  for (auto _ : state) {
    const int result = MciSendString("open \"/proc/self/exe\" type mpegvideo alias benchfirst");
    state.SetLabel("result " + std::to_string(result));
  }
}
BENCHMARK(BM_FirstOpenStartsAudio)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OpenMissingFile(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        MciSendString("open \"/nonexistent/beep.mp3\" type mpegvideo alias beep"));
  }
}
BENCHMARK(BM_OpenMissingFile)->Unit(benchmark::kMicrosecond);

void BM_PlayUnopenedAlias(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MciSendString("play beep from 0"));
}
BENCHMARK(BM_PlayUnopenedAlias)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
