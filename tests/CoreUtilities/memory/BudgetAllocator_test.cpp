#include "CoreUtilities/memory/BudgetAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <vector>

#include "CoreUtilities/files/ErrorQueue.h"
#include "tests/CoreUtilities/BudgetRoom.h"

namespace {

using BudgetVector = std::vector<int64_t, BudgetAllocator<int64_t>>;

class BudgetAllocatorTest : public testing::Test {
 protected:
  void SetUp() override { ResetDeferredErrors(); }
  void TearDown() override {
    gMathError = 0;
    ResetDeferredErrors();
  }
};

TEST_F(BudgetAllocatorTest, AContainersBlocksAreCountedWhileHeldAndUncountedAfter) {
  const int64_t before = gApproximateTotalMemoryUsed.load();
  {
    BudgetVector values;
    values.reserve(1000);
    EXPECT_GE(gApproximateTotalMemoryUsed.load() - before, int64_t(1000 * sizeof(int64_t)));
    for (int64_t i = 0; i < 1000; ++i) values.push_back(i);
    EXPECT_EQ(values[999], 999);
  }
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

TEST_F(BudgetAllocatorTest, ARefusedGrowthThrowsAndLeavesTheContainerAsItWas) {
  BudgetVector values{1, 2, 3};
  values.shrink_to_fit();
  const int64_t held = gApproximateTotalMemoryUsed.load();
  {
    BudgetRoom none(0);
    EXPECT_THROW(values.reserve(64), std::bad_alloc);
    EXPECT_THROW(values.push_back(4), std::bad_alloc);
  }
  EXPECT_EQ(values, (BudgetVector{1, 2, 3}));
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), held);
  values.push_back(4);  // with room again it grows
  EXPECT_EQ(values.back(), 4);
}

TEST_F(BudgetAllocatorTest, ACountPastTheAddressSpaceIsRefusedBeforeTheBudgetIsAsked) {
  BudgetAllocator<int64_t> allocator;
  const int64_t before = gApproximateTotalMemoryUsed.load();
  EXPECT_THROW(static_cast<void>(allocator.allocate(SIZE_MAX / 4)), std::bad_array_new_length);
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), before);
}

TEST_F(BudgetAllocatorTest, RoomForOneMoreGrowsAsAListDoesAndSaysWhenRefused) {
  BudgetVector values;
  for (int64_t i = 0; i < 16; ++i) {
    ASSERT_TRUE(RoomForOneMore(values));
    values.push_back(i);
  }
  EXPECT_EQ(values.capacity(), 16u);
  {
    BudgetRoom none(0);
    EXPECT_FALSE(RoomForOneMore(values));
  }
  EXPECT_EQ(values.capacity(), 16u);
  EXPECT_EQ(values.back(), 15);
  ASSERT_TRUE(RoomForOneMore(values));
  EXPECT_EQ(values.capacity(), 32u);
}

}  // namespace
