#include "evaluation/interval/Interval.h"

#include <algorithm>

#include "evaluation/interval/IntervalOrdinary.h"

namespace {

// An if, not a conditional of two lvalues, which would keep r in memory.
Interval WholeLineIfNaN(const Interval& r) {
  if (IsUndefined(r)) return kWholeLine;
  return r;
}

// Unites the products of ray pieces. A piece that is undefined (zero times
// an infinite end) makes the whole product undefined, as it would for
// ordinary operands; dropping it would leave out real values.
Interval UnitePieces(const Interval& a, const Interval& b) {
  if (IsUndefined(a) || IsUndefined(b)) return gNaNInterval;
  return Union(a, b);
}

// Takes a's end where the comparison is unordered.
double MinPreferFirst(double a, double b) { return b < a ? b : a; }
double MaxPreferFirst(double a, double b) { return b > a ? b : a; }

Interval MinOrdinary(const Interval& a, const Interval& b) {
  return {MinPreferFirst(a.lower, b.lower), MinPreferFirst(a.upper, b.upper)};
}
Interval MaxOrdinary(const Interval& a, const Interval& b) {
  return {MaxPreferFirst(a.lower, b.lower), MaxPreferFirst(a.upper, b.upper)};
}

// Applies an end-wise operation ray by ray and unites the pieces: taken end
// by end over an exterior operand, it would treat the gap as filled.
template <typename Op>
Interval OverRays(const Interval& a, const Interval& b, Op op) {
  if (IsUndefined(a) || IsUndefined(b) || (IsOrdinary(a) && IsOrdinary(b))) return op(a, b);
  if (IsOrdinary(b)) return Union(op(LowerRay(a), b), op(UpperRay(a), b));
  if (IsOrdinary(a)) return Union(op(a, LowerRay(b)), op(a, UpperRay(b)));
  return Union(Union(op(LowerRay(a), LowerRay(b)), op(LowerRay(a), UpperRay(b))),
               Union(op(UpperRay(a), LowerRay(b)), op(UpperRay(a), UpperRay(b))));
}

}  // namespace

Interval operator+(const Interval& a, const Interval& b) {
  if (IsOrdinary(a) && IsOrdinary(b)) return AddOrdinary(a, b);
  if (std::isnan(a.lower) || std::isnan(b.lower)) return gNaNInterval;
  const Interval sum = {a.lower + b.lower, a.upper + b.upper};
  if (IsExterior(a) && IsExterior(b)) return kWholeLine;
  if (IsOrdinary(sum)) return kWholeLine;  // the gap has closed
  return WholeLineIfNaN(sum);
}

Interval operator-(const Interval& a) { return {-a.upper, -a.lower}; }

Interval operator-(const Interval& a, const Interval& b) { return a + (-b); }

Interval Inverse(const Interval& a) {
  const Interval r = {1 / a.upper, 1 / a.lower};
  if (r.lower == 0 && r.upper == 0 && 1 / r.lower == gInf && 1 / r.upper == -gInf) {
    return kWholeLine;
  }
  // An exterior operand has points on both sides of any end it has; if its
  // reciprocal ends coincide (a tiny end overflowed next to a signed zero),
  // they stand for nothing.
  if (IsExterior(a) && r.lower == r.upper) return kWholeLine;
  return r;
}

Interval operator/(const Interval& a, const Interval& b) { return a * Inverse(b); }

Interval operator*(const Interval& a, const Interval& b) {
  if (IsUndefined(a) || IsUndefined(b)) return gNaNInterval;
  if (IsOrdinary(a) && IsOrdinary(b)) return MulOrdinary(a, b);
  if (IsOrdinary(a)) return UnitePieces(MulOrdinary(a, LowerRay(b)), MulOrdinary(a, UpperRay(b)));
  if (IsOrdinary(b)) return UnitePieces(MulOrdinary(LowerRay(a), b), MulOrdinary(UpperRay(a), b));
  return Union(MulOrdinary(LowerRay(a), LowerRay(b)), MulOrdinary(LowerRay(a), UpperRay(b)),
               MulOrdinary(UpperRay(a), LowerRay(b)), MulOrdinary(UpperRay(a), UpperRay(b)));
}

Interval Union(const Interval& a, const Interval& b) {
  if (IsUndefined(a)) return gNaNInterval;
  if (IsUndefined(b)) return a;
  if (IsOrdinary(a) && IsOrdinary(b)) {
    const Interval hull = {std::min(a.lower, b.lower), std::max(a.upper, b.upper)};
    if (!IsWholeLine(hull)) return hull;
    if (a.lower == -gInf && b.upper == gInf && a.upper < b.lower) return {b.lower, a.upper};
    if (b.lower == -gInf && a.upper == gInf && b.upper < a.lower) return {a.lower, b.upper};
    return kWholeLine;
  }
  if (IsOrdinary(a) || IsOrdinary(b)) return kWholeLine;
  const double lo = std::min(a.lower, b.lower);
  const double hi = std::max(a.upper, b.upper);
  return lo > hi ? Interval{lo, hi} : kWholeLine;
}

Interval Union(const Interval& a, const Interval& b, const Interval& c, const Interval& d) {
  if (IsUndefined(a) || IsUndefined(b) || IsUndefined(c) || IsUndefined(d)) return gNaNInterval;
  return {std::min({a.lower, b.lower, c.lower, d.lower}), std::max({a.upper, b.upper, c.upper, d.upper})};
}

Interval Min(const Interval& a, const Interval& b) { return OverRays(a, b, MinOrdinary); }

Interval Max(const Interval& a, const Interval& b) { return OverRays(a, b, MaxOrdinary); }
