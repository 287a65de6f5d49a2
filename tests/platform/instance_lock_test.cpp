// The single-instance lock between real processes: of copies that take it at the same moment
// exactly one gets it, the kernel lets go of it when its holder dies, and a folder that will not
// do gives "unavailable" rather than a refusal. The lock file for another environment, and
// whether a path reaches the very file held.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::InstanceLock;
using platform::TakeInstanceLock;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "orvo-lock-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

// A forked process that takes the lock once it reads a byte from its start pipe, reports what
// it got, and holds on to it until it reads a byte from its hold pipe or is killed. Bytes rather
// than ends of file: children forked later hold copies of the pipes of those before them.
class LockingChild {
 public:
  explicit LockingChild(const std::string& folder) {
    std::signal(SIGPIPE, SIG_IGN);  // a child that died fails the test, not the whole binary
    int start[2], result[2], hold[2];
    if (pipe(start) != 0 || pipe(result) != 0 || pipe(hold) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      close(start[1]);
      close(result[0]);
      close(hold[1]);
      char byte;
      if (read(start[0], &byte, 1) != 1) _exit(2);
      const char got = static_cast<char>(TakeInstanceLock("orvo-test", folder));
      if (write(result[1], &got, 1) != 1) _exit(2);
      if (read(hold[0], &byte, 1) != 1) _exit(2);
      _exit(0);
    }
    close(start[0]);
    close(result[1]);
    close(hold[0]);
    start_ = start[1];
    result_ = result[0];
    hold_ = hold[1];
  }
  ~LockingChild() {
    Kill();
    close(start_);
    close(result_);
    close(hold_);
  }

  void Go() { Send(start_); }
  // What the child got; empty when it died first.
  std::optional<InstanceLock> Result() {
    char got;
    if (read(result_, &got, 1) != 1) return std::nullopt;
    return static_cast<InstanceLock>(got);
  }
  // Lets the child end on its own, or kills it; returns once it has gone.
  void End() {
    Send(hold_);
    Wait();
  }
  void Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL);
    Wait();
  }

 private:
  static void Send(int fd) {
    const char byte = 1;
    if (write(fd, &byte, 1) != 1) throw std::runtime_error("pipe write");
  }
  void Wait() {
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  pid_t pid_ = -1;
  int start_ = -1, result_ = -1, hold_ = -1;
};

TEST(InstanceLockTest, OfCopiesStartingTogetherExactlyOneTakesIt) {
  TempFolder folder;
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::unique_ptr<LockingChild>> children;
    for (int i = 0; i < 3; ++i) children.push_back(std::make_unique<LockingChild>(folder.Path()));
    for (auto& child : children) child->Go();
    int taken = 0, heldElsewhere = 0;
    for (auto& child : children) {
      const std::optional<InstanceLock> got = child->Result();
      ASSERT_TRUE(got.has_value());
      taken += *got == InstanceLock::kTaken;
      heldElsewhere += *got == InstanceLock::kHeldElsewhere;
    }
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(heldElsewhere, 2);
  }
}

TEST(InstanceLockTest, TheLockGoesWithItsHolderHoweverItEnds) {
  TempFolder folder;
  struct Case {
    const char* name;
    bool kill;
  };
  for (const Case& c : {Case{"ends", false}, Case{"is killed", true}}) {
    SCOPED_TRACE(c.name);
    LockingChild holder(folder.Path());
    holder.Go();
    ASSERT_EQ(holder.Result(), InstanceLock::kTaken);
    LockingChild late(folder.Path());
    late.Go();
    EXPECT_EQ(late.Result(), InstanceLock::kHeldElsewhere);
    if (c.kill) {
      holder.Kill();
    } else {
      holder.End();
    }
    LockingChild next(folder.Path());
    next.Go();
    const std::optional<InstanceLock> got = next.Result();
    EXPECT_EQ(got, InstanceLock::kTaken);
  }
}

TEST(InstanceLockTest, AFolderThatWillNotDoGivesUnavailable) {
  TempFolder folder;
  EXPECT_EQ(TakeInstanceLock("orvo-test", folder.Path() + "/missing"), InstanceLock::kUnavailable);
  const std::string file = folder.Path() + "/file";
  std::ofstream(file) << "x";
  EXPECT_EQ(TakeInstanceLock("orvo-test", file), InstanceLock::kUnavailable);
  // A link planted under the lock's name is not followed.
  const std::string planted = folder.Path() + "/orvo-planted-" + std::to_string(getuid()) + ".lock";
  fs::create_symlink(file, planted);
  EXPECT_EQ(TakeInstanceLock("orvo-planted", folder.Path()), InstanceLock::kUnavailable);
  // The process that holds it asks again.
  EXPECT_EQ(TakeInstanceLock("orvo-self", folder.Path()), InstanceLock::kTaken);
  EXPECT_EQ(TakeInstanceLock("orvo-self", folder.Path()), InstanceLock::kTaken);
}

TEST(InstanceLockTest, FolderIsTheRuntimeFolderWhenItWillDoElseAFallback) {
  TempFolder runtime, tmp;
  const std::string tmpPath = tmp.Path();
  const std::string file = runtime.Path() + "/file";
  std::ofstream(file) << "x";
  const std::string own = "/run/user/" + std::to_string(getuid());
  const std::string fallback = access(own.c_str(), W_OK | X_OK) == 0 ? own : tmpPath;
  const auto folderWith = [&](const char* xdg) {
    return platform::InstanceLockFolder([&](const char* name) -> const char* {
      return std::string(name) == "XDG_RUNTIME_DIR" ? xdg
             : std::string(name) == "TMPDIR"        ? tmpPath.c_str()
                                                    : nullptr;
    });
  };
  EXPECT_EQ(folderWith(runtime.Path().c_str()), runtime.Path());
  for (const char* value : {static_cast<const char*>(nullptr), "", "relative/folder",
                            "/no/such/folder", file.c_str()}) {
    EXPECT_EQ(folderWith(value), fallback) << (value ? value : "(unset)");
  }
}

TEST(InstanceLockTest, LockPathIsTheFileInTheFolderOfTheEnvironmentGiven) {
  TempFolder runtime;
  const std::string user = std::to_string(getuid());
  const std::string folder = runtime.Path();
  const auto environment = [&](const char* name) -> const char* {
    return std::string(name) == "XDG_RUNTIME_DIR" ? folder.c_str() : nullptr;
  };
  EXPECT_EQ(platform::InstanceLockPath("orvo-test", environment),
            folder + "/orvo-test-" + user + ".lock");
  EXPECT_EQ(platform::InstanceLockPath("", environment), "");
}

TEST(InstanceLockTest, AHeldLockIsKnownByItsFileNotByItsPath) {
  TempFolder folder;
  const std::string path = folder.Path() + "/orvo-held-" + std::to_string(getuid()) + ".lock";
  EXPECT_FALSE(platform::IsHeldInstanceLock(path));  // not there yet
  ASSERT_EQ(TakeInstanceLock("orvo-held", folder.Path()), InstanceLock::kTaken);
  EXPECT_TRUE(platform::IsHeldInstanceLock(path));
  const std::string alias = folder.Path() + "/alias";
  fs::create_symlink(folder.Path(), alias);
  EXPECT_TRUE(platform::IsHeldInstanceLock(alias + "/" + fs::path(path).filename().string()));
  std::ofstream(folder.Path() + "/other") << "x";
  EXPECT_FALSE(platform::IsHeldInstanceLock(folder.Path() + "/other"));
  // Removed and made again: another file under the same path.
  fs::remove(path);
  std::ofstream(path) << "";
  EXPECT_FALSE(platform::IsHeldInstanceLock(path));
}

}  // namespace
