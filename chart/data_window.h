// CDataWnd: the small borderless box over the chart's plot with one line per series, as the
// legend (line sample and name) or as the tracking values (name, X and Y at the tracked X).
#pragma once

#include <cstdint>

#include <wx/graphics.h>
#include <wx/window.h>

#include "chart/core/chart_container_core.h"
#include "chart/core/data_window_layout.h"
#include "chart/core/geometry.h"

namespace chart {

// Adds the outline of a rectangle with rounded corners of the given radius to path, starting
// at the top-left corner's arc. The figure is left open; a fill closes it.
void AddRoundedRectPath(wxGraphicsPath& path, const RectF& rect, float radius);

class CDataWnd : public wxWindow {
 public:
  // The object first; CreateDataWindow makes the window, as a child of the container.
  CDataWnd(std::uint32_t backgroundColour, std::uint32_t borderColour);
  ~CDataWnd() override;

  // Creates the window (hidden) when it does not exist, then measures the rows and places
  // the window: beside x in tracking mode, in the top-right corner otherwise. False when the
  // window cannot be created. ShowDataWindow shows it.
  bool CreateDataWindow(wxWindow& container, int x, int y, bool trackingMode);
  // Moves the window to its place and shows it, or hides it without rows. False when there
  // is no window.
  bool ShowDataWindow();
  // Takes a copy of rows, measures them and shows the window beside the tracking line at x.
  // False when there is no window, and for no rows (the window is hidden).
  bool UpdateDataWindow(const ChartLabelRows& rows, wxWindow& container, int x, int y);
  // Draws the box and the rows into gc with the window's top-left corner at (dx, dy).
  void DrawDataWndTo(wxGraphicsContext& gc, float dx, float dy) const;

  // The container's row builders fill these.
  ChartLabelRows& Rows() { return rows_; }
  const ChartLabelRows& Rows() const { return rows_; }
  // Where the window goes, in the container's client coordinates.
  const IntRect& WindowRect() const { return windowRect_; }
  const DataWndLayout& Layout() const { return layout_; }

  // The box never takes the focus: the keys stay with the chart.
  bool AcceptsFocus() const override { return false; }
  bool AcceptsFocusFromKeyboard() const override { return false; }

 private:
  void MeasureDataWnd();
  // False, drawing nothing, for rows that measure no width or height.
  bool DrawDataWndRows(wxGraphicsContext& gc, float dx, float dy) const;
  void DrawDataWndRow(wxGraphicsContext& gc, const ChartLabelRow& row, const RectF& at) const;
  void DrawBox(wxGraphicsContext& gc, const RectF& box) const;
  void OnDataWndPaint(wxPaintEvent& event);
  // The mouse belongs to the chart under the box: events go on to the container, after this
  // handler has returned.
  void ForwardMouse(wxMouseEvent& event);

  ChartLabelRows rows_;
  bool trackingMode_ = false;
  DataWndLayout layout_;
  IntRect windowRect_;
  std::uint32_t backgroundColour_;
  std::uint32_t borderColour_;
};

}  // namespace chart
