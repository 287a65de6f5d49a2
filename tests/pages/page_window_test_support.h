// What the page window tests share, beside the harness of window_test.h: a recording page owner,
// template rectangles worked out independently of the pages and the checks against them, and the
// pages' pop-up menu.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include "pages/page_owner.h"
#include "temp_settings_file.h"
#include "tests/support/window_test.h"

namespace page_test {

// A real left click at the centre of window; returns once handled.
inline void ClickOn(wxWindow* window) { ClickCentre(*window); }

// Pixel rectangle of a template rectangle (dialog units) at 96 DPI.
inline wxRect TemplatePixels(int x, int y, int w, int h) {
  auto px = [](int dlu, double base, double div) {
    return static_cast<int>(dlu * base / div + 0.5);
  };
  const int left = px(x, 6, 4);
  const int top = px(y, 13, 8);
  return {left, top, px(x + w, 6, 4) - left, px(y + h, 13, 8) - top};
}

// Where a page's template puts one control.
struct Placement {
  int id;
  int x, y, w, h;  // dialog units
};

// Every listed control of page stands exactly at its template rectangle.
inline void ExpectPlacements(const wxWindow& page, const std::vector<Placement>& placements) {
  for (const Placement& p : placements) {
    const wxWindow* w = page.FindWindow(p.id);
    ASSERT_NE(w, nullptr) << p.id;
    EXPECT_EQ(w->GetRect(), TemplatePixels(p.x, p.y, p.w, p.h)) << p.id;
  }
}

// The Enabled box (id 1054) keeps its template place, grown to what the toolkit needs.
inline void ExpectEnabledBoxAtTemplatePlace(const wxWindow& page) {
  const wxWindow* enabled = page.FindWindow(1054);
  ASSERT_NE(enabled, nullptr);
  const wxRect box = enabled->GetRect();
  const wxRect boxTemplate = TemplatePixels(45, 5, 16, 10);
  EXPECT_EQ(box.x, boxTemplate.x);
  EXPECT_NEAR(box.y + box.height / 2.0, boxTemplate.y + boxTemplate.height / 2.0, 1.0);
}

// The child of page with id, as a T; null when there is none or it is another kind.
template <typename T>
T* Control(const wxWindow& page, int id) {
  return dynamic_cast<T*>(page.FindWindow(id));
}

// Focuses focus, then types each key as a person would; the dialog is still open after each.
inline void ExpectKeysLeaveDialogOpen(const wxDialog& dialog, wxWindow& focus,
                                      std::initializer_list<int> keys) {
  focus.SetFocus();
  PumpUntil([&] { return focus.HasFocus(); });
  wxUIActionSimulator sim;
  for (int key : keys) {
    sim.Char(key);
    DrainEvents();
    EXPECT_TRUE(dialog.IsShown()) << "closed by key " << key;
  }
}

// A top-level window that owns pages and counts their live applies.
class RecordingOwner : public wxFrame, public PageOwner {
 public:
  explicit RecordingOwner(const wxString& title) : wxFrame(nullptr, wxID_ANY, title, {0, 0}) {}
  void ApplyConfigLive() override { ++applied; }
  int applied = 0;
};

// A page test's window and settings file: the owner the test creates goes with the test.
class PageWindowTest : public ::testing::Test {
 protected:
  explicit PageWindowTest(const std::string& settingsPrefix) : settings_(settingsPrefix) {}

  void TearDown() override {
    if (owner_) owner_->Destroy();
    DrainEvents();
  }

  TempSettingsFile settings_;
  const std::string& file_ = settings_.Path();
  RecordingOwner* owner_ = nullptr;  // destroys itself and its pages in TearDown
};

// The items of a pop-up menu, as it showed them.
struct MenuSeen {
  std::vector<int> ids;
  std::vector<std::string> texts;
};

// Clicks the curves button (id 1058) of page and types keys into the menu it opens.
inline MenuSeen UseCurvesMenu(wxWindow& page, const std::string& keys) {
  MenuDriver driver(&page, keys);
  ClickOn(page.FindWindow(1058));  // the menu runs its own loop inside the click's handling
  return {driver.ids, driver.texts};
}

}  // namespace page_test
