// What the page window tests share, beside the harness of window_test.h: a recording page owner,
// template rectangles worked out independently of the pages and the checks against them, and the
// pages' pop-up menu.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <gtest/gtest.h>

#include "pages/idle_visits.h"
#include "pages/live_bar.h"
#include "pages/page_owner.h"
#include "temp_settings_file.h"
#include "tests/support/window_test.h"

namespace page_test {

using namespace pages;

// A real left click at the centre of window; returns once handled.
inline void ClickOn(wxWindow* window) { ClickCentre(*window); }

// The screen's pixels in r as rows of RGB bytes, read back from the X server; empty unless r
// lies wholly on the screen.
inline std::vector<std::uint8_t> ScreenPixels(const wxRect& r) {
  const wxImage screen = ScreenImage();
  if (!screen.IsOk() || r.IsEmpty() || !wxRect(screen.GetSize()).Contains(r)) return {};
  const wxImage part = screen.GetSubImage(r);
  const unsigned char* data = part.GetData();
  return {data, data + static_cast<std::size_t>(r.width) * r.height * 3};
}

// What is wrong with the live bar as it stands on screen, or empty when it is right: a border on
// all four edges, and inside it every row across the whole width either filled (the bottom
// value / range of the rows) or trough.
inline std::string LiveBarProblem(const CLiveBar& bar) {
  const wxRect r = bar.GetScreenRect();
  const std::vector<std::uint8_t> pixels = ScreenPixels(r);
  if (pixels.size() != static_cast<std::size_t>(r.width * r.height * 3)) return "no screen image";
  const auto at = [&](int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * r.width + x) * 3;
    return wxColour(pixels[i], pixels[i + 1], pixels[i + 2]);
  };
  int borderMisses = 0;
  for (int x = 0; x < r.width; ++x) {
    borderMisses += at(x, 0) != CLiveBar::BorderColour();
    borderMisses += at(x, r.height - 1) != CLiveBar::BorderColour();
  }
  for (int y = 0; y < r.height; ++y) {
    borderMisses += at(0, y) != CLiveBar::BorderColour();
    borderMisses += at(r.width - 1, y) != CLiveBar::BorderColour();
  }
  if (borderMisses != 0) return std::to_string(borderMisses) + " border pixels missing";
  int filledRows = 0, mixedRows = 0;
  for (int y = 1; y < r.height - 1; ++y) {
    int fill = 0, trough = 0;
    for (int x = 1; x < r.width - 1; ++x) {
      fill += at(x, y) == CLiveBar::FillColour();
      trough += at(x, y) == CLiveBar::TroughColour();
    }
    if (fill == r.width - 2) {
      ++filledRows;
    } else if (trough == r.width - 2) {
      if (filledRows != 0) return "trough below the fill at row " + std::to_string(y);
    } else {
      ++mixedRows;
    }
  }
  if (mixedRows != 0) return std::to_string(mixedRows) + " rows neither filled nor trough";
  const double expected = (r.height - 2) * bar.GetValue() / double(bar.GetRange());
  if (std::abs(filledRows - expected) > 1.0) {
    return std::to_string(filledRows) + " rows filled for value " + std::to_string(bar.GetValue());
  }
  return "";
}

// The live bar on screen comes right once its repaint has happened.
inline void ExpectLiveBarOnScreen(const CLiveBar& bar) {
  PumpUntil([&] { return LiveBarProblem(bar).empty(); });
  EXPECT_EQ(LiveBarProblem(bar), "");
}

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
// A shown page lets idle visits reach its controls, though not one per pass: while its owner
// is visited on each pass, control sees at most one visit per IdleVisits::kInterval (plus the
// first, at once).
inline void ExpectIdleVisitsReachControlsSparingly(wxWindow& owner, wxWindow& control) {
  int ownerVisits = 0, controlVisits = 0;
  const auto count = [](int& counter) {
    return [&counter](wxIdleEvent& event) {
      ++counter;
      event.Skip();
    };
  };
  owner.Bind(wxEVT_IDLE, count(ownerVisits));
  control.Bind(wxEVT_IDLE, count(controlVisits));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil(
      [&] {
        wxWakeUpIdle();
        return ownerVisits >= 200 && controlVisits >= 2;
      },
      20000));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LE(controlVisits, 1 + elapsed / IdleVisits::kInterval + 1)
      << controlVisits << " visits in " << std::chrono::duration<double>(elapsed).count() << " s";
  EXPECT_LT(controlVisits, ownerVisits);
}

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
