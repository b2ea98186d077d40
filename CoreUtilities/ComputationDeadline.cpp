#include "CoreUtilities/ComputationDeadline.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include "CoreUtilities/BuildInterruption.h"
#include "CoreUtilities/MemoryBudget.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds of the steady clock; 0 when no deadline is set.
std::atomic<int64_t> gDeadline{0};

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

}  // namespace

void SetComputationDeadline(double secondsFromNow) {
  // A century is as good as none, and keeps the count far from overflow.
  constexpr double kFarthestSeconds = 3.2e9;
  if (!(secondsFromNow < kFarthestSeconds)) {
    ClearComputationDeadline();
    return;
  }
  const double nanoseconds = secondsFromNow > 0 ? secondsFromNow * 1e9 : 0.0;
  gDeadline.store(Now() + int64_t(nanoseconds) + 1);
}

void ClearComputationDeadline() { gDeadline.store(0); }

bool ComputationDeadlinePassed() {
  if (BuildInterruptionRequested()) {
    gMathError.store(1);
    return true;
  }
  const int64_t deadline = gDeadline.load(std::memory_order_relaxed);
  if (deadline == 0 || Now() < deadline) return false;
  gMathError.store(1);
  return true;
}
