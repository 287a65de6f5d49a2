// Drawing of the printed label rows below a chart's plot: their column layout measured in the
// row font on the page's graphics context, and the rows that fit on one page.
#pragma once

#include <wx/font.h>
#include <wx/graphics.h>

#include "chart/core/geometry.h"
#include "chart/core/print_rows.h"

namespace chart {

// Page units per inch of a printed chart page.
inline constexpr double kPrintUnitsPerInch = 300.0;

// The row font: "Verdana" 8 pt bold, for a page of unitsPerInch units per inch.
wxFont PrintRowFont(double unitsPerInch = kPrintUnitsPerInch);

// Height of one line of the row font on gc, in page units.
float PrintRowFontHeight(wxGraphicsContext& gc, double unitsPerInch = kPrintUnitsPerInch);

// Measures every row text in the row font on gc and places the columns across area.
PrintRowLayout LayoutPrintRows(const RectF& area, const PrintLabelRows& rows, wxGraphicsContext& gc,
                               float s, double unitsPerInch = kPrintUnitsPerInch);

// Draws the rows from start that fit in area: each row's line sample (plus marks for a
// marks-only series), then its texts, in the row's colour. Returns the index of the first row
// not drawn (the number of rows when all were drawn); at least one row is drawn per call.
int DrawPrintRows(const RectF& area, const PrintLabelRows& rows, const PrintRowLayout& layout,
                  wxGraphicsContext& gc, float s, int start,
                  double unitsPerInch = kPrintUnitsPerInch);

// Draws what PlanPrintRows placed.
void DrawPlannedPrintRows(wxGraphicsContext& gc, const PrintPagePlan& plan, float s,
                          double unitsPerInch = kPrintUnitsPerInch);

}  // namespace chart
