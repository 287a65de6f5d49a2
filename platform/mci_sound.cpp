// The three MCI sound commands over SDL2_mixer; audio starts lazily and fails silently.
#include "platform/mci_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {
namespace {

constexpr int kMixerChannelsOut = 2;
constexpr int kMixerChunkFrames = 1024;  // ~23 ms at 44.1 kHz: a short beep starts promptly

struct OpenSound {
  std::string alias;  // lower case: aliases are compared without case
  Mix_Chunk* chunk = nullptr;
  int channel = -1;  // where it last played, so that a new play cuts the old one
};

enum class AudioState { kNotTried, kReady, kUnavailable };

struct SoundState {
  std::mutex mutex;
  AudioState audio = AudioState::kNotTried;
  std::vector<OpenSound> sounds;
};

// Never destroyed: tearing the mixer down at exit could race whoever shuts SDL down.
SoundState& TheState() {
  static SoundState* state = new SoundState;
  return *state;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return out;
}

bool Is(const std::string& token, std::string_view keyword) { return Lower(token) == keyword; }

// Splits on blanks; a token in double quotes may hold blanks. nullopt for an unclosed quote.
std::optional<std::vector<std::string>> Tokenize(const std::string& command) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < command.size()) {
    if (std::isspace(static_cast<unsigned char>(command[i]))) {
      ++i;
    } else if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string::npos) return std::nullopt;
      tokens.push_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      std::size_t end = i;
      while (end < command.size() && !std::isspace(static_cast<unsigned char>(command[end]))) ++end;
      tokens.push_back(command.substr(i, end - i));
      i = end;
    }
  }
  return tokens;
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

OpenSound* Find(SoundState& state, const std::string& alias) {
  const std::string key = Lower(alias);
  auto it = std::find_if(state.sounds.begin(), state.sounds.end(),
                         [&](const OpenSound& s) { return s.alias == key; });
  return it == state.sounds.end() ? nullptr : &*it;
}

// alsa-lib writes every error to stderr by default, and without a sound card SDL's probing
// makes several ("Unknown PCM default"). A missing device is no fault of the user's: it is
// reported by the open's result, as anything else here is, and stays off stderr.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Tried once per process: without a device every later open fails at once instead of
// probing the drivers again on the UI thread.
bool EnsureAudio(SoundState& state) {
  if (state.audio != AudioState::kNotTried) return state.audio == AudioState::kReady;
  state.audio = AudioState::kUnavailable;
  snd_lib_error_set_handler(IgnoreAlsaError);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // Only chosen when asked for by name: dummy plays nothing, disk writes the sound to a file.
  const char* driver = SDL_GetCurrentAudioDriver();
  const std::string name = driver != nullptr ? Lower(driver) : "";
  if (name.empty() || name == "dummy" || name == "disk") {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, kMixerChannelsOut,
                    kMixerChunkFrames) != 0) {
    // The subsystem stays up: shutting it down joins ALSA's device-watch thread, which can
    // hold the UI thread for 100 ms.
    return false;
  }
  state.audio = AudioState::kReady;
  return true;
}

// open "<file>" type mpegvideo alias <alias>
int Open(SoundState& state, const std::vector<std::string>& t) {
  if (t.size() != 6 || !Is(t[2], "type") || !Is(t[4], "alias") || t[1].empty())
    return kMciBadSyntax;
  if (!Is(t[3], "mpegvideo")) return kMciUnsupportedType;
  if (Find(state, t[5]) != nullptr) return kMciAliasInUse;
  // Checked before the audio start so that a missing file costs no driver probing.
  if (!std::ifstream(t[1], std::ios::binary)) return kMciFileNotFound;
  if (!EnsureAudio(state)) return kMciNoAudioDevice;
  Mix_Chunk* chunk = Mix_LoadWAV(t[1].c_str());
  if (chunk == nullptr) return kMciCannotDecode;
  state.sounds.push_back(OpenSound{Lower(t[5]), chunk, -1});
  return kMciOk;
}

// setaudio <alias> volume to <0..1000>
int SetAudio(SoundState& state, const std::vector<std::string>& t) {
  if (t.size() != 5 || !Is(t[2], "volume") || !Is(t[3], "to")) return kMciBadSyntax;
  const auto volume = ParseInt(t[4]);
  if (!volume) return kMciBadSyntax;
  OpenSound* sound = Find(state, t[1]);
  if (sound == nullptr) return kMciUnknownAlias;
  if (*volume < 0 || *volume > kMciMaxVolume) return kMciOutOfRange;
  Mix_VolumeChunk(sound->chunk, MciVolumeToMixer(*volume));
  return kMciOk;
}

// play <alias> from 0
int Play(SoundState& state, const std::vector<std::string>& t) {
  if (t.size() != 4 || !Is(t[2], "from")) return kMciBadSyntax;
  const auto from = ParseInt(t[3]);
  if (!from) return kMciBadSyntax;
  OpenSound* sound = Find(state, t[1]);
  if (sound == nullptr) return kMciUnknownAlias;
  if (*from != 0) return kMciOutOfRange;
  // Playing again from the start restarts the sound rather than layering a second copy.
  const bool stillOurs = sound->channel >= 0 && Mix_Playing(sound->channel) != 0 &&
                         Mix_GetChunk(sound->channel) == sound->chunk;
  const int channel = Mix_PlayChannel(stillOurs ? sound->channel : -1, sound->chunk, 0);
  if (channel < 0) return kMciCannotPlay;
  sound->channel = channel;
  return kMciOk;
}

}  // namespace

int MciVolumeToMixer(int mciVolume) {
  const int clamped = std::clamp(mciVolume, 0, kMciMaxVolume);
  return (clamped * MIX_MAX_VOLUME + kMciMaxVolume / 2) / kMciMaxVolume;
}

int MciSendString(const std::string& command) {
  const auto tokens = Tokenize(command);
  if (!tokens) return kMciBadSyntax;
  if (tokens->empty()) return kMciUnknownCommand;
  SoundState& state = TheState();
  std::lock_guard lock(state.mutex);
  const std::string& verb = tokens->front();
  if (Is(verb, "open")) return Open(state, *tokens);
  if (Is(verb, "setaudio")) return SetAudio(state, *tokens);
  if (Is(verb, "play")) return Play(state, *tokens);
  return kMciUnknownCommand;
}

}  // namespace platform
