// Chart data records: points, one named series with its look and its point queries, the
// record with which a caller adds a series, and the label row of data windows and legends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/core/chart_format.h"
#include "chart/core/geometry.h"

namespace chart {

struct ChartTransform;

struct ChartPoint {
  double x = 0.0;
  double y = 0.0;
};

using ChartPoints = std::vector<ChartPoint>;

// Copy of points, stable-sorted by ascending x (equal x keep the caller's order).
ChartPoints SortedChartPoints(const ChartPoints& points);

// Dash styles by number, as a series keeps them; chart/chart_stroke gives each its dash pattern,
// which chart/chart_draw strokes with wx's graphics context (wxGraphicsContext). kDashMarksOnly
// draws plus marks and no curve.
enum ChartDashStyle : std::int32_t {
  kDashSolid = 0,
  kDashDash = 1,
  kDashDot = 2,
  kDashDashDot = 3,
  kDashDashDotDot = 4,
  kDashMarksOnly = 5,
};

// What a caller passes to add a series. points is caller-owned and only copied.
struct ChartAddRecord {
  bool visible = true;
  bool showPoints = true;
  std::wstring name;   // empty: the container picks "Cnart_<index>"
  std::wstring nameY;  // empty means "Y"
  std::int32_t precisionY = 3;
  std::int32_t dashStyle = kDashSolid;
  float penWidth = 2.0f;
  float tension = 0.0f;
  std::uint32_t colour = 0xFF000000;  // ARGB
  const ChartPoints* points = nullptr;
};

// One line of the data window or the legend.
struct ChartLabelRow {
  std::wstring seriesName;
  std::wstring nameX;
  std::wstring textX;
  std::wstring nameY;
  std::wstring textY;
  std::uint32_t colour = 0xFF000000;
  std::int32_t dashStyle = kDashSolid;
  float penWidth = 2.0f;
};

// Result of FindNearestPointX: position == Points().end() when nothing lies in the window.
// ordinal is 1 + the number of earlier points with the same x (0 when not found).
struct NearestPoint {
  ChartPoints::const_iterator position;
  int ordinal = 0;
};

// Raises the alpha of an ARGB colour to at least 0x80, so labels stay readable.
std::uint32_t LabelColour(std::uint32_t argb);

// One named series. Points are kept sorted by x; the four extents always match the points
// (+DBL_MAX / -DBL_MAX for a series without points).
class ChartSeries {
 public:
  ChartSeries();

  // Fills the look and the names. Throws ChartArgumentError, leaving the series unchanged,
  // when name is empty. Points, extents, selection and yScale are not touched.
  void InitChartSeries(bool visible, bool showPoints, std::int32_t index, std::wstring name,
                       std::wstring nameY, std::int32_t precisionY, std::int32_t dashStyle,
                       float penWidth, float tension, std::uint32_t colour);

  // A copy owned by the caller. Without keepState, visible, selected, showPoints and yScale
  // take a fresh series' values.
  std::unique_ptr<ChartSeries> CloneChartSeries(bool keepState) const;

  // Replaces the points with a sorted copy and recomputes the extents.
  void SetPoints(const ChartPoints& points);
  // Takes points that the caller has already sorted by x.
  void SetSortedPoints(ChartPoints points);

  const std::wstring& GetChartName() const { return name_; }
  const std::wstring& GetChartSecondName() const { return nameY_; }
  const ChartPoints& Points() const { return points_; }
  bool HasPoints() const { return !points_.empty(); }
  // The points span a real X or Y range.
  bool HasExtent() const { return minX_ < maxX_ || minY_ < maxY_; }

  bool IsVisible() const { return visible_; }
  bool IsSelected() const { return selected_; }
  bool ShowsPoints() const { return showPoints_; }
  std::int32_t Index() const { return index_; }
  std::uint32_t Colour() const { return colour_; }
  std::int32_t DashStyle() const { return dashStyle_; }
  float PenWidth() const { return penWidth_; }
  float Tension() const { return tension_; }
  double MinX() const { return minX_; }
  double MaxX() const { return maxX_; }
  double MinY() const { return minY_; }
  double MaxY() const { return maxY_; }
  std::int32_t PrecisionY() const { return precisionY_; }
  double YScale() const { return yScale_; }
  ChartValueFormatter FormatterY() const { return formatterY_; }

  void SetVisible(bool visible) { visible_ = visible; }
  void SetSelected(bool selected) { selected_ = selected; }
  void SetShowPoints(bool showPoints) { showPoints_ = showPoints; }
  void SetYScale(double yScale) { yScale_ = yScale; }

  // The point nearest to target.x inside the open window target.x +- width / 2; of equally
  // near points the later one. out receives the point when one is found.
  NearestPoint FindNearestPointX(const ChartPoint& target, double width, ChartPoint& out) const;

  // Maps the points from the one before minX through the first at or beyond maxX (a single
  // point whatever its x) through the transform, applying yScale, into out (resized).
  // Returns false when the range is empty. Throws ChartArgumentError for an empty vector.
  bool GetScreenPoints(const ChartPoints& points, std::vector<PointF>& out,
                       const ChartTransform& transform, double minX, double maxX) const;

  ChartLabelRow BuildPointLabelRow(double x, double y, const std::wstring& nameX,
                                   std::int32_t precisionX, ChartValueFormatter formatterX) const;
  // False (row untouched) for a hidden series or one without points.
  bool BuildLegendLabelRow(ChartLabelRow& row) const;

 private:
  bool visible_ = true;
  bool selected_ = false;
  bool showPoints_ = true;
  std::int32_t index_ = -1;
  std::uint32_t colour_ = 0xFF000000;
  std::int32_t dashStyle_ = kDashSolid;
  float penWidth_ = 2.0f;
  float tension_ = 0.0f;
  double minX_;
  double maxX_;
  double minY_;
  double maxY_;
  std::int32_t precisionY_ = 3;
  double yScale_ = 1.0;
  std::wstring name_;
  std::wstring nameY_ = L"Y";
  ChartValueFormatter formatterY_ = FormatChartValue;
  ChartPoints points_;
};

// Index of the first screen point whose successor has a different x and lies less than
// distance to its right; points.size() when there is none. Used to drop crowded markers.
std::size_t FindCloseNeighbour(const std::vector<PointF>& points, float distance);

}  // namespace chart
