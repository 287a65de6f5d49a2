// The main dialog's texts.
#include "app/main_dialog_texts.h"

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

}  // namespace app
