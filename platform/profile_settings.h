// Settings-file helpers: one key at a time, integers as "%d" and numbers with one decimal,
// always with a full stop whatever the process locale. Used with the settings file and with
// backup files.
#pragma once

#include <functional>
#include <string>

#include "platform/whole_file.h"

namespace platform {

// The settings file, relative to the working directory.
inline constexpr char kSettingsFile[] = "./presets.ini";

// Told of every write through WriteProfileInt or WriteProfileFloat that left its file as it was:
// the file as the caller named it, and why. Called on the writing thread, at once.
using ProfileWriteFailureHandler =
    std::function<void(const std::string& file, const WriteError& error)>;

// From now on every failed write goes to handler (none when it is empty); returns the handler it
// replaces. The callers need not look at each write's result to have a failure told.
ProfileWriteFailureHandler SetProfileWriteFailureHandler(ProfileWriteFailureHandler handler);

// Writes the value as decimal text. Returns whether the write succeeded.
bool WriteProfileInt(const std::string& section, const std::string& key, int value,
                     const std::string& file);

// Writes the value with one digit after the decimal point (97.5 gives "97.5", 100 gives
// "100.0"). Returns whether the write succeeded.
bool WriteProfileFloat(const std::string& section, const std::string& key, float value,
                       const std::string& file);

// The key's first 63 characters read as a number the way strtod reads in the "C" locale
// (leading white space, sign, digits, full stop, exponent; it stops at the first character
// that does not fit, and no number at all gives 0.0). An empty or missing text gives
// defaultValue.
float ReadProfileFloat(const std::string& section, const std::string& key, float defaultValue,
                       const std::string& file);

}  // namespace platform
