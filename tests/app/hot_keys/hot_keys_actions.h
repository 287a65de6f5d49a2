// HotKeyPort that record what the hot keys did, for the hot-key tests.
#pragma once

#include <string>
#include <vector>

#include "app/hot_keys/hot_keys.h"

class RecordingActions : public app::HotKeyPort {
 public:
  bool brakePresent = false;
  int currentPreset = 0;
  std::vector<std::string> calls;

  bool BrakePresent() const override { return brakePresent; }
  void BrakeForceUp() override { calls.push_back("up"); }
  void BrakeForceDown() override { calls.push_back("down"); }
  int CurrentPreset() const override { return currentPreset; }
  void SelectPreset(int preset) override {
    calls.push_back("preset " + std::to_string(preset));
    currentPreset = preset;
  }
};
