#pragma once

#include <cstdint>

#include "graphs3d/views/ViewClock.h"

// A clock that never moves: no spin turns the view, so what turns it is the
// script's drags alone.
class FrozenViewClock {
 public:
  FrozenViewClock() {
    gViewClock = {[] { return int64_t{1000000}; }, [] { return uint32_t{1000}; }};
  }
  ~FrozenViewClock() { gViewClock = fSaved; }
  FrozenViewClock(const FrozenViewClock&) = delete;
  FrozenViewClock& operator=(const FrozenViewClock&) = delete;

 private:
  ViewClock fSaved = gViewClock;
};
