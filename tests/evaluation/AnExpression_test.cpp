#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

#include "AnExpressionTestSupport.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/runs/RunPCode.h"
#include "evaluation/StackMachine.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeBuilding.h"
#include "tests/CoreUtilities/BudgetRoom.h"

namespace {

constexpr int32_t kRowNumberId = 14;

std::unique_ptr<DocumentRecord> EmptyDocument() {
  constexpr char text[] = "Zentrolabworksheet 4;\n";
  return ReadDocumentText(text, int32_t(sizeof text - 1));
}

// One formula of each way into a point run: one cached constant; real or
// complex, with the slider or without.
const char* const kEntryFormulas[] = {
    "2 * pi + sqrt(2)",         "sqrt(2) * n",        "(x ^ 2 + 1) / (y ^ 2 + x * y + 3)", "x * n - ln(y)",
    "abs((x + i * y) ^ 3 - 1)", "sqrt(x - 5) + 0 * i"};

// The plain interpreter's value at (x, 0.25) and slider 1.25, read as a
// point evaluation reads it.
template <typename T>
double Interpreted(const AStackMachine* program, double x) {
  auto real = [](double r) -> T {
    if constexpr (std::is_same_v<T, Complex>)
      return {r, 0.0};
    else
      return r;
  };
  std::vector<T> v(static_cast<size_t>(program->VariableSlotCount()), real(0.0));
  v[kSlotX] = real(x);
  v[kSlotY] = real(0.25);
  v[kSlotSlider] = real(1.25);
  const T value = RunPCodeSwitched<T>(program, v.data(), nullptr);
  if constexpr (std::is_same_v<T, Complex>)
    return value.im == 0.0 ? value.re : NAN;
  else
    return value;
}

void ExpectInterpretersValues(const std::vector<std::unique_ptr<AnExpression>>& expressions) {
  for (const auto& e : expressions) {
    const AStackMachine* p = e->PointMachine();
    for (const double x : {0.5, -2.0, 9.0}) {
      const double reference = p->fComplex != 0 ? Interpreted<Complex>(p, x) : Interpreted<double>(p, x);
      const double value = e->Evaluate(x, 0.25);
      EXPECT_EQ(std::memcmp(&value, &reference, sizeof value), 0) << p->Count() << " instructions, x = " << x;
    }
  }
}

}  // namespace

// On a thread's first array and on one older than the programs; cancels
// raised before the run, the interface's only on its own thread.
TEST(AnExpression, EveryWayIntoAPointRunGivesTheInterpretersValue) {
  auto document = EmptyDocument();
  document->fSliderValue.store(1.25);
  std::vector<std::unique_ptr<AnExpression>> expressions;
  for (const char* formula : kEntryFormulas) expressions.push_back(CompiledExpression(formula, document.get()));
  std::thread([&] {
    ExpectInterpretersValues(expressions);
    std::thread([] { CheckgVariablesSize(GetMaxVariableCount() + 40); }).join();
    EXPECT_EQ(ThreadLocalVariablesIfCurrent(), nullptr);
    ExpectInterpretersValues(expressions);
  }).join();
  for (const auto& e : expressions) {
    e->SetCancel(true);
    EXPECT_TRUE(std::isnan(e->Evaluate(0.5, 0.25)));
    e->SetCancel(false);
  }
  gCancelEvaluationForUIEvalThreads.store(1);
  ExpectInterpretersValues(expressions);
  std::thread([&] {
    SetThisIsUIThread();
    for (const auto& e : expressions) EXPECT_TRUE(std::isnan(e->Evaluate(0.5, 0.25)));
  }).join();
  gCancelEvaluationForUIEvalThreads.store(0);
}

TEST(AnExpression, EachPointCallFillsItsOwnSlots) {
  auto document = EmptyDocument();
  ASSERT_TRUE(document);
  document->fSliderValue.store(0.5);
  auto e = CompiledExpression("u + 10 * v + 100 * x + 1000 * y + 10000 * z + 100000 * w + 1000000 * n", document.get());
  EXPECT_EQ(e->ArrayFlag(), 1);
  EXPECT_DOUBLE_EQ(e->Evaluate(1, 2, 3, 4, 5, 6), 654321.0 + 500000.0);
  auto xy = CompiledExpression("x - 2 * y + n", document.get());
  EXPECT_DOUBLE_EQ(xy->Evaluate(7.0, 1.0), 5.5);
  auto u = CompiledExpression("u ^ 2 + n", document.get());
  EXPECT_DOUBLE_EQ(u->Evaluate(3.0), 9.5);

  ExpressionRecord* rowTree = Plus(Atomic(kRowNumberId), Atomic('z'));
  AnExpression row(rowTree, nullptr);
  AnExpression::Compile(&row);
  EXPECT_DOUBLE_EQ(row.EvaluateIndexed(1, 2, 0.25, 7), 7.25);
}

TEST(AnExpression, ComplexProgramsGiveRealResultsOnlyWhenTheImaginaryPartIsExactlyZero) {
  auto exact = CompiledExpression("(1 + 2 * i) * (1 - 2 * i) - 2");
  ASSERT_EQ(exact->PointMachine()->fComplex, 1);
  EXPECT_EQ(exact->Evaluate(0.0), 3.0);
  const Complex z = exact->EvaluateComplexConstant();
  EXPECT_EQ(z.re, 3.0);
  EXPECT_EQ(z.im, 0.0);
  auto tiny = CompiledExpression("3 + 1e-300 * i");
  EXPECT_TRUE(std::isnan(tiny->Evaluate(0.0)));
  const Complex w = tiny->EvaluateComplex(0, 0);
  EXPECT_EQ(w.im, 1e-300);

  // sqrt(x - 5) is real for x >= 5 and purely imaginary below.
  auto root = CompiledExpression("sqrt(x - 5) + 0 * i");
  EXPECT_DOUBLE_EQ(root->Evaluate(9.0, 0.0), 2.0);
  EXPECT_TRUE(std::isnan(root->Evaluate(1.0, 0.0)));
  const Complex r = root->EvaluateComplex(1.0, 0.0);
  EXPECT_NEAR(r.im, 2.0, 1e-15);
  double lo = 0, hi = 0;
  root->EvaluateIntervalExtension(6, 14, 0, 0, &lo, &hi);
  EXPECT_LE(lo, 1.0);
  EXPECT_GE(hi, 3.0);
  EXPECT_LT(hi, 3.5);
  root->EvaluateIntervalExtension(0, 1, 0, 0, &lo, &hi);
  EXPECT_TRUE(std::isnan(lo) && std::isnan(hi));
}

TEST(AnExpression, ExpressionsCompiledTogetherShareTheComplexType) {
  auto a = MakeExpression("x ^ 2");
  auto b = MakeExpression("x + i");
  AnExpression::Compile(a.get(), b.get(), nullptr);
  EXPECT_EQ(a->PointMachine()->fComplex, 1);
  EXPECT_EQ(a->PointConstants().fComplex.load(), 1);
  EXPECT_DOUBLE_EQ(a->Evaluate(3.0, 0.0), 9.0);
  EXPECT_TRUE(std::isnan(b->Evaluate(3.0, 0.0)));
  auto alone = CompiledExpression("x ^ 2");
  EXPECT_EQ(alone->PointMachine()->fComplex, 0);
}

TEST(AnExpression, ArrayFlagFallsForPointwiseRangesTablesAndFunctionCalls) {
  EXPECT_EQ(MakeExpression("sum(j, j = 1, x)")->ArrayFlag(), 0);
  EXPECT_EQ(MakeExpression("sum(j, j = u, 3)")->ArrayFlag(), 0);
  EXPECT_EQ(MakeExpression("product(j, j = 1, y) + x")->ArrayFlag(), 1);
  EXPECT_EQ(MakeExpression("'f'(x)")->ArrayFlag(), 0);
  EXPECT_EQ(MakeExpression("'f'(2)")->ArrayFlag(), 0);
  constexpr char tables[] = "Zentrolabworksheet 4;\nTable\n\tU\t1\t2\t3\t4\nEndOfTable;\n";
  auto document = ReadDocumentText(tables, int32_t(sizeof tables - 1));
  ASSERT_TRUE(document);
  EXPECT_EQ(MakeExpression("U_(y) + x", document.get())->ArrayFlag(), 0);
  EXPECT_EQ(MakeExpression("U_3 + x", document.get())->ArrayFlag(), 1);
  // A copy is made from the rewritten tree and keeps what the original saw.
  auto original = MakeExpression("sum(j, j = 1, x)");
  std::unique_ptr<AnExpression> copy(original->CreateCopy());
  EXPECT_EQ(copy->ArrayFlag(), 0);
}

TEST(AnExpression, SumsWithPointwiseBoundsStillEvaluateCorrectlyOverRows) {
  auto e = MakeExpression("sum(j, j = 1, x) + y");
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  MGridVariables grid;
  AnExpression::SetupGrid(1, 10, 1, 1, 5, 2, data.get(), &grid);
  std::vector<double> row(5);
  e->EvaluateArrayOnGrid(1, &grid, row.data());
  for (int i = 0; i < 5; ++i) {
    const double n = i + 1;
    EXPECT_DOUBLE_EQ(row[size_t(i)], n * (n + 1) / 2 + 11) << i;
  }
}

TEST(AnExpression, ReversedBoxesAreReadAsTheRangeBetweenTheirEnds) {
  auto e = CompiledExpression("x ^ 2 + y");
  double lo = 0, hi = 0;
  e->EvaluateIntervalExtension(2, -1, 0, 1, &lo, &hi);
  EXPECT_LE(lo, 0.0);
  EXPECT_GE(hi, 5.0);
  EXPECT_LE(lo, hi);
  double lo2 = 0, hi2 = 0;
  e->EvaluateIntervalExtension(-1, 2, 1, 0, &lo2, &hi2);
  EXPECT_EQ(lo, lo2);
  EXPECT_EQ(hi, hi2);
  auto u = CompiledExpression("1 / u");
  u->EvaluateIntervalExtension(4, 2, &lo, &hi);
  EXPECT_DOUBLE_EQ(lo, 0.25);
  EXPECT_DOUBLE_EQ(hi, 0.5);
  auto xyz = CompiledExpression("x + y + z");
  xyz->EvaluateIntervalExtension(1, 0, 1, 0, 3, 2, &lo, &hi);
  EXPECT_DOUBLE_EQ(lo, 2.0);
  EXPECT_DOUBLE_EQ(hi, 5.0);
}

// Formula text down to the root with an index and the remainder, at a point
// and over a one-point box.
TEST(AnExpression, RootsWithAnIndexAndRemaindersOfHugeQuotientsAreExact) {
  const std::pair<const char*, double> cases[] = {{"sqrt(x, y)", 5}, {"x ^ (1 / y)", 5}, {"mod(x * 3.2e13, y - 2)", 1}};
  for (const auto& [text, want] : cases) {
    auto e = CompiledExpression(text);
    EXPECT_EQ(e->Evaluate(3125, 2.5 * 2), want) << text;
    double lo = 0, hi = 0;
    e->EvaluateIntervalExtension(3125, 3125, 5, 5, &lo, &hi);
    EXPECT_LE(lo, want) << text;
    EXPECT_GE(hi, want) << text;
  }
}

TEST(AnExpression, IntervalEnclosuresHoldSampledValues) {
  auto e = CompiledExpression("sin(3 * x) * y - x ^ 3 + exp(-y)");
  const double boxes[][4] = {{-1, 1, 0, 2}, {0.3, 0.4, -2, -1.5}, {2, 5, 1, 1}};
  for (const auto& b : boxes) {
    double lo = 0, hi = 0;
    e->EvaluateIntervalExtension(b[0], b[1], b[2], b[3], &lo, &hi);
    for (int i = 0; i <= 20; ++i) {
      for (int j = 0; j <= 20; ++j) {
        const double x = b[0] + (b[1] - b[0]) * i / 20;
        const double y = b[2] + (b[3] - b[2]) * j / 20;
        const double v = std::sin(3 * x) * y - x * x * x + std::exp(-y);
        EXPECT_LE(lo, v + 1e-12);
        EXPECT_GE(hi, v - 1e-12);
      }
    }
  }
}

TEST(AnExpression, GridEvaluationAgreesWithPointEvaluation) {
  auto document = EmptyDocument();
  ASSERT_TRUE(document);
  document->fSliderValue.store(1.5);
  auto e = MakeExpression("cos(x) * exp(-y ^ 2) + x * y * n", document.get());
  AnExpression::Compile(e.get());
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  MGridVariables grid;
  AnExpression::SetupGrid(-1, 0.5, 0.25, 0.125, 9, 4, data.get(), &grid);
  std::vector<double> row(9);
  for (int j = 0; j < 4; ++j) {
    e->EvaluateArrayOnGrid(j, &grid, row.data());
    for (int i = 0; i < 9; ++i) {
      const double x = -1 + i * 0.25, y = 0.5 + j * 0.125;
      const double expected = std::cos(x) * std::exp(-y * y) + x * y * 1.5;
      EXPECT_NEAR(row[size_t(i)], expected, 1e-14);
      EXPECT_NEAR(e->EvaluateOnGrid(i, j, &grid), expected, 1e-14);
      EXPECT_NEAR(e->Evaluate(x, y), expected, 1e-14);
    }
  }
}

TEST(AnExpression, LayersOfAThreeAxisGridRunXFastest) {
  auto e = MakeExpression("x + 10 * y + 100 * z");
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  MGridVariables grid;
  AnExpression::SetupGrid(0, 0, 0.5, 1, 1, 0.25, 3, 2, 4, data.get(), &grid);
  std::vector<double> out(6);
  e->EvaluateArrayOnGrid(2, &grid, out.data());
  // z0 = 0.5, dz = 0.25: layer 2 lies at z = 1.
  EXPECT_EQ(out, (std::vector<double>{100, 101, 102, 110, 111, 112}));
  EXPECT_EQ(grid.k, 2);
  EXPECT_DOUBLE_EQ(e->EvaluateOnGrid(1, 1, 3, &grid), 1 + 10 + 125);
}

TEST(AnExpression, ComplexGridProgramsGiveRealPartsOrNaN) {
  auto e = MakeExpression("sqrt(x) + 0 * i");
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->complex, 1);
  MGridVariables grid;
  AnExpression::SetupGrid(-1, 0, 1, 1, 3, 1, data.get(), &grid);
  std::vector<double> out(3);
  e->EvaluateArrayOnGrid(0, &grid, out.data());
  EXPECT_TRUE(std::isnan(out[0]));
  EXPECT_EQ(out[1], 0.0);
  EXPECT_EQ(out[2], 1.0);
  EXPECT_EQ(e->EvaluateOnGrid(2, 0, &grid), 1.0);
}

TEST(AnExpression, UncompiledCallsFailToNaN) {
  auto e = MakeExpression("x + 1");
  EXPECT_TRUE(std::isnan(e->Evaluate(1.0, 2.0)));
  EXPECT_FALSE(e->IsCancelled());
  double lo = 0, hi = 0;
  e->EvaluateIntervalExtension(0, 1, &lo, &hi);
  EXPECT_TRUE(std::isnan(lo) && std::isnan(hi));
  MGridVariables grid;
  EXPECT_TRUE(std::isnan(e->EvaluateOnGrid(0, 0, &grid)));
}

TEST(AnExpression, RecompilingReplacesTheProgramAndItsConstants) {
  auto e = CompiledExpression("x + sqrt(2)");
  EXPECT_DOUBLE_EQ(e->Evaluate(1.0, 0.0), 1 + std::sqrt(2.0));
  e->ReplaceAtoms('x', 'y');
  AnExpression::Compile(e.get());
  AnExpression::InvalConstants(nullptr, e.get());
  EXPECT_DOUBLE_EQ(e->Evaluate(1.0, 5.0), 5 + std::sqrt(2.0));
}

TEST(AnExpression, WithoutRoomForItsMachineAnExpressionStaysUndefinedAndCompilesLater) {
  auto e = MakeExpression("x + 1");
  {
    BudgetRoom none(0);
    AnExpression::Compile(e.get());
    const std::unique_ptr<MGridData> data = AnExpression::CompileForGrid(e.get());
    EXPECT_EQ(e->PointMachine(), nullptr);
    EXPECT_EQ(e->GridMachine(), nullptr);
  }
  ResetDeferredErrors();
  EXPECT_TRUE(std::isnan(e->Evaluate(1.0, 0.0)));
  AnExpression::Compile(e.get());
  EXPECT_EQ(e->Evaluate(1.0, 0.0), 2.0);
}
