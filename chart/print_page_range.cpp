// Keeps GTK's page count at the whole document while a page range is printed.
#include "chart/print_page_range.h"

#include <gtk/gtk.h>

#include <wx/dc.h>
#include <wx/gtk/print.h>

namespace chart {
namespace {

// The printer device context keeps the print data whose native part knows the running print
// operation; the accessor is protected, and a pointer to it is the one way in.
struct PrinterDcData : wxGtkPrinterDCImpl {
  static wxPrintData& Of(wxGtkPrinterDCImpl& dc) { return (dc.*(&PrinterDcData::GetPrintData))(); }
};

// "paginate" comes after "begin-print", where wx set the page count, and before GTK reads the
// count to clip the chosen ranges.
gboolean OnPaginate(GtkPrintOperation* operation, GtkPrintContext*, gpointer data) {
  auto* printout = static_cast<wxPrintout*>(data);
  int minPage = 0, maxPage = 0, fromPage = 0, toPage = 0;
  printout->GetPageInfo(&minPage, &maxPage, &fromPage, &toPage);
  GtkPrintSettings* settings = gtk_print_operation_get_print_settings(operation);
  // With every page or the current page wx's count is right already.
  if (maxPage >= minPage && minPage >= 1 && settings &&
      gtk_print_settings_get_print_pages(settings) == GTK_PRINT_PAGES_RANGES) {
    gtk_print_operation_set_n_pages(operation, maxPage - minPage + 1);
  }
  g_signal_handlers_disconnect_by_func(operation, reinterpret_cast<gpointer>(&OnPaginate), data);
  return TRUE;
}

}  // namespace

void CountAllPagesForGtk(wxPrintout& printout) {
  wxDC* dc = printout.GetDC();
  if (!dc || printout.IsPreview()) return;
  auto* impl = dynamic_cast<wxGtkPrinterDCImpl*>(dc->GetImpl());
  if (!impl) return;
  auto* native = dynamic_cast<wxGtkPrintNativeData*>(PrinterDcData::Of(*impl).GetNativeData());
  GtkPrintOperation* operation = native ? native->GetPrintJob() : nullptr;
  if (!operation) return;
  g_signal_connect(operation, "paginate", G_CALLBACK(OnPaginate), &printout);
}

}  // namespace chart
