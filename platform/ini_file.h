// Private-profile (INI) files with the observable behaviour of the Windows profile functions.
// Strings are UTF-8; "characters" below are Unicode code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Integer value of the key, or defaultValue when the file, the section or the key is missing.
// The text is read as optional white space, optional sign and decimal digits, taken modulo 2^32
// as a signed 32-bit value; a text with no digits reads as 0.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file);

// Text of the key (trimmed, one pair of outer quotes removed), or defaultValue when missing,
// cut to at most size - 1 characters; size 0 gives "".
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t size,
                                    const std::string& file);

// Writes one key, keeping the rest of the file; creates the file, the section or the key as
// needed. Replaces the file atomically. Returns false (file unchanged) on any failure, and
// for a section, key or value that holds a line break.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

}  // namespace platform
