// Printing of the chart data view: each chosen page on one sheet, with the rows that page
// shows on screen, laid out in the same document units (1/300 inch).
#pragma once

#include <wx/print.h>

namespace chart {

class CChartDataView;

class CDataViewPrintout : public wxPrintout {
 public:
  // The view must outlive the printout.
  explicit CDataViewPrintout(const CChartDataView& view);

  void OnPreparePrinting() override;
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
  bool HasPage(int page) override;
  bool OnPrintPage(int page) override;

 private:
  const CChartDataView& view_;
};

}  // namespace chart
