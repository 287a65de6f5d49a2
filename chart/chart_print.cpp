// Printing of a chart container's copy through wxPrintout.
#include "chart/chart_print.h"

#include <algorithm>
#include <exception>
#include <locale>
#include <sstream>

#include <wx/bitmap.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include "chart/chart_container.h"
#include "chart/core/chart_error.h"
#include "chart/core/chart_transform.h"
#include "chart/print_page_range.h"

namespace chart {
namespace {

constexpr float kPageUnitsPerInch = static_cast<float>(kPrintUnitsPerInch);
// The plot's frame: 200 units in from the sides, 400 down, three quarters of the width high.
constexpr float kFrameInsetX = 200.0f;
constexpr float kFrameTop = 400.0f;
constexpr float kFrameHeightPerWidth = 0.75f;
constexpr float kHeaderTop = 250.0f;
constexpr float kHeaderHeight = 80.0f;
// Rows start this far below the plot, and this far down on every further page.
constexpr float kRowsBelowPlot = 100.0f;
constexpr float kLaterRowsTop = 500.0f;
// The frame's border and the plot inset, in screen pixels (times s).
constexpr float kFramePixels = 3.0f;
// The X-boundary labels keep their 7 pt on paper: the label routine sizes its font for 96
// units per inch times its scale.
constexpr float kBoundaryLabelScale = kPageUnitsPerInch / static_cast<float>(kScreenPixelsPerInch);
// More pages than any chart printout has; the printers clamp to the printout's own count.
constexpr int kMaxPrintPages = 9999;

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kFrameColour = 0xFF000000u;

RectF Inset(const RectF& r, float by) {
  return {r.x + by, r.y + by, r.width - 2.0f * by, r.height - 2.0f * by};
}

RectF RowArea(float left, float top, float width, float bottom) {
  return {left, top, width, bottom - top};
}

std::wstring ScaleText(double unitsPerInch, const ChartSeries& series) {
  std::wostringstream text;
  text.imbue(std::locale::classic());
  text.precision(series.PrecisionY() + 1);
  text << L"ScaleY = " << unitsPerInch / series.YScale() << L" units/inch" << L"\n";
  return text.str();
}

void SetRangeTexts(PrintLabelRow& row, const ChartSeries& series) {
  const ChartValueFormatter format = series.FormatterY();
  row.firstLabel = L"MinY";
  row.firstValue = format(series.MinY(), series.PrecisionY(), true);
  row.secondLabel = L"MaxY";
  row.secondValue = format(series.MaxY(), series.PrecisionY(), true);
}

// Lines one row takes with this layout.
int RowLines(const PrintRowLayout& layout) {
  return 1 + ((layout.lines & kPrintSecondLine) ? 1 : 0) +
         ((layout.lines & kPrintThirdLine) ? 1 : 0);
}

}  // namespace

ChartPrintGeometry ComputePrintGeometry(const RectF& bounds, float s) {
  ChartPrintGeometry g;
  g.bounds = bounds;
  const float width = bounds.width - 2.0f * kFrameInsetX;
  g.header = {bounds.x + kFrameInsetX, bounds.y + kHeaderTop, width, kHeaderHeight};
  g.frame = {bounds.x + kFrameInsetX, bounds.y + kFrameTop, width,
             kFrameHeightPerWidth * bounds.width};
  g.plot = Inset(g.frame, kFramePixels * s);
  g.firstRows =
      RowArea(g.plot.Left(), g.plot.Bottom() + kRowsBelowPlot, g.plot.width, bounds.Bottom());
  g.laterRows = RowArea(bounds.x + kFrameInsetX, bounds.y + kLaterRowsTop, width, bounds.Bottom());
  return g;
}

void PrintScaleFooter(const ChartContainerCore& copy, const RectF& plot, const ChartSeries& series,
                      const ChartTransform& transform, double unitsPerInch, PrintLabelRows& rows,
                      float s) {
  const float m = kFramePixels * s;
  PrintLabelRow base;
  base.colour = series.Colour() | kOpaque;
  base.dashStyle = series.DashStyle();
  base.penWidth = series.PenWidth();
  const std::wstring scaleText = ScaleText(unitsPerInch, series);

  const auto [first, last] = copy.TrackedValuesFound().equal_range(series.Index());
  if (first == last) {
    PrintLabelRow row = base;
    row.seriesName = series.GetChartName();
    row.scaleText = scaleText;
    SetRangeTexts(row, series);
    rows.emplace(series.Index(), std::move(row));
    return;
  }

  const ChartValueFormatter format = series.FormatterY();
  for (auto it = first; it != last; ++it) {
    const ChartPoint& value = it->second;
    PrintLabelRow row = base;
    if (it == first) {
      row.seriesName = series.GetChartName();
      row.scaleText = scaleText;
    }
    const double px = value.x * transform.scaleX + transform.offsetX;
    const double py = value.y * series.YScale() * transform.scaleY + transform.offsetY;
    // Inside the frame: the plot grown by the frame's width.
    const bool shown = plot.x - m <= px && px < plot.x - m + (plot.width + 2.0f * m) &&
                       plot.y - m <= py && py < plot.y - m + (plot.height + 2.0f * m);
    if (shown) {
      row.selectionText = L"Sel. Point: ";
      row.firstLabel = copy.NameX();
      row.firstValue = format(value.x, copy.PrecisionX(), !copy.NameX().empty());
      row.secondLabel = series.GetChartSecondName();
      row.secondValue = format(value.y, series.PrecisionY(), !series.GetChartSecondName().empty());
    } else {
      row.selectionText = L"Sel. N/A, ";
      SetRangeTexts(row, series);
    }
    rows.emplace(series.Index(), std::move(row));
  }
}

ChartPrintPlan PlanChartPrint(ChartContainerCore& copy, const RectF& bounds, float s) {
  copy.SetShowXBoundaries(true);
  ChartPrintPlan plan;
  plan.s = s;
  plan.geometry = ComputePrintGeometry(bounds, s);
  plan.hasSeries = copy.SeriesCount() > 0;
  if (!plan.hasSeries) return plan;

  const RectF& frame = plan.geometry.frame;
  const RectF& plot = plan.geometry.plot;
  const auto [minX, maxX] = copy.ExtentX();
  const auto [minY, maxY] = copy.ExtentY();
  plan.axes = {GetXAxisPlacement(frame, minY, maxY), GetYAxisPlacement(frame, minX, maxX)};
  const ScaleFactors scale = copy.GetScaleFactors(plot, minX, maxX, minY, maxY);
  plan.transform =
      TransformForPlot(plan.axes.xAxis, plan.axes.yAxis, scale, minX, maxX, minY, maxY, false);

  const auto top =
      TryScreenToData(static_cast<int>(plot.Left()), static_cast<int>(plot.Top()), &plan.transform);
  const auto bottom = TryScreenToData(static_cast<int>(plot.Right()),
                                      static_cast<int>(plot.Bottom()), &plan.transform);
  if (top && bottom && plot.height > 0.0f) {
    plan.unitsPerInch = (top->y - bottom->y) * kPrintUnitsPerInch / plot.height;
  }

  const int selected = copy.GetSelectedChartId();
  const ChartSeriesMap& series = copy.SeriesMap();
  for (auto it = selected == -1 ? series.begin() : series.find(selected); it != series.end();
       ++it) {
    const ChartSeries& s1 = *it->second;
    if (!s1.IsVisible() || !s1.HasPoints()) continue;
    plan.printed.push_back(it->first);
    PrintScaleFooter(copy, plot, s1, plan.transform, plan.unitsPerInch, plan.rows, s);
    // A selected series is printed alone.
    if (selected != -1) break;
  }
  return plan;
}

// ---- ChartPrintJob ----

ChartPrintJob::ChartPrintJob(std::unique_ptr<ChartContainerCore> copy, int screenDpi,
                             const RectF& bounds)
    : copy_(std::move(copy)) {
  const float s =
      kPageUnitsPerInch / static_cast<float>(screenDpi > 0 ? screenDpi : kScreenPixelsPerInch);
  plan_ = PlanChartPrint(*copy_, bounds, s);
}

void ChartPrintJob::Paginate(wxGraphicsContext& gc) {
  pages_.clear();
  const ChartPrintGeometry& g = plan_.geometry;
  const PrintRowLayout layout = LayoutPrintRows(g.firstRows, plan_.rows, gc, plan_.s);
  const float fontHeight = PrintRowFontHeight(gc);
  const int count = static_cast<int>(plan_.rows.size());

  // A plot that reaches the page's bottom (landscape paper) leaves no room for a row there;
  // the rows then start on the next page instead of being drawn off the paper.
  const float rowHeight = 1.5f * fontHeight * static_cast<float>(RowLines(layout));
  if (count == 0 || g.firstRows.Top() + rowHeight > g.firstRows.Bottom()) {
    pages_.push_back(PrintPagePlan{});
  } else {
    pages_.push_back(PlanPrintRows(g.firstRows, plan_.rows, layout, fontHeight, plan_.s, 0));
  }
  while (pages_.back().next < count) {
    pages_.push_back(
        PlanPrintRows(g.laterRows, plan_.rows, layout, fontHeight, plan_.s, pages_.back().next));
  }
}

void ChartPrintJob::DrawPage(wxGraphicsContext& gc, int page) {
  if (page < 1 || page > PageCount()) return;
  const RectF& b = plan_.geometry.bounds;
  date_ = PrintPageHeader(gc, copy_->ContainerName(), b.x, b.y, b.width, b.height, date_,
                          kPrintUnitsPerInch);
  if (page == 1) DrawPlot(gc);
  DrawPlannedPrintRows(gc, pages_[static_cast<std::size_t>(page - 1)], plan_.s);
}

void ChartPrintJob::DrawPlot(wxGraphicsContext& gc) {
  const ChartContainerCore& copy = *copy_;
  const RectF& frame = plan_.geometry.frame;
  const RectF& plot = plan_.geometry.plot;
  const float s = plan_.s;

  gc.SetPen(wxNullGraphicsPen);
  gc.SetBrush(gc.CreateBrush(wxBrush(ArgbToColour(copy.Colour(ChartColourRole::kBackground)))));
  gc.DrawRectangle(frame.x, frame.y, frame.width, frame.height);
  gc.SetBrush(wxNullGraphicsBrush);
  // The border lies inside the frame.
  const float border = kFramePixels * s;
  const RectF stroke = Inset(frame, border / 2.0f);
  wxGraphicsPenInfo borderPen(ArgbToColour(kFrameColour), border, wxPENSTYLE_SOLID);
  gc.SetPen(gc.CreatePen(borderPen.Join(wxJOIN_MITER)));
  wxGraphicsPath outline = gc.CreatePath();
  outline.AddRectangle(stroke.x, stroke.y, stroke.width, stroke.height);
  gc.StrokePath(outline);

  if (!plan_.hasSeries) return;
  gc.PushState();
  gc.Clip(frame.x, frame.y, frame.width, frame.height);

  const auto [minX, maxX] = copy.ExtentX();
  const auto [minY, maxY] = copy.ExtentY();
  const AxesLayout axes =
      DrawAxes(gc, frame, minX, maxX, minY, maxY, copy.Colour(ChartColourRole::kAxes), s);
  DrawDashedGrid(gc, frame, axes.Crossing().x, axes.Crossing().y,
                 copy.Colour(ChartColourRole::kGrid), s);

  const std::uint32_t trackingColour = copy.Colour(ChartColourRole::kTrackingMarks);
  ChartDrawScratch scratch;
  for (const int id : plan_.printed) {
    const ChartSeries* series = copy.GetChart(id, false);
    if (!series) continue;
    DrawChartSeries(gc, *series, series->Points(), minX, maxX, plan_.transform, scratch, s);
    if (copy.IsTracking()) {
      DrawTrackedPoints(gc, *series, copy.TrackedValuesFound(), copy.TrackedX(), minX, maxX,
                        plan_.transform, plot, trackingColour, s);
    }
  }
  if (copy.IsTracking()) {
    DrawTrackingLine(gc, plot, copy.TrackedX(), copy.TrackedValuesFound(), plan_.transform, false,
                     copy.GetSelectedChartId(), trackingColour, s);
  }
  DrawChartText(gc, plot, MakeBoundaryLabels(copy, axes.xAxis, axes.yAxis), kBoundaryLabelScale);
  gc.PopState();
}

// ---- ChartPrintout ----

ChartPrintout::ChartPrintout(const wxString& title, Collect collect, int screenDpi)
    : wxPrintout(title), collect_(std::move(collect)), screenDpi_(screenDpi) {}

RectF ChartPrintout::PageBounds() const {
  int w = 0, h = 0, ppiX = 0, ppiY = 0;
  GetPageSizePixels(&w, &h);
  GetPPIPrinter(&ppiX, &ppiY);
  if (ppiX <= 0 || ppiY <= 0) return {};
  return {0.0f, 0.0f, static_cast<float>(w * kPrintUnitsPerInch / ppiX),
          static_cast<float>(h * kPrintUnitsPerInch / ppiY)};
}

namespace {

// A graphics context on the printer's device context, in page units; none for device
// contexts that take none.
std::unique_ptr<wxGraphicsContext> PrinterGraphics(wxDC& dc, int ppiX, int ppiY) {
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
  if (!gc) return nullptr;
  gc->Scale(ppiX / kPrintUnitsPerInch, ppiY / kPrintUnitsPerInch);
  gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
  return gc;
}

}  // namespace

void ChartPrintout::OnPreparePrinting() {
  job_.reset();
  std::unique_ptr<ChartContainerCore> copy = collect_ ? collect_() : nullptr;
  if (!copy) return;
  job_.emplace(std::move(copy), screenDpi_, PageBounds());

  int ppiX = 0, ppiY = 0;
  GetPPIPrinter(&ppiX, &ppiY);
  std::unique_ptr<wxGraphicsContext> gc;
  if (wxDC* dc = GetDC()) gc = PrinterGraphics(*dc, ppiX, ppiY);
  wxImage scratch(1, 1);
  if (!gc) {
    // Measure as the page picture will be drawn.
    gc.reset(wxGraphicsContext::Create(scratch));
    gc->Scale(kPrintRasterDpi / kPrintUnitsPerInch, kPrintRasterDpi / kPrintUnitsPerInch);
  }
  job_->Paginate(*gc);
  CountAllPagesForGtk(*this);
}

void ChartPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  const int pages = job_ ? job_->PageCount() : 0;
  *minPage = 1;
  *maxPage = pages;
  *pageFrom = 1;
  *pageTo = pages;
}

bool ChartPrintout::HasPage(int page) { return job_ && page >= 1 && page <= job_->PageCount(); }

bool ChartPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (!dc || !HasPage(page)) return false;
  int ppiX = 0, ppiY = 0;
  GetPPIPrinter(&ppiX, &ppiY);
  if (ppiX <= 0 || ppiY <= 0) return false;
  if (std::unique_ptr<wxGraphicsContext> gc = PrinterGraphics(*dc, ppiX, ppiY)) {
    job_->DrawPage(*gc, page);
    return true;
  }

  // The page as a picture, drawn in page units and placed over the whole printable area.
  int w = 0, h = 0;
  GetPageSizePixels(&w, &h);
  const int pictureW = std::max(1, w * kPrintRasterDpi / ppiX);
  const int pictureH = std::max(1, h * kPrintRasterDpi / ppiY);
  wxImage picture(pictureW, pictureH);
  picture.SetRGB(wxRect(0, 0, pictureW, pictureH), 255, 255, 255);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(picture));
    if (!gc) return false;
    gc->Scale(kPrintRasterDpi / kPrintUnitsPerInch, kPrintRasterDpi / kPrintUnitsPerInch);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    job_->DrawPage(*gc, page);
  }
  double scaleX = 1.0, scaleY = 1.0;
  dc->GetUserScale(&scaleX, &scaleY);
  dc->SetUserScale(static_cast<double>(ppiX) / kPrintRasterDpi,
                   static_cast<double>(ppiY) / kPrintRasterDpi);
  dc->DrawBitmap(wxBitmap(picture), 0, 0);
  dc->SetUserScale(scaleX, scaleY);
  return true;
}

// ---- The command ----

int GetScreenDpi(const wxWindow& window) {
  wxSize dpi = window.GetDPI();
  if (dpi.x <= 0 || dpi.y <= 0) dpi = wxScreenDC().GetPPI();
  if (dpi.x != dpi.y) throw ChartArgumentError("screen resolution differs across and down");
  return dpi.x;
}

wxPrintDialogData ChartPrintDialogData() {
  wxPrintDialogData data;
  data.SetMinPage(1);
  data.SetMaxPage(kMaxPrintPages);
  data.SetFromPage(1);
  data.SetToPage(kMaxPrintPages);
  data.SetAllPages(true);
  data.EnableSelection(false);
  data.EnableHelp(false);
  data.EnablePrintToFile(false);
  return data;
}

void PrintCharts(CChartContainer& chart, ChartOutputUi& ui) {
  if (!chart.Core().HasDrawableChart(-1, true)) {
    ui.ShowError(&chart, "Has no visible charts to print");
    return;
  }
  try {
    const int screenDpi = GetScreenDpi(chart);
    ChartPrintout printout(
        chart.Core().ContainerName(),
        [&chart] {
          chart.SendChartNotify({ChartNotifyCode::kPrintStart});
          std::unique_ptr<ChartContainerCore> copy = chart.Core().CollectChartsForOutput(L"");
          chart.SendChartNotify({ChartNotifyCode::kPrinted});
          return copy;
        },
        screenDpi);
    wxPrintDialogData data = ChartPrintDialogData();
    if (ui.Print(data, printout) == ChartPrintResult::kFailed) {
      ui.ShowError(&chart, "Print Failed");
    }
  } catch (const std::exception&) {
    // An exception must not leave the command handler.
    ui.ShowError(&chart, "Print Failed");
  }
}

}  // namespace chart
