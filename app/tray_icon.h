// CTLWndTrayIcon: the notification-area icon with its "Abrir" / "Salir" menu. The main dialog
// owns it; the language methods replace the two item texts.
#pragma once

#include <functional>

#include <wx/icon.h>
#include <wx/string.h>
#include <wx/taskbar.h>

class wxWindow;

namespace app {

class ModalBoxWatch;

class CTLWndTrayIcon : public wxTaskBarIcon {
 public:
  enum CommandId { kOpenCommand = 2000, kExitCommand = 2001 };

  CTLWndTrayIcon();
  ~CTLWndTrayIcon() override;

  // Shows the icon with its tip; a double click or "Abrir" shows parent, "Salir" calls onExit
  // after the menu has closed. While one of modalBoxes' windows is open the menu's items show
  // disabled, and an exit whose turn comes then is dropped: the window holds the user's answer.
  // parent and modalBoxes are not owned and must outlive the icon's use.
  bool CreateTrayIcon(wxWindow* parent, const wxIcon& icon, const wxString& tip,
                      const ModalBoxWatch& modalBoxes, std::function<void()> onExit);

  void SetItemTexts(const wxString& openText, const wxString& exitText);

  // Whether the desktop has a notification area to show the icon in.
  static bool IsTrayAvailable() { return wxTaskBarIcon::IsAvailable(); }

 protected:
  wxMenu* CreatePopupMenu() override;

 private:
  void OnDoubleClick(wxTaskBarIconEvent& event);
  void OnOpen(wxCommandEvent& event);
  void OnExit(wxCommandEvent& event);
  void ShowParent();

  bool AnyModalOpen() const;

  wxWindow* parent_ = nullptr;  // no ownership: the main dialog owns this icon
  std::function<void()> onExit_;
  const ModalBoxWatch* modalBoxes_ = nullptr;  // no ownership: the main dialog's
  wxString openText_ = wxString::FromUTF8("Abrir");
  wxString exitText_ = wxString::FromUTF8("Salir");
};

}  // namespace app
