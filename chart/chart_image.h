// The "Save Charts As Image" command: the table of image formats that can be saved, the file
// type chosen by the name's extension, and the picture drawn as the window shows the chart.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <wx/image.h>

#include "chart/chart_output_ui.h"

namespace chart {

class CChartContainer;

// Image formats that can be written, keyed by the subtype of their MIME type ("png" for
// image/png), and the dialog filter "PNG File|*.png|...||" in the order the handlers are
// registered.
struct ImageEncoderTable {
  std::map<std::wstring, wxBitmapType> types;
  std::wstring filter;
};

// The key of a MIME type: the text after the first "/" (all of it without one). An "x-"
// subtype prefix, which marks a type as unregistered, is dropped, so image/x-bmp is "bmp".
std::wstring ImageEncoderKey(const std::wstring& mimeType);

// Every registered image handler that can save, found by saving a tiny picture with it.
ImageEncoderTable GetImageEncoders();

enum ImageSaveOutcome : std::int32_t {
  kImageSaved = 0,
  kImageSaveFailed = 1,    // nothing to draw, no extension, or the save itself failed
  kImageNoPath = 2,
  kImageUnknownFormat = 13,
};

// "Save Image Failed:\n" and the reason.
wxString ImageSaveFailedText(std::int32_t outcome);

// Draws chart at its client size and saves it to path in the format of path's extension
// (case-sensitive: ".PNG" is not ".png"). The file is written whole or not at all. Tells the
// parent before drawing (code 6) and after the save (code 7) once a format was found.
std::int32_t SaveChartsImage(CChartContainer& chart, const wxString& path,
                             const ImageEncoderTable& encoders);

// Handler of "Save Charts As Image".
void SaveChartsAsImage(CChartContainer& chart, ChartOutputUi& ui = DefaultChartOutputUi());

}  // namespace chart
