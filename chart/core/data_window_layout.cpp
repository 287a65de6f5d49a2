// Data window columns, size and placement.
#include "chart/core/data_window_layout.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

// The widest box of one column over all rows; the first of equal widths stays.
SizeF WidestBox(const std::vector<DataWndRowSizes>& rows, int column) {
  SizeF widest;
  bool first = true;
  for (const DataWndRowSizes& row : rows) {
    const SizeF& box = row[column];
    if (first || box.width > widest.width) widest = box;
    first = false;
  }
  return widest;
}

bool HasRoom(const SizeF& box) { return box.width > kTinySize && box.height > kTinySize; }

bool Contains(const IntRect& outer, const IntRect& inner) {
  const IntRect cut{std::max(outer.left, inner.left), std::max(outer.top, inner.top),
                    std::min(outer.right, inner.right), std::min(outer.bottom, inner.bottom)};
  return cut.left < cut.right && cut.top < cut.bottom && cut == inner;
}

}  // namespace

DataWndLayout LayoutDataWnd(const std::vector<DataWndRowSizes>& rows, bool trackingMode,
                            float colonWidth, Point border) {
  DataWndLayout layout;
  if (rows.empty()) return layout;

  const SizeF name = WidestBox(rows, kDataWndName);
  float nameWidth = name.width + kDataWndSpacing;
  if (trackingMode) nameWidth += colonWidth;
  layout.columns[kDataWndName] = {kDataWndNameIndent, 0.0f, nameWidth, name.height};
  float total = kDataWndNameIndent + nameWidth;

  if (trackingMode) {
    for (int column = kDataWndNameX; column < kDataWndColumnCount; ++column) {
      const SizeF box = WidestBox(rows, column);
      const bool isName = column == kDataWndNameX || column == kDataWndNameY;
      // Texts always keep their spacing; a name column with nothing in it takes none.
      const float width = box.width + (!isName || HasRoom(box) ? kDataWndSpacing : 0.0f);
      layout.columns[column] = {total, 0.0f, width, box.height};
      total += width;
    }
  }

  layout.row = {0.0f, 0.0f, total, name.height};
  const float height = kDataWndSpacing + name.height * static_cast<float>(rows.size());
  const int right = static_cast<int>(std::ceil(total));
  const int bottom = static_cast<int>(std::ceil(height));
  layout.content = {0, 0, right + 2 * border.x, bottom + 2 * border.y};
  return layout;
}

IntRect PlaceLegendWindow(const IntRect& content, const IntRect& client) {
  const int w = content.Width(), h = content.Height();
  const int left = client.right - w - kDataWndOffset;
  const int top = client.top + kDataWndOffset;
  return {left, top, left + w, top + h};
}

IntRect PlaceTrackingWindow(const IntRect& content, const IntRect& client, int x) {
  const int w = content.Width(), h = content.Height();
  IntRect placed;
  if (x < client.Width() / 2) {
    placed = {x + kDataWndOffset, 0, x + kDataWndOffset + w, h};
    if (!Contains(client, placed)) placed = {client.right - 1 - w, 0, client.right - 1, h};
  } else {
    placed = {x - kDataWndOffset - w, 0, x - kDataWndOffset, h};
    if (!Contains(client, placed)) placed = {client.left + 1, 0, client.left + 1 + w, h};
  }
  placed.top = client.bottom - h - kDataWndOffset;
  placed.bottom = placed.top + h;
  return placed;
}

}  // namespace chart
