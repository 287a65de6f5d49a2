// The single-instance check between real processes: of copies started at the same moment exactly
// one runs, a copy that was killed lets the next one run, a copy whose lock file lies elsewhere
// (another runtime or temporary folder) still refuses after an earlier one, and so does a copy
// started after another executable of the same name (an older version, which takes no lock).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Where a start keeps its lock: the runtime and the temporary folder it is given.
struct Folders {
  std::string runtime;
  std::string tmp;
};

// One start of the check program, held at its start until Go().
class Start {
 public:
  Start(const std::string& program, const Folders& folders) {
    int in[2], out[2];
    // Close-on-exec, so that no copy holds another one's start pipe open.
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::string libraryPath = ORVO_PLATFORM_LIBRARY_DIR;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (entry.starts_with("LD_LIBRARY_PATH=")) {
        libraryPath += ":" + entry.substr(entry.find('=') + 1);
      } else if (!entry.starts_with("XDG_RUNTIME_DIR=") && !entry.starts_with("TMPDIR=")) {
        env.push_back(entry);
      }
    }
    env.push_back("XDG_RUNTIME_DIR=" + folders.runtime);
    env.push_back("TMPDIR=" + folders.tmp);
    // The copy lies outside the build tree, where its relative RUNPATH finds nothing.
    env.push_back("LD_LIBRARY_PATH=" + libraryPath);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    go_ = in[1];
    answer_ = fdopen(out[0], "r");
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
  }
  // Killed before its start pipe closes: one never let go never checks.
  ~Start() {
    Kill();
    if (go_ >= 0) close(go_);
    if (answer_ != nullptr) fclose(answer_);
  }

  void Go() {
    close(go_);
    go_ = -1;
  }
  // "won" or "refused"; empty when the program ended without a word.
  std::string Answer() {
    char line[32] = {};
    if (fgets(line, sizeof line, answer_) == nullptr) return "";
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int go_ = -1;
  FILE* answer_ = nullptr;
};

using Starts = std::vector<std::unique_ptr<Start>>;

// Starts one copy per entry of folders at once and returns their answers in start order.
std::vector<std::string> StartTogether(Starts& starts, const std::string& program,
                                       const std::vector<Folders>& folders) {
  for (const Folders& f : folders) starts.push_back(std::make_unique<Start>(program, f));
  for (auto& start : starts) start->Go();
  std::vector<std::string> answers;
  for (auto& start : starts) answers.push_back(start->Answer());
  return answers;
}

// A case's folder, with its own copy of the check program. The check counts the copies of its
// own name only, once that is not one of the program's names: a name of the case's own (its
// folder's unique name) keeps the copies of cases that run in parallel, of other runs of the
// suite and of the end-to-end tests from seeing each other.
class InstanceCase {
 public:
  InstanceCase() {
    fs::create_directory(folder_.File("bin"));
    fs::copy_file(ORVO_INSTANCE_CHECK, program_);
    for (const char* sub : {"run", "run2", "tmp", "tmp2"}) fs::create_directory(folder_.File(sub));
  }
  const std::string& Program() const { return program_; }
  // name: one of the folders made above, or any other name for a folder that is not there.
  std::string Folder(const std::string& name) const { return folder_.File(name); }
  // Another executable file under the program's name.
  std::string OtherExecutable() const {
    const std::string other = folder_.File("old");
    fs::create_directory(other);
    const std::string path = other + "/" + Name();
    fs::copy_file(ORVO_INSTANCE_CHECK, path);
    return path;
  }

 private:
  std::string Name() const { return folder_.Path().filename().string(); }

  test_support::TempFolder folder_{"orvo-instance"};
  std::string program_ = folder_.File("bin/" + Name());
};

// A start without a usable runtime folder falls back to /run/user/<uid> where that is there:
// a case that needs the temporary folder cannot be set up then, and is not run, so that it
// never leaves a lock file in the user's own runtime folder.
bool OwnRuntimeFolderIsThere() {
  const std::string own = "/run/user/" + std::to_string(getuid());
  return access(own.c_str(), W_OK | X_OK) == 0;
}

// The folders of two starts: the same ones, or ones that give them different lock files.
struct FolderCase {
  const char* name;
  Folders first, second;  // folder names in the case's folder; "missing" is not there
};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class SingleInstanceTest : public testing::TestWithParam<FolderCase> {
 protected:
  void SetUp() override {
    const FolderCase& c = GetParam();
    if ((c.first.runtime == "missing" || c.second.runtime == "missing") &&
        OwnRuntimeFolderIsThere())
      GTEST_SKIP() << "/run/user/" << getuid() << " is there, so the lock would go there";
  }
  Folders First() const { return In(GetParam().first); }
  Folders Second() const { return In(GetParam().second); }

  InstanceCase case_;

 private:
  Folders In(const Folders& names) const {
    return {case_.Folder(names.runtime), case_.Folder(names.tmp)};
  }
};

TEST_P(SingleInstanceTest, OfTwoCopiesStartedTogetherExactlyOneRuns) {
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    Starts starts;
    EXPECT_THAT(StartTogether(starts, case_.Program(), {First(), Second()}),
                testing::UnorderedElementsAre("won", "refused"));
  }
}

TEST_P(SingleInstanceTest, ALaterCopyRefusesUntilTheRunningOneIsKilled) {
  Starts first;
  ASSERT_EQ(StartTogether(first, case_.Program(), {First()}), std::vector<std::string>{"won"});
  Starts second;
  EXPECT_EQ(StartTogether(second, case_.Program(), {Second()}),
            std::vector<std::string>{"refused"});
  first.front()->Kill();
  Starts third;
  EXPECT_EQ(StartTogether(third, case_.Program(), {Second()}), std::vector<std::string>{"won"});
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SingleInstanceTest,
    testing::Values(FolderCase{"RuntimeFolder", {"run", "tmp"}, {"run", "tmp"}},
                    FolderCase{"MissingRuntimeFolder", {"missing", "tmp"}, {"missing", "tmp"}},
                    // The lock files differ: only the start order tells the copies apart.
                    FolderCase{"DifferentRuntimeFolders", {"run", "tmp"}, {"run2", "tmp"}},
                    FolderCase{"RuntimeFolderForOneOnly", {"run", "tmp"}, {"missing", "tmp"}},
                    FolderCase{"DifferentTmpFoldersWithoutRuntimeFolder",
                               {"missing", "tmp"},
                               {"missing", "tmp2"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SingleInstanceOtherExecutableTest, AnEarlierCopyOfAnotherExecutableMakesTheCheckRefuse) {
  InstanceCase c;
  const Folders folders{c.Folder("run"), c.Folder("tmp")};
  // Held at its start, it never takes the lock: like an older version that takes none.
  auto older = std::make_unique<Start>(c.OtherExecutable(), folders);
  Starts refused;
  EXPECT_EQ(StartTogether(refused, c.Program(), {folders}), std::vector<std::string>{"refused"});
  older.reset();
  Starts won;
  EXPECT_EQ(StartTogether(won, c.Program(), {folders}), std::vector<std::string>{"won"});
}

TEST(SingleInstanceLockFileTest, ACopyStartedAfterTheLockFileWasRemovedRefuses) {
  InstanceCase c;
  const Folders folders{c.Folder("run"), c.Folder("tmp")};
  Starts first;
  ASSERT_EQ(StartTogether(first, c.Program(), {folders}), std::vector<std::string>{"won"});
  // A clean-up of the runtime folder: the first copy still holds the old file, now nameless.
  for (const auto& entry : fs::directory_iterator(folders.runtime)) fs::remove(entry.path());
  Starts second;
  EXPECT_EQ(StartTogether(second, c.Program(), {folders}), std::vector<std::string>{"refused"});
}

}  // namespace
