// Controls that every pedal page builds the same way: labels and buttons at template
// positions, the value rows, the live display, the curve-shapes pop-up and the keys a page
// keeps from its dialog.
#pragma once

#include <functional>
#include <span>

#include <wx/string.h>

#include "pages/curve_menu.h"
#include "pages/dialog_units.h"
#include "pages/live_input.h"
#include "pages/page_style.h"
#include "pages/page_texts.h"

class wxButton;
class wxCheckBox;
class wxKeyEvent;
class wxPanel;
class wxWindow;
namespace chart {
class CChartContainer;
}

namespace pages {

class CFontStatic;
class CLiveBar;
class PedalChart;

// Ids that every page template gives the same control.
enum PageControlId {
  kPageLiveBarId = 1011,
  kPageChartId = 1013,
  kPageEnabledId = 1054,
  kPageEnabledCaptionId = 1055,
  kPageLoadCellId = 1056,
  kPageLoadCellCaptionId = 1057,
  kPageCurvesButtonId = 1058,
  kPagePercentLabelId = 1059,
};

// What the templates hold in their labels until the page sets its texts.
inline constexpr const char* kTemplateLabelText = "Estático";

// A rectangle in dialog units.
struct DluRect {
  int x, y, w, h;
};

// These stand at the same place on every page.
inline constexpr DluRect kEnabledBoxRect{45, 5, 16, 10};
inline constexpr DluRect kEnabledCaptionRect{0, 4, 42, 12};
inline constexpr DluRect kLoadCellBoxRect{111, 5, 16, 10};
inline constexpr DluRect kLoadCellCaptionRect{65, 4, 42, 12};
inline constexpr DluRect kCurvesButtonRect{25, 161, 50, 15};

// One value row, left to right. No ownership: the controls are children of the page.
struct PageValueRow {
  CFontStatic* caption = nullptr;
  wxButton* minus = nullptr;
  CFontStatic* value = nullptr;
  wxButton* plus = nullptr;
};

// The controls every page has, with the same ids. No ownership: children of the page.
struct PageCommonControls {
  chart::CChartContainer* chart = nullptr;
  CLiveBar* liveBar = nullptr;
  CFontStatic* percentLabel = nullptr;
  wxCheckBox* enabled = nullptr;
  CFontStatic* enabledCaption = nullptr;
  wxCheckBox* loadCell = nullptr;  // kept in step with axis_mode, never shown
  CFontStatic* loadCellCaption = nullptr;
  wxButton* curvesButton = nullptr;
};

// Where a page's template puts the common controls that move from page to page.
struct PageCommonLayout {
  DluRect chart;
  DluRect liveBar;
  DluRect percentLabel;
};

struct PageValueRowIds {
  int caption;
  int minus;
  int value;
  int plus;
};

// Creates page as a hidden child of parent (the owner places and shows it), of the template's
// size, on the page background.
void CreatePagePanel(wxPanel& page, wxWindow* parent, int widthDlu, int heightDlu);

// Helpers to create a page's children at their template rectangles.
class PageControlFactory {
 public:
  explicit PageControlFactory(wxWindow& page);

  wxRect Pixels(const DluRect& r) const { return units_.Rect(r.x, r.y, r.w, r.h); }
  CFontStatic* Label(int id, const DluRect& r, const wxString& text) const;
  // A push button that keeps its text however small the template makes it.
  wxButton* Button(int id, const DluRect& r, const wxString& text) const;
  // Caption (white, right-aligned), "-", value (black on grey, centred), "+"; the buttons sit
  // just left and right of the value label at (valueX, valueY), 1 unit higher.
  PageValueRow ValueRow(const PageValueRowIds& ids, const DluRect& caption, int valueX,
                        int valueY) const;
  // The chart, the live bar (vertical, 0..100), the percentage, the Enabled box, the hidden
  // load-cell box, their captions and the curves button, styled, with template texts.
  PageCommonControls CommonControls(const PageCommonLayout& layout) const;

 private:
  wxWindow& page_;
  DialogUnits units_;
};

// The captions of the Enabled and load-cell boxes and the curves button's text, which the
// curves menu reads its language back from.
void ApplyCommonTexts(const PageCommonControls& controls, PageLanguage language);

// The Enabled box shows bit 0 of axis_cnf, the load-cell box axis_mode.
void ShowPageFlags(const PageCommonControls& controls, int axis_cnf, int axis_mode);

// Shows one live input: the bar only when its value changes, the label always, and the
// cross-hair while the pedal is enabled.
void ShowLiveDisplay(const PageCommonControls& controls, const PedalLiveDisplay& display,
                     PedalChart& pedalChart);

// Pops the curve-shapes menu up at the centre of the curves button, in the language of its
// caption; the chosen item arrives at page as a menu command.
void PopupCurveMenu(wxWindow& page, const PageCommonControls& controls);

// Enter and Esc do nothing inside a page: they never reach the dialog around it, while a
// focused button or check box still takes Enter as a press. Bind to wxEVT_CHAR_HOOK.
void KeepEnterAndEscapeInPage(wxKeyEvent& event);

// What a page does when the user works its value rows and shared controls.
struct PageEventHandlers {
  std::function<void(int buttonId)> step;        // a "+" or "-" of a value row
  std::function<void(bool checked)> enabled;     // the Enabled box was clicked
  std::function<void(int checkState)> loadCell;  // the hidden load-cell box changed
  std::function<void(CurveShape shape)> shape;   // an item of the curves menu was chosen
};

// Binds on page the step buttons of rows, the two boxes, the curves button (which pops up
// the menu) and its menu items to handlers, and keeps Enter and Esc inside the page. The
// bindings keep the controls' pointers: the controls must be children of page.
void BindPageEvents(wxWindow& page, const PageCommonControls& controls,
                    std::span<const PageValueRow> rows, PageEventHandlers handlers);

}  // namespace pages
