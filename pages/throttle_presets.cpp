// Loading and saving the throttle presets.
#include "pages/throttle_presets.h"

#include "platform/ini_file.h"
#include "platform/profile_settings.h"

namespace pages {

namespace {

constexpr const char* kSelectedSection = "CNF";
constexpr const char* kSelectedKey = "preset";

std::string BandKey(std::size_t point) { return CurvePointKey(kThrottlePointInputs[point]); }

bool IsPresetIndex(int index) { return index >= 0 && index < kThrottlePresetCount; }

}  // namespace

std::string ThrottlePresetSection(int index) { return "PRESET_" + std::to_string(index); }

const char* ThrottlePresetLetter(int index) {
  static constexpr const char* kLetters[kThrottlePresetCount] = {"A", "B", "C"};
  return kLetters[IsPresetIndex(index) ? index : 0];
}

void LoadThrottlePreset(ThrottleCurveSettings& settings, int index, const std::string& file) {
  const std::string section = ThrottlePresetSection(index);
  const ThrottleCurveSettings defaults = DefaultThrottleSettings();
  settings.dz_0 = platform::GetPrivateProfileInt(section, kLowerDeadZoneKey, defaults.dz_0, file);
  settings.dz_1 = platform::GetPrivateProfileInt(section, kUpperDeadZoneKey, defaults.dz_1, file);
  for (std::size_t k = 0; k < kThrottlePointCount; ++k) {
    settings.band[k] = platform::ReadProfileFloat(section, BandKey(k), defaults.band[k], file);
  }
  settings.axis_cnf =
      platform::GetPrivateProfileInt(section, kCurveEnabledKey, defaults.axis_cnf, file);
  settings.axis_mode =
      platform::GetPrivateProfileInt(section, kLoadCellKey, defaults.axis_mode, file);
  settings.dirty = false;
}

void SaveThrottlePreset(const ThrottleCurveSettings& settings, int index, const std::string& file) {
  const std::string section = ThrottlePresetSection(index);
  platform::WriteProfileInt(section, kLowerDeadZoneKey, settings.dz_0, file);
  platform::WriteProfileInt(section, kUpperDeadZoneKey, settings.dz_1, file);
  for (std::size_t k = 0; k < kThrottlePointCount; ++k) {
    platform::WriteProfileFloat(section, BandKey(k), settings.band[k], file);
  }
  platform::WriteProfileInt(section, kCurveEnabledKey, settings.axis_cnf, file);
  platform::WriteProfileInt(section, kLoadCellKey, settings.axis_mode, file);
}

int ReadSelectedThrottlePreset(const std::string& file) {
  const int index = platform::GetPrivateProfileInt(kSelectedSection, kSelectedKey, 0, file);
  return IsPresetIndex(index) ? index : 0;
}

void WriteSelectedThrottlePreset(int index, const std::string& file) {
  platform::WriteProfileInt(kSelectedSection, kSelectedKey, index, file);
}

const char* ThrottleSaveQuestion(PageLanguage language) {
  return language == PageLanguage::kSpanish ? "¿Desea guardar los cambios realizados en el preset "
                                            : "Do you want to save changes in preset ";
}

}  // namespace pages
