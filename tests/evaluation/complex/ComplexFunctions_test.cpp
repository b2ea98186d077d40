#include "evaluation/complex/ComplexFunctions.h"

#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/SpecialFunctions.h"
#include "tests/evaluation/ReferenceTable.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <complex>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Std = std::complex<double>;

Std ToStd(const Complex& z) { return {z.re, z.im}; }

// Off the axes, where every branch cut of these functions lies.
std::vector<Complex> SamplePoints() {
  const double parts[] = {-7.5, -2.25, -1.0, -0.6, -0.05, 1e-4, 0.35, 0.999, 1.7, 4.5, 19.0};
  std::vector<Complex> points;
  for (double re : parts) {
    for (double im : parts) points.push_back({re, im});
  }
  return points;
}

// Relative 1e-13, with an absolute floor of 32 eps (1 + |z|): formulas that
// take the logarithm of a modulus near 1, or subtract parts of size |z|,
// lose digits absolutely, so relative error is meaningless for a result
// near 0 (asin z ~ z for small z is computed as -i ln|iz + sqrt(1 - z^2)|).
void ExpectClose(const Complex& got, Std want, const Complex& z, const std::string& name) {
  const double size = 1 + std::abs(ToStd(z));
  const double allowed = 1e-13 * std::abs(want) + 32 * gDoubleEpsilon * size;
  EXPECT_LE(std::abs(ToStd(got) - want), allowed)
      << name << "(" << z.re << ", " << z.im << ") = " << ToStd(got) << ", want " << want;
}

struct Case {
  std::string name;
  Complex (*ours)(const Complex&);
  Std (*reference)(Std);
};

}  // namespace

TEST(ComplexFunctions, AgreeWithTheStandardLibraryOffTheCuts) {
  const std::vector<Case> cases = {
      {"Exp", Exp, [](Std z) { return std::exp(z); }},
      {"Log", Log, [](Std z) { return std::log(z); }},
      {"Log10", Log10, [](Std z) { return std::log10(z); }},
      {"Sqrt", Sqrt, [](Std z) { return std::sqrt(z); }},
      {"Sin", Sin, [](Std z) { return std::sin(z); }},
      {"Cos", Cos, [](Std z) { return std::cos(z); }},
      {"Tan", Tan, [](Std z) { return std::tan(z); }},
      {"Cot", Cot, [](Std z) { return 1.0 / std::tan(z); }},
      {"Sec", Sec, [](Std z) { return 1.0 / std::cos(z); }},
      {"Csc", Csc, [](Std z) { return 1.0 / std::sin(z); }},
      {"Sinh", Sinh, [](Std z) { return std::sinh(z); }},
      {"Cosh", Cosh, [](Std z) { return std::cosh(z); }},
      {"Tanh", Tanh, [](Std z) { return std::tanh(z); }},
      {"Coth", Coth, [](Std z) { return 1.0 / std::tanh(z); }},
      {"Sech", Sech, [](Std z) { return 1.0 / std::cosh(z); }},
      {"Csch", Csch, [](Std z) { return 1.0 / std::sinh(z); }},
      {"Asin", Asin, [](Std z) { return std::asin(z); }},
      {"Acos", Acos, [](Std z) { return std::acos(z); }},
      {"Atan", Atan, [](Std z) { return std::atan(z); }},
      {"Asinh", Asinh, [](Std z) { return std::asinh(z); }},
      {"Acosh", Acosh, [](Std z) { return std::acosh(z); }},
      {"Atanh", Atanh, [](Std z) { return std::atanh(z); }},
      {"Acot", Acot, [](Std z) { return std::atan(1.0 / z); }},
      {"Acsc", Acsc, [](Std z) { return std::asin(1.0 / z); }},
      {"Asec", Asec, [](Std z) { return std::acos(1.0 / z); }},
      {"Acsch", Acsch, [](Std z) { return std::asinh(1.0 / z); }},
      {"Asech", Asech, [](Std z) { return std::acosh(1.0 / z); }},
      {"Acoth", Acoth, [](Std z) { return std::atanh(1.0 / z); }},
  };
  for (const Complex& z : SamplePoints()) {
    for (const Case& c : cases) ExpectClose(c.ours(z), c.reference(ToStd(z)), z, c.name);
  }
}

// From the smallest subnormal to the largest double, huge parts next to tiny
// ones, on the cuts with both signs of zero (each cut taking its own side)
// and across the switches between forms: normwise within 4 ulps, and each
// part within 4 ulps of itself unless it is below that error of the whole.
TEST(ComplexFunctions, InverseFunctionsRootAndLogarithmMatchReferenceEverywhere) {
  static const auto table = ReadReferenceTable("accuracy_reference.txt");
  const std::pair<const char*, Complex (*)(const Complex&)> functions[] = {
      {"casin", Asin}, {"cacos", Acos},   {"casinh", Asinh}, {"cacosh", Acosh},
      {"catan", Atan}, {"catanh", Atanh}, {"csqrt", Sqrt},   {"clog", Log}};
  for (const auto& function : functions) {
    // Named apart from the pair: lambdas capture no structured binding in clang 14.
    const char* const name = function.first;
    const auto f = function.second;
    ASSERT_GT(table.at(name).size(), 2000u) << name;
    for (const auto& row : table.at(name)) {
      const Complex got = f({row[0], row[1]});
      const double wantRe = row[2], wantIm = row[3];
      const double norm = std::hypot(wantRe, wantIm);
      const auto where = [&] {
        std::ostringstream out;
        out.precision(17);
        out << name << "(" << row[0] << ", " << row[1] << ") = " << got.re << ", " << got.im << "; want " << wantRe
            << ", " << wantIm;
        return out.str();
      };
      const std::pair<double, double> parts[] = {{got.re, wantRe}, {got.im, wantIm}};
      if (std::isinf(norm)) {  // at a pole only the infinite part is defined
        for (const auto& [part, want] : parts) {
          if (std::isinf(want)) {
            EXPECT_EQ(part, want) << where();
          }
        }
        continue;
      }
      EXPECT_LE(std::hypot(got.re - wantRe, got.im - wantIm), 4 * gDoubleEpsilon * norm) << where();
      for (const auto& [part, want] : parts) {
        if (std::fabs(want) >= 4 * gDoubleEpsilon * norm) {
          EXPECT_LE(UlpError(part, want), 4) << where();
        }
      }
    }
  }
}

TEST(ComplexFunctions, InverseFunctionsReachTheirLimitsAtInfinity) {
  EXPECT_EQ(Atan({INFINITY, INFINITY}).re, std::numbers::pi / 2);
  EXPECT_EQ(Atan({INFINITY, INFINITY}).im, 0);
  EXPECT_EQ(Atanh({1, INFINITY}).re, 0);
  EXPECT_EQ(Asin({INFINITY, 0}).im, -INFINITY);
  EXPECT_EQ(Acos({-INFINITY, 1}).im, -INFINITY);
}

TEST(ComplexFunctions, PowerAgreesWithTheStandardLibrary) {
  const std::vector<Complex> exponents = {{2.5, 0}, {-1.25, 0}, {0.5, 1.5}, {-2, -0.75}, {3, 0}};
  for (const Complex& z : SamplePoints()) {
    if (std::abs(ToStd(z)) > 5) continue;
    for (const Complex& w : exponents) {
      const Std want = std::pow(ToStd(z), ToStd(w));
      const Complex got = Pow(z, w);
      EXPECT_LE(std::abs(ToStd(got) - want), 1e-13 * std::abs(want) + 1e-300)
          << "(" << z.re << ", " << z.im << ")^(" << w.re << ", " << w.im << ")";
    }
  }
}

TEST(ComplexFunctions, TangentsReachTheirLimitsForLargeParts) {
  for (double y : {400.0, 1e5, 1e300}) {
    const Complex t = Tan({0.7, y});
    EXPECT_EQ(t.re, 0.0);
    EXPECT_EQ(t.im, 1.0);
    const Complex h = Tanh({-y, 0.7});
    EXPECT_EQ(h.re, -1.0);
    EXPECT_EQ(h.im, 0.0);
  }
  EXPECT_EQ(Tan({0.7, -800}).im, -1.0);
  EXPECT_EQ(Cot({0.7, 800}).im, -1.0);
  EXPECT_EQ(Coth({800, 0.7}).re, 1.0);
}

TEST(ComplexFunctions, ValuesOnTheCutsFollowTheirOwnRules) {
  const double pi = std::numbers::pi;
  const double lnTwoPlusRootThree = std::log(2 + std::sqrt(3.0));
  auto expectEq = [](const Complex& got, double re, double im) {
    EXPECT_NEAR(got.re, re, 1e-15 * (1 + std::fabs(re)));
    EXPECT_NEAR(got.im, im, 1e-15 * (1 + std::fabs(im)));
  };
  expectEq(Log({-1, 0}), 0, pi);
  expectEq(Log({-1, -0.0}), 0, -pi);
  expectEq(Sqrt({-4, 0}), 0, 2);
  expectEq(Sqrt({-4, -0.0}), 0, 2);  // not -2i: y == 0 takes the real rule
  expectEq(Sqrt({4, 0}), 2, 0);
  expectEq(Sqrt({0, 2}), 1, 1);
  expectEq(Acos({2, 0}), 0, -lnTwoPlusRootThree);
  expectEq(Asin({2, 0}), pi / 2, -lnTwoPlusRootThree);
  expectEq(Asin({0.5, 0}), std::asin(0.5), 0);
  expectEq(Acosh({0.5, 0}), 0, std::acos(0.5));
  // q = (3 + 0i) / (-1 - 0i) = -3 - 0i: the quotient's zero sign picks -pi.
  expectEq(Atanh({2, 0}), std::atanh(0.5), -pi / 2);
  expectEq(Atan({0, 2}), pi / 2, std::atanh(0.5));  // y != 0: no shortcut
  expectEq(Asinh({0, 2}), lnTwoPlusRootThree, pi / 2);
}

TEST(ComplexFunctions, PowerIsExactWhereARealComputationWouldBe) {
  // The part that is 0 must be exactly 0.
  auto expectExactly = [](const Complex& got, double re, double im) {
    if (re == 0 || std::isinf(re)) {
      EXPECT_EQ(got.re, re);
    } else {
      EXPECT_NEAR(got.re, re, 1e-14 * std::fabs(re));
    }
    EXPECT_EQ(im, 0.0);
    EXPECT_EQ(got.im, 0.0);
  };
  expectExactly(Pow({0, 0}, {-1, 0}), gInf, 0);
  expectExactly(Pow({0, 0}, {0, 0}), 1, 0);
  expectExactly(Pow({0, 0}, {2.5, 0}), 0, 0);
  expectExactly(Pow({-2, 0}, {3, 0}), -8, 0);
  expectExactly(Pow({0, 1}, {2, 0}), -1, 0);
  const Complex minusI = Pow({0, 1}, {3, 0});
  EXPECT_EQ(minusI.re, 0.0);
  EXPECT_NEAR(minusI.im, -1, 1e-15);
  EXPECT_NEAR(Pow({-8, 0}, {1.0 / 3, 0}).im, std::sqrt(3.0), 1e-14);  // principal value
}

// The power's polar formula written out, with its exactness rules: a real
// base to a whole power has no imaginary part, i or -i to one no part but
// the one its parity leaves; 0 to a real power (not NaN) is 0, 1 or
// infinity.
Complex PolarPowerByHand(Complex z, Complex w) {
  const bool whole = w.im == 0 && std::trunc(w.re) == w.re;
  if (z.re == 0 && z.im == 0 && w.im == 0 && !std::isnan(w.re)) {
    return {w.re > 0 ? 0.0 : w.re == 0 ? 1.0 : INFINITY, 0.0};
  }
  const double logModulus = std::log(std::hypot(z.re, z.im));
  const double angle = std::atan2(z.im, z.re);
  const double a = angle * w.re + logModulus * w.im;
  const double m = std::exp(logModulus * w.re - angle * w.im);
  Complex result = {m * std::cos(a), m * std::sin(a)};
  if (whole && z.im == 0) result.im = 0;
  if (whole && z.re == 0 && std::fabs(z.im) == 1) {
    (std::trunc(w.re / 2) == w.re / 2 ? result.im : result.re) = 0;
  }
  return result;
}

// Bit for bit, on the edges of every rule: zeros of both signs, infinities
// and NaN in either part of either operand, moduli that underflow or
// overflow in the formula, exact powers.
TEST(ComplexFunctions, PowerKeepsThePolarFormulasBits) {
  const double baseParts[] = {0.0,    -0.0,  1.0,     -1.0,     0.5,       -3.0, 5e-324,
                              1e-200, 1e200, 1.7e308, INFINITY, -INFINITY, NAN};
  const double exponentParts[] = {0.0, -0.0, 1.0,  2.0,   3.0,      -1.0,      -2.0,
                                  7.0, 0.5,  -0.5, 1e300, INFINITY, -INFINITY, NAN};
  const double exponentImaginaryParts[] = {0.0, -0.0, 1.0, -0.75, INFINITY, NAN};
  auto sameBits = [](double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b) || (std::isnan(a) && std::isnan(b));
  };
  for (double zr : baseParts) {
    for (double zi : baseParts) {
      for (double wr : exponentParts) {
        for (double wi : exponentImaginaryParts) {
          const Complex got = Pow({zr, zi}, {wr, wi});
          const Complex want = PolarPowerByHand({zr, zi}, {wr, wi});
          ASSERT_TRUE(sameBits(got.re, want.re) && sameBits(got.im, want.im))
              << "(" << zr << ", " << zi << ")^(" << wr << ", " << wi << ") = (" << got.re << ", " << got.im
              << "), by hand (" << want.re << ", " << want.im << ")";
        }
      }
    }
  }
}

// The compiler takes the power's cos a and sin a from one sincos call: it
// must give the bits two separate calls give, for angles of every size,
// signed zeros, subnormals, NaN and infinities among them.
TEST(ComplexFunctions, OneSincosCallGivesTheBitsOfSeparateSinAndCos) {
  // Called through volatile pointers, so that the compiler cannot fuse them.
  double (*volatile sine)(double) = [](double a) { return std::sin(a); };
  double (*volatile cosine)(double) = [](double a) { return std::cos(a); };
  auto sameBits = [](double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); };
  std::vector<double> angles = {0.0,
                                -0.0,
                                4.9e-324,
                                -4.9e-324,
                                2.2e-308,
                                1e-200,
                                1e-8,
                                0.5,
                                0.785398163397448,
                                1.5707963267948966,
                                3.141592653589793,
                                6.283185307179586,
                                1e5,
                                1e22,
                                1e300,
                                1.7976931348623157e308,
                                gInf,
                                -gInf,
                                gNaN};
  std::mt19937_64 random(2718);
  for (int n = 0; n < 200000; ++n) angles.push_back(std::bit_cast<double>(random()));  // every exponent
  for (double a : angles) {
    double s = 0, c = 0;
    ::sincos(a, &s, &c);
    const double separateSin = sine(a), separateCos = cosine(a);
    ASSERT_TRUE((sameBits(s, separateSin) || (std::isnan(s) && std::isnan(separateSin))) &&
                (sameBits(c, separateCos) || (std::isnan(c) && std::isnan(separateCos))))
        << std::hexfloat << a;
  }
}

TEST(ComplexFunctions, RealOnlyFunctionsRefuseComplexOperands) {
  const Complex nan = gNaNComplex;
  auto isNaN = [](const Complex& z) { return std::isnan(z.re) && std::isnan(z.im); };
  EXPECT_EQ(Floor({2.5, 0}).re, 2);
  EXPECT_EQ(Floor({2.5, 0}).im, 0);
  EXPECT_TRUE(isNaN(Floor({2.5, 1})));
  EXPECT_TRUE(isNaN(Ceil({2.5, nan.im})));
  EXPECT_TRUE(isNaN(Min({1, 0}, {2, 1e-300})));
  EXPECT_EQ(Min({1, 0}, {2, 0}).re, 1);
  EXPECT_EQ(Max({1, 0}, {2, 0}).re, 2);
  EXPECT_EQ(Min({1, 0}, {nan.re, 0}).re, 1);
  EXPECT_TRUE(std::isnan(Max({nan.re, 0}, {1, 0}).re));
  EXPECT_DOUBLE_EQ(Atan2({-1, 0}, {0, 0}).re, 3 * std::numbers::pi / 2);
  EXPECT_DOUBLE_EQ(Atan2({1, 0}, {0, 0}).re, std::numbers::pi / 2);
  EXPECT_EQ(Sgn({-3, 0}).re, -1);
  EXPECT_EQ(Fact({5, 0}).re, 120);
  EXPECT_EQ(Mod({-1, 0}, {3, 0}).re, 2);
  EXPECT_EQ(Choose({5, 0}, {2, 0}).re, 10);
  EXPECT_EQ(Hypot({3, 0}, {4, 0}).re, 5);
  EXPECT_EQ(Bessel({2.5, 0}, {3, 0}).re, jv(2.5, 3));
  EXPECT_TRUE(isNaN(Bessel({2.5, 0}, {3, 1})));
  EXPECT_TRUE(isNaN(Choose({5, 0}, {2, -1})));
}
