#include "graphs2d/NumberRounding.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/MathConstants.h"

namespace {
// 10^n for n >= 0 by repeated multiplication: exact up to 10^22, infinite
// past the double range.
double PowerOfTen(int n) {
  double p = 1.0;
  for (int i = 0; i < n && std::isfinite(p); ++i) p *= 10.0;
  return p;
}
}  // namespace

double RoundDouble(double v, int digits) {
  if (v == 0.0 || !std::isfinite(v)) return v;
  const int d = std::clamp(digits - 1, 0, 14);
  const int k = DoubleToInt32(std::floor(std::log10(std::fabs(v))));
  // Multiplying by 0.1 repeatedly drifts (123456 to 2 digits gave
  // 119999.99999999996), so negative exponents divide by an exact 10^(k-d).
  if (d - k >= 0) {
    const double s = PowerOfTen(d - k);
    if (!std::isfinite(s)) return v;
    return std::floor(v * s + 0.5) / s;
  }
  const double p = PowerOfTen(k - d);
  if (!std::isfinite(p)) return v;
  return std::floor(v / p + 0.5) * p;
}

double CleanDouble(double a, double b, double s) {
  const double v = a + s * (b - a);
  if (!std::isfinite(v)) return v;
  const double noise = 0.5 * gDoubleEpsilon * (std::fabs(a) + std::fabs(b));
  if (std::fabs(v) <= noise) return 0.0;
  return RoundDouble(v, DoubleToInt32(std::log10(std::fabs(v) / noise)));
}
