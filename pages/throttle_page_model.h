// The throttle page without its window: settings, live display, editing and the preset
// switch. CPedalsConfig2Dlg turns events into calls on it and shows what it reports.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chart/core/chart_series.h"
#include "pages/live_input.h"
#include "pages/page_texts.h"
#include "pages/throttle_curve.h"
#include "pages/throttle_presets.h"

namespace pages {

// The chart's two curve series: the points 10 apart up to 90 (x 50..140), then the points 1
// apart from 90 (x 140..150); band_90 ends the first and starts the second.
std::vector<chart::ChartPoints> ThrottleChartCurves(const ThrottleCurveSettings& settings);

// What the model needs of its window; tests give it a recording fake.
class ThrottlePageView {
 public:
  virtual ~ThrottlePageView() = default;
  // The settings changed wholesale: every value label, the check boxes and the chart.
  virtual void ShowSettings() = 0;
  virtual void ShowPresetChecked(int preset) = 0;
  // Caption "Orvo Pedals", Yes and No, the question icon.
  virtual QuestionAnswer AskSaveChanges(const std::string& question) = 0;
  // The owner's live apply (send without storing, beep, monitor pop-up).
  virtual void ApplyConfigLive() = 0;
};

class ThrottlePageModel {
 public:
  static constexpr int kAverageWindow = 8;

  // view is not owned and must outlive the model; file is the settings file.
  ThrottlePageModel(ThrottlePageView& view, std::string file);

  ThrottleCurveSettings& Settings() { return settings_; }
  const ThrottleCurveSettings& Settings() const { return settings_; }
  int CurrentPreset() const { return currentPreset_; }
  int InputPercent() const { return live_.InputPercent(); }
  int OutputPercent() const { return live_.OutputPercent(); }
  const MovingAverage& InputAverage() const { return live_.Average(); }
  const std::string& SettingsFile() const { return file_; }

  // The page's start: the preset named in CNF (0 when missing or out of range) is loaded.
  void Start();

  // ---- Live display ----
  // Smooths x (input percent), maps it through the dead zones and the curve. The bar is
  // limited to 0..100; the label and the percents keep the evaluated values, which go below 0
  // when dz_1 lies below dz_0.
  PedalLiveDisplay OnPedalInput(double x);

  // ---- Editing ----
  // One click of a step button; nothing for another id. chartChanged: a curve point moved.
  struct StepOutcome {
    std::size_t row;
    bool chartChanged;
  };
  std::optional<StepOutcome> StepButton(int buttonId);
  void ApplyCurveShape(CurveShape shape);  // then the view shows the settings
  void SetEnabled(bool on);                // the caller first feeds a last 0 input when off
  void SetLoadCell(int checkState);

  // ---- Presets ----
  void SetLanguage(PageLanguage language);
  // The save question about leaving preset, e.g. "Do you want to save changes in preset A?".
  std::string SaveQuestionFor(int preset) const;

  // A click on a preset button. With ask and unsent changes, asks whether to save them into
  // the preset being left; only Yes saves. Then loads index, writes it as selected and applies
  // live, also when index is the current preset. An index outside 0..2 is ignored.
  void OnPresetButton(int index, bool ask);
  // The selection of a restore (force) or a hot key: never asks, drops unsent changes, checks
  // the preset's button. Unforced, the current preset is left alone. True when it selected.
  bool SelectThrottlePreset(int index, bool force);
  void LoadThrottlePreset(int index);  // then the view shows the settings
  void SaveThrottlePreset(int index) const;

 private:
  void SwitchTo(int index);

  ThrottlePageView& view_;
  std::string file_;
  ThrottleCurveSettings settings_;
  int currentPreset_ = 0;
  LiveInput live_{kAverageWindow};
  std::string saveQuestion_;
};

}  // namespace pages
