// The window tests' helpers over wx, GTK and the X server.
#include "tests/support/window_test.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/menu.h>
#include <wx/window.h>

// Xlib's macros clash with other headers, so X comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace {

Display* WxDisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

void DispatchOnce() {
  if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_ALL);
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();
}

// A GTK menu is mapped and holds the pointer and keyboard grab, so keys reach it.
bool MenuHoldsTheKeyboard() {
  GtkWidget* grab = gtk_grab_get_current();
  return grab != nullptr && GTK_IS_MENU(grab) && gtk_widget_get_mapped(grab);
}

struct LastClick {
  std::chrono::steady_clock::time_point when;
  wxPoint where;
  bool made = false;
};
LastClick lastClick;

int GtkIntSetting(const char* name) {
  int value = 0;
  g_object_get(gtk_settings_get_default(), name, &value, nullptr);
  return value;
}

}  // namespace

void SeparateFromLastClick(wxPoint screen) {
  const int distance = GtkIntSetting("gtk-double-click-distance");
  if (lastClick.made && std::abs(screen.x - lastClick.where.x) <= distance &&
      std::abs(screen.y - lastClick.where.y) <= distance) {
    // A little past the double-click time, which the toolkit measures on the server's clock.
    const auto apart = std::chrono::milliseconds(GtkIntSetting("gtk-double-click-time") + 100);
    const auto wait = lastClick.when + apart - std::chrono::steady_clock::now();
    if (wait.count() > 0)
      PumpEvents(
          static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
  }
  lastClick = {std::chrono::steady_clock::now(), screen, true};
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    DispatchOnce();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void PumpEvents(int ms) {
  PumpUntil([] { return false; }, ms);
}

void DrainEvents() {
  // The round trip returns once the server has handled every request before it, XTest input
  // from other connections of this process included, and has sent us the events they caused.
  XSync(WxDisplay(), False);
  int quiet = 0;
  PumpUntil([&] {
    quiet = gtk_events_pending() || wxTheApp->HasPendingEvents() ? 0 : quiet + 1;
    return quiet >= 3;
  });
}

void ClickAt(wxWindow& window, wxPoint client, int button) {
  // XTest on wx's own connection: DrainEvents' round trip then covers the input for certain.
  Display* display = WxDisplay();
  const wxPoint at = window.ClientToScreen(client);
  SeparateFromLastClick(at);
  const unsigned x11Button = button == wxMOUSE_BTN_RIGHT ? 3 : button == wxMOUSE_BTN_MIDDLE ? 2 : 1;
  XTestFakeMotionEvent(display, -1, at.x, at.y, CurrentTime);
  DrainEvents();
  XTestFakeButtonEvent(display, x11Button, True, CurrentTime);
  XTestFakeButtonEvent(display, x11Button, False, CurrentTime);
  DrainEvents();
}

void ClickCentre(wxWindow& window) {
  const wxSize size = window.GetClientSize();
  ClickAt(window, wxPoint(size.x / 2, size.y / 2));
}

void Keys(const std::string& keys) { Shell("xdotool key --clearmodifiers --delay 40 " + keys); }

void Type(const std::string& text) { Shell("xdotool type --delay 15 '" + text + "'"); }

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

std::string FindVisibleWindow(const std::string& title) {
  return Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | tail -n 1");
}

unsigned long XWindowIdOf(wxWindow* window) {
  return GDK_WINDOW_XID(gtk_widget_get_window(window->GetHandle()));
}

void SendWindowManagerClose(wxWindow* window) {
  Display* display = WxDisplay();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = XWindowIdOf(window);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XFlush(display);
}

wxPoint ServerWindowPosition(wxWindow* window) {
  Display* display = WxDisplay();
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display, XWindowIdOf(window), DefaultRootWindow(display), 0, 0, &x, &y,
                        &child);
  return {x, y};
}

namespace {

// A window manager owns the selection WM_S<screen>.
bool WindowManagerOwnsScreen() {
  Display* display = WxDisplay();
  const std::string name = "WM_S" + std::to_string(DefaultScreen(display));
  return XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None;
}

}  // namespace

extern char** environ;

ScopedWindowManager::ScopedWindowManager(const std::filesystem::path& stateDir) {
  if (WindowManagerOwnsScreen()) return;  // someone else's: leave it alone
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("XDG_", 0) != 0) variables.emplace_back(*e);
  }
  for (const char* name :
       {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
    variables.push_back(std::string(name) + "=" + stateDir.string());
  }
  std::vector<char*> env;
  for (std::string& v : variables) env.push_back(v.data());
  env.push_back(nullptr);
  char program[] = "openbox";
  char noSession[] = "--sm-disable";
  char* argv[] = {program, noSession, nullptr};
  if (posix_spawnp(&pid_, program, nullptr, nullptr, argv, env.data()) != 0) {
    pid_ = -1;
    return;
  }
  running_ = PumpUntil([] { return WindowManagerOwnsScreen(); });
}

ScopedWindowManager::~ScopedWindowManager() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  // The windows it managed are handed back to the root; let their events pass.
  PumpUntil([] { return !WindowManagerOwnsScreen(); });
  // openbox leaves its check window's id on the root. GLFW takes such a stale id for a running
  // window manager and then trips over its own X error handling at the next start.
  Display* display = WxDisplay();
  for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED"}) {
    XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False));
  }
  XSync(display, False);
}

wxImage ScreenImage() {
  Display* display = WxDisplay();
  XSync(display, False);
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, root, &attributes);
  wxImage out(attributes.width, attributes.height);
  XImage* shot = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                           static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (shot == nullptr) return {};
  unsigned char* rgb = out.GetData();
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long p = XGetPixel(shot, x, y);
      *rgb++ = (p >> 16) & 0xFF;
      *rgb++ = (p >> 8) & 0xFF;
      *rgb++ = p & 0xFF;
    }
  }
  XDestroyImage(shot);
  return out;
}

wxImage ClientPixels(const wxImage& screen, const wxWindow& window) {
  const wxPoint at = window.ClientToScreen(wxPoint(0, 0));
  return screen.GetSubImage(wxRect(at, window.GetClientSize()));
}

wxImage ShownPixels(const wxWindow& window) { return ClientPixels(ScreenImage(), window); }

std::string ScreenshotPath(const std::string& name) {
  const char* dir = std::getenv("ORVO_SCREENSHOT_DIR");
  return dir != nullptr && *dir != '\0' && !name.empty() ? std::string(dir) + "/" + name + ".png"
                                                         : std::string();
}

void SaveScreenshot(const std::string& name) {
  if (ScreenshotPath(name).empty()) return;
  SaveImage(ScreenImage(), name);
}

void SaveImage(const wxImage& image, const std::string& name) {
  const std::string path = ScreenshotPath(name);
  if (path.empty()) return;
  // A folder that is not there yet would make wx log the failure in a message box of its own,
  // which a test of the program's boxes would count.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  image.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

// ---- ModalDriver ----

namespace {
constexpr auto kSettle = std::chrono::milliseconds(800);  // a chooser fills its lists first
constexpr auto kStepApart = std::chrono::milliseconds(600);
constexpr int kRepeats = 4;
}  // namespace

ModalDriver::ModalDriver(std::string title, std::string screenshot, std::vector<Step> steps,
                         LastStep last)
    : title_(std::move(title)),
      screenshot_(std::move(screenshot)),
      steps_(std::move(steps)),
      last_(last) {
  Start(100);
}

void ModalDriver::Notify() {
  const auto now = std::chrono::steady_clock::now();
  if (done_ || now < next_) return;
  const std::string id = FindVisibleWindow(title_);
  if (step_ == steps_.size()) {
    // Finished: done once the window has gone. One left open would hold the test inside its
    // modal loop for good, so it is closed, and the test fails on its checks instead of hanging.
    if (id.empty()) {
      Stop();
      done_ = true;
    } else if (last_ == LastStep::kRepeatWhileShown && repeats_ < kRepeats) {
      ++repeats_;
      Shell("xdotool windowfocus --sync " + id + " 2>/dev/null");
      steps_.back()();
      next_ = now + kStepApart;
    } else if (now - finished_ > std::chrono::milliseconds(kPatienceMs)) {
      Shell("xdotool windowfocus --sync " + id + " 2>/dev/null");
      Keys("Escape");
      next_ = now + kStepApart;
    }
    return;
  }
  if (id.empty()) {
    found_ = false;
    return;
  }
  if (!found_) {
    found_ = true;
    next_ = now + kSettle;
    return;
  }
  if (step_ == 0) SaveScreenshot(screenshot_);
  // Without a window manager nothing gives the window the keyboard: every step takes it.
  Shell("xdotool windowfocus --sync " + id + " 2>/dev/null");
  steps_[step_++]();
  next_ = now + kStepApart;
  if (step_ == steps_.size()) finished_ = now;
}

std::vector<ModalDriver::Step> TypePathSteps(const std::string& path) {
  return {[path] {
            Keys("ctrl+a");
            Type(path);
          },
          [] { Keys("Delete"); }, [] { Keys("Return"); }};
}

// ---- MenuDriver ----

MenuDriver::MenuDriver(wxWindow* window, std::string keys, std::string screenshot)
    : window_(window), keys_(std::move(keys)), screenshot_(std::move(screenshot)) {
  window_->Bind(wxEVT_MENU_OPEN, &MenuDriver::OnMenuOpen, this);
  Start(50);
}

MenuDriver::~MenuDriver() { window_->Unbind(wxEVT_MENU_OPEN, &MenuDriver::OnMenuOpen, this); }

void MenuDriver::OnMenuOpen(wxMenuEvent& event) {
  ++opened;
  if (wxMenu* menu = event.GetMenu(); menu != nullptr && texts.empty()) {
    for (const wxMenuItem* item : menu->GetMenuItems()) {
      ids.push_back(item->GetId());
      texts.push_back(item->IsSeparator() ? "---" : item->GetItemLabelText().utf8_string());
      checked.push_back(item->IsCheckable() && item->IsChecked());
      enabled.push_back(item->IsEnabled());
    }
  }
  event.Skip();
}

void MenuDriver::Notify() {
  if (keysSent || opened == 0 || !MenuHoldsTheKeyboard()) return;
  Stop();
  keysSent = true;
  SaveScreenshot(screenshot_);
  Keys(keys_);
}

// ---- Folders ----

ScopedWorkingDirectory::ScopedWorkingDirectory() : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder_.Path());
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}
