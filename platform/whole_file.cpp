// Whole-file reads that never block and atomic replacements that keep the old file on failure.
#include "platform/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <utility>

namespace platform {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp.";

thread_local WriteError lastWriteError;

// Records the failure and answers false, so that a failing step reads `return Failed(...)`.
bool Failed(WriteFailure failure, int error) {
  NoteWriteFailure(failure, error);
  return false;
}

// What a failed system call on the file's data or on its folder means to the user.
WriteFailure FailureOfError(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT: return WriteFailure::kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return WriteFailure::kFolderNotWritable;
    default: return WriteFailure::kOther;
  }
}

bool FailedWithErrno() { return Failed(FailureOfError(errno), errno); }

// Writing through a symbolic link updates the file it points to and keeps the link.
std::optional<std::string> ResolvedTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

// Records why not when the answer is no.
bool MayWrite(const std::string& path, const struct stat& status) {
  if ((status.st_mode & 0222) == 0) return Failed(WriteFailure::kReadOnly, EACCES);
  if (::access(path.c_str(), W_OK) == 0) return true;
  const int error = errno;
  if (error == EROFS) return Failed(WriteFailure::kFolderNotWritable, error);
  if (error != EACCES) return Failed(WriteFailure::kOther, error);
  // Write bits are set, but not for us: the file is someone else's, or ours with only group
  // or others allowed to write it.
  return Failed(status.st_uid == ::getuid() ? WriteFailure::kReadOnly : WriteFailure::kNotOwner,
                error);
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The process that made entry as a temporary file of name: ".<name>.tmp.<pid>.<serial>",
// where <name> may itself be such a temporary file (a staged file written key by key).
std::optional<pid_t> TemporaryFileOwner(std::string_view entry, std::string_view name) {
  if (entry.size() < 2 || entry.front() != '.') return std::nullopt;
  entry.remove_prefix(1);
  const std::size_t serialDot = entry.rfind('.');
  if (serialDot == std::string_view::npos || !AllDigits(entry.substr(serialDot + 1))) {
    return std::nullopt;
  }
  const std::string_view rest = entry.substr(0, serialDot);
  const std::size_t mark = rest.rfind(kTemporaryMark);
  if (mark == std::string_view::npos) return std::nullopt;
  const std::string_view pidText = rest.substr(mark + kTemporaryMark.size());
  if (!AllDigits(pidText) || pidText.size() > 9) return std::nullopt;
  const std::string_view inner = rest.substr(0, mark);
  if (inner != name && !TemporaryFileOwner(inner, name)) return std::nullopt;
  return static_cast<pid_t>(std::atoi(std::string(pidText).c_str()));
}

// Whether name is a temporary file that this process made: ".<name>.tmp.<our pid>.<serial>".
bool IsOwnTemporaryFile(std::string_view name) {
  const std::string own = std::string(kTemporaryMark) + std::to_string(::getpid()) + ".";
  const std::size_t serialDot = name.rfind('.');
  if (name.size() < 2 || name.front() != '.' || serialDot == std::string_view::npos ||
      !AllDigits(name.substr(serialDot + 1))) {
    return false;
  }
  return name.substr(0, serialDot + 1).ends_with(own);
}

// Answers only for this pid namespace: a process in a container or a sandbox, or on another
// machine sharing the folder, looks gone from here. The lock on a temporary file tells those.
bool ProcessIsGone(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// A whole-file lock of the open file description, not of the process: closing another
// descriptor of the file (a staged file is rewritten in place through one) keeps it, and on NFS
// it is a real lock, where flock is emulated with POSIX locks that such a close drops. False
// with errno EAGAIN or EACCES when another description holds a lock that conflicts.
bool LockWholeFile(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;  // from the start, length 0: the whole file, however long it grows
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool HeldByAnother(int error) { return error == EAGAIN || error == EACCES; }

// Whether path still names the file open as fd, and not nothing or another file.
bool PathNamesFile(const std::string& path, int fd) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Locks a temporary file just made, for as long as it is ours. False when another process's
// clean-up got to it between its creation and the lock: it is removed, or about to be, and the
// caller takes the next name.
bool HoldNewTemporaryFile(int fd, const std::string& path) {
  if (!LockWholeFile(fd, F_WRLCK)) {
    if (HeldByAnother(errno)) {
      // A clean-up is trying it; should it leave it, it must not stay behind.
      if (PathNamesFile(path, fd)) ::unlink(path.c_str());
      return false;
    }
    // A file system without locks: only the process check of the clean-up protects the file.
  }
  return PathNamesFile(path, fd);
}

// Removes a regular file that no one holds a lock on. Finding out takes a read lock, which
// only a writer's lock refuses; it goes with the descriptor.
void RemoveUnlessHeld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && LockWholeFile(fd, F_RDLCK) &&
      PathNamesFile(path, fd)) {
    ::unlink(path.c_str());
  }
  ::close(fd);
}

// A write killed half-way leaves its temporary file; the next write of the same target removes
// those that no process holds. Its writer holds each from creation to rename, wherever it runs;
// a file whose process runs here stays too, as an older writer took no lock. Anything else
// stays, and so does a file on a file system without locks.
void RemoveLeftoverTemporaryFiles(const std::string& directory, std::string_view name) {
  DIR* folder = ::opendir(directory.empty() ? "." : directory.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::optional<pid_t> owner = TemporaryFileOwner(entry->d_name, name);
    if (!owner || *owner == ::getpid() || !ProcessIsGone(*owner)) continue;
    RemoveUnlessHeld(directory + entry->d_name);
  }
  ::closedir(folder);
}

// The mode a plain create gives a new file: 0666 less the umask. The umask is read, not set,
// since umask(2) changes it for every thread, and another thread may be creating a file at that
// moment. Without /proc the file stays the owner's only.
mode_t NewFileMode() {
  constexpr std::string_view kUmaskLine = "\nUmask:";
  const FileContents status = ReadRegularFile("/proc/self/status", 1u << 16);
  const std::size_t line = status.bytes.find(kUmaskLine);
  if (status.status != FileReadStatus::kRead || line == std::string::npos) return 0600;
  const char* first = status.bytes.data() + line + kUmaskLine.size();
  const char* last = status.bytes.data() + status.bytes.size();
  while (first != last && (*first == ' ' || *first == '\t')) ++first;
  unsigned mask = 0;
  if (std::from_chars(first, last, mask, 8).ec != std::errc{}) return 0600;
  return 0666 & ~static_cast<mode_t>(mask);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return FailedWithErrno();
    if (count == 0) return Failed(WriteFailure::kDiskFull, ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

FileContents ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  FileContents contents;
  // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    contents.status = errno == ENOENT ? FileReadStatus::kMissing : FileReadStatus::kFailed;
    contents.error = errno;
    return contents;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    contents.error = errno;
    ::close(fd);
    return contents;
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    contents.status = FileReadStatus::kNotRegular;
    return contents;
  }
  if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
    ::close(fd);
    contents.status = FileReadStatus::kTooLarge;
    return contents;
  }
  contents.bytes.reserve(std::min<std::size_t>(static_cast<std::size_t>(status.st_size), 1u << 26));
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      // The file may grow while it is read.
      if (static_cast<std::size_t>(count) > maxBytes - contents.bytes.size()) {
        ::close(fd);
        return {FileReadStatus::kTooLarge, {}};
      }
      contents.bytes.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      const int error = errno;
      ::close(fd);
      return {FileReadStatus::kFailed, {}, error};
    }
  }
  ::close(fd);
  contents.status = FileReadStatus::kRead;
  return contents;
}

FileReplacement::FileReplacement(std::string target, std::string temporary, int fd)
    : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

FileReplacement::~FileReplacement() {
  // Removed while still locked, so that no clean-up finds it unheld and no file of another
  // writer that took its name is removed.
  if (!committed_ && !InPlace() && fd_ >= 0 && PathNamesFile(temporary_, fd_)) {
    ::unlink(temporary_.c_str());
  }
  if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& path) {
  if (path.empty()) {
    Failed(WriteFailure::kOther, ENOENT);
    return nullptr;
  }
  const std::optional<std::string> target = ResolvedTarget(path);
  if (!target) {
    Failed(WriteFailure::kNotRegularFile, ENOENT);
    return nullptr;
  }
  struct stat old {};
  const bool existed = ::stat(target->c_str(), &old) == 0;
  if (!existed && errno != ENOENT) {
    Failed(WriteFailure::kOther, errno);
    return nullptr;
  }
  if (existed && !S_ISREG(old.st_mode)) {
    Failed(WriteFailure::kNotRegularFile, S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
    return nullptr;
  }
  if (existed && !MayWrite(*target, old)) return nullptr;

  const std::string directory = DirectoryOf(*target);
  const std::string name = target->substr(directory.size());
  if (existed && IsOwnTemporaryFile(name)) {
    // A file this process stages, written key by key: no one else reads it and only its own
    // final rename must be atomic, so it is rewritten where it is. A kill then leaves one
    // temporary file, not two, and only the final rename waits for the disk. It takes no lock:
    // the replacement that stages it holds one until its rename, which this one would conflict
    // with.
    const int fd = ::open(target->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
      FailedWithErrno();
      return nullptr;
    }
    NoteWriteFailure(WriteFailure::kNone, 0);
    return std::unique_ptr<FileReplacement>(new FileReplacement(*target, *target, fd));
  }
  RemoveLeftoverTemporaryFiles(directory, name);

  static std::atomic<unsigned> serial{0};
  const std::string prefix =
      directory + "." + name + std::string(kTemporaryMark) + std::to_string(::getpid()) + ".";
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = prefix + std::to_string(serial++);
    // No one else may read it before it has its mode: the target's may be narrower than a
    // new file's.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) {
      FailedWithErrno();
      return nullptr;
    }
    if (fd >= 0 && !HoldNewTemporaryFile(fd, temporary)) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    Failed(WriteFailure::kOther, EEXIST);
    return nullptr;
  }
  // Owned from here, so every failure below removes the temporary file.
  std::unique_ptr<FileReplacement> replacement(new FileReplacement(*target, temporary, fd));
  if (existed) {
    // Only root may give a file away, and for root this succeeds; anyone else keeps owning
    // what they write. Ownership goes first because chown clears set-id bits.
    [[maybe_unused]] const int chownResult = ::fchown(fd, old.st_uid, old.st_gid);
  }
  // An existing target keeps its mode; a new one gets what a plain create would have given it.
  if (::fchmod(fd, existed ? old.st_mode & 07777 : NewFileMode()) != 0) {
    Failed(WriteFailure::kOther, errno);
    return nullptr;
  }
  NoteWriteFailure(WriteFailure::kNone, 0);
  return replacement;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (fd_ < 0 || written_) return Failed(WriteFailure::kOther, EBADF);
  // The descriptor stays open, and with it the lock, until Commit or the destructor.
  if (!WriteAll(fd_, bytes)) return false;
  written_ = true;
  NoteWriteFailure(WriteFailure::kNone, 0);
  return true;
}

bool FileReplacement::Commit() {
  if (!written_ || committed_) return Failed(WriteFailure::kOther, EBADF);
  if (InPlace()) {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return FailedWithErrno();
    committed_ = true;
    NoteWriteFailure(WriteFailure::kNone, 0);
    return true;
  }
  // The new contents reach the disk before the rename, so a crash leaves the old file or the
  // whole new one; this also covers what was rewritten in place since Write.
  if (::fsync(fd_) != 0) return FailedWithErrno();
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return FailedWithErrno();
  committed_ = true;
  // The lock goes only now: up to the rename the file was held as ours.
  ::close(std::exchange(fd_, -1));
  // Makes the rename itself durable; the new contents are already on disk either way.
  const std::string directory = DirectoryOf(target_);
  const int directoryFd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd >= 0) {
    ::fsync(directoryFd);
    ::close(directoryFd);
  }
  NoteWriteFailure(WriteFailure::kNone, 0);
  return true;
}

bool ReplaceFileContents(const std::string& target, std::string_view bytes) {
  const std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(target);
  return replacement && replacement->Write(bytes) && replacement->Commit();
}

WriteError LastWriteError() { return lastWriteError; }

void NoteWriteFailure(WriteFailure failure, int error) {
  lastWriteError = {failure, failure == WriteFailure::kNone ? 0 : error};
}

}  // namespace platform
