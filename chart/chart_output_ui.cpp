// Real dialogs of the chart's output commands, and whole-file writes.
#include "chart/chart_output_ui.h"

#include <string>
#include <string_view>

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>

#include "platform/whole_file.h"

namespace chart {

void ChartOutputUi::ShowError(wxWindow* parent, const wxString& text) {
  const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString();
  wxMessageBox(text, caption, wxOK | wxICON_ERROR, parent);
}

wxString ChartOutputUi::AskSavePath(wxWindow* parent, const ChartSaveDialogSpec& spec) {
  wxString wildcard = spec.filter;
  while (wildcard.EndsWith("|")) wildcard.RemoveLast();
  wxFileDialog dialog(parent, spec.title, spec.initialFolder, spec.initialName, wildcard,
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  while (dialog.ShowModal() == wxID_OK) {
    wxFileName chosen(dialog.GetPath());
    if (spec.defaultExtension.empty() || chosen.HasExt()) return chosen.GetFullPath();
    // The file chooser adds no default extension and asked about the name without it.
    chosen.SetExt(spec.defaultExtension);
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString();
    if (!chosen.FileExists() ||
        wxMessageBox(chosen.GetFullName() + " already exists.\nDo you want to replace it?", caption,
                     wxYES_NO | wxICON_EXCLAMATION, &dialog) == wxYES) {
      return chosen.GetFullPath();
    }
    dialog.SetFilename(chosen.GetFullName());
  }
  return {};
}

ChartPrintResult RunPrinter(wxPrinterBase& printer, wxPrintout& printout, bool prompt) {
  bool printed = false;
  {
    // A failure is reported once, by the command, not by the printer's own log as well.
    wxLogNull quiet;
    printed = printer.Print(nullptr, &printout, prompt);
  }
  if (printed) return ChartPrintResult::kPrinted;
  return wxPrinterBase::GetLastError() == wxPRINTER_CANCELLED ? ChartPrintResult::kCancelled
                                                              : ChartPrintResult::kFailed;
}

ChartPrintResult ChartOutputUi::Print(wxPrintDialogData& data, wxPrintout& printout) {
  wxPrinter printer(&data);
  return RunPrinter(printer, printout, true);
}

ChartOutputUi& DefaultChartOutputUi() {
  static ChartOutputUi ui;
  return ui;
}

wxString ChartOutputFolder(const wxString& leaf) {
  wxFileName folder =
      wxFileName::DirName(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
  if (folder.GetDirCount() > 0) folder.RemoveLastDir();
  folder.AppendDir(leaf);
  return folder.GetPath();
}

bool WriteFileWhole(const wxString& path, const void* data, std::size_t size) {
  return platform::ReplaceFileContents(std::string(path.fn_str()),
                                       std::string_view(static_cast<const char*>(data), size));
}

}  // namespace chart
