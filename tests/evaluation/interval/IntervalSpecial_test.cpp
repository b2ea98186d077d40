#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/interval/IntervalSpecial.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/SpecialFunctions.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

namespace {

using Binary = Interval (*)(const Interval&, const Interval&);

// Poles, turning points and the segments between them.
BoxMaker FactMaker(uint64_t seed) {
  return BoxMaker(seed, {0.5, 2, 8, 40, 200}, {-1, -2, -3, -1.5, -2.5, -10.5, 0.4616321449683623, 1, 2, 170, -171});
}

BoxMaker OrderMaker(uint64_t seed) { return BoxMaker(seed, {1, 3, 12, 60}, {0, 1, 2, 0.5, -0.5, -1, -2, 10}); }
BoxMaker ArgumentMaker(uint64_t seed) {
  return BoxMaker(seed, {0.5, 2, 10, 40, 1e3}, {1.8411837813406593, 11.770876674955582, 3.8317, 1e-17});
}

// Single orders (the common case) most of the time, some order intervals.
Interval Order(BoxMaker& maker) {
  if (maker.Uniform() < 0.7) {
    const double n = maker.Uniform() < 0.5 ? std::round(maker.End()) : maker.End();
    return {n, n};
  }
  return maker.Box();
}

}  // namespace

TEST(IntervalSpecialProperty, Factorial) {
  CheckUnary("Fact", FactMaker(91), static_cast<Interval (*)(const Interval&)>(Fact), [](double x) { return Fact(x); },
             {16});
}

TEST(IntervalSpecialProperty, Choose) {
  CheckBinary(
      "Choose", FactMaker(92), FactMaker(93), static_cast<Binary>(Choose),
      [](double n, double k) { return Choose(n, k); }, {64}, 4);
}

TEST(IntervalSpecialProperty, Bessel) {
  BoxMaker orders = OrderMaker(94), arguments = ArgumentMaker(95);
  Tally tally;
  for (int i = 0; i < kBoxes; ++i) {
    const Interval n = Order(orders), x = arguments.Box();
    const Interval r = Bessel(n, x);
    for (int s = 0; s < 6; ++s) {
      const double p = orders.PointIn(n), q = arguments.PointIn(x);
      const double v = jv(p, q);
      // jv itself wobbles by some 1e-14 between neighbouring arguments.
      tally.Check(Holds(r, v, {4096, 1e-14}), [&] {
        return "Bessel" + Show(n) + Show(x) + " = " + Show(r) + " misses jv(" + Show(p) + ", " + Show(q) +
               ") = " + Show(v);
      });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}

// Reference values: the least value of Gamma(x + 1) on (-1, inf), at
// 0.46163214496836234, and its turning points between the poles, from
// mpmath's digamma roots.
TEST(IntervalSpecial, FactIncludesItsTurningPoints) {
  EXPECT_NEAR(Fact({0, 1}).lower, 0.88560319441088870, 1e-9);
  EXPECT_EQ(Fact({0, 1}).upper, 1);
  const Interval firstSegment = Fact({-1.9, -1.1});
  EXPECT_NEAR(firstSegment.upper, -3.5446436111550051, 1e-9);
  EXPECT_GT(firstSegment.upper, Fact(-1.5));
  EXPECT_EQ(firstSegment.lower, Fact(-1.1));
  const Interval fourthSegment = Fact({-4.9, -4.1});
  EXPECT_NEAR(fourthSegment.lower, 0.24512753983436625, 1e-9);
  EXPECT_TRUE(IsWholeLine(Fact({-2.5, -1.5})));
}

TEST(IntervalSpecial, BesselIncludesStationaryPoints) {
  EXPECT_EQ(Bessel({0, 0}, {-0.5, 0.5}).upper, 1);
  EXPECT_NEAR(Bessel({1, 1}, {1.5, 2.2}).upper, 0.58186522428159638, 1e-12);
  EXPECT_NEAR(Bessel({-1, -1}, {1.5, 2.2}).lower, -0.58186522428159638, 1e-12);
  const Interval narrow = Bessel({0, 0}, {0, 0.5});
  EXPECT_EQ(narrow.lower, jv(0, 0.5));
  EXPECT_EQ(narrow.upper, 1);
}

// J_10 peaks at 0.3027 near x = 11.77, 29 % above sqrt(2 / (pi x)).
TEST(IntervalSpecial, BesselEnvelopeHoldsForEveryOrder) {
  EXPECT_GE(Bessel({10, 10}, {11, 30}).upper, 0.30274322241718976);
  EXPECT_GE(Bessel({9, 11}, {11.5, 12}).upper, 0.30274322241718976);
  const Interval low = Bessel({0, 0}, {10, 20});
  EXPECT_NEAR(low.upper, std::sqrt(2 / (10 * gPi)), 1e-15);
}

TEST(IntervalSpecial, BesselOfNegativeFractionalOrderNearZeroOrExteriorArgument) {
  EXPECT_TRUE(IsWholeLine(Bessel({-0.5, -0.5}, {0, 0.1})));
  EXPECT_TRUE(IsWholeLine(Bessel({-2, 1}, {3, 4})));
  EXPECT_TRUE(IsWholeLine(Bessel({1, 1}, {2, -2})));
  // J_-1.1 turns at 0.83 and again at 1.39, closer than pi/2.
  EXPECT_TRUE(IsWholeLine(Bessel({-1.1, -1.1}, {0.5, 1.8})));
  const Interval away = Bessel({-0.5, -0.5}, {3, 3.5});
  EXPECT_LE(away.lower, jv(-0.5, 3.5));
  EXPECT_GE(away.upper, jv(-0.5, 3));
}
