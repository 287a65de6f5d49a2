// The file dialogs and the error box of backup and restore, owned by the main dialog.
#pragma once

#include <optional>
#include <string>

#include "pages/page_texts.h"

class wxWindow;

namespace app {

// The save dialog: initial name "orvo_pedals_backup.txt", text files, asks before replacing
// an existing file. The chosen path, or nothing when the user cancels.
std::optional<std::string> ChooseBackupFileToSave(wxWindow* owner);

// The open dialog for a backup file: text files, no initial name. Nothing on cancel.
std::optional<std::string> ChooseBackupFileToOpen(wxWindow* owner);

// A question with the caption "Orvo Pedals", Yes and No (No the default, so that Enter does not
// restore a doubtful file) and the exclamation icon.
pages::QuestionAnswer AskBackupQuestion(wxWindow* owner, const std::string& message);

// A message box with the caption "Orvo Pedals", an OK button and the error icon.
void ShowBackupError(wxWindow* owner, const std::string& message);

}  // namespace app
