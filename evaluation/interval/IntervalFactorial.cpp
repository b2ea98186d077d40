#include <algorithm>
#include <cmath>

#include "evaluation/interval/IntervalSpecial.h"
#include "evaluation/special/RealFunctions.h"

namespace {

// Where Gamma(x + 1) takes its least value on (-1, +inf).
constexpr double kFactMinimumAt = 0.4616321449683623;

// Digamma for y > 0: shifted up past 10, then the asymptotic series.
double DigammaOfPositive(double y) {
  double shift = 0;
  while (y < 10) {
    shift -= 1 / y;
    y += 1;
  }
  const double r = 1 / (y * y);
  return shift + std::log(y) - 0.5 / y - r * (1.0 / 12 - r * (1.0 / 120 - r * (1.0 / 252 - r * (1.0 / 240 - r / 132))));
}

// The one turning point of Gamma(x + 1) between the poles -k-1 and -k
// (k >= 1). With x + 1 = -k + d, digamma(x + 1) = 0 becomes
// tan(pi d) = pi / digamma(k + 1 - d) by the reflection formula; the right
// side hardly moves with d, so a few fixed-point steps settle it.
double FactTurningPoint(double k) {
  double d = 0.5;
  for (int i = 0; i < 50; ++i) {
    const double next = std::atan2(gPi, DigammaOfPositive(k + 1 - d)) / gPi;
    if (next == d) break;
    d = next;
  }
  return -k - 1 + d;
}

}  // namespace

Interval Fact(const Interval& x) {
  if (x.lower < -1 && std::floor(x.lower) != std::floor(x.upper)) return kWholeLine;
  if (!(x.lower <= x.upper)) return kWholeLine;
  const double f1 = ::Fact(x.lower), f2 = ::Fact(x.upper);
  if (std::isnan(f1) || std::isnan(f2)) return kWholeLine;
  Interval r = {std::min(f1, f2), std::max(f1, f2)};
  const double turning = x.lower < -1 ? FactTurningPoint(-std::floor(x.lower) - 1) : kFactMinimumAt;
  if (x.lower < turning && turning < x.upper) {
    const double extremum = ::Fact(turning);
    if (extremum > 0) {
      r.lower = std::min(r.lower, extremum);
    } else {
      r.upper = std::max(r.upper, extremum);
    }
  }
  return r;
}

Interval Choose(const Interval& n, const Interval& k) {
  if (IsSinglePoint(n) && IsSinglePoint(k)) {
    const double c = ::Choose(n.lower, k.lower);
    return {c, c};
  }
  return Fact(n) * Inverse(Fact(k) * Fact(n - k));
}
