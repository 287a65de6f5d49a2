// Staged replacement of a file: write a copy, then rename it over the original.
#include "app/backup/staged_file.h"

#include "platform/whole_file.h"

namespace app {

StagedFile::StagedFile(std::unique_ptr<platform::FileReplacement> replacement)
    : replacement_(std::move(replacement)) {}

StagedFile::~StagedFile() = default;

const std::string& StagedFile::Path() const { return replacement_->TemporaryPath(); }

std::unique_ptr<StagedFile> StagedFile::Begin(const std::string& target, Start start) {
  std::string bytes;
  if (start == Start::kCopyOfTarget) {
    platform::FileContents old = platform::ReadRegularFile(target);
    if (old.status == platform::FileReadStatus::kRead) {
      bytes = std::move(old.bytes);
    } else if (old.status != platform::FileReadStatus::kMissing) {
      return nullptr;
    }
  }
  std::unique_ptr<platform::FileReplacement> replacement = platform::FileReplacement::Begin(target);
  // Later writes through the INI module rewrite it in place; Commit flushes it to disk.
  if (!replacement || !replacement->Write(bytes)) return nullptr;
  return std::unique_ptr<StagedFile>(new StagedFile(std::move(replacement)));
}

bool StagedFile::Commit() { return replacement_->Commit(); }

}  // namespace app
