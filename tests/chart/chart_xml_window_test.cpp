// "Save chart(s)" from a chart window: the notifications around the copy, refusals, the
// ".xml" rule, and the real save dialog and message box answered from the keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "chart/chart_container.h"
#include "chart/chart_xml_writer.h"
#include "tests/chart/chart_output_test_support.h"
#include "tests/chart/chart_output_window_fixture.h"
#include "tests/support/window_test.h"

namespace chart {
namespace {

using test::AddSeries;
using test::ReadFileBytes;
using test::RecordingUi;
using test::ScratchFolder;

class ChartXmlWindowTest : public test::ChartOutputWindowTest {
 protected:
  ChartXmlWindowTest() : ChartOutputWindowTest(wxSize(300, 240), L"Clutch") { watched_ = path_; }

  ScratchFolder folder_{"chart-xml-window"};
  std::string path_ = folder_.File("clutch.xml");
};

TEST_F(ChartXmlWindowTest, TellsTheParentBeforeCopyingAndBeforeWriting) {
  const int a = AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  AddSeries(*chart_, L"B", {{0, 5}});
  RecordingUi ui;
  ui.savePath = path_;
  EXPECT_EQ(SaveChartsDialog(*chart_, wxString(), false, ui), kChartXmlBuilt);
  EXPECT_EQ(codes_, (std::vector<int>{8, 9}));
  EXPECT_EQ(existedAtNotify_, (std::vector<bool>{false, false}));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "Save Charts");
  EXPECT_EQ(ui.dialogs[0].initialName, "*.xml");
  EXPECT_EQ(ui.dialogs[0].filter, "XML Files (*.xml)|*.xml||");
  EXPECT_TRUE(ui.dialogs[0].initialFolder.EndsWith("/Charts"));
  EXPECT_NE(ReadFileBytes(path_).find("<ChartNmb Total=\"2\"/>"), std::string::npos);

  // With a series selected only that one is written, whatever else is visible.
  chart_->Core().SelectChart(a, false);
  EXPECT_EQ(SaveChartsDialog(*chart_, wxString(path_), false, ui), kChartXmlBuilt);
  const std::string text = ReadFileBytes(path_);
  EXPECT_NE(text.find("<ChartNmb Total=\"1\"/>"), std::string::npos);
  EXPECT_EQ(text.find("Name=\"B\""), std::string::npos);
}

TEST_F(ChartXmlWindowTest, RefusedSavesShowTheMessageWithoutADialog) {
  RecordingUi ui;
  ui.savePath = path_;
  OnSaveCharts(*chart_, ui);  // no series at all
  const int h = AddSeries(*chart_, L"Hidden", {{0, 0}, {1, 1}});
  AddSeries(*chart_, L"Shown", {{0, 0}, {1, 1}});
  chart_->Core().SelectChart(h, false);
  chart_->Core().GetChart(h, false)->SetVisible(false);
  OnSaveCharts(*chart_, ui);  // a selected series that is hidden
  EXPECT_EQ(ui.errors, (std::vector<wxString>(2, kSaveChartsRefusedText)));
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_TRUE(codes_.empty());
  EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ChartXmlWindowTest, CancelAndPathsWithoutXmlWriteNothingAndSayNothing) {
  AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  struct Case {
    const char* what;
    std::string path;  // empty: the dialog is cancelled
  };
  const Case cases[] = {
      {"cancelled", ""},
      {"another extension", folder_.File("clutch.txt")},
      {"no extension", folder_.File("clutch")},
      {"upper case", folder_.File("clutch.XML")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingUi ui;
    ui.savePath = c.path;
    OnSaveCharts(*chart_, ui);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_TRUE(ui.errors.empty());
  }
  EXPECT_TRUE(codes_.empty());
  EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ChartXmlWindowTest, SaveDialogAnsweredFromTheKeyboardWritesTheFile) {
  AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  ModalDriver driver("Save Charts", "chart-xml-save-dialog", TypePathSteps(path_));
  OnSaveCharts(*chart_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(path_); }, 5000));
  EXPECT_EQ(codes_, (std::vector<int>{8, 9}));
  EXPECT_NE(ReadFileBytes(path_).find("<Chart Name=\"A\""), std::string::npos);
}

TEST_F(ChartXmlWindowTest, ANameTypedWithoutExtensionGetsTheDefaultXmlExtension) {
  // The file chooser adds no extension of its own; without one the save would silently do
  // nothing, as the name has no ".xml".
  AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  ModalDriver driver("Save Charts", "", TypePathSteps(folder_.File("clutch")));
  OnSaveCharts(*chart_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(path_); }, 5000));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"clutch.xml"});
}

TEST_F(ChartXmlWindowTest, ReplacingAFileNamedWithoutExtensionIsConfirmedFirst) {
  // The chooser asked about "clutch"; the file that would be replaced is "clutch.xml".
  AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  test::WriteFileBytes(path_, "old");
  const std::string caption(wxTheApp->GetAppDisplayName().utf8_str());
  // The question is looked for only once the chooser has been answered: the chooser's name
  // completion pop-up carries the program's name too, and xdotool matches names without case.
  std::optional<ModalDriver> question;
  const auto chooseThenAnswer = [&](std::vector<ModalDriver::Step> answer) {
    auto steps = TypePathSteps(folder_.File("clutch"));
    steps.back() = [&, typed = steps.back(), answer] {
      typed();
      question.emplace(caption, "", answer);
    };
    return steps;
  };
  {
    std::optional<ModalDriver> again;
    // A Yes/No box has no cancel response, so Escape would leave it open: answer No.
    ModalDriver chooser("Save Charts", "", chooseThenAnswer({[&] {
                          Keys("alt+n");
                          again.emplace("Save Charts", "",
                                        std::vector<ModalDriver::Step>{[] { Keys("Escape"); }});
                        }}));
    OnSaveCharts(*chart_);
    ASSERT_TRUE(PumpUntil([&] { return again && again->Done(); }));
  }
  // Declined: the chooser came back and was cancelled, the file is as it was.
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_TRUE(codes_.empty());

  ModalDriver chooser("Save Charts", "", chooseThenAnswer({[] { Keys("Return"); }}));
  OnSaveCharts(*chart_);
  ASSERT_TRUE(PumpUntil([&] { return question && question->Done(); }, 15000));
  EXPECT_NE(ReadFileBytes(path_).find("<Charts"), std::string::npos);
  EXPECT_EQ(codes_, (std::vector<int>{8, 9}));
}

TEST_F(ChartXmlWindowTest, AnUnwritableFileIsReportedInAnErrorBox) {
  AddSeries(*chart_, L"A", {{0, 0}, {10, 10}});
  const std::string bad = folder_.File("missing/clutch.xml");
  bool closed = false;
  ModalDriver driver(std::string(wxTheApp->GetAppDisplayName().utf8_str()), "chart-xml-error-box",
                     {[&] {
                       Keys("Return");
                       closed = true;
                     }});
  EXPECT_EQ(SaveChartsDialog(*chart_, wxString(bad), false), kChartXmlNotSaved);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(folder_.Entries().empty());
}

}  // namespace
}  // namespace chart
