#include "CoreUtilities/threads/GraphViewThread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "CoreUtilities/threads/ThreadLocalState.h"
#include "CoreUtilities/threads/ViewEvaluator.h"

std::atomic<int32_t> gCancelEvaluationForUIEvalThreads{0};

namespace {

constexpr auto kGraphViewGrace = std::chrono::seconds(2);

// gGraphViewMutex hands a request over and is held by the thread for the
// whole evaluation, so a new request waits for the running one; the done
// pair signals its end. Lock order: gGraphViewMutex before
// gGraphViewDoneMutex.
std::mutex gGraphViewMutex;
std::condition_variable gGraphViewCond;
std::mutex gGraphViewDoneMutex;
std::condition_variable gGraphViewDoneCond;
AViewEvaluator* g2DView = nullptr;  // guarded by both mutexes for writes
bool gStopGraphViewThread = false;  // guarded by gGraphViewMutex
std::thread gGraphViewThread;

void GraphViewConsumer() {
  SetThisIsUIThread();
  std::unique_lock lock(gGraphViewMutex);
  for (;;) {
    gGraphViewCond.wait(lock, [] { return gStopGraphViewThread || g2DView; });
    if (gStopGraphViewThread) return;
    ReallocateThreadLocalVariablesIfNecessary();
    g2DView->Threaded2DGraphViewEvaluation();
    std::lock_guard done(gGraphViewDoneMutex);
    g2DView = nullptr;
    gGraphViewDoneCond.notify_all();
  }
}

}  // namespace

void Do2DGraphViewEvaluationsInThreadWithTimeLimit(AViewEvaluator* view) {
  if (!view || !gGraphViewThread.joinable()) return;
  {
    std::lock_guard lock(gGraphViewMutex);
    {
      std::lock_guard done(gGraphViewDoneMutex);
      g2DView = view;
    }
    gGraphViewCond.notify_all();
  }
  std::unique_lock done(gGraphViewDoneMutex);
  // A loop over the remaining time, so a spurious wake-up never cuts the
  // grace short.
  if (gGraphViewDoneCond.wait_for(done, kGraphViewGrace, [] { return g2DView == nullptr; })) return;
  gCancelEvaluationForUIEvalThreads.store(1, std::memory_order_relaxed);
  gGraphViewDoneCond.wait(done, [] { return g2DView == nullptr; });
  gCancelEvaluationForUIEvalThreads.store(0, std::memory_order_relaxed);
}

void StartGraphViewThread() {
  if (gGraphViewThread.joinable()) return;
  gStopGraphViewThread = false;
  try {
    gGraphViewThread = std::thread(GraphViewConsumer);
  } catch (const std::system_error&) {
    // Without the thread, requests return at once and the view keeps what
    // it showed.
  }
}

void StopGraphViewThread() {
  if (!gGraphViewThread.joinable()) return;
  {
    std::lock_guard lock(gGraphViewMutex);
    gStopGraphViewThread = true;
    gGraphViewCond.notify_all();
  }
  gGraphViewThread.join();
  gGraphViewThread = std::thread();
}
