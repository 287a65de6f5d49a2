// Whole-file reads and replacements: the one way the program reads a file it was given and
// the one way it replaces a file it writes (settings, backups, chart XML and images).
//
// Reads open regular files only (a symbolic link is followed) and never block: a FIFO, a
// device or a folder is not opened for reading at all. A replacement goes through a temporary
// file beside the target, written, flushed and renamed over the target, so a reader sees the
// old file or the new one, never a part; the new file keeps the old one's permissions, and a
// symbolic link is followed and kept.
//
// The temporary file is ".<name>.tmp.<pid>.<serial>". It is made readable by its owner only,
// and takes the target's permissions (a new target's: 0666 less the umask) before anything is
// written to it. From its creation to its rename or removal it holds a whole-file
// open-file-description lock (fcntl F_OFD_SETLK). The clean-up of leftovers removes only files
// that no one holds: the process id in the name is no proof, since it names a process in the
// writer's pid namespace, which may be a container's, a sandbox's or another machine's.
//
// Who may write a file: an existing target is refused when none of its write bits is set, and
// when the process is not allowed to write it (access(2)). The mode bits come first because
// root passes access(2) for any file, yet a file made read-only is how a user freezes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class FileReadStatus {
  kRead,
  kMissing,     // nothing at that path (or a symbolic link to nothing)
  kNotRegular,  // a folder, FIFO, socket or device
  kTooLarge,    // more bytes than the limit
  kFailed,      // it exists but cannot be opened or read
};

struct FileContents {
  FileReadStatus status = FileReadStatus::kFailed;
  std::string bytes;  // the whole file when status is kRead
  int error = 0;      // the errno behind kFailed
};

inline constexpr std::size_t kNoFileSizeLimit = SIZE_MAX;

// Why a write left its file as it was, in the terms a user can act on.
enum class WriteFailure {
  kNone,               // the last write succeeded
  kReadOnly,           // the file has no write permission for us, and it is ours: frozen
  kNotOwner,           // the file belongs to another user who does not let us write it
  kFolderNotWritable,  // nothing may be created or renamed in the file's folder
  kDiskFull,           // no space or quota left
  kNotRegularFile,     // a folder, FIFO, socket or device, or a symbolic link to nothing
  kOther,              // anything else; error says what
};

struct WriteError {
  WriteFailure failure = WriteFailure::kNone;
  int error = 0;  // the errno behind it; 0 for kNone
};

// What became of this thread's last replacement (Begin, Write, Commit, ReplaceFileContents) or
// write through the INI module, as errno tells of the last system call.
WriteError LastWriteError();

// For writers built on these functions (the INI module): records why their write failed.
void NoteWriteFailure(WriteFailure failure, int error);

// The bytes of the regular file at path, read once, at most maxBytes of them.
FileContents ReadRegularFile(const std::string& path, std::size_t maxBytes = kNoFileSizeLimit);

// A replacement of one file in two steps, for callers that fill the temporary file through
// its path: Begin, write the temporary file, Commit. Destroying it uncommitted removes the
// temporary file and leaves the target as it was.
class FileReplacement {
 public:
  // Nothing when the target (what a symbolic link points to) exists and is not a regular file
  // or may not be written, when a link leads nowhere, or when the temporary file cannot be
  // made (LastWriteError() says why). Leftover temporary files of this target are removed
  // first: those that no process holds and whose process does not run here. The temporary file
  // is empty, has the target's permissions and is held until Commit or destruction. A target
  // that is itself a temporary file of this process (one being staged) is rewritten in place,
  // without a lock of its own: the replacement that stages it holds it, and its own final
  // replacement is the atomic step.
  static std::unique_ptr<FileReplacement> Begin(const std::string& target);

  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The temporary file beside the file that is replaced (a symbolic link resolved).
  const std::string& TemporaryPath() const { return temporary_; }

  // Writes bytes as the temporary file's whole contents. Once only. The file stays open and
  // held: it may still be rewritten in place through its path until Commit.
  bool Write(std::string_view bytes);

  // Flushes the temporary file to disk and renames it over the target, then lets the lock go.
  // False leaves the target as it was.
  bool Commit();

 private:
  FileReplacement(std::string target, std::string temporary, int fd);
  // A temporary file of this process's own (a staged file) is rewritten where it is.
  bool InPlace() const { return temporary_ == target_; }

  std::string target_;
  std::string temporary_;
  int fd_;  // the temporary file, open (and locked, unless in place) until Commit
  bool written_ = false;
  bool committed_ = false;
};

// Begin, Write and Commit in one: the target holds bytes, or is left as it was and false.
bool ReplaceFileContents(const std::string& target, std::string_view bytes);

}  // namespace platform
