// Staged replacement of a file: write a copy, then rename it over the original.
#include "app/backup/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace fs = std::filesystem;

namespace {

// The file that writes through a symbolic link reach, so the link itself stays.
std::optional<fs::path> RealTarget(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  fs::path resolved = fs::canonical(path, error);
  if (error) return std::nullopt;
  return resolved;
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Writes, flushes to disk and closes; false on any failure.
bool WriteAndClose(int fd, const std::string& bytes) {
  std::FILE* stream = ::fdopen(fd, "wb");
  if (stream == nullptr) {
    ::close(fd);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
  ok = std::fflush(stream) == 0 && ok;
  ok = ::fsync(::fileno(stream)) == 0 && ok;
  return std::fclose(stream) == 0 && ok;
}

}  // namespace

StagedFile::StagedFile(std::string target, std::string path)
    : target_(std::move(target)), path_(std::move(path)) {}

StagedFile::~StagedFile() {
  if (!committed_) ::unlink(path_.c_str());
}

std::unique_ptr<StagedFile> StagedFile::Begin(const std::string& target, Start start) {
  if (target.empty()) return nullptr;
  const std::optional<fs::path> real = RealTarget(target);
  if (!real) return nullptr;

  struct stat old {};
  const bool existed = ::stat(real->c_str(), &old) == 0;
  if (!existed && errno != ENOENT) return nullptr;
  if (existed && !S_ISREG(old.st_mode)) return nullptr;
  std::string bytes;
  if (existed && start == Start::CopyOfTarget) {
    std::optional<std::string> read = ReadBytes(*real);
    if (!read) return nullptr;
    bytes = std::move(*read);
  }

  const fs::path directory = real->parent_path();
  const std::string prefix = "." + real->filename().string() + ".staged." +
                             std::to_string(::getpid()) + ".";
  static std::atomic<unsigned> serial{0};
  std::string path;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    path = (directory / (prefix + std::to_string(serial++))).string();
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return nullptr;
  }
  if (fd < 0) return nullptr;
  // Owned from here, so every failure below removes the temporary file.
  std::unique_ptr<StagedFile> staged(new StagedFile(real->string(), path));

  if (existed) {
    // Only root may give a file away; anyone else keeps owning what they write. Ownership goes
    // first because chown clears set-id bits.
    [[maybe_unused]] const int chownResult = ::fchown(fd, old.st_uid, old.st_gid);
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
      ::close(fd);
      return nullptr;
    }
  }
  if (!WriteAndClose(fd, bytes)) return nullptr;
  return staged;
}

bool StagedFile::Commit() {
  if (committed_) return false;
  // What the file holds is on disk already: Begin syncs its copy, and the INI module syncs
  // every write.
  std::error_code error;
  fs::rename(path_, target_, error);
  if (error) return false;
  committed_ = true;
  const fs::path directory = fs::path(target_).parent_path();
  const int directoryFd = ::open(directory.empty() ? "." : directory.c_str(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd >= 0) {
    ::fsync(directoryFd);  // makes the rename itself durable
    ::close(directoryFd);
  }
  return true;
}
