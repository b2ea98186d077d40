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

// A sign change is a root only where f is continuous across it.
TEST(FindRoot, PolesAndJumpsAreNoRoots) {
  double x = gNaN, y = gNaN;
  const struct {
    const char* f;
    double x0, x1;
    bool root;
  } along[] = {{"1/x", -1, 2, false},             // a pole
               {"1/(x - 0.3) + 1", 0, 1, false},  // a pole beside a root outside the segment
               {"1/(x - 0.3) + 10", 0.25, 1, false},
               {"1/(x - 0.3) + 10", 0, 0.25, true},   // the root 0.2, just before the pole
               {"floor(x) + 0.5", -0.7, 0.6, false},  // a jump
               {"tan(x)", 1, 2, false},
               {"tan(x)", 3, 3.3, true}};
  for (const auto& c : along) {
    auto e = CompiledExpression(c.f);
    EXPECT_EQ(FindRoot(e.get(), 0, 0, &x, c.x0, c.x1, nullptr, 0, 0, nullptr, 0, 0), c.root) << c.f;
    EXPECT_EQ(FindRoot(e.get(), 0, 0.01, &x, c.x0, c.x1, nullptr, 0, 0, nullptr, 0, 0), c.root) << c.f;
  }
  auto g = CompiledExpression("1/(x^2 + y^2 - 1)");
  EXPECT_FALSE(FindRoot(g.get(), 0, 0.01, &x, 0.2, 1.3, &y, 0.3, 0.4, nullptr, 0, 0));
  auto h = CompiledExpression("1/(x^2 + y^2 - 1) - 1");
  ASSERT_TRUE(FindRoot(h.get(), 0, 0, &x, 0.8, 2, &y, 0.8, 2, nullptr, 0, 0));
  EXPECT_NEAR(x, 1, 1e-12);  // r = sqrt(2) on the diagonal
  // Without an enclosure the value at the root still tells a pole.
  struct Reciprocal : ASpaceFunction {
    double At(double px, double, double) override { return 1 / (px - 0.3); }
  } reciprocal;
  EXPECT_FALSE(FindRoot(reciprocal, 0, 0.01, 1 / -0.3, 1 / 0.7, &x, 0, 1, nullptr, 0, 0, nullptr, 0, 0));
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
