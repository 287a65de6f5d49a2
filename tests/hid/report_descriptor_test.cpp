// Report lengths found in captured-style report descriptors.
#include "hid/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvo::hid {
namespace {

struct Case {
  const char* name;
  std::vector<std::uint8_t> descriptor;
  ReportLayout expected;
};

// A vendor-defined device with one 64-byte report each way, as the pedal controller has.
const std::vector<std::uint8_t> kVendor64 = {
    0x06, 0x00, 0xFF,                                // usage page (vendor)
    0x09, 0x01,                                      // usage
    0xA1, 0x01,                                      // collection (application)
    0x15, 0x00, 0x26, 0xFF, 0x00,                    // logical 0..255
    0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02,  // 64 x 8 bits input
    0x95, 0x40, 0x09, 0x01, 0x91, 0x02,              // 64 x 8 bits output
    0xC0};

// A numbered device: report 1 input 3 bytes, report 2 input 7 bytes plus a pushed and popped
// size, report 3 output 2 bytes.
const std::vector<std::uint8_t> kNumbered = {
    0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81,
    0x02, 0x85, 0x02, 0xA4, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xB4,  // 8 bits in pushed globals
    0x95, 0x06, 0x81, 0x02,                                            // 6 bytes after the pop
    0x85, 0x03, 0x95, 0x02, 0x91, 0x02, 0xC0};

TEST(ReportDescriptorTest, FindsLongestReportEachWay) {
  std::vector<std::uint8_t> truncated(kVendor64.begin(),
                                      kVendor64.begin() + 21);  // cut inside the output item
  const Case cases[] = {
      {"vendor 64", kVendor64, {false, 65, 65}},
      {"numbered", kNumbered, {true, 8, 3}},
      {"empty", {}, {false, 0, 0}},
      {"truncated", truncated, {false, 65, 0}},
      {"long item skipped",
       {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02},
       {false, 3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportLayout layout = ParseReportDescriptor(c.descriptor.data(), c.descriptor.size());
    EXPECT_EQ(layout.numbered, c.expected.numbered);
    EXPECT_EQ(layout.inputLength, c.expected.inputLength);
    EXPECT_EQ(layout.outputLength, c.expected.outputLength);
  }
  EXPECT_EQ(ParseReportDescriptor(nullptr, 10).inputLength, 0);
}

}  // namespace
}  // namespace orvo::hid
