// "Save Charts As Image" from a chart window: every offered format saved and read back against
// the chart as drawn, the extension rules, the notifications, failures, and the real dialog.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "chart/chart_container.h"
#include "chart/chart_image.h"
#include "tests/chart/chart_output_test_support.h"
#include "tests/chart/chart_output_window_fixture.h"
#include "tests/support/window_test.h"

namespace chart {
namespace {

using test::AddSeries;
using test::RecordingUi;
using test::ScratchFolder;
using test::SeriesLook;

// Mean absolute difference per colour channel.
double MeanDifference(const wxImage& a, const wxImage& b) {
  const unsigned char* p = a.GetData();
  const unsigned char* q = b.GetData();
  const std::size_t n = static_cast<std::size_t>(a.GetWidth()) * a.GetHeight() * 3;
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += std::abs(int(p[i]) - int(q[i]));
  return sum / static_cast<double>(n);
}

class ChartImageWindowTest : public test::ChartOutputWindowTest {
 protected:
  // Small enough for the icon formats, which hold at most 256 x 256.
  explicit ChartImageWindowTest(const wxSize& size = wxSize(230, 190))
      : ChartOutputWindowTest(size, L"Brake") {
    SeriesLook red;
    red.colour = 0xFFFF0000;
    red.tension = 0.5f;
    AddSeries(*chart_, L"Curve", {{0, 0}, {30, 50}, {60, 70}, {100, 100}}, red);
    SeriesLook green;
    green.colour = 0xFF008000;
    green.dashStyle = kDashMarksOnly;
    AddSeries(*chart_, L"Marks", {{10, 80}, {50, 20}, {90, 40}}, green);
    chart_->Core().SetShowXBoundaries(true);
  }

  // The chart as the saved picture should show it.
  wxImage Reference() {
    const wxSize size = chart_->GetClientSize();
    wxImage image(size.x, size.y);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), size.x * size.y, static_cast<unsigned char>(0));
    chart_->DrawChartsTo(0, 0, size.x, size.y, image);
    return image;
  }

  // Saves the chart in every offered format and reads each file back: at the client size, and
  // with the pixels as drawn (lossy formats close to them).
  void SaveAndReloadEveryOfferedFormat(const std::string& shot) {
    const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
    const wxImage reference = Reference();
    if (const std::string path = ScreenshotPath(shot); !path.empty()) {
      reference.SaveFile(wxString(path), wxBITMAP_TYPE_PNG);
    }
    const wxSize client = chart_->GetClientSize();
    for (const auto& [key, type] : encoders.types) {
      SCOPED_TRACE(std::string(key.begin(), key.end()));
      path_ = folder_.File("brake." + std::string(key.begin(), key.end()));
      codes_.clear();
      existedAtNotify_.clear();
      ASSERT_EQ(SaveChartsImage(*chart_, path_, encoders), kImageSaved);
      EXPECT_EQ(codes_, (std::vector<int>{6, 7}));
      EXPECT_EQ(existedAtNotify_, (std::vector<bool>{false, true}));
      wxImage saved;
      ASSERT_TRUE(saved.LoadFile(wxString(path_), type));
      ASSERT_EQ(saved.GetSize(), client);
      // JPEG compresses with loss and GIF keeps 236 colours; every other format gives the
      // pixels back as drawn.
      const auto lossy = kLossy.find(key);
      if (lossy != kLossy.end()) {
        EXPECT_LT(MeanDifference(saved, reference), lossy->second);
      } else {
        EXPECT_EQ(MeanDifference(saved, reference), 0.0);
      }
    }
  }

  inline static const std::map<std::wstring, double> kLossy = {{L"jpeg", 6.0}, {L"gif", 4.0}};
  ScratchFolder folder_{"chart-image"};
  std::string& path_ = watched_;
};

// A chart wider and taller than any icon.
class LargeChartImageWindowTest : public ChartImageWindowTest {
 protected:
  LargeChartImageWindowTest() : ChartImageWindowTest(wxSize(1000, 600)) {}
};

TEST_F(ChartImageWindowTest, EveryOfferedFormatSavesThePictureAtTheClientSize) {
  SaveAndReloadEveryOfferedFormat("chart-image-reference");
}

TEST_F(LargeChartImageWindowTest, EveryFormatOfferedForALargeChartSavesItAtItsSize) {
  ASSERT_EQ(chart_->GetClientSize(), wxSize(1000, 600));
  const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
  EXPECT_EQ(encoders.types.count(L"gif"), 1u);
  SaveAndReloadEveryOfferedFormat("chart-image-large-reference");
}

TEST_F(LargeChartImageWindowTest, AnIconNameIsRefusedSayingTheChartIsTooLarge) {
  const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
  for (const char* name : {"brake.ico", "brake.cur"}) {
    SCOPED_TRACE(name);
    path_ = folder_.File(name);
    EXPECT_EQ(SaveChartsImage(*chart_, path_, encoders), kImageTooLarge);
    EXPECT_TRUE(codes_.empty());  // refused before anything was drawn
    RecordingUi ui;
    ui.savePath = path_;
    SaveChartsAsImage(*chart_, ui);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].filter.Find("ICO File"), wxNOT_FOUND);
    EXPECT_EQ(ui.errors, (std::vector<wxString>{
                             "Save Image Failed:\nThe chart is too large for this image format"}));
  }
  EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ChartImageWindowTest, TheExtensionOfTheFileNameChoosesTheFormat) {
  const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
  const std::filesystem::path dotted = folder_.File("a.png.d");
  std::filesystem::create_directory(dotted);
  const struct {
    std::string path;
    std::int32_t outcome;
  } cases[] = {
      {folder_.File("upper.PNG"), kImageUnknownFormat},  // case matters
      {folder_.File("short.jpg"), kImageUnknownFormat},  // the JPEG key is jpeg
      {folder_.File("none"), kImageSaveFailed},
      {(dotted / "chart").string(), kImageSaveFailed},  // a dot in a folder is no extension
      {folder_.File("unknown.abc"), kImageUnknownFormat},
      {"", kImageNoPath},
      {(dotted / "chart.jpeg").string(), kImageSaved},
      {folder_.File("lower.png"), kImageSaved},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    codes_.clear();
    EXPECT_EQ(SaveChartsImage(*chart_, c.path, encoders), c.outcome);
    // The parent hears of a save only once a format was found.
    EXPECT_EQ(codes_.size(), c.outcome == kImageSaved ? 2u : 0u);
    if (!c.path.empty()) {
      EXPECT_EQ(std::filesystem::exists(c.path), c.outcome == kImageSaved);
    }
  }
  EXPECT_EQ(ImageSaveFailedText(kImageUnknownFormat), "Save Image Failed:\nInvalid Image Format");
  EXPECT_EQ(ImageSaveFailedText(kImageNoPath), "Save Image Failed:\nCannot get file path name");
  EXPECT_EQ(ImageSaveFailedText(kImageSaveFailed), "Save Image Failed:\nUnknown Error");
}

TEST_F(ChartImageWindowTest, AFileThatCannotBeWrittenFailsAndLeavesNothing) {
  const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
  path_ = folder_.File("missing/brake.png");
  EXPECT_EQ(SaveChartsImage(*chart_, path_, encoders), kImageSaveFailed);
  // Told before drawing and after the save returned, whatever its outcome.
  EXPECT_EQ(codes_, (std::vector<int>{6, 7}));
  EXPECT_TRUE(folder_.Entries().empty());

  RecordingUi ui;
  ui.savePath = path_;
  SaveChartsAsImage(*chart_, ui);
  EXPECT_EQ(ui.errors, (std::vector<wxString>{"Save Image Failed:\nUnknown Error"}));
}

// The picture is written through a symbolic link, which stays; a read-only file is refused
// with the save-failure message and keeps its bytes, also for root.
TEST_F(ChartImageWindowTest, WritesThroughASymbolicLinkAndRefusesAReadOnlyFile) {
  const ImageEncoderTable encoders = GetImageEncoders(chart_->GetClientSize());
  const std::string real = folder_.File("real.png");
  const std::string link = folder_.File("link.png");
  std::ofstream(real) << "old";
  std::filesystem::create_symlink(real, link);
  path_ = link;
  EXPECT_EQ(SaveChartsImage(*chart_, path_, encoders), kImageSaved);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  wxImage saved;
  ASSERT_TRUE(saved.LoadFile(wxString(real), wxBITMAP_TYPE_PNG));
  EXPECT_EQ(saved.GetSize(), chart_->GetClientSize());

  std::ofstream(real, std::ios::trunc) << "frozen";
  std::filesystem::permissions(real, std::filesystem::perms::owner_read);
  for (const std::string& path : {real, link}) {
    SCOPED_TRACE(path);
    RecordingUi ui;
    ui.savePath = path;
    SaveChartsAsImage(*chart_, ui);
    EXPECT_EQ(ui.errors, (std::vector<wxString>{"Save Image Failed:\nUnknown Error"}));
  }
  EXPECT_EQ(test::ReadFileBytes(real), "frozen");
  EXPECT_EQ(folder_.Entries().size(), 2u);
}

TEST_F(ChartImageWindowTest, WithoutVisiblePointsTheCommandFailsWithoutADialog) {
  for (const auto& [index, series] : chart_->Core().SeriesMap()) series->SetVisible(false);
  RecordingUi ui;
  ui.savePath = folder_.File("brake.png");
  SaveChartsAsImage(*chart_, ui);
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(ui.errors, (std::vector<wxString>{"Save Image Failed:\nUnknown Error"}));
  EXPECT_TRUE(codes_.empty());
  EXPECT_TRUE(folder_.Entries().empty());
}

TEST_F(ChartImageWindowTest, TheDialogOffersTheFormatsAndCancelSaysNothing) {
  RecordingUi ui;  // no path: cancelled
  SaveChartsAsImage(*chart_, ui);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "Save As Image");
  EXPECT_EQ(ui.dialogs[0].initialName, "*.bmp");
  EXPECT_EQ(ui.dialogs[0].filter, GetImageEncoders(chart_->GetClientSize()).filter);
  EXPECT_TRUE(ui.dialogs[0].initialFolder.EndsWith("/Images"));
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(codes_.empty());
}

TEST_F(ChartImageWindowTest, SaveDialogAnsweredFromTheKeyboardSavesThePicture) {
  path_ = folder_.File("typed.png");
  ModalDriver driver("Save As Image", "chart-image-save-dialog", TypePathSteps(path_));
  SaveChartsAsImage(*chart_);
  ASSERT_TRUE(PumpUntil([&] { return driver.Done(); }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(path_); }, 5000));
  wxImage saved;
  ASSERT_TRUE(saved.LoadFile(wxString(path_), wxBITMAP_TYPE_PNG));
  EXPECT_EQ(saved.GetSize(), chart_->GetClientSize());
  EXPECT_EQ(codes_, (std::vector<int>{6, 7}));
}

}  // namespace
}  // namespace chart
