#include "evaluation/interval/IntervalTrig.h"

#include <algorithm>
#include <cmath>

#include "evaluation/special/RealFunctions.h"

namespace {

constexpr double kOneOverPi = 0.3183098861837907;
constexpr double kTwoPi = 2 * gPi;
// Beyond this magnitude neighbouring doubles are too coarse for a half
// period to be told from its neighbours by the scaled index.
constexpr double kLargestReducible = 1125899906842624.0;  // 2^50

// Index k of the half period holding t: [k pi, (k+1) pi] for the cosine,
// [k pi - pi/2, k pi + pi/2] for the sine. In half period k the derivative's
// companion (sin t for the cosine, cos t for the sine) has the sign of
// (-1)^k; the library's accurately reduced companion corrects an index that
// the rounded scaling put on the wrong side of a boundary.
double HalfPeriodIndex(double t, bool sine, double companion) {
  const double scaled = t * kOneOverPi + (sine ? 0.5 : 0.0);
  double k = std::floor(scaled);
  const bool evenIndex = IsEven(k);
  if ((companion > 0 && !evenIndex) || (companion < 0 && evenIndex)) k += scaled - k < 0.5 ? -1 : 1;
  return k;
}

Interval TanOrCot(const Interval& x, bool tangent) {
  if (std::isinf(x.lower) || std::isinf(x.upper) || !IsOrdinary(x)) return kWholeLine;
  if (x.upper - x.lower >= gPi) return kWholeLine;
  const double shift = tangent ? gPi / 2 : 0.0;
  const double ua = (x.lower + shift) / gPi, ub = (x.upper + shift) / gPi;
  const double ka = std::floor(ua), kb = std::floor(ub);
  if (ka != kb || ua == ka || ub == kb) return kWholeLine;
  // Within one period the function is monotone; ends out of order betray a
  // pole that rounding hid from the index.
  if (tangent) {
    const double tl = std::tan(x.lower), tu = std::tan(x.upper);
    return tl <= tu ? Interval{tl, tu} : kWholeLine;
  }
  const double cl = ::Cot(x.lower), cu = ::Cot(x.upper);
  return cu <= cl ? Interval{cu, cl} : kWholeLine;
}

double NearestToZero(const Interval& a) {
  if (IsExterior(a)) return a.lower > 0 && a.upper < 0 ? std::min(a.lower, -a.upper) : 0.0;
  if (ContainsZero(a)) return 0.0;
  return std::min(std::abs(a.lower), std::abs(a.upper));
}

double FarthestFromZero(const Interval& a) {
  if (IsExterior(a)) return gInf;
  return std::max(std::abs(a.lower), std::abs(a.upper));
}

double AngleInZeroTwoPi(double a) { return a < 0 || std::isnan(a) ? a + kTwoPi : a; }

}  // namespace

Interval sincos(const Interval& x, int which) {
  if (std::isinf(x.lower) || std::isinf(x.upper) || IsExterior(x)) return {-1, 1};
  if (IsUndefined(x)) return gNaNInterval;
  if (x.upper - x.lower >= kTwoPi) return {-1, 1};
  const bool sine = which == 1;
  if (x.lower != x.upper && std::max(std::abs(x.lower), std::abs(x.upper)) > kLargestReducible) return {-1, 1};
  const double sa = std::sin(x.lower), ca = std::cos(x.lower);
  const double sb = std::sin(x.upper), cb = std::cos(x.upper);
  const double va = sine ? sa : ca, vb = sine ? sb : cb;
  const double ka = HalfPeriodIndex(x.lower, sine, sine ? ca : sa);
  const double kb = HalfPeriodIndex(x.upper, sine, sine ? cb : sb);
  const double d = kb - ka;
  if (d == 0) return {std::min(va, vb), std::max(va, vb)};
  if (d != 1) return {-1, 1};
  // One turning point between the ends: the cosine peaks after an odd half
  // period, the sine after an even one.
  const bool peak = sine ? IsEven(ka) : !IsEven(ka);
  return peak ? Interval{std::min(va, vb), 1} : Interval{-1, std::max(va, vb)};
}

Interval Tan(const Interval& x) { return TanOrCot(x, true); }
Interval Cot(const Interval& x) { return TanOrCot(x, false); }
Interval Sec(const Interval& x) { return Inverse(sincos(x, 0)); }
Interval Csc(const Interval& x) { return Inverse(sincos(x, 1)); }

Interval Atan2(const Interval& y, const Interval& x) {
  if (IsUndefined(y) || IsUndefined(x)) return gNaNInterval;
  if (IsExterior(y) || IsExterior(x)) return {0, kTwoPi};
  double a1, a2;
  if (y.lower >= 0 || y.upper < 0) {
    const double x1 = y.upper > 0 ? x.upper : x.lower;
    const double x2 = y.upper > 0 ? x.lower : x.upper;
    a1 = AngleInZeroTwoPi(std::atan2(x1 <= 0 ? y.upper : y.lower, x1));
    a2 = std::atan2(x2 < 0 ? y.lower : y.upper, x2);
    if (y.lower == 0 && y.upper > 0 && x.upper == 0) a1 = 0;  // the origin is a corner: atan2(0, 0) = 0
  } else {
    if (x.upper >= 0) return {0, kTwoPi};
    a1 = AngleInZeroTwoPi(std::atan2(y.upper, x.upper));
    a2 = std::atan2(y.lower, x.upper);
  }
  return a2 >= 0 ? Interval{a1, a2} : Interval{a1, a2 + kTwoPi};
}

Interval Arg(const Interval& y, const Interval& x) {
  if (IsUndefined(y) || IsUndefined(x)) return gNaNInterval;
  if (IsExterior(y) || IsExterior(x)) return {-gPi, gPi};
  // Points on the negative real axis have angle pi, points just below it
  // nearly -pi: a box touching the axis from below holds both. A lower end
  // of -0 counts as below: atan2 gives -pi there.
  const bool reachesBelow = y.lower < 0 || (y.lower == 0 && std::signbit(y.lower));
  if (reachesBelow && y.upper >= 0 && x.lower < 0) return {-gPi, gPi};
  const double c1 = std::atan2(y.lower, x.lower), c2 = std::atan2(y.upper, x.lower);
  const double c3 = std::atan2(y.lower, x.upper), c4 = std::atan2(y.upper, x.upper);
  return {std::min({c1, c2, c3, c4}), std::max({c1, c2, c3, c4})};
}

Interval Hypot(const Interval& a, const Interval& b) {
  if (IsUndefined(a) || IsUndefined(b)) return gNaNInterval;
  return {std::hypot(NearestToZero(a), NearestToZero(b)), std::hypot(FarthestFromZero(a), FarthestFromZero(b))};
}
