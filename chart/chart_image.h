// The "Save Charts As Image" command: the table of image formats that can be saved, the file
// type chosen by the name's extension, and the picture drawn as the window shows the chart.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include <wx/image.h>

#include "chart/chart_output_ui.h"

namespace chart {

class CChartContainer;

// Image formats that can write a picture of one size, keyed by the subtype of their MIME type
// ("png" for image/png), and the dialog filter "PNG File|*.png|...||" in the order the
// handlers are registered.
struct ImageEncoderTable {
  std::map<std::wstring, wxBitmapType> types;
  std::wstring filter;
  // Formats that write small pictures but not one of that size (an icon holds at most
  // 256 x 256): not offered, and a name with their extension is refused as kImageTooLarge.
  std::set<std::wstring> tooLarge;
};

// The key of a MIME type: the text after the first "/" (all of it without one). An "x-"
// subtype prefix, which marks a type as unregistered, is dropped, so image/x-bmp is "bmp".
std::wstring ImageEncoderKey(const std::wstring& mimeType);

// Every registered image handler that can save a picture of pictureSize, found by saving a
// blank picture of that size with it the way SaveChartsImage saves the chart.
ImageEncoderTable GetImageEncoders(const wxSize& pictureSize);

enum ImageSaveOutcome : std::int32_t {
  kImageSaved = 0,
  kImageSaveFailed = 1,  // nothing to draw, no extension, or the save itself failed
  kImageNoPath = 2,
  kImageUnknownFormat = 13,
  kImageTooLarge = 100,  // the format exists but cannot hold a picture of the chart's size
};

// "Save Image Failed:\n" and the reason.
wxString ImageSaveFailedText(std::int32_t outcome);

// Draws chart at its client size and saves it to path in the format of path's extension
// (case-sensitive: ".PNG" is not ".png"); encoders must be those for the client size. A
// format with few colours (GIF) gets the picture reduced to its palette first. The file is
// written whole or not at all. Tells the parent before drawing (code 6) and after the save
// (code 7) once a format was found.
std::int32_t SaveChartsImage(CChartContainer& chart, const wxString& path,
                             const ImageEncoderTable& encoders);

// Handler of "Save Charts As Image".
void SaveChartsAsImage(CChartContainer& chart, ChartOutputUi& ui = DefaultChartOutputUi());

}  // namespace chart
