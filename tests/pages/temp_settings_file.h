// A settings file of its own for each test, in a fresh folder that goes with the object.
#pragma once

#include <string>

#include "tests/support/temp_folder.h"

namespace page_test {

// A settings file in a fresh folder of its own, removed with the object.
class TempSettingsFile {
 public:
  explicit TempSettingsFile(const std::string& prefix)
      : folder_(prefix), path_(folder_.File("presets.ini")) {}

  const std::string& Path() const { return path_; }

 private:
  test_support::TempFolder folder_;
  std::string path_;
};

}  // namespace page_test
