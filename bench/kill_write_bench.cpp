// Kills a writer over and over in the middle of its writes: preset writes into the settings
// file, restores into it, and backups. After every kill the file must be whole (every key there
// and a number); at the end the temporary files left in the folder are counted.
//   kill_write_bench [ITERATIONS [FOLDER]]   default 1000 per kind of write, in the temp folder
// (a tmpfs folder such as /dev/shm makes a run take seconds instead of the disk's minutes)
// Target: never a partial file; at most one temporary file left after each run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <variant>

#include "app/backup/backup_file.h"
#include "pages/brake_clutch_curve.h"
#include "pages/throttle_presets.h"
#include "platform/ini_file.h"

using namespace pages;
using namespace app;

namespace fs = std::filesystem;

namespace {

struct Kind {
  const char* name;
  std::function<void(const fs::path& dir, int round)> write;  // one whole write
  std::function<bool(const fs::path& dir)> whole;             // the target after a kill
};

ThrottleCurveSettings PresetOfRound(int round) {
  ThrottleCurveSettings settings = DefaultThrottleSettings();
  settings.dz_0 = round % 50;
  settings.band[5] = static_cast<float>(round % 100);
  return settings;
}

// Every key of the preset sections there, each a number.
bool PresetsWhole(const std::string& file, const char* prefix, int sections) {
  const platform::ProfileFile profile(file);
  if (profile.Status() != platform::FileReadStatus::kRead) return false;
  for (int n = 0; n < sections; ++n) {
    const std::string section = prefix + std::to_string(n);
    for (const char* key : {"dz_0", "dz_1", "band_0", "band_50", "band_100", "axis_mode"}) {
      const std::optional<std::string> text = profile.Find(section, key);
      if (!text || text->empty() || std::strtod(text->c_str(), nullptr) < 0) return false;
    }
  }
  return true;
}

std::size_t TemporaryFiles(const fs::path& dir) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename().string().starts_with(".")) ++count;
  }
  return count;
}

void Run(const Kind& kind, const fs::path& dir, int iterations) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  kind.write(dir, 0);  // a whole file to start from
  // One write's duration, so that the kills land anywhere within writes.
  const auto start = std::chrono::steady_clock::now();
  kind.write(dir, 1);
  const auto writeUs = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  std::mt19937 random(12345);
  std::uniform_int_distribution<long> delay(0, std::max<long>(1, writeUs * 2));
  int partial = 0;
  for (int i = 0; i < iterations; ++i) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ready[0]);
      const char go = 1;
      [[maybe_unused]] const ssize_t sent = ::write(ready[1], &go, 1);
      for (int round = 2;; ++round) kind.write(dir, round);
    }
    ::close(ready[1]);
    char go = 0;
    [[maybe_unused]] const ssize_t got = ::read(ready[0], &go, 1);
    ::close(ready[0]);
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!kind.whole(dir)) ++partial;
  }
  std::printf(
      "%-8s %d kills (one write %ld us): partial files %d, temporary files left %zu"
      "  [target: 0 partial, <= 1 left] %s\n",
      kind.name, iterations, static_cast<long>(writeUs), partial, TemporaryFiles(dir),
      partial == 0 && TemporaryFiles(dir) <= 1 ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 1000;
  // Each run's line shows as it ends; the children are killed and never flush a copy.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
  // A folder of this run's own, so that two runs never share their files.
  std::string pattern = (base / "kill_write_bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path root = pattern;

  const Kind preset{"preset",
                    [](const fs::path& dir, int round) {
                      SaveThrottlePreset(PresetOfRound(round), round % 3,
                                         (dir / "presets.ini").string());
                    },
                    [](const fs::path& dir) {
                      return PresetsWhole((dir / "presets.ini").string(), "PRESET_", 1);
                    }};

  const Kind restore{
      "restore",
      [](const fs::path& dir, int round) {
        // Two backups restored in turn, so that every restore changes every preset.
        const auto source = [&dir](int n) {
          return (dir / ("backup" + std::to_string(n))).string();
        };
        if (round == 0) {
          for (const int n : {0, 1}) {
            BackupContents contents;
            contents.presets = {PresetOfRound(n + 1), PresetOfRound(n + 2), PresetOfRound(n + 3)};
            contents.brake = DefaultBrakeClutchSettings();
            WriteBackupFile(contents, source(n));
          }
        }
        const auto read = ReadBackupFile(source(round % 2));
        if (const auto* restored = std::get_if<RestoredBackup>(&read)) {
          WriteRestoredSettings(*restored, (dir / "presets.ini").string());
        }
      },
      [](const fs::path& dir) {
        return PresetsWhole((dir / "presets.ini").string(), "PRESET_", 3);
      }};

  const Kind backup{"backup",
                    [](const fs::path& dir, int round) {
                      BackupContents contents;
                      contents.actualPreset = round % 3;
                      contents.presets = {PresetOfRound(round), PresetOfRound(round + 1),
                                          PresetOfRound(round + 2)};
                      WriteBackupFile(contents, (dir / "backup.txt").string());
                    },
                    [](const fs::path& dir) {
                      return PresetsWhole((dir / "backup.txt").string(), "THROTTLE_", 3);
                    }};

  for (const Kind* kind : {&preset, &restore, &backup}) Run(*kind, root / kind->name, iterations);
  fs::remove_all(root);
  return 0;
}
