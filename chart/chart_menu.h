// The chart's context menu: which entries it holds for the container's state, and the
// toolkit menu built from them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/menu.h>

#include "chart/core/chart_container_core.h"

namespace chart {

struct ChartMenuEntry {
  enum class Kind { kItem, kSeparator, kSubMenu };
  Kind kind = Kind::kItem;
  std::wstring text;
  int id = 0;              // command id of an item
  bool checkable = false;  // drawn with a check box; checked gives its state
  bool checked = false;
  bool enabled = true;
  std::vector<ChartMenuEntry> children;  // of a sub-menu
};
using ChartMenuEntries = std::vector<ChartMenuEntry>;

// What the menu shows that the container data does not hold.
struct ChartMenuContext {
  bool legendVisible = false;
  int mouseButtons = 3;  // "Enable Tracking" is offered only with fewer than three
};

// The menu for the container's current state; empty when the chart is not interactive or
// holds no series (no menu opens).
ChartMenuEntries BuildChartMenu(const ChartContainerCore& core, const ChartMenuContext& context);

// The toolkit menu for entries. Items keep their command ids, above the toolkit's 16-bit range
// as they are.
std::unique_ptr<wxMenu> CreateChartMenu(const ChartMenuEntries& entries);

// Buttons of the pointing device; fewer than three when it has no middle button. An unknown
// count (no X display) counts as two, so that tracking stays reachable from the menu.
int MouseButtonCount();

}  // namespace chart
