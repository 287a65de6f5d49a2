// The private-profile functions: reads go through the INI line model; every write replaces
// the whole file atomically, keeping its encoding, line endings and permissions.
#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/ini_document.h"
#include "platform/ini_text.h"
#include "platform/ini_write_hook.h"

namespace platform {
namespace {

std::atomic<ini::BeforeReplaceHook> beforeReplaceHook{nullptr};

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
  bytes.clear();
  char buffer[16384];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      bytes.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      ::close(fd);
      return ReadResult::kFailed;
    }
  }
  ::close(fd);
  return ReadResult::kRead;
}

std::optional<std::string> LookUp(std::string_view section, std::string_view key,
                                  const std::string& file) {
  if (ini::TrimBlanks(section).empty() || ini::TrimBlanks(key).empty()) return std::nullopt;
  std::string bytes;
  if (ReadWholeFile(file, bytes) != ReadResult::kRead) return std::nullopt;
  return ini::IniDocument(ini::DecodeFileBytes(bytes).utf8).Find(section, key);
}

// Optional blanks, optional sign, decimal digits; the digits wrap modulo 2^32, so whatever
// "%d" or "%u" wrote for a 32-bit value reads back as the same bits.
int ParseProfileInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && ini::IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

// Writing through a symbolic link updates the file it points to and keeps the link.
std::optional<std::string> WriteTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                        &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

// Writes a temporary file beside the target and renames it over the target, so a reader sees
// the old file or the new one, never a part. On any failure the target is untouched and the
// temporary file is removed.
bool ReplaceFile(const std::string& target, std::string_view bytes) {
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) return false;

  const std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = target.substr(directory.size());
  static std::atomic<unsigned> serial{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = directory + "." + name + ".tmp." + std::to_string(::getpid()) + "." +
                std::to_string(serial++);
    // A new file gets the usual 0666 less the umask, as a plain create would.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  if (existed) {
    // Only root may give a file away, and for root this succeeds; anyone else keeps owning
    // what they write. Ownership goes first because chown clears set-id bits.
    [[maybe_unused]] const int chownResult = ::fchown(fd, old.st_uid, old.st_gid);
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) {
    const ini::BeforeReplaceHook hook = beforeReplaceHook.load();
    ok = hook == nullptr || hook(temporary);
  }
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Makes the rename itself durable; the new contents are already on disk either way.
  const int directoryFd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directoryFd >= 0) {
    ::fsync(directoryFd);
    ::close(directoryFd);
  }
  return true;
}

}  // namespace

namespace ini {
void SetBeforeReplaceHook(BeforeReplaceHook hook) { beforeReplaceHook.store(hook); }
}  // namespace ini

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file) {
  const std::optional<std::string> text = LookUp(section, key, file);
  return text ? ParseProfileInt(*text) : defaultValue;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t size,
                                    const std::string& file) {
  if (size == 0) return {};
  const std::optional<std::string> found = LookUp(section, key, file);
  const std::string_view text = found ? std::string_view(*found) : defaultValue;
  return std::string(text.substr(0, ini::PrefixBytesOfCodePoints(text, size - 1)));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file) {
  if (file.empty() || !ini::CanWrite(section, key, value)) return false;
  const std::optional<std::string> target = WriteTarget(file);
  if (!target) return false;
  std::string bytes;
  const ReadResult read = ReadWholeFile(*target, bytes);
  // A file that exists but cannot be read must not be replaced by one holding only this key.
  if (read == ReadResult::kFailed) return false;
  const ini::DecodedText decoded =
      read == ReadResult::kRead ? ini::DecodeFileBytes(bytes) : ini::DecodedText{};
  ini::IniDocument document(decoded.utf8);
  document.Set(section, key, value);
  const std::string text = document.Text();
  std::optional<std::string> encoded = ini::EncodeText(text, decoded.encoding);
  // A Windows-1252 file given a character it has no byte for becomes UTF-16 with BOM: the
  // one form that keeps every character and that the Windows profile functions also read.
  if (!encoded) encoded = ini::EncodeText(text, ini::Encoding::kUtf16LeBom);
  if (read == ReadResult::kRead && *encoded == bytes) return true;
  return ReplaceFile(*target, *encoded);
}

}  // namespace platform
