// Helpers shared by the link tests: waiting for the link thread, counting threads, and running
// a check in a process of its own where the one-per-process library state starts fresh.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <string>
#include <thread>

#include "devlink/hid_library.h"

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
