// The floor for bench/app_bench.sh: the least a wx program can do to show what the program
// shows live on the throttle page, on the same timers. One window with four polylines (two
// curves and the cross-hair), a percentage label and a bar; a 23 ms timer follows the same
// simulated pedal, a 10 ms timer reads the key map when hot keys are assigned, a 2000 ms timer
// does nothing. Not a Google benchmark: the script runs it as a program and measures it.
//   ORVO_SIM_VALUES   "sweep[:SECONDS]" (default sweep:4) or "still:THROTTLE"
//   ORVO_FLOOR_HOT_KEYS  number of keyboard hot keys assigned (default 0)
//   ORVO_FLOOR_GL     1: run the monitor's GL start-up before the window shows
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dcbuffer.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/graphics.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "app/monitor/gl_startup.h"

// Xlib's macros clash with other headers, so X comes last.
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

using namespace app;

namespace {

constexpr int kPollMs = 23;
constexpr int kHotKeyMs = 10;
constexpr int kDisplayMs = 2000;

// The pedal in percent at a time since the start, as the simulated controller reports it.
class Pedal {
 public:
  Pedal() {
    const char* values = std::getenv("ORVO_SIM_VALUES");
    const std::string spec = values != nullptr ? values : "sweep:4";
    if (spec.rfind("still:", 0) == 0) {
      still_ = std::atof(spec.c_str() + 6) * 100.0 / 65535.0;
    } else if (spec.rfind("sweep:", 0) == 0) {
      period_ = std::atof(spec.c_str() + 6);
    }
    if (!(period_ > 0)) period_ = 4.0;
  }
  double At(double seconds) const {
    if (still_ >= 0) return still_;
    const double phase = std::fmod(seconds, period_) / period_;
    return 100.0 * (phase < 0.5 ? phase * 2 : 2 - phase * 2);
  }

 private:
  double still_ = -1;
  double period_ = 4.0;
};

class Plot : public wxWindow {
 public:
  explicit Plot(wxWindow* parent) : wxWindow(parent, wxID_ANY, wxPoint(140, 62), wxSize(229, 190)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &Plot::OnPaint, this);
    for (int i = 0; i <= 19; ++i) curve_.emplace_back(i * 5.0, i * 5.0);
    for (int i = 0; i <= 100; ++i) fine_.emplace_back(i, i);
  }
  void SetCross(int input, int output) {
    if (input == input_ && output == output_) return;
    input_ = input;
    output_ = output;
    Refresh(false);
  }

 private:
  void OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    const wxSize size = GetClientSize();
    const auto line = [&](const std::vector<wxPoint2DDouble>& points, const wxColour& colour,
                          double width) {
      std::vector<wxPoint2DDouble> screen;
      for (const wxPoint2DDouble& p : points) {
        screen.emplace_back(p.m_x * size.x / 100.0, size.y - p.m_y * size.y / 100.0);
      }
      gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(colour, width)));
      gc->StrokeLines(screen.size(), screen.data());
    };
    line(curve_, *wxRED, 1.0);
    line(fine_, *wxRED, 1.0);
    const wxColour green(0, 255, 0, 128);
    line({{double(input_), 0}, {double(input_), 100}}, green, 3.0);
    line({{0, double(output_)}, {100, double(output_)}}, green, 3.0);
  }

  std::vector<wxPoint2DDouble> curve_;
  std::vector<wxPoint2DDouble> fine_;
  int input_ = -1;
  int output_ = -1;
};

class FloorFrame : public wxFrame {
 public:
  FloorFrame() : wxFrame(nullptr, wxID_ANY, "Orvo floor", wxDefaultPosition, wxSize(860, 600)) {
    auto* panel = new wxPanel(this);
    panel->SetBackgroundColour(wxColour(236, 110, 25));
    plot_ = new Plot(panel);
    label_ = new wxStaticText(panel, wxID_ANY, "0%", wxPoint(465, 3), wxSize(50, 20),
                              wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    bar_ = new wxGauge(panel, wxID_ANY, 100, wxPoint(495, 33), wxSize(14, 409),
                       wxGA_VERTICAL | wxGA_SMOOTH);
    const char* keys = std::getenv("ORVO_FLOOR_HOT_KEYS");
    hotKeys_ = keys != nullptr ? std::atoi(keys) : 0;
    poll_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnPoll(); });
    hotKey_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnHotKeys(); });
    display_.Bind(wxEVT_TIMER, [](wxTimerEvent&) {});
    poll_.Start(kPollMs);
    hotKey_.Start(kHotKeyMs);
    display_.Start(kDisplayMs);
  }

 private:
  void OnPoll() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const int percent = static_cast<int>(pedal_.At(seconds));
    if (percent == shown_) return;
    shown_ = percent;
    bar_->SetValue(percent);
    label_->SetLabel(std::to_string(percent) + "%");
    plot_->SetCross(percent, percent);
  }

  void OnHotKeys() {
    if (hotKeys_ <= 0) return;
    char keys[32];
    XQueryKeymap(gdk_x11_display_get_xdisplay(gdk_display_get_default()), keys);
  }

  Pedal pedal_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  Plot* plot_;
  wxStaticText* label_;
  wxGauge* bar_;
  int hotKeys_ = 0;
  int shown_ = -1;
  wxTimer poll_;
  wxTimer hotKey_;
  wxTimer display_;
};

class FloorApp : public wxApp {
 public:
  bool OnInit() override {
    if (const char* gl = std::getenv("ORVO_FLOOR_GL"); gl != nullptr && std::string(gl) == "1") {
      gl_ = std::make_unique<GlStartup>([](const std::string&) {});
    }
    (new FloorFrame())->Show();
    return true;
  }
  int OnExit() override {
    gl_.reset();
    return wxApp::OnExit();
  }

 private:
  std::unique_ptr<GlStartup> gl_;
};

}  // namespace

wxIMPLEMENT_APP(FloorApp);
