// The chart window: paint through a 32-bit back buffer, live lines, notifications, and the
// mouse, wheel, keys, timers and context menu.
#include "chart/chart_container.h"

#include <climits>
#include <exception>
#include <memory>
#include <optional>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "chart/chart_draw.h"
#include "chart/chart_image.h"
#include "chart/chart_menu.h"
#include "chart/chart_print.h"
#include "chart/chart_xml_writer.h"

namespace chart {

namespace {

// Runs one event handler's work; nothing it throws may leave the handler, or the program ends.
template <class Work>
void Guarded(const char* what, Work&& work) {
  try {
    work();
  } catch (const std::exception& e) {
    wxLogDebug("chart %s stopped: %s", what, e.what());
  } catch (...) {
    wxLogDebug("chart %s stopped", what);
  }
}

std::optional<ChartKey> ChartKeyFromCode(int code) {
  switch (code) {
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: return ChartKey::kPageUp;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: return ChartKey::kPageDown;
    case WXK_UP:
    case WXK_NUMPAD_UP: return ChartKey::kUp;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return ChartKey::kDown;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT: return ChartKey::kLeft;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT: return ChartKey::kRight;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: return ChartKey::kDelete;
    default: return std::nullopt;
  }
}

wxString MessageCaption() { return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(); }

}  // namespace

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

void CChartContainer::Host::Redraw() { owner_.ClearLiveLinesAndRepaint(); }

bool CChartContainer::Host::ConfirmReplaceData() {
  return wxMessageBox("You will replace all old chart data. Replace anyway?", MessageCaption(),
                      wxYES_NO | wxICON_QUESTION, HasWindow() ? &owner_ : nullptr) == wxYES;
}

void CChartContainer::Host::ShowVerticalTrackLine(int x, int y) {
  owner_.DrawVerticalTrackLine(x, y);
}

void CChartContainer::Host::ShowHorizontalTrackLine(int x, int y) {
  owner_.DrawHorizontalTrackLine(x, y);
}

// ---- Construction ----

CChartContainer::CChartContainer(std::wstring name)
    : host_(*this),
      core_(std::move(name)),
      rescaleTimer_(this, kRescaleTimerId),
      resizeTimer_(this, kResizeTimerId),
      dataWindows_(*this),
      dataView_(*this) {
  core_.SetHost(&host_);
}

CChartContainer::CChartContainer(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                 const wxSize& size, std::wstring name)
    : CChartContainer(std::move(name)) {
  Create(parent, id, pos, size);
}

CChartContainer::~CChartContainer() {
  rescaleTimer_.Stop();
  resizeTimer_.Stop();
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
  Bind(wxEVT_LEFT_DOWN, &CChartContainer::OnChartLButtonDown, this);
  Bind(wxEVT_LEFT_DCLICK, &CChartContainer::OnChartLButtonDblClk, this);
  Bind(wxEVT_LEFT_UP, &CChartContainer::OnChartLButtonUp, this);
  Bind(wxEVT_SET_CURSOR, &CChartContainer::OnChartSetCursor, this);
  Bind(wxEVT_MIDDLE_DOWN, &CChartContainer::OnChartMButtonDown, this);
  Bind(wxEVT_MOUSEWHEEL, &CChartContainer::OnChartMouseWheel, this);
  Bind(wxEVT_CONTEXT_MENU, &CChartContainer::OnChartContextMenu, this);
  Bind(wxEVT_MENU, &CChartContainer::OnChartCommand, this, kCmdShowLegend, kCmdTogglePointMarkers);
  // Every series listed in the menu has its command, however high its index.
  Bind(wxEVT_MENU, &CChartContainer::OnSeriesCommand, this, kCmdShowSeriesFirst, INT_MAX);
  Bind(wxEVT_KEY_DOWN, &CChartContainer::OnChartKeyDown, this);
  Bind(wxEVT_TIMER, &CChartContainer::OnChartTimer, this);
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

void CChartContainer::RequestPaint() {
  if (GetHandle()) Refresh(false);
}

void CChartContainer::RedrawExceptPopups() {
  // As the core's redraw does; a host may call this from its own Redraw.
  core_.DropPendingClicks();
  ClearLiveLinesAndRepaint();
}

void CChartContainer::ClearLiveLinesAndRepaint() {
  liveLines_.clear();
  RequestPaint();
}

void CChartContainer::AddLiveLine(LiveLine line) {
  liveLines_.push_back(line);
  RequestPaint();
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
  options.trackingWindowExists = dataWindows_.HasTrackingWindow();
  options.trackingWindowVisible = dataWindows_.IsTrackingWindowVisible();
  // The geometry is the whole client area: a partial repaint still lays out the full chart.
  const RectF bounds{0.0f, 0.0f, static_cast<float>(client.x), static_cast<float>(client.y)};
  const ChartPaintFrame paint = LayoutChartPaint(core_, bounds, options);

  // Box, axes, grid and the series that are not live change only with the size, focus,
  // colours, axes and their own data; a tick of live data reuses them and strokes only the
  // live series over them.
  const ChartBackgroundKey key = BackgroundKey(core_, paint, options.focused);
  std::vector<double> signature = CachedSeriesSignature(core_, paint);
  if (!background_.IsOk() || !(key == backgroundKey_) || signature != cachedSeries_) {
    if (!background_.IsOk() || background_.GetWidth() != client.x ||
        background_.GetHeight() != client.y) {
      background_ = wxBitmap(client.x, client.y, 32);
    }
    wxMemoryDC layer(background_);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(layer));
    if (!gc) return;
    PrepareChartGraphics(*gc);
    DrawChartBackground(*gc, core_, paint, options.focused);
    DrawChartSeriesLayer(*gc, core_, paint, SeriesLayer::kCached);
    backgroundKey_ = key;
    cachedSeries_ = std::move(signature);
    ++layerDrawCount_;
  }

  wxMemoryDC memory(backBuffer_);
  {
    wxMemoryDC layer(background_);
    memory.Blit(0, 0, client.x, client.y, &layer, 0, 0);
  }
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(memory));
  if (!gc) return;
  PrepareChartGraphics(*gc);
  DrawChartForeground(*gc, core_, paint, options, SeriesLayer::kLive);
  const std::vector<wxRect> windows = dataWindows_.VisibleWindowRects();
  DrawLiveLines(*gc, client, liveLines_, windows, core_.Colour(ChartColourRole::kLiveLines));
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
}

void CChartContainer::OnChartSize(wxSizeEvent& event) {
  // A live line no longer stands where its click was made.
  RedrawExceptPopups();
  // The data windows keep their old places until the size has settled.
  Guarded("resize", [&] {
    if (HidePopups(false)) resizeTimer_.StartOnce(kResizeTimerMs);
  });
  event.Skip();
}

void CChartContainer::OnFocusChange(wxFocusEvent& event) {
  // Only the focus rectangle changes: a pending first click (the click that gave the focus may
  // be one) and its line stay.
  RequestPaint();
  event.Skip();
}

void CChartContainer::DrawChartsTo(int x, int y, int w, int h, wxImage& image) {
  if (!image.IsOk() || w <= 1 || h <= 1) return;
  if (!image.HasAlpha()) image.InitAlpha();
  try {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return;
    ChartPaintOptions options;
    options.storeLayout = false;
    options.drawSelectedPoints = false;
    const RectF bounds{static_cast<float>(x), static_cast<float>(y), static_cast<float>(w - 1),
                       static_cast<float>(h - 1)};
    options.trackingWindowExists = dataWindows_.HasTrackingWindow();
    options.trackingWindowVisible = dataWindows_.IsTrackingWindowVisible();
    PaintChartContents(*gc, core_, bounds, options);
    dataWindows_.DrawDataWindowsTo(*gc);
  } catch (const std::exception& e) {
    wxLogDebug("chart image skipped: %s", e.what());
  }
}

}  // namespace chart

// ---- Mouse, wheel and keys ----

namespace chart {

void CChartContainer::OnChartLButtonDown(wxMouseEvent& event) {
  Guarded("click", [&] {
    if (!ChartAcceptsInput(core_)) return;
    SetFocus();
    const wxPoint at = event.GetPosition();
    if (event.ShiftDown()) {
      core_.ShiftClickZoom(at.x, at.y);
    } else if (event.ControlDown()) {
      SelectChartAtPoint(core_, at.x, at.y);
      core_.RefreshDataWindows(-1, false, 0);
    } else if (core_.IsTracking()) {
      TrackingClick(at.x, at.y);
    }
  });
  event.Skip();
}

void CChartContainer::OnChartLButtonDblClk(wxMouseEvent& event) {
  Guarded("double click", [&] {
    if (ChartAcceptsInput(core_) && event.ShiftDown()) {
      core_.ShiftDoubleClickZoom(event.GetX(), event.GetY());
    }
  });
  event.Skip();
}

void CChartContainer::OnChartLButtonUp(wxMouseEvent& event) {
  Guarded("button up", [&] {
    if (ChartAcceptsInput(core_)) core_.FinishMouseZoom();
  });
  event.Skip();
}

const wxCursor& CChartContainer::TrackingCursor() const {
  return core_.IsTracking() ? *wxCROSS_CURSOR : *wxSTANDARD_CURSOR;
}

void CChartContainer::UpdateCursor() {
  // Set on the window too: the data windows over the chart show the chart's cursor.
  const wxCursor& wanted = TrackingCursor();
  if (!GetCursor().IsSameAs(wanted)) SetCursor(wanted);
}

void CChartContainer::OnChartSetCursor(wxSetCursorEvent& event) {
  UpdateCursor();
  event.SetCursor(TrackingCursor());
}

void CChartContainer::OnChartMButtonDown(wxMouseEvent& event) {
  Guarded("middle button", [&] {
    if (!core_.IsInteractive()) return;
    SetFocus();
    ToggleTrackingByButton(core_);
    UpdateCursor();
  });
  event.Skip();
}

void CChartContainer::OnChartMouseWheel(wxMouseEvent& event) {
  bool acted = false;
  Guarded("wheel", [&] {
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || !ChartAcceptsInput(core_)) return;
    FinishInput(
        ChartMouseWheel(core_, event.ShiftDown(), event.ControlDown(), event.GetWheelRotation()));
    acted = event.ShiftDown() || event.ControlDown();
  });
  // A turn the chart used must not also scroll what holds it.
  if (!acted) event.Skip();
}

void CChartContainer::OnChartKeyDown(wxKeyEvent& event) {
  const std::optional<ChartKey> key = ChartKeyFromCode(event.GetKeyCode());
  if (!key || !ChartAcceptsInput(core_)) {
    event.Skip();
    return;
  }
  // A key the chart uses is not passed on: the toolkit would move the focus with the arrows.
  Guarded("key", [&] { FinishInput(ChartKeyDown(core_, *key)); });
}

void CChartContainer::FinishInput(const ChartInputResult& result) {
  if (result.yScaleChanged && core_.Host().HasTrackingWindow()) {
    HideTrackingWindow();
    rescaleTimer_.StartOnce(kRescaleTimerMs);
  }
  if (result.notify) SendChartNotify(*result.notify);
}

void CChartContainer::OnChartTimer(wxTimerEvent& event) {
  Guarded("timer", [&] {
    if (event.GetId() == kRescaleTimerId) {
      rescaleTimer_.Stop();
      core_.RefreshTrackingWindow(true);
    } else if (event.GetId() == kResizeTimerId) {
      resizeTimer_.Stop();
      core_.RefreshDataWindows(-1, false, 0);
    }
  });
}

// ---- Context menu and commands ----

void CChartContainer::OnChartContextMenu(wxContextMenuEvent& event) {
  Guarded("context menu", [&] {
    ChartMenuContext context;
    context.legendVisible = core_.Host().IsLegendWindowVisible();
    context.mouseButtons = MouseButtonCount();
    const ChartMenuEntries entries = BuildChartMenu(core_, context);
    if (entries.empty()) return;
    const std::unique_ptr<wxMenu> menu = CreateChartMenu(entries);
    wxPoint at = event.GetPosition();
    if (at != wxDefaultPosition) at = ScreenToClient(at);
    // The menu is gone before the chosen command runs, as it arrives after the tracking.
    const int id = GetPopupMenuSelectionFromUser(*menu, at);
    if (id == wxID_NONE) return;
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(this);
    ProcessWindowEvent(command);
  });
}

void CChartContainer::OnChartCommand(wxCommandEvent& event) {
  Guarded("command", [&] {
    const int id = event.GetId();
    if (id >= static_cast<int>(ChartExtentCommand::kZoomInX) &&
        id <= static_cast<int>(ChartExtentCommand::kRestoreExtents)) {
      if (const auto notify = core_.RunExtentCommand(static_cast<ChartExtentCommand>(id))) {
        SendChartNotify(*notify);
      }
      return;
    }
    switch (id) {
      case kCmdShowLegend: ToggleLegend(); break;
      case kCmdShowXBoundaries: ToggleAxisXBoundaries(core_); break;
      case kCmdViewChartData: ViewChartData(); break;
      case kCmdSaveCharts: SaveCharts(); break;
      case kCmdSaveChartsAsImage: SaveImage(); break;
      case kCmdPrintCharts: Print(); break;
      case kCmdEnableTracking:
        SendChartNotify(ToggleTracking(core_));
        UpdateCursor();
        break;
      case kCmdTogglePointMarkers:
        if (const auto notify = TogglePointMarkers(core_)) {
          SendChartNotify(*notify);
        } else {
          ShowMessage(kNoMarkerSeriesMessage, wxICON_ERROR);
        }
        break;
      default: event.Skip(); break;
    }
  });
}

void CChartContainer::OnSeriesCommand(wxCommandEvent& event) {
  Guarded("series command", [&] {
    const int index = event.GetId() - kCmdShowSeriesFirst;
    if (const auto notify = ToggleSeriesVisible(core_, index)) SendChartNotify(*notify);
  });
}

void CChartContainer::ShowMessage(const wchar_t* text, long icon) {
  wxMessageBox(wxString(text), MessageCaption(), wxOK | icon, this);
}

}  // namespace chart

// ---- Data windows, data view and output ----

namespace chart {

bool CChartContainer::Host::HasTrackingWindow() const {
  return owner_.dataWindows_.HasTrackingWindow();
}
bool CChartContainer::Host::IsTrackingWindowVisible() const {
  return owner_.dataWindows_.IsTrackingWindowVisible();
}
void CChartContainer::Host::ShowTrackingRows(const ChartLabelRows& rows, Point anchor) {
  owner_.dataWindows_.ShowTrackingRows(rows, anchor);
}
void CChartContainer::Host::DestroyTrackingWindow() { owner_.dataWindows_.DestroyTrackingWindow(); }
bool CChartContainer::Host::HasLegendWindow() const {
  return owner_.dataWindows_.HasLegendWindow();
}
bool CChartContainer::Host::IsLegendWindowVisible() const {
  return owner_.dataWindows_.IsLegendWindowVisible();
}
bool CChartContainer::Host::ShowLegendRows(const ChartLabelRows& rows) {
  return owner_.dataWindows_.ShowLegendRows(rows);
}
void CChartContainer::Host::DestroyLegendWindow() { owner_.dataWindows_.DestroyLegendWindow(); }
bool CChartContainer::Host::HasDataView() const { return owner_.dataView_.HasDataView(); }
void CChartContainer::Host::RefreshChartDataView(int reloadKind) {
  owner_.dataView_.RefreshChartDataView(reloadKind);
}
void CChartContainer::Host::DestroyDataViewWindow() { owner_.dataView_.DestroyDataViewWindow(); }
void CChartContainer::Host::DestroyDataView() { owner_.dataView_.DestroyDataView(); }

bool CChartContainer::HidePopups(bool redraw) {
  bool wasVisible = false;
  if (dataWindows_.IsTrackingWindowVisible()) {
    dataWindows_.TrackingWindow()->Hide();
    if (redraw) RedrawExceptPopups();
    wasVisible = true;
  }
  if (dataWindows_.IsLegendWindowVisible()) {
    dataWindows_.LegendWindow()->Hide();
    wasVisible = true;
  }
  return wasVisible;
}

void CChartContainer::HideTrackingWindow() {
  if (dataWindows_.IsTrackingWindowVisible()) dataWindows_.TrackingWindow()->Hide();
}

void CChartContainer::TrackingClick(int x, int y) { dataWindows_.OnTrackingClick(x, y); }

void CChartContainer::ToggleLegend() {
  if (dataWindows_.IsLegendWindowVisible()) {
    core_.CloseLegendWindow(true);
  } else {
    core_.CreateLegendWindow();
  }
}

void CChartContainer::ViewChartData() {
  const DataViewChoice choice = ChooseDataViewSeries(core_);
  if (choice.message) {
    ShowMessage(choice.message, wxICON_NONE);
    return;
  }
  ShowChartDataView(choice.index, true, true);
}

bool CChartContainer::ShowChartDataView(int index, bool reload, bool redraw) {
  const ChartSeries* series = core_.GetChart(index, false);
  return series && dataView_.ShowChartDataView(*series, reload, redraw);
}

void CChartContainer::SaveCharts() { OnSaveCharts(*this); }
void CChartContainer::SaveImage() { SaveChartsAsImage(*this); }
void CChartContainer::Print() { PrintCharts(*this); }

}  // namespace chart
