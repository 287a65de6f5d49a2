// Line geometry of the chart's strokes: cardinal splines, and dash patterns that restart at
// each figure. Window-free, so it can be checked without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "chart/core/chart_series.h"
#include "chart/core/geometry.h"

namespace chart {

// On/off lengths of a dash style in pen widths; empty for solid and for unknown numbers.
std::span<const float> DashPattern(int dashStyle);

// One cubic Bezier segment: start, two control points, end.
struct BezierSegment {
  PointF start;
  PointF control1;
  PointF control2;
  PointF end;
};

// The cardinal spline through points with the given tension, one segment per neighbour pair:
// controls P[i] + (t/3)(P[i+1] - P[i-1]) and P[i+1] - (t/3)(P[i+2] - P[i]), with the end
// points repeated beyond the ends. Fewer than two points give no segment.
void CardinalSplineSegments(std::span<const PointF> points, float tension,
                            std::vector<BezierSegment>& out);

// A set of open polylines ("figures") kept in one point vector to avoid an allocation per dash.
struct Polylines {
  std::vector<PointF> points;
  std::vector<std::size_t> starts;  // index of each figure's first point in points

  void Clear() {
    points.clear();
    starts.clear();
  }
  std::size_t FigureCount() const { return starts.size(); }
  std::span<const PointF> Figure(std::size_t i) const;
};

// Appends the spline as one polyline, each Bezier cut into short chords (about 2 px long),
// or the straight segments themselves when the tension is 0.
void FlattenCardinalSpline(std::span<const PointF> points, float tension, Polylines& out);

// Cuts one figure into dashes. pattern holds absolute on/off lengths and starts afresh at the
// figure's first point. capInset shortens each dash at both ends, for pens whose round caps
// would otherwise grow every dash into its gap. Each dash is appended as its own figure.
void AppendDashes(std::span<const PointF> figure, std::span<const float> pattern, float capInset,
                  Polylines& out);

}  // namespace chart
