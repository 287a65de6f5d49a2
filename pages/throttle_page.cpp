// The throttle page window: controls at their template positions, events into the model.
#include "pages/throttle_page.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>

#include "chart/chart_container.h"
#include "pages/curve_menu.h"
#include "pages/font_static.h"
#include "pages/page_layout.h"
#include "pages/page_owner.h"

namespace {

constexpr const char* kQuestionCaption = "Orvo Pedals";
constexpr const char* kTemplateLabelText = "Estático";

// Placement of a row's parts around its value label, in dialog units.
constexpr int kValueWidth = 26;
constexpr int kValueHeight = 12;
constexpr int kButtonWidth = 12;
constexpr int kButtonHeight = 15;
constexpr int kCaptionHeight = 15;
constexpr int kDeadZoneCaptionWidth = 96;
constexpr int kDeadZoneCaptionOffset = 112;  // from the value label's x
constexpr int kPointCaptionWidth = 24;
constexpr int kWidePointCaptionWidth = 27;    // "100 %"

struct Dlu {
  int x, y, w, h;
};

constexpr Dlu kChartRect{93, 38, 153, 117};
constexpr Dlu kLiveBarRect{330, 20, 9, 252};
constexpr Dlu kPercentRect{310, 2, 33, 12};
constexpr Dlu kEnabledRect{45, 5, 16, 10};
constexpr Dlu kEnabledCaptionRect{0, 4, 42, 12};
constexpr Dlu kLoadCellRect{111, 5, 16, 10};
constexpr Dlu kLoadCellCaptionRect{65, 4, 42, 12};
constexpr Dlu kCurvesRect{25, 161, 50, 15};
// The preset buttons have their text on the left; the toolkit cannot place it there, so a
// label takes the text's place and an unlabelled button the box's place at the right end.
constexpr int kPresetX = 267;
constexpr int kPresetWidth = 51;
constexpr int kPresetHeight = 15;
constexpr std::array<int, kThrottlePresetCount> kPresetY{209, 224, 239};
constexpr int kPresetBoxWidth = 13;
constexpr int kPresetTextTop = 3;     // the text sits centred in the button's height
constexpr int kPresetTextHeight = 10;
// The dialog font of the templates, "MS Shell Dlg" 8, as a cell height in pixels at 96 DPI.
constexpr const char* kDialogFace = "MS Shell Dlg";
constexpr int kDialogFontHeight = 13;

const std::array<const char*, kThrottlePresetCount> kPresetTexts{"Preset A", "Preset B",
                                                                 "Preset C"};

int DefaultQuestionBox(wxWindow* parent, const wxString& message, const wxString& caption,
                       long style) {
  wxMessageDialog box(parent, message, caption, style);
  return box.ShowModal();
}

}  // namespace

CPedalsConfig2Dlg::CPedalsConfig2Dlg(wxWindow* parent, std::string settingsFile,
                                     QuestionBox questionBox)
    : model_(*this, std::move(settingsFile)),
      questionBox_(questionBox ? std::move(questionBox) : QuestionBox(DefaultQuestionBox)),
      pedalChart_({L"Pedal Curve", L"Pedal Curve 2"}) {
  Hide();  // created without the visible style: the owner shows it
  const DialogUnits units = DialogUnits::For(parent);
  Create(parent, wxID_ANY, wxDefaultPosition, units.Size(kWidthDlu, kHeightDlu), wxTAB_TRAVERSAL);
  SetBackgroundColour(PageBackgroundColour());
  CreateControls();
  BindEvents();
  ready_ = true;

  RefreshValueLabels();  // the first chart build adds the four series
  SetSpanishTexts();
  model_.Start();
  ShowPresetRadio(model_.CurrentPreset());
}

CPedalsConfig2Dlg::~CPedalsConfig2Dlg() = default;

void CPedalsConfig2Dlg::CreateControls() {
  const DialogUnits units = DialogUnits::For(this);
  const auto rect = [&units](const Dlu& r) { return units.Rect(r.x, r.y, r.w, r.h); };
  const auto label = [this, &rect](int id, const Dlu& r, const wxString& text) {
    const wxRect px = rect(r);
    return new CFontStatic(this, id, text, px.GetPosition(), px.GetSize());
  };
  const auto button = [this, &rect](int id, const Dlu& r, const wxString& text) {
    const wxRect px = rect(r);
    return new wxButton(this, id, text, px.GetPosition(), px.GetSize(), wxBU_EXACTFIT);
  };

  const wxRect chartRect = rect(kChartRect);
  chart_ = new chart::CChartContainer(this, kChartId, chartRect.GetPosition(),
                                      chartRect.GetSize(), L"");

  const wxString placeholder = wxString::FromUTF8(kTemplateLabelText);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    const ThrottleRow& r = kThrottleRows[i];
    Row& row = rows_[i];
    Dlu caption{r.x - kDeadZoneCaptionOffset, r.y + 1, kDeadZoneCaptionWidth, kCaptionHeight};
    if (r.field == ThrottleField::Point) {
      const int width = static_cast<std::size_t>(r.point) + 1 == kThrottlePointCount
                            ? kWidePointCaptionWidth
                            : kPointCaptionWidth;
      caption = {r.x - kButtonWidth - 1 - width, r.y + 1, width, kCaptionHeight};
    }
    row.caption = label(r.captionId, caption, placeholder);
    row.minus = button(r.minusId, {r.x - kButtonWidth, r.y - 1, kButtonWidth, kButtonHeight}, "-");
    row.value = label(r.valueId, {r.x, r.y, kValueWidth, kValueHeight}, placeholder);
    row.plus = button(r.plusId, {r.x + kValueWidth, r.y - 1, kButtonWidth, kButtonHeight}, "+");
    StyleValueLabel(*row.value);
    StyleCaptionLabel(*row.caption);
  }

  const wxRect barRect = rect(kLiveBarRect);
  liveBar_ = new wxGauge(this, kLiveBarId, 100, barRect.GetPosition(), barRect.GetSize(),
                         wxGA_VERTICAL | wxGA_SMOOTH | wxBORDER_SIMPLE);
  percentLabel_ = label(kPercentLabelId, kPercentRect, "0%");
  StylePercentLabel(*percentLabel_);

  const wxRect enabledRect = rect(kEnabledRect);
  enabled_ = new wxCheckBox(this, kEnabledId, "", enabledRect.GetPosition(), enabledRect.GetSize());
  enabled_->SetSize(GrowToFit(enabledRect, enabled_->GetBestSize(), false));
  enabledCaption_ = label(kEnabledCaptionId, kEnabledCaptionRect, placeholder);
  StyleCaptionLabel(*enabledCaption_);
  // The load-cell switch is kept in step with axis_mode but never shown on this page.
  const wxRect loadCellRect = rect(kLoadCellRect);
  loadCell_ = new wxCheckBox(this, kLoadCellId, "", loadCellRect.GetPosition(),
                             loadCellRect.GetSize());
  loadCell_->SetSize(GrowToFit(loadCellRect, loadCell_->GetBestSize(), false));
  loadCellCaption_ = label(kLoadCellCaptionId, kLoadCellCaptionRect, placeholder);
  StyleCaptionLabel(*loadCellCaption_);
  loadCell_->Hide();
  loadCellCaption_->Hide();

  curvesButton_ = button(kCurvesButtonId, kCurvesRect, "-");

  const std::array<int, kThrottlePresetCount> ids{kPresetAId, kPresetBId, kPresetCId};
  for (int i = 0; i < kThrottlePresetCount; ++i) {
    const int y = kPresetY[i];
    const wxRect boxRect =
        rect({kPresetX + kPresetWidth - kPresetBoxWidth, y, kPresetBoxWidth, kPresetHeight});
    auto* radio = new wxRadioButton(this, ids[i], "", boxRect.GetPosition(), boxRect.GetSize(),
                                    i == 0 ? wxRB_GROUP : 0);
    radio->SetSize(GrowToFit(boxRect, radio->GetBestSize(), true));
    const wxRect textRect = rect({kPresetX, y + kPresetTextTop, kPresetWidth - kPresetBoxWidth,
                                  kPresetTextHeight});
    auto* text = new CFontStatic(this, wxID_ANY, kPresetTexts[i], textRect.GetPosition(),
                                 {radio->GetPosition().x - textRect.x, textRect.height});
    text->SetFontStyle(kDialogFace, kDialogFontHeight, *wxBLACK, 0);
    presetButtons_[i] = radio;

    // The toolkit reports every click, also one on the button already checked, which then
    // asks about and reloads the current preset.
    radio->Bind(wxEVT_RADIOBUTTON, [this, i](wxCommandEvent&) { OnPresetButton(i, true); });
    // The text is part of the button: a click on it is a click on the button.
    text->Bind(wxEVT_LEFT_UP, [this, i, radio](wxMouseEvent&) {
      radio->SetValue(true);
      CallAfter([this, i] { OnPresetButton(i, true); });
    });
  }
}

void CPedalsConfig2Dlg::BindEvents() {
  for (const ThrottleRow& r : kThrottleRows) {
    Bind(wxEVT_BUTTON, &CPedalsConfig2Dlg::OnStepButton, this, r.plusId);
    Bind(wxEVT_BUTTON, &CPedalsConfig2Dlg::OnStepButton, this, r.minusId);
  }
  Bind(wxEVT_CHECKBOX, &CPedalsConfig2Dlg::OnEnableToggled, this, kEnabledId);
  Bind(wxEVT_CHECKBOX, &CPedalsConfig2Dlg::OnLoadCellToggled, this, kLoadCellId);
  Bind(wxEVT_BUTTON, &CPedalsConfig2Dlg::OnCurvesButton, this, kCurvesButtonId);
  Bind(wxEVT_MENU, &CPedalsConfig2Dlg::OnCurveMenu, this, kCurveMenuFirstId, kCurveMenuLastId);
  Bind(wxEVT_CHAR_HOOK, &CPedalsConfig2Dlg::OnCharHook, this);
}

void CPedalsConfig2Dlg::OnPedalInput(double inputPercent) {
  const LiveDisplay display = model_.OnPedalInput(inputPercent);
  // The bar is only touched when its shown value changes.
  if (liveBar_->GetValue() != display.bar) liveBar_->SetValue(display.bar);
  percentLabel_->SetText(display.label);
  if (display.enabled) {
    pedalChart_.UpdateCrossHair(chart_->Core(), display.inputPercent, display.outputPercent);
  }
}

void CPedalsConfig2Dlg::LoadThrottlePreset(int index) { model_.LoadThrottlePreset(index); }

void CPedalsConfig2Dlg::SaveThrottlePreset(int index) const { model_.SaveThrottlePreset(index); }

bool CPedalsConfig2Dlg::SelectThrottlePreset(int index, bool force) {
  return model_.SelectThrottlePreset(index, force);
}

void CPedalsConfig2Dlg::OnPresetButton(int index, bool ask) { model_.OnPresetButton(index, ask); }

void CPedalsConfig2Dlg::SetSpanishTexts() { ApplyTexts(PageLanguage::Spanish); }

void CPedalsConfig2Dlg::SetEnglishTexts() { ApplyTexts(PageLanguage::English); }

void CPedalsConfig2Dlg::ApplyTexts(PageLanguage language) {
  const PedalPageTexts& texts = PedalPageTextsFor(language);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    const ThrottleRow& r = kThrottleRows[i];
    switch (r.field) {
      case ThrottleField::LowerDeadZone:
        rows_[i].caption->SetText(wxString::FromUTF8(texts.lowerDeadZone));
        break;
      case ThrottleField::UpperDeadZone:
        rows_[i].caption->SetText(wxString::FromUTF8(texts.upperDeadZone));
        break;
      case ThrottleField::Point:
        rows_[i].caption->SetText(ThrottlePointCaption(static_cast<std::size_t>(r.point)));
        break;
    }
  }
  enabledCaption_->SetText(wxString::FromUTF8(texts.enabled));
  loadCellCaption_->SetText(wxString::FromUTF8(texts.loadCell));
  curvesButton_->SetLabel(wxString::FromUTF8(texts.curves));
  model_.SetLanguage(language);
}

void CPedalsConfig2Dlg::RefreshValueLabels() {
  const ThrottleCurveSettings& s = model_.Settings();
  enabled_->SetValue((s.axis_cnf & 1) != 0);
  loadCell_->SetValue(s.axis_mode != 0);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    rows_[i].value->SetText(FormatThrottleRowValue(s, i));
  }
  BuildCurveChart();
}

void CPedalsConfig2Dlg::BuildCurveChart() {
  pedalChart_.Build(chart_->Core(), ThrottleChartCurves(model_.Settings()), model_.InputPercent(),
                    model_.OutputPercent());
}

void CPedalsConfig2Dlg::ShowPresetRadio(int index) {
  if (index >= 0 && index < kThrottlePresetCount) presetButtons_[index]->SetValue(true);
}

void CPedalsConfig2Dlg::OnStepButton(wxCommandEvent& event) {
  const auto outcome = model_.StepButton(event.GetId());
  if (!outcome) return;
  rows_[outcome->row].value->SetText(FormatThrottleRowValue(model_.Settings(), outcome->row));
  if (outcome->chartChanged) BuildCurveChart();
}

void CPedalsConfig2Dlg::OnEnableToggled(wxCommandEvent&) {
  const bool on = enabled_->GetValue();
  // One last display through the curve, with a 0 input, before the page shows "off".
  if (!on) OnPedalInput(0.0);
  model_.SetEnabled(on);
}

void CPedalsConfig2Dlg::OnLoadCellToggled(wxCommandEvent&) {
  model_.SetLoadCell(loadCell_->GetValue() ? 1 : 0);
}

void CPedalsConfig2Dlg::OnCurvesButton(wxCommandEvent&) {
  const bool spanish = CurvesCaptionIsSpanish(curvesButton_->GetLabel());
  std::unique_ptr<wxMenu> menu = CreateCurveMenu(spanish);
  const wxRect r = curvesButton_->GetRect();
  PopupMenu(menu.get(), r.x + r.width / 2, r.y + r.height / 2);
}

void CPedalsConfig2Dlg::OnCurveMenu(wxCommandEvent& event) {
  if (const auto shape = CurveShapeForMenuId(event.GetId())) {
    model_.ApplyCurveShape(*shape);
  }
}

void CPedalsConfig2Dlg::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    // The focused control still gets its key event (the chart uses Esc); the dialog around
    // the page never sees it.
    event.DoAllowNextEvent();
    return;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    // A focused button, check box or radio button still takes Enter as a press, which it
    // consumes, so no default button above the page fires; anywhere else Enter stops here.
    wxWindow* focus = FindFocus();
    if (dynamic_cast<wxButton*>(focus) || dynamic_cast<wxCheckBox*>(focus) ||
        dynamic_cast<wxRadioButton*>(focus)) {
      event.Skip();
    }
    return;
  }
  event.Skip();
}

void CPedalsConfig2Dlg::ShowSettings() {
  if (ready_) RefreshValueLabels();
}

void CPedalsConfig2Dlg::ShowPresetChecked(int preset) { ShowPresetRadio(preset); }

QuestionAnswer CPedalsConfig2Dlg::AskSaveChanges(const std::string& question) {
  const int answer = questionBox_(this, wxString::FromUTF8(question), kQuestionCaption,
                                  wxYES_NO | wxICON_QUESTION);
  // Only an explicit Yes saves; a box closed without an answer is not one.
  if (answer == wxID_YES) return QuestionAnswer::Yes;
  if (answer == wxID_NO) return QuestionAnswer::No;
  return QuestionAnswer::Closed;
}

void CPedalsConfig2Dlg::ApplyConfigLive() {
  if (PageOwner* owner = FindPageOwner(this)) owner->ApplyConfigLive();
}
