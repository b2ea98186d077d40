#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

#include "CoreUtilities/MathConstants.h"
#include "evaluation/grid/GridHoisting.h"
#include "evaluation/grid/GridSetup.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/GridTestSupport.h"
#include "tests/evaluation/MachineTestSupport.h"

namespace {

template <typename T = double>
std::vector<double> RunRow(const AStackMachine& machine, MGridVariables& grid) {
  const int32_t points = grid.nz == 0 ? grid.nx : grid.nx * grid.ny;
  std::vector<double> out(static_cast<size_t>(points), -7.0);
  if constexpr (std::is_same_v<T, Complex>) {
    machine.RunArrayComplex(&grid, out.data());
  } else {
    machine.RunArrayDouble(&grid, out.data());
  }
  return out;
}

void OneProgramPerLevel(MGridData& data, const char* level1, const char* level2, int32_t variableCount = 12) {
  data.level1.Add(Program(level1).release());
  data.level2.Add(Program(level2).release());
  data.level1Count = data.level2Count = 1;
  data.variableCount = variableCount;
}

TEST(GridInterpreter, RowsAndLayersSpreadTheirInputs) {
  MGridVariables row;
  row.x0 = 1, row.dx = 1, row.y0 = 10, row.dy = 5;
  ASSERT_TRUE(PrepareGridArrays(&row, 5, 3, 0, 0, 0, 0, 12));
  row.j = 2;
  FillRunInputs<double>(row, 0);
  EXPECT_EQ(RunRow(*Program("pcPushVar 3\npcPushVar 4\npcAdd"), row), (std::vector<double>{21, 22, 23, 24, 25}));
  EXPECT_EQ(RunRow(*Program("pcPushVar 4"), row), std::vector<double>(5, 20.0));

  // A layer of 3 x 2 points repeats x-line values per y and y-line values per x.
  MGridData data;
  OneProgramPerLevel(data, "pcPushVar 3\npcSquare", "pcPushVar 4\npcNeg");
  MGridVariables layer;
  SetupGrid(1, 2, 0, 1, 1, 1, 3, 2, 1, &data, &layer);
  FillRunInputs<double>(layer, 0);
  EXPECT_EQ(RunRow(*Program("pcPushGrid1 0"), layer), (std::vector<double>{1, 4, 9, 1, 4, 9}));
  EXPECT_EQ(RunRow(*Program("pcPushGrid2 0"), layer), (std::vector<double>{-2, -2, -2, -3, -3, -3}));
}

TEST(GridInterpreter, ComplexResultsOffTheRealAxisAreUndefined) {
  MGridVariables row;
  row.complex = 1;
  ASSERT_TRUE(PrepareGridArrays(&row, 2, 1, 0, 0, 0, 0, 12));
  FillRunInputs<Complex>(row, 0);
  SetGridSlot<Complex>(row, 3, std::vector<Complex>{{2, 0}, {2, 1e-300}});
  const std::vector<double> out = RunRow<Complex>(*Program("pcPushVar 3"), row);
  EXPECT_EQ(out[0], 2);
  EXPECT_TRUE(std::isnan(out[1]));
}

TEST(GridInterpreter, LoopBoundsThatDifferPerPointAreFollowedAtEachPoint) {
  // The sum of k for k = 1 .. floor(x): triangular numbers, not the first
  // point's count for every point.
  MGridVariables row;
  row.x0 = 0.5, row.dx = 1;
  ASSERT_TRUE(PrepareGridArrays(&row, 5, 1, 0, 0, 0, 0, 15));
  FillRunInputs<double>(row, 0);
  auto sum = Program(
      "pcPushNumber 0\npcPushVar 3\npcFloor\npcStoreTempPop 1\npcPushNumber 1\npcStoreTemp 2\n"
      "pcStoreTempPop 0\npcLoopTest 0\npcPushTemp 0\npcSumIndexCheck 0\npcAdd\npcLoopNext 0");
  EXPECT_EQ(RunRow(*sum, row), (std::vector<double>{0, 1, 3, 6, 10}));
}

TEST(GridInterpreter, ConditionalStatisticsAgreeWithPointRuns) {
  // Count-and-sum over two rows whose condition is 2 at x > 1: a point run
  // adds the condition to the count, so the array run must too.
  MGridVariables row;
  row.dx = 1;
  ASSERT_TRUE(PrepareGridArrays(&row, 3, 1, 0, 0, 0, 0, 15));
  FillRunInputs<double>(row, 0);
  auto count = Program(
      "pcBeginCountSum 0 1\npcLoopTest 0\npcSetRow 0\npcPushVar 3\npcPushVar 3\npcPushNumber 1\n"
      "pcGreater 2\npcPushNumber 2\npcMul\npcCondCountSum\npcLoopNext 0\npcPopRow\npcPop");
  EXPECT_EQ(RunRow(*count, row), (std::vector<double>{0, 0, 4}));
}

TEST(GridInterpreter, TableRowStartsAtZeroAfterSetup) {
  MGridData data;
  data.variableCount = 12;
  MGridVariables row;
  SetupGrid(0, 0, 1, 1, 3, 1, &data, &row);
  SetGridSlot(row, 11, 42.0);
  SetupGrid(0, 0, 1, 1, 3, 1, &data, &row);  // same sizes: arrays kept, row reset
  EXPECT_EQ(RunRow(*Program("pcPushVar 11"), row), std::vector<double>(3, 0.0));
}

TEST(GridInterpreter, ProgramsNeedingMoreSlotsThanTheGridGiveNaN) {
  MGridVariables row;
  ASSERT_TRUE(PrepareGridArrays(&row, 3, 1, 0, 0, 0, 0, 12));
  for (double v : RunRow(*Program("pcPushNumber 1\npcStoreTemp 40"), row)) EXPECT_TRUE(std::isnan(v));
}

TEST(GridSetup, HoistedLinesAndTheirLayout) {
  MGridData data;
  OneProgramPerLevel(data, "pcPushVar 3\npcSin", "pcPushVar 4\npcCos");
  MGridVariables grid;
  SetupGrid(0, 0, gPi / 6, gPi / 3, 3, 2, &data, &grid);
  const double* values = static_cast<const double*>(grid.hoistedValues);
  const double expected[] = {0, 0.5, std::sqrt(3.0) / 2, 1, 0.5};
  for (int e = 0; e < 5; ++e) EXPECT_NEAR(values[e], expected[e], 1e-15) << e;
  EXPECT_EQ(grid.z0, 0);
  EXPECT_EQ(grid.dz, 0);
  EXPECT_EQ(grid.nz, 0);

  // Same point counts but more programs and slots: the arrays must grow.
  MGridData wider;
  OneProgramPerLevel(wider, "pcPushVar 3", "pcPushVar 4", 40);
  wider.level1.Add(Program("pcPushVar 3\npcNeg").release());
  wider.level1Count = 2;
  SetupGrid(0, 0, 1, 1, 3, 2, &wider, &grid);
  EXPECT_EQ(RunRow(*Program("pcPushGrid1 1\npcStoreTemp 27"), grid), (std::vector<double>{0, -1, -2}));

  // No points: the geometry is stored and nothing computed, also with z.
  MGridVariables empty;
  SetupGrid(1, 2, 3, 0.5, 0.5, 0.5, 0, 0, 4, &data, &empty);
  EXPECT_EQ(empty.z0, 3);
  EXPECT_EQ(empty.nz, 4);
}

// Set-up computes a real line in one run over its points; each value must
// be, bit for bit, what a point run of the hoisted program gives there:
// loops with fixed and with per-point bounds, domain errors, comparisons.
TEST(GridSetup, HoistedLinesAreWhatPointRunsOfTheirProgramsGive) {
  auto e = MakeExpression(
      "sum(cos(k * x) / k, k = 1, 8) * sqrt(x) + sum(k, k = 1, floor(x + 3)) * (x < 1) + ln(y) * (y ^ 2 > 1)");
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(e.get()));
  ASSERT_NE(data, nullptr);
  ASSERT_GT(data->level1Count, 0);
  ASSERT_GT(data->level2Count, 0);
  MGridVariables grid;
  const int32_t counts[] = {12, 9};
  const double origins[] = {-2.5, -1.25}, steps[] = {0.5, 0.375};
  AnExpression::SetupGrid(origins[0], origins[1], steps[0], steps[1], counts[0], counts[1], data.get(), &grid);
  const double* values = static_cast<const double*>(grid.hoistedValues);
  for (int32_t axis = 0; axis < 2; ++axis) {
    const MGridProgramList& programs = axis == 0 ? data->level1 : data->level2;
    for (int32_t a = 0; a < programs.count; ++a) {
      std::vector<double> variables(static_cast<size_t>(programs.items[a]->VariableSlotCount()));
      const double* line = values + (axis == 0 ? 0 : counts[0] * data->level1Count) + a * counts[axis];
      for (int32_t index = 0; index < counts[axis]; ++index) {
        variables[size_t(axis)] = variables[size_t(axis) + 3] = GridCoordinate(origins[axis], index, steps[axis]);
        const double expected = programs.items[a]->Run(variables.data(), nullptr);
        EXPECT_TRUE(SameResult(line[index], expected)) << "axis " << axis << ", program " << a << ", index " << index
                                                       << ": " << line[index] << " for " << expected;
      }
    }
  }
}

TEST(GridHoisting, OneAxisSubtreesLeaveTheGridProgram) {
  BeginCSEoverGrid();
  Compiled product{Prepared("sin(x)*cos(y)")};
  Compiled sine{Prepared("sin(x)+x*y")};
  CompileExpression(product.machine.get(), product.tree.get(), nullptr, false, true, nullptr);
  CompileExpression(sine.machine.get(), sine.tree.get(), nullptr, false, true, nullptr);
  std::unique_ptr<MGridData> data(EndCSEoverGrid(nullptr));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Listing(*product.machine), "pcPushGrid1\npcPushGrid2\npcMul\n");
  EXPECT_EQ(data->level1Count, 1);  // sin(x) once for both formulas
  EXPECT_EQ(data->level2Count, 1);
  EXPECT_EQ(data->level3Count, 0);
  EXPECT_EQ(Listing(*sine.machine).find("pcPushGrid1\n"), 0u);

  MGridVariables grid;
  SetupGrid(0, 0, gPi / 6, gPi / 3, 3, 2, data.get(), &grid);
  grid.j = 1;
  FillRunInputs<double>(grid, 0);
  const std::vector<double> out = RunRow(*product.machine, grid);
  const double expected[] = {0, 0.25, std::sqrt(3.0) / 4};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[static_cast<size_t>(i)], expected[i], 1e-15);
}

TEST(GridHoisting, TwoAxisSubtreesStay) {
  BeginCSEoverGrid();
  Compiled both{Prepared("x*y")};
  CompileExpression(both.machine.get(), both.tree.get(), nullptr, false, true, nullptr);
  std::unique_ptr<MGridData> data(EndCSEoverGrid(nullptr));
  EXPECT_EQ(data->level1Count + data->level2Count + data->level3Count, 0);
  EXPECT_EQ(Listing(*both.machine).find("pcPushGrid"), std::string::npos);
}

// A row program gets the coordinates it reads whatever ran before it on
// the same grid, also when point runs take its row over. The grid's
// coordinates are dyadic, so every value is exact.
TEST(GridInterpreter, EachRowProgramGetsTheCoordinatesItReads) {
  struct Case {
    const char* text;
    double (*value)(double u, double v, double z);
  };
  const Case cases[] = {
      {"x", [](double u, double, double) { return u; }},
      {"u * v - y", [](double u, double v, double) { return u * v - v; }},
      {"sum(k * v, k = 1, floor(u + 3)) + z",  // bound per point: point runs
       [](double u, double v, double z) {
         const double m = std::floor(u + 3);
         return v * m * (m + 1) / 2 + z;
       }},
      {"y + 10 * u", [](double u, double v, double) { return v + 10 * u; }},
  };
  std::vector<std::unique_ptr<AnExpression>> owned;
  std::vector<AnExpression*> list;
  for (const Case& c : cases) {
    owned.push_back(MakeExpression(c.text));
    list.push_back(owned.back().get());
    AnExpression::Compile(list.back());
  }
  std::unique_ptr<MGridData> data(AnExpression::CompileForGrid(list.data(), static_cast<int32_t>(list.size())));
  ASSERT_NE(data, nullptr);
  for (const int32_t nz : {0, 2}) {
    MGridVariables grid;
    AnExpression::SetupGrid(-1, 0.25, 0.5, 0.5, 0.75, 0.25, 5, 3, nz, data.get(), &grid);
    const int32_t points = nz == 0 ? 5 : 15;
    std::vector<double> out(static_cast<size_t>(points));
    for (int32_t run = 0; run < (nz == 0 ? 3 : nz); ++run) {
      for (size_t e = 0; e < list.size(); ++e) {
        list[e]->EvaluateArrayOnGrid(run, &grid, out.data());
        for (int32_t p = 0; p < points; ++p) {
          const double u = -1 + (p % 5) * 0.5;
          const double v = 0.25 + (nz == 0 ? run : p / 5) * 0.75;
          const double z = nz == 0 ? 0 : 0.5 + run * 0.25;
          EXPECT_EQ(out[size_t(p)], cases[e].value(u, v, z)) << cases[e].text << ", nz " << nz << ", point " << p;
        }
      }
    }
  }
}

#if defined(__SANITIZE_ADDRESS__)
std::atomic<int64_t> gMallocs{0};
void CountMalloc(const volatile void*, size_t) { gMallocs.fetch_add(1, std::memory_order_relaxed); }
void IgnoreFree(const volatile void*) {}
#endif

TEST(GridInterpreter, RowAfterRowAllocatesNothing) {
#if defined(__SANITIZE_ADDRESS__)
  static const int installed = __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree);
  ASSERT_NE(installed, 0);
  MGridVariables layer;
  ASSERT_TRUE(PrepareGridArrays(&layer, 40, 30, 2, 0, 0, 0, 20));
  FillRunInputs<double>(layer, 0);
  auto machine = Program(
      "pcPushVar 3\npcPushVar 4\npcLess 2\npcPushVar 3\npcPushNumber 1\npcPushVar 4\npcBranch 2\n"
      "pcPushVar 3\npcPushVar 4\npcMul\npcSin\npcAdd\npcPushVar 3\npcPushVar 4\npcPushNumber 0\npcClamp\npcMul");
  std::vector<double> out(1200);
  machine->RunArrayDouble(&layer, out.data());  // the thread's scratch grows once
  const int64_t before = gMallocs.load();
  for (int run = 0; run < 50; ++run) machine->RunArrayDouble(&layer, out.data());
  EXPECT_EQ(gMallocs.load() - before, 0);
#else
  GTEST_SKIP() << "counting allocations needs the address sanitizer's hooks";
#endif
}

}  // namespace
