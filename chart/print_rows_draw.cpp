// Measuring and drawing of the printed label rows.
#include "chart/print_rows_draw.h"

#include <array>
#include <span>

#include "chart/chart_draw.h"
#include "chart/chart_stroke.h"

namespace chart {
namespace {

constexpr double kRowFontPoints = 8.0;
// The row layout was made for text measured and drawn with a sixth of an em of padding on
// either side, so that a label overlapping its value's column still leaves a gap.
constexpr double kTextPaddingPerEm = 1.0 / 6.0;

float TextPadding(double unitsPerInch) {
  return static_cast<float>(kRowFontPoints * unitsPerInch / 72.0 * kTextPaddingPerEm);
}
// Plus marks of a marks-only series' sample, in screen pixels (times s).
constexpr float kSampleMarkSize = 6.0f;

wxGraphicsPen RowPen(wxGraphicsContext& gc, const PrintRowPen& pen) {
  wxGraphicsPenInfo info(ArgbToColour(pen.colour), pen.width, wxPENSTYLE_SOLID);
  info.Cap(wxCAP_BUTT);
  return gc.CreatePen(info);
}

// A straight sample line in the row's dash style; dashes are in pen widths, as on the plot.
void StrokeSampleLine(wxGraphicsContext& gc, const PrintRowPen& pen, const PrintRowSample& sample) {
  Polylines line;
  line.starts.push_back(0);
  line.points = {{sample.x0, sample.y}, {sample.x1, sample.y}};
  const std::span<const float> pattern = DashPattern(pen.dashStyle);
  Polylines dashes;
  if (!pattern.empty()) {
    std::array<float, 6> scaled{};
    const std::size_t count = std::min(pattern.size(), scaled.size());
    for (std::size_t i = 0; i < count; ++i) scaled[i] = pattern[i] * pen.width;
    AppendDashes(line.Figure(0), std::span<const float>(scaled.data(), count), 0.0f, dashes);
  }
  const Polylines& figures = pattern.empty() ? line : dashes;
  wxGraphicsPath path = gc.CreatePath();
  for (std::size_t f = 0; f < figures.FigureCount(); ++f) {
    const std::span<const PointF> figure = figures.Figure(f);
    if (figure.size() < 2) continue;
    path.MoveToPoint(figure.front().x, figure.front().y);
    for (std::size_t i = 1; i < figure.size(); ++i) path.AddLineToPoint(figure[i].x, figure[i].y);
  }
  gc.SetPen(RowPen(gc, pen));
  gc.StrokePath(path);
}

}  // namespace

wxFont PrintRowFont(double unitsPerInch) { return ChartFont(kRowFontPoints, unitsPerInch, true); }

float PrintRowFontHeight(wxGraphicsContext& gc, double unitsPerInch) {
  gc.SetFont(PrintRowFont(unitsPerInch), *wxBLACK);
  double w = 0, h = 0;
  gc.GetTextExtent(L"Ag", &w, &h);
  return static_cast<float>(h);
}

PrintRowLayout LayoutPrintRows(const RectF& area, const PrintLabelRows& rows, wxGraphicsContext& gc,
                               float s, double unitsPerInch) {
  gc.SetFont(PrintRowFont(unitsPerInch), *wxBLACK);
  const float padding = TextPadding(unitsPerInch);
  const PrintTextWidth measure = [&gc, padding](const std::wstring& text) {
    double w = 0, h = 0;
    gc.GetTextExtent(text, &w, &h);
    return static_cast<float>(w) + 2.0f * padding;
  };
  return LayoutPrintRows(area, rows, measure, s);
}

void DrawPlannedPrintRows(wxGraphicsContext& gc, const PrintPagePlan& plan, float s,
                          double unitsPerInch) {
  const wxFont font = PrintRowFont(unitsPerInch);
  const float padding = TextPadding(unitsPerInch);
  for (const PlannedPrintRow& row : plan.rows) {
    if (row.sample) {
      if (row.sample->marks) {
        DrawTickMarks(gc, row.sample->x0, row.sample->y, row.sample->x1, kSampleMarkSize,
                      kSampleMarkSize, RowPen(gc, row.pen), s);
      } else {
        StrokeSampleLine(gc, row.pen, *row.sample);
      }
    }
    gc.SetFont(font, ArgbToColour(row.pen.colour));
    for (const PrintRowText& text : row.texts) {
      gc.DrawText(text.text, text.at.x + padding, text.at.y);
    }
  }
}

int DrawPrintRows(const RectF& area, const PrintLabelRows& rows, const PrintRowLayout& layout,
                  wxGraphicsContext& gc, float s, int start, double unitsPerInch) {
  const float fontHeight = PrintRowFontHeight(gc, unitsPerInch);
  const PrintPagePlan plan = PlanPrintRows(area, rows, layout, fontHeight, s, start);
  DrawPlannedPrintRows(gc, plan, s, unitsPerInch);
  return plan.next;
}

}  // namespace chart
