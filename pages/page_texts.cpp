// Shared page captions.
#include "pages/page_texts.h"

#include "pages/curve_menu.h"

namespace pages {

namespace {

constexpr PedalPageTexts kSpanish{"Zona Muerta Inferior", "Zona Muerta Superior", "Habilitar",
                                  "Célula", kCurvesButtonSpanish};
constexpr PedalPageTexts kEnglish{"Begin DeadZone", "End DeadZone", "Enabled", "LoadCell",
                                  kCurvesButtonEnglish};

}  // namespace

const PedalPageTexts& PedalPageTextsFor(PageLanguage language) {
  return language == PageLanguage::kSpanish ? kSpanish : kEnglish;
}

}  // namespace pages
