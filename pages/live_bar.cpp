// The pages' live output bar.
#include "pages/live_bar.h"

#include <algorithm>

#include <wx/dcclient.h>

namespace pages {

CLiveBar::CLiveBar(wxWindow* parent, wxWindowID id, int range, const wxPoint& pos,
                   const wxSize& size)
    : range_(std::max(range, 1)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
  SetOwnBackgroundColour(TroughColour());
  SetOwnForegroundColour(FillColour());
  Bind(wxEVT_PAINT, &CLiveBar::OnPaint, this);
}

void CLiveBar::SetValue(int value) {
  value = std::clamp(value, 0, range_);
  if (value == value_) return;
  value_ = value;
  Refresh(false);
}

wxRect CLiveBar::FillRect(const wxSize& client, int value, int range) {
  const wxRect inner(1, 1, std::max(client.x - 2, 0), std::max(client.y - 2, 0));
  if (range <= 0) return wxRect(inner.x, inner.GetBottom() + 1, inner.width, 0);
  const int filled = inner.height * std::clamp(value, 0, range) / range;
  return wxRect(inner.x, inner.y + inner.height - filled, inner.width, filled);
}

wxColour CLiveBar::BorderColour() { return wxColour(188, 188, 188); }
wxColour CLiveBar::TroughColour() { return wxColour(230, 230, 230); }
wxColour CLiveBar::FillColour() { return wxColour(6, 176, 37); }

void CLiveBar::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize client = GetClientSize();
  if (client.x <= 0 || client.y <= 0) return;
  dc.SetPen(wxPen(BorderColour()));
  dc.SetBrush(wxBrush(TroughColour()));
  dc.DrawRectangle(0, 0, client.x, client.y);
  const wxRect fill = FillRect(client, value_, range_);
  if (fill.height > 0 && fill.width > 0) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(FillColour()));
    dc.DrawRectangle(fill);
  }
}

}  // namespace pages
