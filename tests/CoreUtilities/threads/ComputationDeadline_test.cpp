#include "CoreUtilities/threads/ComputationDeadline.h"

#include "CoreUtilities/memory/MemoryBudget.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class ComputationDeadlineTest : public testing::Test {
 protected:
  void TearDown() override {
    ClearComputationDeadline();
    gMathError = 0;
  }
};

// Past the deadline the recursion check says stop and keeps saying it
// through the math-error flag, as a shortage of memory would. A deadline a
// day away has not passed in any test; one a few milliseconds away has once
// the clock is past it.
TEST_F(ComputationDeadlineTest, APassedDeadlineStopsRecursionsUntilTheFlagIsCleared) {
  SetComputationDeadline(24 * 60 * 60);
  EXPECT_FALSE(ComputationDeadlinePassed());
  EXPECT_EQ(MATH_MemCheckInRecursion(), 0);
  SetComputationDeadline(0.005);
  std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::milliseconds(6));
  EXPECT_EQ(MATH_MemCheckInRecursion(), 1);
  EXPECT_EQ(gMathError.load(), 1);
  ClearComputationDeadline();
  gMathError = 0;
  EXPECT_FALSE(ComputationDeadlinePassed());
  EXPECT_EQ(MATH_MemCheckInRecursion(), 0);
}

TEST_F(ComputationDeadlineTest, NoneZeroNegativeAndEndlessDeadlines) {
  EXPECT_FALSE(ComputationDeadlinePassed());
  SetComputationDeadline(0);
  EXPECT_TRUE(ComputationDeadlinePassed());
  SetComputationDeadline(-5);
  EXPECT_TRUE(ComputationDeadlinePassed());
  gMathError = 0;
  for (const double endless : {1e300, __builtin_inf(), __builtin_nan("")}) {
    SetComputationDeadline(endless);
    EXPECT_FALSE(ComputationDeadlinePassed()) << endless;
  }
  EXPECT_EQ(gMathError.load(), 0);
}

// Drawing stops with the computations, and may be let on alone: the
// computations stay stopped, and neither check of the drawing's raises the
// math error.
TEST_F(ComputationDeadlineTest, TheDrawingDeadlineFollowsAndMovesOnAlone) {
  EXPECT_FALSE(DrawingDeadlinePassed());
  SetComputationDeadline(0);
  EXPECT_TRUE(DrawingDeadlinePassed());
  EXPECT_EQ(gMathError.load(), 0);
  SetDrawingDeadline(1e6);
  EXPECT_FALSE(DrawingDeadlinePassed());
  EXPECT_TRUE(ComputationDeadlinePassed());
  SetDrawingDeadline(-1);
  EXPECT_TRUE(DrawingDeadlinePassed());
  ClearComputationDeadline();
  EXPECT_FALSE(DrawingDeadlinePassed());
}

}  // namespace
