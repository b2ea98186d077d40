#pragma once

#include <memory>

class HeldInput;

// For one idle of a document window: when a long build on the interface
// thread asks (see CoreUtilities/BuildInterruption.h), the events come
// meanwhile are dispatched, and each one bound for a document window (its
// widgets, menus, timers) is taken aside unhandled, so that nothing reaches
// a document in the middle of a build. A key or button press, a wheel
// turn, a shortcut or a close stops the build; a mouse that only moves
// does not. Paints and timers taken aside simply happen again.
class BuildInputHold {
 public:
  BuildInputHold();
  ~BuildInputHold();
  BuildInputHold(const BuildInputHold&) = delete;
  BuildInputHold& operator=(const BuildInputHold&) = delete;

  // Once the build has unwound: the hold ends, the events taken aside are
  // handled in the order they came, and the paints taken aside are asked
  // for again.
  void Deliver();

 private:
  // No build looks at input through this hold any more.
  void End();

  std::unique_ptr<HeldInput> fHeld;
  HeldInput* fOuter;
};
