// Dialog-unit conversion at the screen's DPI.
#include "pages/dialog_units.h"

#include <cmath>

#include <wx/window.h>

namespace pages {

namespace {
constexpr double kBaseUnitX = 6.0;   // pixels per 4 horizontal dialog units at 96 DPI
constexpr double kBaseUnitY = 13.0;  // pixels per 8 vertical dialog units at 96 DPI
constexpr double kReferenceDpi = 96.0;
}  // namespace

DialogUnits DialogUnits::For(const wxWindow* window) {
  const int dpi = window ? window->GetDPI().y : 0;
  return DialogUnits(dpi > 0 ? dpi / kReferenceDpi : 1.0);
}

int DialogUnits::X(int dlu) const {
  return static_cast<int>(std::lround(dlu * kBaseUnitX * scale_ / 4.0));
}

int DialogUnits::Y(int dlu) const {
  return static_cast<int>(std::lround(dlu * kBaseUnitY * scale_ / 8.0));
}

int DialogUnits::Pixels(int pixelsAt96) const {
  return static_cast<int>(std::lround(pixelsAt96 * scale_));
}

wxRect GrowToFit(const wxRect& r, const wxSize& minimum, bool keepRight) {
  wxRect grown = r;
  if (minimum.x > r.width) {
    grown.width = minimum.x;
    if (keepRight) grown.x = r.GetRight() + 1 - minimum.x;
  }
  if (minimum.y > r.height) {
    grown.height = minimum.y;
    grown.y = r.y - (minimum.y - r.height) / 2;
  }
  return grown;
}

}  // namespace pages
