// Cardinal splines, flattening and dashing for the chart's curves and grid.
#include "chart/chart_stroke.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace chart {
namespace {

constexpr std::array<float, 2> kDashPattern{3.0f, 1.0f};
constexpr std::array<float, 2> kDotPattern{1.0f, 1.0f};
constexpr std::array<float, 4> kDashDotPattern{3.0f, 1.0f, 1.0f, 1.0f};
constexpr std::array<float, 6> kDashDotDotPattern{3.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};

// Chords of about this length (px) follow a Bezier closely enough for a dashed curve.
constexpr float kChordLength = 2.0f;
constexpr int kMaxChordsPerSegment = 64;

PointF Lerp(PointF a, PointF b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

float Distance(PointF a, PointF b) { return std::hypot(b.x - a.x, b.y - a.y); }

PointF BezierAt(const BezierSegment& s, float t) {
  const float u = 1.0f - t;
  const float a = u * u * u;
  const float b = 3.0f * u * u * t;
  const float c = 3.0f * u * t * t;
  const float d = t * t * t;
  return {a * s.start.x + b * s.control1.x + c * s.control2.x + d * s.end.x,
          a * s.start.y + b * s.control1.y + c * s.control2.y + d * s.end.y};
}

}  // namespace

std::span<const float> DashPattern(int dashStyle) {
  switch (dashStyle) {
    case kDashDash: return kDashPattern;
    case kDashDot: return kDotPattern;
    case kDashDashDot: return kDashDotPattern;
    case kDashDashDotDot: return kDashDotDotPattern;
    default: return {};
  }
}

void CardinalSplineSegments(std::span<const PointF> points, float tension,
                            std::vector<BezierSegment>& out) {
  out.clear();
  const std::size_t n = points.size();
  if (n < 2) return;
  out.reserve(n - 1);
  const float k = tension / 3.0f;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const PointF prev = points[i == 0 ? 0 : i - 1];
    const PointF p0 = points[i];
    const PointF p1 = points[i + 1];
    const PointF next = points[i + 2 < n ? i + 2 : n - 1];
    out.push_back({p0,
                   {p0.x + k * (p1.x - prev.x), p0.y + k * (p1.y - prev.y)},
                   {p1.x - k * (next.x - p0.x), p1.y - k * (next.y - p0.y)},
                   p1});
  }
}

std::span<const PointF> Polylines::Figure(std::size_t i) const {
  const std::size_t begin = starts[i];
  const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : points.size();
  return std::span<const PointF>(points).subspan(begin, end - begin);
}

void FlattenCardinalSpline(std::span<const PointF> points, float tension, Polylines& out) {
  if (points.empty()) return;
  out.starts.push_back(out.points.size());
  out.points.push_back(points[0]);
  if (tension == 0.0f) {
    out.points.insert(out.points.end(), points.begin() + 1, points.end());
    return;
  }
  std::vector<BezierSegment> segments;
  CardinalSplineSegments(points, tension, segments);
  for (const BezierSegment& s : segments) {
    const float hull = Distance(s.start, s.control1) + Distance(s.control1, s.control2) +
                       Distance(s.control2, s.end);
    const int chords =
        std::clamp(static_cast<int>(std::ceil(hull / kChordLength)), 1, kMaxChordsPerSegment);
    for (int c = 1; c < chords; ++c) out.points.push_back(BezierAt(s, float(c) / float(chords)));
    out.points.push_back(s.end);
  }
}

void AppendDashes(std::span<const PointF> figure, std::span<const float> pattern, float capInset,
                  Polylines& out) {
  if (figure.size() < 2 || pattern.empty()) return;
  float period = 0.0f;
  for (float len : pattern) period += len;
  if (!(period > 0.0f) || !std::isfinite(period)) return;

  // Walk the figure once; `pos` is the distance along it, dashes are [on start, on end)
  // intervals of the repeating pattern, shrunk by capInset at both ends.
  std::size_t patternIndex = 0;
  float phaseStart = 0.0f;  // where the current pattern entry starts along the figure
  bool open = false;        // a dash figure is being appended
  float pos = 0.0f;

  auto dashBounds = [&](float& from, float& to) {
    from = phaseStart + capInset;
    to = phaseStart + pattern[patternIndex] - capInset;
  };

  for (std::size_t i = 0; i + 1 < figure.size(); ++i) {
    const PointF a = figure[i];
    const PointF b = figure[i + 1];
    const float len = Distance(a, b);
    if (len <= 0.0f) continue;
    const float segEnd = pos + len;
    while (true) {
      const bool on = patternIndex % 2 == 0;
      const float entryEnd = phaseStart + pattern[patternIndex];
      if (on) {
        float from, to;
        dashBounds(from, to);
        if (to > from) {
          const float s = std::max(from, pos);
          const float e = std::min(to, segEnd);
          if (e > s || (open && e >= s)) {
            if (!open) {
              out.starts.push_back(out.points.size());
              out.points.push_back(Lerp(a, b, (s - pos) / len));
              open = true;
            }
            out.points.push_back(Lerp(a, b, (e - pos) / len));
          }
          if (to <= segEnd) open = false;
        }
      }
      if (entryEnd > segEnd) break;
      phaseStart = entryEnd;
      patternIndex = (patternIndex + 1) % pattern.size();
    }
    pos = segEnd;
  }
}

}  // namespace chart
