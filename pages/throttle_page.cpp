// The throttle page window: controls at their template positions, events into the model.
#include "pages/throttle_page.h"

#include <wx/msgdlg.h>
#include <wx/radiobut.h>

#include "chart/chart_container.h"
#include "pages/curve_menu.h"
#include "pages/font_static.h"
#include "pages/page_owner.h"
#include "pages/value_row_sizes.h"

namespace pages {

namespace {

constexpr PageCommonLayout kCommonLayout{
    {93, 38, 153, 117},  // chart
    {330, 20, 9, 252},   // live bar
    {310, 2, 33, 12},    // percentage
};

// Captions end one unit left of the row's "-" button, which stands 12 units left of the value;
// the dead-zone captions are wider and further away.
constexpr int kDeadZoneCaptionOffset = 112;
constexpr int kPointCaptionGap = 13;

DluRect CaptionRect(const ThrottleRow& r) {
  if (r.field != ThrottleField::kPoint) {
    return {r.x - kDeadZoneCaptionOffset, r.y + 1, kDeadZoneCaptionWidth, kCaptionHeight};
  }
  const bool last = static_cast<std::size_t>(r.point) + 1 == kThrottlePointCount;
  const int width = last ? kLastPointCaptionWidth : kPointCaptionWidth;
  return {r.x - kPointCaptionGap - width, r.y + 1, width, kCaptionHeight};
}

// The preset buttons have their text on the left; the toolkit cannot place it there, so a
// label takes the text's place and an unlabelled button the box's place at the right end.
constexpr int kPresetX = 267;
constexpr int kPresetWidth = 51;
constexpr int kPresetHeight = 15;
constexpr std::array<int, kThrottlePresetCount> kPresetY{209, 224, 239};
constexpr int kPresetBoxWidth = 13;
constexpr int kPresetTextTop = 3;  // the text sits centred in the button's height
constexpr int kPresetTextHeight = 10;
// The templates' dialog font (kDialogFace, 8 points) as a cell height in pixels at 96 DPI.
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
  CreatePagePanel(*this, parent, kWidthDlu, kHeightDlu);
  CreateControls();
  BindEvents();
  ready_ = true;

  RefreshValueLabels();  // the first chart build adds the four series
  SetSpanishTexts();
  model_.Start();
  ShowPresetRadio(model_.CurrentPreset());
}

CPedalsConfig2Dlg::~CPedalsConfig2Dlg() = default;

bool CPedalsConfig2Dlg::SendIdleEvents(wxIdleEvent& event) {
  return idleVisits_.Due(IsShown()) && wxPanel::SendIdleEvents(event);
}

void CPedalsConfig2Dlg::CreateControls() {
  const PageControlFactory make(*this);
  controls_ = make.CommonControls(kCommonLayout);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    const ThrottleRow& r = kThrottleRows[i];
    rows_[i] =
        make.ValueRow({r.captionId, r.minusId, r.valueId, r.plusId}, CaptionRect(r), r.x, r.y);
  }

  const std::array<int, kThrottlePresetCount> ids{kPresetAId, kPresetBId, kPresetCId};
  for (int i = 0; i < kThrottlePresetCount; ++i) {
    const int y = kPresetY[i];
    const wxRect boxRect =
        make.Pixels({kPresetX + kPresetWidth - kPresetBoxWidth, y, kPresetBoxWidth, kPresetHeight});
    auto* radio = new wxRadioButton(this, ids[i], "", boxRect.GetPosition(), boxRect.GetSize(),
                                    i == 0 ? wxRB_GROUP : 0);
    radio->SetSize(GrowToFit(boxRect, radio->GetBestSize(), true));
    const wxRect textRect = make.Pixels(
        {kPresetX, y + kPresetTextTop, kPresetWidth - kPresetBoxWidth, kPresetTextHeight});
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
  BindPageEvents(
      *this, controls_, rows_,
      {[this](int buttonId) { StepRow(buttonId); }, [this](bool checked) { SetEnabled(checked); },
       [this](int checkState) { model_.SetLoadCell(checkState); },
       [this](CurveShape shape) { model_.ApplyCurveShape(shape); }});
}

void CPedalsConfig2Dlg::OnPedalInput(double inputPercent) {
  ShowLiveDisplay(controls_, model_.OnPedalInput(inputPercent), pedalChart_);
}

void CPedalsConfig2Dlg::LoadThrottlePreset(int index) { model_.LoadThrottlePreset(index); }

void CPedalsConfig2Dlg::SaveThrottlePreset(int index) const { model_.SaveThrottlePreset(index); }

bool CPedalsConfig2Dlg::SelectThrottlePreset(int index, bool force) {
  return model_.SelectThrottlePreset(index, force);
}

void CPedalsConfig2Dlg::OnPresetButton(int index, bool ask) { model_.OnPresetButton(index, ask); }

void CPedalsConfig2Dlg::SetSpanishTexts() { ApplyTexts(PageLanguage::kSpanish); }

void CPedalsConfig2Dlg::SetEnglishTexts() { ApplyTexts(PageLanguage::kEnglish); }

void CPedalsConfig2Dlg::ApplyTexts(PageLanguage language) {
  const PedalPageTexts& texts = PedalPageTextsFor(language);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    const ThrottleRow& r = kThrottleRows[i];
    switch (r.field) {
      case ThrottleField::kLowerDeadZone:
        rows_[i].caption->SetText(wxString::FromUTF8(texts.lowerDeadZone));
        break;
      case ThrottleField::kUpperDeadZone:
        rows_[i].caption->SetText(wxString::FromUTF8(texts.upperDeadZone));
        break;
      case ThrottleField::kPoint:
        rows_[i].caption->SetText(ThrottlePointCaption(static_cast<std::size_t>(r.point)));
        break;
    }
  }
  ApplyCommonTexts(controls_, language);
  model_.SetLanguage(language);
}

void CPedalsConfig2Dlg::RefreshValueLabels() {
  const ThrottleCurveSettings& s = model_.Settings();
  ShowPageFlags(controls_, s.axis_cnf, s.axis_mode);
  for (std::size_t i = 0; i < kThrottleRowCount; ++i) {
    rows_[i].value->SetText(FormatThrottleRowValue(s, i));
  }
  BuildCurveChart();
}

void CPedalsConfig2Dlg::BuildCurveChart() {
  pedalChart_.Build(controls_.chart->Core(), ThrottleChartCurves(model_.Settings()),
                    model_.InputPercent(), model_.OutputPercent());
}

void CPedalsConfig2Dlg::ShowPresetRadio(int index) {
  if (index >= 0 && index < kThrottlePresetCount) presetButtons_[index]->SetValue(true);
}

void CPedalsConfig2Dlg::StepRow(int buttonId) {
  const auto outcome = model_.StepButton(buttonId);
  if (!outcome) return;
  rows_[outcome->row].value->SetText(FormatThrottleRowValue(model_.Settings(), outcome->row));
  if (outcome->chartChanged) BuildCurveChart();
}

void CPedalsConfig2Dlg::SetEnabled(bool on) {
  // One last display through the curve, with a 0 input, before the page shows "off".
  if (!on) OnPedalInput(0.0);
  model_.SetEnabled(on);
}

void CPedalsConfig2Dlg::ShowSettings() {
  if (ready_) RefreshValueLabels();
}

void CPedalsConfig2Dlg::ShowPresetChecked(int preset) { ShowPresetRadio(preset); }

QuestionAnswer CPedalsConfig2Dlg::AskSaveChanges(const std::string& question) {
  const int answer = questionBox_(this, wxString::FromUTF8(question), kQuestionCaption,
                                  wxYES_NO | wxICON_QUESTION);
  // Only an explicit Yes saves; a box closed without an answer is not one.
  if (answer == wxID_YES) return QuestionAnswer::kYes;
  if (answer == wxID_NO) return QuestionAnswer::kNo;
  return QuestionAnswer::kClosed;
}

void CPedalsConfig2Dlg::ApplyConfigLive() { ApplyConfigLiveInOwner(this); }

}  // namespace pages
