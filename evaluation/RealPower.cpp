#include "evaluation/RealPower.h"

#include <bit>
#include <cmath>

namespace {

constexpr int kLargestWholeExponent = 8;
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

template <ExactProduct (*kProduct)(double, double)>
[[gnu::always_inline]] inline double PowerWith(double x, double y) {
  if (!(y >= -kLargestWholeExponent && y <= kLargestWholeExponent)) return std::pow(x, y);
  const int n = static_cast<int>(y);
  if (n != y) return std::pow(x, y);
  // Exponents 0, 1, 2 and -1 are one correctly rounded operation, or none,
  // with std::pow's values at the zeros, infinities and NaN; the others
  // take bases whose powers stay normal.
  const bool normal = std::fabs(x) >= kSmallestBase && std::fabs(x) <= kLargestBase;
  // One line an exponent:
  // clang-format off
  switch (n) {
    case 0: return 1;
    case 1: return x;
    case 2: return x * x;
    case -1: return 1 / x;
#define ZL_WHOLE_POWER(m)                                                                  \
  case m: return normal ? Compensated<kProduct, m>(x).Sum() : std::pow(x, y);              \
  case -m: return normal ? Compensated<kProduct, m>(x).Reciprocal() : std::pow(x, y);
    ZL_WHOLE_POWER(3) ZL_WHOLE_POWER(4) ZL_WHOLE_POWER(5) ZL_WHOLE_POWER(6) ZL_WHOLE_POWER(7) ZL_WHOLE_POWER(8)
#undef ZL_WHOLE_POWER
    default: return normal ? Compensated<kProduct, 2>(x).Reciprocal() : std::pow(x, y);  // -2
  }
  // clang-format on
}

}  // namespace

double SplitRealPower(double x, double y) { return PowerWith<SplitProduct>(x, y); }
[[gnu::target("fma")]] double FusedRealPower(double x, double y) { return PowerWith<FusedProduct>(x, y); }

double (*gRealPower)(double x, double y) = &SplitRealPower;

namespace {

// Set before main for a processor with a fused multiply-add; a call made
// before that gets the same bits from the other version.
const bool kFusedChosen = [] {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("fma")) gRealPower = &FusedRealPower;
  return true;
}();

}  // namespace
