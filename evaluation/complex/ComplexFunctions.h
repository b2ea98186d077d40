#pragma once

#include "CoreUtilities/Complex.h"

// Functions of the complex evaluator. Real-only functions accept an operand
// only when its imaginary part is exactly zero and give gNaNComplex
// otherwise.

Complex Exp(const Complex& z);
Complex Log(const Complex& z);
Complex Log10(const Complex& z);
Complex Sqrt(const Complex& z);
Complex Sin(const Complex& z);
Complex Cos(const Complex& z);
Complex Tan(const Complex& z);
Complex Cot(const Complex& z);
Complex Sec(const Complex& z);
Complex Csc(const Complex& z);
Complex Sinh(const Complex& z);
Complex Cosh(const Complex& z);
Complex Tanh(const Complex& z);
Complex Coth(const Complex& z);
Complex Sech(const Complex& z);
Complex Csch(const Complex& z);
Complex Asin(const Complex& z);
Complex Acos(const Complex& z);
Complex Atan(const Complex& z);
Complex Acot(const Complex& z);
Complex Asec(const Complex& z);
Complex Acsc(const Complex& z);
Complex Asinh(const Complex& z);
Complex Acosh(const Complex& z);
Complex Atanh(const Complex& z);
Complex Acoth(const Complex& z);
Complex Asech(const Complex& z);
Complex Acsch(const Complex& z);

Complex Sgn(const Complex& z);
Complex Floor(const Complex& z);
Complex Ceil(const Complex& z);
Complex Fact(const Complex& z);

// z to the power w, exact in the cases a real computation would be.
// By value: the parts travel in registers, and a run's top need not be
// written to memory for the call.
Complex Pow(Complex z, Complex w);
// atan2 of the real parts, moved into [0, 2 pi).
Complex Atan2(const Complex& y, const Complex& x);
Complex Hypot(const Complex& a, const Complex& b);
Complex Min(const Complex& a, const Complex& b);
Complex Max(const Complex& a, const Complex& b);
Complex Mod(const Complex& a, const Complex& b);
Complex Choose(const Complex& n, const Complex& k);
// jv(order, x) of the real parts.
Complex Bessel(const Complex& order, const Complex& x);
