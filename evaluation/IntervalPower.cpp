#include "evaluation/IntervalPower.h"

#include <algorithm>
#include <cmath>

#include "evaluation/IntervalElementary.h"
#include "evaluation/RealFunctions.h"
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
  if (IsSinglePoint(num) && IsSinglePoint(den) && HoldsWholeInt32(n) && HoldsWholeInt32(d) && d != 0 &&
      IsOrdinary(x) && !IsUndefined(x)) {
    const double g = SIMP_Gcd(n, d);
    const double reducedDen = d / g;
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

Interval Mod(const Interval& a, const Interval& b) {
  const Interval quotient = a * Inverse(b);
  return a - Floor(quotient) * b;
}
