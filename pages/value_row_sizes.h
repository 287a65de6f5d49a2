// The sizes, in dialog units, that both pedal pages give the captions of their value rows.
#pragma once

namespace pages {

inline constexpr int kCaptionHeight = 15;
// A curve point's caption ("0 %" .. "90 %"); the last point's, "100 %", is wider.
inline constexpr int kPointCaptionWidth = 24;
inline constexpr int kLastPointCaptionWidth = 27;
// The two captions above and below the points: the dead zones, or the brake's maximum force.
inline constexpr int kDeadZoneCaptionWidth = 96;

}  // namespace pages
