// Settings-file helpers: number text as written and read, the 63-character cut, key order
// of a fresh file, and independence from the process locale.
#include "platform/profile_settings.h"

#include <sys/stat.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "tests/support/temp_folder.h"

namespace {

class ProfileSettings : public ::testing::Test {
 protected:
  void WriteFile(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }

  std::string FileText() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string Text(const std::string& section, const std::string& key) const {
    return platform::GetPrivateProfileString(section, key, "<missing>", 256, file_);
  }

  test_support::TempFolder folder_{"profile-settings"};
  std::string dir_ = folder_.Path().string();
  std::string file_ = dir_ + "/presets.ini";
};

TEST_F(ProfileSettings, ReadProfileFloatConvertsLikeStrtodAndDefaultsOnlyOnEmptyText) {
  const std::string longText = "5." + std::string(61, '0') + "e2";  // "e2" is past 63
  WriteFile(
      "[PRESET_0]\r\n"
      "band_50=\r\n"
      "band_60=abc\r\n"
      "band_70=97.5\r\n"
      "lead=   -3.25xyz\r\n"
      "exponent=1e2\r\n"
      "dot=.5\r\n"
      "plus=+7\r\n"
      "hexadecimal=0x10\r\n"
      "quoted=\" 42.5 \"\r\n"
      "comma=97,5\r\n"
      "long=" +
      longText + "\r\n");
  struct Case {
    const char* key;
    float defaultValue;
    float expected;
  };
  const Case cases[] = {
      {"band_50", 50.0f, 50.0f},  // empty text: the default
      {"band_60", 60.0f, 0.0f},   // no number: 0.0, not the default
      {"band_70", 70.0f, 97.5f}, {"lead", 1.0f, -3.25f}, {"exponent", 1.0f, 100.0f},
      {"dot", 1.0f, 0.5f},       {"plus", 1.0f, 7.0f},   {"hexadecimal", 1.0f, 16.0f},
      {"quoted", 1.0f, 42.5f},   {"comma", 1.0f, 97.0f}, {"long", 1.0f, 5.0f},
      {"band_80", 80.0f, 80.0f},  // missing key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(platform::ReadProfileFloat("preset_0", c.key, c.defaultValue, file_), c.expected);
  }
  EXPECT_EQ(platform::ReadProfileFloat("PRESET_0", "band_70", 70.0f, dir_ + "/missing.ini"), 70.0f);
}

TEST_F(ProfileSettings, WritesNumbersAsPrintfDoesInTheCLocale) {
  const std::pair<float, const char*> floats[] = {
      {99.5f, "99.5"}, {0.0f, "0.0"},    {100.0f, "100.0"}, {97.5f, "97.5"},   {-1.0f, "-1.0"},
      {0.25f, "0.2"},  {-0.25f, "-0.2"}, {0.15f, "0.2"},    {12.345f, "12.3"},
  };
  for (const auto& [value, text] : floats) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(platform::WriteProfileFloat("PRESET_0", "band_50", value, file_));
    EXPECT_EQ(Text("PRESET_0", "band_50"), text);
  }
  const std::pair<int, const char*> ints[] = {
      {-1, "-1"}, {0, "0"}, {1000, "1000"}, {INT_MIN, "-2147483648"}, {INT_MAX, "2147483647"},
  };
  for (const auto& [value, text] : ints) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(platform::WriteProfileInt("MONITOR", "x", value, file_));
    EXPECT_EQ(Text("MONITOR", "x"), text);
  }
}

TEST_F(ProfileSettings, EveryHalfStepReadsBackExactly) {
  for (int halfSteps = 0; halfSteps <= 200; ++halfSteps) {
    const float value = static_cast<float>(halfSteps) / 2.0f;
    ASSERT_TRUE(platform::WriteProfileFloat("PRESET_1", "band_90", value, file_));
    ASSERT_EQ(platform::ReadProfileFloat("PRESET_1", "band_90", -5.0f, file_), value);
  }
}

TEST_F(ProfileSettings, FreshFileListsPresetKeysInTheOrderWritten) {
  std::vector<std::string> keys = {"dz_0", "dz_1"};
  const int bandInputs[] = {0,  10, 20, 30, 40, 50, 60, 70, 80, 90,
                            91, 92, 93, 94, 95, 96, 97, 98, 99, 100};
  for (const int input : bandInputs) keys.push_back("band_" + std::to_string(input));
  keys.push_back("axis_cnf");
  keys.push_back("axis_mode");

  std::string expected;
  for (int preset = 0; preset < 2; ++preset) {
    const std::string section = "PRESET_" + std::to_string(preset);
    expected += "[" + section + "]\r\n";
    for (const std::string& key : keys) {
      ASSERT_TRUE(platform::WriteProfileInt(section, key, preset, file_));
      expected += key + "=" + std::to_string(preset) + "\r\n";
    }
  }
  EXPECT_EQ(FileText(), expected);

  // Writing the section again changes values only.
  for (const std::string& key : keys)
    ASSERT_TRUE(platform::WriteProfileInt("PRESET_0", key, 7, file_));
  const std::string firstSection = "[PRESET_0]\r\n";
  std::string rewritten = firstSection;
  for (const std::string& key : keys) rewritten += key + "=7\r\n";
  EXPECT_EQ(FileText().substr(0, rewritten.size()), rewritten);
  EXPECT_EQ(FileText().size(), expected.size());
}

TEST_F(ProfileSettings, FailedWriteIsReturnedAndToldToTheHandlerWithItsReason) {
  WriteFile("[CNF]\r\npreset=0\r\n");
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  const std::string unreachable = dir_ + "/no/such/folder/presets.ini";
  std::vector<std::pair<std::string, platform::WriteFailure>> told;
  const auto record = [&told](const std::string& file, const platform::WriteError& error) {
    told.emplace_back(file, error.failure);
  };
  ASSERT_FALSE(platform::SetProfileWriteFailureHandler(record));

  EXPECT_FALSE(platform::WriteProfileInt("CNF", "preset", 1, unreachable));
  EXPECT_FALSE(platform::WriteProfileFloat("PRESET_0", "band_0", 1.5f, file_));
  // Nothing was lost: the frozen file already holds the value, and a writable one takes it.
  EXPECT_TRUE(platform::WriteProfileInt("CNF", "preset", 0, file_));
  EXPECT_TRUE(platform::WriteProfileFloat("PRESET_0", "band_0", 1.5f, dir_ + "/other.ini"));
  EXPECT_EQ(told, (std::vector<std::pair<std::string, platform::WriteFailure>>{
                      {unreachable, platform::WriteFailure::kOther},
                      {file_, platform::WriteFailure::kReadOnly}}));
  EXPECT_EQ(FileText(), "[CNF]\r\npreset=0\r\n");

  // Once removed, a failure is only returned.
  EXPECT_TRUE(platform::SetProfileWriteFailureHandler(nullptr));
  EXPECT_FALSE(platform::WriteProfileInt("CNF", "preset", 2, file_));
  EXPECT_EQ(told.size(), 2u);
}

// Switches the whole process to a locale whose decimal separator is a comma, and back.
// When no such locale is installed it builds de_DE.UTF-8 into the given folder.
class CommaLocale {
 public:
  explicit CommaLocale(const std::string& scratch) : saved_(std::setlocale(LC_ALL, nullptr)) {
    if (const char* locPath = std::getenv("LOCPATH")) savedLocPath_ = locPath;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "es_ES.UTF-8"}) {
      if (TrySet(name)) return;
    }
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + scratch + "/de_DE.UTF-8' >/dev/null 2>&1";
    // localedef may warn (non-zero status) and still have built the locale.
    [[maybe_unused]] const int status = std::system(command.c_str());
    setenv("LOCPATH", scratch.c_str(), 1);
    TrySet("de_DE.UTF-8");
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, saved_.c_str());
    if (savedLocPath_) {
      setenv("LOCPATH", savedLocPath_->c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
  }
  bool active() const { return active_; }

 private:
  bool TrySet(const char* name) {
    active_ = std::setlocale(LC_ALL, name) != nullptr &&
              std::string(std::localeconv()->decimal_point) == ",";
    return active_;
  }

  std::string saved_;
  std::optional<std::string> savedLocPath_;
  bool active_ = false;
};

TEST_F(ProfileSettings, FloatTextIgnoresProcessLocale) {
  const CommaLocale locale(dir_);
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma can be had here";
  char printed[16];
  std::snprintf(printed, sizeof printed, "%.1f", 97.5);
  ASSERT_STREQ(printed, "97,5");  // the locale is in force for the C library

  ASSERT_TRUE(platform::WriteProfileFloat("PRESET_2", "band_97", 97.5f, file_));
  ASSERT_TRUE(platform::WriteProfileInt("MONITOR", "x", 1234567, file_));
  EXPECT_EQ(Text("PRESET_2", "band_97"), "97.5");
  EXPECT_EQ(Text("MONITOR", "x"), "1234567");
  EXPECT_EQ(platform::ReadProfileFloat("PRESET_2", "band_97", 0.0f, file_), 97.5f);
  EXPECT_EQ(platform::GetPrivateProfileInt("MONITOR", "x", 0, file_), 1234567);
}

}  // namespace
