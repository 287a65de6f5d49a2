// Window-free behaviour of the clutch and brake page.
#include "pages/brake_clutch_page_model.h"

#include <utility>

#include "pages/pedal_chart.h"
#include "platform/ini_file.h"
#include "platform/profile_settings.h"

namespace pages {

namespace {

// What GetPrivateProfileInt gives when no force is stored.
constexpr int kNoStoredForce = -1;
constexpr int kMaxStoredForce = 100;

}  // namespace

std::vector<chart::ChartPoints> BrakeClutchChartCurves(const BrakeClutchSettings& settings) {
  std::vector<chart::ChartPoints> curves(1);
  for (std::size_t k = 0; k < kBrakeClutchPointCount; ++k) {
    curves[0].push_back(
        PedalChartPoint(static_cast<double>(k) * kBrakeClutchPointSpacing, settings.band[k]));
  }
  return curves;
}

const char* UpperValueCaption(PedalKind kind, PageLanguage language) {
  if (kind == PedalKind::kBrake) {
    return language == PageLanguage::kSpanish ? "Fuerza Máxima Frenado" : "Max Braking Force";
  }
  return PedalPageTextsFor(language).upperDeadZone;
}

BrakeClutchPageModel::BrakeClutchPageModel(PedalKind kind, BrakeClutchPageView& view,
                                           std::string file)
    : kind_(kind), view_(view), file_(std::move(file)), settings_(DefaultBrakeClutchSettings()) {}

void BrakeClutchPageModel::LoadPedalSettings(const BrakeClutchSettings& values) {
  settings_ = values;
  settings_.dirty = false;
  if (kind_ == PedalKind::kBrake) {
    const int stored =
        platform::GetPrivateProfileInt(kBrakeSection, kMaxForceKey, kNoStoredForce, file_);
    // A force above 100 from an edited file would otherwise be sent to the controller.
    if (stored >= 0 && stored <= kMaxStoredForce) settings_.dz_1 = stored;
  }
  view_.ShowSettings();
}

PedalLiveDisplay BrakeClutchPageModel::OnPedalInput(double x) {
  return live_.Feed(x, settings_.axis_cnf != 0,
                    [this](double average) { return EvaluateCurve(settings_, average); });
}

bool BrakeClutchPageModel::StepButton(int buttonId) {
  const std::optional<BrakeClutchStep> step = BrakeClutchStepForButton(buttonId);
  if (!step) return false;
  const bool chartChanged = StepBrakeClutchRow(settings_, kind_, *step);
  view_.ShowRow(step->row, chartChanged);
  return true;
}

void BrakeClutchPageModel::ApplyCurveShape(CurveShape shape) {
  ApplyBrakeClutchShape(settings_, shape);
  view_.ShowSettings();
}

std::optional<PedalLiveDisplay> BrakeClutchPageModel::SetEnabled(bool checked) {
  std::optional<PedalLiveDisplay> last;
  if (!checked) last = OnPedalInput(0.0);
  settings_.axis_cnf = checked ? 1 : 0;
  settings_.dirty = true;
  return last;
}

void BrakeClutchPageModel::SetLoadCell(int checkState) {
  settings_.axis_mode = checkState;
  settings_.dirty = true;
}

void BrakeClutchPageModel::BrakeForceUp() {
  StepBrakeForce(kBrakeClutchRows[kUpperValueRow].plusId);
}

void BrakeClutchPageModel::BrakeForceDown() {
  StepBrakeForce(kBrakeClutchRows[kUpperValueRow].minusId);
}

void BrakeClutchPageModel::StepBrakeForce(int buttonId) {
  StepButton(buttonId);
  view_.ApplyConfigLive();
  if (kind_ == PedalKind::kBrake) {
    platform::WriteProfileInt(kBrakeSection, kMaxForceKey, settings_.dz_1, file_);
  }
}

}  // namespace pages
