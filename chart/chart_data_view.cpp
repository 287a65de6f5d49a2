// The chart data view window: table painting in document units, clicks, paging, closing, and
// the container's slot that opens, refreshes and destroys the view.
#include "chart/chart_data_view.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcgraph.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/graphics.h>
#include <wx/msgdlg.h>

#include "chart/chart_container.h"
#include "chart/chart_draw.h"

namespace chart {
namespace {

// Document units per screen pixel.
constexpr float kScale = kDocumentUnitsPerInch / static_cast<float>(kScreenPixelsPerInch);
constexpr double kTablePoints = 8.0;
constexpr double kTitlePoints = 10.0;
constexpr double kNoticePoints = 16.0;
constexpr std::uint32_t kBackgroundColour = 0xFFFFFFFF;
constexpr std::uint32_t kSelectionColour = 0x40FFFF00;
constexpr std::uint32_t kInkColour = 0xFF000000;
constexpr std::uint32_t kNoticeColour = 0xFFFF0000;
// A series this long shows "Calculating Layout" while its table is laid out.
constexpr std::size_t kLongSeries = 10001;
// Page buttons: a row 32 px high, 52 px above the client's bottom, centred.
constexpr int kButtonRowBottom = 20;
constexpr int kButtonHeight = 32;
constexpr int kButtonRowHalfWidth = 288;

wxFont TableFont() { return ChartFont(kTablePoints, kDocumentUnitsPerInch, true); }
wxFont TitleFont() { return ChartFont(kTitlePoints, kDocumentUnitsPerInch, true); }

// Text sizes in document units, measured on a graphics context with the view's fonts.
class GcMeasure : public DataViewMeasure {
 public:
  GcMeasure() : gc_(wxGraphicsRenderer::GetDefaultRenderer()->CreateMeasuringContext()) {
    if (!gc_) return;
    gc_->SetFont(TitleFont(), *wxBLACK);
    titleHeight_ = LineHeight();
    gc_->SetFont(TableFont(), *wxBLACK);
    tableHeight_ = LineHeight();
  }
  float TableTextWidth(const std::wstring& text) const override {
    if (!gc_ || text.empty()) return 0.0f;
    double w = 0, h = 0;
    gc_->GetTextExtent(text, &w, &h);
    return static_cast<float>(w);
  }
  float TableFontHeight() const override { return tableHeight_; }
  float TitleFontHeight() const override { return titleHeight_; }

 private:
  float LineHeight() const {
    double w = 0, h = 0;
    gc_->GetTextExtent(L"Xg", &w, &h);
    return static_cast<float>(h);
  }
  std::unique_ptr<wxGraphicsContext> gc_;
  float titleHeight_ = 0.0f;
  float tableHeight_ = 0.0f;
};

int Round(float v) { return static_cast<int>(std::lround(v)); }

// A rectangle on dc with its edges rounded to whole units, so neighbours share edges.
void DrawRect(wxDC& dc, const RectF& r) {
  const int x0 = Round(r.x), y0 = Round(r.y);
  dc.DrawRectangle(x0, y0, Round(r.x + r.width) - x0, Round(r.y + r.height) - y0);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(L'\n', start);
    std::wstring line = text.substr(start, end == std::wstring::npos ? end : end - start);
    // Trailing blanks take no room in a right-aligned line.
    line.erase(line.find_last_not_of(L' ') + 1);
    lines.push_back(std::move(line));
    if (end == std::wstring::npos) return lines;
    start = end + 1;
  }
}

// text right-aligned in rect less inset on the right, centred vertically.
void DrawRightAligned(wxDC& dc, const std::wstring& text, const RectF& rect, float inset) {
  if (text.empty()) return;
  const wxSize size = dc.GetTextExtent(text);
  dc.DrawText(text, Round(rect.x + rect.width - inset - static_cast<float>(size.x)),
              Round(rect.y + (rect.height - static_cast<float>(size.y)) / 2));
}

void DrawCell(wxDC& dc, const RectF& cell, const std::wstring& text) {
  DrawRect(dc, cell);
  DrawRightAligned(dc, text, cell, 6.0f * kScale);
}

RectF Moved(const RectF& r, float dx, float dy) { return {r.x + dx, r.y + dy, r.width, r.height}; }

wxString Caption() { return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(); }

IntRect ToIntRect(const wxRect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

}  // namespace

// ---- The view ----

CChartDataView::CChartDataView(CChartContainer& container)
    : container_(container), model_(static_cast<float>(kScreenPixelsPerInch)) {}

CChartDataView::~CChartDataView() = default;

bool CChartDataView::CreateDataView(const wxRect& rect) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!wxFrame::Create(nullptr, wxID_ANY, "Chart Data View", rect.GetPosition(), rect.GetSize(),
                       wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX)) {
    return false;
  }
  // The page buttons' corners show this.
  SetBackgroundColour(ArgbToColour(kBackgroundColour));
  Bind(wxEVT_PAINT, &CChartDataView::OnDataViewPaint, this);
  Bind(wxEVT_LEFT_DOWN, &CChartDataView::OnDataViewLButtonDown, this);
  Bind(wxEVT_RIGHT_DOWN, &CChartDataView::OnDataViewRButtonDown, this);
  Bind(wxEVT_CLOSE_WINDOW, &CChartDataView::OnDataViewClosing, this);
  Show();
  return true;
}

SizeF CChartDataView::AreaInDocumentUnits() const {
  const wxSize size = GetClientSize();
  return {static_cast<float>(size.x) * kScale, static_cast<float>(size.y) * kScale};
}

void CChartDataView::ShowLayoutNotice(const ChartSeries& series) {
  if (series.Index() == model_.SeriesIndex() || series.Points().size() < kLongSeries) return;
  notice_ = true;
  Refresh(false);
  Update();
}

void CChartDataView::LoadDataView(const ChartSeries& series, bool clearSelection) {
  ChartContainerCore& core = container_.Core();
  const bool dropped = model_.LoadDataView(core, series, clearSelection);
  model_.LayoutDataViewPages(AreaInDocumentUnits(), GcMeasure());
  model_.BuildDataViewTitle(FormatPageDate());
  notice_ = false;
  if (dropped) core.SyncDataViewSelection(model_.SeriesIndex(), model_.SelectedCells());
  CreateDataViewButtons();
  SetButtonStates();
  if (IsShown()) RefreshAll();
}

void CChartDataView::UpdateDataView(const ChartSeries& series, int kind) {
  if (!GetHandle()) return;
  ChartContainerCore& core = container_.Core();
  const DataViewUpdate update =
      model_.UpdateDataView(core, series, kind, AreaInDocumentUnits(), GcMeasure());
  if (!update.handled) return;
  if (update.close) {
    DataViewClosed();
    return;
  }
  if (IsIconized()) Iconize(false);
  model_.BuildDataViewTitle(FormatPageDate());
  if (update.syncSelection)
    core.SyncDataViewSelection(model_.SeriesIndex(), model_.SelectedCells());
  SetButtonStates();
  // New texts show at once, whatever the kind of change.
  if (IsShown()) RefreshAll();
}

void CChartDataView::CreateDataViewButtons() {
  if (first_) return;
  const wxSize client = GetClientSize();
  const int left = client.x / 2 - kButtonRowHalfWidth;
  const int top = client.y - kButtonRowBottom - kButtonHeight;
  const wxSize arrow(32, kButtonHeight), wide(96, kButtonHeight);
  // Window ids stop below the command numbers: the buttons take free ids, bound one by one.
  print_ = new wxButton(this, wxID_ANY, "Print", wxPoint(left, top), wide);
  first_ = new CPageCtrl(this, wxID_ANY, kPageFirst, wxPoint(left + 160, top), arrow);
  previous_ = new CPageCtrl(this, wxID_ANY, kPagePrevious, wxPoint(left + 224, top), arrow);
  next_ = new CPageCtrl(this, wxID_ANY, kPageNext, wxPoint(left + 320, top), arrow);
  last_ = new CPageCtrl(this, wxID_ANY, kPageLast, wxPoint(left + 384, top), arrow);
  close_ = new wxButton(this, wxID_ANY, "Close", wxPoint(left + 480, top), wide);
  close_->SetDefault();
  Bind(wxEVT_BUTTON, &CChartDataView::OnFirstPage, this, first_->GetId());
  Bind(wxEVT_BUTTON, &CChartDataView::OnPrevPage, this, previous_->GetId());
  Bind(wxEVT_BUTTON, &CChartDataView::OnNextPage, this, next_->GetId());
  Bind(wxEVT_BUTTON, &CChartDataView::OnLastPage, this, last_->GetId());
  Bind(wxEVT_BUTTON, &CChartDataView::OnDataViewClose, this, close_->GetId());
  Bind(wxEVT_BUTTON, &CChartDataView::OnDataViewPrint, this, print_->GetId());
}

CPageCtrl* CChartDataView::PageButton(DataViewCommand id) const {
  switch (id) {
    case kDataViewFirstPage: return first_;
    case kDataViewPrevPage: return previous_;
    case kDataViewNextPage: return next_;
    case kDataViewLastPage: return last_;
    default: return nullptr;
  }
}

void CChartDataView::SetButtonStates() {
  if (!first_) return;
  const PageButtonStates states = model_.ButtonStates();
  first_->Enable(states.first);
  previous_->Enable(states.previous);
  next_->Enable(states.next);
  last_->Enable(states.last);
}

void CChartDataView::RefreshAll() {
  Refresh(false);
  Update();
}

// ---- Drawing ----

void CChartDataView::DrawPageHeader(wxDC& dc, float xOffset, int pageNumber) const {
  dc.SetFont(TitleFont());
  dc.SetTextForeground(ArgbToColour(kInkColour));
  const RectF header = Moved(model_.Layout().header, xOffset, 0.0f);
  const std::vector<std::wstring> lines = Lines(model_.Title());
  std::vector<wxSize> sizes;
  int total = 0;
  for (const std::wstring& line : lines) {
    sizes.push_back(dc.GetTextExtent(line.empty() ? std::wstring(L" ") : line));
    total += sizes.back().y;
  }
  float y = header.y + (header.height - static_cast<float>(total)) / 2;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    dc.DrawText(lines[i], Round(header.Right() - static_cast<float>(sizes[i].x)), Round(y));
    y += static_cast<float>(sizes[i].y);
  }
  const std::wstring page =
      L"Page " + std::to_wstring(pageNumber) + L" of " + std::to_wstring(model_.PageCount());
  const wxSize size = dc.GetTextExtent(page);
  dc.DrawText(page, Round(header.x),
              Round(header.y + (header.height - static_cast<float>(size.y)) / 2));
}

void CChartDataView::DrawColumnHeaders(wxDC& dc, float x, float y) const {
  const DataViewPageLayout& l = model_.Layout();
  dc.SetFont(TableFont());
  dc.SetTextForeground(ArgbToColour(kInkColour));
  dc.SetPen(wxPen(ArgbToColour(kInkColour), Round(l.scale)));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  for (std::uint32_t i = 0; i < l.groupsPerPage; ++i) {
    const float gx = x + static_cast<float>(i) * l.stride;
    DrawCell(dc, Moved(l.indexCell, gx, y), L"");
    DrawCell(dc, Moved(l.xCell, gx, y), model_.HeaderX());
    DrawCell(dc, Moved(l.yCell, gx, y), model_.HeaderY());
  }
}

std::uint32_t CChartDataView::DrawPageCells(wxDC& dc, std::uint32_t first, float x, float y) const {
  const DataViewPageLayout& l = model_.Layout();
  dc.SetFont(TableFont());
  dc.SetTextForeground(ArgbToColour(kInkColour));
  dc.SetPen(wxPen(ArgbToColour(kInkColour), Round(l.scale)));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  std::uint32_t index = first;
  const std::vector<std::uint32_t> counts = model_.GroupRowCounts(first);
  for (std::uint32_t i = 0; i < counts.size(); ++i) {
    const float gx = x + static_cast<float>(i) * l.stride;
    for (std::uint32_t j = 0; j < counts[i]; ++j, ++index) {
      const float top = y + static_cast<float>(j + 1) * l.rowHeight;
      DrawCell(dc, Moved(l.indexCell, gx, top), FormatIndexText(index));
      DrawCell(dc, Moved(l.xCell, gx, top), model_.TextX(index));
      DrawCell(dc, Moved(l.yCell, gx, top), model_.TextY(index));
    }
  }
  return index;
}

void CChartDataView::DrawSelectedCells(wxDC& dc) const {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(ArgbToColour(kSelectionColour)));
  for (const auto& [index, point] : model_.SelectedCells()) {
    (void)point;
    if (const auto rect = model_.GetCellRect(static_cast<std::uint32_t>(index))) {
      DrawRect(dc, *rect);
    }
  }
}

void CChartDataView::OnDataViewPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  if (size.x <= 0 || size.y <= 0) return;
  wxBitmap buffer(size.x, size.y, 32);
  {
    wxMemoryDC memory(buffer);
    memory.SetBackground(wxBrush(ArgbToColour(kBackgroundColour)));
    memory.Clear();
    wxGCDC page(memory);
    if (notice_) {
      page.SetFont(ChartFont(kNoticePoints, kScreenPixelsPerInch, true));
      page.SetTextForeground(ArgbToColour(kNoticeColour));
      const wxString notice = "Calculating Layout";
      const wxSize text = page.GetTextExtent(notice);
      page.DrawText(notice, (size.x - text.x) / 2, (size.y - text.y) / 2);
    } else if (model_.SeriesIndex() != -1) {
      // The page is laid out and drawn in document units, shrunk onto the screen.
      page.SetUserScale(1.0 / kScale, 1.0 / kScale);
      const SizeF area = AreaInDocumentUnits();
      page.SetPen(wxPen(ArgbToColour(kInkColour), 1));
      page.SetBrush(wxBrush(ArgbToColour(kBackgroundColour)));
      page.DrawRectangle(0, 0, Round(area.width - 2 * kScale), Round(area.height - 2 * kScale));
      const DataViewPageLayout& l = model_.Layout();
      DrawPageHeader(page, 0.0f, model_.CurrentPage() + 1);
      DrawColumnHeaders(page, l.originX, l.originY);
      DrawPageCells(page, static_cast<std::uint32_t>(model_.CurrentPage()) * l.pointsPerPage,
                    l.originX, l.originY);
      DrawSelectedCells(page);
    }
  }
  dc.DrawBitmap(buffer, 0, 0);
}

// ---- Input ----

void CChartDataView::OnDataViewLButtonDown(wxMouseEvent& event) {
  const wxPoint at = event.GetPosition();
  const auto hit =
      model_.HitTestCell({static_cast<float>(at.x) * kScale, static_cast<float>(at.y) * kScale});
  if (hit) {
    const bool selected = model_.ToggleCell(hit->index);
    const ChartPoint& p = model_.Points()[hit->index];
    container_.Core().SyncDataViewCell(model_.SeriesIndex(), static_cast<int>(hit->index), p.x, p.y,
                                       selected);
    const int left = std::max(0, static_cast<int>(std::floor(hit->row.x / kScale)));
    const int top = std::max(0, static_cast<int>(std::floor(hit->row.y / kScale)));
    const int right = static_cast<int>(std::ceil(hit->row.Right() / kScale));
    const int bottom = static_cast<int>(std::ceil(hit->row.Bottom() / kScale));
    RefreshRect(wxRect(left, top, right - left, bottom - top), false);
    Update();
  }
  event.Skip();
}

void CChartDataView::OnDataViewRButtonDown(wxMouseEvent& event) {
  if (!model_.SelectedCells().empty() &&
      wxMessageBox("Are you going to deselect all selected cells?(YES/NO", Caption(),
                   wxYES_NO | wxICON_QUESTION, this) == wxYES) {
    model_.ClearSelection();
    container_.Core().SyncDataViewCell(-1, 0, 0.0, 0.0, false);
    RefreshAll();
  }
  event.Skip();
}

void CChartDataView::TurnPage(bool (ChartDataViewModel::*turn)()) {
  if (!(model_.*turn)()) return;
  SetButtonStates();
  RefreshAll();
}

void CChartDataView::OnFirstPage(wxCommandEvent&) { TurnPage(&ChartDataViewModel::OnFirstPage); }
void CChartDataView::OnPrevPage(wxCommandEvent&) { TurnPage(&ChartDataViewModel::OnPrevPage); }
void CChartDataView::OnNextPage(wxCommandEvent&) { TurnPage(&ChartDataViewModel::OnNextPage); }
void CChartDataView::OnLastPage(wxCommandEvent&) { TurnPage(&ChartDataViewModel::OnLastPage); }

void CChartDataView::OnDataViewClose(wxCommandEvent&) {
  model_.Close();
  DataViewClosed();
}

void CChartDataView::OnDataViewClosing(wxCloseEvent&) {
  // No default handling: the container destroys the view.
  DataViewClosed();
}

void CChartDataView::DataViewClosed() {
  // A container that does not hold this view cannot close it: the view goes by itself, so
  // that no window is left that cannot be closed.
  if (!container_.Core().DataViewClosed()) Destroy();
}

// ---- The container's slot ----

ChartDataViewSlot::ChartDataViewSlot(CChartContainer& container) : container_(container) {}

ChartDataViewSlot::~ChartDataViewSlot() { DestroyDataView(); }

void ChartDataViewSlot::DestroyDataView() {
  CChartDataView* view = view_.get();
  if (!view) return;
  view_.Release();
  view->Destroy();
}

bool ChartDataViewSlot::ShowChartDataView(const ChartSeries& series, bool reload, bool redraw) {
  if (!view_) {
    const wxWindow* parent = container_.GetParent() ? container_.GetParent() : &container_;
    const wxDisplay display(&container_);
    const IntRect placed =
        PlaceDataView(ToIntRect(parent->GetScreenRect()), ToIntRect(display.GetClientArea()));
    auto* view = new CChartDataView(container_);
    if (!view->CreateDataView(wxRect(placed.left, placed.top, placed.Width(), placed.Height()))) {
      delete view;
      return false;
    }
    view_ = view;
  } else if (view_->IsIconized()) {
    view_->Iconize(false);
  }
  view_->ShowLayoutNotice(series);
  view_->LoadDataView(series, reload);

  ChartContainerCore& core = container_.Core();
  if (series.Index() != core.DataViewIndex()) {
    core.SetDataViewIndex(series.Index());
  } else if (!reload) {
    return true;
  }
  core.ClearDataViewPoints();
  if (redraw) container_.RedrawExceptPopups();
  return true;
}

void ChartDataViewSlot::RefreshChartDataView(int reloadKind) {
  if (!view_) return;
  const ChartContainerCore& core = container_.Core();
  if (core.DataViewIndex() == -1) return;
  if (const ChartSeries* series = core.GetChart(core.DataViewIndex(), false)) {
    view_->UpdateDataView(*series, reloadKind);
  }
}

}  // namespace chart
