// Layout of a data window (the legend or the tracking values box) from the measured sizes of
// its texts, and where it goes in the container's client area. The window measures the texts.
#pragma once

#include <array>
#include <vector>

#include "chart/core/geometry.h"

namespace chart {

// Integer rectangle with exclusive right and bottom edges, as window rectangles are kept.
struct IntRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const IntRect&) const = default;
};

// The five texts of a data window row, left to right.
enum DataWndColumn : int {
  kDataWndName = 0,
  kDataWndNameX,
  kDataWndTextX,
  kDataWndNameY,
  kDataWndTextY,
  kDataWndColumnCount,
};

// Measured boxes of one row's texts; an empty text measures (0, 0).
using DataWndRowSizes = std::array<SizeF, kDataWndColumnCount>;
// Sizes at or below this count as nothing: an all-empty column takes no room, and rows that
// measure nothing are not drawn.
inline constexpr float kTinySize = 1.1920929e-7f;

// Where the name column starts: room for the line sample before it.
inline constexpr float kDataWndNameIndent = 26.0f;
// Added to column widths, above the first row and before the line sample.
inline constexpr float kDataWndSpacing = 3.0f;
inline constexpr float kDataWndSampleLength = 20.0f;
// Gap between a data window and the edge or line it is placed against.
inline constexpr int kDataWndOffset = 6;

struct DataWndLayout {
  RectF row;  // (0, 0, total width, row height)
  // x = where the column starts, width = its width; only the name column in legend mode.
  std::array<RectF, kDataWndColumnCount> columns{};
  IntRect content;  // the window's size at (0, 0), borders included; empty without rows
};

// Columns and window size for rows measured as given. colonWidth is the measured width of
// ": ", which follows the name in tracking mode; border is the window border's width (x) and
// height (y), added on every side.
DataWndLayout LayoutDataWnd(const std::vector<DataWndRowSizes>& rows, bool trackingMode,
                            float colonWidth, Point border);

// Legend: 6 px inside the client's top-right corner.
IntRect PlaceLegendWindow(const IntRect& content, const IntRect& client);
// Tracking values: beside the tracking line at x (right of it in the client's left half,
// else left of it), kept inside the client horizontally, 6 px above the client's bottom.
IntRect PlaceTrackingWindow(const IntRect& content, const IntRect& client, int x);

}  // namespace chart
