// What the page window tests share: running the event loop, real mouse clicks and keys, shell
// commands (xdotool, import), a recording page owner, template rectangles worked out
// independently of the pages and the checks against them, and a watcher for the pop-up menus
// that pages open.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <gtest/gtest.h>

#include "pages/live_bar.h"
#include "pages/page_owner.h"
#include "temp_settings_file.h"

namespace page_test {

// Runs the event loop for a while, so that paints, clicks and timers happen.
inline void Pump(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
}

// Runs the event loop until done() holds or timeoutMs passes; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    wxTheApp->Yield(true);
    wxMilliSleep(5);
  }
  return true;
}

// A real left click at the centre of window.
inline void ClickOn(const wxWindow* window) {
  const wxRect r = window->GetScreenRect();
  wxUIActionSimulator sim;
  sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
  Pump(60);
  sim.MouseClick();
  Pump(150);
}

// Standard output of a shell command, without the trailing line break.
inline std::string Run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// Saves the whole screen as <ORVO_SCREENSHOT_DIR>/<name>.png when that variable is set.
inline void SaveScreenshot(const std::string& name) {
  const char* dir = std::getenv("ORVO_SCREENSHOT_DIR");
  if (!dir) return;
  Run("import -window root '" + std::string(dir) + "/" + name + ".png'");
}

// The screen's pixels in r as rows of RGB bytes, read back from the X server.
inline std::vector<std::uint8_t> ScreenPixels(const wxRect& r) {
  const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                              std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                              std::to_string(r.y) + " -depth 8 rgb:-";
  std::vector<std::uint8_t> pixels;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    std::uint8_t buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      pixels.insert(pixels.end(), buffer, buffer + n);
    }
    ::pclose(pipe);
  }
  return pixels;
}

// The live bar as it stands on screen: a border on all four edges, and inside it every row
// across the whole width either filled (the bottom value / range of the rows) or trough.
inline void ExpectLiveBarOnScreen(const CLiveBar& bar) {
  const wxRect r = bar.GetScreenRect();
  const std::vector<std::uint8_t> pixels = ScreenPixels(r);
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(r.width * r.height * 3));
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
  EXPECT_EQ(borderMisses, 0);
  int filledRows = 0, troughRows = 0, mixedRows = 0;
  for (int y = 1; y < r.height - 1; ++y) {
    int fill = 0, trough = 0;
    for (int x = 1; x < r.width - 1; ++x) {
      fill += at(x, y) == CLiveBar::FillColour();
      trough += at(x, y) == CLiveBar::TroughColour();
    }
    if (fill == r.width - 2) {
      ++filledRows;
    } else if (trough == r.width - 2) {
      ++troughRows;
      EXPECT_EQ(filledRows, 0) << "trough below the fill at row " << y;
    } else {
      ++mixedRows;
    }
  }
  EXPECT_EQ(mixedRows, 0);
  const double expected = (r.height - 2) * bar.GetValue() / double(bar.GetRange());
  EXPECT_NEAR(filledRows, expected, 1.0) << "value " << bar.GetValue();
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
  Pump(100);
  wxUIActionSimulator sim;
  for (int key : keys) {
    sim.Char(key);
    Pump(200);
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
    Pump(100);
  }

  TempSettingsFile settings_;
  const std::string& file_ = settings_.Path();
  RecordingOwner* owner_ = nullptr;  // destroys itself and its pages in TearDown
};

// Records the items of every menu that opens over window while it lives, then sends keys to
// it (the pop-up runs its own loop, so the keys come from a timer).
class MenuWatcher : public wxTimer {
 public:
  MenuWatcher(wxWindow* window, std::string keys) : window_(window), keys_(std::move(keys)) {
    window_->Bind(wxEVT_MENU_OPEN, &MenuWatcher::OnMenuOpen, this);
    Start(300, wxTIMER_ONE_SHOT);
  }
  ~MenuWatcher() override { window_->Unbind(wxEVT_MENU_OPEN, &MenuWatcher::OnMenuOpen, this); }
  MenuWatcher(const MenuWatcher&) = delete;
  MenuWatcher& operator=(const MenuWatcher&) = delete;

  void Notify() override { Run("xdotool key --delay 60 " + keys_); }

  std::vector<int> ids;
  std::vector<std::string> texts;

 private:
  void OnMenuOpen(wxMenuEvent& event) {
    if (wxMenu* menu = event.GetMenu()) {
      for (const wxMenuItem* item : menu->GetMenuItems()) {
        ids.push_back(item->GetId());
        texts.push_back(item->GetItemLabelText().utf8_string());
      }
    }
    event.Skip();
  }

  wxWindow* window_;  // not owned; outlives the watcher
  std::string keys_;
};

// The items of a pop-up menu, as it showed them.
struct MenuSeen {
  std::vector<int> ids;
  std::vector<std::string> texts;
};

// Clicks the curves button (id 1058) of page and types keys into the menu it opens.
inline MenuSeen UseCurvesMenu(wxWindow& page, const std::string& keys) {
  MenuWatcher watcher(&page, keys);
  ClickOn(page.FindWindow(1058));
  Pump(500);
  return {watcher.ids, watcher.texts};
}

}  // namespace page_test
