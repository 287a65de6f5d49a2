// The image formats offered for saving a chart: keys, the dialog filter and its order.
#include <gtest/gtest.h>

#include <cwctype>

#include <wx/image.h>
#include <wx/init.h>

#include "chart/chart_image.h"

namespace chart {
namespace {

TEST(ChartImageEncoders, KeyIsTheMimeSubtypeWithoutAnUnregisteredMark) {
  const struct {
    const wchar_t* mime;
    const wchar_t* key;
  } cases[] = {
      {L"image/png", L"png"},   {L"image/jpeg", L"jpeg"}, {L"image/x-bmp", L"bmp"},
      {L"image/x-ico", L"ico"}, {L"png", L"png"},         {L"image/svg+xml", L"svg+xml"},
      {L"a/b/c", L"b/c"},       {L"image/x-", L"x-"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageEncoderKey(c.mime), c.key) << c.mime;
}

TEST(ChartImageEncoders, FilterListsEverySavingHandlerInOrderAndEndsWithTwoSeparators) {
  // The bitmap handler is registered when the library starts.
  static wxInitializer library;
  const ImageEncoderTable table = GetImageEncoders(wxSize(64, 64));
  std::wstring expected;
  std::size_t savers = 0;
  for (auto node = wxImage::GetHandlers().GetFirst(); node; node = node->GetNext()) {
    auto* handler = static_cast<wxImageHandler*>(node->GetData());
    const std::wstring key = ImageEncoderKey(handler->GetMimeType().ToStdWstring());
    if (!table.types.count(key)) continue;
    ++savers;
    std::wstring label = key;
    for (wchar_t& c : label) c = static_cast<wchar_t>(std::towupper(c));
    expected += label + L" File|*." + key + L"|";
  }
  expected += L"||";
  EXPECT_EQ(table.filter, expected);
  EXPECT_EQ(savers, table.types.size());
  // The formats every build of the image library writes, keyed as their MIME types say.
  for (const wchar_t* key : {L"bmp", L"png", L"jpeg", L"tiff", L"gif"}) {
    EXPECT_EQ(table.types.count(key), 1u) << key;
  }
  EXPECT_EQ(table.types.at(L"png"), wxBITMAP_TYPE_PNG);
  EXPECT_EQ(table.filter.rfind(L"BMP File|*.bmp|", 0), 0u);
  // Formats it can only read are not offered.
  EXPECT_EQ(table.types.count(L"iff"), 0u);
  EXPECT_EQ(table.types.count(L"ani"), 0u);
}

TEST(ChartImageEncoders, FormatsThatCannotHoldThePictureSizeAreNotOffered) {
  static wxInitializer library;
  // Icons hold at most 256 x 256; the other formats take any size a window has.
  const struct {
    wxSize size;
    bool icons;
  } cases[] = {{{256, 256}, true}, {{257, 100}, false}, {{100, 257}, false}, {{1000, 600}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size.x << " x " << c.size.y);
    const ImageEncoderTable table = GetImageEncoders(c.size);
    for (const wchar_t* key : {L"ico", L"cur"}) {
      EXPECT_EQ(table.types.count(key), c.icons ? 1u : 0u) << key;
      EXPECT_EQ(table.tooLarge.count(key), c.icons ? 0u : 1u) << key;
      EXPECT_EQ(table.filter.find(std::wstring(L"*.") + key + L"|") == std::wstring::npos,
                !c.icons);
    }
    for (const wchar_t* key :
         {L"bmp", L"png", L"jpeg", L"tiff", L"gif", L"pcx", L"pnm", L"tga", L"xpm"}) {
      EXPECT_EQ(table.types.count(key), 1u) << key;
    }
  }
}

}  // namespace
}  // namespace chart
