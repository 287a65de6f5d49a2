// Text rules of INI files: the encodings a file may be in, UTF-8 walking, blanks and the
// letter-case folding that section and key lookup uses. Internal to the INI module.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::ini {

// kWindows1252Bom: a UTF-8 BOM before bytes that are not UTF-8, an ANSI file mislabelled by
// an editor; the BOM is kept in the file but is no part of the text.
enum class Encoding { kUtf8, kUtf8Bom, kUtf16LeBom, kUtf16BeBom, kWindows1252, kWindows1252Bom };

struct DecodedText {
  Encoding encoding = Encoding::kUtf8;
  std::string utf8;
};

// A BOM decides; without one, valid UTF-8 is UTF-8 and anything else is Windows-1252.
// Unpaired UTF-16 surrogates and a stray odd byte become U+FFFD.
DecodedText DecodeFileBytes(std::string_view bytes);

// The file form of valid UTF-8 text, BOM included; nullopt when a character has no
// Windows-1252 form (the other encodings hold every character).
std::optional<std::string> EncodeText(std::string_view utf8, Encoding encoding);

bool IsValidUtf8(std::string_view text);

// Code point at pos, advancing pos; an invalid sequence yields U+FFFD and advances one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t codePoint);

// Byte length of the first `count` code points of valid UTF-8 text.
std::size_t PrefixBytesOfCodePoints(std::string_view text, std::size_t count);

// Simple case folding for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic; independent
// of the process locale.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// The text with that folding applied: equal for exactly the texts EqualsIgnoringCase matches.
std::string FoldedCase(std::string_view text);

// Space, tab, vertical tab and form feed: the blanks trimmed around names and values.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);

}  // namespace platform::ini
