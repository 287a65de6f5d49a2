// The clutch and brake pages' eleven-point integer curve: evaluation against a live input, the
// 13 edit rows with their step rules and labels, and this page's seven stored curve shapes.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "pages/curve_menu.h"
#include "pages/live_input.h"
#include "pages/page_curve_settings.h"

namespace pages {

// What a pedal page configures; the main dialog sets it when it creates the page.
enum class PedalKind : int { kThrottle = 0, kBrake = 1, kClutch = 2 };

// Which of the brake and clutch pedals the main dialog marks present; the throttle always is.
struct PedalPresence {
  bool brake = false;
  bool clutch = false;
};

// Curve points (kBrakeClutchPointCount) at the inputs 0, 10, ..., 100 percent; element k is key
// band_<10k>.
inline constexpr int kBrakeClutchPointSpacing = 10;  // input percent between two points

// dz_1 is the upper end point of the travel; on the brake page it is the maximum braking force.
using BrakeClutchSettings = PageCurveSettings<int, kBrakeClutchPointCount>;
using BrakeClutchPoints = std::array<int, kBrakeClutchPointCount>;

// Dead zones 0 and 100, the identity curve, enabled, load-cell off.
BrakeClutchSettings DefaultBrakeClutchSettings();

// Maps x (input percent) through the dead zones and the curve; both results are at most 100.
// When dz_1 lies below dz_0 the scaled input of x above dz_0 is negative: it stays in the
// first segment, whose line runs on below 0. A scaled input that is not a number counts as 0.
PageCurveValue EvaluateCurve(const BrakeClutchSettings& settings, double x);

// ---- Edit rows ----

enum class BrakeClutchField { kLowerDeadZone, kUpperValue, kPoint };

// Positions are dialog units of the page. Each row is caption, "-", value label, "+"; the
// buttons sit just left and right of the value label.
struct BrakeClutchRow {
  BrakeClutchField field;
  int point;  // element of band for point rows, -1 for the other two
  int captionId;
  int minusId;
  int valueId;
  int plusId;
  int captionX;
  int captionY;
  int captionWidth;
  int valueX;
  int valueY;
};

inline constexpr std::size_t kBrakeClutchRowCount = 13;
inline constexpr std::size_t kLowerDeadZoneRow = 0;
inline constexpr std::size_t kUpperValueRow = 1;
inline constexpr std::size_t kFirstPointRow = 2;

// Lower dead zone, upper value, then the 11 points in point order.
extern const std::array<BrakeClutchRow, kBrakeClutchRowCount> kBrakeClutchRows;

// How one row's buttons move its field: sign -1 when "+" lowers the field (the clutch's upper
// dead zone is shown as 100 - dz_1), and the limits of the side just moved.
struct BrakeClutchStepRule {
  int sign;
  int low;
  int high;
};

BrakeClutchStepRule StepRuleFor(PedalKind kind, std::size_t row);

struct BrakeClutchStep {
  std::size_t row;
  int direction;  // +1 for the "+" button, -1 for "-"
};

// The row and direction of one of the 26 step buttons, or nothing for another id.
std::optional<BrakeClutchStep> BrakeClutchStepForButton(int buttonId);

// One click: moves the row's field by one percent under its rule and sets dirty, also when
// the field stays. Returns true for a curve point, whose chart must then be rebuilt.
bool StepBrakeClutchRow(BrakeClutchSettings& settings, PedalKind kind, const BrakeClutchStep& step);

// The value label of a row, "%d %%": dz_0, the points, and dz_1 on the brake page but the upper
// dead zone 100 - dz_1 on the clutch page.
std::string FormatBrakeClutchRowValue(const BrakeClutchSettings& settings, PedalKind kind,
                                      std::size_t row);

// "0 %" .. "100 %", the same in both languages.
std::string BrakeClutchPointCaption(std::size_t point);

// ---- Curve shapes ----

const BrakeClutchPoints& BrakeClutchShapePoints(CurveShape shape);

// Sets the 11 points to the shape and marks the settings changed; dead zones and flags stay.
void ApplyBrakeClutchShape(BrakeClutchSettings& settings, CurveShape shape);

}  // namespace pages
