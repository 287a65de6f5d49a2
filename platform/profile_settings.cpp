// Settings-file helpers over the INI module, with locale-free number text.
#include "platform/profile_settings.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <system_error>

#include "platform/ini_file.h"

namespace {

// Numbers are read from the first 63 characters of their text.
constexpr std::size_t kFloatTextCharacters = 63;

template <typename... Format>
std::string NumberText(auto value, Format... format) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

// The "C" locale as an object, so parsing never depends on setlocale.
locale_t CLocale() {
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

bool WriteProfileInt(const std::string& section, const std::string& key, int value,
                     const std::string& file) {
  return platform::WritePrivateProfileString(section, key, NumberText(value), file);
}

bool WriteProfileFloat(const std::string& section, const std::string& key, float value,
                       const std::string& file) {
  // Same digits as "%.1f" in the "C" locale, from the value widened to double.
  const std::string text = NumberText(static_cast<double>(value), std::chars_format::fixed, 1);
  return !text.empty() && platform::WritePrivateProfileString(section, key, text, file);
}

float ReadProfileFloat(const std::string& section, const std::string& key, float defaultValue,
                       const std::string& file) {
  const std::string text =
      platform::GetPrivateProfileString(section, key, "", kFloatTextCharacters + 1, file);
  if (text.empty()) return defaultValue;
  const locale_t locale = CLocale();
  // glibc hands out its built-in "C" locale here without allocating; never null in practice.
  if (locale == static_cast<locale_t>(0)) return 0.0f;
  return static_cast<float>(::strtod_l(text.c_str(), nullptr, locale));
}
