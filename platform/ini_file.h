// Private-profile (INI) files with the observable behaviour of the Windows profile functions.
// Strings are UTF-8; "characters" below are Unicode code points.
//
// File rules: "[name]" starts a section (the name runs to the line's last ']'); "key=value"
// is a key; lines starting with ';' or '#' are comments; a line without '=' is a key without a
// value, which reads as missing (as on Windows) and is replaced where it stands when that key is
// written. Names and values are trimmed of blanks, and one pair of matching outer quotes
// (" or ') is removed from a value. Section and key lookup ignores letter case (ASCII, Latin,
// Greek, Cyrillic); of duplicate sections or keys the first wins. Lines before the first
// section belong to none. A file may be UTF-8 with or without BOM, UTF-16 LE or BE with BOM,
// or Windows-1252 (anything that is not valid UTF-8), with CRLF, LF or CR line ends; a BOM is
// never part of the text.
//
// Only regular files (or symbolic links to them) are read or written; anything else at the
// path reads as missing and cannot be written, and nothing waits on it. A file that may not be
// written (see whole_file.h) is left as it is and the write fails.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/whole_file.h"

namespace platform {

namespace ini {
class IniIndex;
}

// One reading of a whole file for many lookups, with the rules of the functions below. For a
// file of the user's choice, maxBytes keeps an oversized one from being read at all.
class ProfileFile {
 public:
  explicit ProfileFile(const std::string& file, std::size_t maxBytes = kNoFileSizeLimit);
  ~ProfileFile();
  ProfileFile(const ProfileFile&) = delete;
  ProfileFile& operator=(const ProfileFile&) = delete;

  // kRead, or why the file reads as empty.
  FileReadStatus Status() const { return status_; }

  // The key's text (trimmed, one pair of outer quotes removed), nothing when missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Whether the file holds a header of the section.
  bool HasSection(std::string_view section) const;
  // As GetPrivateProfileInt and GetPrivateProfileString.
  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::size_t size) const;

 private:
  FileReadStatus status_;
  std::unique_ptr<ini::IniIndex> index_;  // nothing unless status_ is kRead
};

// Integer value of the key, or defaultValue when the file, the section or the key is missing.
// The text is read as optional white space, optional sign and decimal digits, taken modulo 2^32
// as a signed 32-bit value; a text with no digits (an empty one too) reads as 0.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file);

// Text of the key (trimmed, one pair of outer quotes removed), or defaultValue when missing,
// cut to at most size - 1 characters; size 0 gives "".
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t size,
                                    const std::string& file);

// Writes one key, keeping the rest of the file; creates the file, the section or the key as
// needed. An existing key keeps its line and spelling; a new key goes after the section's last
// line that is neither blank nor a comment; a new section goes at the end. A value that would
// not read back as written (outer blanks or quotes) is put in double quotes.
// The file keeps its encoding and line ends; a new file is UTF-8 without BOM with CRLF, and a
// Windows-1252 file given a character it lacks becomes UTF-16 LE with BOM.
// Replaces the file atomically, keeping its permissions. Returns false (file unchanged) on any
// failure, and for what could not be read back: a line break or NUL anywhere, invalid UTF-8,
// an empty section or key, or a key holding '=' or starting with '[', ';' or '#'.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

}  // namespace platform
