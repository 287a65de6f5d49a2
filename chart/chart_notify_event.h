// The event that carries a ChartNotify from the chart container to its parent window. It is
// processed synchronously, before the container's handler goes on, like a sent message.
#pragma once

#include <wx/event.h>

#include "chart/core/chart_notify.h"

namespace chart {

class ChartNotifyEvent : public wxCommandEvent {
 public:
  ChartNotifyEvent(wxEventType type = wxEVT_NULL, int id = 0, const ChartNotify& notify = {});

  const ChartNotify& Notify() const { return notify_; }
  ChartNotifyCode Code() const { return notify_.code; }
  wxEvent* Clone() const override { return new ChartNotifyEvent(*this); }

 private:
  ChartNotify notify_;
};

wxDECLARE_EVENT(EVT_CHART_NOTIFY, ChartNotifyEvent);

}  // namespace chart
