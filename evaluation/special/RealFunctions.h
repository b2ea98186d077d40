#pragma once

// Real functions the platform math library lacks, or whose conventions this
// system fixes itself. IEEE rules hold: a zero divisor gives an infinity and
// NaN in gives NaN out unless stated.

double Cot(double x);
double Sec(double x);
double Csc(double x);
double Coth(double x);
double Csch(double x);
double Sech(double x);
double Acsc(double x);
double Asec(double x);
double Acsch(double x);
double Asech(double x);
double Acoth(double x);

// Arc cotangent continuous through 0, range (0, pi).
double Acot(double x);

// 1, -1, or x itself for zeros of either sign and NaN.
double Sgn(double x);

// True for the infinities, false for NaN.
bool IsInteger(double x);
bool IsEven(double x);

// Floored modulo: the result has the sign of b; b = 0 gives NaN.
double Mod(double a, double b);

// Gamma(x + 1); NaN at the poles (negative integers).
double Fact(double x);

// Binomial coefficient; Gamma form for negative or fractional arguments.
double Choose(double n, double k);

// x^(1/n) for whole n >= 2: sqrt for 2, otherwise cbrt (for 3) or pow
// followed by one correcting Newton step; exact where the root is a double (perfect
// powers), within 1 ulp otherwise. Odd n take the real root of a negative
// x, even n give NaN there. Outside 2..64 it is pow with the same rule.
double NthRoot(double x, int n);

// base^(p/q), with real odd roots of negative bases; p/q reducing to 1/n is
// NthRoot.
double PowFrac(double base, double q, double p);
