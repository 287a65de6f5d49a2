// CPageCtrl: the arrow buttons of the chart data view (first, previous, next and last page),
// drawn as a green rounded box with a white arrow, lighter while the pointer is over it.
#pragma once

#include <cstdint>

#include <wx/control.h>
#include <wx/graphics.h>

#include "chart/core/geometry.h"

namespace chart {

// Low byte: a bar at the arrow's tip; high byte: the arrow points right.
enum PageCtrlKind : std::uint16_t {
  kPagePrevious = 0x000,
  kPageFirst = 0x001,
  kPageNext = 0x100,
  kPageLast = 0x101,
};

// The arrow in the button's inner rectangle: a shaft and two strokes pointing left (turned
// half round about the centre when mirrored), with a bar at the tip for bar.
void DrawPageArrow(wxGraphicsContext& gc, const RectF& inner, bool bar, bool mirrored);

// A click (button down and up over it) sends wxEVT_BUTTON with the control's id.
class CPageCtrl : public wxControl {
 public:
  CPageCtrl(wxWindow* parent, wxWindowID id, std::uint16_t kind, const wxPoint& pos,
            const wxSize& size);
  ~CPageCtrl() override;

  std::uint16_t Kind() const { return kind_; }
  bool IsHovering() const { return hovering_; }
  // Repaints when the state changes: a disabled button is grey.
  bool Enable(bool enable = true) override;

 private:
  void OnPageCtrlPaint(wxPaintEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnMouseLeave(wxMouseEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);

  std::uint16_t kind_;
  bool hovering_ = false;
  bool pressed_ = false;
};

}  // namespace chart
