// Report lengths from a HID report descriptor, as the kernel's hidraw node gives it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo::hid {

struct ReportLayout {
  bool numbered = false;  // reports carry a report id in their first byte
  // Longest input and output report in bytes, the report id byte included (also for
  // unnumbered reports, whose id byte is 0), 0 when the device has none.
  int inputLength = 0;
  int outputLength = 0;
};

// Walks the descriptor's items. A truncated or malformed descriptor gives what was read up to
// the fault.
ReportLayout ParseReportDescriptor(const std::uint8_t* descriptor, std::size_t size);

}  // namespace orvo::hid
