#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "evaluation/ConstantsCache.h"
#include "tests/evaluation/MachineTestSupport.h"

namespace {

// A cache with `count` constants; constant i is (i + 1) * pi by a program
// of its own (registered with distinct null subexpressions).
void Fill(AConstantsCache& cache, int count) {
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(cache.SaveExpr(nullptr), i);
    cache.Store().pairs[i].program =
        AssembleProgram("pcPushNumber " + std::to_string(i + 1) + "\npcPushNumber 3.141592653589793\npcMul", nullptr)
            .release();
  }
}

TEST(ConstantsCache, EightThreadsComputeEachConstantOnce) {
  AConstantsCache cache;
  Fill(cache, 17);  // past the first growth
  auto program = Program("pcPushConstant 16\npcPushConstant 0\npcAdd");
  program->fConstantsCache = &cache;
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  std::vector<double> results(8);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      std::vector<double> slots(16, 0.0);
      results[t] = program->Run(slots.data(), nullptr);
    });
  }
  go.store(true);
  for (auto& thread : threads) thread.join();
  for (double r : results) EXPECT_DOUBLE_EQ(r, 18 * 3.141592653589793);
  EXPECT_EQ(cache.ComputationCount(), 1);
  EXPECT_TRUE(cache.IsComputed());
}

TEST(ConstantsCache, InvalidationRecomputesInPlace) {
  AConstantsCache cache;
  Fill(cache, 2);
  Complex first[2];
  cache.CopyConstants(first);
  EXPECT_TRUE(cache.IsComputed());
  cache.InvalConstants();
  EXPECT_FALSE(cache.IsComputed());
  Complex second[2];
  cache.CopyConstants(second);
  EXPECT_DOUBLE_EQ(first[1].re, 2 * 3.141592653589793);
  EXPECT_EQ(first[1].re, second[1].re);
  EXPECT_EQ(cache.ComputationCount(), 2);
  // A current cache is copied again without computing.
  cache.CopyConstants(second);
  EXPECT_EQ(cache.ComputationCount(), 2);
}

TEST(ConstantsCache, OneValueIsReadWithoutComputingWhenCurrent) {
  constexpr double kPi = 3.141592653589793;
  AConstantsCache cache;
  Fill(cache, 3);
  const Complex stale = cache.Selected(1);
  EXPECT_EQ(stale.re, 2 * kPi);
  EXPECT_EQ(stale.im, 0);
  EXPECT_EQ(cache.ComputationCount(), 1);
  EXPECT_EQ(cache.Selected(2).re, 3 * kPi);
  EXPECT_EQ(cache.ComputationCount(), 1);
  // An index the cache never gave out reads as NaN, current or stale.
  const Complex unknown = cache.Selected(3);
  EXPECT_TRUE(std::isnan(unknown.re) && std::isnan(unknown.im));
  cache.InvalConstants();
  EXPECT_TRUE(std::isnan(cache.Selected(-1).re));
  EXPECT_EQ(cache.ComputationCount(), 2);
  EXPECT_EQ(cache.Selected(0).re, kPi);
  EXPECT_EQ(cache.ComputationCount(), 2);
}

TEST(ConstantsCache, EmptyCacheHasNoValues) {
  AConstantsCache cache;
  EXPECT_EQ(cache.ValueCount(), 0);
  cache.CopyConstants(nullptr);
  EXPECT_TRUE(cache.IsComputed());
}

TEST(ConstantsCache, ComplexConstants) {
  AConstantsCache cache;
  cache.fComplex.store(1);
  ASSERT_EQ(cache.SaveExpr(nullptr), 0);
  cache.Store().pairs[0].program = AssembleProgram("pcPushI\npcPushNumber 2\npcMul", nullptr).release();
  auto program = Program("pcPushConstant 0\npcIm");
  program->fConstantsCache = &cache;
  std::vector<Complex> slots(16, Complex{0, 0});
  const Complex r = program->Run(slots.data(), nullptr);
  EXPECT_EQ(r.re, 2);
  EXPECT_EQ(r.im, 0);
  std::vector<double> real(16, 0.0);
  EXPECT_EQ(program->Run(real.data(), nullptr), 0);  // real run reads the real part
}

}  // namespace
