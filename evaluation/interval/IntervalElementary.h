#pragma once

#include "evaluation/interval/Interval.h"

// Interval forms of the elementary functions. A function defined on part of
// the line gives the undefined interval as soon as its operand reaches
// outside the domain.

Interval Sgn(const Interval& x);
Interval Abs(const Interval& x);
Interval Sqr(const Interval& x);
Interval Sqrt(const Interval& x);
Interval Exp(const Interval& x);
Interval Log(const Interval& x);
Interval Log10(const Interval& x);
Interval Floor(const Interval& x);
Interval Ceil(const Interval& x);

Interval Sinh(const Interval& x);
Interval Cosh(const Interval& x);
Interval Tanh(const Interval& x);
Interval Sech(const Interval& x);
Interval Csch(const Interval& x);
Interval Coth(const Interval& x);
Interval Asinh(const Interval& x);
Interval Acosh(const Interval& x);
Interval Atanh(const Interval& x);
Interval Asech(const Interval& x);
Interval Acsch(const Interval& x);
Interval Acoth(const Interval& x);

Interval Asin(const Interval& x);
Interval Acos(const Interval& x);
Interval Atan(const Interval& x);
Interval Acot(const Interval& x);
Interval Asec(const Interval& x);
Interval Acsc(const Interval& x);
