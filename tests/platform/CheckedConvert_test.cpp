#include "platform/CheckedConvert.h"

#include <gtest/gtest.h>

#include <limits>

TEST(CheckedConvert, TruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(DoubleToInt32(2.9), 2);
  EXPECT_EQ(DoubleToInt32(-2.9), -2);
  EXPECT_EQ(DoubleToInt32(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(DoubleToInt32(1e300), INT32_MAX);
  EXPECT_EQ(DoubleToInt32(-1e300), INT32_MIN);
  EXPECT_EQ(DoubleToInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(DoubleToInt32(2147483646.5), 2147483646);
  EXPECT_EQ(DoubleToInt16(40000.0), INT16_MAX);
  EXPECT_EQ(DoubleToInt16(-32768.5), INT16_MIN);
  EXPECT_EQ(DoubleToInt16(std::numeric_limits<double>::quiet_NaN()), INT16_MIN);
}
