// What the chart tells its parent after a user action. The window layer wraps it in its own
// event, together with the sending window and its id.
#pragma once

#include <cstdint>

namespace chart {

enum class ChartNotifyCode : std::uint32_t {
  kSeriesShown = 1,      // per-series Show command; index, flag = visible with a point
  kPointMarkers = 2,     // "Show/Hide Chart Pnts"; index, flag = showPoints after the change
  kExtentX = 3,          // X zoom, move or undo; extents
  kExtentY = 4,          // Y zoom, move or undo; extents
  kExtentsRestored = 5,  // "Refresh Charts"; the restored extents
  kImageSaveStart = 6,
  kImageSaved = 7,
  kXmlSaveStart = 8,
  kXmlSaved = 9,
  kPrintStart = 10,
  kPrinted = 11,
  kSeriesYScale = 12,  // keys changed the selected series' Y multiplier; index
  kTracking = 14,      // "Enable Tracking"; flag = tracking on after the change
};

// A code carries only the fields named beside it above; the receiver reads no others.
struct ChartNotify {
  ChartNotifyCode code = ChartNotifyCode::kSeriesShown;
  std::int32_t index = -1;  // a series, or -1 for all series
  bool flag = false;
  double xMin = 0.0;
  double xMax = 0.0;
  double yMin = 0.0;
  double yMax = 0.0;
};

}  // namespace chart
