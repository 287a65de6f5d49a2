// Line model of an INI file: classification of lines, lookup and in-place update of keys.
#include "platform/ini_document.h"

#include "platform/ini_text.h"

namespace platform::ini {
namespace {

enum class LineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;  // section or key name, trimmed
  // Key lines: first byte of the value text after the blanks; npos for a line without '='.
  std::size_t valueStart = 0;
  std::string_view value;  // key lines: value text, trimmed, quotes still on
};

ParsedLine LineOf(LineKind kind, std::string_view name = {}) {
  ParsedLine line;
  line.kind = kind;
  line.name = name;
  return line;
}

// ';' and '#' start comments. A header runs to the line's last ']' as Windows reads it, so a
// name may hold ']'; a '[' without any ']' is no header. A line without '=' is a key without a
// value, as the Windows profile functions take it: it reads as missing, yet a write of that key
// replaces it where it stands. A line with nothing before its '=' is no key: lookup passes over
// it and it stays as it is.
ParsedLine ParseLine(std::string_view text) {
  const std::string_view body = TrimBlanks(text);
  if (body.empty()) return LineOf(LineKind::kBlank);
  if (body.front() == ';' || body.front() == '#') return LineOf(LineKind::kComment);
  if (body.front() == '[') {
    const std::size_t close = body.rfind(']');
    if (close == std::string_view::npos) return LineOf(LineKind::kOther);
    return LineOf(LineKind::kSection, TrimBlanks(body.substr(1, close - 1)));
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    ParsedLine line = LineOf(LineKind::kKey, body);
    line.valueStart = std::string_view::npos;
    return line;
  }
  const std::string_view name = TrimBlanks(text.substr(0, equals));
  if (name.empty()) return LineOf(LineKind::kOther);
  std::size_t valueStart = equals + 1;
  while (valueStart < text.size() && IsBlank(text[valueStart])) ++valueStart;
  ParsedLine line = LineOf(LineKind::kKey, name);
  line.valueStart = valueStart;
  line.value = TrimBlanks(text.substr(equals + 1));
  return line;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool HasOuterQuotes(std::string_view text) {
  return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

std::string_view Unquote(std::string_view text) {
  return HasOuterQuotes(text) ? text.substr(1, text.size() - 2) : text;
}

// Reading trims blanks and drops one pair of outer quotes; a value that either would change
// is written inside a pair of double quotes, which Windows reads the same way.
std::string FileFormOfValue(std::string_view value) {
  const bool needsQuotes =
      !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || HasOuterQuotes(value));
  return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool HasNoLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

IniDocument::IniDocument(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines_.push_back({std::string(text.substr(start)), ""});
      break;
    }
    const std::size_t endingSize =
        (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    lines_.push_back(
        {std::string(text.substr(start, end - start)), std::string(text.substr(end, endingSize))});
    if (newline_.empty()) newline_ = lines_.back().ending;
    start = end + endingSize;
  }
  if (newline_.empty()) newline_ = "\r\n";
}

std::size_t IniDocument::FindSection(std::string_view section) const {
  section = TrimBlanks(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine line = ParseLine(lines_[i].text);
    if (line.kind == LineKind::kSection && EqualsIgnoringCase(line.name, section)) return i;
  }
  return lines_.size();
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  key = TrimBlanks(key);
  for (std::size_t i = FindSection(section) + 1; i < lines_.size(); ++i) {
    const ParsedLine line = ParseLine(lines_[i].text);
    if (line.kind == LineKind::kSection) break;
    if (line.kind == LineKind::kKey && EqualsIgnoringCase(line.name, key)) {
      // A bare key hides a later one of the same name, as the first of duplicates does.
      if (line.valueStart == std::string_view::npos) return std::nullopt;
      return std::string(Unquote(line.value));
    }
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const std::string keyLine = std::string(key) + "=" + FileFormOfValue(value);
  const std::size_t header = FindSection(section);
  if (header == lines_.size()) {
    Insert(lines_.size(), "[" + std::string(section) + "]");
    Insert(lines_.size(), keyLine);
    return;
  }
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    const ParsedLine line = ParseLine(lines_[i].text);
    if (line.kind == LineKind::kSection) break;
    if (line.kind == LineKind::kKey && EqualsIgnoringCase(line.name, key)) {
      std::string& text = lines_[i].text;
      if (line.valueStart == std::string_view::npos) {
        text = std::string(text.substr(0, text.find_last_not_of(" \t\v\f") + 1)) + "=" +
               FileFormOfValue(value);
      } else {
        text = text.substr(0, line.valueStart) + FileFormOfValue(value);
      }
      return;
    }
    if (line.kind == LineKind::kKey || line.kind == LineKind::kOther) insertAt = i + 1;
  }
  Insert(insertAt, keyLine);
}

void IniDocument::Insert(std::size_t index, std::string text) {
  if (index > 0 && lines_[index - 1].ending.empty()) lines_[index - 1].ending = newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), {std::move(text), newline_});
}

IniIndex::IniIndex(std::string_view text) {
  std::unordered_map<std::string, std::optional<std::string>>* keys = nullptr;  // of this section
  // Lines end as IniDocument splits them: CRLF, LF or a lone CR.
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const ParsedLine line = ParseLine(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    if (line.kind == LineKind::kSection) {
      // Only the first section of a name is read; later ones, and their keys, are passed over.
      const auto [found, added] = sections_.try_emplace(FoldedCase(line.name));
      keys = added ? &found->second : nullptr;
    } else if (line.kind == LineKind::kKey && keys != nullptr) {
      std::optional<std::string> value;
      if (line.valueStart != std::string_view::npos) value = std::string(Unquote(line.value));
      keys->try_emplace(FoldedCase(line.name), std::move(value));
    }
  }
}

std::optional<std::string> IniIndex::Find(std::string_view section, std::string_view key) const {
  const auto keys = sections_.find(FoldedCase(TrimBlanks(section)));
  if (keys == sections_.end()) return std::nullopt;
  const auto value = keys->second.find(FoldedCase(TrimBlanks(key)));
  if (value == keys->second.end()) return std::nullopt;
  return value->second;  // nothing for a bare key
}

bool IniIndex::HasSection(std::string_view section) const {
  return sections_.contains(FoldedCase(TrimBlanks(section)));
}

std::string IniDocument::Text() const {
  std::string out;
  for (const Line& line : lines_) out += line.text + line.ending;
  return out;
}

bool CanWrite(std::string_view section, std::string_view key, std::string_view value) {
  for (const std::string_view text : {section, key, value}) {
    if (!HasNoLineBreakOrNul(text) || !IsValidUtf8(text)) return false;
  }
  const std::string_view trimmedKey = TrimBlanks(key);
  if (TrimBlanks(section).empty() || trimmedKey.empty()) return false;
  if (trimmedKey.find('=') != std::string_view::npos) return false;
  const char first = trimmedKey.front();
  return first != '[' && first != ';' && first != '#';
}

}  // namespace platform::ini
