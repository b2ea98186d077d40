#include "CoreUtilities/BuildInterruption.h"

#include "CoreUtilities/ComputationDeadline.h"
#include "CoreUtilities/MemoryBudget.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> gAsked{0};
bool gAnswer = false;

bool CountingCheck() {
  ++gAsked;
  // Looking at input may itself meet a walk's stop check.
  EXPECT_FALSE(ComputationDeadlinePassed());
  return gAnswer;
}

// Checks as a walk makes them, for that long.
void WalkFor(std::chrono::milliseconds span) {
  const auto end = Clock::now() + span;
  while (Clock::now() < end) (void)MATH_MemCheckInRecursion();
}

class BuildInterruptionTest : public testing::Test {
 protected:
  void SetUp() override {
    gAsked = 0;
    gAnswer = false;
    SetBuildInterruptionCheck(CountingCheck);
  }
  void TearDown() override {
    SetBuildInterruptionCheck(nullptr);
    gMathError = 0;
  }
};

// Asked only within a build, never more often than every few tens of
// milliseconds, and not at all from the check itself.
TEST_F(BuildInterruptionTest, TheCheckIsAskedNowAndThenWithinABuildOnly) {
  WalkFor(std::chrono::milliseconds(80));
  EXPECT_EQ(gAsked.load(), 0);
  const auto start = Clock::now();
  {
    const InterruptibleBuild build;
    WalkFor(std::chrono::milliseconds(10));
    EXPECT_EQ(gAsked.load(), 0);
    WalkFor(std::chrono::milliseconds(280));
    EXPECT_FALSE(build.Interrupted());
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(gAsked.load(), 3);
  EXPECT_LE(gAsked.load(), int(seconds / 0.020) + 1);
  EXPECT_EQ(gMathError.load(), 0);
  const int asked = gAsked;
  WalkFor(std::chrono::milliseconds(80));
  EXPECT_EQ(gAsked.load(), asked);
}

// Once told to stop, every check of the build says stop and the math-error
// flag is set, as past a deadline; the next build starts afresh.
TEST_F(BuildInterruptionTest, AStopHoldsForTheRestOfTheBuildOnly) {
  gAnswer = true;
  {
    const InterruptibleBuild build;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!BuildInterruptionRequested() && Clock::now() < end) {
    }
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
  std::thread worker([] { WalkFor(std::chrono::milliseconds(100)); });
  worker.join();
  EXPECT_EQ(gAsked.load(), 0);
  EXPECT_FALSE(build.Interrupted());
}

}  // namespace
