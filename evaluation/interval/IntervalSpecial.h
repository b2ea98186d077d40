#pragma once

#include "evaluation/interval/Interval.h"

// Factorial Gamma(x + 1) over an interval; the whole line across a pole.
Interval Fact(const Interval& x);
// Binomial coefficient through factorials.
Interval Choose(const Interval& n, const Interval& k);
// Bessel function of the first kind of order n.
Interval Bessel(const Interval& n, const Interval& x);
