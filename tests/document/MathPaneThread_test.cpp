#include "CoreUtilities/threads/MathPaneThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "document/DocumentRecord.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/support/HangLimit.h"

namespace {

// Computes in steps, stopping at the cancel flag as the interpreters do; a
// gate can hold it, and `endless` keeps it going until cancelled.
class CountingDocument : public DocumentRecord {
 public:
  CountingDocument() = default;
  // As every document must before it goes: the thread may still hold it.
  ~CountingDocument() override { CancelThreadedMathPaneCalculations(this); }

  void CompileDocumentFunctions() override { compiled.fetch_add(1); }

  void ThreadedCalculateMathPaneResultStrings() override {
    started.fetch_add(1);
    onMathPaneThread.store(IsMathPaneResultsThread());
    if (gate) gate->Wait();
    for (int step = 0; endless || step < 100; ++step) {
      if (gCancelEvaluationForMathPaneResultsEvalThreads.load(std::memory_order_relaxed) != 0 &&
          IsMathPaneResultsThread()) {
        aborted.fetch_add(1);
        return;
      }
      if (endless) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    finished.fetch_add(1);
  }

  std::atomic<int> compiled{0};
  std::atomic<int> started{0};
  std::atomic<int> finished{0};
  std::atomic<int> aborted{0};
  std::atomic<bool> onMathPaneThread{false};
  Gate* gate = nullptr;
  bool endless = false;
};

class MathPaneThreadTest : public testing::Test {
 protected:
  // First member: it watches SetUp and TearDown too.
  Watchdog fWatchdog{"math-pane test", kHangLimit};

  void SetUp() override { InitializeZLThreads(); }
  void TearDown() override { ShutdownZLThreads(); }
};

}  // namespace

TEST_F(MathPaneThreadTest, DocumentQueuedTwiceIsComputedOnce) {
  Gate gate;
  CountingDocument busy;
  busy.gate = &gate;
  CountingDocument twice;
  DoThreadedMathPaneCalculations(&busy);
  ASSERT_TRUE(EventuallyTrue([&] { return busy.started.load() == 1; }));
  EXPECT_EQ(busy.fMathPaneState.load(), kMathPaneResultsBeingComputed);
  DoThreadedMathPaneCalculations(&twice);
  DoThreadedMathPaneCalculations(&twice);
  // Queued after both: the thread takes documents in turn, so a second
  // computation of the first would come before it ends.
  CountingDocument after;
  DoThreadedMathPaneCalculations(&after);
  gate.Open();
  ASSERT_TRUE(EventuallyTrue([&] { return after.finished.load() == 1; }));
  EXPECT_EQ(twice.fMathPaneState.load(), kMathPaneResultsDone);
  EXPECT_EQ(twice.started.load(), 1);
  EXPECT_EQ(twice.finished.load(), 1);
  EXPECT_EQ(twice.compiled.load(), 2);
  EXPECT_TRUE(twice.onMathPaneThread.load());
  EXPECT_FALSE(IsMathPaneResultsThread());
}

TEST_F(MathPaneThreadTest, CancelStopsOnlyTheNamedDocument) {
  CountingDocument endless;
  endless.endless = true;
  CountingDocument queued;
  CountingDocument untouched;
  CountingDocument next;

  CancelThreadedMathPaneCalculations(&untouched);  // neither queued nor running
  DoThreadedMathPaneCalculations(&endless);
  ASSERT_TRUE(EventuallyTrue([&] { return endless.started.load() == 1; }));
  DoThreadedMathPaneCalculations(&queued);
  DoThreadedMathPaneCalculations(&next);
  CancelThreadedMathPaneCalculations(&queued);  // taken off, the running one untouched
  EXPECT_EQ(endless.aborted.load(), 0);
  CancelThreadedMathPaneCalculations(&endless);
  EXPECT_EQ(endless.aborted.load(), 1);
  EXPECT_EQ(endless.fMathPaneState.load(), kMathPaneResultsDone);
  ASSERT_TRUE(EventuallyTrue([&] { return next.finished.load() == 1; }));
  EXPECT_EQ(next.aborted.load(), 0);
  EXPECT_EQ(queued.started.load(), 0);
  EXPECT_EQ(untouched.started.load(), 0);
  EXPECT_EQ(gCancelEvaluationForMathPaneResultsEvalThreads.load(), 0);
}
