#include "CoreUtilities/memory/MemoryBudget.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/PhysicalMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

// A request the heap cannot meet must come back as null, not abort the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

class MemoryBudgetTest : public testing::Test {
 protected:
  void SetUp() override { ResetDeferredErrors(); }
  void TearDown() override {
    gApproximateTotalMemoryUsed = fStartTotal;
    gPhysicalMemory = fStartPhysical;
    gMathError = 0;
    ResetDeferredErrors();
  }
  // Pretends the process already uses this much.
  static void SetTotal(int64_t bytes) { gApproximateTotalMemoryUsed = bytes; }
  static int64_t Total() { return gApproximateTotalMemoryUsed; }

  const int64_t fStartTotal = gApproximateTotalMemoryUsed;
  const double fStartPhysical = gPhysicalMemory;
};

TEST_F(MemoryBudgetTest, LimitsForOneGigabyteFourGigabytesAndTheDefault) {
  EXPECT_EQ(PlainMemoryLimit(), 750'000'000);
  EXPECT_EQ(HandleMemoryLimit(), 580'569'600);
  gPhysicalMemory = 1'073'741'824.0;
  EXPECT_EQ(PlainMemoryLimit(), 805'306'368);
  EXPECT_EQ(HandleMemoryLimit(), 654'311'424);
  gPhysicalMemory = 4'294'967'296.0;
  EXPECT_EQ(PlainMemoryLimit(), 3'980'394'496);
  EXPECT_EQ(HandleMemoryLimit(), 3'875'536'896);
  for (double nonsense : {0.0, -5e9, std::nan("")}) {
    gPhysicalMemory = nonsense;
    EXPECT_EQ(OurAllocateMemory(16, false), nullptr);
  }
}

TEST_F(MemoryBudgetTest, RequestIsGrantedOnlyWhenItFitsUnderTheLimit) {
  gPhysicalMemory = 4'294'967'296.0;
  const int64_t limit = PlainMemoryLimit();
  SetTotal(limit - 4096);
  EXPECT_EQ(OurAllocateMemory(4097, false), nullptr);
  void* exact = OurAllocateMemory(4096, false);  // brings the total to the limit
  ASSERT_NE(exact, nullptr);
  EXPECT_EQ(OurAllocateMemory(1, false), nullptr);
  OurDisposeMemory(exact);
  EXPECT_EQ(Total(), limit - 4096);

  SetTotal(limit);
  EXPECT_FALSE(IsDesperatelyLowOnMemory());
  EXPECT_EQ(OurAllocateMemory(1, true), nullptr);
  SetTotal(0);  // one huge request cannot pass the limit on its own
  EXPECT_EQ(OurAllocateMemory(size_t(limit) + 1, false), nullptr);
  EXPECT_EQ(Total(), 0);
}

TEST_F(MemoryBudgetTest, BadOrUnobtainableSizesAreRefusedUncountedAndDisposalBalances) {
  gPhysicalMemory = 1e30;  // no budget limit in the way
  const int64_t before = Total();
  for (size_t size : {size_t{0}, static_cast<size_t>(-1), static_cast<size_t>(int64_t{-4096}),
                      size_t{1} << 62 /* beyond the heap */}) {
    EXPECT_EQ(OurAllocateMemory(size, false), nullptr) << size;
    EXPECT_EQ(OurAllocateMemory(size, true), nullptr) << size;
    EXPECT_EQ(OurAllocateMemoryPurgeable(size), nullptr) << size;
  }
  EXPECT_EQ(Total(), before);

  std::mt19937 random(7);
  std::vector<void*> blocks;
  for (int i = 0; i < 2000; ++i) blocks.push_back(OurAllocateMemory(1 + random() % 3000, i % 2));
  for (void* block : blocks) OurDisposeMemory(block);
  OurDisposeMemory(nullptr);
  OurDisposeMemoryPurgeable(nullptr);
  EXPECT_EQ(Total(), before);
}

TEST_F(MemoryBudgetTest, RelocatableBlocksAreCountedAgainstTheHandleLimit) {
  gPhysicalMemory = 1'073'741'824.0;
  SetTotal(HandleMemoryLimit() - 100);
  EXPECT_EQ(OurAllocateMemoryPurgeable(101), nullptr);
  EXPECT_EQ(NewHandleTempOrAppRespectingMargins(101), nullptr);
  void* plain = OurAllocateMemory(101, false);  // the plain limit is higher
  EXPECT_NE(plain, nullptr);
  OurDisposeMemory(plain);

  SetTotal(0);
  RelocatableBlock* block = NewHandleTempOrAppRespectingMargins(1000);
  ASSERT_NE(block, nullptr);
  EXPECT_GE(Total(), 1000);
  ASSERT_NE(OurLockMemoryPurgeable(block), nullptr);
  std::fill_n(static_cast<char*>(OurLockMemoryPurgeable(block)), 1000, 'x');
  EXPECT_EQ(OurLockMemoryPurgeable(nullptr), nullptr);
  OurDisposeMemoryPurgeable(block);
  EXPECT_EQ(Total(), 0);
}

TEST_F(MemoryBudgetTest, ChecksQueueOutOfMemoryOnlyWhenTheyFindItThemselves) {
  EXPECT_FALSE(IsDesperatelyLowOnMemory());
  EXPECT_EQ(MATH_MemCheckInRecursion(), 0);

  SetTotal(PlainMemoryLimit() + 1);
  gMathError = 1;
  EXPECT_EQ(MATH_MemCheckInRecursion(), 1);
  EXPECT_TRUE(IsDesperatelyLowOnMemory());
  EXPECT_FALSE(IsDeferredErrorWaiting());

  gMathError = 0;
  EXPECT_EQ(MATH_MemCheckInRecursion(), 1);
  EXPECT_EQ(gMathError, 1);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  gMathError = 0;
  EnableError(kOutOfMemoryError);
  EXPECT_TRUE(IsDesperatelyLowOnMemory());
  EXPECT_EQ(gMathError, 1);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
}

TEST_F(MemoryBudgetTest, ConcurrentRequestsNeverTogetherPassTheLimit) {
  constexpr int kBlocksThatFit = 200;
  gPhysicalMemory = 4'294'967'296.0;
  const int64_t start = PlainMemoryLimit() - kBlocksThatFit * 4096;
  SetTotal(start);
  std::atomic<int> granted{0};
  std::vector<std::vector<void*>> kept(8);
  std::vector<std::thread> threads;
  for (auto& mine : kept)
    threads.emplace_back([&mine, &granted] {
      for (void* block; (block = OurAllocateMemory(4096, false)); ++granted) mine.push_back(block);
    });
  for (auto& thread : threads) thread.join();
  EXPECT_LE(granted, kBlocksThatFit);
  EXPECT_GE(granted, kBlocksThatFit * 9 / 10);  // heap slack only
  for (auto& mine : kept)
    for (void* block : mine) OurDisposeMemory(block);
  EXPECT_EQ(Total(), start);
}

TEST(PhysicalMemory, ControlGroupLimitCapsTheSystemFigure) {
  EXPECT_EQ(PhysicalMemoryWithinCgroupLimit(8e9, "536870912\n"), 536870912.0);
  EXPECT_EQ(PhysicalMemoryWithinCgroupLimit(8e9, "536870912"), 536870912.0);
  for (const char* noCap : {"max\n", "9000000000\n", "", "12ab\n", "-5\n", " 5", "99999999999999999999999"})
    EXPECT_EQ(PhysicalMemoryWithinCgroupLimit(8e9, noCap), 8e9) << noCap;
}

TEST(PhysicalMemory, StartUpFigureMatchesTheKernelsMemoryTotal) {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  double kilobytes = 0;
  while (meminfo >> key && key != "MemTotal:") meminfo.ignore(1 << 10, '\n');
  ASSERT_TRUE(meminfo >> kilobytes);
  double expected = kilobytes * 1024, cap = 0;
  if (std::ifstream("/sys/fs/cgroup/memory.max") >> cap && cap < expected) expected = cap;

  const double saved = gPhysicalMemory;
  InitializePhysicalMemory();
  EXPECT_NEAR(gPhysicalMemory, expected, 1 << 20);
  gPhysicalMemory = saved;
}

}  // namespace
