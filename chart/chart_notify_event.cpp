// The chart's notification event.
#include "chart/chart_notify_event.h"

namespace chart {

wxDEFINE_EVENT(EVT_CHART_NOTIFY, ChartNotifyEvent);

ChartNotifyEvent::ChartNotifyEvent(wxEventType type, int id, const ChartNotify& notify)
    : wxCommandEvent(type, id), notify_(notify) {}

}  // namespace chart
