// What a pedal page needs of the window that owns it, and how a page finds that window.
#pragma once

class wxWindow;

namespace pages {

// Implemented by the main dialog. A page calls it after a throttle preset is selected and after
// the brake force is stepped: the owner sends the configuration of all pages to the controller
// without storing it, shows the monitor pop-up and plays the hot-key sound.
class PageOwner {
 public:
  virtual ~PageOwner() = default;
  virtual void ApplyConfigLive() = 0;
};

// The nearest window above page (its parent, then the parent's parent, ...) that implements
// PageOwner, or nullptr when there is none. No ownership: the window tree owns it.
PageOwner* FindPageOwner(wxWindow* page);

// Asks the owner of page to apply the configuration live; nothing when page has none.
void ApplyConfigLiveInOwner(wxWindow* page);

}  // namespace pages
