// CPedalsConfigDlg: the clutch and brake page. A child panel of the main dialog with the value
// rows, the curve chart, the live bar and percentage, the Enabled box and the curve-shapes
// button. The main dialog creates two: the brake page and the clutch page. Its behaviour
// lives in BrakeClutchPageModel.
#pragma once

#include <array>
#include <string>

#include <wx/panel.h>

#include "pages/brake_clutch_page_model.h"
#include "pages/idle_visits.h"
#include "pages/page_controls.h"
#include "pages/page_texts.h"
#include "pages/pedal_chart.h"
#include "platform/profile_settings.h"

namespace chart {
class CChartContainer;
}

namespace pages {

class CFontStatic;
class CLiveBar;

class CPedalsConfigDlg : public wxPanel, private BrakeClutchPageView {
 public:
  // Size of the page in dialog units.
  static constexpr int kWidthDlu = 185;
  static constexpr int kHeightDlu = 278;

  // Creates the page hidden, as a child of parent, which places and shows it; the page finds
  // its PageOwner among its ancestors. kind is Brake or Clutch (any kind but Brake behaves as
  // the clutch page). The page starts with the defaults and the Spanish texts.
  CPedalsConfigDlg(wxWindow* parent, PedalKind kind,
                   std::string settingsFile = platform::kSettingsFile);
  ~CPedalsConfigDlg() override;

  // ---- For the main dialog ----
  PedalKind Kind() const { return model_.Kind(); }
  // dz_0, dz_1 (the brake's maximum force), band, axis_cnf, axis_mode and dirty: read into the
  // configuration record and the backup; dirty is cleared after a send, set after a restore.
  BrakeClutchSettings& Settings() { return model_.Settings(); }
  const BrakeClutchSettings& Settings() const { return model_.Settings(); }
  int InputPercent() const { return model_.InputPercent(); }
  int OutputPercent() const { return model_.OutputPercent(); }

  // The controller's or a backup's values; clears dirty and shows them. The brake page puts a
  // stored BRAKE max_force of 0..100 in place of dz_1.
  void LoadPedalSettings(const BrakeClutchSettings& values);
  // The live input in percent, from the main dialog's 23 ms timer; 0 when the controller goes.
  void OnPedalInput(double inputPercent);
  // The brake hot keys: one step of the upper value, live apply, and on the brake page the
  // new force written to BRAKE max_force.
  void BrakeForceUp();
  void BrakeForceDown();

  void SetSpanishTexts();
  void SetEnglishTexts();

  // Every check box and value label from the settings, then the chart.
  void RefreshValueLabels();

  // Idle visits reach the page's controls as IdleVisits allows: none while it is hidden (the
  // page of a pedal marked absent), at most every 50 ms while it shows.
  bool SendIdleEvents(wxIdleEvent& event) override;

  // ---- Child controls, for tests ----
  chart::CChartContainer& Chart() { return *controls_.chart; }
  const PageValueRow& Row(std::size_t row) const { return rows_.at(row); }
  CFontStatic& PercentLabel() { return *controls_.percentLabel; }
  CLiveBar& LiveBar() { return *controls_.liveBar; }
  const PedalChart& ChartSeries() const { return pedalChart_; }

 private:
  void CreateControls();
  void BindEvents();
  void ApplyTexts(PageLanguage language);
  void BuildCurveChart();

  // BrakeClutchPageView
  void ShowSettings() override;
  void ShowRow(std::size_t row, bool chartChanged) override;
  void ApplyConfigLive() override;

  BrakeClutchPageModel model_;
  IdleVisits idleVisits_;
  PedalChart pedalChart_;

  // Children of the page; the window tree owns them.
  PageCommonControls controls_;
  std::array<PageValueRow, kBrakeClutchRowCount> rows_{};
  bool ready_ = false;  // the controls exist
};

}  // namespace pages
