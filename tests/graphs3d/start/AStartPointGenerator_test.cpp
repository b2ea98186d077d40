#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <tuple>

#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/threads/ProcessorCount.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/fields/A3DVectorField.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ALatticeFunction.h"
#include "graphs3d/start/AStartOnGrid.h"
#include "graphs3d/start/AStartOnImplicit.h"
#include "graphs3d/start/AStartOnLattice.h"
#include "graphs3d/start/AStartOnPoint.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs3d/ViewBox.h"

namespace {

Compiled StartExpression(const char* text) { return text ? MakeExpression(text) : nullptr; }

class StartPointTest : public testing::Test {
 protected:
  void SetUp() override {
    StartComputeThreads();
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
    double(*r)[2] = view.Record().ranges;
    r[kCoordX][0] = -2, r[kCoordX][1] = 2, r[kCoordY][0] = -1, r[kCoordY][1] = 3, r[kCoordZ][0] = 0, r[kCoordZ][1] = 6;
    r[kCoordU][0] = 0, r[kCoordU][1] = 1, r[kCoordV][0] = 0, r[kCoordV][1] = 2;
  }
  void TearDown() override {
    graph.reset();
    DebugSetNumProcessors(0);
    StopComputeThreads();
  }
  AStartOnLattice& Lattice(double grain, int32_t type, const char* condition = nullptr) {
    graph = std::make_unique<AStartOnLattice>(StartExpression("-y"), StartExpression("x"), StartExpression("1"),
                                              nullptr, StartExpression(condition), grain, 1.0,
                                              std::make_unique<AGraphColor>(), view.DrawContext(), ViewBox(view), type);
    Wait();
    return static_cast<AStartOnLattice&>(*graph);
  }
  void Wait() { WaitUntilDone(*graph); }

  A3DGraphView view;
  std::unique_ptr<AStartPointGenerator> graph;
};

TEST_F(StartPointTest, LatticeCountsFollowTheGrain) {
  struct Case {
    double grain;
    int32_t type, n;
  };
  for (const Case& c :
       {Case{0, 1, 2}, Case{1, 1, 8}, Case{0, 0, 4}, Case{1, 0, 16}, Case{-3, 1, 2}, Case{9, 0, 16}, Case{NAN, 1, 5}}) {
    AStartOnLattice& lattice = Lattice(c.grain, c.type);
    ASSERT_EQ(lattice.PointsPerAxis(), c.n) << c.grain;
    ASSERT_EQ(lattice.Starts().Count(), c.n * c.n * c.n) << c.grain;
    // Corners first and last, z fastest.
    const StartList& s = lattice.Starts();
    EXPECT_EQ(s[0].x, -2);
    EXPECT_EQ(s[0].y, -1);
    EXPECT_EQ(s[0].z, 0);
    EXPECT_EQ(s[1].z, 6.0 / (c.n - 1));
    const AVector& last = s[s.Count() - 1];
    EXPECT_NEAR(last.x, 2, 1e-12);
    EXPECT_NEAR(last.y, 3, 1e-12);
    EXPECT_NEAR(last.z, 6, 1e-12);
    // Half the spacing along the shortest side (4 wide).
    EXPECT_DOUBLE_EQ(lattice.ArrowLength(), 0.5 * 4 / (c.n - 1));
    const int32_t drawn = c.type == 0 ? static_cast<A3DVectorField&>(lattice.Field()).ArrowCount()
                                      : lattice.Solutions()->Solutions().Count();
    EXPECT_EQ(drawn, c.n * c.n * c.n);
  }
}

// A reversed range mirrors the arrows on screen; they keep their length
// and so their direction.
TEST_F(StartPointTest, AReversedRangeKeepsTheArrowsLength) {
  double* x = view.Record().ranges[kCoordX];
  x[0] = 2, x[1] = -2;
  EXPECT_DOUBLE_EQ(Lattice(0, 0).ArrowLength(), 0.5 * 4 / 3);
}

TEST_F(StartPointTest, TheConditionPicksLatticePoints) {
  AStartOnLattice& lattice = Lattice(0, 0, "x < 0");
  EXPECT_EQ(lattice.Starts().Count(), 32);
  for (int32_t i = 0; i < lattice.Starts().Count(); ++i) EXPECT_LT(lattice.Starts()[i].x, 0);
  // Never exactly 1: nothing to draw, and nothing wrong with that.
  for (int32_t type : {0, 1}) {
    AStartOnLattice& none = Lattice(0, type, "0.999");
    EXPECT_EQ(none.Starts().Count(), 0);
    EXPECT_EQ(none.GraphVisibility(), 0);
    EXPECT_TRUE(none.Draw());
  }
}

TEST_F(StartPointTest, GridPointsSampleTheSurfaceOverUAndV) {
  const double(*r)[2] = view.Record().ranges;
  graph = std::make_unique<AStartOnGrid>(
      StartExpression("0"), StartExpression("0"), StartExpression("1"), StartExpression("u"), StartExpression("v"),
      StartExpression("u*v"), nullptr, nullptr, 0.5, 1.0, std::make_unique<AGraphColor>(), r[kCoordU][0], r[kCoordU][1],
      r[kCoordV][0], r[kCoordV][1], ViewBox(view), view.DrawContext(), 0);
  Wait();
  auto& grid = static_cast<AStartOnGrid&>(*graph);
  const int32_t n = 27;
  ASSERT_EQ(grid.PointsPerSide(), n);
  ASSERT_EQ(grid.Starts().Count(), n * n);
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = 0; j < n; ++j) {
      const AVector& p = grid.Starts()[i * n + j];
      const double u = double(i) / (n - 1), v = 2.0 * j / (n - 1);
      ASSERT_NEAR(p.x, u, 1e-12);
      ASSERT_NEAR(p.y, v, 1e-12);
      ASSERT_NEAR(p.z, u * v, 1e-12);
    }
}

// The surface as a plain function, for a walk of our own.
class UnitSphereFunction : public ALatticeFunction {
 public:
  double At(double x, double y, double z) override { return x * x + (y - 1) * (y - 1) + (z - 3) * (z - 3) - 2.25; }
};

TEST_F(StartPointTest, ImplicitStartsAreTheFirstSurfacePointOfEachCell) {
  for (double grain : {0.0, 0.5}) {
    graph =
        std::make_unique<AStartOnImplicit>(StartExpression("0"), StartExpression("0"), StartExpression("1"), nullptr,
                                           StartExpression("x^2 + (y - 1)^2 + (z - 3)^2 - 2.25"), nullptr, grain, 1.0,
                                           std::make_unique<AGraphColor>(), ViewBox(view), view.DrawContext(), 1);
    Wait();
    auto& implicit = static_cast<AStartOnImplicit&>(*graph);
    const int32_t n = implicit.CellsPerAxis();
    ASSERT_EQ(n, int32_t(10 * grain + 4));
    UnitSphereFunction sphere;
    ALattice lattice(sphere, -2, 2, -1, 3, 0, 6, n, n);
    SurfaceVertexList vertices;
    while (!lattice.IsDoneComputing()) ASSERT_EQ(lattice.LoopOverUnitCubes(vertices, nullptr, OurTime()), 0);
    // First vertex of each cell, in list order.
    std::set<std::tuple<int, int, int>> seen;
    std::vector<AVector> expected;
    const auto cell = [n](double v, double lo, double hi) {
      const double c = n * (v - lo) / (hi - lo) - 0.5;
      return c > 0 ? int(c) : 0;
    };
    for (int32_t i = 0; i < vertices.Count(); ++i) {
      const SurfaceVertex& v = vertices[i];
      if (seen.insert({cell(v.x, -2, 2), cell(v.y, -1, 3), cell(v.z, 0, 6)}).second)
        expected.push_back({v.x, v.y, v.z});
    }
    ASSERT_GT(expected.size(), 8u);
    ASSERT_EQ(implicit.Starts().Count(), int32_t(expected.size()));
    for (int32_t i = 0; i < implicit.Starts().Count(); ++i) {
      EXPECT_NEAR(implicit.Starts()[i].x, expected[size_t(i)].x, 1e-6);
      EXPECT_NEAR(implicit.Starts()[i].y, expected[size_t(i)].y, 1e-6);
      EXPECT_NEAR(implicit.Starts()[i].z, expected[size_t(i)].z, 1e-6);
    }
    EXPECT_EQ(implicit.Solutions()->Solutions().Count(), implicit.Starts().Count());
  }
}

// Jobs take the start points one by one; those that find none left only
// finish.
TEST_F(StartPointTest, FourStartsOnEightJobs) {
  DebugSetNumProcessors(8);
  graph = std::make_unique<AStartOnLattice>(StartExpression("-y"), StartExpression("x"), StartExpression("0"), nullptr,
                                            StartExpression("z < 1"), 0, 1.0, std::make_unique<AGraphColor>(),
                                            view.DrawContext(), ViewBox(view), 1);
  Wait();
  ASSERT_EQ(graph->Starts().Count(), 4);
  EXPECT_EQ(graph->Solutions()->Solutions().Count(), 4);
  EXPECT_EQ(graph->GraphVisibility(), 0);
}

// A zero field ends every solution at its start point: each start gives
// one solution, whatever the number of jobs sharing them.
TEST_F(StartPointTest, EveryStartIsSolvedOnceOnAnyNumberOfJobs) {
  for (int32_t jobs = 1; jobs <= 16; ++jobs) {
    DebugSetNumProcessors(jobs);
    graph = std::make_unique<AStartOnLattice>(StartExpression("0"), StartExpression("0"), StartExpression("0"), nullptr,
                                              nullptr, 0.5, 1.0, std::make_unique<AGraphColor>(), view.DrawContext(),
                                              ViewBox(view), 1);
    Wait();
    const StartList& starts = static_cast<AStartOnLattice&>(*graph).Starts();
    SolutionList& solutions = graph->Solutions()->Solutions();
    ASSERT_EQ(solutions.Count(), starts.Count()) << jobs;
    std::multiset<std::tuple<float, float, float>> expected, solved;
    for (int32_t k = 0; k < starts.Count(); ++k) {
      expected.insert({float(starts[k].x), float(starts[k].y), float(starts[k].z)});
      const std::unique_ptr<ASolution> solution = solutions.CopyCurrent(k);
      ASSERT_EQ(solution->count, 1);
      solved.insert({solution->points[0].x, solution->points[0].y, solution->points[0].z});
    }
    EXPECT_EQ(solved, expected) << jobs;
    graph.reset();
  }
}

TEST_F(StartPointTest, APointStartIgnoresTheCondition) {
  graph = std::make_unique<AStartOnPoint>(StartExpression("1"), StartExpression("0"), StartExpression("3"),
                                          StartExpression("-y"), StartExpression("x"), StartExpression("0"), nullptr,
                                          StartExpression("x > 5"), 1.0, std::make_unique<AGraphColor>(), ViewBox(view),
                                          view.DrawContext(), 1);
  Wait();
  ASSERT_EQ(graph->Starts().Count(), 1);
  ASSERT_EQ(graph->Solutions()->Solutions().Count(), 1);
  std::unique_ptr<ASolution> copy = graph->Solutions()->Solutions().CopyCurrent(0);
  EXPECT_EQ(copy->count, 1);
}

}  // namespace
