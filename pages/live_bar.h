// The pages' live output bar: a vertical bar that fills its whole template rectangle from the
// bottom, inside a one-pixel border.
#pragma once

#include <wx/colour.h>
#include <wx/control.h>

namespace pages {

// GTK's progress bar keeps its theme width (a few pixels at the edge of its box) and draws no
// border, so the bar is drawn here. Its colours are fixed at construction: a repaint asks no
// theme.
class CLiveBar : public wxControl {
 public:
  CLiveBar(wxWindow* parent, wxWindowID id, int range, const wxPoint& pos, const wxSize& size);

  int GetRange() const { return range_; }
  int GetValue() const { return value_; }
  // Limited to 0..range; repaints only when the shown value changes.
  void SetValue(int value);

  // The filled part's rectangle for a client area and a value: inside the border, from the
  // bottom up, value / range of the inner height.
  static wxRect FillRect(const wxSize& client, int value, int range);

  static wxColour BorderColour();
  static wxColour TroughColour();
  static wxColour FillColour();

 protected:
  wxSize DoGetBestSize() const override { return GetSize(); }

 private:
  void OnPaint(wxPaintEvent& event);

  int range_;
  int value_ = 0;
};

}  // namespace pages
