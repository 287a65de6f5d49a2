// The temporary file of a replacement: no one but its owner may read it before it has its
// mode.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

using platform::ReplaceFileContents;

void WriteBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(ReplaceFileContents(path, bytes));
}

std::optional<std::string> ReadBytes(const std::string& path) {
  platform::FileContents contents = platform::ReadRegularFile(path);
  if (contents.status != platform::FileReadStatus::kRead) return std::nullopt;
  return std::move(contents.bytes);
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

class TemporaryFiles : public ::testing::Test {
 protected:
  void SetUp() override { oldMask_ = umask(022); }
  void TearDown() override {
    recordingModes = false;
    umask(oldMask_);
  }

  std::string PathOf(const std::string& name) const { return folder_.File(name); }

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

}  // namespace
