#pragma once

#include <cstdint>
#include <limits>

// OurTime counts units of 65,536 ns of the monotonic clock from its first
// reading; it wraps after 2^32 units (about 78 hours), so deadlines are
// compared with OurTimeIsPast, never with a plain unsigned comparison.
// Configured durations are given in ticks of 1/60.15 s.

inline constexpr int64_t kNanosecondsPerTick = 16625104;
inline constexpr int kOurTimeUnitShift = 16;  // one unit = 2^16 ns

uint32_t OurTime();

// A duration in ticks as an OurTime count: 0 for zero, negative or NaN
// ticks, saturated at the largest count.
constexpr uint32_t OurDuration(int32_t ticks) {
  if (ticks <= 0) return 0;
  const int64_t units = (int64_t{ticks} * kNanosecondsPerTick) >> kOurTimeUnitShift;
  constexpr int64_t kLargest = std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(units < kLargest ? units : kLargest);
}
uint32_t OurDuration(double ticks);

// An OurTime count (a span, not a reading) in seconds.
double OurTimeToSeconds(uint32_t count);

// True when now lies after the deadline, across a wrap of the count too.
constexpr bool OurTimeIsPast(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) > 0; }

int64_t OurGetMicroseconds();
void OurSleep(int64_t microseconds);

inline constexpr uint32_t kComputeThreadTimeSlice = OurDuration(10);
inline constexpr uint32_t kComputeThreadTooLong = OurDuration(40);
