// The throttle's 20-point curve: its inputs, evaluation against a live input, the 22 edit rows
// with their step rules and label formats, and the seven stored curve shapes.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "pages/curve_menu.h"
#include "pages/live_input.h"
#include "pages/page_curve_settings.h"

namespace pages {

// Input percent of each curve point: every 10 up to 90, then every 1 up to 100.
inline constexpr std::array<int, kThrottlePointCount> kThrottlePointInputs{
    0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100};

using ThrottleCurveSettings = PageCurveSettings<float, kThrottlePointCount>;

// The throttle defaults: dead zones 0 and 100, identity curve, enabled, load-cell off.
ThrottleCurveSettings DefaultThrottleSettings();

// Maps x (input percent) through the dead zones and the curve; both results are at most 100.
// Below 90 the curve runs through the points 10 apart, above through the points 1 apart.
PageCurveValue EvaluateCurve(const ThrottleCurveSettings& settings, double x);

// ---- Edit rows ----

enum class ThrottleField { kLowerDeadZone, kUpperDeadZone, kPoint };

enum class ThrottleLabelFormat {
  kIntPercent,    // "%d %%"; the upper dead zone shows 100 - dz_1
  kWholePercent,  // "%.0f %%"
  kOneDecimal,    // "%.1f", no percent sign
};

struct ThrottleRow {
  ThrottleField field;
  int point;  // element of band for point rows, -1 for the dead zones
  int captionId;
  int minusId;
  int valueId;
  int plusId;
  float step;  // percent per click
  ThrottleLabelFormat format;
  int x;  // value label position, dialog units
  int y;
};

inline constexpr std::size_t kThrottleRowCount = 22;

// Lower dead zone, upper dead zone, then the 20 points in point order.
extern const std::array<ThrottleRow, kThrottleRowCount> kThrottleRows;

struct ThrottleStep {
  std::size_t row;
  int direction;  // +1 for the "+" button, -1 for "-"
};

// The row and direction of one of the 44 step buttons, or nothing for another id.
std::optional<ThrottleStep> ThrottleStepForButton(int buttonId);

// One click: moves the row's field by its step (the upper dead zone's "+" lowers dz_1, widening
// the shown dead zone), limits the side just moved to 0..100 and sets dirty, also when nothing
// changed. Returns true when a curve point changed, so the chart must be rebuilt.
bool StepThrottleRow(ThrottleCurveSettings& settings, const ThrottleStep& step);

// The text of the row's value label.
std::string FormatThrottleRowValue(const ThrottleCurveSettings& settings, std::size_t row);

// The caption of a point row: "0 %" .. "100 %", the same in both languages.
std::string ThrottlePointCaption(std::size_t point);

// ---- Curve shapes ----

const std::array<float, kThrottlePointCount>& ThrottleShapePoints(CurveShape shape);

// Sets the 20 points to the shape and marks the settings changed; dead zones and flags stay.
void ApplyThrottleShape(ThrottleCurveSettings& settings, CurveShape shape);

}  // namespace pages
