#pragma once

#include <atomic>
#include <cstdint>

#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/threads/MathPaneThread.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/StackMachine.h"

// The three flags that stop a run, read together after every instruction;
// only when one is raised does the run ask whose thread it is on.
struct CancelWords {
  explicit CancelWords(const AStackMachine& machine) : program(&machine.fCancel) {}

  // Inline, so that the run's values stay in registers across the test.
  [[gnu::always_inline]] bool Raised() const {
    const int32_t own = program->load(std::memory_order_relaxed);
    const int32_t ui = gCancelEvaluationForUIEvalThreads.load(std::memory_order_relaxed);
    const int32_t pane = gCancelEvaluationForMathPaneResultsEvalThreads.load(std::memory_order_relaxed);
    return (own | ui | pane) != 0 && ConcernsThisThread(own, ui, pane);
  }

  // `value`, or `cancelled` when a flag raised concerns this thread. The
  // values pass through the rare call instead of living across it, so a
  // caller may keep them in registers that calls do not preserve.
  template <typename T>
  [[gnu::always_inline]] T Screen(const T& value, const T& cancelled) const {
    const int32_t own = program->load(std::memory_order_relaxed);
    const int32_t ui = gCancelEvaluationForUIEvalThreads.load(std::memory_order_relaxed);
    const int32_t pane = gCancelEvaluationForMathPaneResultsEvalThreads.load(std::memory_order_relaxed);
    if ((own | ui | pane) != 0) [[unlikely]]
      return ScreenRaised(value, cancelled, own, ui, pane);
    return value;
  }

  template <typename T>
  [[gnu::noinline, gnu::cold]] static T ScreenRaised(T value, T cancelled, int32_t own, int32_t ui, int32_t pane) {
    return ConcernsThisThread(own, ui, pane) ? cancelled : value;
  }

  [[gnu::noinline, gnu::cold]] static bool ConcernsThisThread(int32_t own, int32_t ui, int32_t pane) {
    return own != 0 || (ui != 0 && IsUIThread()) || (pane != 0 && IsMathPaneResultsThread());
  }

  const std::atomic<int32_t>* program;
};
