// Value formatting and name shortening for the chart.
#include "chart/core/chart_format.h"

#include <locale>
#include <sstream>

namespace chart {

std::wstring FormatChartValue(double value, int precision, bool withEquals) {
  std::wostringstream text;
  // Labels must read the same whatever locale the program runs in.
  text.imbue(std::locale::classic());
  text.precision(precision);
  if (withEquals) text << L"= ";
  text << value;
  return text.str();
}

std::wstring ShortenChartName(const std::wstring& text, std::size_t maxLength,
                              const std::wstring& mark) {
  if (maxLength < 2) maxLength = 2;
  if (text.size() <= maxLength) return text;
  return text.substr(0, maxLength - 2) + mark + text.back();
}

}  // namespace chart
