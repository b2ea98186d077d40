#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/special/RealFunctions.h"
#include "tests/evaluation/IntervalSampling.h"
#include "tests/evaluation/ReferenceTable.h"

using namespace interval_sampling;

namespace {

using IntervalFunction = Interval (*)(const Interval&);

BoxMaker ElementaryMaker(uint64_t seed) {
  return BoxMaker(seed, {1, 4, 30, 800, 1e15}, {1, -1, 0.5, -0.5, 2, 710, -710});
}

template <typename F>
void Check(const char* name, uint64_t seed, IntervalFunction intervalF, F pointF) {
  CheckUnary(name, ElementaryMaker(seed), intervalF, pointF);
}

double UlpsApart(double a, double b) {
  if (a == b) return 0;
  return std::abs(a - b) / (std::nextafter(std::abs(b), gInf) - std::abs(b));
}

}  // namespace

TEST(IntervalElementaryProperty, PowersLogarithmsAndEvenFunctions) {
  Check("Sqrt", 31, Sqrt, [](double x) { return std::sqrt(x); });
  Check("Log", 32, Log, [](double x) { return std::log(x); });
  Check("Log10", 33, Log10, [](double x) { return std::log10(x); });
  Check("Exp", 34, Exp, [](double x) { return std::exp(x); });
  Check("Abs", 35, Abs, [](double x) { return std::abs(x); });
  Check("Sqr", 36, Sqr, [](double x) { return x * x; });
  Check("Sgn", 37, Sgn, [](double x) { return Sgn(x); });
  Check("Floor", 38, Floor, [](double x) { return std::floor(x); });
  Check("Ceil", 39, Ceil, [](double x) { return std::ceil(x); });
}

TEST(IntervalElementaryProperty, Hyperbolic) {
  Check("Sinh", 41, Sinh, [](double x) { return std::sinh(x); });
  Check("Cosh", 42, Cosh, [](double x) { return std::cosh(x); });
  Check("Tanh", 43, Tanh, [](double x) { return std::tanh(x); });
  Check("Sech", 44, Sech, [](double x) { return Sech(x); });
  Check("Csch", 45, Csch, [](double x) { return Csch(x); });
  Check("Coth", 46, Coth, [](double x) { return Coth(x); });
}

TEST(IntervalElementaryProperty, InverseHyperbolic) {
  Check("Asinh", 51, Asinh, [](double x) { return std::asinh(x); });
  Check("Acosh", 52, Acosh, [](double x) { return std::acosh(x); });
  Check("Atanh", 53, Atanh, [](double x) { return std::atanh(x); });
  Check("Asech", 54, Asech, [](double x) { return Asech(x); });
  Check("Acsch", 55, Acsch, [](double x) { return Acsch(x); });
  Check("Acoth", 56, Acoth, [](double x) { return Acoth(x); });
}

TEST(IntervalElementaryProperty, InverseTrigonometric) {
  Check("Asin", 61, Asin, [](double x) { return std::asin(x); });
  Check("Acos", 62, Acos, [](double x) { return std::acos(x); });
  Check("Atan", 63, Atan, [](double x) { return std::atan(x); });
  Check("Acot", 64, Acot, [](double x) { return Acot(x); });
  Check("Asec", 65, Asec, [](double x) { return Asec(x); });
  Check("Acsc", 66, Acsc, [](double x) { return Acsc(x); });
}

// Ends against correctly rounded values from a high-precision generator.
TEST(IntervalElementary, MonotoneEndsWithinTwoUlpsOfReference) {
  const std::map<std::string, IntervalFunction> functions = {
      {"Exp", Exp},   {"Log", Log},     {"Log10", Log10}, {"Sqrt", Sqrt},   {"Sinh", Sinh},
      {"Tanh", Tanh}, {"Asinh", Asinh}, {"Acosh", Acosh}, {"Atanh", Atanh}, {"Asin", Asin},
      {"Acos", Acos}, {"Atan", Atan},   {"Cosh", Cosh}};
  int checked = 0;
  for (const auto& [name, rows] : ReadReferenceTable("interval_reference.txt")) {
    if (name == "#") continue;
    for (const auto& row : rows) {
      const Interval x = {row[0], row[1]}, r = functions.at(name)(x);
      EXPECT_LE(UlpsApart(r.lower, row[2]), 2) << name << Show(x) << " got " << Show(r);
      EXPECT_LE(UlpsApart(r.upper, row[3]), 2) << name << Show(x) << " got " << Show(r);
      ++checked;
    }
  }
  EXPECT_GT(checked, 3000);
}

TEST(IntervalElementary, DomainsAndEvenFunctionTables) {
  EXPECT_TRUE(IsUndefined(Sqrt({-1, 4})));
  EXPECT_EQ(Log({0, 1}).lower, -gInf);
  EXPECT_TRUE(IsUndefined(Log({-1, 1})));
  EXPECT_TRUE(IsUndefined(Asin({0, 2})));
  EXPECT_EQ(Acos({0, 1}).upper, gPi / 2);
  EXPECT_TRUE(IsUndefined(Asec({0.5, 2})));
  EXPECT_EQ(Asec({2, -2}).lower, std::acos(0.5));
  EXPECT_EQ(Asec({2, -2}).upper, std::acos(-0.5));
  EXPECT_EQ(Sqr({3, -2}).lower, 4);
  EXPECT_EQ(Sqr({1, -2}).lower, 1);
  EXPECT_EQ(Sqr({-1, -2}).lower, 0);  // 0 lies on a ray
  EXPECT_EQ(Sqr({-1, -2}).upper, gInf);
  EXPECT_EQ(Sech({-1, 2}).upper, 1);
  EXPECT_EQ(Sgn({-3, 0}).lower, -1);
  EXPECT_EQ(Sgn({-3, 0}).upper, 0);
  EXPECT_EQ(Sgn({2, 1}).upper, 1);
}

// An exterior operand whose two ray images overlap must not collapse to the
// single value where the mapped ends meet.
TEST(IntervalElementary, ExteriorOperandsOfMonotoneFunctionsKeepTheirRange) {
  const Interval floor = Floor({2.5, 2.2});
  EXPECT_TRUE(IsWholeLine(floor)) << Show(floor);
  EXPECT_TRUE(IsWholeLine(Ceil({2.2, 2.1})));
  const Interval exp = Exp({800, 750});
  EXPECT_EQ(exp.lower, 0);
  EXPECT_EQ(exp.upper, gInf);
  EXPECT_TRUE(IsWholeLine(Sinh({800, 750})));
  EXPECT_TRUE(IsExterior(Asinh({std::nextafter(1.0, 2.0), 1})) || IsWholeLine(Asinh({std::nextafter(1.0, 2.0), 1})));
  const Interval stillExterior = Exp({1, -1});
  EXPECT_EQ(stillExterior.lower, std::exp(1.0));
  EXPECT_EQ(stillExterior.upper, std::exp(-1.0));
}
