// "Print charts" from a chart window: through the PostScript printer to a file, turned into a
// PDF and into pictures of its pages, which are checked where the page layout puts things.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "chart/chart_container.h"
#include "chart/chart_print.h"
#include "tests/chart/chart_output_test_support.h"
#include "tests/chart/chart_output_window_fixture.h"
#include "tests/chart/gtk_print_support.h"
#include "tests/support/window_test.h"

namespace chart {
namespace {

using test::AddSeries;
using test::RecordingUi;
using test::ScratchFolder;
using test::SeriesLook;

constexpr int kPngDpi = 75;
// Page units (1/300 inch) to pixels of the page pictures.
int Px(double units) { return static_cast<int>(units * kPngDpi / 300.0 + 0.5); }

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The pages of a PostScript file as pictures.
std::vector<wxImage> Pages(const std::string& ps, const std::string& stem) {
  std::vector<wxImage> pages;
  const std::string pdf = stem + ".pdf";
  // Lossless: pages are compared pixel for pixel.
  if (!Run("ps2pdf -dAutoRotatePages=/None -dAutoFilterColorImages=false "
           "-dColorImageFilter=/FlateEncode -dDownsampleColorImages=false '" +
           ps + "' '" + pdf + "'")) {
    return pages;
  }
  if (!Run("pdftoppm -r " + std::to_string(kPngDpi) + " -png '" + pdf + "' '" + stem + "'")) {
    return pages;
  }
  for (int n = 1;; ++n) {
    // pdftoppm numbers pages with as many digits as the last page needs.
    bool found = false;
    for (const char* format : {"%s-%d.png", "%s-%02d.png", "%s-%03d.png"}) {
      char name[512];
      std::snprintf(name, sizeof name, format, stem.c_str(), n);
      if (std::filesystem::exists(name)) {
        pages.emplace_back(wxString(name), wxBITMAP_TYPE_PNG);
        found = true;
        break;
      }
    }
    if (!found) break;
  }
  return pages;
}

bool Dark(const wxImage& image, int x, int y) {
  return image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 200;
}

bool Blue(const wxImage& image, int x, int y) {
  return image.GetBlue(x, y) > 150 && image.GetRed(x, y) < 100 && image.GetGreen(x, y) < 100;
}

// Pixels of the given kind inside a box.
template <class Test>
int Count(const wxImage& image, int x0, int y0, int x1, int y1, Test test) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(image.GetHeight(), y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(image.GetWidth(), x1); ++x) {
      if (test(image, x, y)) ++n;
    }
  }
  return n;
}

// Prints through the desktop's own printer, answering its dialog with range typed into "Pages:"
// and writing a PDF; keeps where each page of the printout starts among its rows.
class DesktopPrinterUi : public RecordingUi {
 public:
  DesktopPrinterUi(std::string range, std::string pdf)
      : range_(std::move(range)), pdf_(std::move(pdf)) {}
  ChartPrintResult Print(wxPrintDialogData& data, wxPrintout& printout) override {
    ++printDialogs;
    test::PrintToPdfFile(data.GetPrintData(), pdf_);
    test::PrintDialogAnswer answer(range_, "chart-print-dialog");
    const ChartPrintResult result = ChartOutputUi::Print(data, printout);
    if (const ChartPrintJob* job = static_cast<ChartPrintout&>(printout).Job()) {
      pageStarts = {0};
      for (const PrintPagePlan& page : job->Pages()) pageStarts.push_back(page.next);
    }
    return result;
  }

  // The first row of every page, and the row count last.
  std::vector<int> pageStarts;

 private:
  std::string range_;
  std::string pdf_;
};

// The numbers n of the "Series n" row names on one page of a PDF.
std::set<int> SeriesOnPage(const std::string& pdf, int page) {
  const std::string n = std::to_string(page);
  const std::string text = Shell("pdftotext -f " + n + " -l " + n + " '" + pdf + "' -");
  std::set<int> found;
  const std::regex name("Series (\\d+)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), name); it != std::sregex_iterator();
       ++it) {
    found.insert(std::stoi((*it)[1]));
  }
  return found;
}

class ChartPrintWindowTest : public test::ChartOutputWindowTest {
 protected:
  ChartPrintWindowTest() : ChartOutputWindowTest(wxSize(300, 240), L"Throttle") { watched_ = ps_; }

  ChartPoints Line(double y0, double y1) {
    return {{0, y0}, {25, (3 * y0 + y1) / 4}, {50, (y0 + y1) / 2}, {100, y1}};
  }

  ScratchFolder folder_{"chart-print"};
  std::string ps_ = folder_.File("out.ps");
};

TEST_F(ChartPrintWindowTest, PrintsHeaderFramePlotAndRowsOnOnePage) {
  SeriesLook blue;
  blue.colour = 0xFF0000FF;
  blue.penWidth = 3.0f;
  AddSeries(*chart_, L"Pedal Curve", Line(0, 100), blue);
  RecordingUi ui;
  ui.printFile = ps_;
  PrintCharts(*chart_, ui);

  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(codes_, (std::vector<int>{10, 11}));
  EXPECT_EQ(existedAtNotify_, (std::vector<bool>{false, false}));
  const std::vector<wxImage> pages = Pages(ps_, folder_.File("one"));
  ASSERT_EQ(pages.size(), 1u);
  const wxImage& page = pages[0];
  SaveImage(page, "chart-print-one");

  // A4 is 2480 units wide: the frame spans 200 .. 2280 across and 400 .. 2260 down.
  const int left = Px(200), right = Px(2280), top = Px(400), bottom = Px(400 + 0.75 * 2480);
  // The 3-pixel border is about 2 pixels of this picture; allow a pixel of rounding.
  EXPECT_GT(Count(page, left - 2, top + 20, left + 4, bottom - 20, Dark), (bottom - top - 40))
      << "left border";
  EXPECT_GT(Count(page, left + 20, top - 2, right - 20, top + 4, Dark), (right - left - 40))
      << "top border";
  EXPECT_GT(Count(page, left + 20, bottom - 4, right - 20, bottom + 2, Dark), (right - left - 40))
      << "bottom border";
  // The curve rises from the bottom-left to the top-right corner of the plot.
  EXPECT_GT(Count(page, left, bottom - Px(200), left + Px(200), bottom, Blue), 20);
  EXPECT_GT(Count(page, right - Px(200), top + Px(300), right, top + Px(600), Blue), 20);
  EXPECT_EQ(Count(page, left, top, left + Px(300), top + Px(300), Blue), 0);
  // The header band carries the name at the left and the date at the right.
  EXPECT_GT(Count(page, left, Px(250), left + Px(500), Px(330), Dark), 20);
  EXPECT_GT(Count(page, right - Px(500), Px(250), right, Px(330), Dark), 20);
  // One row under the plot: its blue sample line and texts.
  EXPECT_GT(Count(page, left, bottom + Px(100), right, bottom + Px(200), Blue), 20);
  EXPECT_EQ(Count(page, 0, bottom + Px(250), page.GetWidth(), page.GetHeight(), Dark), 0);
}

TEST_F(ChartPrintWindowTest, ManyRowsContinueOnPagesWithTheSameHeaderAndNoPlot) {
  for (int i = 0; i < 70; ++i) {
    SeriesLook look;
    look.colour = 0xFF0000FF;
    AddSeries(*chart_, L"Series " + std::to_wstring(i), Line(i, 100 + i), look);
  }
  RecordingUi ui;
  ui.printFile = ps_;
  PrintCharts(*chart_, ui);
  ASSERT_TRUE(ui.errors.empty());
  const std::vector<wxImage> pages = Pages(ps_, folder_.File("many"));
  ASSERT_GE(pages.size(), 2u);
  SaveImage(pages[1], "chart-print-many-2");
  const wxImage header = pages[0].GetSubImage(wxRect(0, Px(240), pages[0].GetWidth(), Px(100)));
  for (std::size_t n = 1; n < pages.size(); ++n) {
    SCOPED_TRACE(n + 1);
    const wxImage& page = pages[n];
    // The same name and date on every page of one printout.
    const wxImage again = page.GetSubImage(wxRect(0, Px(240), page.GetWidth(), Px(100)));
    EXPECT_EQ(0, std::memcmp(header.GetData(), again.GetData(),
                             static_cast<std::size_t>(header.GetWidth()) * header.GetHeight() * 3));
    // No frame or plot: nothing between the header and the rows, which start at 500.
    EXPECT_EQ(Count(page, 0, Px(340), page.GetWidth(), Px(495), Dark), 0);
    EXPECT_GT(Count(page, Px(200), Px(500), Px(2280), Px(600), Blue), 10);
  }
}

TEST_F(ChartPrintWindowTest, ThePrintDialogsPageRangePrintsExactlyThosePages) {
  for (int i = 0; i < 200; ++i) {
    AddSeries(*chart_, L"Series " + std::to_wstring(i), Line(i, 100 + i));
  }
  const struct {
    const char* range;
    std::vector<int> pages;
  } cases[] = {{"2-3", {2, 3}}, {"3-3", {3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    const std::string pdf = folder_.File("range.pdf");
    std::filesystem::remove(pdf);
    DesktopPrinterUi ui(c.range, pdf);
    PrintCharts(*chart_, ui);
    ASSERT_TRUE(ui.errors.empty());
    ASSERT_GE(ui.pageStarts.size(), 4u) << "three pages at least";
    ASSERT_TRUE(PumpUntil(
        [&] { return Shell("pdfinfo '" + pdf + "' >/dev/null && echo ok") == "ok"; }, 10000));
    ASSERT_EQ(std::atoi(Shell("pdfinfo '" + pdf + "' | sed -n 's/^Pages: *//p'").c_str()),
              static_cast<int>(c.pages.size()));
    for (std::size_t sheet = 0; sheet < c.pages.size(); ++sheet) {
      // The rows of that page of the printout, and no others.
      std::set<int> expected;
      const int page = c.pages[sheet];
      for (int row = ui.pageStarts[page - 1]; row < ui.pageStarts[page]; ++row) {
        expected.insert(row);
      }
      EXPECT_EQ(SeriesOnPage(pdf, static_cast<int>(sheet) + 1), expected) << "sheet " << sheet + 1;
    }
  }
}

TEST_F(ChartPrintWindowTest, APrinterThatTakesAGraphicsContextGetsThePageDrawnOnIt) {
  // The desktop's own printer hands over such a device context; a memory one stands in.
  SeriesLook blue;
  blue.colour = 0xFF0000FF;
  AddSeries(*chart_, L"Pedal Curve", Line(0, 100), blue);
  constexpr int kPpi = 150;
  const wxSize a4(1240, 1754);  // A4 at 150 pixels per inch
  wxBitmap sheet(a4.x, a4.y, 24);
  wxMemoryDC dc(sheet);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  ChartPrintout printout(
      "Throttle", [this] { return chart_->Core().CollectChartsForOutput(L""); }, 96);
  printout.SetDC(&dc);
  printout.SetPPIPrinter(kPpi, kPpi);
  printout.SetPageSizePixels(a4.x, a4.y);
  printout.SetPaperRectPixels(wxRect(wxPoint(0, 0), a4));
  printout.OnPreparePrinting();
  int minPage = 0, maxPage = 0, from = 0, to = 0;
  printout.GetPageInfo(&minPage, &maxPage, &from, &to);
  EXPECT_EQ(maxPage, 1);
  ASSERT_TRUE(printout.OnPrintPage(1));
  EXPECT_FALSE(printout.HasPage(2));
  dc.SelectObject(wxNullBitmap);
  const wxImage page = sheet.ConvertToImage();
  SaveImage(page, "chart-print-gc");
  // 200 and 400 page units are 100 and 200 pixels at 150 per inch; the border is 4.7 wide.
  EXPECT_FALSE(Dark(page, 98, 600));
  EXPECT_TRUE(Dark(page, 102, 600));
  EXPECT_FALSE(Dark(page, 600, 198));
  EXPECT_TRUE(Dark(page, 600, 202));
  EXPECT_GT(Count(page, 100, 1000, 400, 1130, Blue), 50);  // the curve near the bottom left
}

TEST_F(ChartPrintWindowTest, RefusesWithoutVisibleChartsAndCancelsQuietly) {
  SeriesLook hidden;
  hidden.visible = false;
  AddSeries(*chart_, L"Hidden", Line(0, 100), hidden);
  AddSeries(*chart_, L"Empty", {});
  RecordingUi ui;
  ui.printFile = ps_;
  PrintCharts(*chart_, ui);
  EXPECT_EQ(ui.errors, (std::vector<wxString>{"Has no visible charts to print"}));
  EXPECT_EQ(ui.printDialogs, 0);

  AddSeries(*chart_, L"Shown", Line(0, 100));
  RecordingUi cancel;  // no print file: the dialog is cancelled
  PrintCharts(*chart_, cancel);
  EXPECT_EQ(cancel.printDialogs, 1);
  EXPECT_TRUE(cancel.errors.empty());
  EXPECT_TRUE(codes_.empty());
  EXPECT_FALSE(std::filesystem::exists(ps_));
}

TEST_F(ChartPrintWindowTest, AFailedPrintJobIsReported) {
  AddSeries(*chart_, L"Shown", Line(0, 100));
  RecordingUi ui;
  ui.printFile = folder_.File("no-such-folder/out.ps");
  PrintCharts(*chart_, ui);
  EXPECT_EQ(ui.errors, (std::vector<wxString>{"Print Failed"}));
}

}  // namespace
}  // namespace chart
