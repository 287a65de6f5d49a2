// Ids and texts of the curve-shapes menu.
#include "pages/curve_menu.h"

#include <wx/menu.h>
#include <wx/string.h>

namespace pages {

const std::array<CurveMenuItem, kCurveShapeCount> kCurveMenuItems{{
    {CurveShape::kLinear, 32771, "Lineal (por defecto)", 32775, "Lineal (default)"},
    {CurveShape::kSlow, 32772, "Curva lenta", 32776, "Slow Curve"},
    {CurveShape::kVerySlow, 32781, "Curva muy lenta", 32779, "Very Slow Curve"},
    {CurveShape::kFast, 32773, "Curva rápida", 32777, "Fast Curve"},
    {CurveShape::kVeryFast, 32782, "Curva muy rápida", 32780, "Very Fast Curve"},
    {CurveShape::kSFastSlow, 32774, "Curva en S (rápida-lenta)", 32778,
     "S shape Curve (fast-slow)"},
    {CurveShape::kSSlowFast, 32783, "Curva en S (lenta-rápida)", 32784,
     "S shape Curve (slow-fast)"},
}};

std::optional<CurveShape> CurveShapeForMenuId(int id) {
  for (const CurveMenuItem& item : kCurveMenuItems) {
    if (item.spanishId == id || item.englishId == id) return item.shape;
  }
  return std::nullopt;
}

bool CurvesCaptionIsSpanish(const wxString& caption) {
  return caption == wxString::FromUTF8(kCurvesButtonSpanish);
}

std::unique_ptr<wxMenu> CreateCurveMenu(bool spanish) {
  auto menu = std::make_unique<wxMenu>();
  for (const CurveMenuItem& item : kCurveMenuItems) {
    // The toolkit's item constructor rejects ids from 0x7FFF up (a debug check made for 16-bit
    // command ids), though the ids work; so the item is built with a free id and then given
    // its command id, which its activation sends.
    auto* entry = new wxMenuItem(menu.get(), wxID_ANY,
                                 wxString::FromUTF8(spanish ? item.spanishText : item.englishText));
    entry->SetId(spanish ? item.spanishId : item.englishId);
    menu->Append(entry);
  }
  return menu;
}

}  // namespace pages
