// The main dialog's texts in Spanish and English, and how the language button's caption tells
// which language is showing.
#pragma once

#include <string>

#include "pages/page_texts.h"
#include "platform/whole_file.h"

namespace app {

// UTF-8 texts of one language. Line breaks are those of the two-line push buttons.
struct MainDialogTexts {
  const char* caption;        // without the edition
  const char* getConfig;      // 1001
  const char* sendConfig;     // 1000
  const char* statusLabel;    // 1009
  const char* throttleGroup;  // 1057
  const char* brakeGroup;     // 1056
  const char* clutchGroup;    // 1055
  const char* unsavedQuestion;
  const char* backup;          // 1003
  const char* restore;         // 1004
  const char* languageButton;  // 1002: names the other language
  const char* assignButtons;   // 1005
  const char* trayOpen;
  const char* trayExit;
  const char* exit;     // 1006
  const char* notSent;  // a Send Config that the controller did not get
};

inline constexpr const char* kEditionText = "Kavo Edition 1.1.10";

const MainDialogTexts& MainDialogTextsFor(pages::PageLanguage language);

// The dialog caption: the language's caption followed by the edition.
std::string DialogCaption(pages::PageLanguage language);

// The language button offers the other language, so its exact caption "English" means that
// Spanish is showing; any other caption means English.
pages::PageLanguage LanguageShowing(const std::string& languageButtonCaption);

// The language a click on the language button switches to.
pages::PageLanguage ToggledLanguage(const std::string& languageButtonCaption);

// The message that the settings cannot be saved: the file at path, why not, and that changes
// are lost until that is put right.
std::string SettingsNotSavedMessage(pages::PageLanguage language, const std::string& path,
                                    const platform::WriteError& error);

}  // namespace app
