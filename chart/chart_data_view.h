// CChartDataView: the "Chart Data View" window that lists one series' points as a paged table
// (index, X, Y in column groups side by side), with page buttons, row selection that the
// chart mirrors, and printing. ChartDataViewSlot is the container's hold on its one view.
#pragma once

#include <cstdint>

#include <wx/button.h>
#include <wx/dc.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include "chart/core/data_view_model.h"
#include "chart/data_view_page_buttons.h"

namespace chart {

class CChartContainer;

// The view's buttons by their command numbers (window ids must stay below 32767, so the
// buttons themselves take free ids).
enum DataViewCommand : int {
  kDataViewFirstPage = 37600,
  kDataViewPrevPage = 37601,
  kDataViewLastPage = 37602,
  kDataViewNextPage = 37603,
  kDataViewPrint = 37604,
  kDataViewClose = 37605,
};

class CChartDataView : public wxFrame {
 public:
  // The container must outlive the view; it destroys the view when it is closed.
  explicit CChartDataView(CChartContainer& container);
  ~CChartDataView() override;

  // Makes the window at rect (screen coordinates). False when it cannot be made.
  bool CreateDataView(const wxRect& rect);
  // Paints "Calculating Layout" first when series is new to the view and long.
  void ShowLayoutNotice(const ChartSeries& series);
  // Shows series from page 0; clearSelection empties the selection, otherwise the selected
  // points that series still has stay selected.
  void LoadDataView(const ChartSeries& series, bool clearSelection);
  // Follows a change of the container's series (refresh kinds of DataViewRefreshKind).
  void UpdateDataView(const ChartSeries& series, int kind);

  const ChartDataViewModel& Model() const { return model_; }
  CPageCtrl* PageButton(DataViewCommand id) const;
  wxButton* PrintButton() const { return print_; }
  wxButton* CloseButton() const { return close_; }

  // The table's parts, in document units on dc; the screen and the printed page share them.
  void DrawPageHeader(wxDC& dc, float xOffset, int pageNumber) const;
  void DrawColumnHeaders(wxDC& dc, float x, float y) const;
  // Draws the rows of the page that starts at point first; returns the point after the last.
  std::uint32_t DrawPageCells(wxDC& dc, std::uint32_t first, float x, float y) const;
  void DrawSelectedCells(wxDC& dc) const;
  // One printed page (1-based) in bounds, the dc's page area in document units.
  void DrawPrintedPage(int pageNumber, wxDC& dc, const RectF& bounds) const;

 private:
  SizeF AreaInDocumentUnits() const;
  void CreateDataViewButtons();
  void SetButtonStates();
  void RefreshAll();
  // A page change by one of the model's paging steps; nothing when the page stays.
  void TurnPage(bool (ChartDataViewModel::*turn)());
  void OnDataViewPaint(wxPaintEvent& event);
  void OnDataViewLButtonDown(wxMouseEvent& event);
  void OnDataViewRButtonDown(wxMouseEvent& event);
  void OnFirstPage(wxCommandEvent& event);
  void OnPrevPage(wxCommandEvent& event);
  void OnNextPage(wxCommandEvent& event);
  void OnLastPage(wxCommandEvent& event);
  void OnDataViewPrint(wxCommandEvent& event);
  void OnDataViewClose(wxCommandEvent& event);
  void OnDataViewClosing(wxCloseEvent& event);
  // Tells the container that the view closed; it destroys the view.
  void DataViewClosed();

  CChartContainer& container_;
  ChartDataViewModel model_;
  bool notice_ = false;
  CPageCtrl* first_ = nullptr;  // the buttons are the window's children
  CPageCtrl* previous_ = nullptr;
  CPageCtrl* next_ = nullptr;
  CPageCtrl* last_ = nullptr;
  wxButton* print_ = nullptr;
  wxButton* close_ = nullptr;
};

// The container's hold on its chart data view: at most one, made on demand. Host hooks:
// HasDataView, RefreshChartDataView, DestroyDataViewWindow and DestroyDataView forward here.
class ChartDataViewSlot {
 public:
  // The container must outlive the slot; the view goes with the slot.
  explicit ChartDataViewSlot(CChartContainer& container);
  ~ChartDataViewSlot();
  ChartDataViewSlot(const ChartDataViewSlot&) = delete;
  ChartDataViewSlot& operator=(const ChartDataViewSlot&) = delete;

  bool HasDataView() const { return view_ != nullptr; }
  CChartDataView* DataView() const { return view_.get(); }

  // Opens the view beside the container's parent (or restores it) and shows series. reload
  // clears the selection. False when the window cannot be made.
  bool ShowChartDataView(const ChartSeries& series, bool reload, bool redraw);
  void RefreshChartDataView(int reloadKind);
  // A window is the object here: both destroy the view.
  void DestroyDataViewWindow() { DestroyDataView(); }
  void DestroyDataView();

 private:
  CChartContainer& container_;
  // Top-level windows delete themselves after Destroy(); the reference empties then.
  wxWeakRef<CChartDataView> view_;
};

}  // namespace chart
