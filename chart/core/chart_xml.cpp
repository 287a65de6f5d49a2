// Builds the node sequence of the chart XML export.
#include "chart/core/chart_xml.h"

#include <charconv>
#include <type_traits>

#include "chart/core/chart_container_core.h"

namespace chart {

namespace {

// Samples written for a series without points, so the attribute still shows the number style.
constexpr double kSampleXWithoutPoints = 1.1234567;
constexpr double kSampleYWithoutPoints = 1.123456;

XmlNode Element(std::wstring name) {
  XmlNode node;
  node.kind = XmlNode::Kind::kElement;
  node.name = std::move(name);
  return node;
}

void AppendIndentNode(XmlNode& parent, const wchar_t* text) {
  XmlNode node;
  node.kind = XmlNode::Kind::kText;
  node.text = text;
  parent.children.push_back(std::move(node));
}

template <typename T>
void Attribute(XmlNode& element, const wchar_t* name, T value) {
  element.attributes.push_back({name, XmlValue(std::in_place_type<T>, std::move(value))});
}

std::uint8_t ColourByte(std::uint32_t argb, int shift) {
  return static_cast<std::uint8_t>((argb >> shift) & 0xFFu);
}

XmlNode ChartElement(const ChartContainerCore& source, const ChartSeries& series) {
  const ChartPoints& points = series.Points();
  const double sampleX = points.empty() ? kSampleXWithoutPoints : points.front().x;
  const double sampleY = points.empty() ? kSampleYWithoutPoints : points.front().y;

  XmlNode chart = Element(L"Chart");
  Attribute(chart, L"Name", series.GetChartName());
  Attribute(chart, L"Precision_Y", series.PrecisionY());
  Attribute(chart, L"Sample_X_Val", source.FormatterX()(sampleX, source.PrecisionX(), false));
  Attribute(chart, L"Name_Y", series.GetChartSecondName());
  Attribute(chart, L"Sample_Y_Val", series.FormatterY()(sampleY, series.PrecisionY(), false));

  XmlNode colours = Element(L"Chart_Colors");
  Attribute(colours, L"Alpha", ColourByte(series.Colour(), 24));
  Attribute(colours, L"Red", ColourByte(series.Colour(), 16));
  Attribute(colours, L"Green", ColourByte(series.Colour(), 8));
  Attribute(colours, L"Blue", ColourByte(series.Colour(), 0));

  XmlNode visuals = Element(L"Chart_Visuals");
  Attribute(visuals, L"Visibility", std::wstring(series.IsVisible() ? L"true" : L"false"));
  Attribute(visuals, L"DashStyle", series.DashStyle());
  Attribute(visuals, L"PenWidth", series.PenWidth());
  Attribute(visuals, L"Tension", series.Tension());

  XmlNode data = Element(L"Chart_Data");
  Attribute(data, L"DataPnts_Nmb", static_cast<std::uint32_t>(points.size()));
  Attribute(data, L"MinX", series.MinX());
  Attribute(data, L"MaxX", series.MaxX());
  Attribute(data, L"MinY", series.MinY());
  Attribute(data, L"MaxY", series.MaxY());
  for (std::size_t i = 0; i < points.size(); ++i) {
    AppendIndentNode(data, L"\n\t\t\t");
    XmlNode point = Element(L"Pnt");
    Attribute(point, L"Idx", static_cast<std::uint32_t>(i));
    Attribute(point, L"X", points[i].x);
    Attribute(point, L"Y", points[i].y);
    data.children.push_back(std::move(point));
  }
  AppendIndentNode(data, L"\n\t\t");

  AppendIndentNode(chart, L"\n\t\t");
  chart.children.push_back(std::move(colours));
  AppendIndentNode(chart, L"\n\t\t");
  chart.children.push_back(std::move(visuals));
  AppendIndentNode(chart, L"\n\t\t");
  chart.children.push_back(std::move(data));
  AppendIndentNode(chart, L"\n\t");
  return chart;
}

template <typename T>
std::wstring NumberText(T value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return {};
  return std::wstring(buffer, end);
}

}  // namespace

std::wstring XmlValueText(const XmlValue& value) {
  return std::visit(
      [](const auto& v) -> std::wstring {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::wstring>) {
          return v;
        } else if constexpr (std::is_same_v<T, std::uint8_t>) {
          // A byte is a number here, not a character.
          return NumberText(static_cast<unsigned>(v));
        } else {
          return NumberText(v);
        }
      },
      value);
}

std::int32_t BuildChartsXml(const ChartContainerCore& source, const std::wstring& seriesName,
                            bool allSeries, XmlNodes& out) {
  out.clear();
  if (source.SeriesCount() == 0) return kChartXmlRefused;
  int id = -1;
  if (!seriesName.empty()) {
    id = source.GetChartIdByName(seriesName);
    if (id == -1) return kChartXmlRefused;
  }
  if (!allSeries && !source.FindVisibleChart(id)) return kChartXmlRefused;

  XmlNode declaration;
  declaration.kind = XmlNode::Kind::kProcessingInstruction;
  declaration.name = L"xml";
  declaration.text = L"version='1.0'";

  XmlNode charts = Element(L"Charts");
  Attribute(charts, L"xmlns:xsi", std::wstring(kChartXmlSchemaInstanceNs));
  Attribute(charts, L"xmlns:xsd", std::wstring(kChartXmlSchemaNs));
  Attribute(charts, L"xmlns", std::wstring(kChartXmlDefaultNs));

  AppendIndentNode(charts, L"\n\t");
  XmlNode container = Element(L"Container");
  Attribute(container, L"Cont_Name", source.ContainerName());
  Attribute(container, L"Name_X", source.NameX());
  Attribute(container, L"Precision_X", source.PrecisionX());
  charts.children.push_back(std::move(container));

  const ChartSeriesMap& series = source.SeriesMap();
  std::int32_t written = 0;
  for (auto it = id == -1 ? series.begin() : series.find(id); it != series.end(); ++it) {
    const ChartSeries& s = *it->second;
    if (allSeries || s.IsVisible()) {
      ++written;
      AppendIndentNode(charts, L"\n\t");
      charts.children.push_back(ChartElement(source, s));
    }
    if (id != -1) break;
  }

  AppendIndentNode(charts, L"\n\t");
  XmlNode total = Element(L"ChartNmb");
  Attribute(total, L"Total", written);
  charts.children.push_back(std::move(total));
  AppendIndentNode(charts, L"\n");

  out.push_back(std::move(declaration));
  out.push_back(std::move(charts));
  return kChartXmlBuilt;
}

}  // namespace chart
