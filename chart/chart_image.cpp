// Saving a chart container's picture to an image file.
#include "chart/chart_image.h"

#include <algorithm>
#include <cwctype>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "chart/chart_container.h"

namespace chart {
namespace {

bool CanSave(wxImageHandler& handler) {
  wxImage probe(2, 2);
  wxMemoryOutputStream sink;
  wxLogNull quiet;
  return handler.SaveFile(&probe, sink, false);
}

}  // namespace

std::wstring ImageEncoderKey(const std::wstring& mimeType) {
  const std::size_t slash = mimeType.find(L'/');
  std::wstring key = slash == std::wstring::npos ? mimeType : mimeType.substr(slash + 1);
  if (key.size() > 2 && key.compare(0, 2, L"x-") == 0) key.erase(0, 2);
  return key;
}

ImageEncoderTable GetImageEncoders() {
  // Once: a second call would only log about the handlers already there.
  static const bool registered = [] {
    wxLogNull quiet;
    wxInitAllImageHandlers();
    return true;
  }();
  (void)registered;
  ImageEncoderTable table;
  for (wxList::compatibility_iterator node = wxImage::GetHandlers().GetFirst(); node;
       node = node->GetNext()) {
    auto* handler = static_cast<wxImageHandler*>(node->GetData());
    if (!handler || !CanSave(*handler)) continue;
    const std::wstring key = ImageEncoderKey(handler->GetMimeType().ToStdWstring());
    if (key.empty()) continue;
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
  if (encoders.filter.find(extension) == std::wstring::npos || encoder == encoders.types.end()) {
    return kImageUnknownFormat;
  }

  chart.SendChartNotify({ChartNotifyCode::kImageSaveStart});
  const wxSize client = chart.GetClientSize();
  std::int32_t outcome = kImageSaveFailed;
  if (client.x > 0 && client.y > 0) {
    // A new picture is transparent, so whatever the drawing leaves out stays clear.
    wxImage picture(client.x, client.y);
    picture.InitAlpha();
    std::fill_n(picture.GetAlpha(), client.x * client.y, static_cast<unsigned char>(0));
    chart.DrawChartsTo(0, 0, client.x, client.y, picture);
    // Encode in memory first, so a failing encoder or disk leaves no partial file behind.
    wxMemoryOutputStream encoded;
    bool saved = false;
    {
      wxLogNull quiet;
      saved = picture.SaveFile(encoded, encoder->second);
    }
    if (saved) {
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
    const ImageEncoderTable encoders = GetImageEncoders();
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
