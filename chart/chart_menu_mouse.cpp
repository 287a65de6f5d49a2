// The pointing device's button count, read from the X server; kept apart because the X headers
// define names that clash with the toolkit's.
#include <wx/utils.h>

#include <X11/Xlib.h>

#include "chart/chart_menu.h"

namespace chart {

int MouseButtonCount() {
  constexpr int kUnknown = 2;
  auto* display = static_cast<Display*>(wxGetDisplay());
  if (!display) return kUnknown;
  unsigned char map[256];
  const int count = XGetPointerMapping(display, map, static_cast<int>(sizeof map));
  return count > 0 ? count : kUnknown;
}

}  // namespace chart
