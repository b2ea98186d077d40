#include <gtest/gtest.h>

#include "graphs2d/AListofRectangles.h"

namespace {

MRect R(int top, int left, int bottom, int right) {
  return MRect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

bool Same(const MRect& a, const MRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(AListofRectangles, RevealedStripsGoFirstLastInsertedFrontmost) {
  AListofRectangles list;
  list.Push(R(5, 5, 6, 6));
  // The view moved 2 right and 3 down: old at (3, 2)-(103, 82) within (0, 0)-(100, 80).
  EXPECT_EQ(list.PushRevealedRects(R(3, 2, 83, 102), R(0, 0, 80, 100)), 0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_TRUE(Same(list[0], R(0, 2, 3, 100)));  // above, between old's sides, clipped
  EXPECT_TRUE(Same(list[1], R(0, 0, 80, 2)));   // left
  EXPECT_TRUE(Same(list[2], R(5, 5, 6, 6)));
  int32_t top, bottom;
  list.GetVerticalRange(&top, &bottom);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(bottom, 80);
}

TEST(AListofRectangles, ScrollClipsAndDropsEmptiesKeepingOrder) {
  AListofRectangles list;
  list.Push(R(0, 0, 10, 10));
  list.Push(R(0, 95, 10, 100));
  list.Push(R(20, 20, 30, 30));
  list.Scroll(8, -2, R(0, 0, 80, 100));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(Same(list[0], R(0, 8, 8, 18)));
  EXPECT_TRUE(Same(list[1], R(18, 28, 28, 38)));
  EXPECT_TRUE(Same(list.Pop(), R(18, 28, 28, 38)));
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
