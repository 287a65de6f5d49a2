// The monitor's pop-up image, checked pixel by pixel. It needs the GUI library's fonts, hence
// the window test binary, though no window is made.
#include <string>

#include <gtest/gtest.h>
#include <wx/image.h>

#include "app/monitor/popup_image.h"

using namespace app;

namespace {

wxColour PixelAt(const wxImage& image, int x, int y) {
  return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// Smallest rectangle that holds every pixel of the given colour inside the box, or an empty one.
wxRect BoundsOf(const wxImage& image, const wxColour& colour, const MonitorBoxRect& box) {
  wxRect bounds;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      if (PixelAt(image, x, y) != colour) continue;
      bounds = bounds.IsEmpty() ? wxRect(x, y, 1, 1) : bounds.Union(wxRect(x, y, 1, 1));
    }
  }
  return bounds;
}

// True when every pixel of the box's rim (two pixels wide, where no glyph reaches) has colour.
bool RimIs(const wxImage& image, const MonitorBoxRect& box, const wxColour& colour) {
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      const bool rim =
          x < box.left + 2 || x >= box.right - 2 || y < box.top + 2 || y >= box.bottom - 2;
      if (rim && PixelAt(image, x, y) != colour) return false;
    }
  }
  return true;
}

bool FrameIsBlack(const wxImage& image) {
  for (int x = 0; x < MonitorPopupImage::kWidth; ++x) {
    if (PixelAt(image, x, 0) != *wxBLACK ||
        PixelAt(image, x, MonitorPopupImage::kHeight - 1) != *wxBLACK)
      return false;
  }
  for (int y = 0; y < MonitorPopupImage::kHeight; ++y) {
    if (PixelAt(image, 0, y) != *wxBLACK ||
        PixelAt(image, MonitorPopupImage::kWidth - 1, y) != *wxBLACK)
      return false;
  }
  return true;
}

wxImage Drawn(int value, int preset) {
  MonitorPopupImage popup;
  EXPECT_TRUE(popup.IsOk());
  popup.Draw(value, preset);
  return popup.Bitmap().ConvertToImage();
}

TEST(MonitorPopupImage, StartsBlack) {
  MonitorPopupImage popup;
  const wxImage image = popup.Bitmap().ConvertToImage();
  ASSERT_EQ(image.GetWidth(), 152);
  ASSERT_EQ(image.GetHeight(), 102);
  EXPECT_TRUE(RimIs(image, {0, 0, 152, 102}, *wxBLACK));
  EXPECT_TRUE(BoundsOf(image, *wxBLACK, {0, 0, 152, 102}) == wxRect(0, 0, 152, 102));
}

struct PresetCase {
  int preset;
  int highlighted;  // box drawn orange with white text, -1 for none
};

class MonitorPopupPresetTest : public testing::TestWithParam<PresetCase> {};

TEST_P(MonitorPopupPresetTest, HighlightsOnlyTheSelectedPresetBox) {
  const PresetCase param = GetParam();
  const wxImage image = Drawn(85, param.preset);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("box " + std::to_string(i));
    const MonitorBoxRect box = MonitorPopupImage::kPresetBoxes[i];
    const bool selected = i == param.highlighted;
    const wxColour background = selected ? MonitorPopupImage::Orange() : MonitorPopupImage::Grey();
    const wxColour& text = selected ? *wxWHITE : *wxBLACK;
    EXPECT_TRUE(RimIs(image, box, background));
    // The letter sits inside its box, clear of the rim.
    const wxRect letter = BoundsOf(image, text, box);
    ASSERT_FALSE(letter.IsEmpty());
    EXPECT_TRUE(wxRect(box.left + 2, box.top + 2, 46, 46).Contains(letter));
  }
  EXPECT_TRUE(FrameIsBlack(image));
}

INSTANTIATE_TEST_SUITE_P(Presets, MonitorPopupPresetTest,
                         testing::Values(PresetCase{0, 0}, PresetCase{1, 1}, PresetCase{2, 2},
                                         PresetCase{3, -1}, PresetCase{-1, -1}),
                         [](const testing::TestParamInfo<PresetCase>& info) {
                           const int preset = info.param.preset;
                           return "Preset" + (preset < 0 ? "Minus" + std::to_string(-preset)
                                                         : std::to_string(preset));
                         });

TEST(MonitorPopupImage, ValueTextIsCentredInsideTheValueBox) {
  const wxImage image = Drawn(100, 0);
  const MonitorBoxRect box = MonitorPopupImage::kValueBox;
  EXPECT_TRUE(RimIs(image, box, *wxBLACK));
  const wxRect text = BoundsOf(image, MonitorPopupImage::Orange(), box);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_TRUE(wxRect(3, 3, 146, 46).Contains(text));
  const wxPoint centre(text.x + text.width / 2, text.y + text.height / 2);
  EXPECT_NEAR(centre.x, 76, 3);
  EXPECT_NEAR(centre.y, 26, 4);
  // Digits of a bold 40-pixel cell are about 28 pixels tall; three of them are wide.
  EXPECT_GE(text.height, 24);
  EXPECT_LE(text.height, 32);
  EXPECT_GE(text.width, 50);
}

TEST(MonitorPopupImage, TheValueIsWrittenInDecimal) {
  const wxRect one =
      BoundsOf(Drawn(1, 0), MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox);
  const wxRect hundred =
      BoundsOf(Drawn(100, 0), MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox);
  const wxRect negative =
      BoundsOf(Drawn(-7, 0), MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox);
  ASSERT_FALSE(one.IsEmpty());
  EXPECT_GT(hundred.width, 2 * one.width);
  EXPECT_GT(negative.width, one.width);  // the minus sign
}

TEST(MonitorPopupImage, TextWiderThanItsBoxStaysInsideTheBox) {
  const wxImage image = Drawn(-2147483647 - 1, 1);
  ASSERT_FALSE(
      BoundsOf(image, MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox).IsEmpty());
  EXPECT_TRUE(FrameIsBlack(image));
  // The preset boxes right under the value keep their own colours to the top row.
  EXPECT_TRUE(RimIs(image, MonitorPopupImage::kPresetBoxes[0], MonitorPopupImage::Grey()));
  EXPECT_TRUE(RimIs(image, MonitorPopupImage::kPresetBoxes[1], MonitorPopupImage::Orange()));
  EXPECT_TRUE(RimIs(image, MonitorPopupImage::kPresetBoxes[2], MonitorPopupImage::Grey()));
}

TEST(MonitorPopupImage, TextOfHundredCharactersIsNotDrawn) {
  MonitorPopupImage popup;
  const MonitorBoxRect box = MonitorPopupImage::kValueBox;
  popup.DrawMonitorBox(*wxWHITE, wxString('x', 100), MonitorPopupImage::kPopupFont, *wxBLACK, box);
  EXPECT_TRUE(RimIs(popup.Bitmap().ConvertToImage(), box, *wxBLACK));
  // One character less is drawn, clipped to the box: its rows above the text are white.
  popup.DrawMonitorBox(*wxWHITE, wxString('x', 99), MonitorPopupImage::kPopupFont, *wxBLACK, box);
  EXPECT_TRUE(RimIs(popup.Bitmap().ConvertToImage(), {box.left, box.top, box.right, box.top + 3},
                    *wxWHITE));
}

TEST(MonitorPopupImage, LaterPopupReplacesTheEarlierOne) {
  MonitorPopupImage popup;
  popup.Draw(100, 0);
  popup.Draw(1, 2);
  const wxImage image = popup.Bitmap().ConvertToImage();
  EXPECT_TRUE(RimIs(image, MonitorPopupImage::kPresetBoxes[0], MonitorPopupImage::Grey()));
  EXPECT_TRUE(RimIs(image, MonitorPopupImage::kPresetBoxes[2], MonitorPopupImage::Orange()));
  const wxRect one =
      BoundsOf(Drawn(1, 2), MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox);
  EXPECT_EQ(BoundsOf(image, MonitorPopupImage::Orange(), MonitorPopupImage::kValueBox), one);
}

}  // namespace
