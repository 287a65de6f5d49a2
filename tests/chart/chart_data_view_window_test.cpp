// The chart data view under Xvfb, driven by real clicks: opening beside the chart, paging
// with the arrow buttons, selecting rows that the chart mirrors, clearing, refreshing and
// closing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <wx/app.h>
#include <wx/cmndata.h>
#include <wx/generic/printps.h>

#include "chart/data_view_print.h"
#include "tests/chart/chart_output_test_support.h"
#include "tests/chart/gtk_print_support.h"
#include "tests/chart/popup_test_support.h"

namespace chart {
namespace {

using test::Screenshot;

constexpr float kScale = 300.0f / 96.0f;  // document units per screen pixel

// Prints pages from..to of a view to PostScript, as PDF at pdf; returns the printer's answer.
bool PrintToPdf(const CChartDataView& view, int from, int to, const std::string& pdf) {
  const std::string ps = pdf + ".ps";
  std::filesystem::remove(ps);
  std::filesystem::remove(pdf);
  wxPrintData data;
  data.SetPrintMode(wxPRINT_MODE_FILE);
  data.SetFilename(ps);
  wxPrintDialogData dialog(data);
  dialog.SetFromPage(from);
  dialog.SetToPage(to);
  wxPostScriptPrinter printer(&dialog);
  CDataViewPrintout printout(view);
  if (!printer.Print(nullptr, &printout, false)) return false;
  return Shell("ps2pdf " + ps + " " + pdf + " && echo ok") == "ok";
}

// Prints a view through the desktop's printer, choosing range ("2-3") in its dialog, into pdf;
// true once the printer said it printed and the file reads as a whole PDF.
bool PrintThroughDialog(const CChartDataView& view, const std::string& range,
                        const std::string& pdf) {
  wxPrintDialogData data;
  test::PrintToPdfFile(data.GetPrintData(), pdf);
  wxPrinter printer(&data);
  CDataViewPrintout printout(view);
  test::PrintDialogAnswer answer(range, "data-view-print-dialog");
  if (!printer.Print(nullptr, &printout, true)) return false;
  return PumpUntil([&] { return Shell("pdfinfo " + pdf + " >/dev/null && echo ok") == "ok"; });
}

int PdfPages(const std::string& pdf) {
  return std::atoi(Shell("pdfinfo " + pdf + " | sed -n 's/^Pages: *//p'").c_str());
}

std::string PdfText(const std::string& pdf, int page) {
  const std::string n = std::to_string(page);
  return Shell("pdftotext -layout -f " + n + " -l " + n + " " + pdf + " -");
}

// Page n of a PDF as an image at dpi dots per inch (also kept as a PNG to look at).
wxImage PdfPage(const std::string& pdf, int page, int dpi) {
  const std::string n = std::to_string(page), png = pdf + "-" + n;
  Shell("pdftoppm -r " + std::to_string(dpi) + " -f " + n + " -l " + n + " -singlefile -png " +
        pdf + " " + png);
  return wxImage(png + ".png", wxBITMAP_TYPE_PNG);
}

ChartPoints Curve(int count) {
  ChartPoints points;
  for (int i = 0; i < count; ++i) points.push_back({i * 0.5, 50.0 + 40.0 * std::sin(i / 20.0)});
  return points;
}

class ChartDataViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddSeries(L"Pedal Curve", Curve(600), 0xFFFF0000);
    AddSeries(L"Limit", {{0.0, 20.0}, {300.0, 20.0}}, 0xFF0000FF);
    chart().SetExtentX(0.0, 300.0, false);
    chart().SetExtentY(0.0, 100.0, false, true);
    DrainEvents();
  }
  void AddSeries(const std::wstring& name, const ChartPoints& points, std::uint32_t colour) {
    ChartAddRecord r;
    r.name = name;
    r.nameY = L"Out";
    r.colour = colour;
    r.points = &points;
    chart().AddChart(r, false);
  }

  CChartContainer& chart() { return popups.Chart(); }
  ChartContainerCore& core() { return popups.Core(); }
  CChartDataView* view() { return popups.DataView(); }
  const ChartDataViewModel& model() { return view()->Model(); }

  // What "View Chart Data" does once it has chosen the series, and the wait for the window.
  CChartDataView& Open() {
    EXPECT_TRUE(chart().ShowChartDataView(0, true, true));
    EXPECT_NE(view(), nullptr);
    PumpUntil([&] { return view() && view()->IsShownOnScreen(); });
    DrainEvents();
    return *view();
  }
  // The client point in the middle of the row of a point on the shown page.
  wxPoint RowCentre(std::uint32_t index) {
    const auto rect = model().GetCellRect(index);
    EXPECT_TRUE(rect.has_value());
    if (!rect) return {};
    return {static_cast<int>((rect->x + rect->width / 2) / kScale),
            static_cast<int>((rect->y + rect->height / 2) / kScale)};
  }
  std::vector<int> Mirror() {
    std::vector<int> out;
    for (const auto& [index, p] : core().SelectedDataViewPoints()) out.push_back(index);
    return out;
  }

  test::PopupFixture popups;
  TempFolder folder_{"chart-data-view"};
};

TEST_F(ChartDataViewTest, OpensBesideTheChartAndPagesWithTheArrowButtons) {
  CChartDataView& v = Open();
  EXPECT_EQ(v.GetTitle(), "Chart Data View");
  EXPECT_EQ(v.GetRect(), wxRect(20 + 460 + 50, 100 - 50, 710, 874)) << "right of and above";
  EXPECT_EQ(core().DataViewIndex(), 0);
  EXPECT_EQ(model().CurrentPage(), 0);
  const int pages = model().PageCount();
  ASSERT_GE(pages, 3);
  EXPECT_LT(model().Layout().pointsPerPage * (pages - 1), 600u);
  Screenshot("chart_data_view_first_page");

  CPageCtrl* first = v.PageButton(kDataViewFirstPage);
  CPageCtrl* previous = v.PageButton(kDataViewPrevPage);
  CPageCtrl* next = v.PageButton(kDataViewNextPage);
  CPageCtrl* last = v.PageButton(kDataViewLastPage);
  EXPECT_FALSE(first->IsEnabled());
  EXPECT_FALSE(previous->IsEnabled());
  EXPECT_TRUE(next->IsEnabled());
  EXPECT_TRUE(last->IsEnabled());

  ClickCentre(*next);
  EXPECT_EQ(model().CurrentPage(), 1);
  EXPECT_TRUE(first->IsEnabled());
  EXPECT_TRUE(previous->IsEnabled());
  ClickCentre(*last);
  EXPECT_EQ(model().CurrentPage(), pages - 1);
  EXPECT_FALSE(next->IsEnabled());
  EXPECT_FALSE(last->IsEnabled());
  Screenshot("chart_data_view_last_page");
  ClickCentre(*next);  // disabled: nothing happens
  EXPECT_EQ(model().CurrentPage(), pages - 1);
  ClickCentre(*previous);
  EXPECT_EQ(model().CurrentPage(), pages - 2);
  ClickCentre(*first);
  EXPECT_EQ(model().CurrentPage(), 0);
  EXPECT_FALSE(first->IsEnabled());
}

TEST_F(ChartDataViewTest, PageButtonLightsUpUnderThePointer) {
  CChartDataView& v = Open();
  CPageCtrl* next = v.PageButton(kDataViewNextPage);
  // The inner box's fill next to the arrow: 0x00AC00 while hovered, 0x008000 otherwise.
  const auto fillNear = [&](int green) {
    return std::abs(ShownPixels(*next).GetGreen(9, 9) - green) <= 12;
  };
  wxUIActionSimulator input;
  input.MouseMove(next->ClientToScreen(wxPoint(16, 16)));
  ASSERT_TRUE(PumpUntil([&] { return next->IsHovering(); }));
  EXPECT_TRUE(PumpUntil([&] { return fillNear(0xAC); })) << "lit";
  Screenshot("chart_data_view_hover");
  input.MouseMove(v.ClientToScreen(wxPoint(5, 5)));
  ASSERT_TRUE(PumpUntil([&] { return !next->IsHovering(); }));
  EXPECT_TRUE(PumpUntil([&] { return fillNear(0x80); })) << "plain";
  Screenshot("chart_data_view_plain");
  const wxImage off =
      ClientPixels(Screenshot("chart_data_view_off"), *v.PageButton(kDataViewPrevPage));
  EXPECT_NEAR(off.GetGreen(9, 9), 0xD3, 12) << "disabled: light grey";
}

TEST_F(ChartDataViewTest, ClickingARowTwiceSelectsThenDeselectsAndTheChartFollows) {
  CChartDataView& v = Open();
  const wxPoint row = RowCentre(5);
  ClickAt(v, row);
  ASSERT_EQ(Mirror(), (std::vector<int>{5}));
  EXPECT_DOUBLE_EQ(core().SelectedDataViewPoints().at(5).x, 2.5);
  // Translucent yellow over the white row: blue drops, red and green stay high.
  const auto rect = *model().GetCellRect(5);
  const int x = static_cast<int>(rect.x / kScale) + 4, y = row.y;
  wxImage shown;
  PumpUntil([&] {
    shown = ShownPixels(v);
    return shown.GetBlue(x, y) < 230;
  });
  Screenshot("chart_data_view_selected");
  EXPECT_LT(shown.GetBlue(x, y), 230);
  EXPECT_GT(shown.GetRed(x, y), 230);
  EXPECT_GT(shown.GetBlue(x, y + static_cast<int>(rect.height / kScale)), 240) << "next row";

  ClickAt(v, row);
  EXPECT_TRUE(Mirror().empty());
  EXPECT_TRUE(model().SelectedCells().empty());

  ClickAt(v, wxPoint(5, 5));  // outside every cell
  EXPECT_TRUE(Mirror().empty());
}

TEST_F(ChartDataViewTest, RightClickAsksOnlyWithASelectionAndYesClearsIt) {
  CChartDataView& v = Open();
  const std::string caption = wxTheApp->GetAppDisplayName().ToStdString();
  {
    // A question would be modal inside the click's handling, answered there by the driver.
    ModalDriver answer(caption, "chart_data_view_no_question", {[] { Keys("Return"); }});
    ClickAt(v, RowCentre(2), wxMOUSE_BTN_RIGHT);
    EXPECT_FALSE(answer.Done()) << "nothing selected: no question";
  }
  ClickAt(v, RowCentre(2));
  ClickAt(v, RowCentre(7));
  ASSERT_EQ(Mirror(), (std::vector<int>{2, 7}));
  ModalDriver answer(caption, "chart_data_view_question", {[] { Keys("Return"); }});
  ClickAt(v, RowCentre(4), wxMOUSE_BTN_RIGHT);
  ASSERT_TRUE(PumpUntil([&] { return answer.Done(); }));
  DrainEvents();
  EXPECT_TRUE(model().SelectedCells().empty());
  EXPECT_TRUE(Mirror().empty());
}

TEST_F(ChartDataViewTest, CloseButtonAndCloseBoxBothEndTheView) {
  CChartDataView& v = Open();
  ClickCentre(*v.CloseButton());
  PumpUntil([&] { return view() == nullptr; });
  EXPECT_EQ(view(), nullptr);
  EXPECT_EQ(core().DataViewIndex(), -1);

  CChartDataView& again = Open();
  ClickAt(again, RowCentre(1));
  ASSERT_EQ(Mirror(), (std::vector<int>{1}));
  again.Close();  // what the window manager's close box sends
  PumpUntil([&] { return view() == nullptr; });
  EXPECT_EQ(view(), nullptr);
  EXPECT_TRUE(Mirror().empty());
}

TEST_F(ChartDataViewTest, ReplacedDataReloadsTheTableAndKeepsCellsByX) {
  CChartDataView& v = Open();
  ClickAt(v, RowCentre(3));
  ClickAt(v, RowCentre(40));
  const ChartPoints shorter = Curve(30);  // point 40 is gone, point 3 keeps its x
  ASSERT_TRUE(chart().ReplaceChartData(0, &shorter, false, false, false, true));
  PumpUntil([&] { return model().PointCount() == 30u; });
  EXPECT_EQ(model().PointCount(), 30u);
  EXPECT_EQ(model().PageCount(), 1);
  EXPECT_EQ(Mirror(), (std::vector<int>{3}));
  Screenshot("chart_data_view_reloaded");
}

TEST_F(ChartDataViewTest, HidingTheSeriesClosesTheView) {
  Open();
  core().ToggleChartVisibility(0);
  PumpUntil([&] { return view() == nullptr; });
  EXPECT_EQ(view(), nullptr);
}

TEST_F(ChartDataViewTest, PrintsTheChosenPagesEachWithTheRowsOfThatPage) {
  CChartDataView& v = Open();
  ASSERT_EQ(model().PageCount(), 3);
  const std::uint32_t perPage = model().Layout().pointsPerPage;
  const std::string pdf = folder_.File("chart_data_view_print.pdf");
  ASSERT_TRUE(PrintToPdf(v, 2, 3, pdf));
  ASSERT_EQ(PdfPages(pdf), 2);
  const std::string second = PdfText(pdf, 1), third = PdfText(pdf, 2);
  EXPECT_NE(second.find("Page 2 of 3"), std::string::npos);
  EXPECT_NE(second.find("Pedal Curve (600 Points)"), std::string::npos);
  EXPECT_NE(third.find("Page 3 of 3"), std::string::npos);
  EXPECT_EQ(second.find("Page 1 of 3"), std::string::npos);
  // Page 2 ends with point 2 x perPage - 1; the last page ends with point 599.
  EXPECT_NE(second.find(" " + std::to_string(2 * perPage - 1) + " "), std::string::npos);
  EXPECT_NE(third.find(" 599 "), std::string::npos);

  // The table sits in the middle of its frame: as much room left as right of it.
  const wxImage sheet = PdfPage(pdf, 1, 50);
  ASSERT_TRUE(sheet.IsOk());
  int left = sheet.GetWidth(), right = 0;
  const int y = sheet.GetHeight() / 2;
  for (int x = 0; x < sheet.GetWidth(); ++x) {
    if (sheet.GetRed(x, y) < 128) {
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  ASSERT_LT(left, right);
  // The frame's left edge is at 150/300 inch, its right edge at the sheet's edge.
  const int frameLeft = 50 * 150 / 300, frameRight = sheet.GetWidth() - 1;
  int tableLeft = frameRight, tableRight = frameLeft;
  for (int x = frameLeft + 3; x < frameRight - 3; ++x) {
    if (sheet.GetRed(x, y) < 128) {
      tableLeft = std::min(tableLeft, x);
      tableRight = std::max(tableRight, x);
    }
  }
  EXPECT_NEAR(tableLeft - frameLeft, frameRight - tableRight, 4);
}

TEST_F(ChartDataViewTest, ThePrintDialogsPageRangePrintsExactlyThoseSheets) {
  CChartDataView& v = Open();
  ASSERT_EQ(model().PageCount(), 3);
  test::ScratchFolder folder("data-view-print");
  const struct {
    const char* range;
    std::vector<int> sheets;
  } cases[] = {{"2-3", {2, 3}}, {"3-3", {3}}, {"1,3", {1, 3}}, {"1-3", {1, 2, 3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    const std::string pdf = folder.File("range.pdf");
    std::filesystem::remove(pdf);
    ASSERT_TRUE(PrintThroughDialog(v, c.range, pdf));
    ASSERT_EQ(PdfPages(pdf), static_cast<int>(c.sheets.size()));
    for (std::size_t n = 0; n < c.sheets.size(); ++n) {
      const std::string text = PdfText(pdf, static_cast<int>(n) + 1);
      EXPECT_NE(text.find("Page " + std::to_string(c.sheets[n]) + " of 3"), std::string::npos)
          << "sheet " << n + 1 << ":\n"
          << text;
    }
  }
}

TEST_F(ChartDataViewTest, OnePageViewPrintsPageOneOfOne) {
  const ChartPoints shorter = Curve(30);
  chart().ReplaceChartData(0, &shorter, false, false, false, true);
  CChartDataView& v = Open();
  ASSERT_EQ(model().PageCount(), 1);
  const std::string pdf = folder_.File("chart_data_view_print_one.pdf");
  ASSERT_TRUE(PrintToPdf(v, 1, 1, pdf));
  EXPECT_EQ(PdfPages(pdf), 1);
  EXPECT_NE(PdfText(pdf, 1).find("Page 1 of 1"), std::string::npos);
}

TEST_F(ChartDataViewTest, SelectedRowsAreNotHighlightedOnPaper) {
  CChartDataView& v = Open();
  ClickAt(v, RowCentre(1));
  ClickAt(v, RowCentre(2));
  ASSERT_EQ(model().SelectedCells().size(), 2u);
  const std::string pdf = folder_.File("chart_data_view_print_selected.pdf");
  ASSERT_TRUE(PrintToPdf(v, 1, 1, pdf));
  const wxImage sheet = PdfPage(pdf, 1, 40);
  ASSERT_TRUE(sheet.IsOk());
  int yellow = 0;
  for (int y = 0; y < sheet.GetHeight(); ++y) {
    for (int x = 0; x < sheet.GetWidth(); ++x) {
      yellow += sheet.GetRed(x, y) > 200 && sheet.GetGreen(x, y) > 200 && sheet.GetBlue(x, y) < 200;
    }
  }
  EXPECT_EQ(yellow, 0);
}

TEST_F(ChartDataViewTest, PrintButtonAsksForThePrinterAndCancelPrintsNothing) {
  CChartDataView& v = Open();
  ModalDriver cancel("Print", "chart_data_view_print_dialog", {[] { Keys("Escape"); }});
  ClickCentre(*v.PrintButton());
  ASSERT_TRUE(PumpUntil([&] { return cancel.Done(); }));
  DrainEvents();
  // Cancelled: no error box follows, and the view goes on working.
  const std::string caption = wxTheApp->GetAppDisplayName().ToStdString();
  EXPECT_TRUE(Shell("xdotool search --onlyvisible --name '^" + caption + "$'").empty());
  ClickCentre(*v.PageButton(kDataViewNextPage));
  EXPECT_EQ(model().CurrentPage(), 1);
}

}  // namespace
}  // namespace chart
