#include "evaluation/special/RealPower.h"

#include <bit>
#include <cmath>
#include <iterator>

namespace {

constexpr int kLargestWholeExponent = 8;
#define ZL_WHOLE_POWERS(X) X(-8) X(-7) X(-6) X(-5) X(-4) X(-3) X(-2) X(-1) X(0) X(1) X(2) X(3) X(4) X(5) X(6) X(7) X(8)
// Every power up to the 8th of a base within 2^-100..2^100, and each
// product's error term, stays a normal double, so the error terms are exact.
constexpr double kSmallestBase = 0x1p-100;
constexpr double kLargestBase = 0x1p100;

struct ExactProduct {
  double rounded;
  double error;  // a * b - rounded, exactly
};

// The product from factors cut into halves of 26 bits, for processors
// without a fused multiply-add; its error term is the same exact number the
// fused form gives, so results do not depend on the processor.
[[gnu::always_inline]] inline ExactProduct SplitProduct(double a, double b) {
  constexpr double kSplitter = 0x1p27 + 1;
  const double p = a * b;
  const double ta = kSplitter * a, aHigh = ta - (ta - a), aLow = a - aHigh;
  const double tb = kSplitter * b, bHigh = tb - (tb - b), bLow = b - bHigh;
  return {p, ((aHigh * bHigh - p) + aHigh * bLow + aLow * bHigh) + aLow * bLow};
}

[[gnu::always_inline]] inline ExactProduct FusedProduct(double a, double b) {
  const double p = a * b;
  return {p, __builtin_fma(a, b, -p)};
}

// x^m for 2 <= m <= 8, squaring from the exponent's leading bit down, as
// h + c: h the rounded power, c its error to first order. The exponent is
// fixed for each copy, so the steps run straight.
template <ExactProduct (*kProduct)(double, double), unsigned kM>
struct Compensated {
  static constexpr int kFirstBit = static_cast<int>(std::bit_width(kM)) - 2;  // below the leading one
  double h, c;
  [[gnu::always_inline]] explicit Compensated(double x) {
    h = x;
    c = 0;
    Step<kFirstBit>(x);
  }
  template <int kBit>
  [[gnu::always_inline]] void Step(double x) {
    if constexpr (kBit >= 0) {
      const ExactProduct square = kProduct(h, h);
      c = kBit == kFirstBit ? square.error : 2 * h * c + square.error;  // c is 0 before the first
      h = square.rounded;
      if constexpr ((kM >> kBit & 1) != 0) {
        const ExactProduct product = kProduct(h, x);
        c = c * x + product.error;
        h = product.rounded;
      }
      Step<kBit - 1>(x);
    }
  }
  [[gnu::always_inline]] double Sum() const { return h + c; }
  // 1 / (h + c), from the rounded reciprocal and one correcting step.
  [[gnu::always_inline]] double Reciprocal() const {
    const double q = 1 / h;
    const ExactProduct back = kProduct(q, h);
    const double residual = (1 - back.rounded) - back.error - q * c;
    return q + q * residual;
  }
};

// Bases whose powers may leave the normal range are rare: their call is
// kept out of the straight paths.
[[gnu::noinline, gnu::cold]] double PowerOfRareBase(double x, int n) { return std::pow(x, n); }

// x^kN for a whole kN from -8 to 8. Exponents 0, 1, 2 and -1 are one
// correctly rounded operation, or none, with std::pow's values at the
// zeros, infinities and NaN; the others take bases whose powers stay normal.
template <ExactProduct (*kProduct)(double, double), int kN>
[[gnu::always_inline]] inline double WholePowerWith(double x) {
  if constexpr (kN == 0) {
    return 1;
  } else if constexpr (kN == 1) {
    return x;
  } else if constexpr (kN == 2) {
    return x * x;
  } else if constexpr (kN == -1) {
    return 1 / x;
  } else {
    if (!(std::fabs(x) >= kSmallestBase && std::fabs(x) <= kLargestBase)) [[unlikely]]
      return PowerOfRareBase(x, kN);
    constexpr unsigned kM = kN < 0 ? -kN : kN;
    if constexpr (kN > 0) return Compensated<kProduct, kM>(x).Sum();
    return Compensated<kProduct, kM>(x).Reciprocal();
  }
}

// y's place among the whole exponents from -8 to 8 (y + 8), or -1.
[[gnu::always_inline]] inline int WholeExponentIndex(double y) {
  if (!(y >= -kLargestWholeExponent && y <= kLargestWholeExponent)) return -1;
  const int n = static_cast<int>(y);
  return n == y ? n + kLargestWholeExponent : -1;
}

template <ExactProduct (*kProduct)(double, double)>
[[gnu::always_inline]] inline double PowerWith(double x, double y) {
  const int index = WholeExponentIndex(y);
  if (index < 0) return std::pow(x, y);
  switch (index - kLargestWholeExponent) {
#define ZL_WHOLE_POWER(m) \
  case m: return WholePowerWith<kProduct, m>(x);
    ZL_WHOLE_POWERS(ZL_WHOLE_POWER)
#undef ZL_WHOLE_POWER
  }
  __builtin_unreachable();  // the index is from 0 to 16
}

template <int kN>
double SplitWholePower(double x) {
  return WholePowerWith<SplitProduct, kN>(x);
}

template <int kN>
[[gnu::target("fma")]] double FusedWholePower(double x) {
  return WholePowerWith<FusedProduct, kN>(x);
}

// By WholeExponentIndex.
#define ZL_WHOLE_POWER(m) &SplitWholePower<m>,
constexpr WholePowerFunction kSplitWholePowers[] = {ZL_WHOLE_POWERS(ZL_WHOLE_POWER)};
#undef ZL_WHOLE_POWER
#define ZL_WHOLE_POWER(m) &FusedWholePower<m>,
constexpr WholePowerFunction kFusedWholePowers[] = {ZL_WHOLE_POWERS(ZL_WHOLE_POWER)};
#undef ZL_WHOLE_POWER
static_assert(std::size(kSplitWholePowers) == 2 * kLargestWholeExponent + 1);
#undef ZL_WHOLE_POWERS

}  // namespace

double SplitRealPower(double x, double y) { return PowerWith<SplitProduct>(x, y); }
[[gnu::target("fma")]] double FusedRealPower(double x, double y) { return PowerWith<FusedProduct>(x, y); }

double (*gRealPower)(double x, double y) = &SplitRealPower;

WholePowerFunction WholeRealPower(double exponent, bool fused) {
  const int index = WholeExponentIndex(exponent);
  if (index < 0) return nullptr;
  return (fused ? kFusedWholePowers : kSplitWholePowers)[index];
}

WholePowerFunction WholeRealPower(double exponent) { return WholeRealPower(exponent, gRealPower == &FusedRealPower); }

namespace {

// Set before main for a processor with a fused multiply-add; a call made
// before that gets the same bits from the other version.
const bool kFusedChosen = [] {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("fma")) gRealPower = &FusedRealPower;
  return true;
}();

}  // namespace
