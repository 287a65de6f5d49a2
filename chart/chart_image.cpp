// Saving a chart container's picture to an image file.
#include "chart/chart_image.h"

#include <algorithm>
#include <cwctype>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/quantize.h>

#include "chart/chart_container.h"

namespace chart {
namespace {

// GIF holds a palette of 256 colours; the quantizer adds the 20 fixed system colours to these.
constexpr int kGifPictureColours = 236;
// A picture every format that writes at all can hold.
const wxSize kSmallPicture(2, 2);

// A picture of size as the chart is drawn into: fully transparent until drawn on.
wxImage BlankPicture(const wxSize& size) {
  wxImage picture(size.x, size.y);
  picture.InitAlpha();
  std::fill_n(picture.GetAlpha(), size.x * size.y, static_cast<unsigned char>(0));
  return picture;
}

// Encodes picture with handler into out. The GIF writer takes only pictures with a palette.
bool EncodePicture(const wxImage& picture, wxImageHandler& handler, wxOutputStream& out) {
  // A failing handler logs its own reason; the command reports the failure once.
  wxLogNull quiet;
  wxImage encoded = picture;
  if (handler.GetType() == wxBITMAP_TYPE_GIF && !picture.HasPalette() &&
      !wxQuantize::Quantize(picture, encoded, kGifPictureColours)) {
    return false;
  }
  return handler.SaveFile(&encoded, out, false);
}

bool CanSave(wxImageHandler& handler, const wxSize& size) {
  wxMemoryOutputStream sink;
  return EncodePicture(BlankPicture(size), handler, sink);
}

}  // namespace

std::wstring ImageEncoderKey(const std::wstring& mimeType) {
  const std::size_t slash = mimeType.find(L'/');
  std::wstring key = slash == std::wstring::npos ? mimeType : mimeType.substr(slash + 1);
  if (key.size() > 2 && key.compare(0, 2, L"x-") == 0) key.erase(0, 2);
  return key;
}

ImageEncoderTable GetImageEncoders(const wxSize& pictureSize) {
  // Once: a second call would only log about the handlers already there.
  static const bool registered = [] {
    wxLogNull quiet;
    wxInitAllImageHandlers();
    return true;
  }();
  (void)registered;
  // Every size holds a picture as small as the probe; no size at all holds none, and then the
  // save fails whatever the format.
  const bool sized = pictureSize.x > 0 && pictureSize.y > 0 && pictureSize != kSmallPicture;
  ImageEncoderTable table;
  for (wxList::compatibility_iterator node = wxImage::GetHandlers().GetFirst(); node;
       node = node->GetNext()) {
    auto* handler = static_cast<wxImageHandler*>(node->GetData());
    if (!handler || !CanSave(*handler, kSmallPicture)) continue;
    const std::wstring key = ImageEncoderKey(handler->GetMimeType().ToStdWstring());
    if (key.empty()) continue;
    if (sized && !CanSave(*handler, pictureSize)) {
      table.tooLarge.insert(key);
      continue;
    }
    table.types.emplace(key, handler->GetType());
    std::wstring label = key;
    for (wchar_t& c : label) c = static_cast<wchar_t>(std::towupper(c));
    table.filter += label + L" File|*." + key + L"|";
  }
  table.filter += L"||";
  return table;
}

wxString ImageSaveFailedText(std::int32_t outcome) {
  wxString text = "Save Image Failed:\n";
  switch (outcome) {
    case kImageNoPath: return text + "Cannot get file path name";
    case kImageUnknownFormat: return text + "Invalid Image Format";
    case kImageTooLarge: return text + "The chart is too large for this image format";
    default: return text + "Unknown Error";
  }
}

std::int32_t SaveChartsImage(CChartContainer& chart, const wxString& path,
                             const ImageEncoderTable& encoders) {
  if (!chart.Core().HasDrawableChart(-1, true)) return kImageSaveFailed;
  if (path.empty()) return kImageNoPath;
  // The extension of the file name itself: a "." in a folder name is not one.
  const wxString name = wxFileName(path).GetFullName();
  const size_t dot = name.rfind('.');
  if (dot == wxString::npos) return kImageSaveFailed;
  const std::wstring extension = name.substr(dot).ToStdWstring();
  const auto encoder = encoders.types.find(extension.substr(1));
  if (encoders.tooLarge.count(extension.substr(1))) return kImageTooLarge;
  if (encoders.filter.find(extension) == std::wstring::npos || encoder == encoders.types.end()) {
    return kImageUnknownFormat;
  }

  chart.SendChartNotify({ChartNotifyCode::kImageSaveStart});
  const wxSize client = chart.GetClientSize();
  std::int32_t outcome = kImageSaveFailed;
  if (client.x > 0 && client.y > 0) {
    // A new picture is transparent, so whatever the drawing leaves out stays clear.
    wxImage picture = BlankPicture(client);
    chart.DrawChartsTo(0, 0, client.x, client.y, picture);
    // Encode in memory first, so a failing encoder or disk leaves no partial file behind.
    wxMemoryOutputStream encoded;
    wxImageHandler* handler = wxImage::FindHandler(encoder->second);
    if (handler && EncodePicture(picture, *handler, encoded)) {
      std::string bytes(encoded.GetLength(), '\0');
      if (!bytes.empty()) encoded.CopyTo(bytes.data(), bytes.size());
      if (!bytes.empty() && WriteFileWhole(path, bytes.data(), bytes.size())) {
        outcome = kImageSaved;
      }
    }
  }
  chart.SendChartNotify({ChartNotifyCode::kImageSaved});
  return outcome;
}

void SaveChartsAsImage(CChartContainer& chart, ChartOutputUi& ui) {
  std::int32_t outcome = kImageSaveFailed;
  if (chart.Core().HasDrawableChart(-1, true)) {
    const ImageEncoderTable encoders = GetImageEncoders(chart.GetClientSize());
    ChartSaveDialogSpec dialog;
    dialog.title = "Save As Image";
    dialog.initialFolder = ChartOutputFolder("Images");
    dialog.initialName = "*.bmp";
    dialog.filter = encoders.filter;
    const wxString path = ui.AskSavePath(&chart, dialog);
    if (path.empty()) return;
    outcome = SaveChartsImage(chart, path, encoders);
  }
  if (outcome != kImageSaved) ui.ShowError(&chart, ImageSaveFailedText(outcome));
}

}  // namespace chart
