#include "evaluation/ComplexFunctions.h"

#include "evaluation/RealFunctions.h"

#include <cmath>

Complex Pow(Complex z, Complex w) {
  if (z.re == 0 && z.im == 0 && w.im == 0) {
    if (w.re > 0) return {0.0, 0.0};
    if (w.re == 0) return {1.0, 0.0};
    if (w.re < 0) return {gInf, 0.0};
  }
  const double logModulus = std::log(std::hypot(z.re, z.im));
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
