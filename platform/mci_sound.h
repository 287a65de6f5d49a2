// The hot-key sound behind the three MCI command strings the application sends, over SDL2_mixer.
#pragma once

#include <string>

namespace platform {

// Results of MciSendString; 0 is success. Callers may ignore them: every failure is silent.
inline constexpr int kMciOk = 0;
inline constexpr int kMciUnknownCommand = 1;   // not one of open, setaudio, play
inline constexpr int kMciBadSyntax = 2;        // a known command in a shape we do not take
inline constexpr int kMciUnknownAlias = 3;     // no sound is open under that alias
inline constexpr int kMciAliasInUse = 4;       // open under an alias that is already open
inline constexpr int kMciUnsupportedType = 5;  // open with a device type other than mpegvideo
inline constexpr int kMciFileNotFound = 6;     // open of a file that cannot be read
inline constexpr int kMciNoAudioDevice = 7;    // no usable audio output: the program stays silent
inline constexpr int kMciCannotDecode = 8;     // the file is not a sound we can decode
inline constexpr int kMciOutOfRange =
    9;  // volume outside 0..1000 or play from a position other than 0
inline constexpr int kMciCannotPlay = 10;  // the mixer had no channel for it

inline constexpr int kMciMaxVolume = 1000;

// Takes, with keywords in any letter case and aliases compared without case:
//   open "<file>" type mpegvideo alias <alias>   loads the file (bare names without spaces
//                                                 need no quotes); audio starts on the first open
//   setaudio <alias> volume to <0..1000>         sets the alias's volume (default full)
//   play <alias> from 0                          plays from the start, cutting a play in progress
// Never blocks for the length of the sound and never shows anything. Without an audio device
// (also when only SDL's dummy or disk driver is left, which would play nothing or write a file)
// every open fails with kMciNoAudioDevice, so later commands find no alias and do nothing.
int MciSendString(const std::string& command);

// MCI volume (0..1000) to the mixer's (0..128), rounded; values outside the range are clamped.
int MciVolumeToMixer(int mciVolume);

}  // namespace platform
