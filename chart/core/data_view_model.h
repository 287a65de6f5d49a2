// What the chart data view shows, without a window: one series' points as texts, their paged
// table layout in document units (1/300 inch), the selected rows, and the refresh rules. The
// window measures texts, draws this layout on screen and paper, and talks to the container.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/core/chart_container_core.h"
#include "chart/core/chart_series.h"
#include "chart/core/data_window_layout.h"
#include "chart/core/geometry.h"

namespace chart {

// Document units per inch: screen and paper share one layout in these units.
inline constexpr float kDocumentUnitsPerInch = 300.0f;

// Refresh kinds handed to UpdateDataView.
enum DataViewRefreshKind : int {
  kDataViewFormatOnly = 0,
  kDataViewPointsAppended = 0x40,
  kDataViewPointsTrimmed = 0x80,
  kDataViewPointsReplaced = 0x100,
  kDataViewPointsReloaded = 0x300,
};

// What a relayout has to measure again.
enum DataViewChange : unsigned {
  kDataViewHeaderX = 0x02,
  kDataViewHeaderY = 0x04,
  kDataViewTextsX = 0x08,
  kDataViewTextsY = 0x10,
  kDataViewIndexColumn = 0x20,
  kDataViewNewPoints = kDataViewIndexColumn | kDataViewTextsY | kDataViewTextsX,
};

// Text measurement in document units, supplied by the window.
class DataViewMeasure {
 public:
  virtual ~DataViewMeasure() = default;
  // Width of text in the table font (8 pt bold).
  virtual float TableTextWidth(const std::wstring& text) const = 0;
  // Line heights of the table font and of the title font (10 pt bold).
  virtual float TableFontHeight() const = 0;
  virtual float TitleFontHeight() const = 0;
};

// The paged table, all lengths in document units.
struct DataViewPageLayout {
  RectF header;     // title and page number
  RectF group;      // (0, 0, group width, row height)
  RectF indexCell;  // cells of a row, relative to the group's left edge
  RectF xCell;
  RectF yCell;
  float originX = 0.0f;  // top-left of the first group's header row
  float originY = 0.0f;
  float stride = 0.0f;  // group width plus the gap between groups
  float rowHeight = 0.0f;
  std::uint32_t pointsPerPage = 3;
  std::uint32_t groupsPerPage = 3;
  std::uint32_t rowsPerGroup = 1;
  float scale = 1.0f;  // document units per screen pixel
};

// A row that a point in the table hits.
struct DataViewCellHit {
  std::uint32_t index = 0;  // point index
  RectF row;                // the row across the whole group
};

struct PageButtonStates {
  bool first = false;
  bool previous = false;
  bool next = false;
  bool last = false;
  bool operator==(const PageButtonStates&) const = default;
};

// What a refresh asks of the window.
struct DataViewUpdate {
  bool handled = false;        // the refresh was for the series shown
  bool close = false;          // the series has no points left: close the view
  bool syncSelection = false;  // tell the container the whole selection
};

class ChartDataViewModel {
 public:
  // Screen pixels per inch that lengths on screen are laid out for.
  explicit ChartDataViewModel(float pixelsPerInch = static_cast<float>(kScreenPixelsPerInch));

  // Takes the series' points and the container's X settings; page 0. Without clearSelection
  // the selection is carried over to the new points (true: cells were dropped). The layout
  // must be redone afterwards.
  bool LoadDataView(const ChartContainerCore& container, const ChartSeries& series,
                    bool clearSelection);
  // Lays the table out in an area of the given size (document units) of the window.
  void LayoutDataViewPages(SizeF area, const DataViewMeasure& measure);
  // A refresh for series after the container changed it. Lays out again in area as needed.
  DataViewUpdate UpdateDataView(const ChartContainerCore& container, const ChartSeries& series,
                                int kind, SizeF area, const DataViewMeasure& measure);

  // "<name> (<n> Points)      \n<date>": the date on a second line.
  void BuildDataViewTitle(const std::wstring& date);

  // Rows of each group on the page that starts at point first.
  std::vector<std::uint32_t> GroupRowCounts(std::uint32_t first) const;
  // The row under a point given in document units, on the current page.
  std::optional<DataViewCellHit> HitTestCell(PointF point) const;
  // The row rectangle of a point index when it is on the current page.
  std::optional<RectF> GetCellRect(std::uint32_t index) const;

  // Selects an unselected point or deselects a selected one; returns the new state.
  bool ToggleCell(std::uint32_t index);
  void ClearSelection() { selected_.clear(); }
  const DataViewPoints& SelectedCells() const { return selected_; }

  // Paging; each returns whether the page changed.
  bool OnFirstPage();
  bool OnPrevPage();
  bool OnNextPage();
  bool OnLastPage();
  PageButtonStates ButtonStates() const;

  // Forgets the series (the view was closed).
  void Close();

  int SeriesIndex() const { return seriesIndex_; }
  std::uint32_t PointCount() const { return static_cast<std::uint32_t>(points_.size()); }
  const ChartPoints& Points() const { return points_; }
  const std::wstring& TextX(std::uint32_t index) const { return textsX_[index]; }
  const std::wstring& TextY(std::uint32_t index) const { return textsY_[index]; }
  const std::wstring& HeaderX() const { return headerX_; }
  const std::wstring& HeaderY() const { return headerY_; }
  const std::wstring& Title() const { return title_; }
  std::int32_t CurrentPage() const { return currentPage_; }
  std::int32_t PageCount() const { return pageCount_; }
  const DataViewPageLayout& Layout() const { return layout_; }
  float Scale() const { return layout_.scale; }

 private:
  struct Widths {
    float index = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
  };
  // Header rectangle, table area and row height for an area; the scale comes first.
  RectF PrepareArea(SizeF area, const DataViewMeasure& measure);
  // Groups per page, rows per group and the rectangles from the column widths.
  void ArrangeGroups(const RectF& table);
  void CountPages();
  void RelayoutDataViewPages(unsigned changes, std::uint32_t firstNew, SizeF area,
                             const DataViewMeasure& measure);
  float MeasureTexts(const std::vector<std::wstring>& texts, std::uint32_t first,
                     const std::wstring& header, const DataViewMeasure& measure) const;
  void FormatTextsX(std::uint32_t first);
  void FormatTextsY(std::uint32_t first);
  void AppendDataViewPoints(const ChartSeries& series);
  // False when the series' ends are not among the view's points.
  bool TrimDataViewPoints(const ChartSeries& series);
  void ReloadDataViewPoints(const ChartSeries& series);
  // Carries the selection over to new points; true when cells were dropped.
  bool RemapSelectedCells();
  void RemapSelectedCellsByX();
  void ClampPage();

  float pixelsPerInch_;
  int seriesIndex_ = -1;
  std::int32_t precisionX_ = 3;
  std::int32_t precisionY_ = 3;
  std::wstring seriesName_;
  std::wstring title_;
  std::wstring headerX_;
  std::wstring headerY_;
  ChartValueFormatter formatterX_ = nullptr;
  ChartValueFormatter formatterY_ = nullptr;
  ChartPoints points_;
  std::vector<std::wstring> textsX_;
  std::vector<std::wstring> textsY_;
  DataViewPoints selected_;
  Widths widths_;
  DataViewPageLayout layout_;
  std::int32_t currentPage_ = 0;
  std::int32_t pageCount_ = 1;
};

// Where the view window opens: 710 x 874 right of and above the container's parent window,
// or against the work area's top-right corner when that does not fit. Screen coordinates.
IntRect PlaceDataView(const IntRect& parent, const IntRect& workArea);

// The index column's text of a point: its 0-based index.
std::wstring FormatIndexText(std::uint32_t index);

}  // namespace chart
