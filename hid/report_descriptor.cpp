// Walks HID report descriptor items to find the report lengths of each direction.
#include "hid/report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace orvo::hid {
namespace {

// Item types and tags (prefix byte: tag << 4 | type << 2 | size code).
constexpr int kMain = 0;
constexpr int kGlobal = 1;
constexpr int kInputTag = 8;
constexpr int kOutputTag = 9;
constexpr int kReportSizeTag = 7;
constexpr int kReportIdTag = 8;
constexpr int kReportCountTag = 9;
constexpr int kPushTag = 10;
constexpr int kPopTag = 11;
constexpr std::uint8_t kLongItem = 0xFE;

struct Globals {
  std::uint32_t reportSize = 0;   // bits per field
  std::uint32_t reportCount = 0;  // fields
  std::uint32_t reportId = 0;
};

int LengthOf(const std::map<std::uint32_t, std::uint64_t>& bitsById) {
  std::uint64_t longest = 0;
  for (const auto& [id, bits] : bitsById) longest = std::max(longest, bits);
  if (longest == 0) return 0;
  return static_cast<int>(std::min<std::uint64_t>((longest + 7) / 8, 1 << 16)) + 1;
}

}  // namespace

ReportLayout ParseReportDescriptor(const std::uint8_t* descriptor, std::size_t size) {
  ReportLayout layout;
  if (descriptor == nullptr) return layout;
  Globals globals;
  std::vector<Globals> stack;
  std::map<std::uint32_t, std::uint64_t> inputBits;
  std::map<std::uint32_t, std::uint64_t> outputBits;

  std::size_t at = 0;
  while (at < size) {
    const std::uint8_t prefix = descriptor[at];
    if (prefix == kLongItem) {
      if (at + 1 >= size) break;
      at += 3 + descriptor[at + 1];
      continue;
    }
    const std::size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (at + 1 + dataSize > size) break;
    std::uint32_t data = 0;
    for (std::size_t i = 0; i < dataSize; ++i)
      data |= std::uint32_t{descriptor[at + 1 + i]} << (8 * i);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    at += 1 + dataSize;

    if (type == kGlobal) {
      switch (tag) {
        case kReportSizeTag: globals.reportSize = data; break;
        case kReportCountTag: globals.reportCount = data; break;
        case kReportIdTag:
          globals.reportId = data;
          layout.numbered = true;
          break;
        case kPushTag: stack.push_back(globals); break;
        case kPopTag:
          if (!stack.empty()) {
            globals = stack.back();
            stack.pop_back();
          }
          break;
        default: break;
      }
    } else if (type == kMain && (tag == kInputTag || tag == kOutputTag)) {
      auto& bits = tag == kInputTag ? inputBits : outputBits;
      bits[globals.reportId] += std::uint64_t{globals.reportSize} * globals.reportCount;
    }
  }
  layout.inputLength = LengthOf(inputBits);
  layout.outputLength = LengthOf(outputBits);
  return layout;
}

}  // namespace orvo::hid
