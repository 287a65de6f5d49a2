// The data window: measuring, placing and drawing its rows, and its rounded box.
#include "chart/data_window.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include "chart/chart_container.h"
#include "chart/chart_draw.h"
#include "chart/chart_stroke.h"

namespace chart {
namespace {

// "Verdana" 7 pt bold for every text of the box.
constexpr double kDataWndFontPoints = 7.0;
// Corner radius of the box.
constexpr float kBoxRadius = 2.0f;
// Plus marks of a marks-only series: centres from the row's left, arm length either side.
constexpr float kPlusCentres[] = {6.0f, 13.0f, 20.0f};
constexpr float kPlusArm = 3.0f;

wxFont DataWndFont() { return ChartFont(kDataWndFontPoints, kScreenPixelsPerInch, true); }

SizeF Measure(wxGraphicsContext& gc, const std::wstring& text) {
  // An empty text takes no room at all, so an empty column can vanish.
  if (text.empty()) return {};
  double w = 0, h = 0;
  gc.GetTextExtent(text, &w, &h);
  return {static_cast<float>(w), static_cast<float>(h)};
}

// The window border's size, one pixel where the system does not say.
Point BorderSize(const wxWindow* window) {
  const int x = wxSystemSettings::GetMetric(wxSYS_BORDER_X, window);
  const int y = wxSystemSettings::GetMetric(wxSYS_BORDER_Y, window);
  return {x > 0 ? x : 1, y > 0 ? y : 1};
}

IntRect ClientRect(const wxWindow& container) {
  const wxSize size = container.GetClientSize();
  return {0, 0, size.x, size.y};
}

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

void AddRoundedRectPath(wxGraphicsPath& path, const RectF& rect, float radius) {
  const double x = rect.x, y = rect.y, w = rect.width, h = rect.height, r = radius;
  // Arcs run clockwise on screen (Y down); each arc joins the line before it.
  path.MoveToPoint(x, y + r);
  path.AddArc(x + r, y + r, r, Radians(180), Radians(270), true);
  path.AddLineToPoint(x + w - r, y);
  path.AddArc(x + w - r, y + r, r, Radians(270), Radians(360), true);
  path.AddLineToPoint(x + w, y + h - r);
  path.AddArc(x + w - r, y + h - r, r, Radians(0), Radians(90), true);
  path.AddLineToPoint(x + r, y + h);
  path.AddArc(x + r, y + h - r, r, Radians(90), Radians(180), true);
  path.AddLineToPoint(x, y + r);
}

CDataWnd::CDataWnd(std::uint32_t backgroundColour, std::uint32_t borderColour)
    : backgroundColour_(backgroundColour), borderColour_(borderColour) {}

CDataWnd::~CDataWnd() = default;

bool CDataWnd::CreateDataWindow(wxWindow& container, int x, int y, bool trackingMode) {
  (void)y;
  if (!GetHandle()) {
    // Created hidden: ShowDataWindow sizes and shows it.
    Hide();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(&container, wxID_ANY, wxPoint(0, 0), wxSize(1, 1), wxBORDER_NONE)) {
      return false;
    }
    Bind(wxEVT_PAINT, &CDataWnd::OnDataWndPaint, this);
    for (const auto& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
          wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL}) {
      Bind(type, &CDataWnd::ForwardMouse, this);
    }
  }
  trackingMode_ = trackingMode;
  MeasureDataWnd();
  windowRect_ = trackingMode ? PlaceTrackingWindow(layout_.content, ClientRect(container), x)
                             : PlaceLegendWindow(layout_.content, ClientRect(container));
  return true;
}

bool CDataWnd::ShowDataWindow() {
  if (!GetHandle()) return false;
  if (rows_.empty()) {
    Hide();
    return true;
  }
  SetSize(windowRect_.left, windowRect_.top, windowRect_.Width(), windowRect_.Height());
  Refresh(false);
  Show();
  return true;
}

bool CDataWnd::UpdateDataWindow(const ChartLabelRows& rows, wxWindow& container, int x, int y) {
  (void)y;
  if (!GetHandle()) return false;
  if (rows.empty()) {
    Hide();
    return false;
  }
  if (&rows != &rows_) rows_ = rows;
  MeasureDataWnd();
  windowRect_ = PlaceTrackingWindow(layout_.content, ClientRect(container), x);
  return ShowDataWindow();
}

void CDataWnd::MeasureDataWnd() {
  std::vector<DataWndRowSizes> sizes;
  float colon = 0.0f;
  if (!rows_.empty()) {
    std::unique_ptr<wxGraphicsContext> gc(
        wxGraphicsRenderer::GetDefaultRenderer()->CreateMeasuringContext());
    if (gc) {
      gc->SetFont(DataWndFont(), *wxBLACK);
      sizes.reserve(rows_.size());
      for (const auto& [index, row] : rows_) {
        (void)index;
        sizes.push_back({Measure(*gc, row.seriesName), Measure(*gc, row.nameX),
                         Measure(*gc, row.textX), Measure(*gc, row.nameY),
                         Measure(*gc, row.textY)});
      }
      colon = Measure(*gc, L": ").width;
    }
  }
  layout_ = LayoutDataWnd(sizes, trackingMode_, colon, BorderSize(this));
}

void CDataWnd::DrawBox(wxGraphicsContext& gc, const RectF& box) const {
  wxGraphicsPath path = gc.CreatePath();
  AddRoundedRectPath(path, box, kBoxRadius);
  gc.SetBrush(gc.CreateBrush(wxBrush(ArgbToColour(backgroundColour_))));
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(ArgbToColour(borderColour_), 1.0)));
  gc.FillPath(path);
  gc.StrokePath(path);
}

bool CDataWnd::DrawDataWndRows(wxGraphicsContext& gc, float dx, float dy) const {
  if (rows_.empty()) return false;
  const RectF& row = layout_.row;
  // Rows that measure nothing cannot be laid out; the box stays empty.
  if (!(row.width > kTinySize) || !(row.height > kTinySize)) return false;
  gc.SetFont(DataWndFont(), *wxBLACK);
  RectF at{row.x + dx, row.y + kDataWndSpacing + dy, row.width, row.height};
  for (const auto& [index, label] : rows_) {
    (void)index;
    DrawDataWndRow(gc, label, at);
    at.y += row.height;
  }
  return true;
}

void CDataWnd::DrawDataWndRow(wxGraphicsContext& gc, const ChartLabelRow& row,
                              const RectF& at) const {
  const wxColour colour = ArgbToColour(row.colour);
  const float middle = at.y + at.height / 2.0f;
  wxGraphicsPath sample = gc.CreatePath();
  if (row.dashStyle == kDashMarksOnly) {
    for (const float cx : kPlusCentres) {
      sample.MoveToPoint(at.x + cx - kPlusArm, middle);
      sample.AddLineToPoint(at.x + cx + kPlusArm, middle);
      sample.MoveToPoint(at.x + cx, middle - kPlusArm);
      sample.AddLineToPoint(at.x + cx, middle + kPlusArm);
    }
    gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(colour, 1.0).Cap(wxCAP_BUTT)));
  } else {
    const float start = at.x + kDataWndSpacing;
    const PointF line[] = {{start, middle}, {start + kDataWndSampleLength, middle}};
    const std::span<const float> pattern = DashPattern(row.dashStyle);
    if (pattern.empty()) {
      sample.MoveToPoint(line[0].x, line[0].y);
      sample.AddLineToPoint(line[1].x, line[1].y);
    } else {
      std::vector<float> lengths(pattern.begin(), pattern.end());
      for (float& length : lengths) length *= row.penWidth;
      Polylines dashes;
      AppendDashes(line, lengths, 0.0f, dashes);
      for (std::size_t f = 0; f < dashes.FigureCount(); ++f) {
        const std::span<const PointF> dash = dashes.Figure(f);
        if (dash.size() < 2) continue;
        sample.MoveToPoint(dash.front().x, dash.front().y);
        sample.AddLineToPoint(dash.back().x, dash.back().y);
      }
    }
    gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(colour, row.penWidth).Cap(wxCAP_BUTT)));
  }
  gc.StrokePath(sample);

  gc.SetFont(DataWndFont(), colour);
  const auto text = [&](const std::wstring& value, int column) {
    gc.DrawText(value, layout_.columns[column].x + at.x, at.y);
  };
  text(trackingMode_ ? row.seriesName + L":" : row.seriesName, kDataWndName);
  if (!trackingMode_) return;
  if (!row.nameX.empty()) text(row.nameX, kDataWndNameX);
  text(row.textX, kDataWndTextX);
  if (!row.nameY.empty()) text(row.nameY, kDataWndNameY);
  text(row.textY, kDataWndTextY);
}

void CDataWnd::DrawDataWndTo(wxGraphicsContext& gc, float dx, float dy) const {
  const float w = static_cast<float>(windowRect_.Width());
  const float h = static_cast<float>(windowRect_.Height());
  DrawBox(gc, {dx, dy, w - 1.0f, h - 1.0f});
  DrawDataWndRows(gc, dx, dy);
}

void CDataWnd::OnDataWndPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  if (size.x <= 0 || size.y <= 0) return;
  wxBitmap buffer(size.x, size.y, 32);
  {
    wxMemoryDC memory(buffer);
    // The corners outside the rounded box show the chart's background.
    wxColour corner = GetParent() ? GetParent()->GetBackgroundColour() : *wxWHITE;
    if (const auto* chart = dynamic_cast<const CChartContainer*>(GetParent())) {
      corner = ArgbToColour(chart->Core().Colour(ChartColourRole::kBackground));
    }
    memory.SetBackground(wxBrush(corner));
    memory.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(memory));
    if (gc) {
      PrepareChartGraphics(*gc);
      DrawBox(*gc,
              {0.0f, 0.0f, static_cast<float>(size.x) - 1.0f, static_cast<float>(size.y) - 1.0f});
      DrawDataWndRows(*gc, 0.0f, 0.0f);
    }
  }
  dc.DrawBitmap(buffer, 0, 0);
}

void CDataWnd::ForwardMouse(wxMouseEvent& event) {
  wxWindow* container = GetParent();
  if (!container) return;
  auto* forwarded = static_cast<wxMouseEvent*>(event.Clone());
  forwarded->SetPosition(event.GetPosition() + GetPosition());
  forwarded->SetEventObject(container);
  forwarded->SetId(container->GetId());
  // Queued, not processed here: the chart's handling may close this very window.
  container->GetEventHandler()->QueueEvent(forwarded);
  // The pointer looks as it does over the chart (a cross while tracking).
  if (event.GetEventType() == wxEVT_MOTION) SetCursor(container->GetCursor());
}

}  // namespace chart
