// Check box and radio button marks from the built-in theme's PNG pictures.
#include "app/toggle_marks.h"

#include <array>
#include <string>

#include <gtk/gtk.h>

namespace app {

namespace {

constexpr const char* kBuiltInTheme = "Adwaita";
constexpr const char* kPictureFolder = "/org/gtk/libgtk/theme/Adwaita/assets/";

// The theme's own selectors for its mark pictures, each with the PNG twin of the SVG it names.
struct MarkRule {
  const char* selector;
  const char* picture;
};
constexpr std::array<MarkRule, 4> kMarkRules{{
    {"check:checked", "check-symbolic.symbolic.png"},
    {"check:indeterminate", "dash-symbolic.symbolic.png"},
    {"radio:checked", "bullet-symbolic.symbolic.png"},
    {"radio:indeterminate", "dash-symbolic.symbolic.png"},
}};

std::string PicturePath(const MarkRule& rule) { return std::string(kPictureFolder) + rule.picture; }

// GTK_THEME ("name" or "name:variant") takes the place of the setting, as in GTK itself.
std::string ThemeName(GtkSettings* settings) {
  if (const char* forced = g_getenv("GTK_THEME"); forced != nullptr && *forced != '\0') {
    const std::string name(forced);
    return name.substr(0, name.find(':'));
  }
  gchar* name = nullptr;
  g_object_get(settings, "gtk-theme-name", &name, nullptr);
  std::string result = name != nullptr ? name : "";
  g_free(name);
  return result;
}

// A GTK built without the pictures would draw no marks at all from the rules.
bool PicturesPresent() {
  for (const MarkRule& rule : kMarkRules) {
    if (!g_resources_get_info(PicturePath(rule).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr,
                              nullptr, nullptr)) {
      return false;
    }
  }
  return true;
}

std::string MarksCss() {
  std::string css;
  for (const MarkRule& rule : kMarkRules) {
    css += std::string(rule.selector) + " { -gtk-icon-source: -gtk-recolor(url(\"resource://" +
           PicturePath(rule) + "\")); }\n";
  }
  return css;
}

}  // namespace

struct PngToggleMarks::State {
  GdkScreen* screen = nullptr;      // no ownership: GDK's
  GtkSettings* settings = nullptr;  // no ownership: GTK's
  GtkCssProvider* provider = nullptr;
  gulong themeHandler = 0;
  gulong screenHandler = 0;
  bool active = false;

  // The PNG twins match the SVGs only at scale 1; at a larger scale the SVG is drawn sharper.
  bool Wanted() const {
    return ThemeName(settings) == kBuiltInTheme &&
           gdk_window_get_scale_factor(gdk_screen_get_root_window(screen)) == 1;
  }

  void Update() {
    const bool wanted = Wanted();
    if (wanted == active) return;
    // Above the theme, so that these pictures replace its own; the user's style sheet still
    // has the last word.
    if (wanted) {
      gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                                GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    } else {
      gtk_style_context_remove_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider));
    }
    active = wanted;
  }

  static void OnChange(GObject*, GParamSpec*, gpointer self) {
    static_cast<State*>(self)->Update();
  }
  static void OnScreenChange(GdkScreen*, gpointer self) { static_cast<State*>(self)->Update(); }
};

PngToggleMarks::PngToggleMarks() {
  GdkScreen* screen = gdk_screen_get_default();
  if (screen == nullptr || !PicturesPresent()) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  const std::string css = MarksCss();
  if (!gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr)) {
    g_object_unref(provider);
    return;
  }
  state_ = std::make_unique<State>();
  state_->screen = screen;
  state_->settings = gtk_settings_get_for_screen(screen);
  state_->provider = provider;
  state_->themeHandler = g_signal_connect(state_->settings, "notify::gtk-theme-name",
                                          G_CALLBACK(State::OnChange), state_.get());
  // A new window scale comes with a change of the monitors.
  state_->screenHandler =
      g_signal_connect(screen, "monitors-changed", G_CALLBACK(State::OnScreenChange), state_.get());
  state_->Update();
}

PngToggleMarks::~PngToggleMarks() {
  if (!state_) return;
  g_signal_handler_disconnect(state_->settings, state_->themeHandler);
  g_signal_handler_disconnect(state_->screen, state_->screenHandler);
  if (state_->active) {
    gtk_style_context_remove_provider_for_screen(state_->screen,
                                                 GTK_STYLE_PROVIDER(state_->provider));
  }
  g_object_unref(state_->provider);
}

bool PngToggleMarks::IsActive() const { return state_ && state_->active; }

}  // namespace app
