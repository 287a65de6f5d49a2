// What the chart's mouse, wheel, keys and menu commands do to the container data, without the
// window: each step changes the container (which redraws through its host) and says what the
// window still has to do, such as notifying its parent or hiding the tracking window a while.
#pragma once

#include <optional>
#include <string>

#include "chart/core/chart_container_core.h"
#include "chart/core/chart_notify.h"

namespace chart {

// Keys the chart acts on.
enum class ChartKey {
  kPageUp,
  kPageDown,
  kUp,
  kDown,
  kLeft,
  kRight,
  kDelete,
};

// Menu command ids besides the extent commands (ChartExtentCommand).
enum ChartCommandId : int {
  kCmdShowLegend = 33771,
  kCmdShowXBoundaries = 33772,
  kCmdViewChartData = 33773,
  kCmdSaveCharts = 33774,
  kCmdSaveChartsAsImage = 33775,
  kCmdPrintCharts = 33776,
  kCmdEnableTracking = 33786,
  kCmdTogglePointMarkers = 33788,
  kCmdShowSeriesFirst = 33790,  // + series index
};

// Half the side (pixels) of the square around a Ctrl+click in which a point selects its series.
inline constexpr int kSelectHitPixels = 6;
// The smallest Y multiplier that the keys and the wheel leave on a series.
inline constexpr double kMinYScale = 0.1;

// What an input step leaves for the window to do.
struct ChartInputResult {
  std::optional<ChartNotify> notify;  // send to the parent
  // A series' Y multiplier changed: the tracking window is hidden until it is re-laid out.
  bool yScaleChanged = false;
};

// Mouse, wheel and keys act only on an interactive chart with a visible series that has a point.
bool ChartAcceptsInput(const ChartContainerCore& core);

// Ctrl+click at client (x, y): the first visible series (index order) with a point within
// kSelectHitPixels on both axes becomes selected; a click on the selected series or on empty
// space deselects. Returns the selected index, -1 for none. Does not redraw.
int SelectChartAtPoint(ChartContainerCore& core, int x, int y);

// A key press. PgUp/PgDn/Up/Down scale the selected series (10 or 1 steps) or, without a
// selection, move the Y extent (10 % or 1 %) and report it; Left/Right move the X extent by 1 %;
// Delete redraws while a two-click zoom is half made, which cancels it.
ChartInputResult ChartKeyDown(ChartContainerCore& core, ChartKey key);

// A wheel turn (delta > 0: away from the user). Shift moves the X extent by 1 % of its width;
// Ctrl scales the selected series by one step. Neither notifies.
ChartInputResult ChartMouseWheel(ChartContainerCore& core, bool shift, bool ctrl, int delta);

// Scales the selected (visible) series' Y multiplier by steps (negative: smaller, never below
// kMinYScale) and redraws. False when no visible series is selected.
bool ChangeSeriesYScale(ChartContainerCore& core, int steps);

// The middle button: tracking goes on when it was off and a visible series has a point, else
// off; going off closes the tracking window. Returns whether tracking is on.
bool ToggleTrackingByButton(ChartContainerCore& core);

// "Enable Tracking": inverts tracking; going off closes the tracking window.
ChartNotify ToggleTracking(ChartContainerCore& core);

// "Show Axis X boundaries": inverts the flag and redraws.
void ToggleAxisXBoundaries(ChartContainerCore& core);

// "Show/Hide Chart Pnts" on the selected series (the first visible series with a range when none
// is selected). No value when no such series exists: the window tells the user.
std::optional<ChartNotify> TogglePointMarkers(ChartContainerCore& core);
inline constexpr wchar_t kNoMarkerSeriesMessage[] = L"Select a chart with enough data points first";

// The per-series "Show" command. No value for an index that is not in the map.
std::optional<ChartNotify> ToggleSeriesVisible(ChartContainerCore& core, int index);

// The series "View Chart Data" shows: the selected one, or the first visible series with a
// point (which becomes selected). message is set, and index is -1, when there is none.
struct DataViewChoice {
  int index = -1;
  const wchar_t* message = nullptr;
};
DataViewChoice ChooseDataViewSeries(ChartContainerCore& core);
inline constexpr wchar_t kEmptyContainerMessage[] = L"Chart Container Is Empty";
inline constexpr wchar_t kNoDataViewSeriesMessage[] =
    L"View Chart Data: Has no visible or selected chart";
inline constexpr wchar_t kDataViewSeriesMissingMessage[] =
    L"View Chart Data: Can't find selected chart";

}  // namespace chart
