// The chart XML file as written: its exact bytes for a small container, one selected series,
// refusals, and write failures that leave nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <wx/log.h>
#include <wx/xml/xml.h>

#include "chart/chart_xml_writer.h"
#include "chart/core/chart_container_core.h"
#include "tests/chart/chart_output_test_support.h"

namespace chart {
namespace {

using test::AddSeries;
using test::ReadFileBytes;
using test::RecordingUi;
using test::ScratchFolder;
using test::SeriesLook;

constexpr char kHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Charts xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns=\"http://orvo-pedals.example/charts/Network.xsd\">"
    "\n\t<Container Cont_Name=\"Brake &amp; Co\" Name_X=\"In\" Precision_X=\"3\"/>";

constexpr char kCurve[] =
    "\n\t<Chart Name=\"Curve\" Precision_Y=\"4\" Sample_X_Val=\"0.5\" Name_Y=\"Y\" "
    "Sample_Y_Val=\"0\">"
    "\n\t\t<Chart_Colors Alpha=\"128\" Red=\"255\" Green=\"64\" Blue=\"32\"/>"
    "\n\t\t<Chart_Visuals Visibility=\"true\" DashStyle=\"1\" PenWidth=\"2.5\" Tension=\"0.5\"/>"
    "\n\t\t<Chart_Data DataPnts_Nmb=\"2\" MinX=\"0.5\" MaxX=\"50\" MinY=\"0\" MaxY=\"12.25\">"
    "\n\t\t\t<Pnt Idx=\"0\" X=\"0.5\" Y=\"0\"/>"
    "\n\t\t\t<Pnt Idx=\"1\" X=\"50\" Y=\"12.25\"/>"
    "\n\t\t</Chart_Data>"
    "\n\t</Chart>";

constexpr char kEmpty[] =
    "\n\t<Chart Name=\"Empty\" Precision_Y=\"3\" Sample_X_Val=\"1.12\" Name_Y=\"Y\" "
    "Sample_Y_Val=\"1.12\">"
    "\n\t\t<Chart_Colors Alpha=\"255\" Red=\"0\" Green=\"0\" Blue=\"255\"/>"
    "\n\t\t<Chart_Visuals Visibility=\"true\" DashStyle=\"0\" PenWidth=\"2\" Tension=\"0\"/>"
    "\n\t\t<Chart_Data DataPnts_Nmb=\"0\" MinX=\"1.7976931348623157e+308\" "
    "MaxX=\"-1.7976931348623157e+308\" MinY=\"1.7976931348623157e+308\" "
    "MaxY=\"-1.7976931348623157e+308\">"
    "\n\t\t</Chart_Data>"
    "\n\t</Chart>";

std::string Tail(int total) {
  return "\n\t<ChartNmb Total=\"" + std::to_string(total) + "\"/>\n</Charts>\n";
}

class ChartXmlWriterTest : public testing::Test {
 protected:
  ChartXmlWriterTest() {
    core_.SetNameX(L"In");
    SeriesLook look;
    look.precisionY = 4;
    look.colour = 0x80FF4020;
    look.dashStyle = kDashDash;
    look.penWidth = 2.5f;
    look.tension = 0.5f;
    curve_ = AddSeries(core_, L"Curve", {{50, 12.25}, {0.5, 0}}, look);
    SeriesLook hidden;
    hidden.visible = false;
    AddSeries(core_, L"Hidden", {{1, 1}}, hidden);
    AddSeries(core_, L"Empty", {});
  }

  ChartContainerCore core_{L"Brake & Co"};
  int curve_ = -1;
  ScratchFolder folder_{"chart-xml"};
  RecordingUi ui_;
};

TEST_F(ChartXmlWriterTest, WritesEveryVisibleSeriesWithIndentationTextAndTypedValues) {
  const std::string path = folder_.File("charts.xml");
  EXPECT_EQ(WriteChartsXml(path, core_, L"", false, ui_, nullptr), kChartXmlBuilt);
  EXPECT_EQ(ReadFileBytes(path), kHead + std::string(kCurve) + kEmpty + Tail(2));
  EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(ChartXmlWriterTest, ANamedSeriesIsWrittenAloneAndAllSeriesIncludesHiddenOnes) {
  const std::string one = folder_.File("one.xml");
  EXPECT_EQ(WriteChartsXml(one, core_, L"Curve", false, ui_, nullptr), kChartXmlBuilt);
  EXPECT_EQ(ReadFileBytes(one), kHead + std::string(kCurve) + Tail(1));

  const std::string all = folder_.File("all.xml");
  EXPECT_EQ(WriteChartsXml(all, core_, L"", true, ui_, nullptr), kChartXmlBuilt);
  const std::string text = ReadFileBytes(all);
  EXPECT_NE(text.find("Name=\"Hidden\""), std::string::npos);
  EXPECT_NE(text.find("Visibility=\"false\""), std::string::npos);
  EXPECT_NE(text.find(Tail(3)), std::string::npos);
}

TEST_F(ChartXmlWriterTest, RefusedExportsWriteNothingAndSayNothing) {
  const std::string path = folder_.File("refused.xml");
  ChartContainerCore empty(L"Empty");
  EXPECT_EQ(WriteChartsXml(path, empty, L"", false, ui_, nullptr), kChartXmlRefused);
  EXPECT_EQ(WriteChartsXml(path, core_, L"No such series", false, ui_, nullptr), kChartXmlRefused);
  // A hidden series is not exported unless all series are asked for.
  EXPECT_EQ(WriteChartsXml(path, core_, L"Hidden", false, ui_, nullptr), kChartXmlRefused);
  EXPECT_TRUE(folder_.Entries().empty());
  EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(ChartXmlWriterTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeftBehind) {
  // A folder where the file should go, and a path under a plain file.
  const std::string folder = folder_.File("taken.xml");
  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/keep.txt") << "kept";
  const std::string plain = folder_.File("plain");
  std::ofstream(plain) << "plain";
  for (const std::string& path : {folder, plain + "/charts.xml"}) {
    SCOPED_TRACE(path);
    ui_.errors.clear();
    EXPECT_EQ(WriteChartsXml(path, core_, L"", false, ui_, nullptr), kChartXmlNotSaved);
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_TRUE(ui_.errors[0].StartsWith("Save Failed\n"));
    EXPECT_TRUE(ui_.errors[0].Contains(path));
  }
  EXPECT_EQ(folder_.Entries().size(), 2u);  // no temporary file left over
  EXPECT_EQ(ReadFileBytes(folder + "/keep.txt"), "kept");
  EXPECT_EQ(ReadFileBytes(plain), "plain");
}

TEST_F(ChartXmlWriterTest, RewritingAFileReplacesItWhole) {
  const std::string path = folder_.File("again.xml");
  std::ofstream(path) << std::string(100000, 'x');
  EXPECT_EQ(WriteChartsXml(path, core_, L"Curve", false, ui_, nullptr), kChartXmlBuilt);
  EXPECT_EQ(ReadFileBytes(path), kHead + std::string(kCurve) + Tail(1));
  EXPECT_EQ(folder_.Entries().size(), 1u);
}

// A symbolic link is written through and stays a link; a read-only file is refused with the
// save-failure message and keeps its bytes, also for root.
TEST_F(ChartXmlWriterTest, WritesThroughASymbolicLinkAndRefusesAReadOnlyFile) {
  const std::string real = folder_.File("real.xml");
  const std::string link = folder_.File("link.xml");
  std::ofstream(real) << "old";
  std::filesystem::create_symlink(real, link);
  EXPECT_EQ(WriteChartsXml(link, core_, L"Curve", false, ui_, nullptr), kChartXmlBuilt);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), kHead + std::string(kCurve) + Tail(1));

  std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  for (const std::string& path : {real, link}) {
    SCOPED_TRACE(path);
    ui_.errors.clear();
    EXPECT_EQ(WriteChartsXml(path, core_, L"", false, ui_, nullptr), kChartXmlNotSaved);
    ASSERT_EQ(ui_.errors.size(), 1u);
    EXPECT_EQ(ui_.errors[0], wxString("Save Failed\nCan't write the file\n") + path);
  }
  EXPECT_EQ(ReadFileBytes(real), kHead + std::string(kCurve) + Tail(1));
  EXPECT_EQ(folder_.Entries().size(), 2u);
}

// Names are no user text today, yet whatever they hold, the file parses: characters XML cannot
// carry (control characters, a lone surrogate) become U+FFFD.
TEST_F(ChartXmlWriterTest, CharactersXmlCannotCarryAreReplacedSoTheFileParses) {
  ChartContainerCore odd(std::wstring(L"Odd\x01") + wchar_t(0xD800) + L"\x1F");
  odd.SetNameX(std::wstring(L"X") + wchar_t(0xDFFF) + L"\tY");
  AddSeries(odd, std::wstring(L"A") + wchar_t(0xFFFE) + L"\x0B", {{1, 2}});
  const std::string path = folder_.File("odd.xml");
  ASSERT_EQ(WriteChartsXml(path, odd, L"", false, ui_, nullptr), kChartXmlBuilt);

  wxXmlDocument parsed;
  {
    wxLogNull quiet;
    ASSERT_TRUE(parsed.Load(wxString(path))) << ReadFileBytes(path);
  }
  const wxXmlNode* container = parsed.GetRoot()->GetChildren();
  while (container && container->GetName() != "Container") container = container->GetNext();
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(container->GetAttribute("Cont_Name"), wxString(L"Odd\xFFFD\xFFFD\xFFFD"));
  EXPECT_EQ(container->GetAttribute("Name_X"), wxString(L"X\xFFFD\tY"));
  const std::string text = ReadFileBytes(path);
  EXPECT_NE(text.find("Name=\"A\xEF\xBF\xBD\xEF\xBF\xBD\""), std::string::npos) << text;
}

}  // namespace
}  // namespace chart
