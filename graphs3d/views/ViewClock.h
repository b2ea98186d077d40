#pragma once

#include <cstdint>

// Where the 3-D view reads time: spin frames and drag speeds in
// microseconds, the pause rule of a drag in OurTime units. Tests replace
// the entries to step time by hand.
struct ViewClock {
  int64_t (*microseconds)();
  uint32_t (*ticks)();
};

extern ViewClock gViewClock;
