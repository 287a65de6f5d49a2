// The whole-chart paint sequence over a container's data, shared by the window's paint handler
// and by drawing into an image; and the live lines drawn over it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <wx/gdicmn.h>
#include <wx/graphics.h>

#include "chart/core/chart_container_core.h"
#include "chart/core/geometry.h"

namespace chart {

struct ChartPaintOptions {
  bool focused = false;            // draw the dashed focus rectangle
  bool storeLayout = true;         // images leave the container's transform as the window's
  bool drawSelectedPoints = true;  // images leave the data view's selection out
  bool trackingWindowExists = false;
  bool trackingWindowVisible = false;
};

// Draws the box, grid, axes, series, tracking and selection marks and the X-boundary labels
// into bounds (the client rectangle on screen). Stores the transform, scale factors and axis
// placements in the container when options.storeLayout is set; the zoom state is only read.
// Never throws for bad data: what cannot be drawn is skipped.
void PaintChartContents(wxGraphicsContext& gc, ChartContainerCore& core, const RectF& bounds,
                        const ChartPaintOptions& options);

// The same in its three steps, so that the window can keep the background (box, axes, grid),
// which live data does not change, from one paint to the next.
struct ChartPaintFrame {
  RectF frame;  // the framed box: bounds less one pixel on the right and bottom
  ChartPaintLayout layout;
};
ChartPaintFrame LayoutChartPaint(ChartContainerCore& core, const RectF& bounds,
                                 const ChartPaintOptions& options);
void DrawChartBackground(wxGraphicsContext& gc, const ChartContainerCore& core,
                         const ChartPaintFrame& paint, bool focused);
// Which series a drawing step strokes: every one, or only those that are live or not.
enum class SeriesLayer { kAll, kCached, kLive };
// The curves and point markers of the chosen series.
void DrawChartSeriesLayer(wxGraphicsContext& gc, const ChartContainerCore& core,
                          const ChartPaintFrame& paint, SeriesLayer which);
// The chosen series, then the tracking and selection marks and the boundary labels.
void DrawChartForeground(wxGraphicsContext& gc, const ChartContainerCore& core,
                         const ChartPaintFrame& paint, const ChartPaintOptions& options,
                         SeriesLayer series = SeriesLayer::kAll);

// Everything the background depends on; equal keys draw equal backgrounds.
struct ChartBackgroundKey {
  float width = 0.0f;
  float height = 0.0f;
  bool focused = false;
  bool hasSeries = false;
  bool hasPoints = false;
  float crossingX = 0.0f;
  float crossingY = 0.0f;
  std::uint32_t fill = 0;
  std::uint32_t border = 0;
  std::uint32_t axes = 0;
  std::uint32_t grid = 0;

  bool operator==(const ChartBackgroundKey&) const = default;
};
ChartBackgroundKey BackgroundKey(const ChartContainerCore& core, const ChartPaintFrame& paint,
                                 bool focused);

// Everything the cached series draw from (transform, X extent, and each one's look and
// points), as numbers; equal signatures draw equal series.
std::vector<double> CachedSeriesSignature(const ChartContainerCore& core,
                                          const ChartPaintFrame& paint);

// A live line of mouse tracking or of a two-click zoom, in client pixels.
struct LiveLine {
  bool vertical = true;  // vertical at x = position, else horizontal at y = position
  int position = 0;
};

// Draws the live lines across the client area in the live-line colour, each interrupted where
// it passes through one of the given windows (the visible data windows).
void DrawLiveLines(wxGraphicsContext& gc, const wxSize& client, std::span<const LiveLine> lines,
                   std::span<const wxRect> interrupting, std::uint32_t colour);

}  // namespace chart
