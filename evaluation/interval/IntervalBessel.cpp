#include <algorithm>
#include <cmath>

#include "evaluation/interval/IntervalSpecial.h"
#include "evaluation/special/RealFunctions.h"
#include "evaluation/special/SpecialFunctions.h"

namespace {

// Below this the point function gives 0 for every order.
constexpr double kBesselTiny = 2.220446049250313e-16;

// J'_n(t) = (J_(n-1)(t) - J_(n+1)(t)) / 2.
double BesselSlope(double n, double t) { return 0.5 * (jv(n - 1, t) - jv(n + 1, t)); }

// The stationary point of J_n between a and b, where the slope changes sign:
// the Illinois variant of false position, with a bisection whenever a step
// fails to halve the bracket (the slope of J_n at 0 vanishes to high order).
double StationaryPoint(double n, double a, double b, double slopeA, double slopeB) {
  int keptSide = 0;
  bool bisect = false;
  for (int i = 0; i < 200 && b - a > 1e-13 * std::max(1.0, std::abs(a)); ++i) {
    const double width = b - a;
    double c = bisect ? 0.5 * (a + b) : (a * slopeB - b * slopeA) / (slopeB - slopeA);
    if (!(c > a && c < b)) c = 0.5 * (a + b);
    const double slopeC = BesselSlope(n, c);
    if (slopeC == 0 || std::isnan(slopeC)) return c;
    if ((slopeC > 0) == (slopeA > 0)) {
      a = c;
      slopeA = slopeC;
      if (keptSide == -1) slopeB *= 0.5;
      keptSide = -1;
    } else {
      b = c;
      slopeB = slopeC;
      if (keptSide == 1) slopeA *= 0.5;
      keptSide = 1;
    }
    bisect = b - a > 0.5 * width;
  }
  return 0.5 * (a + b);
}

// Narrow argument, single order: the end values and, when the slope turns
// between them, the extremum. Stationary points of J_n lie more than pi/2
// apart, so a box this narrow holds at most one.
Interval BesselOverNarrowArgument(double n, const Interval& x) {
  const double va = jv(n, x.lower), vb = jv(n, x.upper);
  Interval r = {std::min(va, vb), std::max(va, vb)};
  if (x.lower == x.upper) return r;
  // A positive fractional order rises from J = 0 at 0 like t^n, steeper than
  // any slope the point function can show at an end that small.
  const bool risesFromZero = n > 0 && !IsInteger(n) && x.lower <= kBesselTiny;
  const double sa = risesFromZero ? 1.0 : BesselSlope(n, x.lower), sb = BesselSlope(n, x.upper);
  if ((sa > 0 && sb < 0) || (sa < 0 && sb > 0)) {
    const double extremum = jv(n, StationaryPoint(n, x.lower, x.upper, sa, sb));
    r.lower = std::min(r.lower, extremum);
    r.upper = std::max(r.upper, extremum);
  }
  return r;
}

// A bound on |J_v(t)| for every order v in [lowestOrder, highestOrder]
// (lowestOrder >= 0) and |t| >= m > 0: 1, the uniform bounds
// 0.7858 |t|^(-1/3) and 0.6749 v^(-1/3), and sqrt(2 / (pi |t|)) for orders
// up to 1/2 only (higher orders overshoot it, J_10 by 29 %).
double BesselEnvelope(double lowestOrder, double highestOrder, double m) {
  double b = std::min(1.0, 0.7858 / std::cbrt(m));
  if (lowestOrder > 0) b = std::min(b, 0.6749 / std::cbrt(lowestOrder));
  if (highestOrder <= 0.5) b = std::min(b, std::sqrt(2 / (m * gPi)));
  return b;
}

}  // namespace

Interval Bessel(const Interval& n, const Interval& x) {
  if (IsExterior(x) || IsExterior(n) || IsUndefined(n)) return kWholeLine;
  const bool singleOrder = IsSinglePoint(n);
  const bool integerOrder = singleOrder && IsInteger(n.lower);
  // J_(-k) = (-1)^k J_k: a negative integer order is bounded like k.
  const Interval orders = integerOrder ? Interval{std::abs(n.lower), std::abs(n.lower)} : n;
  if (orders.lower < 0) {
    // Negative non-integer orders grow without bound towards 0, are
    // undefined left of it, and up to about t = |n| + 1 may turn twice within
    // pi/2; only a single order beyond that is tractable.
    if (!singleOrder || IsUndefined(x) || !(x.lower > std::abs(n.lower) + 2) || x.upper - x.lower > gPi * 0.5) {
      return kWholeLine;
    }
    return BesselOverNarrowArgument(n.lower, x);
  }
  if (singleOrder && x.upper - x.lower <= gPi * 0.5) return BesselOverNarrowArgument(n.lower, x);
  if ((x.lower > 0 && x.upper > 0) || (x.lower < 0 && x.upper < 0)) {
    const double b = BesselEnvelope(orders.lower, orders.upper, std::min(std::abs(x.lower), std::abs(x.upper)));
    return {-b, b};
  }
  return {-1, 1};
}
