#pragma once

#include <cstdint>

#include "app/DemoPlayer.h"
#include "graphs3d/views/ViewClock.h"
#include "tests/app/ApplicationFixture.h"

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
