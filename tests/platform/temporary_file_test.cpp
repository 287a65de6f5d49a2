// The temporary file of a replacement: no one but its owner may read it before it has its
// mode, and no other writer's clean-up removes it while it is held, also from another pid
// namespace (a container or a sandbox sharing the folder) where no process of ours is seen.
#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "child_process.h"
#include "file_bytes.h"
#include "platform/ini_file.h"
#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace {

// The modes that descriptors had just before each fchmod, while a test records them.
std::atomic<bool> recordingModes{false};
std::vector<mode_t> modesBeforeChmod;

}  // namespace

// This binary's fchmod comes before libc's for the calls of the platform library: it sees the
// mode that a file had from its creation up to the moment it was given its own.
extern "C" int fchmod(int fd, mode_t mode) noexcept {
  using Fchmod = int (*)(int, mode_t);
  static const Fchmod real = reinterpret_cast<Fchmod>(dlsym(RTLD_NEXT, "fchmod"));
  struct stat status {};
  if (recordingModes && fstat(fd, &status) == 0) modesBeforeChmod.push_back(status.st_mode & 07777);
  return real(fd, mode);
}

namespace {

using child_process::EndedProcess;
using child_process::InChild;
using child_process::NamespacesOfOurOwn;
using file_bytes::ReadBytes;
using platform::FileReplacement;
using platform::ReplaceFileContents;
using platform::WritePrivateProfileString;

void WriteBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(ReplaceFileContents(path, bytes));
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

// A process that opens a file and holds a whole-file write lock on it, as a writer holds its
// temporary file, until the object goes.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      close(ready[0]);
      close(release[1]);
      const int fd = open(path.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      const char locked = fd >= 0 && fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 'y' : 'n';
      [[maybe_unused]] const ssize_t n = write(ready[1], &locked, 1);
      char done = 0;
      [[maybe_unused]] const ssize_t m = read(release[0], &done, 1);  // until the end of the pipe
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char locked = 'n';
    locked_ = read(ready[0], &locked, 1) == 1 && locked == 'y';
    close(ready[0]);
    release_ = release[1];
  }
  ~LockHolder() {
    if (release_ >= 0) close(release_);
    if (child_ > 0) waitpid(child_, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool Locked() const { return locked_; }

 private:
  pid_t child_ = -1;
  int release_ = -1;
  bool locked_ = false;
};

// Runs body as the first process of a pid namespace of its own, where no process of the test
// is seen running. "skip: ..." when the system makes no such namespace.
std::string InPidNamespaceOfItsOwn(const std::function<std::string()>& body) {
  return InChild([&]() -> std::string {
    if (!NamespacesOfOurOwn(CLONE_NEWPID)) return "skip: " + std::string(std::strerror(errno));
    // Only the next child is in the new namespace.
    return InChild(body);
  });
}

class TemporaryFiles : public ::testing::Test {
 protected:
  void SetUp() override { oldMask_ = umask(022); }
  void TearDown() override {
    recordingModes = false;
    umask(oldMask_);
  }

  std::string PathOf(const std::string& name) const { return folder_.File(name); }

  // A write of the target from another pid namespace, which sees our temporary file's pid as
  // no process at all.
  void WriteFromAnotherPidNamespace(const std::string& target, const std::string& key) {
    const std::string report = InPidNamespaceOfItsOwn([&] {
      return WritePrivateProfileString("S", key, "theirs", target) ? "" : "their write failed";
    });
    if (report.starts_with("skip: ")) GTEST_SKIP() << "no pid namespace of our own: " << report;
    ASSERT_EQ(report, "");
  }

  test_support::TempFolder folder_{"temporary-file-test"};
  mode_t oldMask_ = 0;
};

// The temporary file has its owner's permissions only until it takes its final mode: a target
// that others may not read is never readable by them, not even for a moment, and a new one
// still ends with 0666 less the umask.
TEST_F(TemporaryFiles, NoOneElseMayReadATemporaryFileBeforeItHasItsMode) {
  struct Case {
    const char* name;
    std::optional<mode_t> targetMode;  // none: a new file
    mode_t finalMode;
  };
  const Case cases[] = {
      {"private.ini", 0600, 0600},
      {"group.ini", 0640, 0640},
      {"everyones.ini", 0644, 0644},
      {"new.ini", std::nullopt, 0644},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = PathOf(c.name);
    if (c.targetMode) {
      WriteBytes(file, "old");
      ASSERT_EQ(chmod(file.c_str(), *c.targetMode), 0);
    }
    modesBeforeChmod.clear();
    recordingModes = true;
    EXPECT_TRUE(ReplaceFileContents(file, "new"));
    recordingModes = false;
    EXPECT_EQ(modesBeforeChmod, std::vector<mode_t>{0600});
    EXPECT_EQ(ModeOf(file), c.finalMode);
    EXPECT_EQ(ReadBytes(file), "new");
  }
}

// A process elsewhere (its pid here names no process, as one in another pid namespace looks)
// holds its temporary file: the next write leaves it alone, and still removes a leftover of
// the same process that no one holds.
TEST_F(TemporaryFiles, TemporaryFileThatAnotherProcessHoldsSurvivesTheNextWrite) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, "[S]\nk=1\n");
  const std::string ended = std::to_string(EndedProcess());
  const std::string held = PathOf(".presets.ini.tmp." + ended + ".0");
  const std::string leftover = PathOf(".presets.ini.tmp." + ended + ".1");
  WriteBytes(held, "being written");
  WriteBytes(leftover, "left");
  const LockHolder holder(held);
  ASSERT_TRUE(holder.Locked());

  ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", file));

  EXPECT_EQ(ReadBytes(held), "being written");
  EXPECT_EQ(ReadBytes(leftover), std::nullopt);
  EXPECT_EQ(ReadBytes(file), "[S]\nk=2\n");
}

// A write from a container or a sandbox sharing the folder, between our Write and Commit,
// leaves our temporary file alone, and our commit then replaces the target.
TEST_F(TemporaryFiles, ReplacementCommitsAfterAWriteFromAnotherPidNamespace) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, "[S]\nk=1\n");
  const std::unique_ptr<FileReplacement> ours = FileReplacement::Begin(file);
  ASSERT_TRUE(ours && ours->Write("[S]\nk=ours\n"));

  WriteFromAnotherPidNamespace(file, "k");
  if (IsSkipped()) return;

  EXPECT_EQ(ReadBytes(file), "[S]\nk=theirs\n");
  EXPECT_TRUE(ours->Commit());
  EXPECT_EQ(ReadBytes(file), "[S]\nk=ours\n");
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"presets.ini"});
}

// A staged file is rewritten in place key by key, each time through a descriptor of its own
// that is then closed; it stays held for the whole staging all the same.
TEST_F(TemporaryFiles, StagedFileSurvivesWritesFromAnotherPidNamespaceAcrossItsRewrites) {
  const std::string file = PathOf("presets.ini");
  WriteBytes(file, "[S]\nk=1\n");
  const std::unique_ptr<FileReplacement> staged = FileReplacement::Begin(file);
  ASSERT_TRUE(staged && staged->Write("[S]\n"));
  const std::string& path = staged->TemporaryPath();

  ASSERT_TRUE(WritePrivateProfileString("S", "a", "1", path));
  WriteFromAnotherPidNamespace(file, "x");
  if (IsSkipped()) return;
  ASSERT_TRUE(WritePrivateProfileString("S", "b", "2", path));
  WriteFromAnotherPidNamespace(file, "y");

  EXPECT_EQ(ReadBytes(path), "[S]\na=1\nb=2\n");
  EXPECT_TRUE(staged->Commit());
  EXPECT_EQ(ReadBytes(file), "[S]\na=1\nb=2\n");
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"presets.ini"});
}

}  // namespace
