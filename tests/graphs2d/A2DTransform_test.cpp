#include <gtest/gtest.h>

#include "CoreUtilities/MathConstants.h"
#include "graphs2d/A2DTransform.h"

namespace {

A2DTransform Centred() {
  A2DTransform t;
  t.pixelRect = MRect{0, 0, 300, 400};
  t.xOrigin = 200, t.yOrigin = 149;
  t.xPixelsPerUnit = 64, t.yPixelsPerUnit = -64;
  t.FinishFromOrigins();
  return t;
}

TEST(A2DTransform, InfinitiesClampAndNaNIsOffScreen) {
  const A2DTransform t = Centred();
  EXPECT_EQ(t.XTOI_InfSafe(gInf), 16383);
  EXPECT_EQ(t.XTOI_InfSafe(-gInf), -16383);
  EXPECT_EQ(t.YTOI_InfSafe(gInf), -16383);
  EXPECT_EQ(t.YTOI_InfSafe(-gInf), 16383);
  EXPECT_EQ(t.XTOI_InfSafe(gNaN), 16383);
  EXPECT_EQ(t.YTOI_InfSafe(gNaN), 16383);
  EXPECT_FALSE(t.IsPointOnScreen(gNaN, 0));
  EXPECT_FALSE(t.IsPointOnScreen(0, gNaN));
  EXPECT_TRUE(t.IsPointOnScreen(0, 0));
}

TEST(A2DTransform, PixelsByTheFloorRule) {
  const A2DTransform t = Centred();
  EXPECT_EQ(t.XTOI_InfSafe(0), 200);
  EXPECT_EQ(t.XTOI_InfSafe(1), 264);
  EXPECT_EQ(t.XTOI_InfSafe(-1.0 / 128), 200);  // 199.5 rounds up
  EXPECT_EQ(t.YTOI_InfSafe(1), 85);
  EXPECT_EQ(t.ITOX(264), 1);
  EXPECT_EQ(t.ITOY(85), 1);
  EXPECT_FALSE(t.IsPointOnScreen(3.125, 0));  // column 400: the right edge is outside
  EXPECT_TRUE(t.IsPointOnScreen(3.1, 0));
  // The bounds are the extreme world values inside the pixel range.
  EXPECT_EQ(t.XTOI_InfSafe(t.xAtPlus16383), 16383);
  EXPECT_EQ(t.XTOI_InfSafe(t.xAtMinus16383), -16383);
}

}  // namespace
