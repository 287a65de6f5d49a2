// Check box and radio button marks drawn from the built-in theme's PNG pictures: the same
// pixels as the theme's SVGs, without the SVG renderer in the process.
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>

#include "app/toggle_marks.h"
#include "tests/support/window_test.h"

using namespace app;

namespace {

bool SvgRendererLoaded() {
  void* library = dlopen("librsvg-2.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (library == nullptr) return false;
  dlclose(library);
  return true;
}

// One control of each mark and one without: radio on and off, check box on, off and undetermined.
class MarksFrame {
 public:
  enum Control { kRadioOn, kRadioOff, kCheckOn, kCheckOff, kCheckUndetermined, kCount };

  MarksFrame() : frame_(new wxFrame(nullptr, wxID_ANY, "Marks", {100, 100}, {260, 120})) {
    auto* panel = new wxPanel(frame_);
    const auto at = [](int i) { return wxPoint(10 + 50 * i, 20); };
    auto* radioOn = new wxRadioButton(panel, wxID_ANY, "", at(0), wxDefaultSize, wxRB_GROUP);
    auto* radioOff = new wxRadioButton(panel, wxID_ANY, "", at(1));
    auto* checkOn = new wxCheckBox(panel, wxID_ANY, "", at(2));
    auto* checkOff = new wxCheckBox(panel, wxID_ANY, "", at(3));
    auto* undetermined = new wxCheckBox(panel, wxID_ANY, "", at(4), wxDefaultSize, wxCHK_3STATE);
    radioOn->SetValue(true);
    checkOn->SetValue(true);
    undetermined->Set3StateValue(wxCHK_UNDETERMINED);
    controls_ = {radioOn, radioOff, checkOn, checkOff, undetermined};
    frame_->Show();
  }
  ~MarksFrame() { frame_->Destroy(); }

  MarksFrame(const MarksFrame&) = delete;
  MarksFrame& operator=(const MarksFrame&) = delete;

  wxImage Pixels(Control control) const { return ShownPixels(*controls_[control]); }

  // Waits until every mark shows: each marked control differs from its unmarked one.
  bool WaitForMarks() const {
    return PumpUntil([this] {
      if (!frame_->IsShownOnScreen()) return false;
      const wxImage radioOff = Pixels(kRadioOff);
      const wxImage checkOff = Pixels(kCheckOff);
      return Differ(Pixels(kRadioOn), radioOff) && Differ(Pixels(kCheckOn), checkOff) &&
             Differ(Pixels(kCheckUndetermined), checkOff) &&
             Differ(Pixels(kCheckUndetermined), Pixels(kCheckOn));
    });
  }

  static bool Differ(const wxImage& a, const wxImage& b) {
    return a.GetSize() != b.GetSize() ||
           !std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
  }

 private:
  wxFrame* frame_;  // no ownership: wx owns top-level windows
  std::array<wxWindow*, kCount> controls_{};
};

TEST(PngToggleMarks, MarksShowWithoutTheSvgRenderer) {
  if (SvgRendererLoaded()) GTEST_SKIP() << "an earlier test in this process loaded it";
  PngToggleMarks marks;
  ASSERT_TRUE(marks.IsActive()) << "the test display runs GTK's built-in theme at scale 1";
  MarksFrame frame;
  ASSERT_TRUE(frame.WaitForMarks());
  SaveScreenshot("png_toggle_marks");
  EXPECT_FALSE(SvgRendererLoaded());
}

TEST(PngToggleMarks, MarksLookAsTheThemeDrawsThemFromSvg) {
  std::array<wxImage, MarksFrame::kCount> fromSvg;
  {
    MarksFrame frame;
    ASSERT_TRUE(frame.WaitForMarks());
    for (int i = 0; i < MarksFrame::kCount; ++i)
      fromSvg[i] = frame.Pixels(static_cast<MarksFrame::Control>(i));
  }
  PngToggleMarks marks;
  ASSERT_TRUE(marks.IsActive());
  MarksFrame frame;
  ASSERT_TRUE(frame.WaitForMarks());
  for (int i = 0; i < MarksFrame::kCount; ++i) {
    EXPECT_FALSE(MarksFrame::Differ(frame.Pixels(static_cast<MarksFrame::Control>(i)), fromSvg[i]))
        << "control " << i;
  }
}

// Sets the toolkit's theme name for its lifetime.
class ScopedTheme {
 public:
  explicit ScopedTheme(const char* name) : settings_(gtk_settings_get_default()) {
    gchar* old = nullptr;
    g_object_get(settings_, "gtk-theme-name", &old, nullptr);
    old_ = old != nullptr ? old : "";
    g_free(old);
    g_object_set(settings_, "gtk-theme-name", name, nullptr);
  }
  ~ScopedTheme() { g_object_set(settings_, "gtk-theme-name", old_.c_str(), nullptr); }

 private:
  GtkSettings* settings_;
  std::string old_;
};

TEST(PngToggleMarks, FollowTheThemeAndLeaveOtherThemesTheirOwnMarks) {
  ASSERT_EQ(g_getenv("GTK_THEME"), nullptr) << "the theme is forced from outside";
  struct ThemeCase {
    const char* theme;
    bool active;
  };
  for (const bool startsBuiltIn : {true, false}) {
    std::optional<ScopedTheme> first;
    if (!startsBuiltIn) first.emplace("HighContrast");
    PngToggleMarks marks;
    EXPECT_EQ(marks.IsActive(), startsBuiltIn);
    for (const ThemeCase& c : {ThemeCase{"HighContrast", false}, ThemeCase{"Adwaita", true},
                               ThemeCase{"HighContrastInverse", false}}) {
      ScopedTheme theme(c.theme);
      EXPECT_EQ(marks.IsActive(), c.active) << c.theme;
    }
  }
}

}  // namespace
