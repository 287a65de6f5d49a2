// Throttle curve evaluation, edit rows and stored shapes.
#include "pages/throttle_curve.h"

#include <charconv>

#include "pages/step_within.h"

namespace pages {

namespace {

constexpr std::array<float, kThrottlePointCount> IdentityPoints() {
  std::array<float, kThrottlePointCount> points{};
  for (std::size_t k = 0; k < kThrottlePointCount; ++k) {
    points[k] = static_cast<float>(kThrottlePointInputs[k]);
  }
  return points;
}

// Curve points from 92 % up move in half percents and show one decimal.
constexpr std::size_t kFirstFinePoint = 11;

constexpr ThrottleRow PointRow(int point, int captionId, int minusId, int valueId, int plusId,
                               int x, int y) {
  const bool fine = static_cast<std::size_t>(point) >= kFirstFinePoint;
  return {ThrottleField::kPoint,
          point,
          captionId,
          minusId,
          valueId,
          plusId,
          fine ? 0.5f : 1.0f,
          fine ? ThrottleLabelFormat::kOneDecimal : ThrottleLabelFormat::kWholePercent,
          x,
          y};
}

// The text of a number with a fixed count of decimals; independent of the process locale.
std::string FixedText(double value, int decimals) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

using ShapeTable = std::array<std::array<float, kThrottlePointCount>, kCurveShapeCount>;

// Stored tables, indexed by CurveShape; neighbouring points may repeat a value.
// clang-format off
constexpr ShapeTable kShapes{{
    {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100},
    {0, 4, 9, 14, 21, 29, 39, 50, 63, 79, 81, 82.5f, 84.5f, 86, 88, 90, 92, 94.5f, 97, 100},
    {0, 2, 4, 7, 11, 17, 25, 35, 48, 66, 68, 71.5f, 74, 77.5f, 80.5f, 84, 87.5f, 91, 95, 100},
    {0, 21, 37, 50, 61, 70, 78, 84, 90, 95, 96, 96.5f, 97, 97.5f, 98, 98.5f, 99, 99.5f, 100, 100},
    {0, 33, 52, 65, 75, 83, 89, 93, 96, 98, 98, 98.5f, 98.5f, 99, 99, 99.5f, 99.5f, 99.5f, 100,
     100},
    {0, 19, 31, 40, 46, 50, 54, 60, 69, 81, 83, 84.5f, 86.5f, 88, 90, 92, 94, 96, 98, 100},
    {0, 4, 10, 19, 31, 50, 69, 81, 90, 96, 97, 97.5f, 98, 98, 99, 99, 99.5f, 99.5f, 100, 100},
}};
// clang-format on

}  // namespace

ThrottleCurveSettings DefaultThrottleSettings() { return ThrottleCurveSettings(IdentityPoints()); }

PageCurveValue EvaluateCurve(const ThrottleCurveSettings& settings, double x) {
  const double p = ScaleThroughDeadZones(settings.dz_0, settings.dz_1, x);

  // The first segment whose upper input lies above p; the last one takes everything from 99 up.
  // A negative p (dz_1 below dz_0) extends the first segment's line below 0.
  std::size_t e = kThrottlePointCount - 2;
  for (std::size_t k = 0; k + 1 < kThrottlePointCount - 1; ++k) {
    if (p < kThrottlePointInputs[k + 1]) {
      e = k;
      break;
    }
  }
  const double base = kThrottlePointInputs[e];
  const double width = kThrottlePointInputs[e + 1] - kThrottlePointInputs[e];
  const double low = settings.band[e];
  const double high = settings.band[e + 1];
  double out = low + (high - low) * (p - base) / width;
  if (out > 100.0) out = 100.0;
  return {p, out};
}

const std::array<ThrottleRow, kThrottleRowCount> kThrottleRows{{
    {ThrottleField::kLowerDeadZone, -1, 1018, 1003, 1016, 1002, 1.0f,
     ThrottleLabelFormat::kIntPercent, 283, 258},
    {ThrottleField::kUpperDeadZone, -1, 1017, 1001, 1015, 1000, 1.0f,
     ThrottleLabelFormat::kIntPercent, 283, 21},
    PointRow(0, 1020, 1005, 1019, 1004, 37, 177),
    PointRow(1, 1022, 1007, 1021, 1006, 37, 192),
    PointRow(2, 1024, 1009, 1023, 1008, 37, 207),
    PointRow(3, 1026, 1012, 1025, 1010, 37, 222),
    PointRow(4, 1029, 1028, 1027, 1014, 37, 237),
    PointRow(5, 1033, 1032, 1030, 1031, 115, 162),
    PointRow(6, 1037, 1036, 1034, 1035, 115, 177),
    PointRow(7, 1041, 1040, 1038, 1039, 115, 192),
    PointRow(8, 1045, 1044, 1042, 1043, 115, 207),
    PointRow(9, 1049, 1048, 1046, 1047, 115, 222),
    PointRow(10, 1053, 1052, 1050, 1051, 115, 237),
    PointRow(11, 1067, 1066, 1064, 1065, 197, 162),
    PointRow(12, 1071, 1070, 1068, 1069, 197, 177),
    PointRow(13, 1077, 1076, 1074, 1075, 197, 192),
    PointRow(14, 1081, 1080, 1078, 1079, 197, 207),
    PointRow(15, 1085, 1084, 1082, 1083, 197, 222),
    PointRow(16, 1089, 1088, 1086, 1087, 197, 237),
    PointRow(17, 1093, 1092, 1090, 1091, 281, 162),
    PointRow(18, 1097, 1096, 1094, 1095, 281, 177),
    PointRow(19, 1101, 1100, 1098, 1099, 281, 192),
}};

std::optional<ThrottleStep> ThrottleStepForButton(int buttonId) {
  for (std::size_t row = 0; row < kThrottleRows.size(); ++row) {
    if (kThrottleRows[row].plusId == buttonId) return ThrottleStep{row, +1};
    if (kThrottleRows[row].minusId == buttonId) return ThrottleStep{row, -1};
  }
  return std::nullopt;
}

bool StepThrottleRow(ThrottleCurveSettings& settings, const ThrottleStep& step) {
  const ThrottleRow& row = kThrottleRows.at(step.row);
  bool pointChanged = false;
  switch (row.field) {
    case ThrottleField::kLowerDeadZone:
      settings.dz_0 = StepWithin(settings.dz_0, step.direction, kMinPercent, kMaxPercent);
      break;
    case ThrottleField::kUpperDeadZone:
      // The page shows 100 - dz_1, so "+" lowers the end point.
      settings.dz_1 = StepWithin(settings.dz_1, -step.direction, kMinPercent, kMaxPercent);
      break;
    case ThrottleField::kPoint: {
      float& point = settings.band.at(static_cast<std::size_t>(row.point));
      point = StepWithin(point, row.step * static_cast<float>(step.direction),
                         static_cast<float>(kMinPercent), static_cast<float>(kMaxPercent));
      pointChanged = true;
      break;
    }
  }
  settings.dirty = true;
  return pointChanged;
}

std::string FormatThrottleRowValue(const ThrottleCurveSettings& settings, std::size_t row) {
  const ThrottleRow& r = kThrottleRows.at(row);
  switch (r.field) {
    case ThrottleField::kLowerDeadZone: return std::to_string(settings.dz_0) + " %";
    case ThrottleField::kUpperDeadZone: return std::to_string(100 - settings.dz_1) + " %";
    case ThrottleField::kPoint: break;
  }
  const double value = settings.band.at(static_cast<std::size_t>(r.point));
  if (r.format == ThrottleLabelFormat::kOneDecimal) return FixedText(value, 1);
  return FixedText(value, 0) + " %";
}

std::string ThrottlePointCaption(std::size_t point) {
  return std::to_string(kThrottlePointInputs.at(point)) + " %";
}

const std::array<float, kThrottlePointCount>& ThrottleShapePoints(CurveShape shape) {
  return kShapes.at(static_cast<std::size_t>(shape));
}

void ApplyThrottleShape(ThrottleCurveSettings& settings, CurveShape shape) {
  settings.band = ThrottleShapePoints(shape);
  settings.dirty = true;
}

}  // namespace pages
