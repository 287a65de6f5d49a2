// The notification-area icon and its menu.
#include "app/tray_icon.h"

#include <wx/menu.h>
#include <wx/toplevel.h>
#include <wx/window.h>

namespace app {

CTLWndTrayIcon::CTLWndTrayIcon() {
  Bind(wxEVT_TASKBAR_LEFT_DCLICK, &CTLWndTrayIcon::OnDoubleClick, this);
  Bind(wxEVT_MENU, &CTLWndTrayIcon::OnOpen, this, kOpenCommand);
  Bind(wxEVT_MENU, &CTLWndTrayIcon::OnExit, this, kExitCommand);
}

CTLWndTrayIcon::~CTLWndTrayIcon() { RemoveIcon(); }

bool CTLWndTrayIcon::CreateTrayIcon(wxWindow* parent, const wxIcon& icon, const wxString& tip,
                                    std::function<void()> onExit) {
  parent_ = parent;
  onExit_ = std::move(onExit);
  return SetIcon(icon, tip);
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
  // The exit may ask a question and destroy this icon; let the menu finish first.
  if (parent_ != nullptr && onExit_) parent_->CallAfter(onExit_);
}

}  // namespace app
