#pragma once

#include <cmath>

#include "CoreUtilities/MathConstants.h"

// A set of reals given by two ends. lower <= upper is the closed interval
// between them; lower > upper is exterior: the two rays (-inf, upper] and
// [lower, +inf); a NaN end means undefined. Ends are plain doubles in the
// default rounding, never widened outward.
struct Interval {
  double lower;
  double upper;
};

inline constexpr Interval gNaNInterval = {gNaN, gNaN};
inline constexpr Interval kWholeLine = {-gInf, gInf};

// One unordered comparison: true when either end is NaN.
inline bool IsUndefined(const Interval& a) { return std::isunordered(a.lower, a.upper); }
inline bool IsOrdinary(const Interval& a) { return a.lower <= a.upper; }
inline bool IsExterior(const Interval& a) { return a.lower > a.upper; }
inline bool IsSinglePoint(const Interval& a) { return a.lower == a.upper; }
inline bool IsWholeLine(const Interval& a) { return a.lower == -gInf && a.upper == gInf; }
// Ordinary and holding 0 (an end may be 0).
inline bool ContainsZero(const Interval& a) { return a.lower <= 0 && 0 <= a.upper; }
// The two rays of an exterior interval, each as an ordinary interval.
inline Interval LowerRay(const Interval& a) { return {-gInf, a.upper}; }
inline Interval UpperRay(const Interval& a) { return {a.lower, gInf}; }

Interval operator+(const Interval& a, const Interval& b);
Interval operator-(const Interval& a);
Interval operator-(const Interval& a, const Interval& b);
// 1/a; an ordinary operand with 0 inside becomes exterior.
Interval Inverse(const Interval& a);
Interval operator/(const Interval& a, const Interval& b);
// Zero times an infinite end is undefined.
Interval operator*(const Interval& a, const Interval& b);

// Smallest representable set holding both; an undefined first operand wins,
// an undefined second operand is dropped.
Interval Union(const Interval& a, const Interval& b);
// Hull of four ordinary pieces; undefined if any end is NaN.
Interval Union(const Interval& a, const Interval& b, const Interval& c, const Interval& d);

// End-wise minimum and maximum; exterior operands are split into their rays.
Interval Min(const Interval& a, const Interval& b);
Interval Max(const Interval& a, const Interval& b);
