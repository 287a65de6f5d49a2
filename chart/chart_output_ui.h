// What the chart's output commands (print, save as image, save as XML) ask of the user and of
// the file system: error boxes, the save dialog, the print dialog with the print job, and
// files written whole or not at all. The default shows the real dialogs; tests replace it.
#pragma once

#include <cstddef>
#include <string>

#include <wx/cmndata.h>
#include <wx/print.h>
#include <wx/string.h>
#include <wx/window.h>

namespace chart {

// A save dialog. The filter is in the chart's own form, "Label|*.ext|...||"; the trailing
// separators are dropped for the dialog.
struct ChartSaveDialogSpec {
  wxString title;
  wxString initialFolder;
  wxString initialName;
  wxString filter;
  // Added, after a ".", to a chosen file name without an extension; empty: nothing added.
  wxString defaultExtension;
};

enum class ChartPrintResult { kPrinted, kCancelled, kFailed };

class ChartOutputUi {
 public:
  virtual ~ChartOutputUi() = default;
  // A message box with the error icon and an OK button.
  virtual void ShowError(wxWindow* parent, const wxString& text);
  // The full path chosen, or an empty string when the dialog was cancelled. A name given
  // without an extension gets the default one, and replacing a file is confirmed first.
  virtual wxString AskSavePath(wxWindow* parent, const ChartSaveDialogSpec& spec);
  // Shows the print dialog and, after OK, prints printout with the chosen printer.
  virtual ChartPrintResult Print(wxPrintDialogData& data, wxPrintout& printout);
};

// Runs printer on printout (showing its dialog first with prompt) and tells how it went.
ChartPrintResult RunPrinter(wxPrinterBase& printer, wxPrintout& printout, bool prompt);

// The real dialogs. Not owned by the caller.
ChartOutputUi& DefaultChartOutputUi();

// "<parent of the executable's folder>/<leaf>", where the output dialogs start.
wxString ChartOutputFolder(const wxString& leaf);

// Writes size bytes to path through a temporary file beside it, which replaces path only once
// everything was written (platform/whole_file.h: a symbolic link is written through, a
// read-only file is refused). False, with path untouched and no file left, on any failure.
bool WriteFileWhole(const wxString& path, const void* data, std::size_t size);

}  // namespace chart
