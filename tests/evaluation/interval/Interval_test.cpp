#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/interval/Interval.h"
#include "evaluation/interval/IntervalPower.h"
#include "evaluation/special/RealFunctions.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

namespace {

BoxMaker Maker(uint64_t seed) { return BoxMaker(seed, {1, 10, 1e3, 1e12}, {1, -1, 0.5, 2, 3}); }

}  // namespace

TEST(IntervalArithmetic, ExactResultsOfTheCoreRules) {
  EXPECT_TRUE(SameInterval(Interval{1, 2} + Interval{3, 4}, {4, 6}));
  EXPECT_TRUE(SameInterval(Interval{gNaN, 1} + Interval{0, 0}, gNaNInterval));
  EXPECT_TRUE(SameInterval(Interval{0, gNaN} + Interval{0, 0}, kWholeLine));
  EXPECT_TRUE(SameInterval(Interval{2, -2} + Interval{0, 1}, {2, -1}));
  EXPECT_TRUE(SameInterval(Interval{2, -2} + Interval{0, 5}, kWholeLine));
  EXPECT_TRUE(SameInterval(Interval{2, -2} + Interval{3, 1}, kWholeLine));
  EXPECT_TRUE(SameInterval(Inverse({-1, 2}), {0.5, -1}));
  EXPECT_TRUE(SameInterval(Inverse({2, 4}), {0.25, 0.5}));
  EXPECT_TRUE(SameInterval(Inverse(kWholeLine), kWholeLine));
  EXPECT_TRUE(SameInterval(Interval{0, 1} * Interval{1, gInf}, gNaNInterval));
  EXPECT_TRUE(SameInterval(Interval{2, 3} * Interval{-1, 4}, {-3, 12}));
  EXPECT_TRUE(SameInterval(Interval{-2, 3} * Interval{-1, 4}, {-8, 12}));
  EXPECT_TRUE(SameInterval(Union({-gInf, 1}, {2, gInf}), {2, 1}));
  EXPECT_TRUE(SameInterval(Union({0, 1}, {5, 6}), {0, 6}));
  EXPECT_TRUE(SameInterval(Union(gNaNInterval, {0, 1}), gNaNInterval));
  EXPECT_TRUE(SameInterval(Union({0, 1}, gNaNInterval), {0, 1}));
  EXPECT_TRUE(SameInterval(Union({2, 1}, {5, 4}), kWholeLine));
  EXPECT_TRUE(SameInterval(Union({2, 1}, {3, 0}), {2, 1}));
  EXPECT_TRUE(SameInterval(Pow({-2, 3}, {2, 2}), {0, 9}));
  EXPECT_TRUE(SameInterval(Pow({-2, -1}, {3, 3}), {-8, -1}));
  EXPECT_TRUE(SameInterval(Pow({-1, 1}, {-1, -1}), kWholeLine));
  EXPECT_TRUE(SameInterval(Pow({-1, 4}, {0.5, 0.5}), gNaNInterval));
  EXPECT_TRUE(SameInterval(Pow({0.5, 2}, {-1, 1}), {0.5, 2}));
  EXPECT_TRUE(SameInterval(Pow({2, 3}, {0, 0}), {1, 1}));
  EXPECT_TRUE(SameInterval(PowFrac({-8, -1}, {3, 3}, {1, 1}), {-2, -1}));
  EXPECT_EQ(PowFrac({-8, 8}, {3, 3}, {2, 2}).lower, 0);
  EXPECT_NEAR(PowFrac({-8, 8}, {3, 3}, {2, 2}).upper, 4, 1e-15);
  EXPECT_TRUE(SameInterval(PowFrac({3125, 7776}, {5, 5}, {1, 1}), {5, 6}));  // pow gave 5.000000000000001
  EXPECT_TRUE(SameInterval(PowFrac({-1e-300, 1e-300}, {6, 6}, {2, 2}), {NthRoot(-1e-300, 3), NthRoot(1e-300, 3)}));
  EXPECT_TRUE(SameInterval(PowFrac({-1, 16}, {4, 4}, {1, 1}), gNaNInterval));
  EXPECT_TRUE(SameInterval(Mod({5, 5}, {3, 3}), {2, 2}));
  EXPECT_TRUE(SameInterval(Mod({5, 7}, {3, 3}), {0, 3}));  // the quotient passes 2: every remainder in [0, 3)
}

// min(1/x + 1.5, 0) over x in [-1, 2]: the exterior operand reaches -inf
// (x just below 0), so the minimum does too.
TEST(IntervalArithmetic, MinAndMaxSplitExteriorOperandsIntoRays) {
  const Interval shifted = Inverse({-1, 2}) + Interval{1.5, 1.5};
  EXPECT_TRUE(SameInterval(Min(shifted, {0, 0}), {-gInf, 0}));
  EXPECT_TRUE(SameInterval(Max(shifted, {0, 0}), {0, gInf}));
  EXPECT_TRUE(SameInterval(Min({2, 1}, {5, gInf}), {2, 1}));
}

TEST(IntervalArithmetic, ModOfExteriorQuotientIsNotCollapsed) {
  // floor maps both ends of [0.5, 0.2] to 0; Mod(5.3, 1) = 0.3 must stay inside.
  const Interval r = Mod({0.5, 0.2}, {1, 1});
  EXPECT_TRUE(Holds(r, 0.3, {}));
}

// Remainders of quotients far beyond 2^53 too, where a - b floor(a/b) in
// doubles is wrong: every exact remainder of the box lies in its interval.
TEST(IntervalArithmeticProperty, ModEnclosesExactRemainders) {
  EXPECT_TRUE(SameInterval(Mod({1e17, 1e17}, {3, 3}), {1, 1}));
  EXPECT_TRUE(SameInterval(Mod({1e17, 1e17 + 16}, {3, 3}), {0, 3}));
  EXPECT_TRUE(SameInterval(Mod({-7, -7}, {-3.2, -3}), {-1, Mod(-7, -3.2)}));
  const auto maker = [](uint64_t seed) { return BoxMaker(seed, {1, 10, 1e3, 1e17, 1e300}, {1, -1, 3, 0.1, 1e17}); };
  CheckBinary(
      "mod", maker(11), maker(12), [](auto a, auto b) { return Mod(a, b); },
      [](double x, double y) { return Mod(x, y); }, Slack{0, 0});
  CheckBinary(
      "mod", maker(13), BoxMaker(14, {1, 3, 7}, {1, 3, -3}), [](auto a, auto b) { return Mod(a, b); },
      [](double x, double y) { return Mod(x, y); }, Slack{0, 0});
  CheckBinary(
      "mod", Maker(16), BoxMaker(17, {1, 10, 100}, {1, -1, 2, 0.5}), [](auto a, auto b) { return Mod(a, b); },
      [](double x, double y) { return Mod(x, y); }, Slack{0, 0});
}

TEST(IntervalArithmeticProperty, SumDifferenceProduct) {
  CheckBinary(
      "+", Maker(1), Maker(2), [](auto a, auto b) { return a + b; }, [](double x, double y) { return x + y; });
  CheckBinary(
      "-", Maker(3), Maker(4), [](auto a, auto b) { return a - b; }, [](double x, double y) { return x - y; });
  CheckBinary(
      "*", Maker(5), Maker(6), [](auto a, auto b) { return a * b; }, [](double x, double y) { return x * y; });
}

TEST(IntervalArithmeticProperty, QuotientMinMax) {
  // Division is defined as a times the reciprocal of b (a subnormal b has an
  // infinite reciprocal), and that is the point value it must hold.
  CheckBinary(
      "/", Maker(7), Maker(8), [](auto a, auto b) { return a / b; }, [](double x, double y) { return x * (1 / y); });
  CheckBinary(
      "Min", Maker(9), Maker(10), [](auto a, auto b) { return Min(a, b); },
      [](double x, double y) { return std::fmin(x, y); });
  CheckBinary(
      "Max", Maker(11), Maker(12), [](auto a, auto b) { return Max(a, b); },
      [](double x, double y) { return std::fmax(x, y); });
}

TEST(IntervalArithmeticProperty, Powers) {
  BoxMaker exponents(13, {1, 3, 20}, {-2, -1, 0.5, 1, 2, 3});
  CheckBinary(
      "Pow", Maker(14), exponents, [](auto a, auto b) { return Pow(a, b); },
      [](double x, double y) { return std::pow(x, y); }, {16});
  Tally tally;
  BoxMaker bases = Maker(15);
  for (int i = 0; i < kBoxes; ++i) {
    const double num = std::round(bases.Uniform() * 12 - 6), den = std::round(bases.Uniform() * 12 - 6);
    const Interval x = bases.Box();
    const Interval r = PowFrac(x, {den, den}, {num, num});
    for (int s = 0; s < 8; ++s) {
      const double p = bases.PointIn(x);
      const double v = PowFrac(p, den, num);
      // The exponent num/den is itself rounded; its error grows with |ln p|.
      tally.Check(Holds(r, v, {16 * (1 + std::min(std::abs(std::log(std::abs(p))), 710.0))}),
                  [&] { return "PowFrac" + Show(x) + Show(num) + "/" + Show(den) + " " + Show(p); });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}
