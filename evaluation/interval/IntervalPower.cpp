#include "evaluation/interval/IntervalPower.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/special/RealFunctions.h"
#include "expression/WholeNumberGcd.h"

namespace {

// The end of larger magnitude; the lower end on a tie.
double FartherEnd(const Interval& x) { return std::abs(x.upper) <= std::abs(x.lower) ? x.lower : x.upper; }

Interval PowIntegerPoint(const Interval& x, double e) {
  if (e == 0) return {1, 1};
  if (!IsEven(e)) {
    if (e > 0) return {std::pow(x.lower, e), std::pow(x.upper, e)};
    if (ContainsZero(x)) return kWholeLine;
    return {std::pow(x.upper, e), std::pow(x.lower, e)};
  }
  const double m = FartherEnd(x);
  if (e < 0) {
    if (ContainsZero(x)) return {std::pow(m, e), gInf};
    if (x.upper >= 0) return {std::pow(x.upper, e), std::pow(x.lower, e)};
    return {std::pow(x.lower, e), std::pow(x.upper, e)};
  }
  if (ContainsZero(x)) return {0, std::pow(m, e)};
  if (x.upper >= 0) return {std::pow(x.lower, e), std::pow(x.upper, e)};
  return {std::pow(x.upper, e), std::pow(x.lower, e)};
}

bool HoldsWholeInt32(double v) { return v == std::trunc(v) && std::abs(v) <= 2147483647.0; }

}  // namespace

Interval PowInterior(const Interval& x, const Interval& e) {
  if (IsSinglePoint(e)) {
    const double p = e.lower;
    if (IsInteger(p)) return PowIntegerPoint(x, p);
    if (!(x.lower >= 0)) return gNaNInterval;
    if (p < 0) return {std::pow(x.upper, p), std::pow(x.lower, p)};
    return {std::pow(x.lower, p), std::pow(x.upper, p)};
  }
  if (!(x.lower >= 0)) return gNaNInterval;
  if (x.lower >= 1 && e.lower >= 0) return {std::pow(x.lower, e.lower), std::pow(x.upper, e.upper)};
  const double c1 = std::pow(x.lower, e.lower), c2 = std::pow(x.upper, e.upper);
  const double c3 = std::pow(x.upper, e.lower), c4 = std::pow(x.lower, e.upper);
  Interval r = {std::min({c1, c2, c3, c4}), std::max({c1, c2, c3, c4})};
  if (ContainsZero(e)) {
    r.lower = std::min(r.lower, 1.0);
    r.upper = std::max(r.upper, 1.0);
  }
  return r;
}

Interval Pow(const Interval& base, const Interval& exponent) {
  if (IsUndefined(base) || IsUndefined(exponent)) return gNaNInterval;
  if (IsOrdinary(base) && IsOrdinary(exponent)) return PowInterior(base, exponent);
  // A piece outside the domain makes the power undefined: dropping it would
  // leave out the values of the other piece's neighbours.
  const auto unite = [](const Interval& a, const Interval& b) {
    return IsUndefined(a) || IsUndefined(b) ? gNaNInterval : Union(a, b);
  };
  if (IsOrdinary(base)) return unite(PowInterior(base, LowerRay(exponent)), PowInterior(base, UpperRay(exponent)));
  if (IsOrdinary(exponent)) return unite(PowInterior(LowerRay(base), exponent), PowInterior(UpperRay(base), exponent));
  return Union(PowInterior(LowerRay(base), LowerRay(exponent)), PowInterior(LowerRay(base), UpperRay(exponent)),
               PowInterior(UpperRay(base), LowerRay(exponent)), PowInterior(UpperRay(base), UpperRay(exponent)));
}

Interval PowFrac(const Interval& x, const Interval& den, const Interval& num) {
  const double n = num.lower, d = den.lower;
  if (IsSinglePoint(num) && IsSinglePoint(den) && HoldsWholeInt32(n) && HoldsWholeInt32(d) && d != 0 && IsOrdinary(x) &&
      !IsUndefined(x)) {
    const double g = SIMP_Gcd(n, d);
    const double reducedDen = d / g;
    if (n / g == 1 && reducedDen >= 2) {
      // The root is increasing wherever it is defined: its end values bound it.
      if (x.lower < 0 && IsEven(reducedDen)) return gNaNInterval;
      const int index = DoubleToInt32(reducedDen);
      return {NthRoot(x.lower, index), NthRoot(x.upper, index)};
    }
    if (!IsEven(reducedDen)) {
      const Interval e = {n / d, n / d};
      const bool negate = !IsEven(n / g);
      const auto applySign = [negate](const Interval& r) { return negate ? -r : r; };
      // 0 itself takes the positive branch, as the point power does.
      if (x.upper < 0) return applySign(PowInterior(-x, e));
      if (x.lower < 0) {
        return Union(PowInterior({0, x.upper}, e), applySign(PowInterior({0, -x.lower}, e)));
      }
    }
  }
  return Pow(x, num * Inverse(den));
}

namespace {

// floor(a/b) at one point, or NaN where the quotient's rounding leaves it in
// doubt: the candidate is kept only if a - k b, rounded once, is the exact
// remainder (a wrong k is off by a whole multiple of b and cannot round to it).
double VerifiedFlooredQuotient(double a, double b) {
  const double k = std::floor(a / b);
  return std::fma(-k, b, a) == Mod(a, b) ? k : gNaN;
}

// Where floor(a/b) takes more than one value the remainders fill the gap
// between 0 and b.
Interval RemainderHull(const Interval& b) {
  if (b.lower > 0) return {0, b.upper};
  if (b.upper < 0) return {b.lower, 0};
  return b;
}

}  // namespace

Interval Mod(const Interval& a, const Interval& b) {
  if (IsUndefined(a) || IsUndefined(b)) return gNaNInterval;
  if (b.lower == 0 && b.upper == 0) return gNaNInterval;
  if (IsExterior(b)) return kWholeLine;
  if (IsExterior(a) || ContainsZero(b)) return RemainderHull(b);
  if (b.lower == b.upper) {
    // The remainder rises with a, by a's own steps, until a passes a
    // multiple of b and it falls back: that is the only way the end values
    // can come out in reverse order over a stretch shorter than |b|.
    const double low = Mod(a.lower, b.lower), high = Mod(a.upper, b.lower);
    if (a.upper - a.lower < std::abs(b.lower) && low <= high) return {low, high};
    return RemainderHull(b);
  }
  // One whole quotient k over the box (the quotient is monotone in each
  // operand, so its corners bound it): a - k b is linear there, and its
  // corner values are the exact remainders.
  const double corners[4][2] = {{a.lower, b.lower}, {a.lower, b.upper}, {a.upper, b.lower}, {a.upper, b.upper}};
  const double k = VerifiedFlooredQuotient(a.lower, b.lower);
  Interval r = {gInf, -gInf};
  for (const auto& [x, y] : corners) {
    if (!(VerifiedFlooredQuotient(x, y) == k)) return RemainderHull(b);
    const double remainder = Mod(x, y);
    r = {std::min(r.lower, remainder), std::max(r.upper, remainder)};
  }
  return r;
}
