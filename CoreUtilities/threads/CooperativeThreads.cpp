#include "CoreUtilities/threads/CooperativeThreads.h"

#include <pthread.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/OurTime.h"

std::atomic<uint32_t> gTimeToYield{0};
std::atomic<int32_t> gDoNotYieldFromMainThreadSoUICanStayResponsive{0};

namespace {

// Frames here are far larger than the 128 KB the original stacks allowed.
constexpr size_t kCooperativeStackBytes = size_t{8} << 20;

// One party to the baton: the main thread or a cooperative thread.
struct Runner {
  OurThreadID id = 0;
  OurThreadEntry entry = nullptr;
  void* argument = nullptr;
  pthread_t thread{};
  std::atomic<bool> killed{false};
  bool finished = false;  // guarded by gBatonMutex
};

// The process's main thread is the interface thread; static initialisation
// runs on it.
const std::thread::id gMainThreadId = std::this_thread::get_id();

// Everything below is guarded by gBatonMutex. Invariant: when nobody holds
// the baton, nobody is waiting for it.
std::mutex gBatonMutex;
std::condition_variable gBatonCond;
Runner gMainRunner;
Runner* gHolder = &gMainRunner;
std::deque<Runner*> gReady;
bool gMainAway = false;                         // the event loop is blocked without the baton
std::vector<std::unique_ptr<Runner>> gRunners;  // creation order, joined lazily
OurThreadID gLastId = 0;

thread_local Runner* tSelf = nullptr;

bool IsMainThread() { return std::this_thread::get_id() == gMainThreadId; }

void HandBatonLocked(Runner* next) {
  gHolder = next;
  gBatonCond.notify_all();
}

void PassBatonLocked() {
  if (gReady.empty()) {
    HandBatonLocked(nullptr);
    return;
  }
  Runner* next = gReady.front();
  gReady.pop_front();
  HandBatonLocked(next);
}

void MakeReadyLocked(Runner* runner) {
  if (!gHolder)
    HandBatonLocked(runner);
  else
    gReady.push_back(runner);
}

void WaitForBatonLocked(std::unique_lock<std::mutex>& lock, Runner* self) {
  gBatonCond.wait(lock, [self] { return gHolder == self; });
}

void YieldLocked(std::unique_lock<std::mutex>& lock, Runner* self) {
  if (gReady.empty()) return;
  gReady.push_back(self);
  PassBatonLocked();
  WaitForBatonLocked(lock, self);
}

// While the interface waits for events, cooperative threads share the
// processor in slices rather than at every yield point.
void RefreshSliceIfMainAwayLocked() {
  if (gMainAway) gTimeToYield.store(OurTime() + kComputeThreadTimeSlice, std::memory_order_relaxed);
}

void* CooperativeThreadStub(void* parameter) {
  Runner* self = static_cast<Runner*>(parameter);
  tSelf = self;
  {
    std::unique_lock lock(gBatonMutex);
    WaitForBatonLocked(lock, self);
  }
  self->entry(self->argument);
  std::lock_guard lock(gBatonMutex);
  self->finished = true;
  PassBatonLocked();
  return nullptr;
}

bool StartPlatformThread(Runner* runner) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  size_t stackBytes = 0;
  pthread_attr_getstacksize(&attributes, &stackBytes);
  pthread_attr_setstacksize(&attributes, std::max(stackBytes, kCooperativeStackBytes));
  const bool started = pthread_create(&runner->thread, &attributes, CooperativeThreadStub, runner) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

// Joins the ended threads outside the baton lock.
void JoinFinishedThreads() {
  std::vector<std::unique_ptr<Runner>> finished;
  {
    std::lock_guard lock(gBatonMutex);
    for (auto it = gRunners.begin(); it != gRunners.end();) {
      if ((*it)->finished) {
        finished.push_back(std::move(*it));
        it = gRunners.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& runner : finished) pthread_join(runner->thread, nullptr);
}

Runner* FindRunnerLocked(OurThreadID id) {
  for (const auto& runner : gRunners)
    if (runner->id == id) return runner.get();
  return nullptr;
}

}  // namespace

OurThreadID OurNewThread(OurThreadEntry entry, void* argument) {
  JoinFinishedThreads();
  auto runner = std::make_unique<Runner>();
  runner->entry = entry;
  runner->argument = argument;
  std::unique_lock lock(gBatonMutex);
  if (++gLastId == 0) ++gLastId;  // 0 means no thread, even after a wrap
  runner->id = gLastId;
  // Ready before it exists, so no yield can miss it.
  MakeReadyLocked(runner.get());
  if (!StartPlatformThread(runner.get())) {
    if (gHolder == runner.get())
      PassBatonLocked();
    else
      std::erase(gReady, runner.get());
    lock.unlock();
    entry(argument);
    return 0;
  }
  const OurThreadID id = runner->id;
  gRunners.push_back(std::move(runner));
  return id;
}

void OurKillThread(OurThreadID thread) {
  Runner* self = tSelf ? tSelf : (IsMainThread() ? &gMainRunner : nullptr);
  std::unique_lock lock(gBatonMutex);
  Runner* target = FindRunnerLocked(thread);
  if (!target || target->finished) return;
  target->killed.store(true, std::memory_order_relaxed);
  if (target == self) return;
  if (!self || gHolder != self) {
    // Not a party to the baton: the target runs when its turn comes.
    gBatonCond.wait(lock, [target] { return target->finished; });
    return;
  }
  // Straight to the target, and straight back once it has ended.
  std::erase(gReady, target);
  gReady.push_front(self);
  HandBatonLocked(target);
  gBatonCond.wait(lock, [target, self] { return target->finished && gHolder == self; });
}

bool OurThreadKillRequested() { return tSelf && tSelf->killed.load(std::memory_order_relaxed); }

void OurYield() {
  Runner* self = tSelf;
  if (!self) return;
  if (gMathError.load(std::memory_order_relaxed) != 0) return;
  if (self->killed.load(std::memory_order_relaxed)) return;
  if (!OurTimeIsPast(OurTime(), gTimeToYield.load(std::memory_order_relaxed))) return;
  std::unique_lock lock(gBatonMutex);
  YieldLocked(lock, self);
  RefreshSliceIfMainAwayLocked();
}

void OurYieldFromMainThread() {
  if (!IsMainThread()) return;
  if (gDoNotYieldFromMainThreadSoUICanStayResponsive.load(std::memory_order_relaxed) != 0) return;
  const uint32_t now = OurTime();
  {
    std::unique_lock lock(gBatonMutex);
    if (gHolder != &gMainRunner) return;
    gTimeToYield.store(now + kComputeThreadTimeSlice, std::memory_order_relaxed);
    YieldLocked(lock, &gMainRunner);
  }
  if (OurTimeIsPast(OurTime(), now + kComputeThreadTooLong))
    gDoNotYieldFromMainThreadSoUICanStayResponsive.store(1, std::memory_order_relaxed);
}

void OurEventLoopAboutToBlock() {
  if (!IsMainThread()) return;
  std::lock_guard lock(gBatonMutex);
  if (gHolder != &gMainRunner) return;
  gMainAway = true;
  RefreshSliceIfMainAwayLocked();
  PassBatonLocked();
}

void OurEventLoopAwake() {
  if (!IsMainThread()) return;
  std::unique_lock lock(gBatonMutex);
  if (!gMainAway) return;
  gMainAway = false;
  if (!gHolder) {
    HandBatonLocked(&gMainRunner);
    return;
  }
  // First in line, and the running thread yields at its next safe point.
  gReady.push_front(&gMainRunner);
  gTimeToYield.store(OurTime() - 1, std::memory_order_relaxed);
  WaitForBatonLocked(lock, &gMainRunner);
}

void ShutdownCooperativeThreads() {
  if (!IsMainThread()) return;
  OurEventLoopAwake();
  std::vector<OurThreadID> ids;
  {
    std::lock_guard lock(gBatonMutex);
    for (const auto& runner : gRunners) ids.push_back(runner->id);
  }
  for (OurThreadID id : ids) OurKillThread(id);
  JoinFinishedThreads();
}
