#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "shaders/DecimalText.h"

namespace {

std::string Printed(const char* format, double value) {
  std::vector<char> text(std::size_t(std::snprintf(nullptr, 0, format, value)) + 1);
  std::snprintf(text.data(), text.size(), format, value);
  return text.data();
}

std::string Fixed(double value, int width, int precision) {
  std::string text = "x";
  AppendFixedDecimal(text, value, width, precision);
  return text.substr(1);
}

// The C library is the oracle: every value here must come out as it prints.
std::vector<double> Values() {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                -1.0,
                                0.5,
                                3.141592653589793,
                                2.718281828459045,
                                0.002777777777777778,
                                5.9999995,
                                1e-30,
                                5e-31,
                                1.5e-30,
                                2.5e-30,
                                1e-31,
                                1e21,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min()};
  // Dyadic fractions end exactly on a five at the 31st decimal or near it:
  // the ties that have to round to even.
  for (int n = 25; n <= 40; ++n) {
    for (int k = 1; k < 64; ++k) {
      values.push_back(std::ldexp(k, -n));
      values.push_back(std::ldexp(2 * k + 1, -n) + 7);
    }
  }
  std::mt19937_64 random(49);
  std::uniform_real_distribution<double> exponent(-40, 40), mantissa(-1, 1);
  for (int i = 0; i < 20000; ++i) values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
  for (int i = 0; i < 2000; ++i) values.push_back(std::round(mantissa(random) * 1e6) / 1e3);
  return values;
}

TEST(DecimalText, FixedDecimalsAreThoseTheCLibraryPrints) {
  for (const double value : Values()) {
    ASSERT_EQ(Fixed(value, 35, 30), Printed("% 35.30f", value)) << value;
    ASSERT_EQ(Fixed(value, 0, 6), Printed("% .6f", value)) << value;
    ASSERT_EQ(Fixed(value, 12, 0), Printed("% 12.0f", value)) << value;
  }
}

TEST(DecimalText, IntegersAreThoseTheCLibraryPrints) {
  for (const int32_t value :
       {0, 7, -7, 10, 4096, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
    std::string text = "R";
    AppendDecimal(text, value);
    EXPECT_EQ(text, "R" + std::to_string(value));
  }
}

}  // namespace
