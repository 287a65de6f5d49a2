// The XML export's node sequence, its typed values, its refusals, and the window-less copy of a
// container that the export and printing work on.
#include <gtest/gtest.h>

#include <cfloat>
#include <cwchar>
#include <string>
#include <vector>

#include "chart/core/chart_container_core.h"
#include "chart/core/chart_xml.h"
#include "tests/chart/core/chart_test_support.h"

namespace chart {
namespace {

using test::FakeHost;
using test::Record;

// The nodes as XML text; text nodes are written as they stand, so they carry all the layout.
std::wstring Render(const XmlNodes& nodes) {
  std::wstring out;
  for (const XmlNode& node : nodes) {
    switch (node.kind) {
      case XmlNode::Kind::kProcessingInstruction:
        out += L"<?" + node.name + L" " + node.text + L"?>";
        break;
      case XmlNode::Kind::kText: out += node.text; break;
      case XmlNode::Kind::kElement:
        out += L"<" + node.name;
        for (const XmlAttribute& a : node.attributes) {
          out += L" " + a.name + L"=\"" + XmlValueText(a.value) + L"\"";
        }
        if (node.children.empty()) {
          out += L"/>";
        } else {
          out += L">" + Render(node.children) + L"</" + node.name + L">";
        }
        break;
    }
  }
  return out;
}

// Node boundaries: "~" for a text node, an element's children in braces.
std::wstring Shape(const XmlNodes& nodes) {
  std::wstring out;
  for (const XmlNode& node : nodes) {
    if (!out.empty()) out += L" ";
    switch (node.kind) {
      case XmlNode::Kind::kProcessingInstruction: out += L"?" + node.name; break;
      case XmlNode::Kind::kText: out += L"~"; break;
      case XmlNode::Kind::kElement:
        out += node.name;
        if (!node.children.empty()) out += L"{" + Shape(node.children) + L"}";
        break;
    }
  }
  return out;
}

const XmlNode* FindElement(const XmlNodes& nodes, const std::wstring& name) {
  for (const XmlNode& node : nodes) {
    if (node.kind != XmlNode::Kind::kElement) continue;
    if (node.name == name) return &node;
    if (const XmlNode* found = FindElement(node.children, name)) return found;
  }
  return nullptr;
}

const XmlValue* FindAttribute(const XmlNodes& nodes, const std::wstring& element,
                              const std::wstring& attribute) {
  const XmlNode* node = FindElement(nodes, element);
  if (!node) return nullptr;
  for (const XmlAttribute& a : node->attributes) {
    if (a.name == attribute) return &a.value;
  }
  return nullptr;
}

// "Brake": Curve (two points, unsorted on input), Hidden (hidden), Empty (no points).
class XmlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.SetPrecisionX(4);
    ChartAddRecord curve = Record(curvePoints, L"Curve");
    curve.nameY = L"Force";
    curve.colour = 0xC0102030;
    curve.dashStyle = kDashDash;
    curve.penWidth = 2.5f;
    curve.tension = 0.5f;
    chart.AddChart(curve, false);
    ChartAddRecord hidden = Record(hiddenPoints, L"Hidden");
    hidden.visible = false;
    chart.AddChart(hidden, false);
    ChartAddRecord empty = Record(none, L"Empty");
    empty.precisionY = 5;
    chart.AddChart(empty, false);
  }

  ChartContainerCore chart{L"Brake"};
  const ChartPoints curvePoints = {{10, 20}, {0, 0.5}};
  const ChartPoints hiddenPoints = {{1, 1}};
  const ChartPoints none;
  XmlNodes nodes;
};

TEST_F(XmlFixture, VisibleSeriesNodeSequence) {
  ASSERT_EQ(BuildChartsXml(chart, L"", false, nodes), kChartXmlBuilt);
  const std::wstring expected =
      L"<?xml version='1.0'?>"
      L"<Charts xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      L"xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
      L"xmlns=\"http://orvo-pedals.example/charts/Network.xsd\">"
      L"\n\t<Container Cont_Name=\"Brake\" Name_X=\"X\" Precision_X=\"4\"/>"
      L"\n\t<Chart Name=\"Curve\" Precision_Y=\"3\" Sample_X_Val=\"0\" Name_Y=\"Force\" "
      L"Sample_Y_Val=\"0.5\">"
      L"\n\t\t<Chart_Colors Alpha=\"192\" Red=\"16\" Green=\"32\" Blue=\"48\"/>"
      L"\n\t\t<Chart_Visuals Visibility=\"true\" DashStyle=\"1\" PenWidth=\"2.5\" "
      L"Tension=\"0.5\"/>"
      L"\n\t\t<Chart_Data DataPnts_Nmb=\"2\" MinX=\"0\" MaxX=\"10\" MinY=\"0.5\" MaxY=\"20\">"
      L"\n\t\t\t<Pnt Idx=\"0\" X=\"0\" Y=\"0.5\"/>"
      L"\n\t\t\t<Pnt Idx=\"1\" X=\"10\" Y=\"20\"/>"
      L"\n\t\t</Chart_Data>"
      L"\n\t</Chart>"
      L"\n\t<Chart Name=\"Empty\" Precision_Y=\"5\" Sample_X_Val=\"1.123\" Name_Y=\"Y\" "
      L"Sample_Y_Val=\"1.1235\">"
      L"\n\t\t<Chart_Colors Alpha=\"255\" Red=\"0\" Green=\"0\" Blue=\"0\"/>"
      L"\n\t\t<Chart_Visuals Visibility=\"true\" DashStyle=\"0\" PenWidth=\"2\" Tension=\"0\"/>"
      L"\n\t\t<Chart_Data DataPnts_Nmb=\"0\" MinX=\"1.7976931348623157e+308\" "
      L"MaxX=\"-1.7976931348623157e+308\" MinY=\"1.7976931348623157e+308\" "
      L"MaxY=\"-1.7976931348623157e+308\">"
      L"\n\t\t</Chart_Data>"
      L"\n\t</Chart>"
      L"\n\t<ChartNmb Total=\"2\"/>"
      L"\n</Charts>";
  EXPECT_EQ(Render(nodes), expected);
  EXPECT_EQ(Shape(nodes),
            L"?xml Charts{~ Container ~ "
            L"Chart{~ Chart_Colors ~ Chart_Visuals ~ Chart_Data{~ Pnt ~ Pnt ~} ~} ~ "
            L"Chart{~ Chart_Colors ~ Chart_Visuals ~ Chart_Data{~} ~} ~ ChartNmb ~}");
}

TEST_F(XmlFixture, AttributesCarryTypedValues) {
  ASSERT_EQ(BuildChartsXml(chart, L"Curve", false, nodes), kChartXmlBuilt);
  struct Case {
    const wchar_t* element;
    const wchar_t* attribute;
    std::size_t type;  // index into XmlValue
  };
  const std::vector<Case> cases = {
      {L"Container", L"Cont_Name", 0},
      {L"Container", L"Precision_X", 1},
      {L"Chart", L"Sample_X_Val", 0},
      {L"Chart", L"Precision_Y", 1},
      {L"Chart_Colors", L"Alpha", 2},
      {L"Chart_Colors", L"Blue", 2},
      {L"Chart_Visuals", L"Visibility", 0},
      {L"Chart_Visuals", L"DashStyle", 1},
      {L"Chart_Visuals", L"PenWidth", 4},
      {L"Chart_Visuals", L"Tension", 4},
      {L"Chart_Data", L"DataPnts_Nmb", 3},
      {L"Chart_Data", L"MaxY", 5},
      {L"Pnt", L"Idx", 3},
      {L"Pnt", L"Y", 5},
      {L"ChartNmb", L"Total", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.element) + L"." + c.attribute));
    const XmlValue* value = FindAttribute(nodes, c.element, c.attribute);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->index(), c.type);
  }
}

TEST_F(XmlFixture, WhichSeriesAreWritten) {
  struct Case {
    const char* what;
    std::wstring name;
    bool allSeries;
    std::int32_t result;
    std::vector<std::wstring> written;
    std::vector<std::wstring> visibility;
  };
  const std::vector<Case> cases = {
      {"visible ones", L"", false, kChartXmlBuilt, {L"Curve", L"Empty"}, {L"true", L"true"}},
      {"all",
       L"",
       true,
       kChartXmlBuilt,
       {L"Curve", L"Hidden", L"Empty"},
       {L"true", L"false", L"true"}},
      {"the named one only", L"Curve", false, kChartXmlBuilt, {L"Curve"}, {L"true"}},
      {"a named hidden one with all", L"Hidden", true, kChartXmlBuilt, {L"Hidden"}, {L"false"}},
      {"a named hidden one", L"Hidden", false, kChartXmlRefused, {}, {}},
      {"a named one without points", L"Empty", false, kChartXmlRefused, {}, {}},
      {"an unknown name", L"Nothing", true, kChartXmlRefused, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(BuildChartsXml(chart, c.name, c.allSeries, nodes), c.result);
    if (c.result == kChartXmlRefused) {
      EXPECT_TRUE(nodes.empty());
      continue;
    }
    ASSERT_EQ(nodes.size(), 2u);
    std::vector<std::wstring> written;
    std::vector<std::wstring> visibility;
    for (const XmlNode& child : nodes[1].children) {
      if (child.name != L"Chart") continue;
      written.push_back(XmlValueText(child.attributes[0].value));
      visibility.push_back(XmlValueText(child.children[3].attributes[0].value));
    }
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(visibility, c.visibility);
    EXPECT_EQ(XmlValueText(*FindAttribute(nodes, L"ChartNmb", L"Total")),
              std::to_wstring(c.written.size()));
  }
}

TEST(ChartXml, RefusedWithoutSeriesOrWithoutAVisiblePoint) {
  XmlNodes nodes;
  ChartContainerCore empty;
  EXPECT_EQ(BuildChartsXml(empty, L"", true, nodes), kChartXmlRefused);

  ChartContainerCore nothingShown;
  const ChartPoints none;
  nothingShown.AddChart(Record(none, L"A"), false);
  EXPECT_EQ(BuildChartsXml(nothingShown, L"", false, nodes), kChartXmlRefused);
  EXPECT_TRUE(nodes.empty());
  EXPECT_EQ(BuildChartsXml(nothingShown, L"", true, nodes), kChartXmlBuilt);
}

TEST(ChartXml, ValueTextReadsBackToTheSameValue) {
  struct Case {
    XmlValue value;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {XmlValue(std::in_place_type<double>, DBL_MAX), L"1.7976931348623157e+308"},
      {XmlValue(std::in_place_type<double>, 0.1), L"0.1"},
      {XmlValue(std::in_place_type<double>, -2.0 / 3.0), L"-0.6666666666666666"},
      {XmlValue(std::in_place_type<float>, 0.1f), L"0.1"},
      {XmlValue(std::in_place_type<float>, 2.5f), L"2.5"},
      {XmlValue(std::in_place_type<std::uint8_t>, 192), L"192"},
      {XmlValue(std::in_place_type<std::int32_t>, -5), L"-5"},
      {XmlValue(std::in_place_type<std::uint32_t>, 4000000000u), L"4000000000"},
      {XmlValue(std::in_place_type<std::wstring>, L"Pedal <1>"), L"Pedal <1>"},
  };
  for (const Case& c : cases) {
    const std::wstring text = XmlValueText(c.value);
    EXPECT_EQ(text, c.text);
    if (const double* d = std::get_if<double>(&c.value)) {
      EXPECT_EQ(std::wcstod(text.c_str(), nullptr), *d);
    }
    if (const float* f = std::get_if<float>(&c.value)) {
      EXPECT_EQ(std::wcstof(text.c_str(), nullptr), *f);
    }
  }
}

std::wstring BracketFormatter(double value, int precision, bool withEquals) {
  return L"[" + FormatChartValue(value, precision, withEquals) + L"]";
}

TEST(ChartOutputCopy, CopiesDataAndViewStateButNoWindowState) {
  FakeHost host;
  host.trackingWindow = true;
  ChartContainerCore chart(L"Brake");
  chart.SetHost(&host);
  const ChartPoints data = test::Diagonal(100, 10);
  chart.AddChart(Record(data, L"A"), false);
  chart.AddChart(Record(data, L"B"), false);
  chart.ToggleChartVisibility(1);
  chart.GetChart(0, false)->SetYScale(2.5);
  chart.SelectChart(0, false);
  chart.SetNameX(L"Time");
  chart.SetPrecisionX(5);
  chart.SetFormatterX(BracketFormatter);
  chart.SetColour(ChartColourRole::kGrid, 0xFF123456);
  chart.SetLegendShown(true);
  chart.ShiftClickZoom(100, 50);  // the first click of a zoom, which Zoom In X starts from
  chart.SetInteractive(false);
  chart.SetShowXBoundaries(true);
  chart.RunExtentCommand(ChartExtentCommand::kZoomInX);
  chart.RunExtentCommand(ChartExtentCommand::kMoveUp);
  chart.SetTracking(true);
  chart.SetTrackedPosition(50, 40, 3);
  chart.TrackedValuesFound().emplace(0, ChartPoint{50, 50});
  chart.SetDataViewIndex(0);
  chart.SyncDataViewCell(0, 1, 10, 10, true);
  chart.UpdateTransform();
  ASSERT_NE(chart.Zoom().FirstClickX(), 0);

  const auto copy = chart.CollectChartsForOutput(L"");
  EXPECT_EQ(copy->ContainerName(), L"Brake");
  EXPECT_EQ(chart.CollectChartsForOutput(L"Print")->ContainerName(), L"Print");

  ASSERT_EQ(copy->SeriesCount(), 2u);
  const ChartSeries& a = *copy->GetChart(0, false);
  const ChartSeries& b = *copy->GetChart(1, false);
  EXPECT_NE(&a, chart.GetChart(0, false));
  EXPECT_EQ(a.GetChartName(), L"A");
  EXPECT_TRUE(a.IsSelected());
  EXPECT_EQ(a.YScale(), 2.5);
  EXPECT_EQ(a.Points().size(), data.size());
  EXPECT_FALSE(b.IsVisible());

  EXPECT_EQ(copy->Colours(), chart.Colours());
  EXPECT_EQ(copy->NameX(), L"Time");
  EXPECT_EQ(copy->PrecisionX(), 5);
  EXPECT_EQ(copy->FormatterX(), &BracketFormatter);
  EXPECT_TRUE(copy->IsLegendShown());
  EXPECT_FALSE(copy->IsInteractive());
  EXPECT_TRUE(copy->ShowsXBoundaries());
  EXPECT_TRUE(copy->IsTracking());
  EXPECT_EQ(copy->TrackedX(), 50);
  EXPECT_EQ(copy->TrackedY(), 40);
  EXPECT_EQ(copy->TrackingWidth(), 3);
  EXPECT_EQ(copy->ExtentX(), chart.ExtentX());
  EXPECT_EQ(copy->ExtentY(), chart.ExtentY());
  EXPECT_EQ(copy->Zoom().UndoStackX(), chart.Zoom().UndoStackX());
  EXPECT_EQ(copy->Zoom().UndoStackY(), chart.Zoom().UndoStackY());
  EXPECT_EQ(copy->SelectedIndex(), 0);
  EXPECT_EQ(copy->Zoom().XState(), kXZoomed);
  EXPECT_EQ(copy->Zoom().YState(), kYZoomedKeepMargins);
  EXPECT_EQ(copy->TrackedValuesFound().size(), 1u);

  EXPECT_EQ(copy->DataViewIndex(), -1);
  EXPECT_TRUE(copy->SelectedDataViewPoints().empty());
  EXPECT_EQ(copy->Zoom().FirstClickX(), 0);
  EXPECT_EQ(copy->CurrentTransform(), nullptr);
  EXPECT_FALSE(copy->Host().HasWindow());

  host.trackingWindow = false;  // values belong to a tracking window that is not there
  EXPECT_TRUE(chart.CollectChartsForOutput(L"")->TrackedValuesFound().empty());
}

}  // namespace
}  // namespace chart
