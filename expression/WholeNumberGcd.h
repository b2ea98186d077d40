#pragma once

// Whether x is a whole number that a 32-bit integer holds exactly.
bool IsWholeInt32(double x);

// The greatest common divisor of two whole numbers that 32-bit integers
// hold exactly, never negative; |a| when b is 0; 1.0 when either is not
// such a number.
double SIMP_Gcd(double a, double b);
