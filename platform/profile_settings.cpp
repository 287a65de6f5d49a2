// Settings-file helpers over the INI module, with locale-free number text.
#include "platform/profile_settings.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/ini_file.h"

namespace platform {

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

std::mutex failureHandlerMutex;
ProfileWriteFailureHandler failureHandler;

// The one way both helpers write, so that no failure goes untold.
bool WriteProfileText(const std::string& section, const std::string& key, const std::string& text,
                      const std::string& file) {
  if (text.empty()) {
    NoteWriteFailure(WriteFailure::kOther, EOVERFLOW);
  } else if (WritePrivateProfileString(section, key, text, file)) {
    return true;
  }
  ProfileWriteFailureHandler handler;
  {
    const std::lock_guard<std::mutex> lock(failureHandlerMutex);
    handler = failureHandler;
  }
  // Outside the lock: the handler may write, or install another.
  if (handler) handler(file, LastWriteError());
  return false;
}

}  // namespace

ProfileWriteFailureHandler SetProfileWriteFailureHandler(ProfileWriteFailureHandler handler) {
  const std::lock_guard<std::mutex> lock(failureHandlerMutex);
  return std::exchange(failureHandler, std::move(handler));
}

bool WriteProfileInt(const std::string& section, const std::string& key, int value,
                     const std::string& file) {
  return WriteProfileText(section, key, NumberText(value), file);
}

bool WriteProfileFloat(const std::string& section, const std::string& key, float value,
                       const std::string& file) {
  // Same digits as "%.1f" in the "C" locale, from the value widened to double.
  return WriteProfileText(
      section, key, NumberText(static_cast<double>(value), std::chars_format::fixed, 1), file);
}

float ReadProfileFloat(const std::string& section, const std::string& key, float defaultValue,
                       const std::string& file) {
  const std::string text =
      GetPrivateProfileString(section, key, "", kFloatTextCharacters + 1, file);
  if (text.empty()) return defaultValue;
  const locale_t locale = CLocale();
  // glibc hands out its built-in "C" locale here without allocating; never null in practice.
  if (locale == static_cast<locale_t>(0)) return 0.0f;
  return static_cast<float>(::strtod_l(text.c_str(), nullptr, locale));
}

}  // namespace platform
