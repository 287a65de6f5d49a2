// The chart's context menu.
#include "chart/chart_menu.h"

#include "chart/chart_input.h"

namespace chart {

namespace {

ChartMenuEntry Item(std::wstring text, int id) {
  ChartMenuEntry entry;
  entry.text = std::move(text);
  entry.id = id;
  return entry;
}

ChartMenuEntry CheckItem(std::wstring text, int id, bool checked) {
  ChartMenuEntry entry = Item(std::move(text), id);
  entry.checkable = true;
  entry.checked = checked;
  return entry;
}

ChartMenuEntry Separator() {
  ChartMenuEntry entry;
  entry.kind = ChartMenuEntry::Kind::kSeparator;
  return entry;
}

ChartMenuEntry SubMenu(std::wstring text, ChartMenuEntries children) {
  ChartMenuEntry entry;
  entry.kind = ChartMenuEntry::Kind::kSubMenu;
  entry.text = std::move(text);
  entry.children = std::move(children);
  return entry;
}

int ExtentCommandId(ChartExtentCommand command) { return static_cast<int>(command); }

// A series name as a menu label: no mnemonics, no accelerator.
wxString MenuLabel(const std::wstring& text) {
  wxString label(text);
  label.Replace("&", "&&");
  label.Replace("\t", " ");
  return label;
}

void AppendEntries(wxMenu& menu, const ChartMenuEntries& entries) {
  for (const ChartMenuEntry& entry : entries) {
    switch (entry.kind) {
      case ChartMenuEntry::Kind::kSeparator: menu.AppendSeparator(); break;
      case ChartMenuEntry::Kind::kSubMenu: {
        auto sub = std::make_unique<wxMenu>();
        AppendEntries(*sub, entry.children);
        menu.AppendSubMenu(sub.release(), MenuLabel(entry.text));
        break;
      }
      case ChartMenuEntry::Kind::kItem: {
        // The toolkit's item constructor rejects ids from 0x7FFF up (a check made for 16-bit
        // ids), though such ids work: the item gets a free id first, then its command id.
        auto* item = new wxMenuItem(&menu, wxID_ANY, MenuLabel(entry.text), wxEmptyString,
                                    entry.checkable ? wxITEM_CHECK : wxITEM_NORMAL);
        item->SetId(entry.id);
        menu.Append(item);
        if (entry.checkable) item->Check(entry.checked);
        item->Enable(entry.enabled);
        break;
      }
    }
  }
}

}  // namespace

ChartMenuEntries BuildChartMenu(const ChartContainerCore& core, const ChartMenuContext& context) {
  ChartMenuEntries menu;
  if (!core.IsInteractive() || core.SeriesCount() == 0) return menu;
  const bool drawable = core.HasDrawableChart(-1, true);

  if (drawable) {
    menu.push_back(CheckItem(L"Show Legend", kCmdShowLegend, context.legendVisible));
    menu.push_back(Separator());
    menu.push_back(
        CheckItem(L"Show Axis X boundaries", kCmdShowXBoundaries, core.ShowsXBoundaries()));
    menu.push_back(Separator());
    menu.push_back(Item(L"View Chart Data", kCmdViewChartData));
    menu.push_back(Separator());
  }

  ChartMenuEntries output{Item(L"Save chart(s)", kCmdSaveCharts)};
  if (drawable) {
    output.push_back(Item(L"Save Charts As Image", kCmdSaveChartsAsImage));
    output.push_back(Item(L"Print charts", kCmdPrintCharts));
  }
  menu.push_back(SubMenu(drawable ? L"Save/Print Charts" : L"Save Charts", std::move(output)));
  menu.push_back(Separator());

  if (drawable) {
    menu.push_back(
        SubMenu(L"Zoom/Move",
                {Item(L"Zoom In X ", ExtentCommandId(ChartExtentCommand::kZoomInX)),
                 Item(L"Move Right", ExtentCommandId(ChartExtentCommand::kMoveRight)),
                 Item(L"Move Left", ExtentCommandId(ChartExtentCommand::kMoveLeft)), Separator(),
                 Item(L"Zoom In Y", ExtentCommandId(ChartExtentCommand::kZoomInY)),
                 Item(L"Move Up", ExtentCommandId(ChartExtentCommand::kMoveUp)),
                 Item(L"Move Down", ExtentCommandId(ChartExtentCommand::kMoveDown))}));
    menu.push_back(Separator());

    const bool undoX = !core.Zoom().UndoStackX().empty();
    const bool undoY = !core.Zoom().UndoStackY().empty();
    if (undoX) {
      menu.push_back(Item(L"Undo Last Zoom/Move X", ExtentCommandId(ChartExtentCommand::kUndoX)));
      menu.push_back(Separator());
    }
    if (undoY) {
      menu.push_back(Item(L"Undo Last Zoom/Move Y", ExtentCommandId(ChartExtentCommand::kUndoY)));
      menu.push_back(Separator());
    }
    if (undoX || undoY) {
      menu.push_back(Item(L"Refresh Charts", ExtentCommandId(ChartExtentCommand::kRestoreExtents)));
      menu.push_back(Separator());
    }
    if (context.mouseButtons < 3) {
      menu.push_back(CheckItem(L"Enable Tracking", kCmdEnableTracking, core.IsTracking()));
    }
    if (core.FindChartWithExtent(-1, false) >= 0) {
      const ChartSeries* selected = core.GetChart(core.SelectedIndex(), false);
      const bool markersOff = core.SelectedIndex() != -1 && selected && !selected->ShowsPoints();
      menu.push_back(CheckItem(L"Show/Hide Chart Pnts", kCmdTogglePointMarkers, !markersOff));
      menu.push_back(Separator());
    }
  }

  for (const auto& [index, series] : core.SeriesMap()) {
    const bool hasPoints = series->HasPoints();
    ChartMenuEntry entry = CheckItem(
        hasPoints ? L"Show " + series->GetChartName() : series->GetChartName() + L" has no data",
        kCmdShowSeriesFirst + index, series->IsVisible());
    entry.enabled = hasPoints;
    menu.push_back(std::move(entry));
  }
  return menu;
}

std::unique_ptr<wxMenu> CreateChartMenu(const ChartMenuEntries& entries) {
  auto menu = std::make_unique<wxMenu>();
  AppendEntries(*menu, entries);
  return menu;
}

}  // namespace chart
