#pragma once

// Interval rules shared by the Interval and ComplexInterval interpreters.

#include <algorithm>
#include <cmath>

#include "evaluation/interval/Interval.h"

inline bool IsSureTrue(const Interval& x) { return x.lower == 1.0 && x.upper == 1.0; }
inline bool IsSureFalse(const Interval& x) { return x.lower == 0.0 && x.upper == 0.0; }

// Widens x to contain e: an ordinary interval to its hull with e; an
// exterior one whose gap holds e moves its end nearer to e onto e, and
// becomes the whole line should that close it.
inline Interval WidenToContain(const Interval& x, double e) {
  if (IsUndefined(x)) return x;
  if (IsOrdinary(x)) return {std::min(x.lower, e), std::max(x.upper, e)};
  if (!(x.upper < e && e < x.lower)) return x;
  Interval widened = x;
  if (e - x.upper <= x.lower - e) {
    widened.upper = e;
  } else {
    widened.lower = e;
  }
  return widened.lower <= widened.upper ? kWholeLine : widened;
}

// An exterior result runs through infinity: the caller gets the whole line.
// Not written as a conditional of two lvalues: that would take the address
// of the run's top and keep it out of registers.
inline Interval FinishInterval(const Interval& x) {
  if (IsExterior(x)) return kWholeLine;
  return x;
}

// index + 1, or NaN once the index has lost its unit precision.
inline Interval IncrementInterval(const Interval& x) {
  const Interval next = {x.lower + 1.0, x.upper + 1.0};
  return next.lower == x.lower && next.upper == x.upper ? gNaNInterval : next;
}
