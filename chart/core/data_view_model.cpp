// The chart data view's texts, paged layout, selection and refresh rules.
#include "chart/core/data_view_model.h"

#include <algorithm>
#include <cmath>

namespace chart {
namespace {

// Room around the texts of a cell: a text ends this many screen pixels inside its cell.
constexpr float kCellPadding = 6.0f;
// Minimum gap between column groups, in screen pixels.
constexpr float kMinGroupGap = 6.0f;
// Line heights of the fonts are stretched by this to give rows and the title line room.
constexpr float kLineStretch = 1.5f;

ChartValueFormatter OrDefault(ChartValueFormatter formatter) {
  return formatter ? formatter : FormatChartValue;
}

std::wstring OrName(const std::wstring& name, const wchar_t* fallback) {
  return name.empty() ? std::wstring(fallback) : name;
}

bool SamePoint(const ChartPoint& a, const ChartPoint& b) { return a.x == b.x && a.y == b.y; }

}  // namespace

std::wstring FormatIndexText(std::uint32_t index) { return std::to_wstring(index); }

IntRect PlaceDataView(const IntRect& parent, const IntRect& workArea) {
  const IntRect wanted{parent.right + 50, parent.top - 50, parent.right + 760, parent.top + 824};
  const IntRect& a = workArea;
  if (wanted.left >= a.left && wanted.top >= a.top && wanted.right <= a.right &&
      wanted.bottom <= a.bottom) {
    return wanted;
  }
  return {std::max(a.right - 760, a.left + 50), a.top + 50, a.right - 50,
          std::min(a.top + 924, a.bottom - 50)};
}

ChartDataViewModel::ChartDataViewModel(float pixelsPerInch)
    : pixelsPerInch_(pixelsPerInch > 0.0f ? pixelsPerInch
                                          : static_cast<float>(kScreenPixelsPerInch)) {}

bool ChartDataViewModel::LoadDataView(const ChartContainerCore& container,
                                      const ChartSeries& series, bool clearSelection) {
  seriesIndex_ = series.Index();
  precisionX_ = container.PrecisionX();
  precisionY_ = series.PrecisionY();
  seriesName_ = series.GetChartName();
  headerX_ = OrName(container.NameX(), L"X");
  headerY_ = OrName(series.GetChartSecondName(), L"Y");
  formatterX_ = OrDefault(container.FormatterX());
  formatterY_ = OrDefault(series.FormatterY());
  points_ = series.Points();
  textsX_.clear();
  textsY_.clear();
  FormatTextsX(0);
  FormatTextsY(0);
  currentPage_ = 0;
  if (clearSelection) {
    selected_.clear();
    return false;
  }
  return RemapSelectedCells();
}

void ChartDataViewModel::Close() {
  seriesIndex_ = -1;
  selected_.clear();
}

void ChartDataViewModel::FormatTextsX(std::uint32_t first) {
  textsX_.resize(points_.size());
  for (std::size_t i = first; i < points_.size(); ++i) {
    textsX_[i] = formatterX_(points_[i].x, precisionX_, false);
  }
}

void ChartDataViewModel::FormatTextsY(std::uint32_t first) {
  textsY_.resize(points_.size());
  for (std::size_t i = first; i < points_.size(); ++i) {
    textsY_[i] = formatterY_(points_[i].y, precisionY_, false);
  }
}

void ChartDataViewModel::BuildDataViewTitle(const std::wstring& date) {
  title_ = seriesName_ + L" (" + std::to_wstring(points_.size()) + L" Points" + L")      \n" + date;
}

// ---- Layout ----

RectF ChartDataViewModel::PrepareArea(SizeF area, const DataViewMeasure& measure) {
  const float s = kDocumentUnitsPerInch / pixelsPerInch_;
  layout_.scale = s;
  const float w = area.width - 4.0f * s;
  const float h = area.height - s;
  const float titleLine = kLineStretch * measure.TitleFontHeight();
  layout_.rowHeight = kLineStretch * measure.TableFontHeight();
  layout_.header = {60.0f, 10.0f + 0.75f * titleLine, w - 120.0f, titleLine};
  return {10.0f, 10.0f + 2.0f * titleLine, w - 20.0f, h - 140.0f - 2.0f * titleLine};
}

float ChartDataViewModel::MeasureTexts(const std::vector<std::wstring>& texts, std::uint32_t first,
                                       const std::wstring& header,
                                       const DataViewMeasure& measure) const {
  float widest = measure.TableTextWidth(header);
  for (std::size_t i = first; i < texts.size(); ++i) {
    widest = std::max(widest, measure.TableTextWidth(texts[i]));
  }
  return widest + kCellPadding * layout_.scale;
}

void ChartDataViewModel::LayoutDataViewPages(SizeF area, const DataViewMeasure& measure) {
  const RectF table = PrepareArea(area, measure);
  widths_.index = measure.TableTextWidth(std::to_wstring(points_.size()) + L"99");
  widths_.x = MeasureTexts(textsX_, 0, headerX_, measure);
  widths_.y = MeasureTexts(textsY_, 0, headerY_, measure);
  ArrangeGroups(table);
  CountPages();
}

void ChartDataViewModel::ArrangeGroups(const RectF& table) {
  const float s = layout_.scale;
  const float g = widths_.index + widths_.x + widths_.y;
  const float r = layout_.rowHeight;

  const float q = table.width / (g + 3.0f);
  float groups = std::isfinite(q) ? std::floor(q) : 0.0f;
  float gap = 0.0f;
  if (groups >= 1.0f) {
    gap = g * (q - groups) / (groups + 1.0f);
    if (gap < kMinGroupGap * s && groups > 1.0f) {
      groups -= 1.0f;
      gap = (table.width - groups * g) / (groups + 1.0f);
    }
  } else {
    // Too narrow for one group: still show one, so that every page holds points.
    groups = 1.0f;
  }
  const float rows = r > 0.0f ? std::floor(table.height / r) - 2.0f : 0.0f;

  layout_.groupsPerPage = static_cast<std::uint32_t>(groups);
  // Too low for one row per group: still one, so that no page is empty.
  layout_.rowsPerGroup = rows >= 1.0f ? static_cast<std::uint32_t>(rows) : 1u;
  layout_.pointsPerPage = layout_.groupsPerPage * layout_.rowsPerGroup;
  layout_.group = {0.0f, 0.0f, g, r};
  layout_.indexCell = {0.0f, 0.0f, widths_.index, r};
  layout_.xCell = {widths_.index, 0.0f, widths_.x, r};
  layout_.yCell = {widths_.index + widths_.x, 0.0f, widths_.y, r};
  layout_.originX = table.x + gap;
  layout_.originY = table.y;
  layout_.stride = g + gap;
}

void ChartDataViewModel::CountPages() {
  const std::size_t perPage = layout_.pointsPerPage;
  const std::size_t pages = (points_.size() + perPage - 1) / perPage;
  pageCount_ = static_cast<std::int32_t>(std::max<std::size_t>(pages, 1));
  ClampPage();
}

void ChartDataViewModel::ClampPage() { currentPage_ = std::clamp(currentPage_, 0, pageCount_ - 1); }

void ChartDataViewModel::RelayoutDataViewPages(unsigned changes, std::uint32_t firstNew, SizeF area,
                                               const DataViewMeasure& measure) {
  const RectF table = PrepareArea(area, measure);
  const float s = layout_.scale;
  const float before = widths_.index + widths_.x + widths_.y;
  // Columns never shrink, so rows already seen keep their place.
  if (changes & kDataViewIndexColumn) {
    widths_.index =
        std::max(widths_.index, measure.TableTextWidth(std::to_wstring(points_.size()) + L"99"));
  }
  if (changes & kDataViewTextsX) {
    widths_.x = std::max(widths_.x, MeasureTexts(textsX_, firstNew, headerX_, measure));
  } else if (changes & kDataViewHeaderX) {
    widths_.x = std::max(widths_.x, measure.TableTextWidth(headerX_) + kCellPadding * s);
  }
  if (changes & kDataViewTextsY) {
    widths_.y = std::max(widths_.y, MeasureTexts(textsY_, firstNew, headerY_, measure));
  } else if (changes & kDataViewHeaderY) {
    widths_.y = std::max(widths_.y, measure.TableTextWidth(headerY_) + kCellPadding * s);
  }
  if (widths_.index + widths_.x + widths_.y > before) ArrangeGroups(table);
  CountPages();
}

// ---- Refresh ----

DataViewUpdate ChartDataViewModel::UpdateDataView(const ChartContainerCore& container,
                                                  const ChartSeries& series, int kind, SizeF area,
                                                  const DataViewMeasure& measure) {
  DataViewUpdate update;
  if (seriesIndex_ == -1 || series.Index() != seriesIndex_) return update;
  update.handled = true;
  if (!series.HasPoints()) {
    update.close = true;
    return update;
  }

  unsigned changes = 0;
  const ChartValueFormatter fx = OrDefault(container.FormatterX());
  if (container.PrecisionX() != precisionX_ || fx != formatterX_) changes |= kDataViewTextsX;
  const ChartValueFormatter fy = OrDefault(series.FormatterY());
  if (series.PrecisionY() != precisionY_ || fy != formatterY_) changes |= kDataViewTextsY;
  precisionX_ = container.PrecisionX();
  formatterX_ = fx;
  precisionY_ = series.PrecisionY();
  formatterY_ = fy;
  const std::wstring hx = OrName(container.NameX(), L"X");
  const std::wstring hy = OrName(series.GetChartSecondName(), L"Y");
  if (hx != headerX_) changes |= kDataViewHeaderX;
  if (hy != headerY_) changes |= kDataViewHeaderY;
  headerX_ = hx;
  headerY_ = hy;
  seriesName_ = series.GetChartName();

  // Texts already shown follow a new format whatever else changed.
  const bool reformat = (changes & (kDataViewTextsX | kDataViewTextsY)) != 0;
  if (changes & kDataViewTextsX) FormatTextsX(0);
  if (changes & kDataViewTextsY) FormatTextsY(0);

  std::uint32_t firstNew = 0;
  switch (kind) {
    case kDataViewPointsAppended:
      firstNew = reformat ? 0 : PointCount();
      AppendDataViewPoints(series);
      changes |= kDataViewNewPoints;
      break;
    case kDataViewPointsTrimmed:
      if (TrimDataViewPoints(series)) {
        update.syncSelection = RemapSelectedCells();
      } else {
        // The cut does not match what is shown: take the series' points as they are.
        ReloadDataViewPoints(series);
        update.syncSelection = true;
      }
      changes |= kDataViewNewPoints;
      break;
    case kDataViewPointsReplaced:
    case kDataViewPointsReloaded:
      ReloadDataViewPoints(series);
      update.syncSelection = true;
      changes |= kDataViewNewPoints;
      break;
    default: break;
  }

  if (changes != 0 && firstNew != PointCount()) {
    RelayoutDataViewPages(changes, firstNew, area, measure);
  } else {
    CountPages();
  }
  return update;
}

void ChartDataViewModel::AppendDataViewPoints(const ChartSeries& series) {
  const ChartPoints& source = series.Points();
  const std::size_t old = points_.size();
  if (source.size() <= old) return;
  points_.insert(points_.end(), source.begin() + static_cast<std::ptrdiff_t>(old), source.end());
  FormatTextsX(static_cast<std::uint32_t>(old));
  FormatTextsY(static_cast<std::uint32_t>(old));
}

bool ChartDataViewModel::TrimDataViewPoints(const ChartSeries& series) {
  const ChartPoints& source = series.Points();
  if (source.empty()) return false;
  const auto first = std::find_if(points_.begin(), points_.end(), [&](const ChartPoint& p) {
    return SamePoint(p, source.front());
  });
  if (first == points_.end()) return false;
  auto last = first;
  if (source.size() > 1) {
    last = std::find_if(std::next(first), points_.end(),
                        [&](const ChartPoint& p) { return SamePoint(p, source.back()); });
    if (last == points_.end()) return false;
  }
  const auto from = first - points_.begin();
  const auto to = last - points_.begin() + 1;
  points_ = ChartPoints(points_.begin() + from, points_.begin() + to);
  textsX_ = std::vector<std::wstring>(textsX_.begin() + from, textsX_.begin() + to);
  textsY_ = std::vector<std::wstring>(textsY_.begin() + from, textsY_.begin() + to);
  return true;
}

void ChartDataViewModel::ReloadDataViewPoints(const ChartSeries& series) {
  points_ = series.Points();
  points_.shrink_to_fit();
  textsX_.clear();
  textsY_.clear();
  FormatTextsX(0);
  FormatTextsY(0);
  RemapSelectedCellsByX();
}

namespace {

// Carries selected cells over to points, each found after the previous one; match tells
// equal points. Returns whether cells were dropped.
template <typename Match>
bool RemapSelection(DataViewPoints& selected, const ChartPoints& points, Match match) {
  DataViewPoints kept;
  bool dropped = false;
  std::size_t from = 0;
  for (const auto& [index, cell] : selected) {
    (void)index;
    if (points.empty() || cell.x < points.front().x || cell.x > points.back().x) {
      dropped = true;
      continue;
    }
    std::size_t k = from;
    // Points are sorted by x: past the cell's x nothing can match.
    while (k < points.size() && points[k].x <= cell.x && !match(points[k], cell)) ++k;
    if (k == points.size() || !match(points[k], cell)) {
      dropped = true;
      continue;
    }
    kept.emplace(static_cast<int>(k), points[k]);
    from = k + 1;
  }
  selected = std::move(kept);
  return dropped;
}

}  // namespace

bool ChartDataViewModel::RemapSelectedCells() {
  return RemapSelection(selected_, points_, SamePoint);
}

void ChartDataViewModel::RemapSelectedCellsByX() {
  RemapSelection(selected_, points_,
                 [](const ChartPoint& a, const ChartPoint& b) { return a.x == b.x; });
}

// ---- Pages, cells and selection ----

std::vector<std::uint32_t> ChartDataViewModel::GroupRowCounts(std::uint32_t first) const {
  const std::uint32_t groups = layout_.groupsPerPage;
  std::vector<std::uint32_t> counts(groups, 0);
  if (groups == 0 || first >= PointCount()) return counts;
  const std::uint32_t left = PointCount() - first;
  if (layout_.pointsPerPage < left) {
    std::fill(counts.begin(), counts.end(), layout_.rowsPerGroup);
    return counts;
  }
  // The last page: spread the rows over all groups, the first ones one row longer.
  for (std::uint32_t i = 0; i < groups; ++i) counts[i] = left / groups + (i < left % groups);
  return counts;
}

std::optional<DataViewCellHit> ChartDataViewModel::HitTestCell(PointF point) const {
  const DataViewPageLayout& l = layout_;
  std::optional<std::uint32_t> group;
  float left = 0.0f;
  for (std::uint32_t i = 0; i < l.groupsPerPage; ++i) {
    left = l.originX + l.group.x + static_cast<float>(i) * l.stride;
    if (point.x >= left && point.x <= left + l.group.width) {
      group = i;
      break;
    }
  }
  if (!group || !(l.rowHeight > 0.0f)) return std::nullopt;

  const float top = l.originY + l.group.y + l.rowHeight;
  const float bottom = top + l.rowHeight * static_cast<float>(l.rowsPerGroup + 1);
  if (point.y < top || point.y > bottom) return std::nullopt;
  const auto row = static_cast<std::uint32_t>(std::floor((point.y - top) / l.rowHeight));
  const std::uint32_t first = static_cast<std::uint32_t>(currentPage_) * l.pointsPerPage;
  const std::vector<std::uint32_t> counts = GroupRowCounts(first);
  if (row >= counts[*group]) return std::nullopt;
  std::uint32_t index = first + row;
  for (std::uint32_t i = 0; i < *group; ++i) index += counts[i];
  if (index >= PointCount()) return std::nullopt;
  return DataViewCellHit{
      index, {left, top + static_cast<float>(row) * l.rowHeight, l.group.width, l.rowHeight}};
}

std::optional<RectF> ChartDataViewModel::GetCellRect(std::uint32_t index) const {
  const DataViewPageLayout& l = layout_;
  if (l.pointsPerPage == 0 || index >= PointCount()) return std::nullopt;
  if (index / l.pointsPerPage != static_cast<std::uint32_t>(currentPage_)) return std::nullopt;
  std::uint32_t k = index % l.pointsPerPage;
  const std::vector<std::uint32_t> counts =
      GroupRowCounts(static_cast<std::uint32_t>(currentPage_) * l.pointsPerPage);
  for (std::uint32_t i = 0; i < counts.size(); ++i) {
    if (k < counts[i]) {
      return RectF{l.group.x + l.originX + static_cast<float>(i) * l.stride,
                   l.group.y + l.originY + static_cast<float>(k + 1) * l.rowHeight, l.group.width,
                   l.group.height};
    }
    k -= counts[i];
  }
  return std::nullopt;
}

bool ChartDataViewModel::ToggleCell(std::uint32_t index) {
  if (index >= PointCount()) return false;
  const int key = static_cast<int>(index);
  if (selected_.erase(key) > 0) return false;
  selected_.emplace(key, points_[index]);
  return true;
}

bool ChartDataViewModel::OnFirstPage() {
  if (currentPage_ == 0) return false;
  currentPage_ = 0;
  return true;
}

bool ChartDataViewModel::OnPrevPage() {
  if (currentPage_ == 0) return false;
  --currentPage_;
  return true;
}

bool ChartDataViewModel::OnNextPage() {
  if (currentPage_ >= pageCount_ - 1) return false;
  ++currentPage_;
  return true;
}

bool ChartDataViewModel::OnLastPage() {
  if (currentPage_ >= pageCount_ - 1) return false;
  currentPage_ = pageCount_ - 1;
  return true;
}

PageButtonStates ChartDataViewModel::ButtonStates() const {
  const bool notFirst = currentPage_ != 0;
  const bool notLast = currentPage_ < pageCount_ - 1;
  return {notFirst, notFirst, notLast, notLast};
}

}  // namespace chart
