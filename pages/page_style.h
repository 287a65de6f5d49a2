// Look that the pedal pages share: the page colours and the three label styles.
#pragma once

#include <wx/colour.h>

namespace pages {

class CFontStatic;

// The orange of every pedal page (red 236, green 110, blue 25).
wxColour PageBackgroundColour();
// The grey behind value labels (red, green, blue 225).
wxColour ValueLabelBackground();

inline constexpr const char* kPageLabelFace = "Arial";
inline constexpr int kPageLabelHeight = 16;

// Black, centred, on grey.
void StyleValueLabel(CFontStatic& label);
// White, right-aligned, on the page.
void StyleCaptionLabel(CFontStatic& label);
// The live percentage: black, right-aligned, on grey.
void StylePercentLabel(CFontStatic& label);

}  // namespace pages
