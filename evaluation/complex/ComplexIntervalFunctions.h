#pragma once

#include "evaluation/complex/ComplexInterval.h"

// Complex functions over boxes. Each result holds the value of the point
// function of the same name (same branches) at every point of the box.

ComplexInterval Exp(const ComplexInterval& z);
ComplexInterval Log(const ComplexInterval& z);
ComplexInterval Log10(const ComplexInterval& z);
ComplexInterval Sqrt(const ComplexInterval& z);
ComplexInterval Pow(const ComplexInterval& z, const ComplexInterval& w);

ComplexInterval Sin(const ComplexInterval& z);
ComplexInterval Cos(const ComplexInterval& z);
ComplexInterval Tan(const ComplexInterval& z);
ComplexInterval Cot(const ComplexInterval& z);
ComplexInterval Sec(const ComplexInterval& z);
ComplexInterval Csc(const ComplexInterval& z);
ComplexInterval Sinh(const ComplexInterval& z);
ComplexInterval Cosh(const ComplexInterval& z);
ComplexInterval Tanh(const ComplexInterval& z);
ComplexInterval Coth(const ComplexInterval& z);
ComplexInterval Sech(const ComplexInterval& z);
ComplexInterval Csch(const ComplexInterval& z);

ComplexInterval Asin(const ComplexInterval& z);
ComplexInterval Acos(const ComplexInterval& z);
ComplexInterval Atan(const ComplexInterval& z);
ComplexInterval Acot(const ComplexInterval& z);
ComplexInterval Asec(const ComplexInterval& z);
ComplexInterval Acsc(const ComplexInterval& z);
ComplexInterval Asinh(const ComplexInterval& z);
ComplexInterval Acosh(const ComplexInterval& z);
ComplexInterval Atanh(const ComplexInterval& z);
ComplexInterval Acoth(const ComplexInterval& z);
ComplexInterval Asech(const ComplexInterval& z);
ComplexInterval Acsch(const ComplexInterval& z);

// Real-only: the Interval function of the real parts when every operand is
// real, gNaNComplexInterval otherwise.
ComplexInterval Sgn(const ComplexInterval& z);
ComplexInterval Floor(const ComplexInterval& z);
ComplexInterval Ceil(const ComplexInterval& z);
ComplexInterval Fact(const ComplexInterval& z);
ComplexInterval Atan2(const ComplexInterval& y, const ComplexInterval& x);
ComplexInterval Hypot(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Min(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Max(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Mod(const ComplexInterval& a, const ComplexInterval& b);
ComplexInterval Choose(const ComplexInterval& n, const ComplexInterval& k);
ComplexInterval Bessel(const ComplexInterval& n, const ComplexInterval& x);
