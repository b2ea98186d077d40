#pragma once

#include <atomic>
#include <limits>
#include <thread>

#include "graphs2d/GraphJobs.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

// Holds graph jobs midway, whatever the machine's speed: once armed, the
// given number of slice polls pass and every later poll holds its slice
// until a stop raises that slice's flag, the next arming or the end of the
// hold. A stop made while a slice is held meets a pass part done; a change
// made just after letting held slices go meets them running, where the
// sanitizers see what it touches under them.
class SliceHold {
 public:
  explicit SliceHold(int passingPolls) {
    Arm(passingPolls);
    GraphJobs::SetPollHook(Hold);
  }
  ~SliceHold() {
    GraphJobs::SetPollHook(nullptr);
    ++sArming;
  }
  SliceHold(const SliceHold&) = delete;
  SliceHold& operator=(const SliceHold&) = delete;

  // Lets the held slices go on and holds again after that many polls.
  static void Arm(int passingPolls) {
    sPassing = passingPolls;
    sPolls = 0;
    sHeld = 0;
    ++sArming;
  }
  // Lets every slice go on to its end.
  static void Release() { Arm(std::numeric_limits<int>::max()); }
  // Waits until a slice is held since the last arming.
  static void WaitUntilHeld() {
    WaitUntil("a slice held midway", [] { return sHeld.load() > 0; });
  }
  // The same, or until the graph is done: when the last change started no
  // pass, none is held.
  template <typename Graph>
  static void WaitUntilHeldOrDone(Graph& graph) {
    WaitUntil("a slice held midway or the graph done", [&] { return sHeld.load() > 0 || graph.IsDoneComputing(); });
  }

 private:
  static void Hold(const std::atomic<bool>& cancel) {
    const int arming = sArming.load();
    if (sPolls.fetch_add(1) < sPassing.load()) return;
    ++sHeld;
    while (!cancel.load() && sArming.load() == arming) std::this_thread::yield();
  }

  static inline std::atomic<int> sArming{0};
  static inline std::atomic<int> sPassing{0};
  static inline std::atomic<int> sPolls{0};
  static inline std::atomic<int> sHeld{0};
};
