#pragma once

#include "evaluation/interval/Interval.h"

// A box in the complex plane. It counts as real only when its imaginary
// part is exactly [0, 0].
struct ComplexInterval {
  Interval re;
  Interval im;
};

inline constexpr ComplexInterval gNaNComplexInterval = {gNaNInterval, gNaNInterval};

inline bool IsReal(const ComplexInterval& z) { return z.im.lower == 0 && z.im.upper == 0; }

ComplexInterval operator*(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval operator/(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Sqr(const ComplexInterval& z);

// Truth intervals in the real part. A box off the real axis is never
// ordered; one that merely reaches it can at best be undecided.
ComplexInterval Less(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Greater(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval LessOrEqual(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval GreaterOrEqual(const ComplexInterval& a, const ComplexInterval& b);

Interval Abs(const ComplexInterval& z);
// Angle in [-pi, pi].
Interval Arg(const ComplexInterval& z);
