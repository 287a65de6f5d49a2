// Counting processes by executable name over a /proc tree.
#include "platform/process_list.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using platform::CountProcessesNamed;

const std::vector<std::string> kAppNames = {"orvo-pedals-calibrationd", "orvo-pedals-calibration"};

// A fake /proc: per pid an exe link (any target; it need not exist) and/or a cmdline file.
class FakeProc {
 public:
  void Exe(const std::string& pid, const std::string& target) {
    fs::create_directories(root_ / pid);
    fs::create_symlink(target, root_ / pid / "exe");
  }
  void CommandLine(const std::string& pid, const std::string& argv) {
    fs::create_directories(root_ / pid);
    std::ofstream(root_ / pid / "cmdline", std::ios::binary) << argv;
  }
  std::string Root() const { return root_.string(); }

 private:
  test_support::TempFolder folder_{"fake-proc"};
  fs::path root_ = folder_.Path();
};

TEST(ProcessListTest, CountsExactNamesFromExeLinkOrCommandLine) {
  FakeProc proc;
  proc.Exe("100", "/usr/bin/orvo-pedals-calibration");
  proc.Exe("101", "/srv/u/build/orvo-pedals-calibrationd");
  proc.Exe("102", "/opt/orvo-pedals-calibrationd (deleted)");  // rebuilt while running
  proc.Exe("103", "/usr/bin/Orvo-Pedals-Calibration");         // differs only in case
  proc.Exe("104", "/usr/bin/orvo-pedals-calibration-old");
  proc.Exe("105", "/usr/bin/orvo-pedals-cal");  // what a 15-character comm shows
  proc.Exe("106", "/usr/bin/bash");
  proc.CommandLine("106", std::string("orvo-pedals-calibration\0", 24));  // argv[0] does not decide
  // Another user's process: no readable exe link, but a command line.
  proc.CommandLine("200", std::string("./orvo-pedals-calibration\0--x\0", 30));
  proc.CommandLine("201", "");                            // kernel thread
  fs::create_directories(fs::path(proc.Root()) / "202");  // nothing readable
  proc.Exe("self", "/usr/bin/orvo-pedals-calibration");   // not a pid
  proc.Exe("12a", "/usr/bin/orvo-pedals-calibration");

  EXPECT_EQ(CountProcessesNamed(kAppNames, proc.Root()), 4);
  EXPECT_EQ(CountProcessesNamed({"orvo-pedals-calibration"}, proc.Root()), 2);
  EXPECT_EQ(CountProcessesNamed({"orvo-pedals-calibrationd"}, proc.Root()), 2);
  EXPECT_EQ(CountProcessesNamed({"bash", "bash"}, proc.Root()), 1);
  EXPECT_EQ(CountProcessesNamed({}, proc.Root()), 0);
  EXPECT_EQ(CountProcessesNamed(kAppNames, proc.Root() + "/no-such-dir"), 0);
}

TEST(ProcessListTest, OtherUsersCountsOnlyProcessesOfAnotherUser) {
  FakeProc proc;
  proc.Exe("100", "/usr/bin/orvo-pedals-calibration");
  proc.CommandLine("200", std::string("/usr/bin/orvo-pedals-calibrationd\0", 34));
  proc.CommandLine("201", std::string("/usr/bin/orvo-pedals-calibration\0", 33));
  EXPECT_EQ(CountProcessesNamed(kAppNames, proc.Root(), platform::ProcessOwners::kOtherUsers), 0);
  // Giving a folder away needs root.
  if (chown((fs::path(proc.Root()) / "200").c_str(), getuid() + 1, getgid()) != 0) {
    GTEST_SKIP() << "cannot give a folder to another user here";
  }
  EXPECT_EQ(CountProcessesNamed(kAppNames, proc.Root(), platform::ProcessOwners::kOtherUsers), 1);
  EXPECT_EQ(CountProcessesNamed(kAppNames, proc.Root()), 3);
}

TEST(ProcessListTest, CountsThisProcessInTheRealProc) {
  const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
  // Other copies of this binary may run beside it (tests run in parallel).
  EXPECT_GE(CountProcessesNamed({self}), 1);
  std::string upper = self;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(CountProcessesNamed({upper}), 0);
}

}  // namespace
