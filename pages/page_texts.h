// Captions that the throttle page and the clutch and brake page share, in both languages.
#pragma once

enum class PageLanguage { Spanish, English };

struct PedalPageTexts {
  const char* lowerDeadZone;  // UTF-8
  const char* upperDeadZone;  // the brake page shows its maximum force there instead
  const char* enabled;
  const char* loadCell;
  const char* curves;         // the curves button; "Curvas" selects the Spanish menu
};

const PedalPageTexts& PedalPageTextsFor(PageLanguage language);
