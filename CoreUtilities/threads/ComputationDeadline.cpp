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

// A century is as good as none, and keeps the count far from overflow:
// the clock's count that far on, or 0 for none.
int64_t DeadlineFromNow(double secondsFromNow) {
  constexpr double kFarthestSeconds = 3.2e9;
  if (!(secondsFromNow < kFarthestSeconds)) return 0;
  const double nanoseconds = secondsFromNow > 0 ? secondsFromNow * 1e9 : 0.0;
  return Now() + int64_t(nanoseconds) + 1;
}

bool Passed(const std::atomic<int64_t>& deadline) {
  const int64_t at = deadline.load(std::memory_order_relaxed);
  return at != 0 && Now() >= at;
}

}  // namespace

void SetComputationDeadline(double secondsFromNow) {
  const int64_t at = DeadlineFromNow(secondsFromNow);
  gDeadline.store(at);
  gDrawingDeadline.store(at);
}

void SetDrawingDeadline(double secondsFromNow) { gDrawingDeadline.store(DeadlineFromNow(secondsFromNow)); }

void ClearComputationDeadline() {
  gDeadline.store(0);
  gDrawingDeadline.store(0);
}

bool DrawingDeadlinePassed() {
  if (!Passed(gDrawingDeadline)) return false;
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
  if (!Passed(gDeadline)) return false;
  gMathError.store(1);
  return true;
}
