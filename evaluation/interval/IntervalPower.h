#pragma once

#include "evaluation/interval/Interval.h"

// base^exponent; exterior operands are split into their rays.
Interval Pow(const Interval& base, const Interval& exponent);
// The core of Pow for two ordinary operands.
Interval PowInterior(const Interval& x, const Interval& e);
// x^(num/den) with real odd roots of negative x.
Interval PowFrac(const Interval& x, const Interval& den, const Interval& num);
// a - floor(a/b) * b.
Interval Mod(const Interval& a, const Interval& b);
