// File dialogs and the error box of backup and restore.
#include "app/backup/backup_dialogs.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "app/backup/backup_file.h"
#include "pages/page_texts.h"

namespace app {

namespace {

std::optional<std::string> ChooseFile(wxWindow* owner, const wxString& initialName, long style) {
  wxFileDialog dialog(owner, wxFileSelectorPromptStr, wxEmptyString, initialName, kBackupWildcard,
                      style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  // The path in the file system's own encoding, as the file functions take it.
  return std::string(dialog.GetPath().fn_str());
}

// The message as wx shows it: a path in another encoding than UTF-8 still shows, through the
// file-name conversion.
wxString MessageText(const std::string& message) {
  wxString text = wxString::FromUTF8(message);
  if (text.empty()) text = wxString(message.c_str(), *wxConvFileName);
  return text;
}

}  // namespace

std::optional<std::string> ChooseBackupFileToSave(wxWindow* owner) {
  return ChooseFile(owner, kBackupDefaultFileName, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
}

std::optional<std::string> ChooseBackupFileToOpen(wxWindow* owner) {
  return ChooseFile(owner, wxEmptyString, wxFD_OPEN);
}

pages::QuestionAnswer AskBackupQuestion(wxWindow* owner, const std::string& message) {
  wxMessageDialog box(owner, MessageText(message), pages::kQuestionCaption,
                      wxYES_NO | wxNO_DEFAULT | wxICON_EXCLAMATION);
  switch (box.ShowModal()) {
    case wxID_YES: return pages::QuestionAnswer::kYes;
    case wxID_NO: return pages::QuestionAnswer::kNo;
    default: return pages::QuestionAnswer::kClosed;
  }
}

void ShowBackupError(wxWindow* owner, const std::string& message) {
  wxMessageDialog box(owner, MessageText(message), pages::kQuestionCaption, wxOK | wxICON_ERROR);
  box.ShowModal();
}

}  // namespace app
