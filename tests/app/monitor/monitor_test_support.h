// Shared by the monitor's window tests: counts the message boxes that would have been shown.
#pragma once

#include <vector>

#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/string.h>

// Every modal dialog is answered with OK at once instead of being shown; message boxes keep
// their text.
class MessageBoxRecorder : public wxModalDialogHook {
 public:
  MessageBoxRecorder() { Register(); }
  ~MessageBoxRecorder() override { Unregister(); }

  std::vector<wxString> messages;

 protected:
  int Enter(wxDialog* dialog) override {
    auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
    messages.push_back(box != nullptr ? box->GetMessage() : wxString("(not a message box)"));
    return wxID_OK;
  }
  void Exit(wxDialog*) override {}
};
