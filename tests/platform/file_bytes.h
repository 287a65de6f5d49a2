// A file's bytes as the platform reads them, for tests that look at what a write left.
#pragma once

#include <optional>
#include <string>

#include "platform/whole_file.h"

namespace file_bytes {

// Nothing for what is not a regular file; reading never waits on a FIFO.
inline std::optional<std::string> ReadBytes(const std::string& path) {
  platform::FileContents contents = platform::ReadRegularFile(path);
  if (contents.status != platform::FileReadStatus::kRead) return std::nullopt;
  return std::move(contents.bytes);
}

}  // namespace file_bytes
