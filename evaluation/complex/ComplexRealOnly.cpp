#include "evaluation/complex/ComplexFunctions.h"

#include "CoreUtilities/MathConstants.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/SpecialFunctions.h"

#include <cmath>

// Functions that only make sense on the real axis: defined where every
// operand's imaginary part is exactly 0 (a NaN one is not).

namespace {

bool IsReal(const Complex& z) { return z.im == 0; }

Complex Real(double x) { return {x, 0.0}; }

}  // namespace

Complex Sgn(const Complex& z) { return IsReal(z) ? Real(Sgn(z.re)) : gNaNComplex; }
Complex Floor(const Complex& z) { return IsReal(z) ? Real(std::floor(z.re)) : gNaNComplex; }
Complex Ceil(const Complex& z) { return IsReal(z) ? Real(std::ceil(z.re)) : gNaNComplex; }
Complex Fact(const Complex& z) { return IsReal(z) ? Real(Fact(z.re)) : gNaNComplex; }

Complex Mod(const Complex& a, const Complex& b) { return IsReal(a) && IsReal(b) ? Real(Mod(a.re, b.re)) : gNaNComplex; }

Complex Choose(const Complex& n, const Complex& k) {
  return IsReal(n) && IsReal(k) ? Real(Choose(n.re, k.re)) : gNaNComplex;
}

Complex Hypot(const Complex& a, const Complex& b) {
  return IsReal(a) && IsReal(b) ? Real(std::hypot(a.re, b.re)) : gNaNComplex;
}

Complex Min(const Complex& a, const Complex& b) {
  if (!IsReal(a) || !IsReal(b)) return gNaNComplex;
  return Real(b.re < a.re ? b.re : a.re);
}

Complex Max(const Complex& a, const Complex& b) {
  if (!IsReal(a) || !IsReal(b)) return gNaNComplex;
  return Real(b.re > a.re ? b.re : a.re);
}

Complex Atan2(const Complex& y, const Complex& x) {
  if (!IsReal(y) || !IsReal(x)) return gNaNComplex;
  const double angle = std::atan2(y.re, x.re);
  return Real(angle < 0 || std::isnan(angle) ? angle + 2 * gPi : angle);
}

Complex Bessel(const Complex& order, const Complex& x) {
  return IsReal(order) && IsReal(x) ? Real(jv(order.re, x.re)) : gNaNComplex;
}
