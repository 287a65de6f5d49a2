// Reading a file chosen for a restore until the restore can answer: a real backup, a 1 MiB file
// that is no backup (the largest that is read at all: dense INI lines, the slowest to take
// apart) and a 100 MiB one (refused from its size). Prints the time of each and the process's
// peak resident memory.
// Target: each answers in well under a second (< 250 ms).
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "app/backup/backup_file.h"
#include "pages/brake_clutch_curve.h"

using namespace pages;
using namespace app;

namespace {

constexpr double kTargetMs = 250.0;

std::string Outcome(const std::variant<RestoredBackup, BackupReadError>& result) {
  if (const auto* error = std::get_if<BackupReadError>(&result)) {
    switch (error->failure) {
      case BackupReadFailure::kUnreadable: return "refused: unreadable";
      case BackupReadFailure::kTooLarge: return "refused: too large";
      case BackupReadFailure::kNotABackup: return "refused: not a backup";
      case BackupReadFailure::kBadValue: return "refused: bad value";
    }
  }
  return std::get<RestoredBackup>(result).gaps.empty() ? "backup" : "backup lacking keys";
}

void Measure(const char* name, const std::string& path) {
  constexpr int kRuns = 5;
  double worstMs = 0;
  std::string outcome;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const auto result = ReadBackupFile(path);
    const auto end = std::chrono::steady_clock::now();
    worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(end - start).count());
    outcome = Outcome(result);
  }
  std::printf("%-34s %9.2f ms (slowest of %d)  %-24s [target: < %.0f ms] %s\n", name, worstMs,
              kRuns, outcome.c_str(), kTargetMs, worstMs < kTargetMs ? "met" : "NOT met");
}

}  // namespace

int main() {
  // A folder of this run's own, so that two runs never share their files.
  std::string pattern =
      (std::filesystem::temp_directory_path() / "backup_read_bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path dir = pattern;
  const std::string settings = (dir / "presets.ini").string();
  std::ofstream(settings) << "[PRESET_0]\ndz_0=5\n";

  const std::string backup = (dir / "backup.txt").string();
  WriteBackupFile(*CollectBackup(settings, 1, {true, true}, DefaultBrakeClutchSettings(),
                                 DefaultBrakeClutchSettings()),
                  backup);

  // Short sections and keys, as many lines as 1 MiB holds.
  const std::string dense = (dir / "dense_1MiB.txt").string();
  {
    std::string text;
    for (int i = 0; text.size() < kBackupMaxBytes - 64; ++i) {
      text += i % 8 == 0 ? "[S" + std::to_string(i) + "]\r\n" : "k" + std::to_string(i) + "=1\r\n";
    }
    text.resize(kBackupMaxBytes, ';');
    std::ofstream(dense, std::ios::binary) << text;
  }
  const std::string huge = (dir / "huge_100MiB.txt").string();
  {
    std::ofstream out(huge, std::ios::binary);
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < 100; ++i) out << block;
  }

  Measure("real backup (103 keys)", backup);
  Measure("1 MiB, no backup (dense lines)", dense);
  Measure("100 MiB, no backup", huge);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
  std::filesystem::remove_all(dir);
  return 0;
}
