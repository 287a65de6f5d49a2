// Paint sequence of the chart container.
#include "chart/chart_paint.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "chart/chart_draw.h"

namespace chart {
namespace {

constexpr float kScreenScale = 1.0f;

// The stretches of [from, to) left over after cutting out the given intervals.
std::vector<std::pair<int, int>> Uncovered(int from, int to,
                                           std::vector<std::pair<int, int>> cuts) {
  std::sort(cuts.begin(), cuts.end());
  std::vector<std::pair<int, int>> out;
  int at = from;
  for (const auto& [lo, hi] : cuts) {
    if (lo > at) out.emplace_back(at, std::min(lo, to));
    at = std::max(at, hi);
    if (at >= to) break;
  }
  if (at < to) out.emplace_back(at, to);
  return out;
}

}  // namespace

ChartPaintFrame LayoutChartPaint(ChartContainerCore& core, const RectF& bounds,
                                 const ChartPaintOptions& options) {
  ChartPaintFrame paint;
  paint.frame = {bounds.x, bounds.y, bounds.width - 1.0f, bounds.height - 1.0f};
  paint.layout = options.storeLayout ? core.PreparePaint(bounds) : core.ComputePaintLayout(bounds);
  return paint;
}

void DrawChartBackground(wxGraphicsContext& gc, const ChartContainerCore& core,
                         const ChartPaintFrame& paint, bool focused) {
  const RectF& frame = paint.frame;
  DrawFocusBox(gc, frame.x, frame.y, frame.width, frame.height,
               core.Colour(ChartColourRole::kBackground), core.Colour(ChartColourRole::kBorder),
               focused);
  const ChartPaintLayout& layout = paint.layout;
  if (!layout.hasSeries) return;
  const std::uint32_t grid = core.Colour(ChartColourRole::kGrid);
  if (!layout.hasPoints) {
    DrawDashedGrid(gc, layout.plot, 0.0f, 0.0f, grid, 1.0f);
    return;
  }
  const auto [minX, maxX] = core.ExtentX();
  const auto [minY, maxY] = core.ExtentY();
  const AxesLayout axes =
      DrawAxes(gc, layout.plot, minX, maxX, minY, maxY, core.Colour(ChartColourRole::kAxes), 1.0f);
  const PointF crossing = axes.Crossing();
  DrawDashedGrid(gc, layout.plot, crossing.x, crossing.y, grid, 1.0f);
}

void DrawChartSeriesLayer(wxGraphicsContext& gc, const ChartContainerCore& core,
                          const ChartPaintFrame& paint, SeriesLayer which) {
  const ChartPaintLayout& layout = paint.layout;
  if (!layout.hasPoints) return;
  const auto [minX, maxX] = core.ExtentX();
  ChartDrawScratch scratch;
  for (const auto& [index, series] : core.SeriesMap()) {
    if (!series->IsVisible() || !series->HasPoints()) continue;
    if (which != SeriesLayer::kAll && core.IsLiveChart(index) != (which == SeriesLayer::kLive)) {
      continue;
    }
    DrawChartSeries(gc, *series, series->Points(), minX, maxX, layout.transform, scratch,
                    kScreenScale);
  }
}

void DrawChartForeground(wxGraphicsContext& gc, const ChartContainerCore& core,
                         const ChartPaintFrame& paint, const ChartPaintOptions& options,
                         SeriesLayer series) {
  const ChartPaintLayout& layout = paint.layout;
  if (!layout.hasPoints) return;
  DrawChartSeriesLayer(gc, core, paint, series);
  const auto [minX, maxX] = core.ExtentX();
  const ChartTransform& transform = layout.transform;
  const bool tracking = core.IsTracking();
  const std::uint32_t trackingColour = core.Colour(ChartColourRole::kTrackingMarks);
  if (tracking && options.trackingWindowExists) {
    for (const auto& [index, shown] : core.SeriesMap()) {
      if (!shown->IsVisible() || !shown->HasPoints()) continue;
      DrawTrackedPoints(gc, *shown, core.TrackedValuesFound(), core.TrackedX(), minX, maxX,
                        transform, layout.plot, trackingColour, kScreenScale);
    }
  }

  if (tracking) {
    DrawTrackingLine(gc, paint.frame, core.TrackedX(), core.TrackedValuesFound(), transform,
                     options.trackingWindowVisible, -1, trackingColour, kScreenScale);
  }
  if (options.drawSelectedPoints && !core.SelectedDataViewPoints().empty()) {
    if (const ChartSeries* shown = core.GetChart(core.DataViewIndex(), false)) {
      DrawSelectedPoints(gc, *shown, core.SelectedDataViewPoints(), minX, maxX, transform,
                         core.Colour(ChartColourRole::kSelectedPoints), kScreenScale);
    }
  }
  if (core.ShowsXBoundaries()) {
    DrawChartText(gc, paint.frame, MakeBoundaryLabels(core, layout.xAxis, layout.yAxis),
                  kScreenScale);
  }
}

void PaintChartContents(wxGraphicsContext& gc, ChartContainerCore& core, const RectF& bounds,
                        const ChartPaintOptions& options) {
  PrepareChartGraphics(gc);
  const ChartPaintFrame paint = LayoutChartPaint(core, bounds, options);
  DrawChartBackground(gc, core, paint, options.focused);
  DrawChartForeground(gc, core, paint, options);
}

ChartBackgroundKey BackgroundKey(const ChartContainerCore& core, const ChartPaintFrame& paint,
                                 bool focused) {
  ChartBackgroundKey key;
  key.width = paint.frame.width;
  key.height = paint.frame.height;
  key.focused = focused;
  key.hasSeries = paint.layout.hasSeries;
  key.hasPoints = paint.layout.hasPoints;
  key.crossingX = paint.layout.crossing.x;
  key.crossingY = paint.layout.crossing.y;
  key.fill = core.Colour(ChartColourRole::kBackground);
  key.border = core.Colour(ChartColourRole::kBorder);
  key.axes = core.Colour(ChartColourRole::kAxes);
  key.grid = core.Colour(ChartColourRole::kGrid);
  return key;
}

std::vector<double> CachedSeriesSignature(const ChartContainerCore& core,
                                          const ChartPaintFrame& paint) {
  const ChartTransform& t = paint.layout.transform;
  const auto [minX, maxX] = core.ExtentX();
  std::vector<double> signature{t.scaleX, t.scaleY, t.offsetX, t.offsetY, minX, maxX};
  for (const auto& [index, series] : core.SeriesMap()) {
    if (core.IsLiveChart(index) || !series->IsVisible() || !series->HasPoints()) continue;
    signature.insert(
        signature.end(),
        {static_cast<double>(index), static_cast<double>(series->IsSelected()),
         static_cast<double>(series->ShowsPoints()), static_cast<double>(series->Colour()),
         static_cast<double>(series->DashStyle()), series->PenWidth(), series->Tension(),
         series->YScale(), static_cast<double>(series->Points().size())});
    for (const ChartPoint& p : series->Points()) signature.insert(signature.end(), {p.x, p.y});
  }
  return signature;
}

void DrawLiveLines(wxGraphicsContext& gc, const wxSize& client, std::span<const LiveLine> lines,
                   std::span<const wxRect> interrupting, std::uint32_t colour) {
  if (lines.empty() || client.x <= 0 || client.y <= 0) return;
  wxGraphicsPath path = gc.CreatePath();
  for (const LiveLine& line : lines) {
    std::vector<std::pair<int, int>> cuts;
    for (const wxRect& w : interrupting) {
      // A window interrupts the line when the line crosses it (tested at its middle).
      if (line.vertical && line.position >= w.GetLeft() && line.position <= w.GetRight()) {
        cuts.emplace_back(w.GetTop(), w.GetBottom() + 1);
      } else if (!line.vertical && line.position >= w.GetTop() && line.position <= w.GetBottom()) {
        cuts.emplace_back(w.GetLeft(), w.GetRight() + 1);
      }
    }
    const int length = line.vertical ? client.y : client.x;
    for (const auto& [from, to] : Uncovered(0, length, std::move(cuts))) {
      if (line.vertical) {
        path.MoveToPoint(line.position, from);
        path.AddLineToPoint(line.position, to);
      } else {
        path.MoveToPoint(from, line.position);
        path.AddLineToPoint(to, line.position);
      }
    }
  }
  wxGraphicsPenInfo info(ArgbToColour(colour), 1.0, wxPENSTYLE_SOLID);
  gc.SetPen(gc.CreatePen(info.Cap(wxCAP_BUTT)));
  gc.StrokePath(path);
}

}  // namespace chart
