#pragma once

#include <cmath>
#include <cstdint>

#include "graphs3d/views/ViewClock.h"

// The views' clock reads the test's time, in microseconds, until the clock
// goes; each reading moves it on by the step.
class HandClock {
 public:
  explicit HandClock(int64_t start = 0, int64_t step = 0) : fReal(gViewClock) {
    sMicroseconds = start, sStep = step;
    gViewClock = {[] { return sMicroseconds += sStep; }, [] { return uint32_t(sMicroseconds * 1000 / 65536); }};
  }
  ~HandClock() { gViewClock = fReal; }
  HandClock(const HandClock&) = delete;
  HandClock& operator=(const HandClock&) = delete;

  void Set(int64_t microseconds) { sMicroseconds = microseconds; }
  int64_t Now() const { return sMicroseconds; }
  // The first microsecond of refresh period k at the rate.
  static int64_t PeriodStart(int64_t k, double rate) { return int64_t(std::ceil(double(k) * 1e6 / rate)); }

 private:
  static inline int64_t sMicroseconds = 0, sStep = 0;
  ViewClock fReal;
};
