// Why a write of a file failed, in the terms the program tells the user: read-only, another
// user's, a folder that may not be written, a full disk, not a file at all. The file stays as
// it was in every case.
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "child_process.h"
#include "file_bytes.h"
#include "platform/ini_file.h"
#include "platform/whole_file.h"
#include "tests/support/temp_folder.h"

namespace {

using child_process::InChild;
using child_process::NamespacesOfOurOwn;
using file_bytes::ReadBytes;
using platform::LastWriteError;
using platform::WriteFailure;
using platform::WritePrivateProfileString;

constexpr char kBefore[] = "[S]\r\nk=1\r\n";
constexpr uid_t kNobody = 65534;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const char* NameOf(WriteFailure failure) {
  switch (failure) {
    case WriteFailure::kNone: return "none";
    case WriteFailure::kReadOnly: return "read-only";
    case WriteFailure::kNotOwner: return "not owner";
    case WriteFailure::kFolderNotWritable: return "folder not writable";
    case WriteFailure::kDiskFull: return "disk full";
    case WriteFailure::kNotRegularFile: return "not a regular file";
    case WriteFailure::kOther: return "other";
  }
  return "?";
}

// One write that must fail for a given reason and leave the file as it was.
struct FailedWrite {
  const char* name;
  std::string path;
  WriteFailure failure;
};

// Empty when the write failed as expected; otherwise what went wrong, for the report.
std::string CheckFailedWrite(const FailedWrite& c) {
  const std::optional<std::string> before = ReadBytes(c.path);
  if (WritePrivateProfileString("S", "k", "2", c.path)) return std::string(c.name) + ": written";
  const platform::WriteError error = LastWriteError();
  if (error.failure != c.failure) {
    return std::string(c.name) + ": " + NameOf(error.failure) + " instead of " + NameOf(c.failure);
  }
  if (error.error == 0) return std::string(c.name) + ": no errno";
  if (ReadBytes(c.path) != before) return std::string(c.name) + ": file changed";
  return "";
}

class WriteFailureTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return folder_.File(name); }

  test_support::TempFolder folder_{"write-failure-test"};
};

TEST_F(WriteFailureTest, SaysWhyAFileOfOurOwnWasNotWritten) {
  WriteBytes(PathOf("frozen.ini"), kBefore);
  ASSERT_EQ(chmod(PathOf("frozen.ini").c_str(), 0444), 0);
  ASSERT_EQ(symlink(PathOf("frozen.ini").c_str(), PathOf("link-to-frozen.ini").c_str()), 0);
  ASSERT_EQ(mkdir(PathOf("folder.ini").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(PathOf("fifo.ini").c_str(), 0644), 0);
  ASSERT_EQ(symlink(PathOf("nowhere.ini").c_str(), PathOf("dangling.ini").c_str()), 0);

  const FailedWrite cases[] = {
      {"read-only file", PathOf("frozen.ini"), WriteFailure::kReadOnly},
      {"read-only file through a link", PathOf("link-to-frozen.ini"), WriteFailure::kReadOnly},
      {"folder", PathOf("folder.ini"), WriteFailure::kNotRegularFile},
      {"fifo", PathOf("fifo.ini"), WriteFailure::kNotRegularFile},
      {"link to nothing", PathOf("dangling.ini"), WriteFailure::kNotRegularFile},
      {"missing folder", PathOf("no/such/folder.ini"), WriteFailure::kOther},
  };
  for (const FailedWrite& c : cases) EXPECT_EQ(CheckFailedWrite(c), "");

  EXPECT_FALSE(WritePrivateProfileString("S", "k", "two\nlines", PathOf("new.ini")));
  EXPECT_EQ(LastWriteError().failure, WriteFailure::kOther);

  // A success clears what the last failure left.
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "2", PathOf("new.ini")));
  EXPECT_EQ(LastWriteError().failure, WriteFailure::kNone);
  EXPECT_EQ(LastWriteError().error, 0);
  // So does a write that finds the key as it would write it, also in a frozen file.
  ASSERT_FALSE(WritePrivateProfileString("S", "k", "2", PathOf("frozen.ini")));
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "1", PathOf("frozen.ini")));
  EXPECT_EQ(LastWriteError().failure, WriteFailure::kNone);
}

// A settings file left by a start with sudo belongs to root: another user may not write it,
// nor make anything in a folder of root's. Root passes every permission check, so a child
// process that runs as nobody makes the attempts.
TEST_F(WriteFailureTest, SaysWhyAnotherUsersFileOrFolderWasNotWritten) {
  if (getuid() != 0) GTEST_SKIP() << "needs root, to make files that another user may not write";
  ASSERT_EQ(chmod(folder_.Path().c_str(), 0755), 0);
  ASSERT_EQ(mkdir(PathOf("open").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(PathOf("closed").c_str(), 0755), 0);
  const std::string roots = PathOf("open/presets.ini");
  const std::string secret = PathOf("open/secret.ini");
  const std::string shared = PathOf("closed/presets.ini");
  for (const auto& [path, mode] : {std::pair{roots, 0644}, {secret, 0600}, {shared, 0666}}) {
    WriteBytes(path, kBefore);
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
  }

  const FailedWrite cases[] = {
      {"root's file", roots, WriteFailure::kNotOwner},
      {"root's unreadable file", secret, WriteFailure::kNotOwner},
      {"writable file in root's folder", shared, WriteFailure::kFolderNotWritable},
      {"new file in root's folder", PathOf("closed/new.ini"), WriteFailure::kFolderNotWritable},
  };
  EXPECT_EQ(InChild([&] {
              if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                return std::string("cannot become nobody");
              }
              std::string failures;
              for (const FailedWrite& c : cases) failures += CheckFailedWrite(c);
              return failures;
            }),
            "");
  EXPECT_EQ(ReadBytes(shared), kBefore);
  EXPECT_FALSE(std::ifstream(PathOf("closed/new.ini")).good());
}

// A full disk, made as a small file system of the test's own in a mount namespace of its own.
TEST_F(WriteFailureTest, SaysThatTheDiskIsFull) {
  const std::string disk = PathOf("disk");
  ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
  const std::string file = disk + "/presets.ini";
  const std::string report = InChild([&]() -> std::string {
    if (!NamespacesOfOurOwn(CLONE_NEWNS) ||
        mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
      return "skip: " + std::string(std::strerror(errno));
    }
    WriteBytes(file, kBefore);
    // Fill the rest of the disk.
    const int fill = open((disk + "/fill").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string block(4096, 'x');
    while (write(fill, block.data(), block.size()) > 0) {
    }
    close(fill);
    std::string failure =
        CheckFailedWrite({"full disk", file, WriteFailure::kDiskFull}) +
        CheckFailedWrite({"full disk, new file", disk + "/new.ini", WriteFailure::kDiskFull});
    if (ReadBytes(file) != kBefore) failure += "old file changed";
    // Only the old file and the filler: no temporary file is left behind.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(disk)) {
      (void)entry;
      ++entries;
    }
    if (entries != 2) failure += std::to_string(entries) + " entries on the disk";
    return failure;
  });
  if (report.starts_with("skip: ")) GTEST_SKIP() << "no file system of our own: " << report;
  EXPECT_EQ(report, "");
}

}  // namespace
