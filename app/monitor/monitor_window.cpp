// The monitor window: its frame, timers, dragging and remembered position.
#include "app/monitor/monitor_window.h"

#include <optional>
#include <utility>

#include <gtk/gtk.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include "app/app_options.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"

namespace app {

namespace {

// GTK shrinks a window that may not be resized to its contents' natural size (1 x 1 here), so
// the window is resizable in name and held at its size by equal minimum and maximum sizes.
constexpr long kMonitorStyle =
    wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP | wxBORDER_NONE | wxFRAME_TOOL_WINDOW | wxRESIZE_BORDER;
constexpr int kUnsetPosition = -1;

// Where the X server has the window, asked afresh; none while the window is not mapped.
// wx's own idea of the position follows the configure events, and under a window manager one
// of those can report (0, 0) for a window that never left its place.
std::optional<wxPoint> MappedScreenPosition(wxWindow& window) {
  GtkWidget* widget = window.GetHandle();
  GdkWindow* gdk = widget != nullptr ? gtk_widget_get_window(widget) : nullptr;
  if (gdk == nullptr || !gdk_window_is_viewable(gdk) ||
      (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_WITHDRAWN) != 0) {
    return std::nullopt;
  }
  wxPoint at;
  gdk_window_get_origin(gdk, &at.x, &at.y);
  return at;
}

}  // namespace

// The window itself: paints the pop-up image, moves with a drag anywhere on it, ignores close
// requests. It reports the moves it really makes, and its own end, to the monitor until
// detached: a move counts only once the window is mapped where it was placed, and only when
// the X server has the window somewhere new.
class MonitorFrame : public wxFrame {
 public:
  struct Client {
    const MonitorPopupImage* image;
    std::function<void(const wxPoint&)> moved;
    std::function<void()> gone;
  };

  explicit MonitorFrame(Client client) : client_(std::move(client)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
  }

  ~MonitorFrame() override {
    if (GetHandle() != nullptr) {
      g_signal_handlers_disconnect_by_func(
          GetHandle(), reinterpret_cast<gpointer>(&MonitorFrame::OnConfigure), this);
    }
    if (client_.gone) client_.gone();
  }

  bool CreateMonitorWindow() {
    if (!wxFrame::Create(nullptr, wxID_ANY, wxString(), wxDefaultPosition,
                         wxSize(CVirtualDisplayDlg::kWidth, CVirtualDisplayDlg::kHeight),
                         kMonitorStyle)) {
      return false;
    }
    const wxSize size(CVirtualDisplayDlg::kWidth, CVirtualDisplayDlg::kHeight);
    SetClientSize(size);
    SetSizeHints(size, size);
    Bind(wxEVT_PAINT, &MonitorFrame::OnPaint, this);
    Bind(wxEVT_CLOSE_WINDOW, &MonitorFrame::OnClose, this);
    Bind(wxEVT_MOVE, &MonitorFrame::OnMove, this);
    Bind(wxEVT_SHOW, &MonitorFrame::OnShow, this);
    // A move made by Move() may be reported to wx before the server has made it, and then not
    // again; the server's own configure notice is the sure sign.
    g_signal_connect(GetHandle(), "configure-event", G_CALLBACK(&MonitorFrame::OnConfigure), this);
    Bind(wxEVT_LEFT_DOWN, &MonitorFrame::OnLeftDown, this);
    Bind(wxEVT_MOTION, &MonitorFrame::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &MonitorFrame::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    return true;
  }

  // The monitor lets go before it destroys the window, whose deletion wx defers.
  void Detach() { client_ = Client{}; }

  // Puts the window at position; until it is mapped there, moves are the window manager's.
  void PlaceAt(const wxPoint& position) {
    SetSize(position.x, position.y, CVirtualDisplayDlg::kWidth, CVirtualDisplayDlg::kHeight);
    placedAt_ = position;
    settled_ = false;
  }

 private:
  void OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (client_.image != nullptr && client_.image->IsOk()) {
      dc.DrawBitmap(client_.image->Bitmap(), 0, 0, false);
    }
  }

  // Alt+F4 and every other close request that may be refused do nothing.
  void OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
      event.Veto();
    } else {
      event.Skip();
    }
  }

  void OnMove(wxMoveEvent& event) {
    CheckPosition();
    event.Skip();
  }

  static gboolean OnConfigure(GtkWidget*, GdkEventConfigure*, MonitorFrame* frame) {
    frame->CheckPosition();
    return FALSE;
  }

  // Each showing maps the window anew: it must first arrive where it last stood.
  void OnShow(wxShowEvent& event) {
    if (event.IsShown()) settled_ = false;
    event.Skip();
  }

  void CheckPosition() {
    const std::optional<wxPoint> at = MappedScreenPosition(*this);
    if (!at) return;
    if (!settled_) {
      if (placedAt_ && *at != *placedAt_) return;
      settled_ = true;
      placedAt_ = *at;
      return;
    }
    if (placedAt_ && *at == *placedAt_) return;
    placedAt_ = *at;
    if (client_.moved) client_.moved(*at);
  }

  // Pointer and window positions both come from the server: wx's copy of the window's position
  // may be a stale or false report, and it lags behind a drag.
  void OnLeftDown(wxMouseEvent&) {
    const std::optional<wxPoint> at = MappedScreenPosition(*this);
    // The user takes the window where it stands, even where the window manager put it.
    if (at) {
      settled_ = true;
      placedAt_ = *at;
    }
    dragOffset_ = wxGetMousePosition() - at.value_or(GetPosition());
    if (!HasCapture()) CaptureMouse();
  }

  void OnMotion(wxMouseEvent& event) {
    if (HasCapture() && event.LeftIsDown()) Move(wxGetMousePosition() - dragOffset_);
  }

  void OnLeftUp(wxMouseEvent&) {
    if (HasCapture()) ReleaseMouse();
  }

  Client client_;
  wxPoint dragOffset_;
  // Where the window was put or last really stood; empty until known.
  std::optional<wxPoint> placedAt_;
  bool settled_ = false;
};

bool IsMonitorPositionRestorable(const wxPoint& position) {
  return position.x > 0 && position.y > 0 && wxDisplay::GetFromPoint(position) != wxNOT_FOUND;
}

CVirtualDisplayDlg::CVirtualDisplayDlg(std::function<bool()> windowEnabled)
    : windowEnabled_(std::move(windowEnabled)) {
  tickTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { timing_.OnTimer(MonitorTimer::kTick); });
  endTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { timing_.OnTimer(MonitorTimer::kEnd); });
  if (!image_.IsOk()) return;
  gl_ = std::make_unique<GlStartup>([](const std::string& message) {
    wxMessageBox(wxString::FromUTF8(message), wxMessageBoxCaptionStr, wxOK);
  });
}

CVirtualDisplayDlg::~CVirtualDisplayDlg() {
  DestroyWindow();
  tickTimer_.Stop();
  endTimer_.Stop();
}

bool CVirtualDisplayDlg::Create() {
  if (frame_ != nullptr) return false;
  auto* frame = new MonitorFrame(
      MonitorFrame::Client{&image_, [this](const wxPoint& position) { OnWindowMoved(position); },
                           [this] { OnWindowGone(); }});
  if (!frame->CreateMonitorWindow()) {
    // A window that was never created is not a top-level window yet, so it can go at once.
    frame->Detach();
    delete frame;
    return false;
  }
  frame_ = frame;
  timing_.StartTicking();

  const wxPoint stored(platform::GetPrivateProfileInt(kMonitorSection, kMonitorXKey, kUnsetPosition,
                                                      platform::kSettingsFile),
                       platform::GetPrivateProfileInt(kMonitorSection, kMonitorYKey, kUnsetPosition,
                                                      platform::kSettingsFile));
  if (IsMonitorPositionRestorable(stored)) {
    frame_->PlaceAt(stored);
    frame_->Refresh(false);
  }
  return true;
}

void CVirtualDisplayDlg::DestroyWindow() {
  timing_.StopTimers();
  if (frame_ == nullptr) return;
  MonitorFrame* frame = std::exchange(frame_, nullptr);
  frame->Detach();
  frame->Destroy();
}

void CVirtualDisplayDlg::ShowMonitorPopup(int value, int preset) {
  image_.Draw(value, preset);
  timing_.PopupDrawn();
}

wxFrame* CVirtualDisplayDlg::GetWindow() const { return frame_; }

wxTimer& CVirtualDisplayDlg::TimerFor(MonitorTimer timer) {
  return timer == MonitorTimer::kTick ? tickTimer_ : endTimer_;
}

void CVirtualDisplayDlg::StartTimer(MonitorTimer timer, int periodMs) {
  TimerFor(timer).Start(periodMs, wxTIMER_CONTINUOUS);
}

void CVirtualDisplayDlg::StopTimer(MonitorTimer timer) { TimerFor(timer).Stop(); }

bool CVirtualDisplayDlg::IsWindowEnabled() const { return windowEnabled_ && windowEnabled_(); }

bool CVirtualDisplayDlg::IsWindowShown() const { return frame_ != nullptr && frame_->IsShown(); }

void CVirtualDisplayDlg::ShowWindow() {
  if (frame_ != nullptr) frame_->ShowWithoutActivating();
}

void CVirtualDisplayDlg::HideWindow() {
  if (frame_ != nullptr) frame_->Hide();
}

void CVirtualDisplayDlg::RepaintWindow() {
  if (frame_ != nullptr) frame_->Refresh(false);
}

void CVirtualDisplayDlg::OnWindowMoved(const wxPoint& position) {
  if (!timing_.IsActive()) return;
  platform::WriteProfileInt(kMonitorSection, kMonitorXKey, position.x, platform::kSettingsFile);
  platform::WriteProfileInt(kMonitorSection, kMonitorYKey, position.y, platform::kSettingsFile);
}

void CVirtualDisplayDlg::OnWindowGone() {
  frame_ = nullptr;
  timing_.StopTimers();
}

}  // namespace app
