// Window-free behaviour of the throttle page.
#include "pages/throttle_page_model.h"

#include <utility>

#include "pages/pedal_chart.h"

namespace pages {

namespace {
constexpr std::size_t kLastCoarsePoint = 9;  // band_90
}  // namespace

std::vector<chart::ChartPoints> ThrottleChartCurves(const ThrottleCurveSettings& settings) {
  std::vector<chart::ChartPoints> curves(2);
  for (std::size_t k = 0; k < kThrottlePointCount; ++k) {
    const chart::ChartPoint point = PedalChartPoint(kThrottlePointInputs[k], settings.band[k]);
    if (k <= kLastCoarsePoint) curves[0].push_back(point);
    if (k >= kLastCoarsePoint) curves[1].push_back(point);
  }
  return curves;
}

ThrottlePageModel::ThrottlePageModel(ThrottlePageView& view, std::string file)
    : view_(view), file_(std::move(file)), settings_(DefaultThrottleSettings()) {}

void ThrottlePageModel::Start() {
  currentPreset_ = ReadSelectedThrottlePreset(file_);
  LoadThrottlePreset(currentPreset_);
}

PedalLiveDisplay ThrottlePageModel::OnPedalInput(double x) {
  return live_.Feed(x, settings_.axis_cnf != 0,
                    [this](double average) { return EvaluateCurve(settings_, average); });
}

std::optional<ThrottlePageModel::StepOutcome> ThrottlePageModel::StepButton(int buttonId) {
  const std::optional<ThrottleStep> step = ThrottleStepForButton(buttonId);
  if (!step) return std::nullopt;
  return StepOutcome{step->row, StepThrottleRow(settings_, *step)};
}

void ThrottlePageModel::ApplyCurveShape(CurveShape shape) {
  ApplyThrottleShape(settings_, shape);
  view_.ShowSettings();
}

void ThrottlePageModel::SetEnabled(bool on) {
  settings_.axis_cnf = on ? 1 : 0;
  settings_.dirty = true;
}

void ThrottlePageModel::SetLoadCell(int checkState) {
  settings_.axis_mode = checkState;
  settings_.dirty = true;
}

void ThrottlePageModel::SetLanguage(PageLanguage language) {
  saveQuestion_ = ThrottleSaveQuestion(language);
}

std::string ThrottlePageModel::SaveQuestionFor(int preset) const {
  return saveQuestion_ + ThrottlePresetLetter(preset) + "?";
}

void ThrottlePageModel::OnPresetButton(int index, bool ask) {
  if (index < 0 || index >= kThrottlePresetCount) return;
  if (settings_.dirty && ask) {
    // Ask about the preset being left, not the one clicked.
    if (view_.AskSaveChanges(SaveQuestionFor(currentPreset_)) == QuestionAnswer::kYes) {
      SaveThrottlePreset(currentPreset_);
    }
  }
  SwitchTo(index);
}

bool ThrottlePageModel::SelectThrottlePreset(int index, bool force) {
  if (index < 0 || index >= kThrottlePresetCount) return false;
  if (index == currentPreset_ && !force) return false;
  view_.ShowPresetChecked(index);
  SwitchTo(index);
  return true;
}

void ThrottlePageModel::SwitchTo(int index) {
  currentPreset_ = index;
  LoadThrottlePreset(index);
  WriteSelectedThrottlePreset(currentPreset_, file_);
  view_.ApplyConfigLive();
}

void ThrottlePageModel::LoadThrottlePreset(int index) {
  pages::LoadThrottlePreset(settings_, index, file_);
  view_.ShowSettings();
}

void ThrottlePageModel::SaveThrottlePreset(int index) const {
  pages::SaveThrottlePreset(settings_, index, file_);
}

}  // namespace pages
