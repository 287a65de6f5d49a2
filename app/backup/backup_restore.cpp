// The backup and restore flows of the main dialog, and their messages in both languages.
#include "app/backup/backup_restore.h"

#include <filesystem>
#include <variant>

#include "app/backup/backup_file.h"

namespace app {

namespace {

// UTF-8 texts of one language; %1 stands for the file, %2 .. %4 for section, key and text.
struct BackupTexts {
  const char* notSaved;
  const char* settingsFileChosen;
  const char* settingsUnreadable;
  const char* unreadable;
  const char* tooLarge;
  const char* notABackup;
  const char* badValue;
  const char* incomplete;  // %2: the missing sections and keys, one section a line
  const char* wholeSection;
  const char* settingsNotWritten;
};

constexpr BackupTexts kSpanish{
    "No se ha podido guardar la copia de seguridad en\n%1",
    "La copia de seguridad no puede guardarse sobre el archivo de configuración\n%1",
    "No se ha podido leer el archivo de configuración\n%1\n\nNo se ha guardado ninguna copia "
    "de seguridad.",
    "No se ha podido leer el archivo\n%1\n\nNo se ha cambiado nada.",
    "El archivo\n%1\nes demasiado grande para ser una copia de seguridad de los presets (más "
    "de 1 MiB).\n\nNo se ha cambiado nada.",
    "El archivo\n%1\nno es una copia de seguridad de los presets.\n\nNo se ha cambiado nada.",
    "El archivo\n%1\ntiene un valor no válido en [%2] %3: \"%4\".\n\nNo se ha cambiado nada.",
    "El archivo\n%1\nestá incompleto. Le faltan:\n%2\n\nLo que falta tomará sus valores por "
    "defecto. ¿Desea cargarlo de todos modos?",
    "la sección entera",
    "No se ha podido escribir el archivo de configuración\n%1\n\nNo se ha cambiado nada.",
};

constexpr BackupTexts kEnglish{
    "The backup could not be saved to\n%1",
    "The backup cannot be saved over the settings file\n%1",
    "The settings file could not be read:\n%1\n\nNo backup was saved.",
    "The file could not be read:\n%1\n\nNothing was changed.",
    "The file\n%1\nis too large to be a backup of the presets (more than 1 MiB).\n\nNothing was "
    "changed.",
    "The file\n%1\nis not a backup of the presets.\n\nNothing was changed.",
    "The file\n%1\nholds an invalid value in [%2] %3: \"%4\".\n\nNothing was changed.",
    "The file\n%1\nis incomplete. It lacks:\n%2\n\nWhat is missing will take its default "
    "values. Do you want to load it anyway?",
    "the whole section",
    "The settings file could not be written:\n%1\n\nNothing was changed.",
};

const BackupTexts& TextsFor(pages::PageLanguage language) {
  return language == pages::PageLanguage::kSpanish ? kSpanish : kEnglish;
}

// The text with %1 .. %4 replaced by the arguments in order.
std::string Compose(const char* text, std::initializer_list<std::string> arguments) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '%' && c[1] >= '1' && c[1] < '1' + static_cast<int>(arguments.size())) {
      out += arguments.begin()[c[1] - '1'];
      ++c;
    } else {
      out += *c;
    }
  }
  return out;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

std::string ReadErrorMessage(const BackupTexts& texts, const std::string& path,
                             const BackupReadError& error) {
  switch (error.failure) {
    case BackupReadFailure::kUnreadable: return Compose(texts.unreadable, {path});
    case BackupReadFailure::kTooLarge: return Compose(texts.tooLarge, {path});
    case BackupReadFailure::kNotABackup: return Compose(texts.notABackup, {path});
    case BackupReadFailure::kBadValue: break;
  }
  return Compose(texts.badValue, {path, error.section, error.key, error.text});
}

// "[THROTTLE_1] band_60, band_70" or "[THROTTLE_2] the whole section", one line each.
std::string GapList(const BackupTexts& texts, const std::vector<BackupGap>& gaps) {
  std::string out;
  for (const BackupGap& gap : gaps) {
    if (!out.empty()) out += "\n";
    out += "[" + gap.section + "] ";
    if (gap.keys.empty()) out += texts.wholeSection;
    for (std::size_t i = 0; i < gap.keys.size(); ++i) out += (i > 0 ? ", " : "") + gap.keys[i];
  }
  return out;
}

// The restored settings into a brake or clutch page, which then holds unsent changes.
void RestorePedal(BackupPedalPort& page,
                  const std::optional<pages::BrakeClutchSettings>& settings) {
  if (!settings) return;
  page.LoadPedalSettings(*settings);
  page.Settings().dirty = true;
}

}  // namespace

void BackupRestore::OnBackupPresets() {
  const std::optional<std::string> path = host_.ChooseBackupFileToSave();
  if (!path) return;
  const BackupTexts& texts = TextsFor(host_.Language());
  // Replacing the settings file with a backup would lose every other setting in it.
  if (SameFile(*path, host_.SettingsFile())) {
    host_.ShowBackupError(Compose(texts.settingsFileChosen, {*path}));
    return;
  }
  const std::optional<BackupContents> contents =
      CollectBackup(host_.SettingsFile(), host_.CurrentThrottlePreset(), host_.Presence(),
                    host_.BrakePage().Settings(), host_.ClutchPage().Settings());
  if (!contents) {
    host_.ShowBackupError(Compose(texts.settingsUnreadable, {host_.SettingsFile()}));
    return;
  }
  if (!WriteBackupFile(*contents, *path)) host_.ShowBackupError(Compose(texts.notSaved, {*path}));
}

void BackupRestore::OnRestorePresets() {
  if (host_.AnyPageDirty() && host_.AskUnsavedChanges() != pages::QuestionAnswer::kYes) return;
  const std::optional<std::string> path = host_.ChooseBackupFileToOpen();
  if (!path) return;
  const BackupTexts& texts = TextsFor(host_.Language());

  const std::variant<RestoredBackup, BackupReadError> read = ReadBackupFile(*path);
  if (const auto* error = std::get_if<BackupReadError>(&read)) {
    host_.ShowBackupError(ReadErrorMessage(texts, *path, *error));
    return;
  }
  const RestoredBackup& backup = std::get<RestoredBackup>(read);
  // A truncated or hand-made file is restored only when the user says so.
  if (!backup.gaps.empty() &&
      host_.AskRestoreIncomplete(Compose(texts.incomplete, {*path, GapList(texts, backup.gaps)})) !=
          pages::QuestionAnswer::kYes) {
    return;
  }
  if (!WriteRestoredSettings(backup, host_.SettingsFile())) {
    host_.ShowBackupError(Compose(texts.settingsNotWritten, {host_.SettingsFile()}));
    return;
  }

  host_.SelectThrottlePreset(PresetForBackupValue(backup.actualPreset));
  RestorePedal(host_.BrakePage(), backup.brake);
  RestorePedal(host_.ClutchPage(), backup.clutch);
  host_.ApplyConfigLive();
}

}  // namespace app
