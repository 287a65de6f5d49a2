// Series map, extents, selection and transforms of the chart container, without a window.
#include "chart/core/chart_container_core.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "chart/core/chart_format.h"

namespace chart {

namespace {

constexpr std::size_t kMaxChartNameLength = 18;
const wchar_t kShortenedNameMark[] = L"^";
const wchar_t kDefaultChartName[] = L"Cnart";

// The host of a container that has no window.
ChartContainerHost& NoWindowHost() {
  static ChartContainerHost host;
  return host;
}

// Smallest low and largest high bound over every series, visible or not.
ChartExtent UnitedExtent(const ChartSeriesMap& series, double (ChartSeries::*low)() const,
                         double (ChartSeries::*high)() const) {
  ChartExtent extent{DBL_MAX, -DBL_MAX};
  for (const auto& [index, s] : series) {
    extent.first = std::min(extent.first, ((*s).*low)());
    extent.second = std::max(extent.second, ((*s).*high)());
  }
  return extent;
}

}  // namespace

ChartColours DefaultChartColours() {
  return {0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFF0000, 0xFFFF0000,
          0xFF8A2BE2, 0xFFFFFFE0, 0xFF000000, 0xFF808080};
}

ChartContainerCore::ChartContainerCore(std::wstring name)
    : host_(&NoWindowHost()),
      colours_(DefaultChartColours()),
      trackedX_(DBL_MAX),
      trackedY_(DBL_MAX),
      name_(std::move(name)) {}

ChartContainerCore::~ChartContainerCore() = default;

void ChartContainerCore::SetHost(ChartContainerHost* host) {
  host_ = host ? host : &NoWindowHost();
}

void ChartContainerCore::Redraw() {
  zoom_.DropPendingClicks();
  host_->Redraw();
}

bool ChartContainerCore::WindowShown() const {
  return host_->HasWindow() && host_->IsWindowVisible();
}

ChartSeries* ChartContainerCore::FindSeries(int id) const {
  const auto it = series_.find(id);
  return it == series_.end() ? nullptr : it->second.get();
}

void ChartContainerCore::SetFormatterX(ChartValueFormatter formatter) {
  formatterX_ = formatter ? formatter : FormatChartValue;
}

void ChartContainerCore::SetTrackedPosition(double x, double y, double width) {
  trackedX_ = x;
  trackedY_ = y;
  trackingWidth_ = width;
}

// ---- Operations the pages call ----

int ChartContainerCore::AddChart(const ChartAddRecord& record, bool redraw) {
  int index = 0;
  if (!series_.empty()) {
    if (series_.rbegin()->first == INT_MAX) return -1;
    index = series_.rbegin()->first + 1;
  }

  std::wstring name;
  if (record.name.empty()) {
    name = kDefaultChartName + (L"_" + std::to_wstring(index));
  } else {
    name = ShortenChartName(record.name, kMaxChartNameLength, kShortenedNameMark);
    if (FindChartByName(name)) name += L"_" + std::to_wstring(index);
  }

  auto series = std::make_unique<ChartSeries>();
  series->InitChartSeries(record.visible, record.showPoints, index, std::move(name), record.nameY,
                          record.precisionY, record.dashStyle, record.penWidth, record.tension,
                          record.colour);
  if (record.points && !record.points->empty()) series->SetPoints(*record.points);

  const auto [it, inserted] = series_.emplace(index, std::move(series));
  if (!inserted) return -1;
  const ChartSeries& added = *it->second;

  if (added.HasPoints()) {
    zoom_.ExtendExtentX(added.MinX(), added.MaxX());
    zoom_.ExtendExtentY(added.MinY(), added.MaxY());
    if (host_->HasWindow() && tracking_ && host_->HasTrackingWindow()) RebuildTrackedValues();
    if (redraw && WindowShown()) RefreshDataWindows(-1, true, 0);
  }
  return index;
}

bool ChartContainerCore::ReplaceChartData(int index, const ChartPoints* points, bool clipToX,
                                          bool fitExtents, bool confirm, bool redraw) {
  ChartSeries* series = FindSeries(index);
  if (!series) return false;
  if (confirm && !host_->ConfirmReplaceData()) return false;

  ChartPoints sorted = points ? SortedChartPoints(*points) : ChartPoints{};
  const ChartExtent reference = zoom_.HomeExtentX();
  // Without a home extent there is nothing to clip to.
  if (clipToX && !sorted.empty() && reference.first <= reference.second) {
    const PointRange range =
        FindPointRangeX(sorted.begin(), sorted.end(), reference.first, reference.second, false);
    const auto stop = range.hi == sorted.cend() ? sorted.cend() : std::next(range.hi);
    sorted = ChartPoints(range.lo, stop);
  }
  series->SetSortedPoints(std::move(sorted));
  series->SetYScale(1.0);

  if (!HasDrawableChart(-1, false)) {
    ResetContainer(true, false);
  } else {
    if (host_->HasTrackingWindow()) RebuildTrackedValues();
    if (host_->HasDataView() && dataViewIndex_ == index) {
      host_->RefreshChartDataView(kDataViewReloadReplaced);
    }
    if (fitExtents) {
      FitExtentX();
      FitExtentY();
      const ChartExtent y = zoom_.ExtentY();
      if (!HitTestCharts(-1, y.first, y.second)) {
        ResetExtents(false);
      } else {
        zoom_.CutStacksToHome();
      }
    }
  }

  if (redraw && WindowShown()) RefreshDataWindows(index, true, 0);
  return true;
}

void ChartContainerCore::RefreshAfterExtentChange() {
  if (tracking_ && host_->HasTrackingWindow()) {
    RefreshTrackingWindow(true);
  } else {
    Redraw();
  }
}

bool ChartContainerCore::SetExtentX(double min, double max, bool redraw) {
  if (!zoom_.SetExtentX(min, max)) return false;
  if (redraw && WindowShown() && HasDrawableChart(-1, true)) RefreshAfterExtentChange();
  return true;
}

bool ChartContainerCore::SetExtentY(double min, double max, bool keepMargins, bool redraw) {
  if (min == max || !std::isfinite(min) || !std::isfinite(max)) return false;
  const double lo = std::min(min, max);
  const double hi = std::max(min, max);
  if (!HitTestCharts(-1, lo, hi)) return false;

  zoom_.SetExtentY(lo, hi, keepMargins);
  if (redraw && WindowShown()) {
    zoom_.MarkYDrawn();
    RefreshAfterExtentChange();
  }
  return true;
}

// ---- Extent rules ----

ChartExtent ChartContainerCore::FitExtentX() {
  ChartExtent extent = GetChartsExtentX();
  if (extent.first == extent.second) extent.second += std::fabs(extent.first * 0.01);
  zoom_.StoreHomeExtentX(extent);
  return extent;
}

ChartExtent ChartContainerCore::FitExtentY() {
  ChartExtent extent = GetChartsExtentY();
  if (extent.first == extent.second) {
    const double onePercent = std::fabs(extent.second * 0.01);
    extent.first -= 4.0 * onePercent;
    extent.second += onePercent;
  }
  zoom_.StoreHomeExtentY(extent);
  return extent;
}

void ChartContainerCore::ResetExtents(bool resetYScale) {
  zoom_.ResetToHome();
  for (auto& [index, series] : series_) {
    series->SetVisible(true);
    if (resetYScale) series->SetYScale(1.0);
  }
  RefreshDataWindows(-1, true, 0);
}

// ---- Queries ----

bool ChartContainerCore::HasDrawableChart(int id, bool visibleOnly) const {
  const auto drawable = [visibleOnly](const ChartSeries& s) {
    return s.HasPoints() && (!visibleOnly || s.IsVisible());
  };
  if (id != -1) {
    const ChartSeries* s = FindSeries(id);
    return s && drawable(*s);
  }
  return std::any_of(series_.begin(), series_.end(),
                     [&](const auto& entry) { return drawable(*entry.second); });
}

int ChartContainerCore::FindChartWithExtent(int id, bool visibleOnly) const {
  const auto qualifies = [visibleOnly](const ChartSeries& s) {
    return s.HasExtent() && (!visibleOnly || s.IsVisible());
  };
  if (id != -1) {
    const ChartSeries* s = FindSeries(id);
    return s && qualifies(*s) ? id : -1;
  }
  for (const auto& [index, series] : series_) {
    if (qualifies(*series)) return index;
  }
  return -1;
}

const ChartSeries* ChartContainerCore::FindVisibleChart(int id) const {
  return const_cast<ChartContainerCore*>(this)->FindVisibleChart(id);
}

ChartSeries* ChartContainerCore::FindVisibleChart(int id) {
  const auto drawable = [](const ChartSeries& s) { return s.IsVisible() && s.HasPoints(); };
  if (id != -1) {
    ChartSeries* s = FindSeries(id);
    return s && drawable(*s) ? s : nullptr;
  }
  for (auto& [index, series] : series_) {
    if (drawable(*series)) return series.get();
  }
  return nullptr;
}

const ChartSeries* ChartContainerCore::GetChart(int id, bool visibleOnly) const {
  return const_cast<ChartContainerCore*>(this)->GetChart(id, visibleOnly);
}

ChartSeries* ChartContainerCore::GetChart(int id, bool visibleOnly) {
  if (id != -1) return FindSeries(id);
  for (auto& [index, series] : series_) {
    if (!visibleOnly || series->IsVisible()) return series.get();
  }
  return nullptr;
}

std::optional<bool> ChartContainerCore::GetChartFlag(int id) const {
  const ChartSeries* s = FindSeries(id);
  if (!s) return std::nullopt;
  return s->ShowsPoints();
}

const ChartSeries* ChartContainerCore::FindChartByName(const std::wstring& name) const {
  for (const auto& [index, series] : series_) {
    if (series->GetChartName() == name) return series.get();
  }
  return nullptr;
}

int ChartContainerCore::GetChartIdByName(const std::wstring& name) const {
  const ChartSeries* s = FindChartByName(name);
  return s ? s->Index() : -1;
}

std::wstring ChartContainerCore::GetChartNameById(int id) const {
  const ChartSeries* s = FindSeries(id);
  return s ? s->GetChartName() : std::wstring();
}

bool ChartContainerCore::HitTestCharts(int id, double yLo, double yHi) const {
  if (series_.empty()) return false;

  // The Y range visible in the client area under [yLo, yHi]: a little wider than the range
  // where the plot insets and margins apply.
  double bottom = std::min(yLo, yHi);
  double top = std::max(yLo, yHi);
  const RectF client = ClientBounds();
  const RectF plot = PlotRectFromBounds(client);
  const auto [minX, maxX] = zoom_.ExtentX();
  const ChartTransform t = BuildTransform(minX, maxX, yLo, yHi);
  if (plot.width > 0.0f && plot.height > 0.0f && IsInvertible(t)) {
    const auto topLeft = TryScreenToData(0, 0, &t);
    const auto bottomRight =
        TryScreenToData(static_cast<int>(client.width), static_cast<int>(client.height), &t);
    if (topLeft && bottomRight) {
      bottom = std::min(topLeft->y, bottomRight->y);
      top = std::max(topLeft->y, bottomRight->y);
    }
  }

  const auto hits = [&](const ChartSeries& s) {
    if (!s.HasPoints()) return false;
    const ChartPoints& points = s.Points();
    const PointRange range = FindPointRangeX(points.begin(), points.end(), minX, maxX, false);
    return std::any_of(range.lo, range.hi, [&](const ChartPoint& p) {
      const double y = p.y * s.YScale();
      return y >= bottom && y <= top;
    });
  };
  if (id != -1) {
    const ChartSeries* s = FindSeries(id);
    return s && hits(*s);
  }
  return std::any_of(series_.begin(), series_.end(), [&](const auto& entry) {
    return entry.second->IsVisible() && hits(*entry.second);
  });
}

int ChartContainerCore::GetSelectedChartId() const {
  for (const auto& [index, series] : series_) {
    if (series->IsSelected()) return index;
  }
  return -1;
}

ChartExtent ChartContainerCore::GetChartsExtentX() const {
  return UnitedExtent(series_, &ChartSeries::MinX, &ChartSeries::MaxX);
}

ChartExtent ChartContainerCore::GetChartsExtentY() const {
  return UnitedExtent(series_, &ChartSeries::MinY, &ChartSeries::MaxY);
}

// ---- State changes ----

int ChartContainerCore::SelectChart(int id, bool redraw) {
  const int previous = selectedIndex_;
  if (ChartSeries* s = FindSeries(previous)) s->SetSelected(false);
  selectedIndex_ = -1;
  if (id != -1 && id != previous) {
    if (ChartSeries* s = FindVisibleChart(id)) {
      s->SetSelected(true);
      selectedIndex_ = id;
    }
  }
  // A deselection must repaint too, or the old halo stays on screen.
  if (redraw && WindowShown() && (FindVisibleChart(id) || previous != selectedIndex_)) {
    Redraw();
  }
  return selectedIndex_;
}

int ChartContainerCore::ToggleChartVisibility(int id) {
  ChartSeries* s = FindSeries(id);
  if (!s) return -1;
  s->SetVisible(!s->IsVisible());
  if (!s->IsVisible()) {
    if (selectedIndex_ == id || s->IsSelected()) {
      s->SetSelected(false);
      if (selectedIndex_ == id) selectedIndex_ = -1;
    }
    if (dataViewIndex_ == id) {
      host_->DestroyDataViewWindow();
      dataViewPoints_.clear();
    }
  }
  if (s->HasPoints() && WindowShown()) RefreshDataWindows(-1, false, 0);
  return s->IsVisible() ? 1 : 0;
}

void ChartContainerCore::SetLiveChart(int id, bool live) {
  if (live) {
    liveCharts_.insert(id);
  } else {
    liveCharts_.erase(id);
  }
}

void ChartContainerCore::ResetContainer(bool keepSeries, bool resetColours) {
  const ChartContainerCore fresh;
  if (resetColours) colours_ = fresh.colours_;
  zoom_ = fresh.zoom_;
  xAxisScreenY_ = fresh.xAxisScreenY_;
  xAxisCode_ = fresh.xAxisCode_;
  yAxisCode_ = fresh.yAxisCode_;
  pixelsPerY_ = fresh.pixelsPerY_;
  trackedX_ = fresh.trackedX_;
  trackedY_ = fresh.trackedY_;
  trackingWidth_ = fresh.trackingWidth_;
  tracking_ = false;
  selectedIndex_ = -1;
  dataViewIndex_ = -1;

  if (keepSeries) {
    // The selected index is gone, so no series may still draw as selected.
    for (auto& [index, series] : series_) series->SetSelected(false);
  } else {
    series_.clear();
    liveCharts_.clear();
  }
  dataViewPoints_.clear();
  transform_.reset();
  CloseTrackingWindow(false);
  CloseLegendWindow(false);
  host_->DestroyDataView();
}

void ChartContainerCore::SyncDataViewCell(int id, int position, double x, double y, bool select) {
  if (id == -1) {
    dataViewPoints_.clear();
  } else {
    if (id != dataViewIndex_) return;
    if (!FindSeries(id)) {
      dataViewPoints_.clear();
      dataViewIndex_ = -1;
      return;
    }
    if (select) {
      dataViewPoints_.try_emplace(position, ChartPoint{x, y});
    } else if (dataViewPoints_.erase(position) == 0) {
      return;
    }
  }
  if (dataViewIndex_ != -1 && FindVisibleChart(dataViewIndex_)) Redraw();
}

void ChartContainerCore::SyncDataViewSelection(int id, const DataViewPoints& points) {
  if (id != dataViewIndex_) return;
  if (points.empty()) {
    dataViewPoints_.clear();
  } else if (&points != &dataViewPoints_) {
    dataViewPoints_ = points;
  }
  if (FindVisibleChart(id)) Redraw();
}

bool ChartContainerCore::DataViewClosed() {
  if (!host_->HasDataView()) return false;
  if (dataViewIndex_ != -1) {
    dataViewIndex_ = -1;
    dataViewPoints_.clear();
    if (HasDrawableChart(-1, true)) Redraw();
  }
  host_->DestroyDataView();
  return true;
}

// ---- Pop-up windows ----

void ChartContainerCore::RefreshDataWindows(int id, bool rebuildTransform, int reloadKind) {
  const bool anyPoints = HasDrawableChart(-1, false);
  if (!tracking_ || !host_->HasTrackingWindow()) {
    Redraw();
  } else if (anyPoints) {
    RefreshTrackingWindow(rebuildTransform);
  } else {
    tracking_ = false;
    CloseTrackingWindow(true);
  }

  if (host_->HasLegendWindow()) {
    if (anyPoints) {
      CreateLegendWindow();
    } else {
      CloseLegendWindow(true);
    }
  }

  if (host_->HasDataView() && id != -1 && id == dataViewIndex_) {
    const ChartSeries* s = FindSeries(id);
    if (s && s->IsVisible()) host_->RefreshChartDataView(reloadKind);
  }

  if (!anyPoints) transform_.reset();
}

void ChartContainerCore::RefreshTrackingWindow(bool rebuildTransform) {
  if (!tracking_ || !host_->HasTrackingWindow()) return;
  if (rebuildTransform) UpdateTransform();
  ChartLabelRows rows;
  const TrackingRowsUpdate update = RefreshTrackingRows(trackedValues_, rows);
  host_->ShowTrackingRows(rows, update.anchor);
  Redraw();
}

void ChartContainerCore::CreateLegendWindow() {
  if (WindowShown() && HasDrawableChart(-1, false)) {
    ChartLabelRows rows;
    BuildLegendRows(rows);
    if (host_->ShowLegendRows(rows)) {
      legendShown_ = true;
      return;
    }
  }
  CloseLegendWindow(true);
}

void ChartContainerCore::CloseTrackingWindow(bool redraw) {
  if (host_->HasTrackingWindow()) host_->DestroyTrackingWindow();
  trackedValues_.clear();
  trackedX_ = DBL_MAX;
  trackedY_ = DBL_MAX;
  if (redraw) Redraw();
}

void ChartContainerCore::CloseLegendWindow(bool redraw) {
  if (host_->HasLegendWindow()) host_->DestroyLegendWindow();
  legendShown_ = false;
  if (redraw) Redraw();
}

// ---- Transforms and geometry ----

ScaleFactors ChartContainerCore::GetScaleFactors(const RectF& plot, double minX, double maxX,
                                                 double minY, double maxY) const {
  if (series_.empty()) return {1.0, 1.0};
  return ComputeScaleFactors(plot, minX, maxX, minY, maxY, YStateHasMargins(zoom_.YState()));
}

RectF ChartContainerCore::ClientBounds() const {
  const SizeF size = host_->ClientSize();
  return {0.0f, 0.0f, size.width, size.height};
}

ChartTransform ChartContainerCore::BuildTransform(double minX, double maxX, double minY,
                                                  double maxY) const {
  const RectF plot = PlotRectFromBounds(ClientBounds());
  const AxisPlacement xAxis = GetXAxisPlacement(plot, minY, maxY);
  const AxisPlacement yAxis = GetYAxisPlacement(plot, minX, maxX);
  const ScaleFactors scale = GetScaleFactors(plot, minX, maxX, minY, maxY);
  return TransformForPlot(xAxis, yAxis, scale, minX, maxX, minY, maxY, true);
}

const ChartTransform& ChartContainerCore::UpdateTransform() {
  const auto [minX, maxX] = zoom_.ExtentX();
  const auto [minY, maxY] = zoom_.ExtentY();
  transform_ = std::make_unique<ChartTransform>(BuildTransform(minX, maxX, minY, maxY));
  return *transform_;
}

const ChartTransform& ChartContainerCore::EnsureTransform() {
  return transform_ ? *transform_ : UpdateTransform();
}

std::optional<double> ChartContainerCore::ScreenToDataX(int px, int py, bool drawLine) {
  const std::optional<ChartPoint> point = TryScreenToData(px, py, &EnsureTransform());
  if (!point) return std::nullopt;
  zoom_.MarkFirstClickX();
  if (drawLine) host_->ShowVerticalTrackLine(px, py);
  return point->x;
}

std::pair<double, double> ChartContainerCore::GetYScaleStep(const ChartSeries& series) const {
  if (!host_->HasWindow()) return {1.0, 0.0};
  double magnitude = std::max(std::fabs(series.MinY()), std::fabs(series.MaxY()));
  // A series that is all zeros (or has no points) scales as if its largest value were 1.
  if (magnitude == 0.0 || !std::isfinite(magnitude)) magnitude = 1.0;
  const double height = host_->ClientSize().height;
  double step = 0.0;
  if (pixelsPerY_ != 0.0 && std::isfinite(pixelsPerY_)) {
    step = (height * 0.01 / pixelsPerY_) / magnitude;
  }
  return {series.YScale(), step};
}

// ---- Painting ----

ChartPaintLayout ChartContainerCore::ComputePaintLayout(const RectF& bounds) const {
  ChartPaintLayout layout;
  layout.plot = PlotRectFromBounds(bounds);
  layout.hasSeries = !series_.empty();
  layout.hasPoints = layout.hasSeries && HasDrawableChart(-1, false);
  if (!layout.hasPoints) return layout;
  const auto [minX, maxX] = zoom_.ExtentX();
  const auto [minY, maxY] = zoom_.ExtentY();
  layout.xAxis = GetXAxisPlacement(layout.plot, minY, maxY);
  layout.yAxis = GetYAxisPlacement(layout.plot, minX, maxX);
  layout.crossing = {layout.yAxis.position, layout.xAxis.position};
  layout.scale = ComputeScaleFactors(layout.plot, minX, maxX, minY, maxY, zoom_.DrawsYMargins());
  layout.transform =
      TransformForPlot(layout.xAxis, layout.yAxis, layout.scale, minX, maxX, minY, maxY, false);
  return layout;
}

ChartPaintLayout ChartContainerCore::PreparePaint(const RectF& bounds) {
  ChartPaintLayout layout = ComputePaintLayout(bounds);
  if (layout.hasPoints) {
    pixelsPerY_ = layout.scale.perY;
    xAxisCode_ = layout.xAxis.code;
    yAxisCode_ = layout.yAxis.code;
    xAxisScreenY_ = layout.xAxis.position;
    transform_ = std::make_unique<ChartTransform>(layout.transform);
  }
  return layout;
}

}  // namespace chart
