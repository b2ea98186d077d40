#include "evaluation/complex/ComplexInterval.h"

#include <algorithm>
#include <cmath>

#include "evaluation/interval/IntervalElementary.h"
#include "evaluation/interval/IntervalLogic.h"
#include "evaluation/interval/IntervalTrig.h"

namespace {

constexpr Interval kTwo = {2, 2};

// Ordinary with 0 between the ends, or exterior with 0 on a ray.
bool HoldsZero(const Interval& a) {
  if (IsExterior(a)) return a.upper >= 0 || a.lower <= 0;
  return ContainsZero(a);
}

double LargerEndMagnitude(const Interval& a) { return std::max(std::abs(a.lower), std::abs(a.upper)); }

bool AnyNaN(const ComplexInterval& z) { return IsUndefined(z.re) || IsUndefined(z.im); }

template <typename Compare>
ComplexInterval CompareReal(const ComplexInterval& a, const ComplexInterval& b, Compare compare) {
  if (AnyNaN(a) || AnyNaN(b)) return gNaNComplexInterval;
  if (!HoldsZero(a.im) || !HoldsZero(b.im)) return {kFalse, {0, 0}};
  const Interval t = compare(a.re, b.re);
  if (IsReal(a) && IsReal(b)) return {t, {0, 0}};
  return {Union(kFalse, t), {0, 0}};
}

}  // namespace

ComplexInterval operator*(const ComplexInterval& a, const ComplexInterval& b) {
  if (IsReal(b)) return {a.re * b.re, a.im * b.re};
  if (IsReal(a)) return {b.re * a.re, b.im * a.re};
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

ComplexInterval Sqr(const ComplexInterval& z) { return {Sqr(z.re) - Sqr(z.im), kTwo * z.re * z.im}; }

ComplexInterval operator/(const ComplexInterval& a, const ComplexInterval& b) {
  const Interval &p = a.re, &q = a.im, &r = b.re, &s = b.im;
  if (!HoldsZero(s) && LargerEndMagnitude(r) < LargerEndMagnitude(s)) {
    const Interval t = r * Inverse(s);
    const Interval inverseD = Inverse(t * r + s);
    return {(p * t + q) * inverseD, (q * t - p) * inverseD};
  }
  if (!HoldsZero(r)) {
    const Interval u = s * Inverse(r);
    const Interval inverseD = Inverse(u * s + r);
    return {(p + q * u) * inverseD, (q - p * u) * inverseD};
  }
  const Interval inverseN = Inverse(Sqr(r) + Sqr(s));
  return {(p * r + q * s) * inverseN, (q * r - p * s) * inverseN};
}

ComplexInterval Less(const ComplexInterval& a, const ComplexInterval& b) {
  return CompareReal(a, b, [](const Interval& x, const Interval& y) { return Less(x, y); });
}
ComplexInterval Greater(const ComplexInterval& a, const ComplexInterval& b) {
  return CompareReal(a, b, [](const Interval& x, const Interval& y) { return Greater(x, y); });
}
ComplexInterval LessOrEqual(const ComplexInterval& a, const ComplexInterval& b) {
  return CompareReal(a, b, [](const Interval& x, const Interval& y) { return LessOrEqual(x, y); });
}
ComplexInterval GreaterOrEqual(const ComplexInterval& a, const ComplexInterval& b) {
  return CompareReal(a, b, [](const Interval& x, const Interval& y) { return GreaterOrEqual(x, y); });
}

Interval Abs(const ComplexInterval& z) { return Hypot(z.re, z.im); }
Interval Arg(const ComplexInterval& z) { return Arg(z.im, z.re); }
