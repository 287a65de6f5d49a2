// Drawing of the monitor's pop-up image.
#include "app/monitor/popup_image.h"

#include <algorithm>

#include <wx/dcmemory.h>
#include <wx/image.h>

namespace app {

namespace {

constexpr int kSmallestCell = 10;
constexpr int kCellStep = 6;

}  // namespace

wxColour MonitorPopupImage::Orange() { return {255, 52, 13}; }
wxColour MonitorPopupImage::Grey() { return {160, 160, 160}; }
wxColour MonitorPopupImage::Black() { return {0, 0, 0}; }
wxColour MonitorPopupImage::White() { return {255, 255, 255}; }

MonitorPopupImage::MonitorPopupImage() : bitmap_(wxImage(kWidth, kHeight, true), 24) {}

bool MonitorPopupImage::IsOk() const { return bitmap_.IsOk(); }

void MonitorPopupImage::Draw(int value, int preset) {
  DrawMonitorBox(Black(), wxString::Format("%d", value), kPopupFont, Orange(), kValueBox);
  static constexpr const char* kPresetNames[] = {"A", "B", "C"};
  for (int i = 0; i < static_cast<int>(kPresetBoxes.size()); ++i) {
    const bool selected = preset == i;
    DrawMonitorBox(selected ? Orange() : Grey(), kPresetNames[i], kPopupFont,
                   selected ? White() : Black(), kPresetBoxes[i]);
  }
}

void MonitorPopupImage::DrawMonitorBox(const wxColour& background, const wxString& text,
                                       int fontIndex, const wxColour& textColour,
                                       const MonitorBoxRect& box) {
  if (!IsOk() || text.length() >= kTextLimit) return;
  const wxFont& font = Font(fontIndex);
  if (!font.IsOk()) return;
  const wxRect rect(box.left, box.top, box.right - box.left, box.bottom - box.top);

  wxMemoryDC dc(bitmap_);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(background));
  dc.DrawRectangle(rect);
  // Wide texts must not spill over the neighbouring boxes or the frame.
  dc.SetClippingRegion(rect);
  dc.SetFont(font);
  dc.SetTextForeground(textColour);
  dc.SetTextBackground(background);
  dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
  dc.DrawLabel(text, rect, wxALIGN_CENTER);
  dc.DestroyClippingRegion();
  dc.SelectObject(wxNullBitmap);
}

const wxFont& MonitorPopupImage::Font(int index) {
  static const wxFont invalid;
  if (index < 0 || index >= kFontCount) return invalid;
  wxFont& font = fonts_[index];
  if (font.IsOk()) return font;

  const int cell = kSmallestCell + kCellStep * (index / 2);
  const bool bold = index % 2 == 0;
  auto make = [bold](int pixels) {
    return wxFont(wxFontInfo(wxSize(0, pixels)).FaceName("Arial").Bold(bold));
  };
  // The height is a cell height (ascent plus descent), while the pixel size sets the em
  // height: measure once and scale so that the line comes out at the cell height.
  font = make(cell);
  wxMemoryDC dc(bitmap_);
  dc.SetFont(font);
  const int line = dc.GetCharHeight();
  dc.SelectObject(wxNullBitmap);
  if (line > 0 && line != cell) font = make(std::max(1, cell * cell / line));
  return font;
}

}  // namespace app
