// Clutch and brake curve evaluation, edit rows and stored shapes.
#include "pages/brake_clutch_curve.h"

#include <algorithm>
#include <cmath>

#include "pages/step_within.h"
#include "pages/value_row_sizes.h"

namespace pages {

namespace {

// The brake's maximum force cannot be stepped below this.
constexpr int kMinBrakeForce = 60;
constexpr std::size_t kLastSegment = kBrakeClutchPointCount - 2;

constexpr BrakeClutchPoints IdentityPoints() {
  BrakeClutchPoints points{};
  for (std::size_t k = 0; k < kBrakeClutchPointCount; ++k) {
    points[k] = static_cast<int>(k) * kBrakeClutchPointSpacing;
  }
  return points;
}

constexpr BrakeClutchRow PointRow(int point, int captionId, int minusId, int valueId, int plusId,
                                  int captionX, int captionY, int valueX, int valueY) {
  const int width = point == static_cast<int>(kBrakeClutchPointCount) - 1 ? kLastPointCaptionWidth
                                                                          : kPointCaptionWidth;
  return {BrakeClutchField::kPoint,
          point,
          captionId,
          minusId,
          valueId,
          plusId,
          captionX,
          captionY,
          width,
          valueX,
          valueY};
}

using ShapeTable = std::array<BrakeClutchPoints, kCurveShapeCount>;

// Stored tables of this page, indexed by CurveShape; not the throttle's values.
constexpr ShapeTable kShapes{{
    {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100},
    {0, 4, 9, 14, 21, 29, 39, 50, 63, 79, 100},
    {0, 2, 4, 7, 11, 17, 25, 35, 48, 66, 100},
    {0, 21, 37, 50, 61, 71, 79, 86, 91, 96, 100},
    {0, 33, 52, 65, 75, 83, 89, 93, 96, 98, 100},
    {0, 19, 31, 40, 46, 50, 54, 60, 69, 81, 100},
    {0, 4, 10, 19, 31, 50, 69, 81, 90, 96, 100},
}};

}  // namespace

BrakeClutchSettings DefaultBrakeClutchSettings() { return BrakeClutchSettings(IdentityPoints()); }

PageCurveValue EvaluateCurve(const BrakeClutchSettings& settings, double x) {
  double p = ScaleThroughDeadZones(settings.dz_0, settings.dz_1, x);
  if (std::isnan(p)) p = 0.0;

  // A negative p (dz_1 below dz_0) stays in the first segment instead of indexing before it;
  // p = 100 falls in the last one, 90..100.
  const std::size_t e =
      p <= 0.0 ? 0 : std::min(static_cast<std::size_t>(p) / kBrakeClutchPointSpacing, kLastSegment);
  const double base = static_cast<double>(e) * kBrakeClutchPointSpacing;
  const double low = settings.band[e];
  const double high = settings.band[e + 1];
  const double out = (p - base) * (high - low) / kBrakeClutchPointSpacing + low;
  return {p, std::min(out, 100.0)};
}

const std::array<BrakeClutchRow, kBrakeClutchRowCount> kBrakeClutchRows{{
    {BrakeClutchField::kLowerDeadZone, -1, 1018, 1003, 1016, 1002, 3, 259, kDeadZoneCaptionWidth,
     115, 258},
    {BrakeClutchField::kUpperValue, -1, 1017, 1001, 1015, 1000, 3, 22, kDeadZoneCaptionWidth, 115,
     21},
    PointRow(0, 1020, 1005, 1019, 1004, 0, 178, 37, 177),
    PointRow(1, 1022, 1007, 1021, 1006, 0, 193, 37, 192),
    PointRow(2, 1024, 1009, 1023, 1008, 0, 208, 37, 207),
    PointRow(3, 1026, 1012, 1025, 1010, 0, 223, 37, 222),
    PointRow(4, 1029, 1028, 1027, 1014, 0, 238, 37, 237),
    PointRow(5, 1033, 1032, 1030, 1031, 78, 163, 115, 162),
    PointRow(6, 1037, 1036, 1034, 1035, 78, 178, 115, 177),
    PointRow(7, 1041, 1040, 1038, 1039, 78, 193, 115, 192),
    PointRow(8, 1045, 1044, 1042, 1043, 78, 208, 115, 207),
    PointRow(9, 1049, 1048, 1046, 1047, 78, 223, 115, 222),
    PointRow(10, 1053, 1052, 1050, 1051, 75, 238, 115, 237),
}};

BrakeClutchStepRule StepRuleFor(PedalKind kind, std::size_t row) {
  if (kBrakeClutchRows.at(row).field != BrakeClutchField::kUpperValue) {
    return {+1, kMinPercent, kMaxPercent};
  }
  if (kind == PedalKind::kBrake) return {+1, kMinBrakeForce, kMaxPercent};
  // Any other kind shows the upper dead zone, so "+" lowers the end point.
  return {-1, kMinPercent, kMaxPercent};
}

std::optional<BrakeClutchStep> BrakeClutchStepForButton(int buttonId) {
  for (std::size_t row = 0; row < kBrakeClutchRows.size(); ++row) {
    if (kBrakeClutchRows[row].plusId == buttonId) return BrakeClutchStep{row, +1};
    if (kBrakeClutchRows[row].minusId == buttonId) return BrakeClutchStep{row, -1};
  }
  return std::nullopt;
}

namespace {

// The field a row edits, const or not as the settings are.
template <typename Settings>
auto& RowField(Settings& settings, const BrakeClutchRow& row) {
  switch (row.field) {
    case BrakeClutchField::kLowerDeadZone: return settings.dz_0;
    case BrakeClutchField::kUpperValue: return settings.dz_1;
    case BrakeClutchField::kPoint: break;
  }
  return settings.band.at(static_cast<std::size_t>(row.point));
}

}  // namespace

bool StepBrakeClutchRow(BrakeClutchSettings& settings, PedalKind kind,
                        const BrakeClutchStep& step) {
  const BrakeClutchRow& row = kBrakeClutchRows.at(step.row);
  const BrakeClutchStepRule rule = StepRuleFor(kind, step.row);
  int& field = RowField(settings, row);
  field = StepWithin(field, rule.sign * step.direction, rule.low, rule.high);
  settings.dirty = true;
  return row.field == BrakeClutchField::kPoint;
}

std::string FormatBrakeClutchRowValue(const BrakeClutchSettings& settings, PedalKind kind,
                                      std::size_t row) {
  const BrakeClutchRow& r = kBrakeClutchRows.at(row);
  int shown = RowField(settings, r);
  if (r.field == BrakeClutchField::kUpperValue && kind != PedalKind::kBrake) {
    shown = kMaxPercent - shown;
  }
  return std::to_string(shown) + " %";
}

std::string BrakeClutchPointCaption(std::size_t point) {
  return std::to_string(static_cast<int>(point) * kBrakeClutchPointSpacing) + " %";
}

const BrakeClutchPoints& BrakeClutchShapePoints(CurveShape shape) {
  return kShapes.at(static_cast<std::size_t>(shape));
}

void ApplyBrakeClutchShape(BrakeClutchSettings& settings, CurveShape shape) {
  settings.band = BrakeClutchShapePoints(shape);
  settings.dirty = true;
}

}  // namespace pages
