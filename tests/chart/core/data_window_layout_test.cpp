// Data window columns, size and placement from measured text boxes.
#include <gtest/gtest.h>

#include <vector>

#include "chart/core/data_window_layout.h"

namespace chart {
namespace {

constexpr Point kBorder{1, 1};
const IntRect kClient{0, 0, 300, 200};

DataWndRowSizes Row(SizeF name, SizeF nameX = {}, SizeF textX = {}, SizeF nameY = {},
                    SizeF textY = {}) {
  return {name, nameX, textX, nameY, textY};
}

TEST(DataWndLayout, OneLegendRowIsIndentNameAndSpacingWideInsideTheTopRightCorner) {
  const DataWndLayout layout = LayoutDataWnd({Row({40.4f, 12.2f})}, false, 5.0f, kBorder);
  // ceil(26 + 40.4 + 3) = 70 and ceil(3 + 12.2) = 16, plus a border on each side.
  EXPECT_EQ(layout.content, (IntRect{0, 0, 72, 18}));
  EXPECT_FLOAT_EQ(layout.columns[kDataWndName].x, 26.0f);
  EXPECT_FLOAT_EQ(layout.row.height, 12.2f);
  EXPECT_EQ(PlaceLegendWindow(layout.content, kClient), (IntRect{222, 6, 294, 24}));
}

TEST(DataWndLayout, RowsStackAndTheFirstOfTheWidestNamesGivesTheRowHeight) {
  const DataWndLayout layout = LayoutDataWnd(
      {Row({30, 10}), Row({40, 12}), Row({40, 14}), Row({20, 16})}, false, 0.0f, kBorder);
  EXPECT_FLOAT_EQ(layout.row.height, 12.0f);
  EXPECT_FLOAT_EQ(layout.row.width, 26.0f + 43.0f);
  EXPECT_EQ(layout.content.Height(), 3 + 4 * 12 + 2);
}

TEST(DataWndLayout, TrackingColumnsFollowEachOtherAndEmptyNameColumnsTakeNoRoom) {
  // Names X and Y empty, and the X text empty too: the texts still keep their 3 px.
  const DataWndLayout bare =
      LayoutDataWnd({Row({40, 12}, {}, {}, {}, {25, 12})}, true, 5.0f, kBorder);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndName].width, 48.0f);  // 40 + 3 + ": "
  EXPECT_FLOAT_EQ(bare.columns[kDataWndNameX].x, 74.0f);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndNameX].width, 0.0f);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndTextX].width, 3.0f);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndNameY].x, 77.0f);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndNameY].width, 0.0f);
  EXPECT_FLOAT_EQ(bare.columns[kDataWndTextY].x, 77.0f);
  EXPECT_FLOAT_EQ(bare.row.width, 105.0f);

  const DataWndLayout named =
      LayoutDataWnd({Row({40, 12}, {8, 12}, {20, 12}, {9, 12}, {25, 12})}, true, 5.0f, kBorder);
  EXPECT_FLOAT_EQ(named.columns[kDataWndNameX].width, 11.0f);
  EXPECT_FLOAT_EQ(named.columns[kDataWndTextX].x, 85.0f);
  EXPECT_FLOAT_EQ(named.columns[kDataWndNameY].x, 108.0f);
  EXPECT_FLOAT_EQ(named.columns[kDataWndTextY].x, 120.0f);
  EXPECT_FLOAT_EQ(named.row.width, 148.0f);
}

TEST(DataWndLayout, NoRowsGiveAnEmptyWindow) {
  EXPECT_EQ(LayoutDataWnd({}, true, 5.0f, kBorder).content, IntRect{});
}

TEST(DataWndPlacement, TrackingWindowSitsBesideTheLineAndStaysInside) {
  const IntRect content{0, 0, 80, 30};
  struct Case {
    int x;
    int left;
  } cases[] = {
      {100, 106},  // left half: starts 6 px right of the line
      {150, 64},   // exactly half the width counts as the right half: ends 6 px left
      {149, 155}, {230, 144}, {220, 134}, {80, 86},
  };
  for (const Case& c : cases) {
    const IntRect r = PlaceTrackingWindow(content, kClient, c.x);
    EXPECT_EQ(r.left, c.left) << "x " << c.x;
    EXPECT_EQ(r.Width(), 80);
    EXPECT_EQ(r.bottom, 194) << "6 px above the bottom";
  }
  // Too little room beside the line: pinned 1 px inside the far edge.
  const IntRect wide{0, 0, 200, 30};
  EXPECT_EQ(PlaceTrackingWindow(wide, kClient, 140).right, 299);
  EXPECT_EQ(PlaceTrackingWindow(wide, kClient, 160).left, 1);
}

}  // namespace
}  // namespace chart
