#include "CoreUtilities/threads/BuildInterruption.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace {

using Clock = std::chrono::steady_clock;

// The walks check at every node; the clock is read every so many checks and
// the window asked at most this often.
constexpr uint32_t kChecksPerClockReading = 64;
std::atomic<int32_t> gAskingMilliseconds{20};

Clock::duration AskingInterval() { return std::chrono::milliseconds(gAskingMilliseconds.load()); }

std::atomic<BuildInterruptionCheck> gInterruptionCheck{nullptr};

struct BuildOnThisThread {
  bool active = false;
  bool asking = false;  // the check itself never asks again
  bool interrupted = false;
  uint32_t checks = 0;
  Clock::time_point nextAsking;
};

thread_local BuildOnThisThread tBuild;

}  // namespace

void SetBuildInterruptionCheck(BuildInterruptionCheck check) { gInterruptionCheck.store(check); }

int32_t SetBuildAskingInterval(int32_t milliseconds) { return gAskingMilliseconds.exchange(milliseconds); }

InterruptibleBuild::InterruptibleBuild() : fOuter(tBuild.active) {
  if (fOuter) return;
  tBuild = BuildOnThisThread{.active = true, .nextAsking = Clock::now() + AskingInterval()};
}

InterruptibleBuild::~InterruptibleBuild() {
  if (!fOuter) tBuild = BuildOnThisThread{};
}

bool InterruptibleBuild::Interrupted() const { return tBuild.interrupted; }

bool BuildInterruptionRequested() {
  BuildOnThisThread& build = tBuild;
  if (!build.active || build.interrupted) return build.interrupted;
  if (build.asking || ++build.checks % kChecksPerClockReading != 0) return false;
  const BuildInterruptionCheck check = gInterruptionCheck.load(std::memory_order_relaxed);
  if (check == nullptr || Clock::now() < build.nextAsking) return false;
  build.asking = true;
  const bool stop = check();
  build.asking = false;
  build.nextAsking = Clock::now() + AskingInterval();
  build.interrupted = stop;
  return stop;
}
