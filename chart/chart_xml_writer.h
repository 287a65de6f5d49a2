// The "Save chart(s)" command: the save dialog, the chart XML export of a container's copy
// turned into an XML document, and the file written whole or not at all.
#pragma once

#include <cstdint>
#include <string>

#include <wx/xml/xml.h>

#include "chart/chart_output_ui.h"
#include "chart/core/chart_xml.h"

namespace chart {

class CChartContainer;
class ChartContainerCore;

// WriteChartsXml results beyond kChartXmlBuilt and kChartXmlRefused: the document was built
// but the file could not be written; the writer has shown why.
inline constexpr std::int32_t kChartXmlNotSaved = -1;

// The document of the node sequence. The leading "xml" processing instruction becomes the
// document's declaration; text nodes carry all indentation.
void BuildChartsXmlDocument(const XmlNodes& nodes, wxXmlDocument& doc);

// The bytes of the document as saved, with no indentation of the writer's own.
std::string ChartsXmlText(const wxXmlDocument& doc);

// Writes the export of source to path. With seriesName only that series; otherwise every
// visible series, or every series with allSeries. Returns kChartXmlRefused (nothing written)
// when there is nothing to write, kChartXmlBuilt when the file was written, and
// kChartXmlNotSaved after telling the user through ui that the file could not be written,
// in which case path is left as it was.
std::int32_t WriteChartsXml(const wxString& path, const ChartContainerCore& source,
                            const std::wstring& seriesName, bool allSeries, ChartOutputUi& ui,
                            wxWindow* parent);

// Saves the selected series, or every visible one (allSeries: every one), of chart to path,
// asking for the path when it is empty. Returns kChartXmlRefused when the save is refused
// (the caller reports it), 0 when cancelled or the path has no ".xml", else the writer's result.
// Tells the parent before the copy is made (code 8) and before the file is written (code 9).
std::int32_t SaveChartsDialog(CChartContainer& chart, wxString path, bool allSeries,
                              ChartOutputUi& ui = DefaultChartOutputUi());

// Handler of "Save chart(s)".
void OnSaveCharts(CChartContainer& chart, ChartOutputUi& ui = DefaultChartOutputUi());

// The message shown when the save is refused.
extern const wchar_t kSaveChartsRefusedText[];

}  // namespace chart
