#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "AnExpressionTestSupport.h"
#include "evaluation/ColorEquations.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/StackMachine.h"
#include "tests/support/ColourEquations.h"

namespace {

bool Raised(const AStackMachine* m) { return m != nullptr && m->fCancel.load() != 0; }

struct EquationColour {
  AColorEquations colour;
  explicit EquationColour(GraphColorType type) {
    FillColourEquations(colour, type, "x / 2", "x / 2", "x / 2");
    for (std::unique_ptr<AnExpression>& e : colour.fColorExpressions) AnExpression::Compile(e.get());
  }
  bool AllRaised() const {
    for (const std::unique_ptr<AnExpression>& e : colour.fColorExpressions) {
      if (!e->IsCancelled()) return false;
    }
    return true;
  }
  bool NoneRaised() const {
    for (const std::unique_ptr<AnExpression>& e : colour.fColorExpressions) {
      if (e->IsCancelled()) return false;
    }
    return true;
  }
};

// Rows of a grid evaluated by `threads` threads, each on its own rows and
// its own grid variables; the rows of thread t are t, t + threads, ...
std::vector<double> EvaluateRows(AnExpression& e, MGridData* data, int threads, int nx, int ny) {
  std::vector<double> values(size_t(nx) * ny);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      MGridVariables grid;
      AnExpression::SetupGrid(-2, -1, 0.01, 0.02, nx, ny, data, &grid);
      for (int j = t; j < ny; j += threads) {
        e.EvaluateArrayOnGrid(j, &grid, values.data() + size_t(j) * nx);
        // The point calls share the expression too, on each thread's array.
        const double x = -2 + 0.01 * (j % nx), y = -1 + 0.02 * j;
        EXPECT_EQ(e.Evaluate(x, y), e.EvaluateOnGrid(j % nx, j, &grid));
      }
    });
  }
  for (std::thread& w : workers) w.join();
  return values;
}

}  // namespace

TEST(ExpressionGroups, CancelTouchesExactlyTheNamedExpressionsAndTheColourEquations) {
  EquationColour colour(AColorEquations::kRGBEquations);
  auto e1 = MakeExpression("x");
  auto e2 = MakeExpression("y");
  auto e3 = MakeExpression("x * y");
  AnExpression::Compile(e1.get(), e2.get(), e3.get());
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e1.get()));
  AnExpression::Cancel(&colour.colour, e1.get(), nullptr, e3.get(), nullptr, nullptr);
  EXPECT_TRUE(Raised(e1->PointMachine()) && Raised(e1->GridMachine()));
  EXPECT_TRUE(e3->IsCancelled());  // e3 has no grid program
  EXPECT_FALSE(e2->IsCancelled());
  EXPECT_TRUE(colour.AllRaised());
  EXPECT_TRUE(std::isnan(e1->Evaluate(1.0, 0.0)));
  AnExpression::ClearCancelFlag(&colour.colour, e1.get(), nullptr, e3.get());
  EXPECT_FALSE(Raised(e1->PointMachine()) || Raised(e1->GridMachine()) || e3->IsCancelled());
  EXPECT_TRUE(colour.NoneRaised());
  EXPECT_EQ(e1->Evaluate(1.0, 0.0), 1.0);

  EquationColour solid(0);
  AnExpression::Cancel(&solid.colour, e2.get());
  EXPECT_TRUE(solid.NoneRaised());
  EXPECT_TRUE(e2->IsCancelled());
}

TEST(ExpressionGroups, LongFormsReachEveryExpressionOnce) {
  std::vector<std::unique_ptr<AnExpression>> owned;
  AnExpression* list[13];
  for (AnExpression*& e : list) {
    owned.push_back(CompiledExpression("x + sqrt(2)"));  // reads a constant: evaluating computes it
    e = owned.back().get();
  }
  list[6] = nullptr;
  EquationColour colour(AColorEquations::kHSVEquations);
  AnExpression::Cancel(&colour.colour, list);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(owned[size_t(i)]->IsCancelled(), i != 6) << i;
  EXPECT_TRUE(colour.AllRaised());
  AnExpression* nine[9];
  std::copy(list, list + 9, nine);
  AnExpression::ClearCancelFlag(&colour.colour, nine);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(owned[size_t(i)]->IsCancelled(), i >= 9) << i;
  EXPECT_TRUE(colour.NoneRaised());

  const int32_t before = owned[12]->PointConstants().ComputationCount();
  AnExpression::InvalConstants(&colour.colour, list);
  EXPECT_FALSE(owned[12]->PointConstants().IsComputed());
  EXPECT_FALSE(colour.colour.fColorExpressions[1]->PointConstants().IsComputed());
  AnExpression::ClearCancelFlag(nullptr, owned[12].get());
  owned[12]->Evaluate(0.0, 0.0);
  EXPECT_GT(owned[12]->PointConstants().ComputationCount(), before);
}

TEST(ExpressionGroups, ManyThreadsOnDisjointRowsAgreeWithOneThread) {
  auto e = MakeExpression("sin(x * y) + sum(cos(k * x), k = 1, 4) + exp(-y ^ 2) + sqrt(3)");
  AnExpression::Compile(e.get());
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  const std::vector<double> one = EvaluateRows(*e, data.get(), 1, 64, 48);
  for (int threads : {2, 4, 8}) {
    AnExpression::InvalConstants(nullptr, e.get());
    EXPECT_EQ(EvaluateRows(*e, data.get(), threads, 64, 48), one) << threads;
  }
  for (int j = 0; j < 48; j += 7) {
    const double x = -2 + 0.01 * 5, y = -1 + 0.02 * j;
    double expected = std::sin(x * y) + std::exp(-y * y) + std::sqrt(3.0);
    for (int k = 1; k <= 4; ++k) expected += std::cos(k * x);
    EXPECT_NEAR(one[size_t(j) * 64 + 5], expected, 1e-13);
  }
}

// Cancelling and invalidating from one thread while others evaluate must
// be free of data races; once the flags are cleared the results are the
// undisturbed ones.
TEST(ExpressionGroups, CancelAndInvalidateWhileJobsRun) {
  auto e = MakeExpression("sum(sin(k * x) / k, k = 1, 200) + y + ln(7)");
  AnExpression::Compile(e.get());
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  const std::vector<double> reference = EvaluateRows(*e, data.get(), 1, 32, 16);
  std::atomic<bool> stop{false};
  std::atomic<int> passes{0};
  std::vector<std::thread> jobs;
  for (int t = 0; t < 3; ++t) {
    jobs.emplace_back([&] {
      MGridVariables grid;
      AnExpression::SetupGrid(-2, -1, 0.01, 0.02, 32, 16, data.get(), &grid);
      std::vector<double> row(32);
      while (!stop.load()) {
        for (int j = 0; j < 16; ++j) e->EvaluateArrayOnGrid(j, &grid, row.data());
        double lo, hi;
        e->EvaluateIntervalExtension(0, 1, 0, 1, &lo, &hi);
        e->Evaluate(0.5, 0.5);
        passes.fetch_add(1);
      }
    });
  }
  while (passes.load() < 12) {
    AnExpression::Cancel(nullptr, e.get());
    AnExpression::InvalConstants(nullptr, e.get());
    AnExpression::ClearCancelFlag(nullptr, e.get());
  }
  stop.store(true);
  for (std::thread& j : jobs) j.join();
  EXPECT_EQ(EvaluateRows(*e, data.get(), 2, 32, 16), reference);
}
