// The curve-shapes menu that both pedal pages pop up from their "Curvas"/"Curves" button:
// its seven shapes, the Spanish and English item ids and texts.
#pragma once

#include <array>
#include <memory>
#include <optional>

class wxMenu;
class wxString;

namespace pages {

// In menu order. Each page keeps its own table of the points of a shape.
enum class CurveShape { kLinear, kSlow, kVerySlow, kFast, kVeryFast, kSFastSlow, kSSlowFast };
inline constexpr std::size_t kCurveShapeCount = 7;

struct CurveMenuItem {
  CurveShape shape;
  int spanishId;
  const char* spanishText;  // UTF-8
  int englishId;
  const char* englishText;
};

// Both ids of a shape lead to the same shape.
extern const std::array<CurveMenuItem, kCurveShapeCount> kCurveMenuItems;

// The range that holds every item id, for binding one menu handler.
inline constexpr int kCurveMenuFirstId = 32771;
inline constexpr int kCurveMenuLastId = 32784;

// The Spanish caption of the curves button; any other caption opens the English items.
inline constexpr const char* kCurvesButtonSpanish = "Curvas";
inline constexpr const char* kCurvesButtonEnglish = "Curves";

std::optional<CurveShape> CurveShapeForMenuId(int id);

// True when the button caption is exactly "Curvas" (case counts): the pages tell the language
// apart by their button's text.
bool CurvesCaptionIsSpanish(const wxString& caption);

// The pop-up of one language, items in menu order with their ids.
std::unique_ptr<wxMenu> CreateCurveMenu(bool spanish);

}  // namespace pages
