// One drawing routine per chart element. The window, the saved image and the printed page all
// draw through these; they differ only in the graphics target and the scale factor, which
// multiplies pen widths and mark sizes (1.0 on screen).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/graphics.h>

#include "chart/chart_stroke.h"
#include "chart/core/chart_container_core.h"
#include "chart/core/chart_series.h"
#include "chart/core/chart_transform.h"
#include "chart/core/geometry.h"

namespace chart {

// Alpha given to two-point lines without markers and to the halo of a selected series.
constexpr std::uint8_t kTranslucentAlpha = 0x40;
// Marker circle diameter and plus-mark arm span (both times the scale), in pixels.
constexpr float kMarkerSize = 6.0f;
// Grid lines per plot width and per plot height.
constexpr int kGridDivisions = 10;

wxColour ArgbToColour(std::uint32_t argb);
std::uint32_t WithAlpha(std::uint32_t argb, std::uint8_t alpha);

// "Verdana" at the given size in points, for a target with unitsPerInch units per inch
// (96 on screen, so points * scale on screen).
wxFont ChartFont(double points, double unitsPerInch, bool bold);

// Turns antialiasing on and puts integer coordinates on pixel centres, as the chart's drawing
// layer did, so that 1-px lines at whole coordinates stay crisp.
void PrepareChartGraphics(wxGraphicsContext& gc);

// Scratch space reused across series within one paint, so drawing a series allocates nothing
// in the steady state.
struct ChartDrawScratch {
  std::vector<PointF> screen;
  std::vector<BezierSegment> segments;
  Polylines lines;
  Polylines dashes;
};

// The framed box; with focused, the dashed focus rectangle 3 px inside as well.
void DrawFocusBox(wxGraphicsContext& gc, float x, float y, float w, float h,
                  std::uint32_t fillColour, std::uint32_t borderColour, bool focused);

// Dashed grid anchored at (originX, originY) with kGridDivisions spacings per plot width and
// height; no line on the origin or the plot's edges. A plot without area draws nothing, and
// each of the four directions draws at most kGridDivisions lines.
void DrawDashedGrid(wxGraphicsContext& gc, const RectF& plot, float originX, float originY,
                    std::uint32_t gridColour, float penWidth);

// Where the axes went; the crossing point is (yAxis.position, xAxis.position).
struct AxesLayout {
  AxisPlacement xAxis;
  AxisPlacement yAxis;
  PointF Crossing() const { return {yAxis.position, xAxis.position}; }
};

// Both axes, 2w wide, overhanging the plot by 3w at each end.
AxesLayout DrawAxes(wxGraphicsContext& gc, const RectF& plot, double minX, double maxX, double minY,
                    double maxY, std::uint32_t axesColour, float w);

// The series' curve (or marks) over [minX, maxX]. False when nothing of it lies in the range.
bool DrawChartSeries(wxGraphicsContext& gc, const ChartSeries& series, const ChartPoints& points,
                     double minX, double maxX, const ChartTransform& transform,
                     ChartDrawScratch& scratch, float scale);

// Circles around the values tracked for this series. trackedValues maps series index to the
// (x, y) found at the tracked X (several per series).
bool DrawTrackedPoints(wxGraphicsContext& gc, const ChartSeries& series,
                       const TrackedValues& trackedValues, double trackedX, double minX,
                       double maxX, const ChartTransform& transform, const RectF& rect,
                       std::uint32_t colour, float scale);

// Circles around the data view's selected points of series (point position -> (x, y)).
bool DrawSelectedPoints(wxGraphicsContext& gc, const ChartSeries& series,
                        const DataViewPoints& selected, double minX, double maxX,
                        const ChartTransform& transform, std::uint32_t colour, float scale);

// The vertical line at the tracked X. On screen (scale 1) only while the tracking window shows;
// in print only when a tracked value of seriesId (-1: any) lies inside rect grown by 3 scale.
void DrawTrackingLine(wxGraphicsContext& gc, const RectF& rect, double trackedX,
                      const TrackedValues& trackedValues, const ChartTransform& transform,
                      bool trackingWindowVisible, std::int32_t seriesId, std::uint32_t colour,
                      float scale);

// What the two X-boundary labels show and where the axes lie.
struct BoundaryLabels {
  std::wstring left;   // Name_X, a blank, minX formatted
  std::wstring right;  // Name_X, a blank, maxX formatted
  AxisPlacement xAxis;
  std::int32_t yAxisCode = kAxisAtZero;
  std::uint32_t fillColour = 0xFFFFFFFF;
  std::uint32_t textColour = 0xFF000000;
};
// The labels of the container's X extent, for axes placed as given (screen and paper alike).
BoundaryLabels MakeBoundaryLabels(const ChartContainerCore& core, const AxisPlacement& xAxis,
                                  const AxisPlacement& yAxis);
void DrawChartText(wxGraphicsContext& gc, const RectF& rect, const BoundaryLabels& labels,
                   float scale);

// A row of plus marks from startX to endX on line y (the printed legend's line samples).
void DrawTickMarks(wxGraphicsContext& gc, float startX, float y, float endX, float markWidth,
                   float markHeight, const wxGraphicsPen& pen, float scale);

// Top line of a printed page: the container's name on the left and the date on the right, in a
// rectangle (x + 200, y + 250, w - 400, 80) of page units. An empty date becomes the current
// local time; the date used is returned so that later pages show the same one.
std::wstring PrintPageHeader(wxGraphicsContext& gc, const std::wstring& containerName, float x,
                             float y, float w, float h, std::wstring date,
                             double unitsPerInch = 300.0);

// The current local time as "%a, %b %d, %Y, %H:%M" with English names, whatever the locale.
std::wstring FormatPageDate();

}  // namespace chart
