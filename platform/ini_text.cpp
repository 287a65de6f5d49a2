// Encodings of INI files (UTF-8, UTF-16 with BOM, Windows-1252), UTF-8 walking and the
// locale-free case folding of section and key lookup.
#include "platform/ini_text.h"

#include <array>
#include <cstdint>

namespace platform::ini {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Windows-1252 bytes 0x80..0x9F. The five bytes Windows leaves undefined map to the C1
// control of the same value, as Windows' own conversion does, so they survive a rewrite.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Strict decoding: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& codePoint,
                  std::size_t& length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    codePoint = lead;
    length = 1;
    return true;
  }
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    minimum = 0x10000;
  } else {
    return false;
  }
  if (pos + length > text.size()) return false;
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) return false;
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  return codePoint >= minimum && codePoint <= 0x10FFFF &&
         !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  auto unitAt = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
  };
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i + 1 < bytes.size()) {
    char32_t unit = unitAt(i);
    i += 2;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < bytes.size()) {
      const char32_t low = unitAt(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
  }
  if (i < bytes.size()) AppendUtf8(out, kReplacement);
  return out;
}

std::string DecodeWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
  }
  return out;
}

void AppendUtf16Unit(std::string& out, char32_t unit, bool bigEndian) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

std::string EncodeUtf16(std::string_view utf8, bool bigEndian) {
  std::string out(bigEndian ? kUtf16BeBom : kUtf16LeBom);
  out.reserve(2 + utf8.size() * 2);
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp >= 0x10000) {
      AppendUtf16Unit(out, 0xD800 + ((cp - 0x10000) >> 10), bigEndian);
      AppendUtf16Unit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF), bigEndian);
    } else {
      AppendUtf16Unit(out, cp, bigEndian);
    }
  }
  return out;
}

std::optional<char> Windows1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == cp) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<std::string> EncodeWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto byte = Windows1252Byte(NextCodePoint(utf8, pos));
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

char32_t FoldCase(char32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  // Latin Extended-A pairs capital and small letters; which of the two is even changes
  // between runs. U+0130 and U+0131 (Turkish i) have no simple folding.
  const bool even = cp % 2 == 0;
  if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) ||
      (cp >= 0x14A && cp <= 0x177)) {
    return even ? cp + 1 : cp;
  }
  if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) {
    return even ? cp : cp + 1;
  }
  if (cp == 0x178) return 0xFF;
  if (cp == 0x17F) return 's';
  // Greek and Cyrillic capitals.
  if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) return cp + 0x20;
  if (cp == 0x386) return 0x3AC;
  if (cp >= 0x388 && cp <= 0x38A) return cp + 0x25;
  if (cp == 0x38C) return 0x3CC;
  if (cp == 0x38E || cp == 0x38F) return cp + 0x3F;
  if (cp == 0x3C2) return 0x3C3;
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  return cp;
}

}  // namespace

DecodedText DecodeFileBytes(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) {
    const std::string_view body = bytes.substr(kUtf8Bom.size());
    // A BOM before bytes that are not UTF-8 is a mislabelled ANSI file; keep its bytes.
    if (IsValidUtf8(body)) return {Encoding::kUtf8Bom, std::string(body)};
    return {Encoding::kWindows1252Bom, DecodeWindows1252(body)};
  }
  if (bytes.starts_with(kUtf16LeBom)) {
    return {Encoding::kUtf16LeBom, DecodeUtf16(bytes.substr(2), false)};
  }
  if (bytes.starts_with(kUtf16BeBom)) {
    return {Encoding::kUtf16BeBom, DecodeUtf16(bytes.substr(2), true)};
  }
  if (IsValidUtf8(bytes)) return {Encoding::kUtf8, std::string(bytes)};
  return {Encoding::kWindows1252, DecodeWindows1252(bytes)};
}

std::optional<std::string> EncodeText(std::string_view utf8, Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8: return std::string(utf8);
    case Encoding::kUtf8Bom: return std::string(kUtf8Bom) + std::string(utf8);
    case Encoding::kUtf16LeBom: return EncodeUtf16(utf8, false);
    case Encoding::kUtf16BeBom: return EncodeUtf16(utf8, true);
    case Encoding::kWindows1252: return EncodeWindows1252(utf8);
    case Encoding::kWindows1252Bom:
      if (std::optional<std::string> bytes = EncodeWindows1252(utf8)) {
        return std::string(kUtf8Bom) + *bytes;
      }
      return std::nullopt;
  }
  return std::nullopt;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    char32_t cp = 0;
    std::size_t length = 0;
    if (!DecodeUtf8At(text, pos, cp, length)) return false;
    pos += length;
  }
  return true;
}

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  char32_t cp = 0;
  std::size_t length = 0;
  if (!DecodeUtf8At(text, pos, cp, length)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::size_t PrefixBytesOfCodePoints(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < count && pos < text.size(); ++n) NextCodePoint(text, pos);
  return pos;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldCase(NextCodePoint(a, i)) != FoldCase(NextCodePoint(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

std::string FoldedCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 0x80) {  // the usual case, without decoding
      out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
      ++i;
    } else {
      AppendUtf8(out, FoldCase(NextCodePoint(text, i)));
    }
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace platform::ini
