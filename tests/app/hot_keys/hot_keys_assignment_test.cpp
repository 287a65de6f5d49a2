// The five assignments: [JOY] keys, button captions and the one-slot-per-pair rule.
#include "app/hot_keys/button_assignment.h"
#include "tests/support/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace app;

namespace {

using testing::ElementsAre;

class JoyKeysTest : public testing::Test {
 protected:
  std::string FileText() const {
    std::ifstream in(file_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  test_support::TempFolder folder_{"orvo-hotkeys"};
  std::string file_ = folder_.File("presets.ini");
};

TEST_F(JoyKeysTest, MissingFileReadsAsNothingAssigned) {
  EXPECT_THAT(ReadButtonAssignments(file_),
              ElementsAre(ButtonAssignment{}, ButtonAssignment{}, ButtonAssignment{},
                          ButtonAssignment{}, ButtonAssignment{}));
}

TEST_F(JoyKeysTest, WritesTheTenKeysInOrderAndReadsThemBack) {
  const ButtonAssignments written{{{kKeyboardDevice, 'U'},
                                   {0x0444B1A5, 31},
                                   {kKeyboardDevice, 0x70},
                                   {static_cast<int>(0x80010002u), 0},
                                   {kUnassignedDevice, 0}}};
  WriteButtonAssignments(written, file_);
  EXPECT_EQ(FileText(),
            "[JOY]\r\nbrake_inc_joy=-1\r\nbrake_inc_but=85\r\nbrake_dec_joy=71610789\r\n"
            "brake_dec_but=31\r\nthrottle_A_joy=-1\r\nthrottle_A_but=112\r\n"
            "throttle_B_joy=-2147418110\r\nthrottle_B_but=0\r\nthrottle_C_joy=0\r\n"
            "throttle_C_but=0\r\n");
  EXPECT_EQ(ReadButtonAssignments(file_), written);
}

TEST(AssignmentCaptionTest, ShowsDeviceAndButton) {
  struct Case {
    ButtonAssignment assignment;
    const char* caption;
  };
  const Case cases[] = {
      {{kUnassignedDevice, 0}, "J(----) BT(--)"},
      {{kUnassignedDevice, 7}, "J(----) BT(--)"},
      {{kKeyboardDevice, 65}, "KEYB BT(65)"},
      {{0x0444B1A5, 3}, "J(0444B1A5) BT(3)"},
      {{0x00010002, 31}, "J(00010002) BT(31)"},
      {{static_cast<int>(0xFFFE0001u), 0}, "J(FFFE0001) BT(0)"},
  };
  for (const Case& c : cases) EXPECT_EQ(AssignmentCaption(c.assignment), c.caption);
}

TEST(ClearDuplicateAssignmentTest, UnassignsOnlyTheFirstSlotHoldingThePair) {
  const ButtonAssignment pair{0x0444B1A5, 3};
  ButtonAssignments assignments{{{kKeyboardDevice, 3}, pair, {0x0444B1A5, 4}, pair, {}}};
  ClearDuplicateAssignment(assignments, pair);
  EXPECT_THAT(assignments, ElementsAre(ButtonAssignment{kKeyboardDevice, 3}, ButtonAssignment{},
                                       ButtonAssignment{0x0444B1A5, 4}, pair, ButtonAssignment{}));
  ClearDuplicateAssignment(assignments, {0x12345678, 0});
  EXPECT_EQ(assignments[3], pair);
}

}  // namespace
