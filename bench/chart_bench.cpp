// Paint time of the chart window and the cost of one live tick of the throttle page.
// Needs a display (DISPLAY set). Prints median and p99 over single paints.
//   chart_bench [--benchmark_filter=...]
// Targets: median paint at most 1 ms at the page's size and 3 ms at 1000 x 600 px; at most
// one paint per live tick.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/panel.h>
#include <wx/utils.h>

#include "chart/chart_container.h"
#include "tests/chart/throttle_series.h"

namespace {

using chart::CChartContainer;
using Clock = std::chrono::steady_clock;

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

double Percentile(const std::vector<double>& samples, double p) {
  std::vector<double> v = samples;
  std::sort(v.begin(), v.end());
  const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(p * (v.size() - 1) + 0.5));
  return v[i];
}

double P99(const std::vector<double>& v) { return Percentile(v, 0.99); }

// A shown frame holding one container with the throttle page's four series.
struct ChartFixture {
  explicit ChartFixture(wxSize size) {
    frame = new wxFrame(nullptr, wxID_ANY, "chart bench", wxPoint(0, 0), size + wxSize(40, 40));
    panel = new wxPanel(frame);
    chart = new CChartContainer(panel, wxID_ANY, wxPoint(10, 10), size);
    ids = chart::test::AddThrottleSeries(*chart, 37);
    frame->Show();
    const auto end = Clock::now() + std::chrono::seconds(3);
    while ((!chart->IsShownOnScreen() || chart->PaintCount() == 0) && Clock::now() < end) {
      wxTheApp->Yield(true);
      wxMilliSleep(5);
    }
  }
  ~ChartFixture() {
    frame->Destroy();
    for (int i = 0; i < 10; ++i) wxTheApp->Yield(true);
  }

  // Paints whatever is pending now, as the next frame would.
  void PaintNow() { chart->Update(); }

  wxFrame* frame = nullptr;
  wxPanel* panel = nullptr;
  CChartContainer* chart = nullptr;
  chart::test::ThrottleSeries ids;
};

// One window per size for the whole run: every repetition measures steady-state paints.
std::vector<std::unique_ptr<ChartFixture>>& Fixtures() {
  static std::vector<std::unique_ptr<ChartFixture>> fixtures;
  return fixtures;
}

ChartFixture& FixtureFor(wxSize size) {
  auto& fixtures = Fixtures();
  for (auto& f : fixtures) {
    if (f->chart->GetClientSize() == size) return *f;
  }
  fixtures.push_back(std::make_unique<ChartFixture>(size));
  return *fixtures.back();
}

// newBackground: the box, axes and grid are drawn afresh too, as after a resize, a focus
// change or new extents; otherwise they are reused, as on every live tick.
void PaintAt(benchmark::State& state, wxSize size, bool newBackground) {
  ChartFixture& f = FixtureFor(size);
  chart::ChartContainerCore& core = f.chart->Core();
  for (auto _ : state) {
    if (newBackground) {
      const std::uint32_t grid = core.Colour(chart::ChartColourRole::kGrid);
      core.SetColour(chart::ChartColourRole::kGrid, grid ^ 0x00010101u);
    }
    const auto start = Clock::now();
    f.chart->RedrawExceptPopups();
    const std::size_t before = f.chart->PaintCount();
    f.PaintNow();
    const auto stop = Clock::now();
    if (f.chart->PaintCount() != before + 1) {
      state.SkipWithError("Update() did not paint exactly once");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
}

const wxSize kPageSize(chart::test::kThrottleChartWidth, chart::test::kThrottleChartHeight);

void BM_PaintThrottlePage(benchmark::State& state) { PaintAt(state, kPageSize, false); }
void BM_Paint1000x600(benchmark::State& state) { PaintAt(state, wxSize(1000, 600), false); }
void BM_PaintThrottlePageNewBackground(benchmark::State& state) { PaintAt(state, kPageSize, true); }
void BM_Paint1000x600NewBackground(benchmark::State& state) {
  PaintAt(state, wxSize(1000, 600), true);
}

// One live tick: both cross-hair series replaced with redraw, then the frame's paint.
void BM_LiveTick(benchmark::State& state) {
  ChartFixture& f = FixtureFor(kPageSize);
  static double input = 0.0;
  std::size_t paints = 0, ticks = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const std::size_t before = f.chart->PaintCount();
    chart::test::LiveTick(*f.chart, f.ids, input);
    f.PaintNow();
    const auto stop = Clock::now();
    paints += f.chart->PaintCount() - before;
    ++ticks;
    input = input >= 100.0 ? 0.0 : input + 1.0;
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.counters["paints_per_tick"] = ticks ? double(paints) / double(ticks) : 0.0;
}

// Single paints as repetitions, so that the aggregates are medians and p99s of one paint.
void SinglePaints(benchmark::internal::Benchmark* b) {
  b->UseManualTime()
      ->Iterations(1)
      ->Repetitions(400)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics("p99", P99)
      ->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_PaintThrottlePage)->Apply(SinglePaints);
BENCHMARK(BM_Paint1000x600)->Apply(SinglePaints);
BENCHMARK(BM_PaintThrottlePageNewBackground)->Apply(SinglePaints);
BENCHMARK(BM_Paint1000x600NewBackground)->Apply(SinglePaints);
BENCHMARK(BM_LiveTick)->Apply(SinglePaints);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "chart_bench: needs a display (DISPLAY is not set)\n");
    return 2;
  }
  benchmark::Initialize(&argc, argv);
  wxApp::SetInstance(new BenchApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Fixtures().clear();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return 0;
}
