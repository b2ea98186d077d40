#include "expression/WholeNumberGcd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>

namespace {

// The largest d dividing both, found by trial: an oracle that shares no
// step with Euclid's algorithm.
double GcdByTrial(int a, int b) {
  a = std::abs(a);
  b = std::abs(b);
  if (b == 0) return a;
  if (a == 0) return b;
  for (int d = std::min(a, b); d > 1; --d)
    if (a % d == 0 && b % d == 0) return d;
  return 1;
}

TEST(WholeNumberGcd, SmallNumbersAgainstTrialDivision) {
  for (int a = -60; a <= 60; ++a)
    for (int b = -60; b <= 60; ++b) ASSERT_EQ(SIMP_Gcd(a, b), GcdByTrial(a, b)) << a << " " << b;
}

TEST(WholeNumberGcd, TheMostNegativeIntegerHasAMagnitude) {
  const double most = -2147483648.0;
  EXPECT_EQ(SIMP_Gcd(most, 0), 2147483648.0);
  EXPECT_EQ(SIMP_Gcd(most, most), 2147483648.0);
  EXPECT_EQ(SIMP_Gcd(most, 1073741824.0), 1073741824.0);
  EXPECT_EQ(SIMP_Gcd(most, 6), 2.0);
  EXPECT_EQ(SIMP_Gcd(2147483647.0, most), 1.0);
  EXPECT_EQ(SIMP_Gcd(1234567890.0, 987654321.0), 9.0);  // 2 x 3^2 x 5 x 3607 x 3803 and 3^2 x 17^2 x 379721
}

TEST(WholeNumberGcd, AnythingElseGivesOne) {
  for (double odd : {0.5, 2147483648.0, -2147483649.0, 1e300, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
    EXPECT_EQ(SIMP_Gcd(odd, 4), 1.0);
    EXPECT_EQ(SIMP_Gcd(4, odd), 1.0);
  }
}

}  // namespace
