// The MCI sound commands: the three shapes, their errors, silence without a file or a device.
#include "platform/mci_sound.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

TEST(MciSoundTest, VolumeMapsOntoTheMixerScale) {
  struct Case {
    int mci;
    int mixer;
  };
  const Case cases[] = {{0, 0},      {1, 0},  {4, 1},      {500, 64},    {996, 127},
                        {1000, 128}, {-5, 0}, {1001, 128}, {100000, 128}};
  for (const auto& c : cases) EXPECT_EQ(MciVolumeToMixer(c.mci), c.mixer) << "MCI volume " << c.mci;
}

TEST(MciSoundTest, RejectsCommandsOutsideTheThreeShapes) {
  struct Case {
    const char* command;
    int error;
  };
  const Case cases[] = {
      {"", kMciUnknownCommand},
      {"   ", kMciUnknownCommand},
      {"close beep", kMciUnknownCommand},
      {"stop beep", kMciUnknownCommand},
      {"open \"beep.mp3\" type mpegvideo alias", kMciBadSyntax},
      {"open \"beep.mp3\" alias beep", kMciBadSyntax},
      {"open \"beep.mp3 type mpegvideo alias beep", kMciBadSyntax},
      {"open \"beep.mp3\" type waveaudio alias beep", kMciUnsupportedType},
      {"setaudio beep volume 500", kMciBadSyntax},
      {"setaudio beep volume to loud", kMciBadSyntax},
      {"setaudio beep volume to 500 now", kMciBadSyntax},
      {"play beep from", kMciBadSyntax},
      {"play beep to 0", kMciBadSyntax},
      {"play beep from zero", kMciBadSyntax},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MciSendString(c.command), c.error) << '"' << c.command << '"';
}

TEST(MciSoundTest, MissingFileStaysSilentAndLaterCommandsDoNothing) {
  const test_support::TempFolder folder("mci-sound-test");
  const fs::path missing = folder.Path() / "no-beep.mp3";
  const std::string open = "open \"" + missing.string() + "\" type mpegvideo alias missingbeep";
  EXPECT_EQ(MciSendString(open), kMciFileNotFound);
  EXPECT_EQ(MciSendString("setaudio missingbeep volume to 500"), kMciUnknownAlias);
  EXPECT_EQ(MciSendString("play missingbeep from 0"), kMciUnknownAlias);
  // Keywords in other cases are the same commands.
  EXPECT_EQ(MciSendString("PLAY missingbeep FROM 0"), kMciUnknownAlias);
  EXPECT_EQ(MciSendString("play nobeep from 0"), kMciUnknownAlias);
}

// A tiny valid WAV: 100 ms of a square wave, 8 kHz mono 16-bit.
void WriteWav(const fs::path& path) {
  constexpr std::uint32_t kRate = 8000, kSamples = 800;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + kSamples * 2);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(kSamples * 2);
  for (std::uint32_t i = 0; i < kSamples; ++i) u16((i / 10) % 2 ? 0x4000 : 0xC000);
}

// The child of a death test ends with exit(), past the destructors: it removes its folder itself.
void LeaveFolder(const fs::path& dir) {
  std::error_code ignored;
  fs::current_path("/", ignored);
  fs::remove_all(dir, ignored);
}

// SDL's disk driver would write the sound into a file in the working directory. It runs in a
// fresh process so that no earlier audio start decides the outcome.
TEST(MciSoundDeathTest, DiskDriverCountsAsNoDeviceAndWritesNothing) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const test_support::TempFolder folder("mci-disk");
  const fs::path dir = folder.Path();
  const fs::path sink = dir / "sdlaudio.raw";
  EXPECT_EXIT(
      {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", sink.c_str(), 1);
        fs::current_path(dir);
        WriteWav(dir / "beep.wav");
        const int open = MciSendString("open \"beep.wav\" type mpegvideo alias diskbeep");
        const int play = MciSendString("play diskbeep from 0");
        const bool ok = open == kMciNoAudioDevice && play == kMciUnknownAlias && !fs::exists(sink);
        LeaveFolder(dir);
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(fs::exists(sink));
}

// Without a sound card the sound layer stays silent, as it already is in sound: the audio
// libraries' complaints about the missing device stay off stderr. In a fresh process, with the
// drivers SDL picks by itself; where a card exists, the beep opens and plays.
TEST(MciSoundDeathTest, OpeningWithoutASoundCardWritesNothingToStderr) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const test_support::TempFolder dir("mci-quiet");
  EXPECT_EXIT(
      {
        unsetenv("SDL_AUDIODRIVER");
        fs::current_path(dir.Path());
        WriteWav(dir.Path() / "beep.wav");
        const int open = MciSendString("open \"beep.wav\" type mpegvideo alias quietbeep");
        const int play = MciSendString("play quietbeep from 0");
        const bool played = open == kMciOk && play == kMciOk;
        const bool silent = open == kMciNoAudioDevice && play == kMciUnknownAlias;
        LeaveFolder(dir.Path());
        std::exit(played || silent ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), ::testing::Not(::testing::HasSubstr("ALSA")));
}

}  // namespace
