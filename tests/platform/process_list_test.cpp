// Listing and counting processes by executable name over a /proc tree, and reading what the
// single-instance check needs of one: its start, its environment, whether it still runs.
#include "platform/process_list.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
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
  // A stat line with the command name, the state and the start time (field 22) given.
  void Stat(const std::string& pid, const std::string& comm, char state, unsigned long long start) {
    std::ofstream out(root_ / pid / "stat");
    out << pid << " (" << comm << ") " << state;
    for (int field = 4; field < 22; ++field) out << " " << field;
    out << " " << start << " 23 24\n";
  }
  void File(const std::string& pid, const std::string& name, const std::string& bytes) {
    std::ofstream(root_ / pid / name, std::ios::binary) << bytes;
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

TEST(ProcessListTest, ListsInStartOrderThenByPid) {
  FakeProc proc;
  for (const char* pid : {"300", "100", "200", "50"})
    proc.Exe(pid, "/usr/bin/orvo-pedals-calibration");
  proc.Stat("300", "orvo", 'S', 5000);
  // A command name may hold spaces and parentheses: the fields count from the last ')'.
  proc.Stat("100", "x) S 1 2 (y", 'S', 7000);
  proc.Stat("200", "orvo", 'S', 5000);
  proc.File("50", "stat", "50 (orvo) S 1 2");  // cut short: no start time

  const std::vector<platform::ProcessEntry> listed =
      platform::ListProcessesNamed(kAppNames, proc.Root());
  std::vector<std::pair<pid_t, unsigned long long>> order;
  for (const auto& p : listed) order.emplace_back(p.pid, p.startTime);
  EXPECT_EQ(order, (std::vector<std::pair<pid_t, unsigned long long>>{
                       {50, 0}, {200, 5000}, {300, 5000}, {100, 7000}}));
  EXPECT_EQ(listed.front().folder, proc.Root() + "/50");
}

TEST(ProcessListTest, EnvironmentReadsAsGetenvWouldSeeIt) {
  FakeProc proc;
  proc.Exe("100", "/usr/bin/orvo-pedals-calibration");
  constexpr char kEnviron[] = "A=1\0B=x=y\0BARE\0A=2\0EMPTY=\0";
  proc.File("100", "environ", std::string(kEnviron, sizeof kEnviron - 1));
  const platform::ProcessEntry process{100, getuid(), 0, proc.Root() + "/100"};
  EXPECT_EQ(platform::ProcessEnvironment(process),
            (std::map<std::string, std::string>{{"A", "1"}, {"B", "x=y"}, {"EMPTY", ""}}));
  const platform::ProcessEntry unreadable{101, getuid(), 0, proc.Root() + "/101"};
  EXPECT_EQ(platform::ProcessEnvironment(unreadable), std::nullopt);
}

TEST(ProcessListTest, StillRunningOnlyWhileTheSameProcessHasItsProgram) {
  struct Case {
    const char* name;
    char state;
    unsigned long long start;  // listed at 5000
    bool exe;
    bool stillRunning;
  };
  for (const Case& c :
       {Case{"sleeping", 'S', 5000, true, true}, Case{"running", 'R', 5000, true, true},
        Case{"zombie", 'Z', 5000, true, false}, Case{"dead", 'X', 5000, true, false},
        Case{"pid taken by a later process", 'S', 5100, true, false},
        Case{"ending: program let go", 'S', 5000, false, false}}) {
    SCOPED_TRACE(c.name);
    FakeProc proc;
    if (c.exe) proc.Exe("100", "/usr/bin/orvo-pedals-calibration");
    fs::create_directories(fs::path(proc.Root()) / "100");
    proc.Stat("100", "orvo", c.state, c.start);
    EXPECT_EQ(platform::StillRunning({100, getuid(), 5000, proc.Root() + "/100"}), c.stillRunning);
  }
  FakeProc gone;
  EXPECT_FALSE(platform::StillRunning({100, getuid(), 5000, gone.Root() + "/100"}));
}

TEST(ProcessListTest, ARealChildIsListedAndStopsRunningWhenItEnds) {
  const std::string self = fs::read_symlink("/proc/self/exe").filename().string();
  int hold[2];
  ASSERT_EQ(pipe(hold), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(hold[1]);
    char byte;
    (void)!read(hold[0], &byte, 1);
    _exit(0);
  }
  close(hold[0]);
  const std::vector<platform::ProcessEntry> listed = platform::ListProcessesNamed({self});
  const auto find = [&](pid_t pid) {
    return std::find_if(listed.begin(), listed.end(), [&](const auto& p) { return p.pid == pid; });
  };
  const auto parent = find(getpid());
  const auto entry = find(child);
  ASSERT_NE(parent, listed.end());
  ASSERT_NE(entry, listed.end());
  EXPECT_GT(parent->startTime, 0u);
  EXPECT_LE(parent->startTime, entry->startTime);
  EXPECT_LT(parent, entry);  // started earlier, listed earlier
  EXPECT_TRUE(platform::StillRunning(*entry));
  EXPECT_TRUE(platform::SameExecutable(*parent, *entry));

  close(hold[1]);
  siginfo_t info{};
  // Waits for its end without reaping it: a zombie, still in /proc.
  ASSERT_EQ(waitid(P_PID, child, &info, WEXITED | WNOWAIT), 0);
  EXPECT_FALSE(platform::StillRunning(*entry));
  EXPECT_FALSE(platform::SameExecutable(*parent, *entry));
  waitpid(child, nullptr, 0);
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
