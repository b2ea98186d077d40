#include "evaluation/complex/ComplexFunctions.h"

#include "CoreUtilities/MathConstants.h"

#include <algorithm>
#include <cmath>

// Inverse trigonometric and hyperbolic functions of a complex argument.
// Each is the principal branch computed in the first quadrant by the
// textbook forms that neither overflow before the result does nor cancel
// (the modulus sums |z + 1| + |z - 1| for the arc sine and cosine, log1p of
// 4x / |1 - z|^2 for the arc tangent), and then given its signs; signed
// zeros pick the side of a cut. On a cut itself the
// functions below choose the side their closed formulas of logarithms and
// square roots always gave, whatever the sign of the zero.

namespace {

constexpr double kLn2 = 0.693147180559945309417;
constexpr double kHalfPi = 1.57079632679489661923;
// Below this size z, and above the larger one 1 next to z^2, is lost in the
// rounding of every component.
constexpr double kTiny = 0x1p-27;
constexpr double kLarge = 0x1p28;
// Below this y next to the distance of x from 1, y^2 underflows before it
// stops mattering.
constexpr double kNegligibleY = 0x1p-500;
constexpr double kHugeForArcTangent = 0x1p500;
constexpr double kCrossB = 0.6417;
constexpr double kCrossA = 1.5;

struct ArcSineParts {
  double asinRe;  // real part of the arc sine
  double acosRe;  // real part of the arc cosine
  double im;      // |imaginary part| of both
};

// ln |x + iy| for huge parts, without overflow in the modulus.
double LogOfLargeModulus(double x, double y) {
  if (std::max(x, y) > 0x1p1020) return std::log(std::hypot(x * 0.25, y * 0.25)) + 2 * kLn2;
  return std::log(std::hypot(x, y));
}

// x >= 0, y >= 0.
ArcSineParts FirstQuadrantArcSine(double x, double y) {
  if (std::max(x, y) >= kLarge) {
    // asin z = -i ln(2iz) + O(1/z^2).
    return {std::atan2(x, y), std::atan2(y, x), LogOfLargeModulus(x, y) + kLn2};
  }
  if (std::max(x, y) < kTiny) return {x, kHalfPi - x, y};
  if (x < 1 && y < kNegligibleY) {
    return {std::asin(x), std::acos(x), y / std::sqrt((1 - x) * (1 + x))};
  }
  const double r = std::hypot(x + 1, y);
  const double s = std::hypot(x - 1, y);
  const double a = 0.5 * (r + s);
  const double b = x / a;
  ArcSineParts p{};
  if (b <= kCrossB) {
    p.asinRe = std::asin(b);
    p.acosRe = std::acos(b);
  } else if (x <= 1) {
    const double t = std::sqrt(0.5 * (a + x) * (y * y / (r + (x + 1)) + (s + (1 - x))));
    p.asinRe = std::atan(x / t);
    p.acosRe = std::atan(t / x);
  } else {
    const double t = y * std::sqrt(0.5 * ((a + x) / (r + (x + 1)) + (a + x) / (s + (x - 1))));
    p.asinRe = std::atan(x / t);
    p.acosRe = std::atan(t / x);
  }
  if (a <= kCrossA) {
    // 2(a - 1) without cancellation; halved only after the product, which a
    // subnormal 2(a - 1) would not survive.
    const double twiceAm1 =
        x < 1 ? y * y / (r + (x + 1)) + y * y / (s + (1 - x)) : y * y / (r + (x + 1)) + (s + (x - 1));
    p.im = std::log1p(0.5 * twiceAm1 + std::sqrt(twiceAm1 * (0.5 * (a + 1))));
  } else {
    p.im = std::log(a + std::sqrt(a * a - 1));
  }
  return p;
}

Complex ArcSine(double x, double y) {
  const ArcSineParts p = FirstQuadrantArcSine(std::fabs(x), std::fabs(y));
  return {std::copysign(p.asinRe, x), std::copysign(p.im, y)};
}

Complex ArcCosine(double x, double y) {
  const ArcSineParts p = FirstQuadrantArcSine(std::fabs(x), std::fabs(y));
  return {std::signbit(x) ? gPi - p.acosRe : p.acosRe, -std::copysign(p.im, y)};
}

// x >= 0, y >= 0: atanh z = ln((1 + z)/(1 - z))/2.
Complex FirstQuadrantArcTanh(double x, double y) {
  if (std::max(x, y) >= kHugeForArcTangent) {
    // atanh z = 1/z + i pi/2 + O(1/z^3); Re(1/z) scaled against overflow.
    if (std::isinf(x) || std::isinf(y)) return {0.0, kHalfPi};
    const double re = x >= y ? 1 / (x + y * (y / x)) : (x / y) / (y + x * (x / y));
    return {re, kHalfPi};
  }
  if (std::max(x, y) < kTiny) return {x, y};
  const double oneMinusX = 1 - x;
  const double d = oneMinusX * oneMinusX + y * y;
  const double re = d >= 0x1p-900 ? 0.25 * std::log1p(4 * x / d)
                                  : 0.5 * (std::log(std::hypot(1 + x, y)) - std::log(std::hypot(oneMinusX, y)));
  const double im = 0.5 * std::atan2(2 * y, std::fma(oneMinusX, 1 + x, -y * y));
  return {re, im};
}

Complex ArcTanh(double x, double y) {
  const Complex p = FirstQuadrantArcTanh(std::fabs(x), std::fabs(y));
  return {std::copysign(p.re, x), std::copysign(p.im, y)};
}

// The zero that stands for the side of a cut: +0 for the upper (or right)
// side, -0 for the lower (or left).
double CutSide(bool upper) { return upper ? 0.0 : -0.0; }

}  // namespace

Complex Asin(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::asin(x), 0.0};
  // Real x beyond 1 takes its value from below, beyond -1 from above.
  return ArcSine(x, y == 0 ? CutSide(x < -1) : y);
}

Complex Acos(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::acos(x), 0.0};
  // Real x beyond 1 from above, beyond -1 from below.
  return ArcCosine(x, y == 0 ? CutSide(x > 1) : y);
}

Complex Asinh(const Complex& z) {
  // asinh z = -i asin(iz). The cut of the imaginary axis: from the right
  // above i, from the left below -i; real x gives a +0 imaginary part.
  const double x = z.re == 0 ? CutSide(!(z.im < -1)) : z.re;
  const double y = z.im == 0 ? 0.0 : z.im;
  const Complex w = ArcSine(-y, x);
  return {w.im, -w.re};
}

Complex Acosh(const Complex& z) {
  // Real x below -1 from below, between -1 and 1 from above.
  const double y = z.im == 0 ? CutSide(!(z.re < -1)) : z.im;
  const Complex w = ArcCosine(z.re, y);
  // +-i acos z, whichever has a real part >= 0.
  return std::signbit(w.im) ? Complex{-w.im, w.re} : Complex{w.im, -w.re};
}

Complex Atan(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0) return {std::atan(x), 0.0};
  // atan z = -i atanh(iz). The cut of the imaginary axis: from the right
  // above i, from the left below -i.
  const Complex w = ArcTanh(-y, x == 0 && std::fabs(y) > 1 ? CutSide(y > 1) : x);
  return {w.im, -w.re};
}

Complex Atanh(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::atanh(x), 0.0};
  // Real x beyond 1 from below, beyond -1 from above.
  return ArcTanh(x, y == 0 ? CutSide(x < -1) : y);
}
