// Page controls shared by the pedal pages.
#include "pages/page_controls.h"

#include <memory>
#include <utility>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/window.h>

#include "chart/chart_container.h"
#include "pages/curve_menu.h"
#include "pages/font_static.h"
#include "pages/live_bar.h"
#include "pages/pedal_chart.h"

namespace pages {

namespace {

// A row's parts around its value label, in dialog units.
constexpr int kValueWidth = 26;
constexpr int kValueHeight = 12;
constexpr int kButtonWidth = 12;
constexpr int kButtonHeight = 15;
constexpr int kLiveBarRange = 100;

}  // namespace

void CreatePagePanel(wxPanel& page, wxWindow* parent, int widthDlu, int heightDlu) {
  page.Hide();  // created without the visible style
  const DialogUnits units = DialogUnits::For(parent);
  page.Create(parent, wxID_ANY, wxDefaultPosition, units.Size(widthDlu, heightDlu),
              wxTAB_TRAVERSAL);
  page.SetBackgroundColour(PageBackgroundColour());
}

PageControlFactory::PageControlFactory(wxWindow& page)
    : page_(page), units_(DialogUnits::For(&page)) {}

CFontStatic* PageControlFactory::Label(int id, const DluRect& r, const wxString& text) const {
  const wxRect px = Pixels(r);
  return new CFontStatic(&page_, id, text, px.GetPosition(), px.GetSize());
}

wxButton* PageControlFactory::Button(int id, const DluRect& r, const wxString& text) const {
  const wxRect px = Pixels(r);
  return new wxButton(&page_, id, text, px.GetPosition(), px.GetSize(), wxBU_EXACTFIT);
}

PageValueRow PageControlFactory::ValueRow(const PageValueRowIds& ids, const DluRect& caption,
                                          int valueX, int valueY) const {
  const wxString placeholder = wxString::FromUTF8(kTemplateLabelText);
  PageValueRow row;
  row.caption = Label(ids.caption, caption, placeholder);
  row.minus =
      Button(ids.minus, {valueX - kButtonWidth, valueY - 1, kButtonWidth, kButtonHeight}, "-");
  row.value = Label(ids.value, {valueX, valueY, kValueWidth, kValueHeight}, placeholder);
  row.plus = Button(ids.plus, {valueX + kValueWidth, valueY - 1, kButtonWidth, kButtonHeight}, "+");
  StyleCaptionLabel(*row.caption);
  StyleValueLabel(*row.value);
  return row;
}

PageCommonControls PageControlFactory::CommonControls(const PageCommonLayout& layout) const {
  PageCommonControls c;
  const wxRect chartRect = Pixels(layout.chart);
  c.chart = new chart::CChartContainer(&page_, kPageChartId, chartRect.GetPosition(),
                                       chartRect.GetSize(), L"");
  const wxRect barRect = Pixels(layout.liveBar);
  c.liveBar =
      new CLiveBar(&page_, kPageLiveBarId, kLiveBarRange, barRect.GetPosition(), barRect.GetSize());
  c.percentLabel = Label(kPagePercentLabelId, layout.percentLabel, "0%");
  StylePercentLabel(*c.percentLabel);

  const wxString placeholder = wxString::FromUTF8(kTemplateLabelText);
  const auto checkBox = [this](int id, const DluRect& r) {
    const wxRect px = Pixels(r);
    auto* box = new wxCheckBox(&page_, id, "", px.GetPosition(), px.GetSize());
    // The toolkit's box is taller than the template's 10 units; cut short it draws wrongly.
    box->SetSize(GrowToFit(px, box->GetBestSize(), false));
    return box;
  };
  c.enabled = checkBox(kPageEnabledId, kEnabledBoxRect);
  c.enabledCaption = Label(kPageEnabledCaptionId, kEnabledCaptionRect, placeholder);
  StyleCaptionLabel(*c.enabledCaption);
  c.loadCell = checkBox(kPageLoadCellId, kLoadCellBoxRect);
  c.loadCellCaption = Label(kPageLoadCellCaptionId, kLoadCellCaptionRect, placeholder);
  StyleCaptionLabel(*c.loadCellCaption);
  c.loadCell->Hide();
  c.loadCellCaption->Hide();

  c.curvesButton = Button(kPageCurvesButtonId, kCurvesButtonRect, "-");
  return c;
}

void ApplyCommonTexts(const PageCommonControls& controls, PageLanguage language) {
  const PedalPageTexts& texts = PedalPageTextsFor(language);
  controls.enabledCaption->SetText(wxString::FromUTF8(texts.enabled));
  controls.loadCellCaption->SetText(wxString::FromUTF8(texts.loadCell));
  controls.curvesButton->SetLabel(wxString::FromUTF8(texts.curves));
}

void ShowPageFlags(const PageCommonControls& controls, int axis_cnf, int axis_mode) {
  controls.enabled->SetValue((axis_cnf & 1) != 0);
  controls.loadCell->SetValue(axis_mode != 0);
}

void ShowLiveDisplay(const PageCommonControls& controls, const PedalLiveDisplay& display,
                     PedalChart& pedalChart) {
  controls.liveBar->SetValue(display.bar);  // repaints only a changed value
  controls.percentLabel->SetText(display.label);
  if (display.enabled) {
    pedalChart.UpdateCrossHair(controls.chart->Core(), display.inputPercent, display.outputPercent);
  }
}

void PopupCurveMenu(wxWindow& page, const PageCommonControls& controls) {
  const wxButton& button = *controls.curvesButton;
  std::unique_ptr<wxMenu> menu = CreateCurveMenu(CurvesCaptionIsSpanish(button.GetLabel()));
  const wxRect r = button.GetRect();
  page.PopupMenu(menu.get(), r.x + r.width / 2, r.y + r.height / 2);
}

void KeepEnterAndEscapeInPage(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    // The focused control still gets its key event (the chart uses Esc); the dialog around
    // the page never sees it.
    event.DoAllowNextEvent();
    return;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    // A focused button, check box or radio button presses itself and consumes the key, so no
    // default button above the page fires; anywhere else Enter stops here.
    wxWindow* focus = wxWindow::FindFocus();
    if (dynamic_cast<wxButton*>(focus) || dynamic_cast<wxCheckBox*>(focus) ||
        dynamic_cast<wxRadioButton*>(focus)) {
      event.Skip();
    }
    return;
  }
  event.Skip();
}

void BindPageEvents(wxWindow& page, const PageCommonControls& controls,
                    std::span<const PageValueRow> rows, PageEventHandlers handlers) {
  const auto step = [step = std::move(handlers.step)](wxCommandEvent& event) {
    step(event.GetId());
  };
  for (const PageValueRow& row : rows) {
    page.Bind(wxEVT_BUTTON, step, row.plus->GetId());
    page.Bind(wxEVT_BUTTON, step, row.minus->GetId());
  }
  wxCheckBox* enabledBox = controls.enabled;
  page.Bind(
      wxEVT_CHECKBOX,
      [enabledBox, enabled = std::move(handlers.enabled)](wxCommandEvent&) {
        enabled(enabledBox->GetValue());
      },
      kPageEnabledId);
  wxCheckBox* loadCellBox = controls.loadCell;
  page.Bind(
      wxEVT_CHECKBOX,
      [loadCellBox, loadCell = std::move(handlers.loadCell)](wxCommandEvent&) {
        loadCell(loadCellBox->GetValue() ? 1 : 0);
      },
      kPageLoadCellId);
  page.Bind(
      wxEVT_BUTTON, [&page, controls](wxCommandEvent&) { PopupCurveMenu(page, controls); },
      kPageCurvesButtonId);
  page.Bind(
      wxEVT_MENU,
      [shape = std::move(handlers.shape)](wxCommandEvent& event) {
        if (const auto chosen = CurveShapeForMenuId(event.GetId())) shape(*chosen);
      },
      kCurveMenuFirstId, kCurveMenuLastId);
  page.Bind(wxEVT_CHAR_HOOK, &KeepEnterAndEscapeInPage);
}

}  // namespace pages
