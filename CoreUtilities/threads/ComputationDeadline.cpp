#include "CoreUtilities/threads/ComputationDeadline.h"

#include <atomic>
#include <chrono>
#include <cstdint>

#include "CoreUtilities/threads/BuildInterruption.h"
#include "CoreUtilities/memory/MemoryBudget.h"

namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds of the deadline clock; 0 when no deadline is set.
std::atomic<int64_t> gDeadline{0};
std::atomic<int64_t> gDrawingDeadline{0};
std::atomic<uint64_t> gDrawingsStoppedShort{0};

int64_t SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

std::atomic<DeadlineClock> gDeadlineClock{SteadyNow};

int64_t Now() { return gDeadlineClock.load()(); }

}  // namespace

// A century is as good as none, and keeps the count far from overflow.
int64_t DeadlineAfter(int64_t since, double seconds) {
  constexpr double kFarthestSeconds = 3.2e9;
  if (!(seconds < kFarthestSeconds)) return 0;
  const double nanoseconds = seconds > 0 ? seconds * 1e9 : 0.0;
  return since + int64_t(nanoseconds) + 1;
}

bool DeadlineReached(int64_t deadline) { return deadline != 0 && Now() >= deadline; }

void SetComputationDeadlineAt(int64_t deadline) {
  gDeadline.store(deadline);
  gDrawingDeadline.store(deadline);
}

void SetDrawingDeadlineAt(int64_t deadline) { gDrawingDeadline.store(deadline); }

void SetComputationDeadline(double secondsFromNow) { SetComputationDeadlineAt(DeadlineAfter(Now(), secondsFromNow)); }

void SetDrawingDeadline(double secondsFromNow) { SetDrawingDeadlineAt(DeadlineAfter(Now(), secondsFromNow)); }

void ClearComputationDeadline() {
  gDeadline.store(0);
  gDrawingDeadline.store(0);
}

bool DrawingDeadlinePassed() {
  if (!DeadlineReached(gDrawingDeadline.load(std::memory_order_relaxed))) return false;
  gDrawingsStoppedShort.fetch_add(1, std::memory_order_relaxed);
  return true;
}

bool HasDrawingDeadline() { return gDrawingDeadline.load(std::memory_order_relaxed) != 0; }

int64_t DeadlineClockReading() { return Now(); }

bool DrawingDeadlineNearerThanSince(int64_t since) {
  const int64_t at = gDrawingDeadline.load(std::memory_order_relaxed);
  if (at == 0) return false;
  const int64_t now = Now();
  if (at - now > now - since) return false;
  gDrawingsStoppedShort.fetch_add(1, std::memory_order_relaxed);
  return true;
}

uint64_t DrawingsStoppedShort() { return gDrawingsStoppedShort.load(std::memory_order_relaxed); }

DeadlineClock SetDeadlineClock(DeadlineClock clock) { return gDeadlineClock.exchange(clock ? clock : SteadyNow); }

bool ComputationDeadlinePassed() {
  if (BuildInterruptionRequested()) {
    gMathError.store(1);
    return true;
  }
  if (!DeadlineReached(gDeadline.load(std::memory_order_relaxed))) return false;
  gMathError.store(1);
  return true;
}
