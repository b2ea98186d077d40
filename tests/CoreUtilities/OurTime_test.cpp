#include "CoreUtilities/OurTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

namespace {

// From the definitions alone: a tick is 1/60.15 s, a unit 2^16 ns.
double UnitsForTicks(double ticks) { return ticks / 60.15 / 65536e-9; }

}  // namespace

TEST(OurTimeTest, DurationsFollowTheTickDefinition) {
  EXPECT_EQ(OurDuration(0), 0u);
  EXPECT_EQ(OurDuration(0.0), 0u);
  for (int32_t ticks : {1, 10, 40, 60, 600, 12345, 1000000}) {
    const double expected = UnitsForTicks(ticks);
    // The tick of 16,625,104 ns is 1/60.15 s to within 1e-8.
    const double tolerance = 1.0 + expected * 1e-8;
    EXPECT_NEAR(OurDuration(ticks), expected, tolerance) << ticks;
    EXPECT_NEAR(OurDuration(static_cast<double>(ticks)), OurDuration(ticks), 1.0) << ticks;
  }
  EXPECT_NEAR(OurTimeToSeconds(OurDuration(60)), 60 / 60.15, 1e-4);
  EXPECT_NEAR(OurDuration(0.5), UnitsForTicks(0.5), 1.0);
}

TEST(OurTimeTest, ConversionsSaturateInsteadOfOverflowing) {
  constexpr uint32_t kLargest = std::numeric_limits<uint32_t>::max();
  EXPECT_EQ(OurDuration(std::numeric_limits<int32_t>::max()), kLargest);
  EXPECT_EQ(OurDuration(1e300), kLargest);
  EXPECT_EQ(OurDuration(std::numeric_limits<double>::infinity()), kLargest);
  EXPECT_EQ(OurDuration(-5), 0u);
  EXPECT_EQ(OurDuration(-5.0), 0u);
  EXPECT_EQ(OurDuration(std::nan("")), 0u);
  // 2^32 - 1 units of 2^16 ns each: about 3.26 days, not a negative span.
  EXPECT_NEAR(OurTimeToSeconds(kLargest), 4294967295.0 * 65536e-9, 1e-3);
  EXPECT_NEAR(OurTimeToSeconds(40000), 40000 * 65536e-9, 1e-9);
}

TEST(OurTimeTest, DeadlinesCompareAcrossTheWrap) {
  EXPECT_TRUE(OurTimeIsPast(5, 0xFFFFFFF0u));
  EXPECT_FALSE(OurTimeIsPast(0xFFFFFFF0u, 5));
  EXPECT_TRUE(OurTimeIsPast(101, 100));
  EXPECT_FALSE(OurTimeIsPast(100, 100));
  EXPECT_FALSE(OurTimeIsPast(99, 100));
}

TEST(OurTimeTest, ClockAdvancesAtLeastAsFastAsTheSleep) {
  const uint32_t before = OurTime();
  const int64_t microsecondsBefore = OurGetMicroseconds();
  OurSleep(50'000);
  EXPECT_GE(OurTime() - before, static_cast<uint32_t>(UnitsForTicks(50e-3 * 60.15)) - 1);
  EXPECT_GE(OurGetMicroseconds() - microsecondsBefore, 50'000);
}
