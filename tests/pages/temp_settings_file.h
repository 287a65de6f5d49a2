// A settings file of its own for each test, in a fresh folder that goes with the object.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace page_test {

// A settings file in a fresh folder of its own, removed with the object.
class TempSettingsFile {
 public:
  explicit TempSettingsFile(const std::string& prefix) {
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : test) {
      if (c == '/') c = '_';  // parameterised tests name their cases with a slash
    }
    dir_ = std::filesystem::temp_directory_path() /
           (prefix + "_" + std::to_string(::getpid()) + "_" + test);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "presets.ini").string();
  }
  ~TempSettingsFile() { std::filesystem::remove_all(dir_); }
  TempSettingsFile(const TempSettingsFile&) = delete;
  TempSettingsFile& operator=(const TempSettingsFile&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

}  // namespace page_test
