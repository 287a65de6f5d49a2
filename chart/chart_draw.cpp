// Drawing of the chart's elements through wxGraphicsContext.
#include "chart/chart_draw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <cwchar>

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/image.h>

namespace chart {
namespace {

// Boundary labels: "Verdana" 7 pt bold.
constexpr double kBoundaryLabelPoints = 7.0;
// Printed page header: "Verdana" 16 pt, in a band 80 units high, 200 in and 250 down.
constexpr double kPageHeaderPoints = 16.0;
constexpr float kPageHeaderInsetX = 200.0f;
constexpr float kPageHeaderInsetY = 250.0f;
constexpr float kPageHeaderHeight = 80.0f;
// Dash lengths are multiples of the pen width, but of no less than one pixel, so that a thin
// pen does not cut a curve into thousands of specks.
constexpr float kMinDashUnit = 1.0f;

wxGraphicsPen MakePen(wxGraphicsContext& gc, std::uint32_t argb, float width,
                      wxPenCap cap = wxCAP_BUTT) {
  wxGraphicsPenInfo info(ArgbToColour(argb), width, wxPENSTYLE_SOLID);
  info.Cap(cap).Join(wxJOIN_MITER);
  return gc.CreatePen(info);
}

bool IsFinite(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool AllFinite(std::span<const PointF> points) {
  for (const PointF& p : points) {
    if (!IsFinite(p)) return false;
  }
  return true;
}

void AddFigures(wxGraphicsPath& path, const Polylines& lines) {
  for (std::size_t f = 0; f < lines.FigureCount(); ++f) {
    const std::span<const PointF> figure = lines.Figure(f);
    if (figure.empty()) continue;
    path.MoveToPoint(figure[0].x, figure[0].y);
    for (std::size_t i = 1; i < figure.size(); ++i) path.AddLineToPoint(figure[i].x, figure[i].y);
  }
}

// Strokes every figure of lines; with a dash pattern (in pen widths) each figure is dashed
// from its own start.
void StrokeFigures(wxGraphicsContext& gc, const Polylines& lines, std::span<const float> pattern,
                   float penWidth, Polylines& dashes, float capInset = 0.0f) {
  wxGraphicsPath path = gc.CreatePath();
  if (pattern.empty()) {
    AddFigures(path, lines);
  } else {
    std::array<float, 6> scaled{};
    const std::size_t count = std::min(pattern.size(), scaled.size());
    const float unit = std::max(penWidth, kMinDashUnit);
    for (std::size_t i = 0; i < count; ++i) scaled[i] = pattern[i] * unit;
    dashes.Clear();
    for (std::size_t f = 0; f < lines.FigureCount(); ++f) {
      AppendDashes(lines.Figure(f), std::span<const float>(scaled.data(), count), capInset, dashes);
    }
    AddFigures(path, dashes);
  }
  gc.StrokePath(path);
}

void AddSpline(wxGraphicsPath& path, std::span<const PointF> points, float tension,
               std::vector<BezierSegment>& segments) {
  path.MoveToPoint(points[0].x, points[0].y);
  if (tension == 0.0f) {
    for (std::size_t i = 1; i < points.size(); ++i) path.AddLineToPoint(points[i].x, points[i].y);
    return;
  }
  CardinalSplineSegments(points, tension, segments);
  for (const BezierSegment& s : segments) {
    path.AddCurveToPoint(s.control1.x, s.control1.y, s.control2.x, s.control2.y, s.end.x, s.end.y);
  }
}

// The curve through points in the pen's dash style (any unknown style draws solid).
void StrokeCurve(wxGraphicsContext& gc, std::span<const PointF> points, float tension,
                 int dashStyle, float penWidth, ChartDrawScratch& scratch) {
  const std::span<const float> pattern = DashPattern(dashStyle);
  if (pattern.empty()) {
    wxGraphicsPath path = gc.CreatePath();
    AddSpline(path, points, tension, scratch.segments);
    gc.StrokePath(path);
    return;
  }
  scratch.lines.Clear();
  FlattenCardinalSpline(points, tension, scratch.lines);
  StrokeFigures(gc, scratch.lines, pattern, penWidth, scratch.dashes);
}

void AddCircle(wxGraphicsPath& path, PointF centre, float diameter) {
  const RectF r = RectFFromCenter(centre.x, centre.y, diameter, diameter);
  path.AddEllipse(r.x, r.y, r.width, r.height);
}

void AddPlus(wxGraphicsPath& path, float cx, float cy, float width, float height) {
  path.MoveToPoint(cx - width * 0.5f, cy);
  path.AddLineToPoint(cx + width * 0.5f, cy);
  path.MoveToPoint(cx, cy - height * 0.5f);
  path.AddLineToPoint(cx, cy + height * 0.5f);
}

bool Contains(const RectF& r, PointF p) {
  return p.x >= r.Left() && p.x <= r.Right() && p.y >= r.Top() && p.y <= r.Bottom();
}

RectF Grown(const RectF& r, float by) {
  return {r.x - by, r.y - by, r.width + 2.0f * by, r.height + 2.0f * by};
}

// Draws text so that its top-left corner lands on a whole device pixel, as grid-fitted text does.
void DrawTextOnPixel(wxGraphicsContext& gc, const std::wstring& text, double x, double y) {
  gc.DrawText(text, std::floor(x + 0.5) - 0.5, std::floor(y + 0.5) - 0.5);
}

// One period of the grid's dash (3 on, 1 off) as a repeating 1-px brush along x or y.
wxGraphicsBrush DashBrush(wxGraphicsContext& gc, std::uint32_t colour, bool alongX) {
  const std::span<const float> pattern = DashPattern(kDashDash);
  const int on = static_cast<int>(pattern[0]);
  const int period = on + static_cast<int>(pattern[1]);
  wxImage texture(alongX ? period : 1, alongX ? 1 : period);
  texture.InitAlpha();
  for (int i = 0; i < period; ++i) {
    const int x = alongX ? i : 0, y = alongX ? 0 : i;
    texture.SetRGB(x, y, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    texture.SetAlpha(x, y, i < on ? static_cast<unsigned char>(colour >> 24) : 0);
  }
  wxBrush brush;
  brush.SetStipple(wxBitmap(texture, 32));
  return gc.CreateBrush(brush);
}

// The 1-px screen grid: each line is one box filled with a repeating dash texture that starts
// at the line's start, instead of hundreds of stroked dashes. A round cap of a 1-px pen is a
// half disc of a quarter pixel, so square dash ends cover the same pixels to a few hundredths.
void DrawHairlineGrid(wxGraphicsContext& gc, const Polylines& lines, std::uint32_t colour) {
  const wxGraphicsBrush alongX = DashBrush(gc, colour, true);
  const wxGraphicsBrush alongY = DashBrush(gc, colour, false);
  gc.SetPen(wxNullGraphicsPen);
  for (std::size_t f = 0; f < lines.FigureCount(); ++f) {
    const std::span<const PointF> line = lines.Figure(f);
    const PointF a = line.front(), b = line.back();
    const bool horizontal = a.y == b.y;
    // Whole coordinates are pixel centres: the texture starts on the pixel edge before a.
    gc.PushState();
    gc.Translate(a.x - 0.5, a.y - 0.5);
    gc.SetBrush(horizontal ? alongX : alongY);
    if (horizontal) {
      gc.DrawRectangle(0.5, 0.0, b.x - a.x, 1.0);
    } else {
      gc.DrawRectangle(0.0, 0.5, 1.0, b.y - a.y);
    }
    gc.PopState();
  }
  gc.SetBrush(wxNullGraphicsBrush);
}

}  // namespace

wxColour ArgbToColour(std::uint32_t argb) {
  return wxColour(static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                  static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 24));
}

std::uint32_t WithAlpha(std::uint32_t argb, std::uint8_t alpha) {
  return (argb & 0x00FFFFFFu) | (std::uint32_t{alpha} << 24);
}

wxFont ChartFont(double points, double unitsPerInch, bool bold) {
  wxFontInfo info(static_cast<float>(points * unitsPerInch / kScreenPixelsPerInch));
  info.FaceName("Verdana");
  if (bold) info.Bold();
  return wxFont(info);
}

void PrepareChartGraphics(wxGraphicsContext& gc) {
  gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
  gc.DisableOffset();
  gc.Translate(0.5, 0.5);
}

void DrawFocusBox(wxGraphicsContext& gc, float x, float y, float w, float h,
                  std::uint32_t fillColour, std::uint32_t borderColour, bool focused) {
  gc.SetPen(wxNullGraphicsPen);
  gc.SetBrush(gc.CreateBrush(wxBrush(ArgbToColour(fillColour))));
  // An opaque frame covers the fill's half-covered edge pixels anyway; filled out to whole
  // pixels, the fill takes the rasteriser's fast path.
  const bool opaqueFrame = (borderColour >> 24) == 0xFF;
  const float grow = opaqueFrame ? 0.5f : 0.0f;
  gc.DrawRectangle(x - grow, y - grow, w + 2.0f * grow, h + 2.0f * grow);
  gc.SetBrush(wxNullGraphicsBrush);

  gc.SetPen(MakePen(gc, borderColour, 1.0f));
  wxGraphicsPath frame = gc.CreatePath();
  frame.AddRectangle(x, y, w, h);
  gc.StrokePath(frame);
  if (!focused) return;

  const float fx = x + 3.0f, fy = y + 3.0f, fw = w - 6.0f, fh = h - 6.0f;
  if (!(fw > 0.0f) || !(fh > 0.0f)) return;
  Polylines outline;
  outline.starts.push_back(0);
  outline.points = {{fx, fy}, {fx + fw, fy}, {fx + fw, fy + fh}, {fx, fy + fh}, {fx, fy}};
  Polylines dashes;
  StrokeFigures(gc, outline, DashPattern(kDashDash), 1.0f, dashes);
}

void DrawDashedGrid(wxGraphicsContext& gc, const RectF& plot, float originX, float originY,
                    std::uint32_t gridColour, float penWidth) {
  // Without area the steps below are 0 or negative and would never reach an edge.
  if (!(plot.width > 0.0f) || !(plot.height > 0.0f) || !std::isfinite(plot.width) ||
      !std::isfinite(plot.height) || !std::isfinite(originX) || !std::isfinite(originY)) {
    return;
  }
  // Steps of a tenth rarely add up exactly: a line within this of an edge is on the edge.
  constexpr float kEdge = 1e-3f;
  const float dx = plot.width / kGridDivisions;
  const float dy = plot.height / kGridDivisions;
  Polylines lines;
  auto horizontal = [&](float y) {
    lines.starts.push_back(lines.points.size());
    lines.points.push_back({plot.Left(), y});
    lines.points.push_back({plot.Right(), y});
  };
  auto vertical = [&](float x) {
    lines.starts.push_back(lines.points.size());
    lines.points.push_back({x, plot.Top()});
    lines.points.push_back({x, plot.Bottom()});
  };
  // From the origin towards one edge, one step at a time, stopping short of the edge.
  auto walk = [&](float origin, float step, float edge, auto add) {
    for (int k = 1; k <= kGridDivisions; ++k) {
      const float at = origin + k * step;
      if (step > 0.0f ? !(at < edge - kEdge) : !(at > edge + kEdge)) break;
      add(at);
    }
  };
  walk(originY, dy, plot.Bottom(), horizontal);
  walk(originY, -dy, plot.Top(), horizontal);
  walk(originX, dx, plot.Right(), vertical);
  walk(originX, -dx, plot.Left(), vertical);
  if (lines.FigureCount() == 0) return;
  Polylines dashes;
  if (penWidth == 1.0f) {
    DrawHairlineGrid(gc, lines, gridColour);
    return;
  }
  gc.SetPen(MakePen(gc, gridColour, penWidth, wxCAP_ROUND));
  // Round caps reach half a pen width past each dash's end; pull the dashes in by as much so
  // that dashes and gaps keep their 3 : 1 look.
  StrokeFigures(gc, lines, DashPattern(kDashDash), penWidth, dashes, penWidth * 0.5f);
}

AxesLayout DrawAxes(wxGraphicsContext& gc, const RectF& plot, double minX, double maxX, double minY,
                    double maxY, std::uint32_t axesColour, float w) {
  AxesLayout layout{GetXAxisPlacement(plot, minY, maxY), GetYAxisPlacement(plot, minX, maxX)};
  if (!std::isfinite(layout.xAxis.position) || !std::isfinite(layout.yAxis.position)) {
    return layout;
  }
  gc.SetPen(MakePen(gc, axesColour, 2.0f * w));
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(plot.Left() - 3.0f * w, layout.xAxis.position);
  path.AddLineToPoint(plot.Right() + 3.0f * w, layout.xAxis.position);
  path.MoveToPoint(layout.yAxis.position, plot.Bottom() + 3.0f * w);
  path.AddLineToPoint(layout.yAxis.position, plot.Top() - 3.0f * w);
  gc.StrokePath(path);
  return layout;
}

bool DrawChartSeries(wxGraphicsContext& gc, const ChartSeries& series, const ChartPoints& points,
                     double minX, double maxX, const ChartTransform& transform,
                     ChartDrawScratch& scratch, float scale) {
  if (points.empty() || !IsInvertible(transform)) return false;
  std::vector<PointF>& screen = scratch.screen;
  if (!series.GetScreenPoints(points, screen, transform, minX, maxX) || screen.empty()) {
    return false;
  }
  // Extreme data can overflow the float screen space; such a series is skipped, not drawn wild.
  if (!AllFinite(screen)) return false;

  const float s = scale;
  const std::size_t n = screen.size();
  const bool onScreen = s == 1.0f;
  const bool halo = series.IsSelected() && onScreen;
  const int dashStyle = series.DashStyle();
  std::uint32_t colour = series.Colour();
  // A two-point line without markers (a cross-hair, say) is drawn translucent.
  if (!series.ShowsPoints() && n == 2) colour = WithAlpha(colour, kTranslucentAlpha);

  const float markerSize = kMarkerSize * s;
  wxGraphicsPath marks = gc.CreatePath();
  bool hasMarks = false;
  if (dashStyle == kDashMarksOnly) {
    for (const PointF& p : screen) AddPlus(marks, p.x, p.y, markerSize, markerSize);
    if (n == 1) AddCircle(marks, screen[0], markerSize);
    hasMarks = true;
  } else {
    if (n > 1) {
      gc.SetPen(MakePen(gc, colour, s * series.PenWidth()));
      StrokeCurve(gc, screen, series.Tension(), dashStyle, s * series.PenWidth(), scratch);
      if (halo) {
        gc.SetPen(MakePen(gc, WithAlpha(series.Colour(), kTranslucentAlpha),
                          s * (series.PenWidth() + 6.0f)));
        StrokeCurve(gc, screen, series.Tension(), kDashSolid, 0.0f, scratch);
      }
    }
    // Crowded markers would hide the curve, so a series shows all of them or none.
    if ((series.ShowsPoints() || n == 1) && FindCloseNeighbour(screen, markerSize) == n) {
      for (const PointF& p : screen) AddCircle(marks, p, markerSize);
      hasMarks = true;
    }
  }
  if (hasMarks) {
    gc.SetPen(MakePen(gc, colour, s));
    gc.StrokePath(marks);
    if ((dashStyle == kDashMarksOnly || n == 1) && halo) {
      gc.SetPen(
          MakePen(gc, WithAlpha(series.Colour(), kTranslucentAlpha), series.PenWidth() + 6.0f));
      gc.StrokePath(marks);
    }
  }
  return true;
}

bool DrawTrackedPoints(wxGraphicsContext& gc, const ChartSeries& series,
                       const TrackedValues& trackedValues, double trackedX, double minX,
                       double maxX, const ChartTransform& transform, const RectF& rect,
                       std::uint32_t colour, float scale) {
  if (!(trackedX >= minX && trackedX <= maxX)) return false;
  const auto [first, last] = trackedValues.equal_range(series.Index());
  if (first == last) return false;
  const RectF bounds = Grown(rect, 3.0f * scale);
  const float diameter = (kMarkerSize + 3.0f) * scale;
  wxGraphicsPath path = gc.CreatePath();
  bool any = false;
  for (auto it = first; it != last; ++it) {
    const ChartPoint& v = it->second;
    if (!(v.x >= minX && v.x <= maxX)) continue;
    const PointF p = transform.ToScreen(v.x, v.y * series.YScale());
    if (!IsFinite(p) || !Contains(bounds, p)) continue;
    AddCircle(path, p, diameter);
    any = true;
  }
  if (!any) return false;
  gc.SetPen(MakePen(gc, colour, scale));
  gc.StrokePath(path);
  return true;
}

bool DrawSelectedPoints(wxGraphicsContext& gc, const ChartSeries& series,
                        const DataViewPoints& selected, double minX, double maxX,
                        const ChartTransform& transform, std::uint32_t colour, float scale) {
  if (selected.empty() || !series.IsVisible() || !series.HasPoints()) return false;
  wxGraphicsPath path = gc.CreatePath();
  bool any = false;
  for (const auto& [position, point] : selected) {
    if (!(point.x >= minX && point.x <= maxX)) continue;
    const PointF p = transform.ToScreen(point.x, point.y * series.YScale());
    if (!IsFinite(p)) continue;
    AddCircle(path, p, 8.0f * scale);
    any = true;
  }
  if (!any) return false;
  gc.SetPen(MakePen(gc, colour, 2.0f * scale));
  gc.StrokePath(path);
  return true;
}

void DrawTrackingLine(wxGraphicsContext& gc, const RectF& rect, double trackedX,
                      const TrackedValues& trackedValues, const ChartTransform& transform,
                      bool trackingWindowVisible, std::int32_t seriesId, std::uint32_t colour,
                      float scale) {
  if (trackedValues.empty()) return;
  const bool onScreen = scale == 1.0f;
  if (onScreen && !trackingWindowVisible) return;
  if (!onScreen && !trackingWindowVisible) {
    const RectF bounds = Grown(rect, 3.0f * scale);
    bool inside = false;
    for (const auto& [id, v] : trackedValues) {
      if (seriesId != -1 && id != seriesId) continue;
      const PointF p = transform.ToScreen(v.x, v.y);
      if (IsFinite(p) && Contains(bounds, p)) {
        inside = true;
        break;
      }
    }
    if (!inside) return;
  }
  const float x = static_cast<float>(trackedX * transform.scaleX + transform.offsetX);
  if (!std::isfinite(x)) return;
  gc.SetPen(MakePen(gc, colour, scale));
  gc.StrokeLine(x, rect.Top(), x, rect.Bottom());
}

BoundaryLabels MakeBoundaryLabels(const ChartContainerCore& core, const AxisPlacement& xAxis,
                                  const AxisPlacement& yAxis) {
  BoundaryLabels labels;
  const auto [minX, maxX] = core.ExtentX();
  const ChartValueFormatter format = core.FormatterX();
  labels.left = core.NameX() + L" " + format(minX, core.PrecisionX(), false);
  labels.right = core.NameX() + L" " + format(maxX, core.PrecisionX(), false);
  labels.xAxis = xAxis;
  labels.yAxisCode = yAxis.code;
  labels.fillColour = core.Colour(ChartColourRole::kBackground);
  labels.textColour = core.Colour(ChartColourRole::kAxes);
  return labels;
}

void DrawChartText(wxGraphicsContext& gc, const RectF& rect, const BoundaryLabels& labels,
                   float scale) {
  const float s = scale;
  const RectF r{rect.x + 2.0f * s, rect.y + 2.0f * s, rect.width - 4.0f * s,
                rect.height - 4.0f * s};
  if (!(r.width > 0.0f) || !(r.height > 0.0f)) return;
  gc.SetFont(ChartFont(kBoundaryLabelPoints, kScreenPixelsPerInch * s, true),
             ArgbToColour(labels.textColour));
  double w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  gc.GetTextExtent(labels.left, &w1, &h1);
  gc.GetTextExtent(labels.right, &w2, &h2);

  const float axisY = labels.xAxis.position;
  bool above = labels.xAxis.code == kAxisAtHigh;
  if (labels.xAxis.code == kAxisAtZero && axisY + 3.0f * s + h1 > r.Bottom()) above = true;
  const double y1 = above ? axisY - h1 - 6.0f * s : axisY + 3.0f * s;
  const double y2 = above ? axisY - h2 - 6.0f * s : axisY + 3.0f * s;
  const double x1 = r.Left() + (labels.yAxisCode == kAxisAtLow ? 6.0f : 3.0f) * s;
  const double x2 = r.Right() - (labels.yAxisCode == kAxisAtHigh ? 6.0f : 3.0f) * s - w2;

  gc.SetPen(wxNullGraphicsPen);
  gc.SetBrush(gc.CreateBrush(wxBrush(ArgbToColour(labels.fillColour))));
  gc.DrawRectangle(x1, y1, w1, h1);
  gc.DrawRectangle(x2, y2, w2, h2);
  gc.SetBrush(wxNullGraphicsBrush);
  DrawTextOnPixel(gc, labels.left, x1, y1);
  DrawTextOnPixel(gc, labels.right, x2, y2);
}

void DrawTickMarks(wxGraphicsContext& gc, float startX, float y, float endX, float markWidth,
                   float markHeight, const wxGraphicsPen& pen, float scale) {
  const float step = scale * (markWidth + 1.0f);
  if (!(step > 0.0f) || !std::isfinite(step)) return;
  const float count = std::floor((scale + endX - startX) / step);
  if (!(count >= 1.0f)) return;
  wxGraphicsPath path = gc.CreatePath();
  float cx = startX + markWidth * scale * 0.5f;
  for (int i = 0; i < static_cast<int>(count); ++i, cx += step) {
    AddPlus(path, cx, y, markWidth * scale, markHeight * scale);
  }
  gc.SetPen(pen);
  gc.StrokePath(path);
}

std::wstring FormatPageDate() {
  static constexpr std::array<const wchar_t*, 7> kDays{L"Sun", L"Mon", L"Tue", L"Wed",
                                                       L"Thu", L"Fri", L"Sat"};
  static constexpr std::array<const wchar_t*, 12> kMonths{L"Jan", L"Feb", L"Mar", L"Apr",
                                                          L"May", L"Jun", L"Jul", L"Aug",
                                                          L"Sep", L"Oct", L"Nov", L"Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  wchar_t text[64];
  std::swprintf(text, 64, L"%ls, %ls %02d, %d, %02d:%02d", kDays[local.tm_wday % 7],
                kMonths[local.tm_mon % 12], local.tm_mday, local.tm_year + 1900, local.tm_hour,
                local.tm_min);
  return text;
}

std::wstring PrintPageHeader(wxGraphicsContext& gc, const std::wstring& containerName, float x,
                             float y, float w, float h, std::wstring date, double unitsPerInch) {
  (void)h;
  gc.SetFont(ChartFont(kPageHeaderPoints, unitsPerInch, false), *wxBLACK);
  const float left = x + kPageHeaderInsetX;
  const float top = y + kPageHeaderInsetY;
  const float width = w - 2.0f * kPageHeaderInsetX;
  if (date.empty()) date = FormatPageDate();
  double tw = 0, th = 0;
  // Near alignment for the name, far for the date; both centred in the band's height.
  gc.GetTextExtent(containerName, &tw, &th);
  gc.DrawText(containerName, left, top + (kPageHeaderHeight - th) * 0.5);
  gc.GetTextExtent(date, &tw, &th);
  gc.DrawText(date, left + width - tw, top + (kPageHeaderHeight - th) * 0.5);
  return date;
}

}  // namespace chart
