#include "CoreUtilities/threads/CooperativeThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/OurTime.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

// Counts the parties inside their baton-held sections; more than one at a
// time is a violation.
std::atomic<int> gInside{0};
std::atomic<int> gOverlaps{0};

void Enter() {
  if (gInside.fetch_add(1) != 0) gOverlaps.fetch_add(1);
}
void Leave() { gInside.fetch_sub(1); }

struct Worker {
  std::atomic<long> steps{0};
  std::atomic<bool> done{false};
  long limit = -1;  // -1: until killed
  std::chrono::microseconds stepTime{50};
};

void WorkerEntry(void* argument) {
  auto* worker = static_cast<Worker*>(argument);
  Enter();
  while (!OurThreadKillRequested() && (worker->limit < 0 || worker->steps.load() < worker->limit)) {
    const auto end = std::chrono::steady_clock::now() + worker->stepTime;
    while (std::chrono::steady_clock::now() < end) {
    }
    worker->steps.fetch_add(1);
    Leave();
    OurYield();
    OurYield();  // a killed thread must not yield between its checks
    Enter();
  }
  worker->done.store(true);
  Leave();
}

// The main thread's own bracketed yield.
void MainYield() {
  Leave();
  OurYieldFromMainThread();
  Enter();
}

// The target runs while the main thread waits for it to end.
void KillFromMain(OurThreadID thread) {
  Leave();
  OurKillThread(thread);
  Enter();
}

class CooperativeThreadsTest : public testing::Test {
 protected:
  // First member: it watches SetUp and TearDown too.
  Watchdog fWatchdog{"cooperative threads test"};

  void SetUp() override {
    gOverlaps = 0;
    gInside = 1;  // the main thread holds the baton
    gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
    gMathError = 0;
  }
  // Owned here, so they outlive their threads, which TearDown ends.
  Worker& NewWorker() { return *fWorkers.emplace_back(std::make_unique<Worker>()); }

  void TearDown() override {
    ShutdownCooperativeThreads();
    gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
    gMathError = 0;
  }

 private:
  std::vector<std::unique_ptr<Worker>> fWorkers;
};

}  // namespace

TEST_F(CooperativeThreadsTest, OneRunsAtATimeAndAllFinish) {
  std::vector<Worker*> workers;
  for (int i = 0; i < 4; ++i) {
    Worker& worker = NewWorker();
    worker.limit = 300;
    workers.push_back(&worker);
    ASSERT_NE(OurNewThread(WorkerEntry, &worker), 0u);
  }
  auto allDone = [&] {
    for (Worker* worker : workers)
      if (!worker->done) return false;
    return true;
  };
  while (!allDone()) {
    gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;  // a loaded machine may trip it
    MainYield();
  }
  EXPECT_EQ(gOverlaps.load(), 0);
  OurYield();  // the main thread never yields here
}

TEST_F(CooperativeThreadsTest, YieldsKeepTheDeadlineAndTooLongStopsMainYields) {
  Worker& worker = NewWorker();
  ASSERT_NE(OurNewThread(WorkerEntry, &worker), 0u);
  MainYield();  // the worker starts and runs its first slice
  const auto start = std::chrono::steady_clock::now();
  MainYield();
  const auto away = std::chrono::steady_clock::now() - start;
  if (gDoNotYieldFromMainThreadSoUICanStayResponsive == 0) {
    // Away for the whole slice of 10 ticks, never less.
    EXPECT_GE(away, std::chrono::microseconds(10 * 16625 - 1000));
  }

  gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
  worker.stepTime = std::chrono::milliseconds(800);  // one step past 40 ticks
  MainYield();
  ASSERT_NE(gDoNotYieldFromMainThreadSoUICanStayResponsive.load(), 0);
  const long steps = worker.steps.load();
  MainYield();
  MainYield();
  EXPECT_EQ(worker.steps.load(), steps);  // the worker got no turn
  EXPECT_EQ(gOverlaps.load(), 0);
}

TEST_F(CooperativeThreadsTest, KillEndsOnlyThatThreadAndLeavesMathErrorAlone) {
  Worker& killed = NewWorker();
  Worker& survivor = NewWorker();
  const OurThreadID killedId = OurNewThread(WorkerEntry, &killed);
  ASSERT_NE(OurNewThread(WorkerEntry, &survivor), 0u);
  MainYield();
  KillFromMain(killedId);
  EXPECT_TRUE(killed.done.load());
  EXPECT_EQ(gMathError.load(), 0);
  KillFromMain(killedId);  // ended: ignored
  const long before = survivor.steps.load();
  while (survivor.steps.load() == before) {
    gDoNotYieldFromMainThreadSoUICanStayResponsive = 0;
    MainYield();
  }
  EXPECT_FALSE(survivor.done.load());

  gMathError = 1;  // a real shortage elsewhere must survive a kill
  Worker& second = NewWorker();
  const OurThreadID secondId = OurNewThread(WorkerEntry, &second);
  KillFromMain(secondId);
  EXPECT_TRUE(second.done.load());
  EXPECT_EQ(gMathError.load(), 1);
  EXPECT_EQ(gOverlaps.load(), 0);
}

TEST_F(CooperativeThreadsTest, BlockedEventLoopLetsThreadsRunAndWakingTakesTheBatonBack) {
  Worker& worker = NewWorker();
  ASSERT_NE(OurNewThread(WorkerEntry, &worker), 0u);
  Leave();
  OurEventLoopAboutToBlock();
  WaitUntil("the worker's steps while the event loop waits", [&] { return worker.steps.load() > 200; });
  OurEventLoopAwake();
  Enter();
  // The baton is back: whatever the worker is given meanwhile, it takes no
  // step.
  const long steps = worker.steps.load();
  for (int chance = 0; chance < 1000; ++chance) std::this_thread::yield();
  EXPECT_EQ(worker.steps.load(), steps);
  EXPECT_EQ(gOverlaps.load(), 0);
}
