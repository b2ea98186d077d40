#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "evaluation/IntervalLogic.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

namespace {

constexpr Interval kNaN = {gNaN, gNaN};

::testing::AssertionResult Is(const Interval& actual, const Interval& expected) {
  const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
  if (same(actual.lower, expected.lower) && same(actual.upper, expected.upper)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << Show(actual) << " expected " << Show(expected);
}

}  // namespace

TEST(IntervalLogic, OrderComparisonsDecideOnlyOrdinaryOperands) {
  EXPECT_TRUE(Is(Less({0, 1}, {2, 3}), kTrue));
  EXPECT_TRUE(Is(Less({2, 3}, {0, 2}), kFalse));
  EXPECT_TRUE(Is(Less({0, 2}, {1, 3}), kUndecided));
  EXPECT_TRUE(Is(Less({0, gNaN}, {1, 2}), kNaN));
  EXPECT_TRUE(Is(Less({0, 1}, {1, 2}), kUndecided));
  EXPECT_TRUE(Is(LessOrEqual({0, 1}, {1, 2}), kTrue));
  EXPECT_TRUE(Is(LessOrEqual({1, 2}, {0, 0.5}), kFalse));
  EXPECT_TRUE(Is(Greater({3, 1}, {0, 0}), kUndecided));
  EXPECT_TRUE(Is(Greater({3, 4}, {0, 3}), kUndecided));
  EXPECT_TRUE(Is(Greater({0, 1}, {1, 2}), kFalse));
  EXPECT_TRUE(Is(GreaterOrEqual({1, 2}, {0, 1}), kTrue));
  EXPECT_TRUE(Is(GreaterOrEqual({0, 1}, {1.5, 2}), kFalse));
}

TEST(IntervalLogic, EqualityAndTheGapOfExteriorOperands) {
  EXPECT_TRUE(Is(Equal({2, 2}, {2, 2}), kTrue));
  EXPECT_TRUE(Is(Equal({0, 1}, {1, 2}), kUndecided));
  EXPECT_TRUE(Is(Equal({0, 1}, {1.5, 2}), kFalse));
  EXPECT_TRUE(Is(Equal({0.2, 0.8}, {1, 0}), kFalse));
  EXPECT_TRUE(Is(Equal({1, 0}, {0.2, 0.8}), kFalse));
  EXPECT_TRUE(Is(Equal({1, 0}, {3, 2}), kUndecided));
  EXPECT_TRUE(Is(Equal({gNaN, gNaN}, {1, 2}), kNaN));
}

TEST(IntervalLogic, ConnectivesAndTheUndefinedValue) {
  EXPECT_TRUE(Is(LogicalAnd(kFalse, kNaN), kFalse));
  EXPECT_TRUE(Is(LogicalAnd(kNaN, kFalse), kFalse));
  EXPECT_TRUE(Is(LogicalAnd(kTrue, kUndecided), kUndecided));
  EXPECT_TRUE(Is(LogicalAnd(kTrue, kNaN), kNaN));
  EXPECT_TRUE(Is(LogicalAnd(kTrue, kTrue), kTrue));
  EXPECT_TRUE(Is(LogicalOr(kNaN, kFalse), kUndecided));
  EXPECT_TRUE(Is(LogicalOr(kTrue, kNaN), kTrue));
  EXPECT_TRUE(Is(LogicalOr(kFalse, kFalse), kFalse));
  EXPECT_TRUE(Is(LogicalOr(kNaN, kNaN), kUndecided));
  EXPECT_TRUE(Is(LogicalNot(kUndecided), kUndecided));
  EXPECT_TRUE(Is(LogicalNot(kNaN), kUndecided));
  EXPECT_TRUE(Is(LogicalNot(kTrue), kFalse));
  EXPECT_TRUE(Is(LogicalNot(kFalse), kTrue));
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
      tally.Check(known || Is(t, kUndecided) || IsUndefined(t), [&] { return c.name + Show(t); });
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
