#pragma once

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "CoreUtilities/threads/JobQueue.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "platform/GuiApplication.h"

// A formula as a graph receives it, not yet compiled.
inline std::unique_ptr<AnExpression> Parsed(const char* text) {
  return std::make_unique<AnExpression>(CoreParseExpr(text, int32_t(std::strlen(text))), nullptr);
}

// The workers and the algebra, once per process.
inline void StartGraphWorkers() {
  static const bool started = [] {
    EnsureGuiApplication();
    InstallAlgebra();
    StartComputeThreads();
    std::atexit(StopComputeThreads);
    return true;
  }();
  (void)started;
}

inline double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}
// Processor seconds of the whole process, every worker's included: over a
// wall-clock span, how many cores the process had.
inline double ProcessCpuSeconds() { return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }
// Of the calling thread alone: unlike the wall clock, blind to the time
// other processes hold its core.
inline double ThreadCpuSeconds() { return CpuSeconds(CLOCK_THREAD_CPUTIME_ID); }
