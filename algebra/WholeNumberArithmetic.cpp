#include "algebra/WholeNumberArithmetic.h"

#include "platform/CheckedConvert.h"
#include "algebra/SimplifierNodes.h"
#include "evaluation/special/RealFunctions.h"
#include "expression/WholeNumberGcd.h"

#include <cmath>
#include <cstdlib>

bool IsWholeNumber(double x) { return IsWholeInt32(x); }

double SIMP_Gcd2(int32_t a, int32_t b) { return SIMP_Gcd(a, b); }

void SIMP_GCD(ExpressionRecord* a, ExpressionRecord* b) {
  NumberBlock* x = a->payload.number;
  NumberBlock* y = b->payload.number;
  if (!IsWholeNumber(x->value) || !IsWholeNumber(y->value)) return;
  const double g = SIMP_Gcd2(DoubleToInt32(x->value), DoubleToInt32(y->value));
  if (g == 0.0 || g == 1.0) return;
  SetNumberValue(a, x->value / g);
  SetNumberValue(b, y->value / g);
}

double SIMP_Power(double x, int32_t n) {
  double result = 1.0;
  for (; n > 0; n /= 2) {
    if (n % 2 == 1) result *= x;
    x *= x;
  }
  return result;
}

bool WholeRootOf(double a, double n, double* root) {
  if (!IsWholeNumber(a) || a < 0.0 || !IsWholeNumber(n) || n < 1.0) return false;
  const int64_t radicand = DoubleToInt32(a);
  const int64_t index = DoubleToInt32(n);
  const int64_t t = std::llround(NthRoot(static_cast<double>(radicand), static_cast<int>(index)));
  if (t <= 1) {
    if (t != radicand) return false;
  } else {
    int64_t power = 1;
    for (int64_t k = 0; k < index; ++k)
      if (__builtin_mul_overflow(power, t, &power) || power > radicand) return false;
    if (power != radicand) return false;
  }
  *root = static_cast<double>(t);
  return true;
}

int32_t BinomialCoefficient(int32_t n, int32_t k) {
  const int32_t m = k < n - k ? k : n - k;
  if (m <= 0) return 1;
  int64_t result = 1;
  for (int32_t j = 1; j <= m; ++j) result = result * (n - m + j) / j;
  return static_cast<int32_t>(result);
}
