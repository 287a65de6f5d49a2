// Column layout and page planning of the printed label rows.
#include "chart/core/print_rows.h"

#include <algorithm>
#include <iterator>

namespace chart {

namespace {

constexpr float kGapPixels = 3.0f;
constexpr float kSamplePixels = 20.0f;
constexpr float kPitchPerFontHeight = 1.5f;
// A page takes another row only while this many lines still fit below it.
constexpr float kLinesKeptFree = 3.0f;

// Columns whose empty texts take no width (the value columns always count).
bool MeasuredWhenEmpty(int column) {
  return column == kPrintFirstValue || column == kPrintSecondValue;
}

}  // namespace

const std::wstring& PrintRowColumnText(const PrintLabelRow& row, int column) {
  switch (column) {
    case kPrintSeriesName: return row.seriesName;
    case kPrintScaleText: return row.scaleText;
    case kPrintSelectionText: return row.selectionText;
    case kPrintFirstLabel: return row.firstLabel;
    case kPrintFirstValue: return row.firstValue;
    case kPrintSecondLabel: return row.secondLabel;
    default: return row.secondValue;
  }
}

PrintRowLayout LayoutPrintRows(const RectF& area, const PrintLabelRows& rows,
                               const PrintTextWidth& measure, float s) {
  std::array<float, kPrintColumnCount> w{};
  for (const auto& [index, row] : rows) {
    for (int c = 0; c < kPrintColumnCount; ++c) {
      const std::wstring& text = PrintRowColumnText(row, c);
      if (text.empty() && !MeasuredWhenEmpty(c)) continue;
      w[c] = std::max(w[c], measure(text));
    }
  }

  const float g = kGapPixels * s;
  const float right = area.Right();
  PrintRowLayout layout;
  auto& x = layout.x;
  // Right to left; a label (and the selection text) overlaps the column right of it by g.
  x[kPrintSecondValue] = right - w[kPrintSecondValue];
  x[kPrintSecondLabel] = w[kPrintSecondLabel] == 0.0f
                             ? x[kPrintSecondValue]
                             : x[kPrintSecondValue] - w[kPrintSecondLabel] - g;
  x[kPrintFirstValue] = x[kPrintSecondLabel] - w[kPrintFirstValue] - g;
  x[kPrintFirstLabel] = w[kPrintFirstLabel] == 0.0f ? x[kPrintFirstValue]
                                                    : x[kPrintFirstValue] - w[kPrintFirstLabel] + g;
  x[kPrintSelectionText] = w[kPrintSelectionText] == 0.0f
                               ? x[kPrintFirstLabel]
                               : x[kPrintFirstLabel] - w[kPrintSelectionText] + g;
  x[kPrintScaleText] = w[kPrintScaleText] == 0.0f ? x[kPrintSelectionText]
                                                  : x[kPrintSelectionText] - w[kPrintScaleText] - g;
  x[kPrintSeriesName] = w[kPrintSeriesName] == 0.0f ? x[kPrintScaleText]
                                                    : x[kPrintScaleText] - w[kPrintSeriesName] - g;
  layout.sampleX = w[kPrintSeriesName] == 0.0f ? x[kPrintSeriesName]
                                               : x[kPrintSeriesName] - kSamplePixels * s - g;

  if (layout.sampleX >= area.Left()) {
    const float shift = (layout.sampleX - area.Left()) / 2.0f;
    for (float& column : x) column -= shift;
    layout.sampleX -= shift;
    return layout;
  }

  layout.lines = kPrintSecondLine;
  const float shift = area.Left() - layout.sampleX;
  layout.sampleX += shift;
  x[kPrintSeriesName] += shift;
  x[kPrintScaleText] += shift;
  if (x[kPrintSelectionText] >= area.Left()) return layout;

  // Label under label, value under value.
  layout.lines |= kPrintThirdLine;
  const float valueWidth = std::max(w[kPrintFirstValue], w[kPrintSecondValue]);
  const float labelWidth = std::max(w[kPrintFirstLabel], w[kPrintSecondLabel]);
  x[kPrintSecondValue] = x[kPrintFirstValue] = right - valueWidth;
  x[kPrintSecondLabel] =
      w[kPrintSecondLabel] == 0.0f ? x[kPrintSecondValue] : x[kPrintSecondValue] - labelWidth - g;
  x[kPrintFirstLabel] =
      w[kPrintFirstLabel] == 0.0f ? x[kPrintSecondValue] : x[kPrintSecondValue] - labelWidth - g;
  x[kPrintSelectionText] =
      w[kPrintSelectionText] == 0.0f
          ? x[kPrintFirstLabel]
          : std::min(x[kPrintFirstLabel], x[kPrintSecondLabel]) - w[kPrintSelectionText] - g;
  return layout;
}

namespace {

void AddText(PlannedPrintRow& planned, float x, float y, const std::wstring& text) {
  if (!text.empty()) planned.texts.push_back({{x, y}, text});
}

// Sample, series name and scale text of heading at the line y.
void AddHeading(PlannedPrintRow& planned, const PrintLabelRow& heading,
                const PrintRowLayout& layout, float y, float fontHeight, float s) {
  planned.sample = PrintRowSample{layout.sampleX, layout.sampleX + kSamplePixels * s,
                                  y + fontHeight / 2.0f, heading.dashStyle == kDashMarksOnly};
  AddText(planned, layout.x[kPrintSeriesName], y, heading.seriesName);
  AddText(planned, layout.x[kPrintScaleText], y, heading.scaleText);
}

}  // namespace

PrintPagePlan PlanPrintRows(const RectF& area, const PrintLabelRows& rows,
                            const PrintRowLayout& layout, float fontHeight, float s, int start) {
  PrintPagePlan plan;
  const int count = static_cast<int>(rows.size());
  start = std::clamp(start, 0, count);
  plan.next = start;
  const float pitch = kPitchPerFontHeight * fontHeight;
  float y = area.Top();

  for (auto it = std::next(rows.begin(), start); it != rows.end(); ++it) {
    const PrintLabelRow& row = it->second;
    PlannedPrintRow planned;
    const bool marksOnly = row.dashStyle == kDashMarksOnly;
    planned.pen = {row.colour, marksOnly ? kDashSolid : row.dashStyle,
                   marksOnly ? s : s * row.penWidth};

    if (!row.seriesName.empty()) {
      AddHeading(planned, row, layout, y, fontHeight, s);
    } else if (plan.rows.empty() && start > 0) {
      // A continuation page repeats the series' heading.
      for (auto earlier = std::make_reverse_iterator(it); earlier != rows.rend(); ++earlier) {
        if (!earlier->second.seriesName.empty()) {
          AddHeading(planned, earlier->second, layout, y, fontHeight, s);
          break;
        }
      }
    }
    if (layout.lines & kPrintSecondLine) y += pitch;
    AddText(planned, layout.x[kPrintSelectionText], y, row.selectionText);
    AddText(planned, layout.x[kPrintFirstLabel], y, row.firstLabel);
    AddText(planned, layout.x[kPrintFirstValue], y, row.firstValue);
    if (layout.lines & kPrintThirdLine) y += pitch;
    AddText(planned, layout.x[kPrintSecondLabel], y, row.secondLabel);
    AddText(planned, layout.x[kPrintSecondValue], y, row.secondValue);
    y += pitch;

    plan.rows.push_back(std::move(planned));
    ++plan.next;
    if (y + kLinesKeptFree * pitch > area.Bottom()) break;
  }
  return plan;
}

}  // namespace chart
