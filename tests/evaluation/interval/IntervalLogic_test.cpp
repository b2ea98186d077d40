#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "evaluation/interval/IntervalLogic.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

constexpr Interval kNaN = {gNaN, gNaN};

TEST(IntervalLogic, ComparisonsDecideOnlyOrdinaryOperands) {
  using Truth = Interval (*)(const Interval&, const Interval&);
  struct Case {
    Truth f;
    Interval a, b, expected;
  };
  const Case cases[] = {{Less, {0, 1}, {2, 3}, kTrue},
                        {Less, {2, 3}, {0, 2}, kFalse},
                        {Less, {0, 2}, {1, 3}, kUndecided},
                        {Less, {0, gNaN}, {1, 2}, kNaN},
                        {Less, {0, 1}, {1, 2}, kUndecided},
                        {LessOrEqual, {0, 1}, {1, 2}, kTrue},
                        {LessOrEqual, {1, 2}, {0, 0.5}, kFalse},
                        {Greater, {3, 1}, {0, 0}, kUndecided},
                        {Greater, {3, 4}, {0, 3}, kUndecided},
                        {Greater, {0, 1}, {1, 2}, kFalse},
                        {GreaterOrEqual, {1, 2}, {0, 1}, kTrue},
                        {GreaterOrEqual, {0, 1}, {1.5, 2}, kFalse},
                        // Exterior operands: only the gap between their rays decides.
                        {Equal, {2, 2}, {2, 2}, kTrue},
                        {Equal, {0, 1}, {1, 2}, kUndecided},
                        {Equal, {0, 1}, {1.5, 2}, kFalse},
                        {Equal, {0.2, 0.8}, {1, 0}, kFalse},
                        {Equal, {1, 0}, {0.2, 0.8}, kFalse},
                        {Equal, {1, 0}, {3, 2}, kUndecided},
                        {Equal, {gNaN, gNaN}, {1, 2}, kNaN},
                        {LogicalAnd, kFalse, kNaN, kFalse},
                        {LogicalAnd, kNaN, kFalse, kFalse},
                        {LogicalAnd, kTrue, kUndecided, kUndecided},
                        {LogicalAnd, kTrue, kNaN, kNaN},
                        {LogicalAnd, kTrue, kTrue, kTrue},
                        {LogicalOr, kNaN, kFalse, kUndecided},
                        {LogicalOr, kTrue, kNaN, kTrue},
                        {LogicalOr, kFalse, kFalse, kFalse},
                        {LogicalOr, kNaN, kNaN, kUndecided}};
  for (const Case& c : cases) EXPECT_TRUE(SameInterval(c.f(c.a, c.b), c.expected)) << "case " << &c - cases;
  EXPECT_TRUE(SameInterval(LogicalNot(kUndecided), kUndecided));
  EXPECT_TRUE(SameInterval(LogicalNot(kNaN), kUndecided));
  EXPECT_TRUE(SameInterval(LogicalNot(kTrue), kFalse));
  EXPECT_TRUE(SameInterval(LogicalNot(kFalse), kTrue));
}

// A decided comparison must hold, or fail, at every pair of points.
TEST(IntervalLogicProperty, DecidedComparisonsHoldAtEveryPoint) {
  using Truth = Interval (*)(const Interval&, const Interval&);
  struct Case {
    const char* name;
    Truth interval;
    std::function<bool(double, double)> point;
  };
  const Case cases[] = {{"Less", Less, std::less<double>()},
                        {"Greater", Greater, std::greater<double>()},
                        {"LessOrEqual", LessOrEqual, std::less_equal<double>()},
                        {"GreaterOrEqual", GreaterOrEqual, std::greater_equal<double>()},
                        {"Equal", Equal, std::equal_to<double>()}};
  for (const Case& c : cases) {
    BoxMaker a(21, {1, 10}, {1, 2}), b(22, {1, 10}, {1, 2});
    Tally tally;
    for (int i = 0; i < kBoxes / 2; ++i) {
      const Interval x = a.Box(), y = b.Box();
      const Interval t = c.interval(x, y);
      const bool known = t.lower == t.upper && (t.lower == 0 || t.lower == 1);
      tally.Check(known || SameInterval(t, kUndecided) || IsUndefined(t), [&] { return c.name + Show(t); });
      if (!known) continue;
      for (int s = 0; s < 8; ++s) {
        const double p = a.PointIn(x), q = b.PointIn(y);
        tally.Check(c.point(p, q) == (t.lower == 1),
                    [&] { return c.name + Show(x) + Show(y) + " = " + Show(t) + " at " + Show(p) + ", " + Show(q); });
      }
    }
    EXPECT_EQ(tally.count(), 0) << tally.report();
  }
}
