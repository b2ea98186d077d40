#include <gtest/gtest.h>

#include <cmath>

#include "CoreUtilities/MathConstants.h"
#include "graphs2d/NumberRounding.h"
#include "graphs2d/RootFinding.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

namespace {

TEST(FindRoot, LinearRootComesOutExactlyAfterCleaning) {
  auto e = CompiledExpression("x - 0.3");
  double x = gNaN;
  ASSERT_TRUE(FindRoot(e.get(), 0, 0, &x, 0, 1, nullptr, 0, 0, nullptr, 0, 0));
  EXPECT_EQ(x, 0.3);
  // Along a slanted segment with a level, y interpolated too.
  double y = gNaN;
  auto f = CompiledExpression("x + y");
  ASSERT_TRUE(FindRoot(f.get(), 1, 0, &x, 0, 2, &y, 0, 1, nullptr, 0, 0));
  EXPECT_NEAR(x, 2.0 / 3, 1e-14);
  EXPECT_NEAR(y, 1.0 / 3, 1e-14);
}

TEST(FindRoot, SquareRootOfTwoToTheDigitsTheSegmentCarries) {
  auto e = CompiledExpression("x^2 - 2");
  double x = gNaN;
  ASSERT_TRUE(FindRoot(e.get(), 0, 0, &x, 1, 2, nullptr, 0, 0, nullptr, 0, 0));
  // Cleaning keeps 15 significant digits of a point on [1, 2].
  EXPECT_EQ(x, RoundDouble(std::sqrt(2.0), 15));
  ASSERT_TRUE(FindRoot(e.get(), 0, 1e-300, &x, 2, 1, nullptr, 0, 0, nullptr, 0, 0));
  // Bisection writes the point cleaned too, so 15 digits at most.
  EXPECT_NEAR(x, std::sqrt(2.0), 1e-14);
}

TEST(FindRoot, EndsAndFailures) {
  auto e = CompiledExpression("x - 1");
  double x = gNaN;
  ASSERT_TRUE(FindRoot(e.get(), 0, 0, &x, 1, 3, nullptr, 0, 0, nullptr, 0, 0) ||
              FindRoot(e.get(), 0, 0, 0.0, 2.0, &x, 1, 3, nullptr, 0, 0, nullptr, 0, 0));
  EXPECT_EQ(x, 1.0);
  EXPECT_FALSE(FindRoot(e.get(), 0, 0, &x, 2, 3, nullptr, 0, 0, nullptr, 0, 0));  // no sign change
  auto g = CompiledExpression("sqrt(x)");
  EXPECT_FALSE(FindRoot(g.get(), 0.5, 0, &x, -1, 1, nullptr, 0, 0, nullptr, 0, 0));  // NaN end
  auto h = CompiledExpression("sqrt(0.4 - x)");
  // A NaN inside the bracket stops the search.
  EXPECT_FALSE(FindRoot(h.get(), 0, 0, -1.0, 1.0, &x, 0, 1, nullptr, 0, 0, nullptr, 0, 0));
}

TEST(ImplicitCurves, UnitCircle) {
  auto e = CompiledExpression("x^2 + y^2");
  EXPECT_TRUE(NearImplicitFunction(e.get(), 1, 0.99, 0, 0.05, 0.05));
  EXPECT_FALSE(NearImplicitFunction(e.get(), 1, 0.5, 0, 0.05, 0.05));

  double rx = gNaN, ry = gNaN;
  ASSERT_TRUE(ImplicitFunctionNearbyRoot(e.get(), 1, 0.98, 0, 0.1, 0.1, 1, 0, &rx, &ry));
  EXPECT_NEAR(std::hypot(rx, ry), 1, 1e-12);
  EXPECT_NEAR(ry, 0, 1e-12);  // the ray toward (px, py) wins
  ASSERT_TRUE(ImplicitFunctionNearbyRoot(e.get(), 1, 0.5, 0, 0.6, 0.6, 1, 0, &rx, &ry));
  EXPECT_FALSE(ImplicitFunctionNearbyRoot(e.get(), 1, 0, 0, 0.1, 0.1, 1, 0, &rx, &ry));

  const Neighborhood n = ImplicitFunctionNeighborhood(e.get(), 1, 1, 0, 0.05, 0.05);
  ASSERT_EQ(n.found, 1);
  for (const fPoint& p : {n.before, n.centre, n.after}) EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-12);
  EXPECT_LT(n.before.y, n.after.y);

  Selection s;
  s.x = 0.01, s.y = 0.98;
  ImplicitFunctionSnapToAxes(e.get(), 1, 0.05, 0.05, &s);
  EXPECT_EQ(s.snapped, 1);
  EXPECT_EQ(s.x, 0);
  EXPECT_NEAR(s.y, 1, 1e-14);
}

}  // namespace
