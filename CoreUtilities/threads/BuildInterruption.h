#pragma once

#include <cstdint>

// A long build on the interface thread (a compile, a derivative, a graph's
// set-up) can be cut short by an edit: the window sets a check that looks
// at the input come meanwhile, without letting any of it reach a document,
// and answers whether the build must stop. Headless, no check is set and
// no build is ever cut.
using BuildInterruptionCheck = bool (*)();

// The window's check; null for none.
void SetBuildInterruptionCheck(BuildInterruptionCheck check);

// How long a build runs before the check is first asked, and between two
// askings: 20 ms, so that short builds never ask. A test that needs the
// check asked in a build of any length sets 0. Returns the former value.
int32_t SetBuildAskingInterval(int32_t milliseconds);

// For its span, the stop checks of the walks on the constructing thread ask
// the check now and then (every few tens of milliseconds, so the walks stay
// cheap); once it answers stop, they say stop until the span ends. A span
// within a span is part of it.
class InterruptibleBuild {
 public:
  InterruptibleBuild();
  ~InterruptibleBuild();
  InterruptibleBuild(const InterruptibleBuild&) = delete;
  InterruptibleBuild& operator=(const InterruptibleBuild&) = delete;

  // The check answered stop within the span.
  bool Interrupted() const;

 private:
  bool fOuter;
};

// From the stop checks: true once this thread's build was told to stop.
bool BuildInterruptionRequested();
