#include "evaluation/complex/ComplexFunctions.h"

#include "evaluation/special/RealFunctions.h"

#include <cmath>

namespace {

// z^w in polar form, |z| given.
[[gnu::always_inline]] inline Complex PolarPower(Complex z, Complex w, double modulus) {
  const double logModulus = std::log(modulus);
  const double angle = std::atan2(z.im, z.re);
  const double a = angle * w.re + logModulus * w.im;
  const double m = std::exp(logModulus * w.re - angle * w.im);
  Complex result = {m * std::cos(a), m * std::sin(a)};

  // A real base to a whole power, and i or -i to one, are exact: no
  // rounding residue of the angle may survive in the part that is 0. The
  // base is looked at first: most bases are neither.
  const bool realBase = z.im == 0;
  const bool unitImaginaryBase = z.re == 0 && std::fabs(z.im) == 1;
  if (!realBase && !unitImaginaryBase) return result;
  const bool wholeRealExponent = w.im == 0 && IsInteger(w.re);
  if (wholeRealExponent && realBase) result.im = 0;
  if (wholeRealExponent && unitImaginaryBase) {
    if (IsEven(w.re)) {
      result.im = 0;
    } else {
      result.re = 0;
    }
  }
  return result;
}

// Zero to a real power has its own values; to a NaN or a complex power it
// takes the polar form. Apart, so that the common base's path tests one
// thing for it.
[[gnu::cold, gnu::noinline]] Complex PowerOfZero(Complex z, Complex w) {
  if (w.im == 0) {
    if (w.re > 0) return {0.0, 0.0};
    if (w.re == 0) return {1.0, 0.0};
    if (w.re < 0) return {gInf, 0.0};
  }
  return PolarPower(z, w, 0.0);
}

}  // namespace

// The modulus is 0 exactly where both parts are zeros of either sign: the
// zero base costs any other one test, after a call the formula makes anyway.
Complex Pow(Complex z, Complex w) {
  const double modulus = std::hypot(z.re, z.im);
  if (modulus == 0) [[unlikely]]
    return PowerOfZero(z, w);
  return PolarPower(z, w, modulus);
}
