// A white image of known size with a graphics context on it, for checking drawing in pixels.
#pragma once

#include <cstdint>
#include <memory>

#include <wx/graphics.h>
#include <wx/image.h>

#include "chart/chart_draw.h"

namespace chart::test {

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

class TestCanvas {
 public:
  // prepare: set up the chart's pixel conventions, for routines that do not do it themselves.
  TestCanvas(int width, int height, bool prepare = true) : image_(width, height) {
    image_.SetRGB(wxRect(0, 0, width, height), 255, 255, 255);
    image_.InitAlpha();
    std::fill_n(image_.GetAlpha(), width * height, static_cast<unsigned char>(255));
    gc_.reset(wxGraphicsContext::Create(image_));
    if (prepare) PrepareChartGraphics(*gc_);
  }

  wxGraphicsContext& Gc() { return *gc_; }

  // Ends drawing: the pixels reach the image when the context goes.
  const wxImage& Finish() {
    gc_.reset();
    return image_;
  }

  Rgb At(int x, int y) const {
    return {image_.GetRed(x, y), image_.GetGreen(x, y), image_.GetBlue(x, y)};
  }
  bool IsWhite(int x, int y) const {
    const Rgb c = At(x, y);
    return c.r == 255 && c.g == 255 && c.b == 255;
  }
  // Clearly coloured: far from white.
  bool IsInked(int x, int y) const {
    const Rgb c = At(x, y);
    return c.r + c.g + c.b < 3 * 255 - 120;
  }

 private:
  wxImage image_;
  std::unique_ptr<wxGraphicsContext> gc_;
};

}  // namespace chart::test
