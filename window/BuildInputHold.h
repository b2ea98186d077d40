#pragma once

#include <memory>

class HeldInput;

// Called each time a build looks at the input, the hold already taking it
// aside: what it does (a key typed, a mouse moved) comes amid the build, so
// a test acts there whatever the machine's speed. Null, the default, for
// none; returns the former.
using BuildLookWitness = void (*)();
BuildLookWitness SetBuildLookWitness(BuildLookWitness witness);

// For one idle of a document window: when a long build on the interface
// thread asks (see CoreUtilities/threads/BuildInterruption.h), the events come
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
