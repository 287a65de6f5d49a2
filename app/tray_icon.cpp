// The notification-area icon and its menu.
#include "app/tray_icon.h"

#include <wx/menu.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "app/modal_boxes.h"

namespace app {

CTLWndTrayIcon::CTLWndTrayIcon() {
  Bind(wxEVT_TASKBAR_LEFT_DCLICK, &CTLWndTrayIcon::OnDoubleClick, this);
  Bind(wxEVT_MENU, &CTLWndTrayIcon::OnOpen, this, kOpenCommand);
  Bind(wxEVT_MENU, &CTLWndTrayIcon::OnExit, this, kExitCommand);
}

CTLWndTrayIcon::~CTLWndTrayIcon() { RemoveIcon(); }

bool CTLWndTrayIcon::CreateTrayIcon(wxWindow* parent, const wxIcon& icon, const wxString& tip,
                                    const ModalBoxWatch& modalBoxes, std::function<void()> onExit) {
  parent_ = parent;
  onExit_ = std::move(onExit);
  modalBoxes_ = &modalBoxes;
  return SetIcon(icon, tip);
}

bool CTLWndTrayIcon::AnyModalOpen() const {
  return modalBoxes_ != nullptr && modalBoxes_->AnyOpen();
}

void CTLWndTrayIcon::SetItemTexts(const wxString& openText, const wxString& exitText) {
  openText_ = openText;
  exitText_ = exitText;
}

wxMenu* CTLWndTrayIcon::CreatePopupMenu() {
  auto* menu = new wxMenu;
  menu->Append(kOpenCommand, openText_);
  menu->AppendSeparator();
  menu->Append(kExitCommand, exitText_);
  // The toolkit ignores this menu's commands while a modal window is open; say so.
  const bool usable = !AnyModalOpen();
  menu->Enable(kOpenCommand, usable);
  menu->Enable(kExitCommand, usable);
  return menu;
}

void CTLWndTrayIcon::ShowParent() {
  if (parent_ == nullptr) return;
  if (parent_->IsTopLevel()) static_cast<wxTopLevelWindow*>(parent_)->Iconize(false);
  parent_->Show();
  parent_->Raise();
}

void CTLWndTrayIcon::OnDoubleClick(wxTaskBarIconEvent&) { ShowParent(); }

void CTLWndTrayIcon::OnOpen(wxCommandEvent&) { ShowParent(); }

void CTLWndTrayIcon::OnExit(wxCommandEvent&) {
  // The exit may ask a question and destroy this icon; let the menu finish first. By then a
  // click may have opened a modal window, whose loop would run the exit: the question asked
  // over it, the main window destroyed under it.
  if (parent_ == nullptr || !onExit_) return;
  parent_->CallAfter([this] {
    if (!AnyModalOpen()) onExit_();
  });
}

}  // namespace app
