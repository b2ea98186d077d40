#include "CoreUtilities/OurTime.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

int64_t NanosecondsNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

uint32_t OurTime() {
  static const int64_t gFirstTime = NanosecondsNow();
  // The low 32 bits of the count, so it wraps instead of overflowing.
  return static_cast<uint32_t>(static_cast<uint64_t>(NanosecondsNow() - gFirstTime) >> kOurTimeUnitShift);
}

uint32_t OurDuration(double ticks) {
  if (!(ticks > 0)) return 0;
  const double units = std::trunc(std::ldexp(ticks * static_cast<double>(kNanosecondsPerTick), -kOurTimeUnitShift));
  constexpr double kLargest = std::numeric_limits<uint32_t>::max();
  return units >= kLargest ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(units);
}

double OurTimeToSeconds(uint32_t count) { return static_cast<double>(uint64_t{count} << kOurTimeUnitShift) / 1e9; }

int64_t OurGetMicroseconds() { return NanosecondsNow() / 1000; }

void OurSleep(int64_t microseconds) {
  if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}
