#pragma once

// x^y over the reals, as the point and grid runs compute it. Whole exponents
// from -8 to 8 are squarings and multiplications that carry each product's
// rounding error along, so the result is within one ulp of the exact power
// (nearly always the nearest double) at a fraction of std::pow's cost. Other
// exponents, and bases far enough from 1 that a power might leave the normal
// range, are std::pow's, whose special values (zeros of either sign,
// infinities, NaN) therefore hold for every exponent.
// The versions without a fused multiply-add and with one (only for a
// processor that has it), and the one this processor runs. All give the
// same bits.
double SplitRealPower(double x, double y);
double FusedRealPower(double x, double y);
extern double (*gRealPower)(double x, double y);
inline double RealPower(double x, double y) { return gRealPower(x, y); }

// x^n for one whole n from -8 to 8, the same bits as RealPower(x, n)
// without asking what n is: for code that knows its exponent when it is
// made. Null for any other exponent. The first form is the version this
// processor runs, the second the one asked for (fused only where the
// processor has it).
using WholePowerFunction = double (*)(double x);
WholePowerFunction WholeRealPower(double exponent);
WholePowerFunction WholeRealPower(double exponent, bool fused);
