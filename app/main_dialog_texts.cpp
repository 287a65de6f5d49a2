// The main dialog's texts.
#include "app/main_dialog_texts.h"

#include <cerrno>
#include <system_error>

namespace app {

namespace {

constexpr MainDialogTexts kSpanish{
    "Orvo Zantor Pedals - Utilidad de Calibración ",
    "Obtener Configuración\nde los Pedales",
    "Enviar Configuración\na los Pedales",
    "Estado Conexión Pedales",
    "Acelerador",
    "Freno",
    "Embrague",
    "Los cambios realizados no han sido guardados y se perderán. ¿Desea continuar?",
    "Guardar Preset",
    "Cargar Preset",
    "English",
    "Configuración",
    "Abrir",
    "Salir",
    "Salir",
    "La configuración no se ha enviado a los pedales: compruebe que están conectados y que "
    "todos los valores están entre 0 y 100. Los cambios siguen sin enviar.",
};

constexpr MainDialogTexts kEnglish{
    "Orvo Zantor Pedals - Calibration Utility ",
    "Get settings\nfrom Pedals",
    "Send settins\nto Pedals",
    "Pedals Connection Status",
    "Throttle",
    "Brake",
    "Clutch",
    "Modifications has not been saved and will be lost. Do you want to continue?",
    "Save Preset",
    "Load Preset",
    "Español",
    "Configuration",
    "Open",
    "Exit",
    "Exit",
    "The configuration has not been sent to the pedals: check that they are connected and "
    "that every value lies between 0 and 100. The changes are still unsent.",
};

// %1 is the file, %2 the reason; the reasons follow platform::WriteFailure. Any other failure is
// told in the system's own words for its errno.
struct SettingsNotSavedTexts {
  const char* before;  // the file follows on a line of its own, then the reason
  const char* after;
  const char* readOnly;
  const char* notOwner;
  const char* folderNotWritable;
  const char* diskFull;
  const char* notRegularFile;
};

constexpr SettingsNotSavedTexts kSpanishNotSaved{
    "No se pueden guardar los ajustes en el archivo\n",
    ".\n\nLos cambios no se conservarán hasta que esto se corrija.",
    "Es de solo lectura",
    "Pertenece a otro usuario",
    "No se puede escribir en su carpeta",
    "El disco está lleno",
    "No es un archivo normal",
};

constexpr SettingsNotSavedTexts kEnglishNotSaved{
    "The settings cannot be saved to the file\n",
    ".\n\nChanges will not be kept until this is put right.",
    "It is read-only",
    "It belongs to another user",
    "Its folder cannot be written to",
    "The disk is full",
    "It is not a regular file",
};

std::string WriteFailureReason(const SettingsNotSavedTexts& texts,
                               const platform::WriteError& error) {
  switch (error.failure) {
    case platform::WriteFailure::kReadOnly: return texts.readOnly;
    case platform::WriteFailure::kNotOwner: return texts.notOwner;
    case platform::WriteFailure::kFolderNotWritable: return texts.folderNotWritable;
    case platform::WriteFailure::kDiskFull: return texts.diskFull;
    case platform::WriteFailure::kNotRegularFile: return texts.notRegularFile;
    case platform::WriteFailure::kNone:
    case platform::WriteFailure::kOther: break;
  }
  return std::generic_category().message(error.error != 0 ? error.error : EIO);
}

}  // namespace

const MainDialogTexts& MainDialogTextsFor(pages::PageLanguage language) {
  return language == pages::PageLanguage::kSpanish ? kSpanish : kEnglish;
}

std::string DialogCaption(pages::PageLanguage language) {
  return std::string(MainDialogTextsFor(language).caption) + kEditionText;
}

pages::PageLanguage LanguageShowing(const std::string& languageButtonCaption) {
  return languageButtonCaption == kSpanish.languageButton ? pages::PageLanguage::kSpanish
                                                          : pages::PageLanguage::kEnglish;
}

pages::PageLanguage ToggledLanguage(const std::string& languageButtonCaption) {
  return LanguageShowing(languageButtonCaption) == pages::PageLanguage::kSpanish
             ? pages::PageLanguage::kEnglish
             : pages::PageLanguage::kSpanish;
}

std::string SettingsNotSavedMessage(pages::PageLanguage language, const std::string& path,
                                    const platform::WriteError& error) {
  const SettingsNotSavedTexts& texts =
      language == pages::PageLanguage::kSpanish ? kSpanishNotSaved : kEnglishNotSaved;
  return texts.before + path + "\n" + WriteFailureReason(texts, error) + texts.after;
}

}  // namespace app
