// Small float geometry for the chart core, with the semantics of wx's graphics context
// (wxGraphicsContext), which draws it: a rectangle is its top-left corner plus width and
// height, screen Y grows downwards.
#pragma once

namespace chart {

// Screen pixels per inch that the chart's pixel lengths, and a drawing scale of 1.0, stand for.
inline constexpr double kScreenPixelsPerInch = 96.0;

struct PointF {
  float x = 0.0f;
  float y = 0.0f;
};

struct SizeF {
  float width = 0.0f;
  float height = 0.0f;
};

struct RectF {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;

  float Left() const { return x; }
  float Top() const { return y; }
  float Right() const { return x + width; }
  float Bottom() const { return y + height; }
};

// Integer screen point, as produced by RoundPointF.
struct Point {
  int x = 0;
  int y = 0;
};

// Rectangle of size (w, h) centred on (cx, cy); the half sizes are rounded to float first,
// so the width is exactly twice the float half width.
RectF RectFFromCenter(float cx, float cy, float w, float h);

// Rounds each coordinate half away from zero: (2.5, -2.5) gives (3, -3).
Point RoundPointF(float x, float y);

}  // namespace chart
