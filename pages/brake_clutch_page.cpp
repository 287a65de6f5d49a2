// The clutch and brake page window: controls at their template positions, events into the
// model.
#include "pages/brake_clutch_page.h"

#include <utility>

#include "chart/chart_container.h"
#include "pages/curve_menu.h"
#include "pages/font_static.h"
#include "pages/page_owner.h"
#include "pages/value_row_sizes.h"

namespace pages {

namespace {

constexpr PageCommonLayout kCommonLayout{
    {0, 41, 153, 117},  // chart
    {159, 20, 9, 252},  // live bar
    {134, 2, 39, 12},   // percentage
};

}  // namespace

CPedalsConfigDlg::CPedalsConfigDlg(wxWindow* parent, PedalKind kind, std::string settingsFile)
    : model_(kind, *this, std::move(settingsFile)), pedalChart_({L"Pedal Curve"}) {
  CreatePagePanel(*this, parent, kWidthDlu, kHeightDlu);
  CreateControls();
  BindEvents();
  ready_ = true;

  RefreshValueLabels();  // the first chart build adds the three series
  SetSpanishTexts();
}

CPedalsConfigDlg::~CPedalsConfigDlg() = default;

void CPedalsConfigDlg::CreateControls() {
  const PageControlFactory make(*this);
  // Both the brake and the clutch page hide the load-cell switch.
  controls_ = make.CommonControls(kCommonLayout);
  for (std::size_t i = 0; i < kBrakeClutchRowCount; ++i) {
    const BrakeClutchRow& r = kBrakeClutchRows[i];
    rows_[i] =
        make.ValueRow({r.captionId, r.minusId, r.valueId, r.plusId},
                      {r.captionX, r.captionY, r.captionWidth, kCaptionHeight}, r.valueX, r.valueY);
  }
}

bool CPedalsConfigDlg::SendIdleEvents(wxIdleEvent& event) {
  return idleVisits_.Due(IsShown()) && wxPanel::SendIdleEvents(event);
}

void CPedalsConfigDlg::BindEvents() {
  BindPageEvents(*this, controls_, rows_,
                 {[this](int buttonId) { model_.StepButton(buttonId); },
                  [this](bool checked) {
                    if (const auto last = model_.SetEnabled(checked)) {
                      ShowLiveDisplay(controls_, *last, pedalChart_);
                    }
                  },
                  [this](int checkState) { model_.SetLoadCell(checkState); },
                  [this](CurveShape shape) { model_.ApplyCurveShape(shape); }});
}

void CPedalsConfigDlg::LoadPedalSettings(const BrakeClutchSettings& values) {
  model_.LoadPedalSettings(values);
}

void CPedalsConfigDlg::OnPedalInput(double inputPercent) {
  ShowLiveDisplay(controls_, model_.OnPedalInput(inputPercent), pedalChart_);
}

void CPedalsConfigDlg::BrakeForceUp() { model_.BrakeForceUp(); }

void CPedalsConfigDlg::BrakeForceDown() { model_.BrakeForceDown(); }

void CPedalsConfigDlg::SetSpanishTexts() { ApplyTexts(PageLanguage::kSpanish); }

void CPedalsConfigDlg::SetEnglishTexts() { ApplyTexts(PageLanguage::kEnglish); }

void CPedalsConfigDlg::ApplyTexts(PageLanguage language) {
  const PedalPageTexts& texts = PedalPageTextsFor(language);
  rows_[kLowerDeadZoneRow].caption->SetText(wxString::FromUTF8(texts.lowerDeadZone));
  rows_[kUpperValueRow].caption->SetText(
      wxString::FromUTF8(UpperValueCaption(model_.Kind(), language)));
  for (std::size_t k = 0; k < kBrakeClutchPointCount; ++k) {
    rows_[kFirstPointRow + k].caption->SetText(BrakeClutchPointCaption(k));
  }
  ApplyCommonTexts(controls_, language);
}

void CPedalsConfigDlg::RefreshValueLabels() {
  const BrakeClutchSettings& s = model_.Settings();
  ShowPageFlags(controls_, s.axis_cnf, s.axis_mode);
  for (std::size_t i = 0; i < kBrakeClutchRowCount; ++i) {
    rows_[i].value->SetText(FormatBrakeClutchRowValue(s, model_.Kind(), i));
  }
  BuildCurveChart();
}

void CPedalsConfigDlg::BuildCurveChart() {
  pedalChart_.Build(controls_.chart->Core(), BrakeClutchChartCurves(model_.Settings()),
                    model_.InputPercent(), model_.OutputPercent());
}

void CPedalsConfigDlg::ShowSettings() {
  if (ready_) RefreshValueLabels();
}

void CPedalsConfigDlg::ShowRow(std::size_t row, bool chartChanged) {
  rows_.at(row).value->SetText(FormatBrakeClutchRowValue(model_.Settings(), model_.Kind(), row));
  if (chartChanged) BuildCurveChart();
}

void CPedalsConfigDlg::ApplyConfigLive() { ApplyConfigLiveInOwner(this); }

}  // namespace pages
