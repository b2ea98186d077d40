#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <string>

#include "CoreUtilities/MathConstants.h"
#include "graphs2d/NumberRounding.h"

namespace {

double FromHex(std::string text) {
  const bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::hex);
  return negative ? -v : v;
}

TEST(RoundDouble, AgreesWithPythonFormattingToOneUnitInTheLastDigit) {
  std::ifstream in(ZL_TEST_DATA_DIR "/round_double_reference.txt");
  ASSERT_TRUE(in) << "missing reference table";
  std::string value, expected;
  int digits = 0, count = 0, failures = 0;
  while (in >> value >> digits >> expected) {
    const double v = FromHex(value), want = FromHex(expected);
    const int d = std::min(std::max(digits - 1, 0), 14);
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(want))) - d);
    const double got = RoundDouble(v, digits);
    // One unit of the last digit for ties the binary value just misses, plus
    // the rounding of the result to a double.
    const double tolerance = unit + 4 * (std::nextafter(std::fabs(want), gInf) - std::fabs(want));
    if (!(std::fabs(got - want) <= tolerance) && ++failures < 10) {
      ADD_FAILURE() << value << " to " << digits << " digits: " << got << " against " << want;
    }
    ++count;
  }
  EXPECT_EQ(count, 100000);
  EXPECT_EQ(failures, 0);
}

TEST(RoundDouble, ExamplesAndLimits) {
  EXPECT_EQ(RoundDouble(0.123456789, 3), 0.123);
  EXPECT_EQ(RoundDouble(123456, 2), 120000.0);  // exact: no drift from repeated 0.1
  EXPECT_EQ(RoundDouble(1.2345678901234567, 20), RoundDouble(1.2345678901234567, 15));
  EXPECT_EQ(RoundDouble(0.0, 3), 0.0);
  EXPECT_EQ(RoundDouble(gInf, 3), gInf);
  EXPECT_EQ(RoundDouble(-gInf, 3), -gInf);
  EXPECT_TRUE(std::isnan(RoundDouble(gNaN, 3)));
  EXPECT_NEAR(RoundDouble(1.7976931348623157e308, 14), 1.7976931348623e308, 1e295);
}

TEST(RoundDouble, TinyValuesComeBackInsteadOfNaN) {
  // The scale factor 10^(d-k) is not finite there.
  for (double v : {1e-300, -1e-300, 4.9406564584124654e-324, 2.2250738585072014e-308}) {
    EXPECT_EQ(RoundDouble(v, 14), v) << v;
  }
}

TEST(CleanDouble, RemovesInterpolationNoise) {
  EXPECT_EQ(CleanDouble(-1, 1, 0.5), 0.0);
  EXPECT_EQ(CleanDouble(0, 1, 0.3), 0.3);
  EXPECT_EQ(CleanDouble(0.1, 0.7, 0.5), 0.4);
  EXPECT_EQ(CleanDouble(2, 2, 0.5), 2.0);
  EXPECT_EQ(CleanDouble(0, 0, 0.5), 0.0);
  EXPECT_EQ(CleanDouble(0, gInf, 0.5), gInf);
}

}  // namespace
