#include "evaluation/ComplexFunctions.h"

#include "CoreUtilities/MathConstants.h"

#include <cmath>

// Elementary complex functions by closed formulas over the real library.

namespace {

constexpr double kLn10 = 2.30258509299404568402;

double Abs(const Complex& z) { return std::hypot(z.re, z.im); }
double Arg(const Complex& z) { return std::atan2(z.im, z.re); }

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

// n/w by the same scaling.
Complex Quotient(const Complex& n, const Complex& w) {
  if (std::fabs(w.re) < std::fabs(w.im)) {
    const double r = w.re / w.im;
    const double d = w.re * r + w.im;
    return {(n.re * r + n.im) / d, (n.im * r - n.re) / d};
  }
  const double r = w.im / w.re;
  const double d = w.im * r + w.re;
  return {(n.re + n.im * r) / d, (n.im - n.re * r) / d};
}

// Sqrt of a value whose parts the inverse functions compute themselves.
Complex Sqrt(double re, double im) { return Sqrt(Complex{re, im}); }

}  // namespace

Complex Exp(const Complex& z) {
  const double m = std::exp(z.re);
  return {m * std::cos(z.im), m * std::sin(z.im)};
}

Complex Log(const Complex& z) { return {std::log(Abs(z)), Arg(z)}; }

Complex Log10(const Complex& z) { return {std::log(Abs(z)) / kLn10, Arg(z) / kLn10}; }

Complex Sqrt(const Complex& z) {
  if (z.im != 0) {
    const double r = std::sqrt(Abs(z));
    const double t = Arg(z);
    return {r * std::cos(t / 2), r * std::sin(t / 2)};
  }
  if (z.re >= 0) return {std::sqrt(z.re), 0.0};
  return {0.0, std::sqrt(std::fabs(z.re))};
}

Complex Sin(const Complex& z) {
  return {std::sin(z.re) * std::cosh(z.im), std::cos(z.re) * std::sinh(z.im)};
}

Complex Cos(const Complex& z) {
  return {std::cos(z.re) * std::cosh(z.im), -std::sin(z.re) * std::sinh(z.im)};
}

Complex Sinh(const Complex& z) {
  return {std::sinh(z.re) * std::cos(z.im), std::cosh(z.re) * std::sin(z.im)};
}

Complex Cosh(const Complex& z) {
  return {std::cosh(z.re) * std::cos(z.im), std::sinh(z.re) * std::sin(z.im)};
}

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

Complex Asin(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::asin(x), 0.0};
  const Complex s = Sqrt(1 - (x * x - y * y), 0 - 2 * x * y);
  const Complex u = {s.re - y, x + s.im};
  return {Arg(u), -std::log(Abs(u))};
}

Complex Acos(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::acos(x), 0.0};
  const Complex s = Sqrt(x * x - y * y - 1, 2 * x * y);
  const Complex u = {x + s.re, y + s.im};
  const double t = Arg(u);
  const double m = std::log(Abs(u));
  if (t >= 0) return {t, -m};
  return {-t, m};
}

Complex Asinh(const Complex& z) {
  const double x = z.re, y = z.im;
  const Complex s = Sqrt(x * x - y * y + 1, 2 * x * y);
  const Complex u = {x + s.re, y + s.im};
  return {std::log(Abs(u)), Arg(u)};
}

Complex Acosh(const Complex& z) {
  const double x = z.re, y = z.im;
  const Complex s = Sqrt(x * x - y * y - 1, 2 * x * y);
  const Complex u = {x + s.re, y + s.im};
  const double m = std::log(Abs(u));
  const double t = Arg(u);
  if (m >= 0) return {m, t};
  return {-m, -t};
}

Complex Atan(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0) return {std::atan(x), 0.0};
  const Complex q = Quotient({1 - y, x}, {1 + y, -x});
  return {Arg(q) / 2, -std::log(Abs(q)) / 2};
}

Complex Atanh(const Complex& z) {
  const double x = z.re, y = z.im;
  if (y == 0 && x >= -1 && x <= 1) return {std::atanh(x), 0.0};
  const Complex q = Quotient({1 + x, y}, {1 - x, -y});
  return {std::log(Abs(q)) / 2, Arg(q) / 2};
}

Complex Acot(const Complex& z) { return Atan(Reciprocal(z)); }
Complex Acsc(const Complex& z) { return Asin(Reciprocal(z)); }
Complex Asec(const Complex& z) { return Acos(Reciprocal(z)); }
Complex Acsch(const Complex& z) { return Asinh(Reciprocal(z)); }
Complex Asech(const Complex& z) { return Acosh(Reciprocal(z)); }
Complex Acoth(const Complex& z) { return Atanh(Reciprocal(z)); }
