// Value-to-text formatting of chart values and the shortening of series names.
#pragma once

#include <cstddef>
#include <string>

namespace chart {

// Turns a value into the text shown in data windows, legends and labels.
// precision counts significant digits; withEquals prefixes "= ".
using ChartValueFormatter = std::wstring (*)(double value, int precision, bool withEquals);

// Default formatter: general notation with `precision` significant digits, as %.*g prints,
// independent of the process locale. FormatChartValue(1.1234567, 3, true) is "= 1.12".
std::wstring FormatChartValue(double value, int precision, bool withEquals);

// text when it has at most maxLength characters; otherwise exactly maxLength characters:
// the first maxLength - 2, then mark, then the last character of text.
// maxLength below 2 is treated as 2; mark is expected to be one character.
std::wstring ShortenChartName(const std::wstring& text, std::size_t maxLength,
                              const std::wstring& mark);

}  // namespace chart
