// The private-profile functions: reads go through the INI line model; every write replaces
// the whole file atomically, keeping its encoding, line endings and permissions.
#include "platform/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "platform/ini_document.h"
#include "platform/ini_text.h"
#include "platform/ini_write_hook.h"

namespace platform {
namespace {

std::atomic<ini::BeforeReplaceHook> beforeReplaceHook{nullptr};

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

// Replaces the file through a temporary one beside it; the test seam may fail the write once
// the new text is complete. On any failure the target is untouched.
bool ReplaceFile(const std::string& target, std::string_view bytes) {
  const std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(target);
  if (!replacement || !replacement->Write(bytes)) return false;
  const ini::BeforeReplaceHook hook = beforeReplaceHook.load();
  if (hook != nullptr && !hook(replacement->TemporaryPath())) {
    NoteWriteFailure(WriteFailure::kOther, EIO);
    return false;
  }
  return replacement->Commit();
}

// Why a file that exists could not be read before its rewrite.
WriteFailure FailureOfUnreadable(const std::string& file, const FileContents& old) {
  if (old.status == FileReadStatus::kNotRegular) return WriteFailure::kNotRegularFile;
  struct stat status {};
  if (old.error == EACCES && ::stat(file.c_str(), &status) == 0 && status.st_uid != ::getuid()) {
    return WriteFailure::kNotOwner;
  }
  return WriteFailure::kOther;
}

}  // namespace

namespace ini {
void SetBeforeReplaceHook(BeforeReplaceHook hook) { beforeReplaceHook.store(hook); }
}  // namespace ini

ProfileFile::ProfileFile(const std::string& file, std::size_t maxBytes) {
  FileContents contents = ReadRegularFile(file, maxBytes);
  status_ = contents.status;
  if (status_ == FileReadStatus::kRead) {
    index_ = std::make_unique<ini::IniIndex>(ini::DecodeFileBytes(contents.bytes).utf8);
  }
}

ProfileFile::~ProfileFile() = default;

std::optional<std::string> ProfileFile::Find(std::string_view section, std::string_view key) const {
  if (!index_ || ini::TrimBlanks(section).empty() || ini::TrimBlanks(key).empty()) {
    return std::nullopt;
  }
  return index_->Find(section, key);
}

bool ProfileFile::HasSection(std::string_view section) const {
  return index_ && !ini::TrimBlanks(section).empty() && index_->HasSection(section);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  const std::optional<std::string> text = Find(section, key);
  return text ? ParseProfileInt(*text) : defaultValue;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t size) const {
  if (size == 0) return {};
  const std::optional<std::string> found = Find(section, key);
  const std::string_view text = found ? std::string_view(*found) : defaultValue;
  return std::string(text.substr(0, ini::PrefixBytesOfCodePoints(text, size - 1)));
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file) {
  return ProfileFile(file).GetInt(section, key, defaultValue);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t size,
                                    const std::string& file) {
  return ProfileFile(file).GetString(section, key, defaultValue, size);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file) {
  if (file.empty() || !ini::CanWrite(section, key, value)) {
    NoteWriteFailure(WriteFailure::kOther, EINVAL);
    return false;
  }
  const FileContents old = ReadRegularFile(file);
  // A file that exists but cannot be read must not be replaced by one holding only this key;
  // nor is anything but a regular file ever replaced.
  if (old.status != FileReadStatus::kRead && old.status != FileReadStatus::kMissing) {
    NoteWriteFailure(FailureOfUnreadable(file, old), old.error != 0 ? old.error : EINVAL);
    return false;
  }
  const bool existed = old.status == FileReadStatus::kRead;
  const ini::DecodedText decoded = existed ? ini::DecodeFileBytes(old.bytes) : ini::DecodedText{};
  ini::IniDocument document(decoded.utf8);
  document.Set(section, key, value);
  const std::string text = document.Text();
  std::optional<std::string> encoded = ini::EncodeText(text, decoded.encoding);
  // A Windows-1252 file given a character it has no byte for becomes UTF-16 with BOM: the
  // one form that keeps every character and that the Windows profile functions also read.
  if (!encoded) encoded = ini::EncodeText(text, ini::Encoding::kUtf16LeBom);
  if (existed && *encoded == old.bytes) {
    NoteWriteFailure(WriteFailure::kNone, 0);
    return true;
  }
  return ReplaceFile(file, *encoded);
}

}  // namespace platform
