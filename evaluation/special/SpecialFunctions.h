#pragma once

#include <atomic>

// Bessel function of the first kind of real order n at x. NaN for x < 0
// with a non-integer order.
double jv(double n, double x);

// The routines jv rests on. Kept in their own namespace because the C
// library declares functions of the same names (cbrt, j0, j1).
namespace special {

inline constexpr double MACHEP = 1.11022302462515654042e-16;  // 2^-53
inline constexpr double MAXNUM = 1.79769313486231570815e308;
inline constexpr double MAXLOG = 7.08396418532264106224e2;  // ln 2^1022

// Last code given to mtherr: 2 singularity, 3 overflow, 4 underflow,
// 5 total loss of precision. Written by any thread, read by none but tests.
extern std::atomic<int> merror;
int mtherr(const char* name, int code);

// c0 x^N + ... + cN over N + 1 coefficients.
double polevl(double x, const double coef[], int N);
// Same with an implied leading coefficient 1 and N stored coefficients.
double p1evl(double x, const double coef[], int N);

double cbrt(double x);
double j0(double x);
double j1(double x);

// Ai, Ai', Bi, Bi' at x; returns -1 beyond the overflow limit, else 0.
int airy(double x, double* ai, double* aip, double* bi, double* bip);

// Gamma(x) and ln|Gamma(x)|; sign receives the sign of Gamma(x) (mygamma
// sets it only for x < -33). Poles and overflow give +-MAXNUM.
double mygamma(double x, int* sign);
double mylgam(double x, int* sign);

}  // namespace special
