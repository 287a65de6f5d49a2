// The window-less copy of a container that printing and the XML export work on.
#include "chart/core/chart_container_core.h"

namespace chart {

std::unique_ptr<ChartContainerCore> ChartContainerCore::CollectChartsForOutput(
    const std::wstring& name) const {
  auto copy = std::make_unique<ChartContainerCore>(name.empty() ? name_ : name);
  for (const auto& [index, series] : series_) {
    copy->series_.emplace(index, series->CloneChartSeries(true));
  }
  copy->colours_ = colours_;
  copy->nameX_ = nameX_;
  copy->formatterX_ = formatterX_;
  copy->precisionX_ = precisionX_;

  copy->tracking_ = tracking_;
  copy->legendShown_ = legendShown_;
  copy->interactive_ = interactive_;
  copy->showXBoundaries_ = showXBoundaries_;
  copy->trackedX_ = trackedX_;
  copy->trackedY_ = trackedY_;
  copy->trackingWidth_ = trackingWidth_;
  copy->zoom_ = zoom_.WithoutFirstClicks();
  copy->selectedIndex_ = selectedIndex_;
  // The values belong to what the tracking window shows; without it there is nothing to mark.
  if (tracking_ && host_->HasTrackingWindow()) copy->trackedValues_ = trackedValues_;
  return copy;
}

}  // namespace chart
