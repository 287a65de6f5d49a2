// Whole-file reads: what may be read at all, the size limit, and that nothing waits on a FIFO;
// replacements of files that are not regular. The INI tests cover the replacement in depth.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/whole_file.h"

namespace {

using platform::FileReadStatus;
using platform::ReadRegularFile;
using platform::ReplaceFileContents;

class WholeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/whole_file_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    const std::string command = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
};

TEST_F(WholeFile, ReadsRegularFilesOnlyWithinTheLimit) {
  const std::string file = PathOf("file.txt");
  std::ofstream(file, std::ios::binary) << "12345";
  ASSERT_EQ(symlink(file.c_str(), PathOf("link").c_str()), 0);
  ASSERT_EQ(symlink(PathOf("nowhere").c_str(), PathOf("dangling").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", PathOf("device").c_str()), 0);
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0644), 0);
  ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);

  struct Case {
    const char* name;
    std::size_t limit;
    FileReadStatus status;
  };
  const Case cases[] = {
      {"file.txt", platform::kNoFileSizeLimit, FileReadStatus::kRead},
      {"file.txt", 5, FileReadStatus::kRead},
      {"file.txt", 4, FileReadStatus::kTooLarge},
      {"link", 5, FileReadStatus::kRead},
      {"missing", 5, FileReadStatus::kMissing},
      {"dangling", 5, FileReadStatus::kMissing},
      {"device", 5, FileReadStatus::kNotRegular},
      {"fifo", 5, FileReadStatus::kNotRegular},
      {"folder", 5, FileReadStatus::kNotRegular},
      {"file.txt/below", 5, FileReadStatus::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
    const platform::FileContents contents = ReadRegularFile(PathOf(c.name), c.limit);
    EXPECT_EQ(contents.status, c.status);
    EXPECT_EQ(contents.bytes, c.status == FileReadStatus::kRead ? "12345" : "");
  }
}

TEST_F(WholeFile, ReplacesNothingButRegularFiles) {
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/null", PathOf("device").c_str()), 0);
  ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);
  for (const char* name : {"fifo", "device", "folder"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(ReplaceFileContents(PathOf(name), "bytes"));
  }
  struct stat status {};
  ASSERT_EQ(lstat(PathOf("fifo").c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
  ASSERT_EQ(lstat(PathOf("device").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
}

}  // namespace
