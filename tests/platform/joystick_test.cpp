// Joystick buttons: ids and masks, and SDL virtual joysticks plugged, pressed and unplugged.
#include "platform/joystick.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "tests/support/virtual_joystick.h"

namespace {

using namespace platform;

TEST(JoystickIdTest, PutsTheVendorAboveTheProduct) {
  struct Case {
    std::uint16_t vendor;
    std::uint16_t product;
    std::uint32_t id;
  };
  const Case cases[] = {{0x0000, 0x0000, 0x00000000},
                        {0x0444, 0x22A5, 0x044422A5},
                        {0x046D, 0xC29B, 0x046DC29B},
                        {0x8001, 0x0002, 0x80010002},
                        {0xFFFF, 0xFFFF, 0xFFFFFFFF}};
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(JoystickId(c.vendor, c.product)), c.id)
        << std::hex << c.vendor << ":" << c.product;
  }
  EXPECT_LT(JoystickId(0x8001, 0x0002),
            0);  // stored as a negative int, as the settings file holds it
}

TEST(ButtonMaskTest, SetsOneBitPerPressedButtonUpToTheThirtySecond) {
  struct Case {
    std::vector<std::uint8_t> states;
    std::uint32_t mask;
  };
  std::vector<std::uint8_t> all32(32, 1);
  std::vector<std::uint8_t> past32(40, 0);
  past32[31] = 1;
  past32[32] = 1;
  past32[39] = 1;
  const Case cases[] = {
      {{}, 0},         {{0, 0, 0}, 0},      {{1, 0, 1}, 0x5},    {{0, 0, 1, 0, 0, 1}, 0x24},
      {{0, 255}, 0x2}, {all32, 0xFFFFFFFF}, {past32, 0x80000000}};
  for (const Case& c : cases)
    EXPECT_EQ(ButtonMask(c.states), c.mask) << "buttons " << c.states.size();
}

using test_support::VirtualJoystick;

struct Seen {
  unsigned index;
  JoyCaps caps;
};

// What a scan finds: every index whose caps read, in index order.
std::vector<Seen> Scan() {
  std::vector<Seen> seen;
  const unsigned count = JoyGetNumDevs();
  for (unsigned i = 0; i < count; ++i) {
    JoyCaps caps;
    if (JoyGetDevCaps(i, &caps) == JOYERR_NOERROR) seen.push_back({i, caps});
  }
  return seen;
}

std::optional<unsigned> IndexOf(std::uint16_t vendor, std::uint16_t product) {
  for (const Seen& s : Scan()) {
    if (s.caps.wMid == vendor && s.caps.wPid == product) return s.index;
  }
  return std::nullopt;
}

// The buttons at an index after a fresh count, or the error.
std::uint32_t ButtonsAt(unsigned index) {
  JoyGetNumDevs();
  JoyInfo info;
  info.wButtons = 0xDEADBEEF;
  const unsigned result = JoyGetPos(index, &info);
  EXPECT_EQ(result, JOYERR_NOERROR);
  return result == JOYERR_NOERROR ? info.wButtons : 0xDEADBEEF;
}

class JoystickTest : public testing::Test {
 protected:
  void SetUp() override {
    JoyGetNumDevs();  // starts the subsystem, which virtual joysticks need
    baseline_ = Scan().size();
  }
  std::size_t baseline_ = 0;  // joysticks of the machine itself, usually none
};

TEST_F(JoystickTest, ReportsTheIdsAndPressedButtonsOfAPluggedJoystick) {
  VirtualJoystick wheel(0x046D, 0xC29B, 16);
  const std::optional<unsigned> index = IndexOf(0x046D, 0xC29B);
  ASSERT_TRUE(index.has_value());
  EXPECT_EQ(Scan().size(), baseline_ + 1);
  EXPECT_EQ(ButtonsAt(*index), 0u);

  wheel.Press(2, true);
  wheel.Press(5, true);
  EXPECT_EQ(ButtonsAt(*index), 0x24u);
  wheel.Press(2, false);
  EXPECT_EQ(ButtonsAt(*index), 0x20u);
  wheel.Press(5, false);
  wheel.Press(15, true);
  EXPECT_EQ(ButtonsAt(*index), 0x8000u);
}

TEST_F(JoystickTest, ButtonsPastTheThirtySecondAreLeftOut) {
  VirtualJoystick board(0x1234, 0x0040, 40);
  const std::optional<unsigned> index = IndexOf(0x1234, 0x0040);
  ASSERT_TRUE(index.has_value());
  board.Press(31, true);
  board.Press(32, true);
  board.Press(39, true);
  EXPECT_EQ(ButtonsAt(*index), 0x80000000u);
}

TEST_F(JoystickTest, AnUnpluggedJoystickReadsAsAnErrorNotAsItsLastButtons) {
  auto pad = std::make_unique<VirtualJoystick>(0x0444, 0x1111, 8);
  const std::optional<unsigned> index = IndexOf(0x0444, 0x1111);
  ASSERT_TRUE(index.has_value());
  pad->Press(0, true);
  EXPECT_EQ(ButtonsAt(*index), 0x1u);

  pad->Unplug();
  JoyInfo info;
  EXPECT_EQ(JoyGetPos(*index, &info), JOYERR_UNPLUGGED);  // before the next count
  EXPECT_EQ(JoyGetNumDevs(), baseline_);
  EXPECT_EQ(JoyGetPos(*index, &info), JOYERR_PARMS);
  EXPECT_FALSE(IndexOf(0x0444, 0x1111).has_value());
}

// Between two counts an index keeps its device, whatever is unplugged meanwhile.
TEST_F(JoystickTest, IndexesKeepTheirDevicesUntilTheNextCount) {
  auto first = std::make_unique<VirtualJoystick>(0x0001, 0x0001, 4);
  VirtualJoystick second(0x0002, 0x0002, 4);
  const std::optional<unsigned> secondIndex = IndexOf(0x0002, 0x0002);
  ASSERT_TRUE(secondIndex.has_value());
  ASSERT_TRUE(IndexOf(0x0001, 0x0001).has_value());

  first->Unplug();
  JoyCaps caps;
  ASSERT_EQ(JoyGetDevCaps(*secondIndex, &caps), JOYERR_NOERROR);
  EXPECT_EQ(caps.wMid, 0x0002);

  second.Press(3, true);
  const std::optional<unsigned> movedIndex = IndexOf(0x0002, 0x0002);
  ASSERT_TRUE(movedIndex.has_value());
  EXPECT_EQ(*movedIndex, *secondIndex - 1);
  EXPECT_EQ(ButtonsAt(*movedIndex), 0x8u);
}

TEST_F(JoystickTest, TwoJoysticksWithTheSameIdsAreReadApart) {
  VirtualJoystick left(0x0444, 0x2222, 8);
  VirtualJoystick right(0x0444, 0x2222, 8);
  std::vector<unsigned> indexes;
  for (const Seen& s : Scan()) {
    if (s.caps.wMid == 0x0444 && s.caps.wPid == 0x2222) indexes.push_back(s.index);
  }
  ASSERT_EQ(indexes.size(), 2u);
  left.Press(1, true);
  right.Press(6, true);
  EXPECT_EQ(ButtonsAt(indexes[0]) | ButtonsAt(indexes[1]), 0x42u);
  EXPECT_NE(ButtonsAt(indexes[0]), ButtonsAt(indexes[1]));
}

TEST_F(JoystickTest, RefusesIndexesPastTheCountAndNullResults) {
  VirtualJoystick pad(0x0444, 0x3333, 2);
  const unsigned count = JoyGetNumDevs();
  ASSERT_GE(count, 1u);
  JoyCaps caps;
  JoyInfo info;
  EXPECT_EQ(JoyGetDevCaps(count, &caps), JOYERR_PARMS);
  EXPECT_EQ(JoyGetPos(count, &info), JOYERR_PARMS);
  EXPECT_EQ(JoyGetPos(99, &info), JOYERR_PARMS);
  EXPECT_EQ(JoyGetDevCaps(0, nullptr), JOYERR_PARMS);
  EXPECT_EQ(JoyGetPos(0, nullptr), JOYERR_PARMS);
}

// SDL would otherwise turn SIGINT and SIGTERM into events that nobody reads, and the program
// would no longer end on them. Runs in a fresh process so that the subsystem starts inside it.
TEST(JoystickStartTest, LeavesTheProcessSignalHandlersAlone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        JoyGetNumDevs();
        struct sigaction interrupt {};
        struct sigaction terminate {};
        sigaction(SIGINT, nullptr, &interrupt);
        sigaction(SIGTERM, nullptr, &terminate);
        std::exit((interrupt.sa_handler == SIG_DFL ? 0 : 1) +
                  (terminate.sa_handler == SIG_DFL ? 0 : 2));
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
