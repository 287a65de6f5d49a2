// Helpers shared by the link tests: waiting for the link thread, counting threads, and running
// a check in a process of its own where the one-per-process library state starts fresh.
#pragma once

#include <gtest/gtest.h>

#include <dirent.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "devlink/hid_library.h"
#include "devlink/process.h"

namespace devlink::testing {

// Polls until done() holds; false after the limit. The link works on its own thread.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks))
      if (entry->d_name[0] != '.') ++count;
    closedir(tasks);
  }
  return count;
}

// An entry point of the loaded HID library that is not part of the table (test controls).
template <typename Fn>
Fn LibraryExport(const char* name) {
  const HidLibraryTable* hid = HidLibrary();
  return hid ? reinterpret_cast<Fn>(platform::GetProcAddress(hid->module, name)) : nullptr;
}

// Takes the hidden window's class for another procedure, so that no link can make its window,
// then starts and stops a link. @returns "" when it failed in state 3 with no window and left
// no thread behind. Changes the process for good: run it in a fresh process.
inline std::string StartAndStopWithoutWindow() {
  static constexpr platform::WindowProc kOtherProcedure =
      [](platform::WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) -> std::intptr_t {
    return 0;
  };
  if (!platform::RegisterClass(kHiddenWindowClass, kOtherProcedure)) return "class not taken";
  const int threads = ThreadCount();
  {
    Process link;
    if (link.State() != kLinkFailed) return "state " + std::to_string(link.State());
    if (link.HiddenWindow() != 0) return "window handle";
  }
  // A joined thread can still be listed for a moment while the kernel finishes it.
  return WaitFor([threads] { return ThreadCount() == threads; }) ? "" : "thread left behind";
}

// Runs body in a child process; body returns "" on success or says what went wrong.
#define EXPECT_IN_FRESH_PROCESS(...)                   \
  do {                                                 \
    GTEST_FLAG_SET(death_test_style, "threadsafe");    \
    EXPECT_EXIT(                                       \
        {                                              \
          const std::string failure = (__VA_ARGS__)(); \
          std::fputs(failure.c_str(), stderr);         \
          std::fflush(stderr);                         \
          std::_Exit(failure.empty() ? 0 : 1);         \
        },                                             \
        ::testing::ExitedWithCode(0), "");             \
  } while (false)

}  // namespace devlink::testing
