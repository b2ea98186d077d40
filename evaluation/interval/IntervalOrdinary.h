#pragma once

// The ordinary cases of the commonest interval operations, inline: the
// interval interpreter calls them from its loop, where a call would cost as
// much as the work, and operator+, operator* and Sqr use them for the same
// cases, so both give the same bits. Operands are ordinary intervals
// (lower <= upper, so neither end is NaN).

#include <algorithm>
#include <cmath>

#include "evaluation/interval/Interval.h"

inline Interval AddOrdinary(const Interval& a, const Interval& b) {
  const Interval sum = {a.lower + b.lower, a.upper + b.upper};
  if (IsUndefined(sum)) return kWholeLine;  // an infinite end met its opposite
  return sum;
}

// Sign table of the product; zero times an infinite end is undefined.
inline Interval MulOrdinary(const Interval& a, const Interval& b) {
  const bool aInfinite = std::isinf(a.lower) || std::isinf(a.upper);
  const bool bInfinite = std::isinf(b.lower) || std::isinf(b.upper);
  if ((ContainsZero(a) && bInfinite) || (ContainsZero(b) && aInfinite)) return gNaNInterval;
  const bool aNonneg = a.lower >= 0, aNonpos = a.upper <= 0;
  const bool bNonneg = b.lower >= 0, bNonpos = b.upper <= 0;
  if (bNonneg) {
    if (aNonneg) return {a.lower * b.lower, a.upper * b.upper};
    if (!aNonpos) return {a.lower * b.upper, a.upper * b.upper};
    return {a.lower * b.upper, a.upper * b.lower};
  }
  if (!bNonpos) {
    if (aNonneg) return {a.upper * b.lower, a.upper * b.upper};
    if (aNonpos) return {a.lower * b.upper, a.lower * b.lower};
  } else {
    if (aNonneg) return {a.upper * b.lower, a.lower * b.upper};
    if (!aNonpos) return {a.upper * b.lower, a.lower * b.lower};
    return {a.upper * b.upper, a.lower * b.lower};
  }
  return {std::min(a.lower * b.upper, a.upper * b.lower), std::max(a.lower * b.lower, a.upper * b.upper)};
}

inline Interval SqrOrdinary(const Interval& x) {
  if (x.upper < 0) return {x.upper * x.upper, x.lower * x.lower};
  if (x.lower <= 0) {
    const double far = std::max(-x.lower, x.upper);
    return {0.0, far * far};
  }
  return {x.lower * x.lower, x.upper * x.upper};
}
