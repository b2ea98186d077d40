#include <gtest/gtest.h>

#include <utility>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "graphs2d/AListofFrames.h"

namespace {

TEST(AListofFrames, FramesAreFoundByTheirExactValue) {
  AListofFrames frames;
  EXPECT_EQ(frames.Get(0.0), nullptr);
  RelocatableBlock* a = OurAllocateMemoryPurgeable(64);
  RelocatableBlock* b = OurAllocateMemoryPurgeable(64);
  RelocatableBlock* c = OurAllocateMemoryPurgeable(64);
  ASSERT_TRUE(a && b && c);
  ASSERT_EQ(frames.Add(0.1, a), 0);
  ASSERT_EQ(frames.Add(0.2, b), 0);
  ASSERT_EQ(frames.Add(0.1, c), 0);
  EXPECT_EQ(frames.Get(0.1), a);  // the first match
  EXPECT_EQ(frames.Get(0.2), b);
  EXPECT_EQ(frames.Get(0.30000000000000004 - 0.1), nullptr);
  frames.RemoveAllElements();  // frees the blocks; the sanitizer sees leaks
  EXPECT_EQ(frames.Count(), 0);
  EXPECT_EQ(frames.Get(0.1), nullptr);
}

// No flags read for counts of none or fewer.
TEST(AListofFrames, AllComputeThreadsFinished) {
  const bool flags[3] = {true, false, true};
  for (auto [count, finished] : {std::pair{0, true}, {-2, true}, {1, true}, {3, false}}) {
    EXPECT_EQ(AreAllComputeThreadsFinished(flags, count), finished) << count;
  }
}

}  // namespace
