// Test controls exported by the fake HID libraries next to the twenty entry points; tests look
// them up in the loaded module, so the fake stays loaded only through the link's own load.
#pragma once

#include <cstdint>

extern "C" {

// Devices the fake knows.
inline constexpr std::uint32_t kFakeController = 0x11;  // 0x0444 / 0x22A5
inline constexpr std::uint32_t kFakeDisplay = 0x22;     // 0x0444 / 0xB1A5
inline constexpr std::uint32_t kFakeStranger = 0x33;    // 0x0444 / 0x1234

using FakeHidResetFn = void (*)();
// Posts the HID event message to the connected window. @returns 1 when posted.
using FakeHidPostFn = int (*)(std::uint32_t message, std::uintptr_t event, std::uint32_t handle);
using FakeHidSetControllerFn = void (*)(int attached);
// The report that Read hands out from now on (128 bytes), and whether Read succeeds.
using FakeHidSetReportFn = void (*)(const std::uint8_t* report, int readSucceeds);
using FakeHidSetReadDelayFn = void (*)(int milliseconds);
using FakeHidReadsInProgressFn = int (*)();
// Calls made so far to the named entry point.
using FakeHidCallsFn = int (*)(const char* entryPoint);
using FakeHidWriteCountFn = int (*)();
// The index-th WriteEx: ids and the 128-byte buffer. @returns 0 when out of range.
using FakeHidWrittenFn = int (*)(int index, int* vendorId, int* productId, std::uint8_t* report);
}
