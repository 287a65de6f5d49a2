// The "Print charts" command: a copy of the container printed at 300 page units per inch, with
// a header on every page, the plot on the first, and one text row per printed series (its
// scale, Y range or tracked values) continuing on further pages.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/graphics.h>
#include <wx/print.h>

#include "chart/chart_draw.h"
#include "chart/chart_output_ui.h"
#include "chart/core/chart_container_core.h"
#include "chart/core/print_rows.h"
#include "chart/print_rows_draw.h"

namespace chart {

class CChartContainer;

// Where things go on a printed page, in page units (1/300 inch).
struct ChartPrintGeometry {
  RectF bounds;     // the printable area
  RectF header;     // the container's name and the date
  RectF frame;      // the plot's frame: three quarters of the printable width high
  RectF plot;       // the frame less 3 s on every side: curves and transform
  RectF firstRows;  // the rows under the plot
  RectF laterRows;  // the rows of every further page
};
ChartPrintGeometry ComputePrintGeometry(const RectF& bounds, float s);

// Adds the rows of one series: its name and scale in data units per inch with its Y range, or
// one row per value tracked for it, which shows the value when it lies inside the frame.
void PrintScaleFooter(const ChartContainerCore& copy, const RectF& plot, const ChartSeries& series,
                      const ChartTransform& transform, double unitsPerInch, PrintLabelRows& rows,
                      float s);

// What the first page shows, worked out before anything is drawn.
struct ChartPrintPlan {
  ChartPrintGeometry geometry;
  float s = 1.0f;
  bool hasSeries = false;    // false: header and empty frame only
  AxesLayout axes;           // on the frame
  ChartTransform transform;  // origin from the frame, scale from the plot
  double unitsPerInch = 0.0;
  std::vector<int> printed;  // series drawn, in order: the selected one alone, else all visible
  PrintLabelRows rows;
};

// Plans the printout of copy on a page whose printable area is bounds; s is the size of one
// screen pixel in page units. Sets the copy's show-X-boundaries flag: printouts always carry
// the X-boundary labels.
ChartPrintPlan PlanChartPrint(ChartContainerCore& copy, const RectF& bounds, float s);

// One printout: the copy, its plan, and the rows split into pages.
class ChartPrintJob {
 public:
  ChartPrintJob(std::unique_ptr<ChartContainerCore> copy, int screenDpi, const RectF& bounds);

  // Lays the rows out in the row font as gc measures it and splits them into pages.
  void Paginate(wxGraphicsContext& gc);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Draws page (1-based) in page units. The first page drawn fixes the date that every page
  // of the printout shows.
  void DrawPage(wxGraphicsContext& gc, int page);

  const ChartPrintPlan& Plan() const { return plan_; }
  const std::vector<PrintPagePlan>& Pages() const { return pages_; }

 private:
  void DrawPlot(wxGraphicsContext& gc);

  std::unique_ptr<ChartContainerCore> copy_;
  ChartPrintPlan plan_;
  std::vector<PrintPagePlan> pages_;
  std::wstring date_;
};

// The printout of a chart copy. The copy is made by collect once the print dialog was
// accepted, when printing begins. A printer device context that takes no graphics context
// (PostScript) gets each page as a picture of kPrintRasterDpi.
class ChartPrintout : public wxPrintout {
 public:
  using Collect = std::function<std::unique_ptr<ChartContainerCore>()>;
  static constexpr int kPrintRasterDpi = 150;

  ChartPrintout(const wxString& title, Collect collect, int screenDpi);

  void OnPreparePrinting() override;
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
  bool HasPage(int page) override;
  bool OnPrintPage(int page) override;

  // Empty until printing has begun.
  const ChartPrintJob* Job() const { return job_ ? &*job_ : nullptr; }

 private:
  // The printable area in page units.
  RectF PageBounds() const;

  Collect collect_;
  int screenDpi_;
  std::optional<ChartPrintJob> job_;
};

// Screen pixels per inch of the window, the same across and down. Throws ChartArgumentError
// when they differ.
int GetScreenDpi(const wxWindow& window);

// The print dialog's settings for chart printouts: every page, no selection, no help, no
// print to file.
wxPrintDialogData ChartPrintDialogData();

// Handler of "Print charts".
void PrintCharts(CChartContainer& chart, ChartOutputUi& ui = DefaultChartOutputUi());

}  // namespace chart
