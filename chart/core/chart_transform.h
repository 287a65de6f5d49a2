// The affine map between data space (Y up) and the container's client area (Y down), the plot
// rectangle it is fitted to, axis placement, and the range searches painting shares.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "chart/core/chart_series.h"
#include "chart/core/geometry.h"

namespace chart {

// Screen = (x * scaleX + offsetX, y * scaleY + offsetY); scaleY is negative on screen.
struct ChartTransform {
  double scaleX = 1.0;
  double scaleY = 1.0;
  double offsetX = 0.0;
  double offsetY = 0.0;

  PointF ToScreen(double x, double y) const {
    return {static_cast<float>(x * scaleX + offsetX), static_cast<float>(y * scaleY + offsetY)};
  }
};

// Where an axis line sits.
// X axis (horizontal): 0 top edge, 1 at data Y = 0, 2 bottom edge.
// Y axis (vertical):   0 left edge, 1 at data X = 0, 2 right edge.
enum AxisPlacementCode : std::int32_t {
  kAxisAtLow = 0,
  kAxisAtZero = 1,
  kAxisAtHigh = 2,
};

struct AxisPlacement {
  std::int32_t code = kAxisAtZero;
  float position = 0.0f;  // pixels: screen y of the X axis, screen x of the Y axis
};

// Pixels per data unit.
struct ScaleFactors {
  double perX = 1.0;
  double perY = 1.0;
};

// (min, max) of one axis; also the entry type of the undo stacks.
using ChartExtent = std::pair<double, double>;
using ChartExtentStack = std::vector<ChartExtent>;

// The plot rectangle inside the given bounds: 3 px in from the left and top, 4 px from the
// right and bottom.
RectF PlotRectFromBounds(const RectF& bounds);

// The extent used for scaling and placement. A zero or non-finite span (all points on one
// value, or no points) becomes a span of 1 centred on that value, so scales stay finite.
// Stored extents are never changed by this.
ChartExtent ScalingExtent(double min, double max);

AxisPlacement GetXAxisPlacement(const RectF& plot, double minY, double maxY);
AxisPlacement GetYAxisPlacement(const RectF& plot, double minX, double maxX);

// Scale factors for a plot; withMargins leaves 10 % of the height free above and below.
ScaleFactors ComputeScaleFactors(const RectF& plot, double minX, double maxX, double minY,
                                 double maxY, bool withMargins);

// The transform that places the extents in the plot rectangle as the axes are placed.
// roundOffsets rounds the edge constants to float first (as transforms built between
// paints do); painting uses them unrounded.
ChartTransform TransformForPlot(const AxisPlacement& xAxis, const AxisPlacement& yAxis,
                                const ScaleFactors& scale, double minX, double maxX, double minY,
                                double maxY, bool roundOffsets);

// Inverse map of a client point. Throws ChartArgumentError when transform is null, or when
// either scale is 0 or non-finite (or an offset is non-finite). A NaN coordinate becomes
// DBL_MAX.
ChartPoint ScreenToData(int px, int py, const ChartTransform* transform);
// The same without throwing: no value where ScreenToData would throw. For event handlers.
std::optional<ChartPoint> TryScreenToData(int px, int py, const ChartTransform* transform);
// The transform can be inverted.
bool IsInvertible(const ChartTransform& transform);

// Brackets [a, b] in a run sorted by x with one point of slack each side: lo is the last
// point left of a (or the first point exactly at a), hi the first point at or beyond b, or
// last when there is none. Callers that draw include hi itself when it is not last.
struct PointRange {
  ChartPoints::const_iterator lo;
  ChartPoints::const_iterator hi;
};
PointRange FindPointRangeX(ChartPoints::const_iterator first, ChartPoints::const_iterator last,
                           double a, double b, bool startAfterExact);

// Walks back from end while neighbouring saved extents differ by a pure move or a zoom
// symmetric about the centre (|d min / d max| == 1). Returns begin when the whole run is such,
// else the position after which the run starts. An empty run gives begin.
ChartExtentStack::const_iterator FindUnitSlopeRun(ChartExtentStack::const_iterator end,
                                                  ChartExtentStack::const_iterator begin);

}  // namespace chart
