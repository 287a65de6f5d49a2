// Drawing and clicks of the data view's page buttons.
#include "chart/data_view_page_buttons.h"

#include <memory>
#include <numbers>

#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "chart/chart_draw.h"
#include "chart/data_window.h"

namespace chart {
namespace {

constexpr std::uint32_t kOuterColour = 0xFF000000;
constexpr std::uint32_t kHoverColour = 0xFF00AC00;
constexpr std::uint32_t kEnabledColour = 0xFF008000;
constexpr std::uint32_t kDisabledColour = 0xFFD3D3D3;
constexpr float kCornerRadius = 2.0f;
// The inner box sits this far inside the button; the arrow as far inside the inner box.
constexpr float kInset = 4.0f;
constexpr float kInnerPenWidth = 2.0f;
constexpr float kArrowPenWidth = 3.0f;

}  // namespace

void DrawPageArrow(wxGraphicsContext& gc, const RectF& inner, bool bar, bool mirrored) {
  const double x = inner.x, y = inner.y, w = inner.width, h = inner.height;
  const wxGraphicsMatrix saved = gc.GetTransform();
  if (mirrored) {
    gc.Translate(x + w / 2, y + h / 2);
    gc.Rotate(std::numbers::pi);
    gc.Translate(-(x + w / 2), -(y + h / 2));
  }
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(*wxWHITE, kArrowPenWidth).Cap(wxCAP_BUTT)));
  const double tipX = x + kInset, midY = y + h / 2, endX = x + kInset + 0.4 * h;
  const double upperY = y + 3, lowerY = y + h - 3;
  wxGraphicsPath arrow = gc.CreatePath();
  arrow.MoveToPoint(tipX, midY);
  arrow.AddLineToPoint(x + w - kInset, midY);
  arrow.MoveToPoint(tipX, midY);
  arrow.AddLineToPoint(endX, upperY);
  arrow.MoveToPoint(tipX, midY);
  arrow.AddLineToPoint(endX, lowerY);
  if (bar) {
    arrow.MoveToPoint(tipX, upperY - 1);
    arrow.AddLineToPoint(tipX, lowerY + 2);
  }
  gc.StrokePath(arrow);
  gc.SetTransform(saved);
}

CPageCtrl::CPageCtrl(wxWindow* parent, wxWindowID id, std::uint16_t kind, const wxPoint& pos,
                     const wxSize& size)
    : kind_(kind) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  wxControl::Create(parent, id, pos, size, wxBORDER_NONE);
  Bind(wxEVT_PAINT, &CPageCtrl::OnPageCtrlPaint, this);
  Bind(wxEVT_MOTION, &CPageCtrl::OnMouseMove, this);
  Bind(wxEVT_LEAVE_WINDOW, &CPageCtrl::OnMouseLeave, this);
  Bind(wxEVT_LEFT_DOWN, &CPageCtrl::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &CPageCtrl::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &CPageCtrl::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CPageCtrl::OnCaptureLost, this);
}

CPageCtrl::~CPageCtrl() {
  if (HasCapture()) ReleaseMouse();
}

bool CPageCtrl::Enable(bool enable) {
  if (!wxControl::Enable(enable)) return false;
  if (!enable) hovering_ = pressed_ = false;
  Refresh(false);
  return true;
}

void CPageCtrl::OnPageCtrlPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  if (size.x <= 0 || size.y <= 0) return;
  wxBitmap buffer(size.x, size.y, 32);
  {
    wxMemoryDC memory(buffer);
    memory.SetBackground(wxBrush(GetParent() ? GetParent()->GetBackgroundColour() : *wxWHITE));
    memory.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(memory));
    if (gc) {
      const float w = static_cast<float>(size.x), h = static_cast<float>(size.y);
      wxGraphicsPath outer = gc->CreatePath();
      AddRoundedRectPath(outer, {0.0f, 0.0f, w, h}, kCornerRadius);
      gc->SetBrush(gc->CreateBrush(wxBrush(ArgbToColour(kOuterColour))));
      gc->FillPath(outer);

      const RectF inner{kInset, kInset, w - 2 * kInset, h - 2 * kInset};
      const std::uint32_t fill = !IsEnabled() ? kDisabledColour
                                 : hovering_  ? kHoverColour
                                              : kEnabledColour;
      wxGraphicsPath box = gc->CreatePath();
      AddRoundedRectPath(box, inner, kCornerRadius);
      gc->SetBrush(gc->CreateBrush(wxBrush(ArgbToColour(fill))));
      gc->FillPath(box);
      // The outline lies wholly inside the inner box.
      const float half = kInnerPenWidth / 2;
      wxGraphicsPath outline = gc->CreatePath();
      AddRoundedRectPath(outline,
                         {inner.x + half, inner.y + half, inner.width - kInnerPenWidth,
                          inner.height - kInnerPenWidth},
                         kCornerRadius);
      gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(*wxWHITE, kInnerPenWidth)));
      gc->StrokePath(outline);

      DrawPageArrow(*gc, inner, (kind_ & 0x00FF) != 0, (kind_ & 0xFF00) != 0);
    }
  }
  dc.DrawBitmap(buffer, 0, 0);
}

void CPageCtrl::OnMouseMove(wxMouseEvent& event) {
  if (!hovering_ && IsEnabled()) {
    hovering_ = true;
    Refresh(false);
    Update();
  }
  event.Skip();
}

void CPageCtrl::OnMouseLeave(wxMouseEvent& event) {
  if (hovering_) {
    hovering_ = false;
    Refresh(false);
    Update();
  }
  event.Skip();
}

void CPageCtrl::OnLeftDown(wxMouseEvent& event) {
  pressed_ = true;
  if (!HasCapture()) CaptureMouse();
  event.Skip();
}

void CPageCtrl::OnLeftUp(wxMouseEvent& event) {
  const bool click = pressed_ && wxRect(GetClientSize()).Contains(event.GetPosition());
  pressed_ = false;
  if (HasCapture()) ReleaseMouse();
  if (click && IsEnabled()) {
    wxCommandEvent command(wxEVT_BUTTON, GetId());
    command.SetEventObject(this);
    ProcessWindowEvent(command);
  }
  event.Skip();
}

void CPageCtrl::OnCaptureLost(wxMouseCaptureLostEvent&) { pressed_ = false; }

}  // namespace chart
