#include "CoreUtilities/threads/GraphViewThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "CoreUtilities/threads/ViewEvaluator.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// Evaluates until the interface's cancel flag concerns it (as an
// interpreter tests it), or, when finite, returns at once; records what it
// saw.
class FlagView : public AViewEvaluator {
 public:
  explicit FlagView(bool endless) : fEndless(endless) {}

  void Threaded2DGraphViewEvaluation() override {
    ranAsUIThread = IsUIThread();
    flagAtStart = gCancelEvaluationForUIEvalThreads.load();
    if (fEndless) {
      while (gCancelEvaluationForUIEvalThreads.load(std::memory_order_relaxed) == 0 || !IsUIThread()) {
        std::this_thread::yield();
      }
    }
    ended = true;
  }

  bool ranAsUIThread = false;
  int32_t flagAtStart = -1;
  bool ended = false;

 private:
  const bool fEndless;
};

class GraphViewThreadTest : public testing::Test {
 protected:
  // First member: it watches SetUp and TearDown too.
  Watchdog fWatchdog{"graph-view test"};

  void SetUp() override { InitializeZLThreads(); }
  void TearDown() override { ShutdownZLThreads(); }
};

}  // namespace

// An evaluation that ends only when told is told so, no sooner than two
// seconds after the request; the flag is down again afterwards, so the
// next request runs to its end, as the evaluation thread of the view.
TEST_F(GraphViewThreadTest, SlowEvaluationIsCancelledAfterTwoSecondsAndStops) {
  FlagView endless(true);
  const auto start = Clock::now();
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&endless);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(1990));
  EXPECT_TRUE(endless.ended);
  EXPECT_EQ(endless.flagAtStart, 0);
  EXPECT_EQ(gCancelEvaluationForUIEvalThreads.load(), 0);

  FlagView next(false);
  Do2DGraphViewEvaluationsInThreadWithTimeLimit(&next);
  EXPECT_TRUE(next.ended);
  EXPECT_TRUE(next.ranAsUIThread);
  EXPECT_EQ(next.flagAtStart, 0);
  EXPECT_FALSE(IsUIThread());
  EXPECT_EQ(gCancelEvaluationForUIEvalThreads.load(), 0);
}
