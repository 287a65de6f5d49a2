// A temporary file beside a target that takes a series of writes and then replaces the target
// in one rename, so that the target holds either all of the writes or none of them.
#pragma once

#include <memory>
#include <string>

namespace platform {
class FileReplacement;
}

namespace app {

class StagedFile {
 public:
  enum class Start { kEmpty, kCopyOfTarget };

  // Creates the temporary file beside target (beside the file a symbolic link points to),
  // empty or holding the target's bytes, with the target's permissions when it exists.
  // Nothing when the target exists but is not a regular file, may not be written (see
  // platform/whole_file.h) or, to be copied, cannot be read, or the folder is not writable.
  static std::unique_ptr<StagedFile> Begin(const std::string& target, Start start);

  // Removes the temporary file unless it was committed.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Where to write.
  const std::string& Path() const;

  // Renames the temporary file over the target. False leaves the target as it was.
  bool Commit();

 private:
  explicit StagedFile(std::unique_ptr<platform::FileReplacement> replacement);

  std::unique_ptr<platform::FileReplacement> replacement_;
};

}  // namespace app
