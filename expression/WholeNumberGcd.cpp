#include "expression/WholeNumberGcd.h"

#include "platform/CheckedConvert.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

bool IsWholeInt32(double x) { return x >= -2147483648.0 && x <= 2147483647.0 && std::trunc(x) == x; }

// In 64 bits, so that the most negative 32-bit integer has a magnitude.
double SIMP_Gcd(double a, double b) {
  if (!IsWholeInt32(a) || !IsWholeInt32(b)) return 1.0;
  int64_t x = std::abs(int64_t{DoubleToInt32(a)});
  int64_t y = std::abs(int64_t{DoubleToInt32(b)});
  while (y != 0) {
    const int64_t remainder = x % y;
    x = y;
    y = remainder;
  }
  return static_cast<double>(x);
}
