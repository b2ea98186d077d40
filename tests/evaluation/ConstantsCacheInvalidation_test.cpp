#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/StackMachine.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/evaluation/SameBits.h"

// Evaluations racing invalidations of their constants: every run sees a
// whole set of values, and recomputing them costs no memory.

namespace {

// With fewer cores than threads, the evaluators make way after each run, or
// the invalidating thread would wait for the scheduler at every invalidation.
bool Crowded() { return OurNumberOfProcessors() <= 4; }

// Four threads evaluate the expression while it is invalidated 10,000 times.
void ExpectWholeValuesDuringInvalidations(const std::string& text) {
  auto e = CompiledExpression(text);
  std::vector<double> expected;
  for (int i = 0; i < 16; ++i) expected.push_back(e->Evaluate(i * 0.25, 0.0));
  const int64_t memoryBefore = gApproximateTotalMemoryUsed.load();

  std::atomic<bool> stop{false};
  std::atomic<int> mismatches{0};
  std::atomic<int64_t> runs{0};
  std::vector<std::thread> evaluators;
  const bool crowded = Crowded();
  for (int t = 0; t < 4; ++t) {
    evaluators.emplace_back([&] {
      for (int i = 0; !stop.load(std::memory_order_relaxed); i = (i + 1) % 16) {
        if (!SameBits<double>(e->Evaluate(i * 0.25, 0.0), expected[i])) ++mismatches;
        ++runs;
        if (crowded) std::this_thread::yield();
      }
    });
  }
  // Every invalidation lands among runs: the next waits for one more run.
  for (int n = 0; n < 10000; ++n) {
    const int64_t seen = runs.load();
    e->InvalConstants();
    while (runs.load() == seen) std::this_thread::yield();
  }
  stop.store(true);
  for (auto& thread : evaluators) thread.join();

  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(gApproximateTotalMemoryUsed.load(), memoryBefore);
  EXPECT_TRUE(SameBits<double>(e->Evaluate(0.5, 0.0), expected[2]));
}

TEST(ConstantsInvalidation, EvaluationsDuringTenThousandInvalidationsSeeWholeValues) {
  // Twenty constants: more than a run keeps in its frame.
  std::string text = "x";
  for (int k = 1; k <= 20; ++k) text += " + sqrt(" + std::to_string(k) + ") * pi";
  ExpectWholeValuesDuringInvalidations(text);
  // A program of one cached constant reads the cache without the step loop.
  ExpectWholeValuesDuringInvalidations("2 * pi + sqrt(2)");
}

// A constant that reads the slider keeps its value until an invalidation
// and takes the new one at the next run, alone in its program (read in
// place) or not.
TEST(ConstantsInvalidation, ASliderChangeReachesTheRunsAfterTheInvalidation) {
  constexpr char text[] = "Zentrolabworksheet 4;\n";
  std::unique_ptr<DocumentRecord> document = ReadDocumentText(text, int32_t(sizeof text - 1));
  document->fSliderValue.store(1.0);
  auto alone = CompiledExpression("sqrt(2) * n", document.get());
  ASSERT_EQ(alone->PointMachine()->Code()[0].opcode, pcPushConstant);
  auto among = CompiledExpression("sqrt(2) * n + x", document.get());
  double shown = 1.0;
  for (const double slider : {1.0, -3.5, 1e300}) {
    document->fSliderValue.store(slider);
    EXPECT_TRUE(SameBits<double>(alone->Evaluate(0.0, 0.0), std::sqrt(2.0) * shown));
    alone->InvalConstants();
    among->InvalConstants();
    EXPECT_TRUE(SameBits<double>(alone->Evaluate(0.0, 0.0), std::sqrt(2.0) * slider));
    EXPECT_TRUE(SameBits<double>(among->Evaluate(0.0, 0.0), std::sqrt(2.0) * slider));
    shown = slider;
  }
}

TEST(ConstantsInvalidation, GridRunsDuringInvalidationsSeeWholeValues) {
  auto e = MakeExpression("sin(x) * cos(y) + exp(pi) + sqrt(3)");
  std::unique_ptr<MGridData> data = AnExpression::CompileForGrid(e.get());
  std::atomic<bool> stop{false};
  std::atomic<int> mismatches{0};
  std::atomic<int64_t> runs{0};
  std::vector<std::thread> evaluators;
  const bool crowded = Crowded();
  for (int t = 0; t < 3; ++t) {
    evaluators.emplace_back([&] {
      MGridVariables grid;
      AnExpression::SetupGrid(-1, -1, 0.25, 0.25, 9, 9, data.get(), &grid);
      std::vector<double> row(9), again(9);
      e->EvaluateArrayOnGrid(4, &grid, again.data());
      while (!stop.load(std::memory_order_relaxed)) {
        e->EvaluateArrayOnGrid(4, &grid, row.data());
        for (int i = 0; i < 9; ++i) {
          if (!SameBits<double>(row[i], again[i])) ++mismatches;
        }
        ++runs;
        if (crowded) std::this_thread::yield();
      }
    });
  }
  for (int n = 0; n < 2000; ++n) {
    const int64_t seen = runs.load();
    e->InvalConstants();
    while (runs.load() == seen) std::this_thread::yield();
  }
  stop.store(true);
  for (auto& thread : evaluators) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
