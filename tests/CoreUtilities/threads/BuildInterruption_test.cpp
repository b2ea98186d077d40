#include "CoreUtilities/threads/BuildInterruption.h"

#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/memory/MemoryBudget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> gAsked{0};
bool gAnswer = false;
// The interval the check sets while it is asked; unchanged when negative.
int32_t gIntervalOnceAsked = -1;

bool CountingCheck() {
  ++gAsked;
  // Looking at input may itself meet a walk's stop check.
  EXPECT_FALSE(ComputationDeadlinePassed());
  if (gIntervalOnceAsked >= 0) SetBuildAskingInterval(gIntervalOnceAsked);
  return gAnswer;
}

// The clock is read once in this many stop checks of a walk.
constexpr int kChecksPerReading = 64;

// Stop checks as a walk makes them.
void Walk(int checks) {
  for (int i = 0; i < checks; ++i) (void)MATH_MemCheckInRecursion();
}

// Longer than any test: an interval that never runs out within one.
constexpr int32_t kNeverMilliseconds = 24 * 60 * 60 * 1000;

class BuildInterruptionTest : public testing::Test {
 protected:
  void SetUp() override {
    gAsked = 0;
    gAnswer = false;
    gIntervalOnceAsked = -1;
    fFormerInterval = SetBuildAskingInterval(0);
    SetBuildInterruptionCheck(CountingCheck);
  }
  void TearDown() override {
    SetBuildInterruptionCheck(nullptr);
    SetBuildAskingInterval(fFormerInterval);
    gMathError = 0;
  }
  int32_t fFormerInterval = 0;
};

// Asked only within a build, not before the interval has run out since the
// start or the last asking, and not at all from the check itself.
TEST_F(BuildInterruptionTest, TheCheckIsAskedNowAndThenWithinABuildOnly) {
  EXPECT_EQ(fFormerInterval, 20);  // short builds never ask
  Walk(10 * kChecksPerReading);
  EXPECT_EQ(gAsked.load(), 0);
  SetBuildAskingInterval(kNeverMilliseconds);
  {
    const InterruptibleBuild build;
    Walk(10 * kChecksPerReading);
    EXPECT_EQ(gAsked.load(), 0);
  }
  SetBuildAskingInterval(0);
  {
    const InterruptibleBuild build;
    Walk(kChecksPerReading - 1);
    EXPECT_EQ(gAsked.load(), 0);
    Walk(1);
    EXPECT_EQ(gAsked.load(), 1);
    Walk(4 * kChecksPerReading);
    EXPECT_EQ(gAsked.load(), 5);
    // The next asking waits for the interval from this one.
    gIntervalOnceAsked = kNeverMilliseconds;
    Walk(kChecksPerReading);
    EXPECT_EQ(gAsked.load(), 6);
    Walk(10 * kChecksPerReading);
    EXPECT_EQ(gAsked.load(), 6);
    EXPECT_FALSE(build.Interrupted());
  }
  EXPECT_EQ(gMathError.load(), 0);
  SetBuildAskingInterval(0);
  Walk(10 * kChecksPerReading);
  EXPECT_EQ(gAsked.load(), 6);
}

// Once told to stop, every check of the build says stop and the math-error
// flag is set, as past a deadline; the next build starts afresh.
TEST_F(BuildInterruptionTest, AStopHoldsForTheRestOfTheBuildOnly) {
  gAnswer = true;
  {
    const InterruptibleBuild build;
    for (int i = 1; i < kChecksPerReading; ++i) EXPECT_FALSE(BuildInterruptionRequested());
    EXPECT_TRUE(BuildInterruptionRequested());
    EXPECT_EQ(gAsked.load(), 1);
    EXPECT_TRUE(build.Interrupted());
    {
      const InterruptibleBuild inner;  // part of the same build
      EXPECT_TRUE(inner.Interrupted());
    }
    EXPECT_TRUE(build.Interrupted());
    EXPECT_TRUE(ComputationDeadlinePassed());
    EXPECT_EQ(MATH_MemCheckInRecursion(), 1);
    EXPECT_EQ(gMathError.load(), 1);
    EXPECT_EQ(gAsked.load(), 1);
  }
  gMathError = 0;
  EXPECT_FALSE(ComputationDeadlinePassed());
  gAnswer = false;
  const InterruptibleBuild next;
  EXPECT_FALSE(next.Interrupted());
  EXPECT_EQ(MATH_MemCheckInRecursion(), 0);
}

// Another thread's walks, even during the interface thread's build, never
// ask: the check looks at the interface thread's input.
TEST_F(BuildInterruptionTest, OtherThreadsNeverAsk) {
  gAnswer = true;
  const InterruptibleBuild build;
  std::thread worker([] { Walk(10 * kChecksPerReading); });
  worker.join();
  EXPECT_EQ(gAsked.load(), 0);
  EXPECT_FALSE(build.Interrupted());
}

}  // namespace
