// Captions that the throttle page and the clutch and brake page share, in both languages, and
// what every window of the program shares: its two languages, the caption of its questions and
// how the user answered one.
#pragma once

namespace pages {

// The language of the program's texts: the pages', the main dialog's and its message boxes'.
enum class PageLanguage { kSpanish, kEnglish };

// Caption of the pages' and the main dialog's questions and of the not-sent message.
inline constexpr const char* kQuestionCaption = "Orvo Pedals";

// How the user left a Yes/No question. Closing the box is no answer: whatever Yes would do is
// not done.
enum class QuestionAnswer { kYes, kNo, kClosed };

struct PedalPageTexts {
  const char* lowerDeadZone;  // UTF-8
  const char* upperDeadZone;  // the brake page shows its maximum force there instead
  const char* enabled;
  const char* loadCell;
  const char* curves;  // the curves button; "Curvas" selects the Spanish menu
};

const PedalPageTexts& PedalPageTextsFor(PageLanguage language);

}  // namespace pages
