#pragma once

#include <cstdint>

#include "app/DemoPlayer.h"
#include "graphs3d/views/ViewClock.h"
#include "tests/app/ApplicationFixture.h"

// A clock that moves on by a fixed step at every reading: each frame drawn
// turns a spinning view as if that time had passed, however fast the
// machine draws.
class SteppingViewClock {
 public:
  SteppingViewClock() {
    sMicroseconds = 1000000;
    gViewClock = {[] { return sMicroseconds += kStepMicroseconds; },
                  [] { return static_cast<uint32_t>(sMicroseconds * 1000 / 65536); }};
  }
  ~SteppingViewClock() { gViewClock = fSaved; }
  SteppingViewClock(const SteppingViewClock&) = delete;
  SteppingViewClock& operator=(const SteppingViewClock&) = delete;

 private:
  static constexpr int64_t kStepMicroseconds = 20000;
  static inline int64_t sMicroseconds = 0;
  ViewClock fSaved = gViewClock;
};

// A window test that leaves no demo playing, observed or at immediate pace.
class DemoWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    SetDemoStepObserver(nullptr);
    SetDemoKeyObserver(nullptr);
    StopDemo();
    SetDemoImmediatePace(false);
    WindowTest::TearDown();
  }
};
