#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// The simplifier's arithmetic on doubles. A value is a whole number when a
// 32-bit signed integer holds it exactly: NaN, infinities and values beyond
// 32 bits are not.

bool IsWholeNumber(double x);

// Divides the values of two number nodes by the greatest common divisor of
// their magnitudes (their signs stay); unchanged unless both are whole
// numbers and the divisor is non-zero.
void SIMP_GCD(ExpressionRecord* a, ExpressionRecord* b);
// Euclid's algorithm in 64 bits: |a| when b is 0, else the magnitude of the
// last non-zero remainder.
double SIMP_Gcd2(int32_t a, int32_t b);
// x^n for n >= 1 by repeated squaring; 1 for n <= 0.
double SIMP_Power(double x, int32_t n);

// The whole n-th root t of a whole a >= 0 when t^n == a exactly; false for
// an index that is not a whole number >= 1.
bool WholeRootOf(double a, double n, double* root);

// C(n, k) for 0 <= k <= n <= 23, in whole numbers.
int32_t BinomialCoefficient(int32_t n, int32_t k);
