// The data view's Print command, its printout and the drawing of one printed page.
#include "chart/data_view_print.h"

#include <cmath>

#include <wx/app.h>
#include <wx/cmndata.h>
#include <wx/msgdlg.h>

#include "chart/chart_data_view.h"
#include "chart/chart_draw.h"
#include "chart/print_page_range.h"

namespace chart {
namespace {

// The table's frame starts this far (document units) from the page's left edge.
constexpr float kFrameIndent = 150.0f;

}  // namespace

CDataViewPrintout::CDataViewPrintout(const CChartDataView& view) : view_(view) {}

void CDataViewPrintout::OnPreparePrinting() { CountAllPagesForGtk(*this); }

void CDataViewPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = 1;
  *maxPage = view_.Model().PageCount();
  *pageFrom = 1;
  *pageTo = *maxPage;
}

bool CDataViewPrintout::HasPage(int page) { return page >= 1 && page <= view_.Model().PageCount(); }

bool CDataViewPrintout::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (!dc || !HasPage(page)) return false;
  // One logical unit is one document unit on the sheet (also in a scaled preview).
  int ppiX = 0, ppiY = 0, pageW = 0, pageH = 0, dcW = 0, dcH = 0;
  GetPPIPrinter(&ppiX, &ppiY);
  GetPageSizePixels(&pageW, &pageH);
  dc->GetSize(&dcW, &dcH);
  if (ppiX <= 0 || ppiY <= 0 || pageW <= 0 || pageH <= 0) return false;
  dc->SetUserScale(ppiX / kDocumentUnitsPerInch * dcW / pageW,
                   ppiY / kDocumentUnitsPerInch * dcH / pageH);
  const wxRect area = GetLogicalPageRect();
  view_.DrawPrintedPage(page, *dc,
                        {static_cast<float>(area.x), static_cast<float>(area.y),
                         static_cast<float>(area.width), static_cast<float>(area.height)});
  return true;
}

void CChartDataView::DrawPrintedPage(int pageNumber, wxDC& dc, const RectF& bounds) const {
  const DataViewPageLayout& l = model_.Layout();
  const float s = l.scale;
  const RectF frame{bounds.x + kFrameIndent, bounds.y, bounds.width - 2 * s - kFrameIndent,
                    bounds.height - 2 * s};
  const float tableWidth = static_cast<float>(l.groupsPerPage - 1) * l.stride + l.group.width;
  const float tableHeight = static_cast<float>(l.rowsPerGroup + 1) * l.rowHeight;
  const float left = frame.x + (frame.width - tableWidth) / 2;
  const float top = frame.y + (frame.height - tableHeight) / 2;

  dc.SetPen(wxPen(*wxBLACK, static_cast<int>(std::lround(s))));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.DrawRectangle(static_cast<int>(std::lround(frame.x)), static_cast<int>(std::lround(frame.y)),
                   static_cast<int>(std::lround(frame.width)),
                   static_cast<int>(std::lround(frame.height)));
  DrawPageHeader(dc, frame.x, pageNumber);
  DrawColumnHeaders(dc, left, top);
  DrawPageCells(dc, static_cast<std::uint32_t>(pageNumber - 1) * l.pointsPerPage, left, top);
}

void CChartDataView::OnDataViewPrint(wxCommandEvent&) {
  const int pages = model_.PageCount();
  wxPrintDialogData data;
  data.SetMinPage(1);
  data.SetMaxPage(pages);
  data.SetFromPage(1);
  data.SetToPage(pages);
  data.SetAllPages(true);
  data.EnablePageNumbers(true);
  data.EnableSelection(false);
  data.EnablePrintToFile(false);
  data.EnableHelp(false);
  wxPrinter printer(&data);
  CDataViewPrintout printout(*this);
  // A cancelled dialog prints nothing and says nothing.
  if (!printer.Print(nullptr, &printout, true) && wxPrinter::GetLastError() == wxPRINTER_ERROR) {
    wxMessageBox("The chart data could not be printed.",
                 wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(), wxOK | wxICON_ERROR, this);
  }
}

}  // namespace chart
