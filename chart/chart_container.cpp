// The chart window: paint through a 32-bit back buffer, live lines, notifications.
#include "chart/chart_container.h"

#include <exception>
#include <memory>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "chart/chart_draw.h"

namespace chart {

// ---- Host ----

bool CChartContainer::Host::HasWindow() const { return owner_.GetHandle() != nullptr; }

bool CChartContainer::Host::IsWindowVisible() const {
  return HasWindow() && owner_.IsShownOnScreen();
}

SizeF CChartContainer::Host::ClientSize() const {
  if (!HasWindow()) return {};
  const wxSize size = owner_.GetClientSize();
  return {static_cast<float>(size.x), static_cast<float>(size.y)};
}

void CChartContainer::Host::Redraw() { owner_.RedrawExceptPopups(); }

bool CChartContainer::Host::ConfirmReplaceData() {
  const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString();
  return wxMessageBox("You will replace all old chart data. Replace anyway?", caption,
                      wxYES_NO | wxICON_QUESTION, HasWindow() ? &owner_ : nullptr) == wxYES;
}

void CChartContainer::Host::ShowVerticalTrackLine(int x, int y) {
  owner_.DrawVerticalTrackLine(x, y);
}

// ---- Construction ----

CChartContainer::CChartContainer(std::wstring name) : host_(*this), core_(std::move(name)) {
  core_.SetHost(&host_);
}

CChartContainer::CChartContainer(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                 const wxSize& size, std::wstring name)
    : CChartContainer(std::move(name)) {
  Create(parent, id, pos, size);
}

CChartContainer::~CChartContainer() {
  // The core must not reach back into a window that is going away.
  core_.SetHost(nullptr);
}

bool CChartContainer::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size) {
  // The whole client area is painted from the back buffer: no background erase.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!wxWindow::Create(parent, id, pos, size, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS)) {
    return false;
  }
  BindEvents();
  return true;
}

void CChartContainer::BindEvents() {
  Bind(wxEVT_PAINT, &CChartContainer::OnChartPaint, this);
  Bind(wxEVT_SIZE, &CChartContainer::OnChartSize, this);
  Bind(wxEVT_SET_FOCUS, &CChartContainer::OnFocusChange, this);
  Bind(wxEVT_KILL_FOCUS, &CChartContainer::OnFocusChange, this);
}

// ---- Page operations ----

int CChartContainer::AddChart(const ChartAddRecord& record, bool redraw) {
  return core_.AddChart(record, redraw);
}

bool CChartContainer::ReplaceChartData(int index, const ChartPoints* points, bool clipToX,
                                       bool fitExtents, bool confirm, bool redraw) {
  return core_.ReplaceChartData(index, points, clipToX, fitExtents, confirm, redraw);
}

bool CChartContainer::SetExtentX(double min, double max, bool redraw) {
  return core_.SetExtentX(min, max, redraw);
}

bool CChartContainer::SetExtentY(double min, double max, bool keepMargins, bool redraw) {
  return core_.SetExtentY(min, max, keepMargins, redraw);
}

// ---- Redraw and live lines ----

void CChartContainer::RedrawExceptPopups() {
  liveLines_.clear();
  pending_ = PendingPaint::kFull;
  if (GetHandle()) Refresh(false);
}

void CChartContainer::AddLiveLine(LiveLine line) {
  liveLines_.push_back(line);
  if (pending_ == PendingPaint::kNone) pending_ = PendingPaint::kLiveLinesOnly;
  if (GetHandle()) Refresh(false);
}

void CChartContainer::DrawVerticalTrackLine(int x, int y) {
  (void)y;
  AddLiveLine({true, x});
}

void CChartContainer::DrawHorizontalTrackLine(int x, int y) {
  (void)x;
  AddLiveLine({false, y});
}

bool CChartContainer::SendChartNotify(const ChartNotify& notify) {
  wxWindow* parent = GetParent();
  if (!parent) return false;
  ChartNotifyEvent event(EVT_CHART_NOTIFY, GetId(), notify);
  event.SetEventObject(this);
  // The caller is one of our event handlers: a parent's exception must stop here.
  try {
    return parent->GetEventHandler()->ProcessEvent(event);
  } catch (const std::exception& e) {
    wxLogDebug("chart notification handler failed: %s", e.what());
  } catch (...) {
    wxLogDebug("chart notification handler failed");
  }
  return false;
}

// ---- Painting ----

void CChartContainer::RenderBackBuffer(const wxSize& client) {
  if (!backBuffer_.IsOk() || backBuffer_.GetWidth() != client.x ||
      backBuffer_.GetHeight() != client.y) {
    backBuffer_ = wxBitmap(client.x, client.y, 32);
  }
  ChartPaintOptions options;
  options.focused = HasFocus();
  options.dropPendingClicks = pending_ != PendingPaint::kLiveLinesOnly;
  // The geometry is the whole client area: a partial repaint still lays out the full chart.
  const RectF bounds{0.0f, 0.0f, static_cast<float>(client.x), static_cast<float>(client.y)};
  const ChartPaintFrame paint = LayoutChartPaint(core_, bounds, options);

  // Box, axes and grid change only with the size, focus, colours and axes; live data
  // reuses them.
  const ChartBackgroundKey key = BackgroundKey(core_, paint, options.focused);
  if (!background_.IsOk() || !(key == backgroundKey_)) {
    if (!background_.IsOk() || background_.GetWidth() != client.x ||
        background_.GetHeight() != client.y) {
      background_ = wxBitmap(client.x, client.y, 32);
    }
    wxMemoryDC layer(background_);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(layer));
    if (!gc) return;
    PrepareChartGraphics(*gc);
    DrawChartBackground(*gc, core_, paint, options.focused);
    backgroundKey_ = key;
  }

  wxMemoryDC memory(backBuffer_);
  {
    wxMemoryDC layer(background_);
    memory.Blit(0, 0, client.x, client.y, &layer, 0, 0);
  }
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(memory));
  if (!gc) return;
  PrepareChartGraphics(*gc);
  DrawChartForeground(*gc, core_, paint, options);
  // The visible data windows will interrupt the lines here once they exist.
  DrawLiveLines(*gc, client, liveLines_, {}, core_.Colour(ChartColourRole::kLiveLines));
}

void CChartContainer::OnChartPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  ++paintCount_;
  try {
    const wxSize client = GetClientSize();
    if (client.x > 0 && client.y > 0) {
      RenderBackBuffer(client);
      // The paint DC is clipped to the damaged region; only that part is copied.
      if (backBuffer_.IsOk()) dc.DrawBitmap(backBuffer_, 0, 0);
    }
  } catch (const std::exception& e) {
    wxLogDebug("chart paint skipped: %s", e.what());
  } catch (...) {
    wxLogDebug("chart paint skipped");
  }
  pending_ = PendingPaint::kNone;
}

void CChartContainer::OnChartSize(wxSizeEvent& event) {
  pending_ = PendingPaint::kFull;
  Refresh(false);
  event.Skip();
}

void CChartContainer::OnFocusChange(wxFocusEvent& event) {
  RedrawExceptPopups();
  event.Skip();
}

void CChartContainer::DrawChartsTo(int x, int y, int w, int h, wxImage& image) {
  if (!image.IsOk() || w <= 1 || h <= 1) return;
  if (!image.HasAlpha()) image.InitAlpha();
  try {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return;
    ChartPaintOptions options;
    options.resetYState = false;
    options.drawSelectedPoints = false;
    const RectF bounds{static_cast<float>(x), static_cast<float>(y), static_cast<float>(w - 1),
                       static_cast<float>(h - 1)};
    PaintChartContents(*gc, core_, bounds, options);
    // The legend and tracking data windows draw themselves here once they exist.
  } catch (const std::exception& e) {
    wxLogDebug("chart image skipped: %s", e.what());
  }
}

}  // namespace chart
