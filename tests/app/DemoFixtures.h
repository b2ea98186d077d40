#pragma once

#include "app/DemoPlayer.h"
#include "tests/app/ApplicationFixture.h"
#include "tests/app/HandClock.h"

// A clock that moves on by a fixed step at every reading: each frame drawn
// turns a spinning view as if that time had passed, however fast the
// machine draws.
class SteppingViewClock : public HandClock {
 public:
  SteppingViewClock() : HandClock(1000000, 20000) {}
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
