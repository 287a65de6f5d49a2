// The single-instance check between real processes under the program's name: of copies
// started at the same moment exactly one runs, a copy that was killed lets the next one run,
// and a runtime folder that will not do never stops the program from starting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backup/backup_test_support.h"

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

// One start of the check program, held at its start until Go().
class Start {
 public:
  Start(const std::string& runtimeFolder, const std::string& tmpFolder) {
    int in[2], out[2];
    // Close-on-exec, so that no copy holds another one's start pipe open.
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (!entry.starts_with("XDG_RUNTIME_DIR=") && !entry.starts_with("TMPDIR="))
        env.push_back(entry);
    }
    env.push_back("XDG_RUNTIME_DIR=" + runtimeFolder);
    env.push_back("TMPDIR=" + tmpFolder);
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(ORVO_INSTANCE_CHECK), nullptr};
    const int spawned =
        posix_spawn(&pid_, ORVO_INSTANCE_CHECK, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    go_ = in[1];
    answer_ = fdopen(out[0], "r");
    if (spawned != 0) throw std::runtime_error("cannot start " + std::string(ORVO_INSTANCE_CHECK));
  }
  ~Start() {
    if (go_ >= 0) close(go_);
    Kill();
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

// Starts count copies at once and returns their answers in start order.
std::vector<std::string> StartTogether(std::vector<std::unique_ptr<Start>>& starts, int count,
                                       const std::string& runtimeFolder,
                                       const std::string& tmpFolder) {
  for (int i = 0; i < count; ++i)
    starts.push_back(std::make_unique<Start>(runtimeFolder, tmpFolder));
  for (auto& start : starts) start->Go();
  std::vector<std::string> answers;
  for (auto& start : starts) answers.push_back(start->Answer());
  return answers;
}

struct FolderCase {
  const char* name;
  bool runtimeFolderUsable;
};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class SingleInstanceTest : public testing::TestWithParam<FolderCase> {
 protected:
  SingleInstanceTest() {
    fs::create_directory(folder_.File("run"));
    fs::create_directory(folder_.File("tmp"));
  }
  std::string RuntimeFolder() const {
    return folder_.File(GetParam().runtimeFolderUsable ? "run" : "missing");
  }
  std::string TmpFolder() const { return folder_.File("tmp"); }

  backup_test::TempFolder folder_;
};

TEST_P(SingleInstanceTest, OfTwoCopiesStartedTogetherExactlyOneRuns) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::unique_ptr<Start>> starts;
    const std::vector<std::string> answers = StartTogether(starts, 2, RuntimeFolder(), TmpFolder());
    EXPECT_THAT(answers, testing::UnorderedElementsAre("won", "refused"));
  }
}

TEST_P(SingleInstanceTest, ACopyThatWasKilledLetsTheNextOneRun) {
  std::vector<std::unique_ptr<Start>> first;
  ASSERT_EQ(StartTogether(first, 1, RuntimeFolder(), TmpFolder()), std::vector<std::string>{"won"});
  std::vector<std::unique_ptr<Start>> second;
  EXPECT_EQ(StartTogether(second, 1, RuntimeFolder(), TmpFolder()),
            std::vector<std::string>{"refused"});
  first.front()->Kill();
  std::vector<std::unique_ptr<Start>> third;
  EXPECT_EQ(StartTogether(third, 1, RuntimeFolder(), TmpFolder()), std::vector<std::string>{"won"});
}

INSTANTIATE_TEST_SUITE_P(Folders, SingleInstanceTest,
                         testing::Values(FolderCase{"RuntimeFolder", true},
                                         FolderCase{"MissingRuntimeFolder", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
