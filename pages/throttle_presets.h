// Throttle presets A, B and C in the settings file: sections PRESET_0 .. PRESET_2, and the
// selected one in CNF preset.
#pragma once

#include <string>

#include "pages/page_texts.h"
#include "pages/throttle_curve.h"

namespace pages {

inline constexpr int kThrottlePresetCount = 3;

// "PRESET_<index>".
std::string ThrottlePresetSection(int index);

// "A", "B" or "C"; an index outside 0..2 gives "A", like the preset it is read as.
const char* ThrottlePresetLetter(int index);

// Reads the 24 keys of the preset's section into settings, each key that is missing taking its
// default (dead zones 0 and 100, the identity curve, enabled, load-cell off), and clears dirty.
// Values are taken as read.
void LoadThrottlePreset(ThrottleCurveSettings& settings, int index, const std::string& file);

// Writes dz_0, dz_1, the twenty band_ keys ("%.1f"), axis_cnf and axis_mode, in that order.
// dirty is left alone.
void SaveThrottlePreset(const ThrottleCurveSettings& settings, int index, const std::string& file);

// CNF preset, default 0. A value outside 0..2 (an edited file) is read as 0, so the page never
// shows one preset while it loads and saves another.
int ReadSelectedThrottlePreset(const std::string& file);
void WriteSelectedThrottlePreset(int index, const std::string& file);

// First part of the question asked before a preset with unsent changes is left; the letter
// and "?" follow.
const char* ThrottleSaveQuestion(PageLanguage language);

}  // namespace pages
