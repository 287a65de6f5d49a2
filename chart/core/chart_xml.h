// The chart XML export as plain data: the document's nodes in order, with the text nodes that
// carry the indentation, and typed attribute values. The window layer turns the nodes into an
// XML document saved without indentation of its own.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace chart {

class ChartContainerCore;

// An attribute value as the document receives it; XmlValueText gives its text form.
using XmlValue =
    std::variant<std::wstring, std::int32_t, std::uint8_t, std::uint32_t, float, double>;

struct XmlAttribute {
  std::wstring name;
  XmlValue value;
};

struct XmlNode {
  enum class Kind { kProcessingInstruction, kElement, kText };

  Kind kind = Kind::kElement;
  std::wstring name;                     // element name, or processing-instruction target
  std::wstring text;                     // text content, or processing-instruction data
  std::vector<XmlAttribute> attributes;  // elements only, in document order
  std::vector<XmlNode> children;         // elements only, in document order
};

// The document's top-level nodes in order.
using XmlNodes = std::vector<XmlNode>;

// Text of a typed value: integers in decimal, floating-point values in the shortest form that
// reads back to the same value, independent of the process locale.
std::wstring XmlValueText(const XmlValue& value);

enum ChartXmlResult : std::int32_t {
  kChartXmlBuilt = 0,
  kChartXmlRefused = 1,  // nothing to write: no series, no such series, no visible series
};

// Builds the export of source into out (replaced). With seriesName only that series is written;
// otherwise every visible series, or every series with allSeries, in index order. Without
// allSeries the written series must be visible with a point. Returns a ChartXmlResult; out is
// left empty when refused.
std::int32_t BuildChartsXml(const ChartContainerCore& source, const std::wstring& seriesName,
                            bool allSeries, XmlNodes& out);

// Namespace names on the root element.
inline constexpr wchar_t kChartXmlSchemaInstanceNs[] = L"http://www.w3.org/2001/XMLSchema-instance";
inline constexpr wchar_t kChartXmlSchemaNs[] = L"http://www.w3.org/2001/XMLSchema";
inline constexpr wchar_t kChartXmlDefaultNs[] = L"http://orvo-pedals.example/charts/Network.xsd";

}  // namespace chart
