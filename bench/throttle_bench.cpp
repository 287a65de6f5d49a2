// Cost of the throttle page's live display: OnPedalInput with the page and its chart shown,
// one call per 23 ms as the main dialog's timer makes them. Prints CPU time per call (the call
// alone, and everything the process spends per tick, paints included) and paints per call.
// Needs an X display.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "chart/chart_container.h"
#include "pages/font_static.h"
#include "pages/live_bar.h"
#include "pages/throttle_page.h"
#include "tests/support/temp_folder.h"

using namespace pages;

namespace {

constexpr int kTickMilliseconds = 23;
constexpr int kTicks = 400;
constexpr double kTargetCpuMs = 0.3;

double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

struct Figures {
  double callCpuMs = 0;
  double tickCpuMs = 0;
  double chartPaints = 0;
  double labelPaints = 0;
};

// Calls feed(i) from a 23 ms timer in a real event loop, which paints between the calls.
template <typename Feed>
class TickDriver : public wxTimer {
 public:
  TickDriver(wxEventLoopBase& loop, Feed feed) : loop_(loop), feed_(feed) {}
  void Notify() override {
    if (tick_ == kTicks) {
      Stop();
      loop_.Exit();
      return;
    }
    const double before = CpuMs(CLOCK_THREAD_CPUTIME_ID);
    feed_(tick_++);
    callCpuMs += CpuMs(CLOCK_THREAD_CPUTIME_ID) - before;
  }
  double callCpuMs = 0;

 private:
  wxEventLoopBase& loop_;
  Feed feed_;
  int tick_ = 0;
};

// CPU of the process over kTicks timer ticks that each run feed(i).
template <typename Feed>
double RunTicks(Feed feed, double* callCpuMs = nullptr) {
  wxGUIEventLoop loop;
  TickDriver<Feed> driver(loop, feed);
  const double start = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  driver.Start(kTickMilliseconds);
  loop.Run();
  if (callCpuMs) *callCpuMs = driver.callCpuMs / kTicks;
  return (CpuMs(CLOCK_PROCESS_CPUTIME_ID) - start) / kTicks;
}

template <typename Input>
Figures Run(CPedalsConfig2Dlg& page, const int& labelPaints, double idleTickMs, Input input) {
  Figures f;
  const std::size_t chartStart = page.Chart().PaintCount();
  const int labelStart = labelPaints;
  // What the loop and its timer cost without the page is not the page's.
  f.tickCpuMs =
      RunTicks([&page, &input](int i) { page.OnPedalInput(input(i)); }, &f.callCpuMs) - idleTickMs;
  f.chartPaints = static_cast<double>(page.Chart().PaintCount() - chartStart) / kTicks;
  f.labelPaints = static_cast<double>(labelPaints - labelStart) / kTicks;
  return f;
}

void Print(const char* name, const Figures& f) {
  std::printf(
      "%-27s call %.4f ms CPU, tick %.4f ms CPU, chart paints %.2f, label paints %.2f"
      " per call  [target: < %.1f ms, <= 1 paint] %s\n",
      name, f.callCpuMs, f.tickCpuMs, f.chartPaints, f.labelPaints, kTargetCpuMs,
      f.tickCpuMs < kTargetCpuMs && f.chartPaints <= 1.0 ? "met" : "NOT met");
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv) {
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "throttle_bench: needs an X display (set DISPLAY)\n");
    return 1;
  }
  wxTheApp->CallOnInit();
  const test_support::TempFolder dir("throttle-bench");
  const std::string file = dir.File("presets.ini");

  auto* frame = new wxFrame(nullptr, wxID_ANY, "throttle bench", wxPoint(0, 0));
  auto* page = new CPedalsConfig2Dlg(frame, file);
  frame->SetClientSize(page->GetSize());
  page->Show();
  frame->Show();
  int labelPaints = 0;
  page->PercentLabel().Bind(wxEVT_PAINT, [&labelPaints](wxPaintEvent& e) {
    ++labelPaints;
    e.Skip();
  });
  RunTicks([](int) {});  // the page shows and paints once

  std::printf("OnPedalInput, %d calls every %d ms, chart shown (%dx%d px)\n", kTicks,
              kTickMilliseconds, page->Chart().GetSize().x, page->Chart().GetSize().y);
  const double idle = RunTicks([](int) {});
  std::printf("event loop and timer alone: %.4f ms CPU per tick (subtracted below)\n", idle);
  Print("steady pedal (37.6 %)", Run(*page, labelPaints, idle, [](int) { return 37.6; }));
  // A full press and release every 2.3 s: the output changes on nearly every tick.
  Print("moving pedal (sweep)", Run(*page, labelPaints, idle, [](int i) {
          return 50.0 - 50.0 * std::cos(i * 2.0 * M_PI / 100.0);
        }));

  // The same without the chart's repaints, to tell the chart's share from the rest.
  page->Chart().Hide();
  Print("moving pedal, chart hidden", Run(*page, labelPaints, idle, [](int i) {
          return 50.0 - 50.0 * std::cos(i * 2.0 * M_PI / 100.0);
        }));

  // What one repaint of the bar alone and of the percentage label alone cost the toolkit.
  std::printf("bar value change alone: %.4f ms CPU per tick\n",
              RunTicks([page](int i) { page->LiveBar().SetValue(i % 100); }) - idle);
  std::printf("label text change alone: %.4f ms CPU per tick\n",
              RunTicks([page](int i) {
                page->PercentLabel().SetText(wxString::Format("%d%%", i % 100));
              }) - idle);

  frame->Destroy();
  wxTheApp->Yield(true);
  wxTheApp->OnExit();
  wxEntryCleanup();
  return 0;
}
