#include "evaluation/special/RealFunctions.h"

#include "CoreUtilities/MathConstants.h"
#include "evaluation/special/SpecialFunctions.h"
#include "expression/WholeNumberGcd.h"
#include "platform/CheckedConvert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Largest argument whose Gamma(x + 1) is finite is 170.6243...; everything
// above overflows, and the gamma routine itself would give NaN far above.
constexpr double kLargestFiniteFactorialArgument = 171.0;
constexpr int kLargestFiniteIntegerFactorial = 170;

// Product 2*3*...*n carried in two doubles, so that the final rounding is the
// only one: each factorial up to 170 comes out as the nearest double.
double ExactFactorial(int n) {
  double high = 1.0;
  double low = 0.0;
  for (int i = 2; i <= n; ++i) {
    const double product = high * i;
    const double productError = std::fma(high, i, -product);
    const double lowProduct = low * i + productError;
    high = product + lowProduct;
    low = lowProduct - (high - product);
  }
  return high + low;
}

constexpr double kTwoToThe53 = 9007199254740992.0;

// A product over more factors than this exceeds the largest double anyway,
// since C(n, s) >= 4^s / (2 sqrt(s)).
constexpr double kLongestBinomialProduct = 1100.0;

// C(n, s) by the multiplicative product; exact in 128-bit integers while it
// fits there, else in doubles (relative error about s * 2^-52).
double BinomialProduct(double n, double s) {
  unsigned __int128 exact = 1;
  double i = 1.0;
  for (; i <= s; ++i) {
    const auto factor = static_cast<unsigned __int128>(n - s + i);
    if (exact > std::numeric_limits<unsigned __int128>::max() / factor) break;
    exact = exact * factor / static_cast<unsigned __int128>(i);
  }
  double result = static_cast<double>(exact);
  for (; i <= s; ++i) result *= (n - s + i) / i;
  return result;
}

// A value carried as the unevaluated sum hi + lo.
struct DoubleDouble {
  double hi;
  double lo;
};

// a * b; only the rounding of the small a.lo * b is lost.
DoubleDouble Times(const DoubleDouble& a, double b) {
  const double hi = a.hi * b;
  const double lo = std::fma(a.hi, b, -hi) + a.lo * b;
  return {hi + lo, lo - ((hi + lo) - hi)};
}

// y^n to about 2^-100 relative, by n - 1 products: n is small.
DoubleDouble WholePower(double y, int n) {
  DoubleDouble p = {y, 0.0};
  for (int i = 1; i < n; ++i) p = Times(p, y);
  return p;
}

constexpr int kLargestCorrectedRootIndex = 64;

}  // namespace

double NthRoot(double x, int n) {
  const bool odd = n % 2 != 0;
  if (x == 0) return odd ? x : 0.0;
  if (n == 2) return std::sqrt(x);
  if (n < 2 || n > kLargestCorrectedRootIndex || !std::isfinite(x)) {
    if (x < 0 && odd) return -std::pow(-x, 1.0 / n);
    return std::pow(x, 1.0 / n);
  }
  if (x < 0 && !odd) return gNaN;
  // |x| = m 2^(n q) with m in [1, 2^n): the root of m is found in the normal
  // range, whatever the size of x, and 2^q is put back exactly.
  int exponent = 0;
  const double mantissa = 2 * std::frexp(std::fabs(x), &exponent);
  const int unbiased = exponent - 1;
  const int q = unbiased >= 0 ? unbiased / n : -((-unbiased + n - 1) / n);
  const double m = std::ldexp(mantissa, unbiased - n * q);
  // cbrt is the closer start for 3 but is itself off by up to 2 ulps (27
  // gives 3.0000000000000004).
  double y = n == 3 ? std::cbrt(m) : std::pow(m, 1.0 / n);
  // One Newton step on the residual y^n - m, computed almost exactly: it
  // lands on the exact root when that is a double (perfect powers), and
  // within an ulp of it otherwise.
  const DoubleDouble power = WholePower(y, n);
  const double residual = (power.hi - m) + power.lo;
  y -= residual / (n * (power.hi / y));
  return std::copysign(std::ldexp(y, q), x);
}

double Cot(double x) { return 1.0 / std::tan(x); }
double Sec(double x) { return 1.0 / std::cos(x); }
double Csc(double x) { return 1.0 / std::sin(x); }
double Coth(double x) { return 1.0 / std::tanh(x); }
double Csch(double x) { return 1.0 / std::sinh(x); }
double Sech(double x) { return 1.0 / std::cosh(x); }
double Acsc(double x) { return std::asin(1.0 / x); }
double Asec(double x) { return std::acos(1.0 / x); }
double Acsch(double x) { return std::asinh(1.0 / x); }
double Asech(double x) { return std::acosh(1.0 / x); }
double Acoth(double x) { return std::atanh(1.0 / x); }

double Acot(double x) {
  if (std::isnan(x)) return gNaN;
  if (x > 0) return std::atan(1.0 / x);
  if (x < 0) return std::atan(1.0 / x) + gPi;
  return 1.5707963267948966;
}

double Sgn(double x) {
  if (x > 0) return 1.0;
  if (x < 0) return -1.0;
  return x;
}

bool IsInteger(double x) { return x == std::trunc(x); }

bool IsEven(double x) { return x * 0.5 == std::trunc(x * 0.5); }

double Mod(double a, double b) {
  if (b == 0) return gNaN;
  // fmod is exact for every quotient; a - b floor(a/b) in doubles is not
  // once a/b passes 2^53. The one rounding is in moving to b's sign.
  const double r = std::fmod(a, b);
  if (r == 0) return 0.0;
  return (r < 0) == (b < 0) ? r : r + b;
}

double Fact(double x) {
  if (std::isnan(x)) return gNaN;
  if (x == 0) return 1.0;
  if (IsInteger(x)) {
    if (x < 0) return gNaN;
    if (x > kLargestFiniteIntegerFactorial) return gInf;
    return ExactFactorial(DoubleToInt32(x));
  }
  if (x > kLargestFiniteFactorialArgument) return gInf;
  const double t = x + 1.0;
  if (t < -kLargestFiniteFactorialArgument - 10.0) {
    // |Gamma| is below the smallest double here; its sign alternates
    // between the poles, negative where floor(t) is odd.
    return IsEven(std::floor(t)) ? 0.0 : -0.0;
  }
  int sign = 1;
  return special::mygamma(t, &sign);
}

double Choose(double n, double k) {
  const bool wholeArguments = n >= 0 && k >= 0 && IsInteger(n) && IsInteger(k) && n < kTwoToThe53;
  if (!wholeArguments) return Fact(n) / (Fact(k) * Fact(n - k));
  if (n < k) return 0.0;
  const double smaller = std::min(k, n - k);
  if (smaller <= 0) return 1.0;
  if (smaller <= kLongestBinomialProduct) return BinomialProduct(n, smaller);
  return std::exp(std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1));
}

double PowFrac(double base, double q, double p) {
  const double exponent = p / q;
  if (!IsWholeInt32(p) || !IsWholeInt32(q)) return std::pow(base, exponent);
  const double gcd = SIMP_Gcd(p, q);
  const double denominator = q / gcd;
  const double numerator = p / gcd;
  if (numerator == 1 && denominator >= 2 && IsWholeInt32(denominator)) return NthRoot(base, DoubleToInt32(denominator));
  if (!IsInteger(denominator) || IsEven(denominator) || !(base < 0)) {
    return std::pow(base, exponent);
  }
  const double root = std::pow(-base, exponent);
  return IsEven(numerator) ? root : -root;
}
