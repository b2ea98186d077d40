#include <gtest/gtest.h>

#include <cstdint>

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

// A scale near the smallest doubles makes pixels per unit infinite and
// the origins and bounds NaN or infinite: every value still lands within
// the drawing's range.
TEST(A2DTransform, DegenerateScalesStillClampEveryValue) {
  for (const double perUnit : {1.0 / 5e-324, 1e308, 1e-308}) {
    for (const double origin : {0.0, gInf, gNaN, -1e308}) {
      A2DTransform t = Centred();
      t.xPixelsPerUnit = perUnit, t.yPixelsPerUnit = -perUnit;
      t.xOrigin = origin, t.yOrigin = -origin;
      t.FinishFromOrigins();
      for (const double v : {0.0, 1.0, -1.0, 5e-324, -5e-324, 1e308, -1e308, gInf, -gInf, gNaN}) {
        for (const int32_t pixel : {t.XTOI_InfSafe(v), t.YTOI_InfSafe(v)}) {
          EXPECT_GE(pixel, -16383) << perUnit << " " << origin << " " << v;
          EXPECT_LE(pixel, 16383) << perUnit << " " << origin << " " << v;
        }
      }
    }
  }
}

}  // namespace
