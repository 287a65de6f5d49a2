// Shared pieces of the output command tests: series with chosen looks, a scratch folder, and an
// output UI that records what the commands tell the user and answers their dialogs.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <wx/dcps.h>
#include <wx/print.h>

#include "chart/chart_output_ui.h"
#include "chart/core/chart_series.h"
#include "tests/support/temp_folder.h"

namespace chart::test {

struct SeriesLook {
  bool visible = true;
  std::wstring nameY = L"Y";
  std::int32_t precisionY = 3;
  std::int32_t dashStyle = kDashSolid;
  float penWidth = 2.0f;
  float tension = 0.0f;
  std::uint32_t colour = 0xFF0000FF;
};

// Chart: CChartContainer or ChartContainerCore.
template <class Chart>
int AddSeries(Chart& chart, const std::wstring& name, const ChartPoints& points,
              const SeriesLook& look = {}) {
  ChartAddRecord r;
  r.visible = look.visible;
  r.showPoints = true;
  r.name = name;
  r.nameY = look.nameY;
  r.precisionY = look.precisionY;
  r.dashStyle = look.dashStyle;
  r.penWidth = look.penWidth;
  r.tension = look.tension;
  r.colour = look.colour;
  r.points = &points;
  return chart.AddChart(r, false);
}

// A fresh, empty folder of the test's own, removed at the end.
using ScratchFolder = test_support::TempFolder;

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Records errors and dialogs; answers the save dialog with savePath (empty: cancel) and the
// print dialog by printing to printFile through the PostScript printer (empty: cancel).
class RecordingUi : public ChartOutputUi {
 public:
  void ShowError(wxWindow*, const wxString& text) override { errors.push_back(text); }
  wxString AskSavePath(wxWindow*, const ChartSaveDialogSpec& spec) override {
    dialogs.push_back(spec);
    return savePath;
  }
  ChartPrintResult Print(wxPrintDialogData& data, wxPrintout& printout) override {
    ++printDialogs;
    if (printFile.empty()) return ChartPrintResult::kCancelled;
    wxPrintData& print = data.GetPrintData();
    print.SetFilename(printFile);
    print.SetPrintMode(wxPRINT_MODE_FILE);
    print.SetPaperId(paper);
    print.SetOrientation(orientation);
    wxPostScriptPrinter printer(&data);
    return RunPrinter(printer, printout, false);
  }

  std::vector<wxString> errors;
  std::vector<ChartSaveDialogSpec> dialogs;
  int printDialogs = 0;
  wxString savePath;
  wxString printFile;
  wxPaperSize paper = wxPAPER_A4;
  wxPrintOrientation orientation = wxPORTRAIT;
};

}  // namespace chart::test
