// Shared page look.
#include "pages/page_style.h"

#include "pages/font_static.h"

namespace pages {

wxColour PageBackgroundColour() { return wxColour(236, 110, 25); }

wxColour ValueLabelBackground() { return wxColour(225, 225, 225); }

void StyleValueLabel(CFontStatic& label) {
  label.SetFontStyle(kPageLabelFace, kPageLabelHeight, *wxBLACK, kFontAlignCentre);
  label.SetFillBackground(ValueLabelBackground());
}

void StyleCaptionLabel(CFontStatic& label) {
  label.SetFontStyle(kPageLabelFace, kPageLabelHeight, *wxWHITE, kFontAlignRight);
}

void StylePercentLabel(CFontStatic& label) {
  label.SetFontStyle(kPageLabelFace, kPageLabelHeight, *wxBLACK, kFontAlignRight);
  label.SetFillBackground(ValueLabelBackground());
}

}  // namespace pages
