// Parsing of the simulation's ORVO_SIM_* variables and the live values they give.
#include "hid/sim/sim_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "tests/support/temp_folder.h"

namespace orvo::hid::sim {
namespace {

std::map<std::string, std::string> environment;

const char* FakeEnv(const char* name) {
  auto it = environment.find(name);
  return it == environment.end() ? nullptr : it->second.c_str();
}

SimSettings Read(std::map<std::string, std::string> variables, std::vector<std::string>& warnings) {
  environment = std::move(variables);
  return ReadSimSettings(&FakeEnv, warnings);
}

TEST(SimSettingsTest, NothingSetPlugsTheControllerAfterHalfASecondAndSweeps) {
  std::vector<std::string> warnings;
  const test_support::TempFolder home("sim-settings-test");
  const SimSettings settings = Read({{"HOME", home.Path().string()}}, warnings);
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(settings.controllerPlugs.size(), 1u);
  EXPECT_DOUBLE_EQ(settings.controllerPlugs[0].start, 0.5);
  EXPECT_TRUE(std::isinf(settings.controllerPlugs[0].end));
  EXPECT_TRUE(settings.displayPlugs.empty());
  EXPECT_EQ(settings.valueMode, ValueMode::kSweep);
  EXPECT_EQ(settings.reportRate, 250);
  EXPECT_EQ(settings.logPath, "");
  EXPECT_EQ(settings.statePath, home.File(".local/state/orvo-pedals/sim-controller.state"));

  // The throttle goes up, then down again; brake and clutch rest.
  const double period = settings.sweepSeconds;
  EXPECT_EQ(ValuesAt(settings, 0)[0], 0);
  EXPECT_EQ(ValuesAt(settings, period / 4)[0], 32768);
  EXPECT_EQ(ValuesAt(settings, period / 2)[0], 65535);
  EXPECT_EQ(ValuesAt(settings, period * 3 / 4)[0], 32768);
  EXPECT_EQ(ValuesAt(settings, period / 4)[1], 0);
}

TEST(SimSettingsTest, PlugTimelines) {
  struct Case {
    const char* text;
    std::vector<PlugInterval> plugs;
  };
  const double forever = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"none", {}},
      {"0", {{0, forever}}},
      {"1.5-", {{1.5, forever}}},
      {"0-2, 3-4.5 ,6", {{0, 2}, {3, 4.5}, {6, forever}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<std::string> warnings;
    const SimSettings settings = Read({{"ORVO_SIM_DISPLAY", c.text}}, warnings);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(settings.displayPlugs.size(), c.plugs.size());
    for (std::size_t i = 0; i < c.plugs.size(); ++i) {
      EXPECT_DOUBLE_EQ(settings.displayPlugs[i].start, c.plugs[i].start);
      EXPECT_EQ(settings.displayPlugs[i].end, c.plugs[i].end);
    }
  }
}

TEST(SimSettingsTest, ValuesThatDoNotParseKeepTheDefaultAndSaySo) {
  const std::pair<const char*, const char*> cases[] = {
      {"ORVO_SIM_CONTROLLER", "soon"},
      {"ORVO_SIM_CONTROLLER", "2-1"},
      {"ORVO_SIM_CONTROLLER", "0-3,2"},
      {"ORVO_SIM_CONTROLLER", "-1"},
      {"ORVO_SIM_RATE", "0"},
      {"ORVO_SIM_RATE", "1001"},
      {"ORVO_SIM_RATE", "250Hz"},
      {"ORVO_SIM_VALUES", "wobble"},
      {"ORVO_SIM_VALUES", "still:70000"},
      {"ORVO_SIM_VALUES", "still:1,2,3,4"},
      {"ORVO_SIM_VALUES", "sweep:0"},
      {"ORVO_SIM_VALUES", "table:/no/such/file"},
  };
  const SimSettings defaults;
  for (const auto& [name, value] : cases) {
    SCOPED_TRACE(std::string(name) + "=" + value);
    std::vector<std::string> warnings;
    const SimSettings settings = Read({{name, value}}, warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(name), std::string::npos);
    EXPECT_EQ(settings.controllerPlugs.size(), 1u);
    EXPECT_DOUBLE_EQ(settings.controllerPlugs[0].start, 0.5);
    EXPECT_EQ(settings.reportRate, defaults.reportRate);
    EXPECT_EQ(settings.valueMode, ValueMode::kSweep);
  }
}

TEST(SimSettingsTest, StillValuesTableAndRate) {
  std::vector<std::string> warnings;
  const test_support::TempFolder folder("sim-settings-test");
  const std::string log = folder.File("x.log");
  SimSettings settings = Read({{"ORVO_SIM_VALUES", "still:100,200"},
                               {"ORVO_SIM_RATE", "1000"},
                               {"ORVO_SIM_STATE", ""},
                               {"ORVO_SIM_LOG", log}},
                              warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(ValuesAt(settings, 3), (PedalValues{100, 200, 0}));
  EXPECT_EQ(settings.reportRate, 1000);
  EXPECT_EQ(settings.statePath, "") << "empty: no state file";
  EXPECT_EQ(settings.logPath, log);

  const std::string table = folder.File("table.txt");
  {
    std::FILE* file = std::fopen(table.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(
        "# seconds throttle brake clutch\n0 0 0 0\n\n0.5, 65535, 1000, 2 # full throttle\n1.5 10 "
        "20 30\n",
        file);
    std::fclose(file);
  }
  settings = Read({{"ORVO_SIM_VALUES", "table:" + table}}, warnings);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  EXPECT_EQ(ValuesAt(settings, 0.2), (PedalValues{0, 0, 0}));
  EXPECT_EQ(ValuesAt(settings, 0.5), (PedalValues{65535, 1000, 2}));
  EXPECT_EQ(ValuesAt(settings, 99), (PedalValues{10, 20, 30})) << "the last row holds";

  std::FILE* file = std::fopen(table.c_str(), "w");
  std::fputs("1 0 0 0\n0.5 1 1 1\n", file);
  std::fclose(file);
  Read({{"ORVO_SIM_VALUES", "table:" + table}}, warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("line 2"), std::string::npos) << warnings[0];
}

}  // namespace
}  // namespace orvo::hid::sim
