// The monitor's pop-up image: the brake force and the three throttle presets in a 152 x 102
// memory bitmap, drawn without a window so that the window only has to copy it.
#pragma once

#include <array>
#include <cstddef>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/font.h>
#include <wx/string.h>

namespace app {

// A box in bitmap pixels; right and bottom lie just outside it.
struct MonitorBoxRect {
  int left;
  int top;
  int right;
  int bottom;
};

class MonitorPopupImage {
 public:
  static constexpr int kWidth = 152;
  static constexpr int kHeight = 102;
  // Font table: entry 2k is bold, 2k + 1 normal, both "Arial" with cell height 10 + 6k pixels.
  static constexpr int kFontCount = 100;
  static constexpr int kPopupFont = 10;  // bold, cell height 40
  // Texts this long or longer are not drawn at all.
  static constexpr std::size_t kTextLimit = 100;

  static wxColour Orange();
  static wxColour Grey();
  static wxColour Black();
  static wxColour White();

  static constexpr MonitorBoxRect kValueBox{1, 1, 151, 51};
  static constexpr std::array<MonitorBoxRect, 3> kPresetBoxes{
      {{1, 51, 51, 101}, {51, 51, 101, 101}, {101, 51, 151, 101}}};

  // Starts all black. Needs the GUI library to be initialised.
  MonitorPopupImage();

  // False when the bitmap could not be made; drawing then does nothing.
  bool IsOk() const;

  // Draws the value box and the preset boxes A, B, C; preset 0, 1, 2 is highlighted, any other
  // value leaves all three grey. The outer one-pixel frame is never touched.
  void Draw(int value, int preset);

  // One filled box with its text centred on one line and clipped to the box.
  void DrawMonitorBox(const wxColour& background, const wxString& text, int fontIndex,
                      const wxColour& textColour, const MonitorBoxRect& box);

  const wxBitmap& Bitmap() const { return bitmap_; }

 private:
  // Built on first use; invalid for an index outside the table.
  const wxFont& Font(int index);

  wxBitmap bitmap_;
  std::array<wxFont, kFontCount> fonts_;
};

}  // namespace app
