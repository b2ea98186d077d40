#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/interval/IntervalTrig.h"
#include "evaluation/special/RealFunctions.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

namespace {

// Specials: multiples of pi/2 (turning points and poles) as doubles.
BoxMaker TrigMaker(uint64_t seed) {
  return BoxMaker(seed, {1, 4, 30, 1e4, 1e9, 1e14},
                  {gPi / 2, gPi, -gPi / 2, -gPi, 3 * gPi / 2, 2 * gPi, 101 * gPi, -1e6 * gPi / 2});
}

using Unary = Interval (*)(const Interval&);

BoxMaker PlaneMaker(uint64_t seed) { return BoxMaker(seed, {1, 10, 1e6}, {1, -1}); }

double AngleFromZero(double y, double x) {
  const double a = std::atan2(y, x);
  return a < 0 ? a + 2 * gPi : a;
}

}  // namespace

TEST(IntervalTrigProperty, SineCosine) {
  CheckUnary(
      "sin", TrigMaker(71), [](const Interval& x) { return sincos(x, 1); }, [](double x) { return std::sin(x); });
  CheckUnary(
      "cos", TrigMaker(72), [](const Interval& x) { return sincos(x, 0); }, [](double x) { return std::cos(x); });
}

TEST(IntervalTrigProperty, TangentAndReciprocals) {
  CheckUnary("Tan", TrigMaker(73), Tan, [](double x) { return std::tan(x); });
  CheckUnary("Cot", TrigMaker(74), static_cast<Unary>(Cot), [](double x) { return Cot(x); });
  CheckUnary("Sec", TrigMaker(75), static_cast<Unary>(Sec), [](double x) { return Sec(x); });
  CheckUnary("Csc", TrigMaker(76), static_cast<Unary>(Csc), [](double x) { return Csc(x); });
}

TEST(IntervalTrigProperty, AnglesAndDistances) {
  CheckBinary("Atan2", PlaneMaker(77), PlaneMaker(78), Atan2, AngleFromZero);
  CheckBinary("Arg", PlaneMaker(79), PlaneMaker(80), Arg, [](double y, double x) { return std::atan2(y, x); });
  CheckBinary("Hypot", PlaneMaker(81), PlaneMaker(82), Hypot, [](double a, double b) { return std::hypot(a, b); });
}

TEST(IntervalTrig, HalfPeriodsOfLargeArgumentsAndWideOperands) {
  // Ends beyond the 32-bit range, with a turning point k pi inside: a
  // maximum for even k, a minimum for odd k. Checked against the cosine at
  // every double step of 1/64 across the operand.
  for (const double k : {3e9, 3e9 + 1, -5e11 - 1}) {
    const double turn = k * gPi;
    const Interval around = {turn - 0.25, turn + 0.25};
    const Interval cosine = sincos(around, 0);
    for (double t = around.lower; t <= around.upper; t += 1.0 / 64) {
      EXPECT_TRUE(Holds(cosine, std::cos(t), {})) << Show(around) << " " << Show(cosine) << " at " << Show(t);
    }
    EXPECT_EQ(std::abs(IsEven(k) ? cosine.upper : cosine.lower), 1) << Show(cosine);
  }
  const Interval wide = sincos({0.5, 0.5 + 2 * gPi}, 1);
  EXPECT_EQ(wide.lower, -1);
  EXPECT_EQ(wide.upper, 1);
  EXPECT_TRUE(IsWholeLine(Tan({1e12, 1e12 + 4})));
  EXPECT_EQ(sincos({0, 1}, 1).lower, 0);
  EXPECT_EQ(sincos({0, 1}, 1).upper, std::sin(1.0));
  EXPECT_EQ(sincos({3, 3.5}, 0).lower, -1);
  EXPECT_TRUE(IsWholeLine(Tan({1, 2})));
  EXPECT_TRUE(IsWholeLine(Tan({gNaN, gNaN})));
  EXPECT_EQ(Tan({0, 1}).upper, std::tan(1.0));
}

TEST(IntervalTrig, ExteriorOperandsOfAnglesAndDistances) {
  const Interval h = Hypot({2, -3}, {1, 1});  // |a| >= 2 on both rays
  EXPECT_EQ(h.lower, std::hypot(2.0, 1.0));
  EXPECT_EQ(h.upper, gInf);
  EXPECT_EQ(Hypot({3, 2}, {1, 1}).lower, 1);  // 0 on a ray
  const Interval a = Atan2({1, 2}, {3, -3});
  EXPECT_EQ(a.lower, 0);
  EXPECT_EQ(a.upper, 2 * gPi);
  const Interval g = Arg({1, 2}, {3, -3});
  EXPECT_EQ(g.lower, -gPi);
  EXPECT_EQ(g.upper, gPi);
}

// y in [-1, 0] against x in [-2, -1]: the points on the axis have angle pi,
// those just below it nearly -pi.
TEST(IntervalTrig, ArgOfBoxTouchingNegativeAxisFromBelow) {
  const Interval g = Arg({-1, 0}, {-2, -1});
  EXPECT_EQ(g.lower, -gPi);
  EXPECT_EQ(g.upper, gPi);
  const Interval crossing = Arg({-1, 1}, {-2, -1});
  EXPECT_EQ(crossing.lower, -gPi);
  EXPECT_EQ(crossing.upper, gPi);
  const Interval originCorner = Atan2({0, 5}, {-1, 0});
  EXPECT_EQ(originCorner.lower, 0);
  EXPECT_EQ(originCorner.upper, gPi);
  const Interval straddle = Atan2({-1, 1}, {-2, -1});
  EXPECT_EQ(straddle.lower, std::atan2(1.0, -1.0));
  EXPECT_EQ(straddle.upper, std::atan2(-1.0, -1.0) + 2 * gPi);
}
