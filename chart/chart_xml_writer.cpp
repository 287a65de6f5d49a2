// Chart XML file: document building, writing and the save command.
#include "chart/chart_xml_writer.h"

#include <memory>

#include <wx/mstream.h>

#include "chart/chart_container.h"
#include "chart/core/chart_container_core.h"

namespace chart {

const wchar_t kSaveChartsRefusedText[] =
    L"Save Failed\n Select the visible chart to save it\nor remove the selection to save all "
    L"visible charts\nand try again";

namespace {

// XML 1.0 holds tab, line feed, carriage return and the code points from U+0020 on except the
// surrogates, U+FFFE and U+FFFF.
bool IsXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text with every character XML cannot carry (control characters, lone surrogates)
// replaced by U+FFFD, so that the file always parses.
wxString XmlSafe(const std::wstring& text) {
  static_assert(sizeof(wchar_t) == 4, "each wchar_t is one whole code point");
  std::wstring safe = text;
  for (wchar_t& c : safe) {
    if (!IsXmlCharacter(static_cast<char32_t>(c))) c = L'\xFFFD';
  }
  return wxString(safe);
}

// Appends node, and its subtree, as the last child of parent.
void AppendXmlNode(wxXmlNode& parent, const XmlNode& node) {
  switch (node.kind) {
    case XmlNode::Kind::kText:
      parent.AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxString(), XmlSafe(node.text)));
      return;
    case XmlNode::Kind::kProcessingInstruction:
      parent.AddChild(new wxXmlNode(wxXML_PI_NODE, XmlSafe(node.name), XmlSafe(node.text)));
      return;
    case XmlNode::Kind::kElement: break;
  }
  auto* element = new wxXmlNode(wxXML_ELEMENT_NODE, XmlSafe(node.name));
  // AddAttribute appends, so the attributes keep their order.
  for (const XmlAttribute& attribute : node.attributes) {
    element->AddAttribute(XmlSafe(attribute.name), XmlSafe(XmlValueText(attribute.value)));
  }
  parent.AddChild(element);
  for (const XmlNode& child : node.children) AppendXmlNode(*element, child);
}

}  // namespace

void BuildChartsXmlDocument(const XmlNodes& nodes, wxXmlDocument& doc) {
  doc = wxXmlDocument();
  doc.SetVersion("1.0");
  doc.SetFileEncoding("UTF-8");
  for (const XmlNode& node : nodes) {
    switch (node.kind) {
      case XmlNode::Kind::kProcessingInstruction:
        // The declaration is written by the document itself; a second one would be malformed.
        if (node.name != L"xml") {
          doc.AppendToProlog(new wxXmlNode(wxXML_PI_NODE, XmlSafe(node.name), XmlSafe(node.text)));
        }
        break;
      case XmlNode::Kind::kElement: {
        wxXmlNode holder(wxXML_ELEMENT_NODE, "holder");
        AppendXmlNode(holder, node);
        wxXmlNode* root = holder.GetChildren();
        holder.RemoveChild(root);
        doc.SetRoot(root);
        break;
      }
      case XmlNode::Kind::kText:
        // Text outside the root element is not XML.
        break;
    }
  }
}

std::string ChartsXmlText(const wxXmlDocument& doc) {
  wxMemoryOutputStream stream;
  if (!doc.Save(stream, wxXML_NO_INDENTATION)) return {};
  std::string text(stream.GetLength(), '\0');
  if (!text.empty()) stream.CopyTo(text.data(), text.size());
  return text;
}

std::int32_t WriteChartsXml(const wxString& path, const ChartContainerCore& source,
                            const std::wstring& seriesName, bool allSeries, ChartOutputUi& ui,
                            wxWindow* parent) {
  XmlNodes nodes;
  const std::int32_t built = BuildChartsXml(source, seriesName, allSeries, nodes);
  if (built != kChartXmlBuilt) return built;

  wxXmlDocument doc;
  BuildChartsXmlDocument(nodes, doc);
  const std::string text = ChartsXmlText(doc);
  if (text.empty() || !WriteFileWhole(path, text.data(), text.size())) {
    ui.ShowError(parent, wxString(L"Save Failed\nCan't write the file\n") + path);
    return kChartXmlNotSaved;
  }
  return kChartXmlBuilt;
}

std::int32_t SaveChartsDialog(CChartContainer& chart, wxString path, bool allSeries,
                              ChartOutputUi& ui) {
  const ChartContainerCore& core = chart.Core();
  if (core.SeriesCount() == 0) return kChartXmlRefused;
  if (!allSeries && !core.FindVisibleChart(core.SelectedIndex())) return kChartXmlRefused;

  if (path.empty()) {
    ChartSaveDialogSpec dialog;
    dialog.title = "Save Charts";
    dialog.initialFolder = ChartOutputFolder("Charts");
    dialog.initialName = "*.xml";
    dialog.filter = "XML Files (*.xml)|*.xml||";
    dialog.defaultExtension = "xml";
    path = ui.AskSavePath(&chart, dialog);
    if (path.empty()) return 0;
  }
  if (!path.Contains(".xml")) return 0;

  chart.SendChartNotify({ChartNotifyCode::kXmlSaveStart});
  const std::unique_ptr<ChartContainerCore> copy = core.CollectChartsForOutput(L"");
  chart.SendChartNotify({ChartNotifyCode::kXmlSaved});
  const std::wstring seriesName = copy->GetChartNameById(core.SelectedIndex());
  return WriteChartsXml(path, *copy, seriesName, allSeries, ui, &chart);
}

void OnSaveCharts(CChartContainer& chart, ChartOutputUi& ui) {
  if (SaveChartsDialog(chart, wxString(), false, ui) == kChartXmlRefused) {
    ui.ShowError(&chart, kSaveChartsRefusedText);
  }
}

}  // namespace chart
