// The text rows below the plot of a printed chart page: their columns across the row area,
// laid out once per printout, and which rows go on a page and where, planned once per page.
// chart/print_rows_draw measures the texts with wx's graphics context (wxGraphicsContext) and
// draws what the plan says.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "chart/core/chart_series.h"
#include "chart/core/geometry.h"

namespace chart {

struct PrintLabelRow {
  std::uint32_t colour = 0xFF000000;  // ARGB, alpha forced to 0xFF by the printout
  std::int32_t dashStyle = kDashSolid;
  float penWidth = 2.0f;
  std::wstring seriesName;
  std::wstring scaleText;
  std::wstring selectionText;
  std::wstring firstLabel;
  std::wstring firstValue;
  std::wstring secondLabel;
  std::wstring secondValue;
};

// Series index -> rows, in ascending index and, within a series, in the order added.
using PrintLabelRows = std::multimap<int, PrintLabelRow>;

// The seven texts of a row, in column order.
enum PrintRowColumn : int {
  kPrintSeriesName = 0,
  kPrintScaleText,
  kPrintSelectionText,
  kPrintFirstLabel,
  kPrintFirstValue,
  kPrintSecondLabel,
  kPrintSecondValue,
  kPrintColumnCount,
};
const std::wstring& PrintRowColumnText(const PrintLabelRow& row, int column);

// Bits of PrintRowLayout::lines.
inline constexpr std::int32_t kPrintSecondLine = 1;  // selection text and both pairs move down
inline constexpr std::int32_t kPrintThirdLine = 2;   // the second label/value pair moves again

struct PrintRowLayout {
  std::array<float, kPrintColumnCount> x{};  // page units, by column
  float sampleX = 0.0f;                      // where the line sample starts
  std::int32_t lines = 0;                    // 0, or kPrintSecondLine with kPrintThirdLine
};

// Width of a text in the row font, in page units.
using PrintTextWidth = std::function<float(const std::wstring&)>;

// Places the columns right-aligned in area (gaps of 3 s): on one line centred when it fits,
// else the sample, name and scale text on a first line from the left edge and the rest right-
// aligned on a second, else the second label/value pair on a third under the first pair.
PrintRowLayout LayoutPrintRows(const RectF& area, const PrintLabelRows& rows,
                               const PrintTextWidth& measure, float s);

struct PrintRowPen {
  std::uint32_t colour = 0xFF000000;
  std::int32_t dashStyle = kDashSolid;
  float width = 1.0f;
};

// The line sample before a series name: a line from (x0, y) to (x1, y), or for marks-only
// series a row of 6 x 6 plus marks over the same span.
struct PrintRowSample {
  float x0 = 0.0f;
  float x1 = 0.0f;
  float y = 0.0f;
  bool marks = false;
};

struct PrintRowText {
  PointF at;  // top-left of the text
  std::wstring text;
};

// One row as drawn: the pen and brush colour, its sample and its texts (empty ones left out).
struct PlannedPrintRow {
  PrintRowPen pen;
  std::optional<PrintRowSample> sample;
  std::vector<PrintRowText> texts;
};

struct PrintPagePlan {
  std::vector<PlannedPrintRow> rows;
  int next = 0;  // index of the first row not placed; the row count when all were
};

// The rows from start that fit on one page, with a pitch of 1.5 font heights. A page stops
// once fewer than three more lines fit, but always takes at least one row, so every page makes
// progress. A page that starts on a row without a series name repeats the heading (sample,
// name, scale text) of the nearest earlier row that has one.
PrintPagePlan PlanPrintRows(const RectF& area, const PrintLabelRows& rows,
                            const PrintRowLayout& layout, float fontHeight, float s, int start);

}  // namespace chart
