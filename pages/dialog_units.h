// Dialog units to pixels, for controls placed at their templates' positions, and the
// templates' dialog font that the units are measured in.
#pragma once

#include <wx/gdicmn.h>

class wxWindow;

namespace pages {

// The templates' dialog font, "MS Shell Dlg" 8.
inline constexpr const char* kDialogFace = "MS Shell Dlg";
inline constexpr int kDialogFontPoints = 8;

// The page templates are laid out in dialog units of an 8-point dialog font, whose base units
// are 6 x 13 pixels at 96 DPI: x px = dlu * 6 / 4, y px = dlu * 13 / 8, scaled by the DPI.
class DialogUnits {
 public:
  explicit DialogUnits(double scale = 1.0) : scale_(scale) {}
  // The scale of the screen that window is on.
  static DialogUnits For(const wxWindow* window);

  int X(int dlu) const;
  int Y(int dlu) const;
  wxPoint Point(int x, int y) const { return {X(x), Y(y)}; }
  wxSize Size(int width, int height) const { return {X(width), Y(height)}; }
  // Corners are mapped, not sizes, so that neighbouring rectangles keep meeting.
  wxRect Rect(int x, int y, int width, int height) const {
    return {Point(x, y), wxPoint(X(x + width) - 1, Y(y + height) - 1)};
  }
  // A length given in pixels at 96 DPI (font heights).
  int Pixels(int pixelsAt96) const;
  double Scale() const { return scale_; }

 private:
  double scale_;
};

// r grown to at least minimum where the toolkit's control needs more room than the template
// gives: centred vertically, and kept at its left edge, or at its right edge with keepRight.
wxRect GrowToFit(const wxRect& r, const wxSize& minimum, bool keepRight);

}  // namespace pages
