// What the hidapi backend learns about a hidraw node without opening it, and the text
// conversion of hidapi's strings.
#pragma once

#include <string>

#include "hid/report_descriptor.h"

namespace orvo::hid {

// True for "/dev/hidraw<number>" only: hidapi misbehaves on any other path.
bool IsHidrawPath(const char* path);

// hidapi's wide strings (UTF-32 on Linux) as UTF-8; code points that are not characters
// become U+FFFD. A null text gives "".
std::string WideToUtf8(const wchar_t* text);

// The report layout from the node's report descriptor, which the kernel publishes under
// sysfsRoot/<node>/device/report_descriptor. Lengths are capped at MCHID_BUFFER_SIZE; an
// unreadable descriptor gives no reports.
ReportLayout ReadNodeLayout(const std::string& devicePath,
                            const std::string& sysfsRoot = "/sys/class/hidraw");

}  // namespace orvo::hid
