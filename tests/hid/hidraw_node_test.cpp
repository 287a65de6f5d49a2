// The hidapi backend's view of hidraw nodes: which paths it opens, strings, report lengths.
#include "hid/hidraw_node.h"
#include "hid/mchid.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace orvo::hid {
namespace {

TEST(HidrawNodeTest, OnlyHidrawNodesAreOpened) {
  const std::pair<const char*, bool> cases[] = {
      {"/dev/hidraw0", true},         {"/dev/hidraw17", true},
      {"/dev/hidraw", false},         {"/dev/hidraw1a", false},
      {"/dev/input/event3", false},   {"1-1.4:1.0", false},
      {"/dev/hidraw0/../sda", false}, {"", false},
  };
  for (const auto& [path, accepted] : cases) EXPECT_EQ(IsHidrawPath(path), accepted) << path;
  EXPECT_FALSE(IsHidrawPath(nullptr));
}

TEST(HidrawNodeTest, WideStringsBecomeUtf8) {
  EXPECT_EQ(WideToUtf8(nullptr), "");
  EXPECT_EQ(WideToUtf8(L"Orvo"), "Orvo");
  EXPECT_EQ(WideToUtf8(L"Peda\u00f1a \u20ac \U0001F3CE"),
            "Peda\xc3\xb1"
            "a \xe2\x82\xac \xf0\x9f\x8f\x8e");
  const wchar_t broken[] = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                            L'\0'};
  EXPECT_EQ(WideToUtf8(broken), "a\xef\xbf\xbd\xef\xbf\xbd");
}

TEST(HidrawNodeTest, LayoutComesFromTheNodesDescriptor) {
  namespace fs = std::filesystem;
  const test_support::TempFolder folder("hidraw-node-test");
  const fs::path root = folder.Path() / "sys";
  fs::create_directories(root / "hidraw4" / "device");
  // 64 bytes in, 200 bytes out: the output length is capped at the buffer size.
  const unsigned char descriptor[] = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08,
                                      0x95, 0x40, 0x81, 0x02, 0x95, 0xC8, 0x91, 0x02, 0xC0};
  std::ofstream(root / "hidraw4" / "device" / "report_descriptor", std::ios::binary)
      .write(reinterpret_cast<const char*>(descriptor), sizeof descriptor);

  const ReportLayout layout = ReadNodeLayout("/dev/hidraw4", root.string());
  EXPECT_FALSE(layout.numbered);
  EXPECT_EQ(layout.inputLength, 65);
  EXPECT_EQ(layout.outputLength, MCHID_BUFFER_SIZE);

  const ReportLayout missing = ReadNodeLayout("/dev/hidraw9", root.string());
  EXPECT_EQ(missing.inputLength, 0);
  EXPECT_EQ(missing.outputLength, 0);
}

}  // namespace
}  // namespace orvo::hid
