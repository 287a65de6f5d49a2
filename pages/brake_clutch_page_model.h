// The clutch and brake page without its window: settings, the load from the controller with the
// brake's stored maximum force, live display, editing and the brake-force steps.
// CPedalsConfigDlg turns events into calls on it and shows what it reports.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "chart/core/chart_series.h"
#include "pages/brake_clutch_curve.h"
#include "pages/live_input.h"
#include "pages/page_texts.h"

namespace pages {

// The brake's maximum force last set on this computer; it wins over the controller's value.
inline constexpr char kBrakeSection[] = "BRAKE";
inline constexpr char kMaxForceKey[] = "max_force";

// The chart's one curve series: the 11 points at x 50, 60, ..., 150.
std::vector<chart::ChartPoints> BrakeClutchChartCurves(const BrakeClutchSettings& settings);

// The caption of the upper value: the maximum braking force on the brake page, the upper dead
// zone on any other.
const char* UpperValueCaption(PedalKind kind, PageLanguage language);

// What the model needs of its window; tests give it a recording fake.
class BrakeClutchPageView {
 public:
  virtual ~BrakeClutchPageView() = default;
  // The settings changed wholesale: every value label, the check boxes and the chart.
  virtual void ShowSettings() = 0;
  // One row was stepped: its value label, and the chart when a curve point moved.
  virtual void ShowRow(std::size_t row, bool chartChanged) = 0;
  // The owner's live apply (send without storing, beep, monitor pop-up).
  virtual void ApplyConfigLive() = 0;
};

class BrakeClutchPageModel {
 public:
  static constexpr int kAverageWindow = 10;

  // view is not owned and must outlive the model; file is the settings file.
  BrakeClutchPageModel(PedalKind kind, BrakeClutchPageView& view, std::string file);

  PedalKind Kind() const { return kind_; }
  BrakeClutchSettings& Settings() { return settings_; }
  const BrakeClutchSettings& Settings() const { return settings_; }
  int InputPercent() const { return live_.InputPercent(); }
  int OutputPercent() const { return live_.OutputPercent(); }
  const MovingAverage& InputAverage() const { return live_.Average(); }

  // Takes dz_0, dz_1, band, axis_cnf and axis_mode of values (the controller's or a backup's;
  // values.dirty is not used) and clears dirty. On the brake page a max_force of 0..100 in the
  // settings file replaces dz_1; a missing key, or a value outside that range (an edited file),
  // keeps the given dz_1. Then the view shows the settings.
  void LoadPedalSettings(const BrakeClutchSettings& values);

  // Smooths x (input percent) over 10 samples and maps it through the curve.
  PedalLiveDisplay OnPedalInput(double x);

  // ---- Editing; each sets dirty ----
  // One click of a step button, then the view shows its row; false for another id.
  bool StepButton(int buttonId);
  void ApplyCurveShape(CurveShape shape);  // then the view shows the settings
  // The Enabled box: when cleared, one last input of 0 goes through the curve while the pedal
  // still counts as enabled, and its display is returned for the window to show.
  std::optional<PedalLiveDisplay> SetEnabled(bool checked);
  void SetLoadCell(int checkState);

  // The upper value's "+" or "-" (brake page: maximum force within 60..100), then the owner's
  // live apply; on the brake page the new force is also written to BRAKE max_force.
  void BrakeForceUp();
  void BrakeForceDown();

 private:
  void StepBrakeForce(int buttonId);

  PedalKind kind_;
  BrakeClutchPageView& view_;
  std::string file_;
  BrakeClutchSettings settings_;
  LiveInput live_{kAverageWindow};
};

}  // namespace pages
