// One INI file's text as its lines, with key lookup and in-place update that keep every other
// line byte for byte. Internal to the INI module; works on UTF-8 text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::ini {

class IniDocument {
 public:
  // Lines end in CRLF, LF or a lone CR; each line keeps its own ending. Lines added later
  // end as the file's first line does (CRLF when the file has no line ending yet).
  explicit IniDocument(std::string_view text);

  // Value of the key in the first section of that name (names trimmed, letter case ignored),
  // trimmed and with one pair of matching outer quotes removed; nullopt when missing, and when
  // the first line of that key has no '='.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Sets the key in the first section of that name: an existing key keeps its line and its
  // spelling; a new key goes after the section's last line that is neither blank nor a comment
  // (straight after the header when there is none), so trailing comments and blank lines stay
  // with the next section; a new section goes at the end. The value is quoted when reading it
  // back would otherwise change it. Names and value must have passed CanWrite.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  struct Line {
    std::string text;
    std::string ending;  // "\r\n", "\n", "\r", or "" for a last line without one
  };

  // Index of the first header of the section, or lines_.size().
  std::size_t FindSection(std::string_view section) const;
  void Insert(std::size_t index, std::string text);

  std::vector<Line> lines_;
  std::string newline_;
};

// The keys of a whole file, for many lookups from one reading: each lookup takes the same
// time however large the file is. Finds what IniDocument::Find finds.
class IniIndex {
 public:
  explicit IniIndex(std::string_view text);
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Whether a header of the section is there, with or without keys.
  bool HasSection(std::string_view section) const;

 private:
  // By folded section name, then by folded key name: the value text, quotes removed; nothing
  // for a key line without '='.
  std::unordered_map<std::string, std::unordered_map<std::string, std::optional<std::string>>>
      sections_;
};

// False for what could not be read back as written: a line break or NUL anywhere, invalid
// UTF-8, an empty (or all-blank) section or key, and a key holding '=' or starting with '[',
// ';' or '#' (it would read as a header or a comment).
bool CanWrite(std::string_view section, std::string_view key, std::string_view value);

}  // namespace platform::ini
