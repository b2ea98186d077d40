#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/complex/ComplexFunctions.h"
#include "evaluation/complex/ComplexInterval.h"
#include "evaluation/complex/ComplexIntervalFunctions.h"
#include "evaluation/interval/IntervalLogic.h"
#include "tests/evaluation/IntervalSampling.h"

using namespace interval_sampling;

namespace {

using UnaryBox = ComplexInterval (*)(const ComplexInterval&);
using UnaryPoint = Complex (*)(const Complex&);
using BinaryBox = ComplexInterval (*)(const ComplexInterval&, const ComplexInterval&);
using BinaryPoint = Complex (*)(const Complex&, const Complex&);

// Boxes around the branch points and cuts (0, +-1, +-i), a quarter of them
// on the real axis, where the point functions take their real shortcuts.
// Infinite ends are left out: a box reaching infinity has no complex
// meaning the point functions share.
class ComplexBoxMaker {
 public:
  explicit ComplexBoxMaker(uint64_t seed) : fParts(seed, {0.5, 2, 10, 300}, {1, -1, 2, -2, 0.5}) {}

  ComplexInterval Box() {
    const ComplexInterval z = {fParts.Box(), fParts.Uniform() < 0.25 ? Interval{0, 0} : fParts.Box()};
    return IsFinite(z.re) && IsFinite(z.im) ? z : Box();
  }
  Complex PointIn(const ComplexInterval& z) { return {fParts.PointIn(z.re), fParts.PointIn(z.im)}; }

 private:
  static bool IsFinite(const Interval& a) { return std::isfinite(a.lower) && std::isfinite(a.upper); }
  BoxMaker fParts;
};

std::string Show(const ComplexInterval& z) {
  return interval_sampling::Show(z.re) + "+i" + interval_sampling::Show(z.im);
}
std::string Show(const Complex& c) { return interval_sampling::Show(c.re) + "+i" + interval_sampling::Show(c.im); }

// Without outward rounding, a part assembled from terms that cancel (the
// arc functions near their cuts, |log q| for q near the unit circle) is off
// by the rounding of those terms, up to some 1e-11 of the value; a wrong
// branch or a missed extremum is off by the value itself. The slack sits
// between the two.
bool HoldsPoint(const ComplexInterval& r, const Complex& c, double scale) {
  if (std::isnan(c.re) || std::isnan(c.im)) return true;
  const Slack slack = {1e-9 / kEpsilon, std::hypot(c.re, c.im) + scale};
  return Holds(r.re, c.re, slack) && Holds(r.im, c.im, slack);
}

void CheckUnaryComplex(const char* name, uint64_t seed, UnaryBox box, UnaryPoint point) {
  ComplexBoxMaker maker(seed);
  Tally tally;
  for (int i = 0; i < kBoxes; ++i) {
    const ComplexInterval z = maker.Box();
    const ComplexInterval r = box(z);
    for (int s = 0; s < 5; ++s) {
      const Complex p = maker.PointIn(z);
      const Complex v = point(p);
      tally.Check(HoldsPoint(r, v, 1),
                  [&] { return name + Show(z) + " = " + Show(r) + " misses f(" + Show(p) + ") = " + Show(v); });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}

void CheckBinaryComplex(const char* name, uint64_t seed, BinaryBox box, BinaryPoint point) {
  ComplexBoxMaker first(seed), second(seed + 1000);
  Tally tally;
  for (int i = 0; i < kBoxes; ++i) {
    const ComplexInterval a = first.Box(), b = second.Box();
    const ComplexInterval r = box(a, b);
    for (int s = 0; s < 5; ++s) {
      const Complex p = first.PointIn(a), q = second.PointIn(b);
      const Complex v = point(p, q);
      const double scale = std::hypot(p.re, p.im) * std::hypot(q.re, q.im);
      tally.Check(HoldsPoint(r, v, scale), [&] {
        return name + Show(a) + Show(b) + " = " + Show(r) + " misses f(" + Show(p) + ", " + Show(q) + ") = " + Show(v);
      });
    }
  }
  EXPECT_EQ(tally.count(), 0) << tally.report();
}

Complex Times(const Complex& a, const Complex& b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
Complex Square(const Complex& z) { return Times(z, z); }
Complex Quotient(const Complex& a, const Complex& b) {
  const double d = b.re * b.re + b.im * b.im;
  return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

}  // namespace

TEST(ComplexIntervalProperty, Arithmetic) {
  CheckBinaryComplex(
      "*", 101, [](const ComplexInterval& a, const ComplexInterval& b) { return a * b; }, Times);
  CheckBinaryComplex(
      "/", 102, [](const ComplexInterval& a, const ComplexInterval& b) { return a / b; }, Quotient);
  CheckUnaryComplex("Sqr", 103, Sqr, Square);
  CheckBinaryComplex("Pow", 104, Pow, [](const Complex& z, const Complex& w) { return Pow(z, w); });
}

TEST(ComplexIntervalProperty, ElementaryFunctions) {
  const struct {
    const char* name;
    uint64_t seed;
    UnaryBox box;
    UnaryPoint point;
  } functions[] = {
      {"Exp", 111, Exp, Exp},       {"Log", 112, Log, Log},       {"Log10", 113, Log10, Log10},
      {"Sqrt", 114, Sqrt, Sqrt},    {"Sin", 121, Sin, Sin},       {"Cos", 122, Cos, Cos},
      {"Tan", 123, Tan, Tan},       {"Cot", 124, Cot, Cot},       {"Sec", 125, Sec, Sec},
      {"Csc", 126, Csc, Csc},       {"Sinh", 131, Sinh, Sinh},    {"Cosh", 132, Cosh, Cosh},
      {"Tanh", 133, Tanh, Tanh},    {"Coth", 134, Coth, Coth},    {"Sech", 135, Sech, Sech},
      {"Csch", 136, Csch, Csch},    {"Asin", 141, Asin, Asin},    {"Acos", 142, Acos, Acos},
      {"Atan", 143, Atan, Atan},    {"Acot", 144, Acot, Acot},    {"Asec", 145, Asec, Asec},
      {"Acsc", 146, Acsc, Acsc},    {"Asinh", 151, Asinh, Asinh}, {"Acosh", 152, Acosh, Acosh},
      {"Atanh", 153, Atanh, Atanh}, {"Acoth", 154, Acoth, Acoth}, {"Asech", 155, Asech, Asech},
      {"Acsch", 156, Acsch, Acsch},
  };
  for (const auto& f : functions) CheckUnaryComplex(f.name, f.seed, f.box, f.point);
}

// Points where the point functions fold their result (negative angle in
// Acos, negative log-modulus in Acosh) or take their own formula (Asin,
// Acsc): each box must hold the point value, not its mirror image.
TEST(ComplexInterval, InverseFunctionsFollowThePointBranches) {
  const Complex points[] = {{2, -0.5}, {-2, 0.3}, {0.3, -2}, {-0.4, -0.1}, {-2, 0}, {3, 0}, {0.5, 1e-3}, {1e-7, 0}};
  for (const Complex& p : points) {
    const ComplexInterval box = {{p.re - 1e-3, p.re + 1e-3}, {p.im - 1e-3, p.im + 1e-3}};
    const struct {
      const char* name;
      UnaryBox box;
      UnaryPoint point;
    } functions[] = {{"Acos", Acos, Acos}, {"Acosh", Acosh, Acosh}, {"Asin", Asin, Asin},
                     {"Acsc", Acsc, Acsc}, {"Asec", Asec, Asec},    {"Asech", Asech, Asech}};
    for (const auto& f : functions) {
      EXPECT_TRUE(HoldsPoint(f.box(box), f.point(p), 0)) << f.name << Show(p) << " " << Show(f.box(box));
    }
  }
}

TEST(ComplexInterval, RealOnlyFunctionsAndComparisons) {
  const ComplexInterval floor = Floor(ComplexInterval{{1.5, 2.5}, {0, 0}});
  EXPECT_EQ(floor.re.lower, 1);
  EXPECT_EQ(floor.re.upper, 2);
  EXPECT_TRUE(IsUndefined(Floor(ComplexInterval{{1.5, 2.5}, {0, 1e-9}}).re));
  const ComplexInterval real = {{0, 1}, {0, 0}}, beyond = {{2, 3}, {0, 0}};
  EXPECT_EQ(Less(real, beyond).re.lower, 1);
  const ComplexInterval reaching = Less(ComplexInterval{{0, 1}, {-1, 1}}, beyond);
  EXPECT_EQ(reaching.re.lower, 0);
  EXPECT_EQ(reaching.re.upper, 1);
  const ComplexInterval off = Less(ComplexInterval{{0, 1}, {1, 2}}, beyond);
  EXPECT_EQ(off.re.upper, 0);
  EXPECT_TRUE(IsUndefined(Less(ComplexInterval{{0, gNaN}, {0, 0}}, beyond).re));
  const ComplexInterval root = Sqrt(ComplexInterval{{4, 9}, {0, 0}});
  EXPECT_EQ(root.re.lower, 2);
  EXPECT_EQ(root.re.upper, 3);
  const ComplexInterval imaginaryRoot = Sqrt(ComplexInterval{{-4, -4}, {0, 0}});
  EXPECT_EQ(imaginaryRoot.re.upper, 0);
  EXPECT_EQ(imaginaryRoot.im.lower, 2);
  EXPECT_EQ(Pow(ComplexInterval{{2, 2}, {0, 0}}, ComplexInterval{{3, 3}, {0, 0}}).im.upper, 0);
  const ComplexInterval unitBox = ComplexInterval{{1, 1}, {0, 0}} / ComplexInterval{{-1, 1}, {-1, 1}};
  EXPECT_TRUE(IsUndefined(unitBox.re) && IsUndefined(unitBox.im));
}
