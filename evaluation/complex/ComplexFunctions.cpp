#include "evaluation/complex/ComplexFunctions.h"

#include "CoreUtilities/MathConstants.h"

#include <algorithm>
#include <cmath>

// Elementary complex functions by closed formulas over the real library.

namespace {

constexpr double kLn10 = 2.30258509299404568402;
constexpr double kLogOf2 = 0.693147180559945309417;

double ArgOf(const Complex& z) { return std::atan2(z.im, z.re); }

// ln |z|. Near |z| = 1 the logarithm of the rounded modulus would lose the
// whole answer: there |z|^2 - 1 is summed from exact squares instead.
double LogAbs(const Complex& z) {
  const double a = std::max(std::fabs(z.re), std::fabs(z.im));
  const double b = std::min(std::fabs(z.re), std::fabs(z.im));
  const double aa = a * a, bb = b * b;
  if (a > 0x1p1020) return std::log(std::hypot(z.re * 0.25, z.im * 0.25)) + 2 * kLogOf2;
  // Subnormal parts are scaled into the normal range before hypot rounds them.
  if (a < 0x1p-1000) return std::log(std::hypot(z.re * 0x1p600, z.im * 0x1p600)) - 600 * kLogOf2;
  if (aa + bb < 0.5 || aa + bb > 2) return std::log(std::hypot(z.re, z.im));
  const double aaError = std::fma(a, a, -aa);
  const double bbError = std::fma(b, b, -bb);
  const double s = aa - 1;
  const double v = s - aa;
  const double gComplexError = (aa - (s - v)) + (-1 - v);  // what aa - 1 rounded away
  return 0.5 * std::log1p((s + bb) + (gComplexError + aaError + bbError));
}

// 1/w, dividing through by the part of larger magnitude so that neither
// square overflows.
Complex Reciprocal(const Complex& w) {
  if (std::fabs(w.re) < std::fabs(w.im)) {
    const double r = w.re / w.im;
    const double d = w.re * r + w.im;
    return {r / d, -1.0 / d};
  }
  const double r = w.im / w.re;
  const double d = w.im * r + w.re;
  return {1.0 / d, -r / d};
}

}  // namespace

Complex Exp(const Complex& z) {
  const double m = std::exp(z.re);
  return {m * std::cos(z.im), m * std::sin(z.im)};
}

Complex Log(const Complex& z) { return {LogAbs(z), ArgOf(z)}; }

Complex Log10(const Complex& z) { return {LogAbs(z) / kLn10, ArgOf(z) / kLn10}; }

Complex Sqrt(const Complex& z) {
  if (z.im == 0) {
    if (z.re >= 0) return {std::sqrt(z.re), 0.0};
    return {0.0, std::sqrt(-z.re)};
  }
  if (std::isnan(z.re) || std::isnan(z.im)) return gNaNComplex;
  // t = sqrt((|x| + |z|)/2) is the larger part; the other is y/(2t), so the
  // smaller part keeps its own digits (no cos of a rounded pi/2). Parts are
  // scaled by an even power of 2 where |x| + |z| would overflow or lose
  // digits below the normal range.
  double x = std::fabs(z.re), y = z.im;
  double unscale = 1;
  const double m = std::max(x, std::fabs(y));
  if (m > 0x1p1020) {
    x *= 0x1p-4;
    y *= 0x1p-4;
    unscale = 4;
  } else if (m < 0x1p-1000) {
    x *= 0x1p600;
    y *= 0x1p600;
    unscale = 0x1p-300;
  }
  const double t = std::sqrt(0.5 * (x + std::hypot(x, y)));
  const double other = std::fabs(y) / (2 * t);
  if (z.re >= 0) return {t * unscale, std::copysign(other, y) * unscale};
  return {other * unscale, std::copysign(t, y) * unscale};
}

Complex Sin(const Complex& z) { return {std::sin(z.re) * std::cosh(z.im), std::cos(z.re) * std::sinh(z.im)}; }

Complex Cos(const Complex& z) { return {std::cos(z.re) * std::cosh(z.im), -std::sin(z.re) * std::sinh(z.im)}; }

Complex Sinh(const Complex& z) { return {std::sinh(z.re) * std::cos(z.im), std::cosh(z.re) * std::sin(z.im)}; }

Complex Cosh(const Complex& z) { return {std::cosh(z.re) * std::cos(z.im), std::sinh(z.re) * std::sin(z.im)}; }

Complex Tan(const Complex& z) {
  const double coshTwoY = std::cosh(2 * z.im);
  // Where cosh 2y overflows the quotients below would be inf/inf; the value
  // has reached its limit +-i there.
  if (std::isinf(coshTwoY)) return {std::copysign(0.0, std::sin(2 * z.re)), std::copysign(1.0, z.im)};
  const double d = std::cos(2 * z.re) + coshTwoY;
  return {std::sin(2 * z.re) / d, std::sinh(2 * z.im) / d};
}

Complex Tanh(const Complex& z) {
  const double coshTwoX = std::cosh(2 * z.re);
  if (std::isinf(coshTwoX)) return {std::copysign(1.0, z.re), std::copysign(0.0, std::sin(2 * z.im))};
  const double d = coshTwoX + std::cos(2 * z.im);
  return {std::sinh(2 * z.re) / d, std::sin(2 * z.im) / d};
}

Complex Cot(const Complex& z) { return Reciprocal(Tan(z)); }
Complex Sec(const Complex& z) { return Reciprocal(Cos(z)); }
Complex Csc(const Complex& z) { return Reciprocal(Sin(z)); }
Complex Coth(const Complex& z) { return Reciprocal(Tanh(z)); }
Complex Sech(const Complex& z) { return Reciprocal(Cosh(z)); }
Complex Csch(const Complex& z) { return Reciprocal(Sinh(z)); }

Complex Acot(const Complex& z) { return Atan(Reciprocal(z)); }
Complex Acsc(const Complex& z) { return Asin(Reciprocal(z)); }
Complex Asec(const Complex& z) { return Acos(Reciprocal(z)); }
Complex Acsch(const Complex& z) { return Asinh(Reciprocal(z)); }
Complex Asech(const Complex& z) { return Acosh(Reciprocal(z)); }
Complex Acoth(const Complex& z) { return Atanh(Reciprocal(z)); }
