// CPedalsConfig2Dlg: the throttle page. A child panel of the main dialog with the value rows,
// the curve chart, the live bar and percentage, the Enabled box, the curve-shapes button and
// the preset buttons A, B and C. Its behaviour lives in ThrottlePageModel.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include <wx/panel.h>

#include "pages/idle_visits.h"
#include "pages/page_controls.h"
#include "pages/page_texts.h"
#include "pages/pedal_chart.h"
#include "pages/throttle_page_model.h"
#include "platform/profile_settings.h"

class wxRadioButton;

namespace pages {

class CFontStatic;
class CLiveBar;

class CPedalsConfig2Dlg : public wxPanel, private ThrottlePageView {
 public:
  // Ids of the preset buttons; the shared controls have PageControlId, the rows theirs in
  // kThrottleRows.
  enum PresetButtonId {
    kPresetAId = 1063,
    kPresetBId = 1072,
    kPresetCId = 1073,
  };
  // Size of the page in dialog units.
  static constexpr int kWidthDlu = 383;
  static constexpr int kHeightDlu = 278;

  // Shows the save question; returns wxID_YES, wxID_NO, or anything else for a box closed
  // without an answer. The default is a wxMessageDialog.
  using QuestionBox = std::function<int(wxWindow* parent, const wxString& message,
                                        const wxString& caption, long style)>;

  // Creates the page hidden, as a child of parent, which places and shows it; the page finds
  // its PageOwner among its ancestors. Loads the preset named in the settings file.
  explicit CPedalsConfig2Dlg(wxWindow* parent, std::string settingsFile = platform::kSettingsFile,
                             QuestionBox questionBox = {});
  ~CPedalsConfig2Dlg() override;

  // Idle visits reach the page's controls as IdleVisits allows: at most every 50 ms while it
  // shows.
  bool SendIdleEvents(wxIdleEvent& event) override;

  // ---- For the main dialog ----
  // dz_0, dz_1, band, axis_cnf, axis_mode and dirty, read into the configuration record;
  // dirty is cleared after a send.
  ThrottleCurveSettings& Settings() { return model_.Settings(); }
  const ThrottleCurveSettings& Settings() const { return model_.Settings(); }
  int CurrentPreset() const { return model_.CurrentPreset(); }
  int InputPercent() const { return model_.InputPercent(); }
  int OutputPercent() const { return model_.OutputPercent(); }

  // The live input in percent, from the main dialog's 23 ms timer.
  void OnPedalInput(double inputPercent);

  void LoadThrottlePreset(int index);  // and shows it
  void SaveThrottlePreset(int index) const;
  // Restore (force) and hot keys (unforced): never asks, checks the preset's button, loads,
  // writes it as selected and applies live. Unforced, the current preset is left alone.
  bool SelectThrottlePreset(int index, bool force);
  // A preset button click (ask: with the save question when there are unsent changes).
  void OnPresetButton(int index, bool ask);

  void SetSpanishTexts();
  void SetEnglishTexts();

  // Every check box and value label from the settings, then the chart.
  void RefreshValueLabels();

  // ---- Child controls, for the owner's layout and for tests ----
  chart::CChartContainer& Chart() { return *controls_.chart; }
  CFontStatic& ValueLabel(std::size_t row) { return *rows_.at(row).value; }
  CFontStatic& CaptionLabel(std::size_t row) { return *rows_.at(row).caption; }
  CFontStatic& PercentLabel() { return *controls_.percentLabel; }
  CLiveBar& LiveBar() { return *controls_.liveBar; }
  const PedalChart& ChartSeries() const { return pedalChart_; }

 private:
  void CreateControls();
  void BindEvents();
  void ApplyTexts(PageLanguage language);
  void BuildCurveChart();
  void ShowPresetRadio(int index);

  // A step button's click: the row's label, and the chart when a point moved.
  void StepRow(int buttonId);
  // The Enabled box's click.
  void SetEnabled(bool on);

  // ThrottlePageView
  void ShowSettings() override;
  void ShowPresetChecked(int preset) override;
  QuestionAnswer AskSaveChanges(const std::string& question) override;
  void ApplyConfigLive() override;

  ThrottlePageModel model_;
  IdleVisits idleVisits_;
  QuestionBox questionBox_;
  PedalChart pedalChart_;

  // Children of the page; the window tree owns them.
  PageCommonControls controls_;
  std::array<PageValueRow, kThrottleRowCount> rows_{};
  std::array<wxRadioButton*, kThrottlePresetCount> presetButtons_{};
  bool ready_ = false;  // the controls exist
};

}  // namespace pages
