#include "CoreUtilities/GraphViewThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CoreUtilities/ComputeThreads.h"
#include "CoreUtilities/ThreadLocalState.h"
#include "CoreUtilities/ViewEvaluator.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// Evaluates for a chosen time, or until cancelled, the way an interpreter
// tests the flag; stores 0 when the flag is set at its end.
class TimedView : public AViewEvaluator {
 public:
  explicit TimedView(std::chrono::milliseconds work) : fWork(work) {}

  void Threaded2DGraphViewEvaluation() override {
    running.store(true);
    ranAsUIThread = IsUIThread();
    const auto end = Clock::now() + fWork;
    while (Clock::now() < end) {
      if (gCancelEvaluationForUIEvalThreads.load(std::memory_order_relaxed) != 0 && IsUIThread()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    result = gCancelEvaluationForUIEvalThreads.load() != 0 ? 0 : 42;
    running.store(false);
  }

  std::atomic<bool> running{false};
  bool ranAsUIThread = false;
  int result = -1;

 private:
  std::chrono::milliseconds fWork;
};

class GraphViewThreadTest : public testing::Test {
 protected:
  // First member: it watches SetUp and TearDown too.
  Watchdog fWatchdog{"graph-view test", std::chrono::seconds(60)};

  void SetUp() override { InitializeZLThreads(); }
  void TearDown() override { ShutdownZLThreads(); }
};

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

TEST_F(GraphViewThreadTest, SlowEvaluationIsCancelledAfterTwoSecondsAndStops) {
  TimedView slow(std::chrono::seconds(40));
  const auto start = Clock::now();
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&slow);
  const double elapsed = SecondsSince(start);
  EXPECT_GE(elapsed, 1.99);
  EXPECT_LT(elapsed, 20.0);
  EXPECT_FALSE(slow.running.load());
  EXPECT_EQ(slow.result, 0);
  EXPECT_EQ(gCancelEvaluationForUIEvalThreads.load(), 0);

  // The flag is down again, so the next request runs to its end, as the
  // evaluation thread of the view.
  TimedView next(std::chrono::milliseconds(30));
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&next);
  EXPECT_FALSE(next.running.load());
  EXPECT_TRUE(next.ranAsUIThread);
  EXPECT_EQ(next.result, 42);
  EXPECT_FALSE(IsUIThread());
  EXPECT_EQ(gCancelEvaluationForUIEvalThreads.load(), 0);
}
