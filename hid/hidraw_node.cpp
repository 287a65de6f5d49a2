// hidraw node checks and descriptor reading for the hidapi backend.
#include "hid/hidraw_node.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

#include "hid/mchid.h"

namespace orvo::hid {
namespace {

constexpr std::size_t kMaxDescriptorSize = 4096;  // the kernel's limit

}  // namespace

bool IsHidrawPath(const char* path) {
  constexpr std::string_view kPrefix = "/dev/hidraw";
  if (path == nullptr) return false;
  const std::string_view text = path;
  if (!text.starts_with(kPrefix) || text.size() == kPrefix.size()) return false;
  return std::all_of(text.begin() + kPrefix.size(), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

std::string WideToUtf8(const wchar_t* text) {
  std::string utf8;
  if (text == nullptr) return utf8;
  for (; *text != L'\0'; ++text) {
    auto code = static_cast<std::uint32_t>(*text);
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

ReportLayout ReadNodeLayout(const std::string& devicePath, const std::string& sysfsRoot) {
  const std::string node = devicePath.substr(devicePath.rfind('/') + 1);
  std::ifstream file(sysfsRoot + "/" + node + "/device/report_descriptor", std::ios::binary);
  std::vector<std::uint8_t> descriptor(kMaxDescriptorSize);
  file.read(reinterpret_cast<char*>(descriptor.data()),
            static_cast<std::streamsize>(descriptor.size()));
  const auto size = file.gcount() > 0 ? static_cast<std::size_t>(file.gcount()) : 0;
  ReportLayout layout = ParseReportDescriptor(descriptor.data(), size);
  layout.inputLength = std::min(layout.inputLength, MCHID_BUFFER_SIZE);
  layout.outputLength = std::min(layout.outputLength, MCHID_BUFFER_SIZE);
  return layout;
}

}  // namespace orvo::hid
