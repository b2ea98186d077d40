#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <memory>

#include "CoreUtilities/threads/JobQueue.h"
#include "algebra/AlgebraStartup.h"
#include "evaluation/DerivativeHooks.h"
#include "graphs3d/views/A4DGraphView.h"
#include "graphs3d/grid/AGridSurface4D.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs3d/VertexTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

// Surfaces of the 4-D view over its U and V ranges, computed on the workers.
class GridSurface4DTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    view.SetViewRect(MRect{0, 0, 300, 400});
    view.ConstructContextNeededByGraphConstructors();
  }
  void TearDown() override {
    surfaces.clear();
    StopComputeThreads();
  }
  void SetRange(CoordDisplayParam which, double low, double high) {
    view.Record().ranges[which][0] = low, view.Record().ranges[which][1] = high;
    view.ConstructContextNeededByGraphConstructors();
  }
  AGridSurface4D& Make(const char* x, const char* y, const char* z, const char* w, double grain,
                       const char* condition = nullptr, GraphColorType colour = AGraphColor::kSolid) {
    const double* u = view.Record().ranges[kCoordU];
    const double* v = view.Record().ranges[kCoordV];
    surfaces.push_back(std::make_unique<AGridSurface4D>(
        MakeExpression(x), MakeExpression(y), MakeExpression(z), MakeExpression(w), grain, 1.0, ColourOfType(colour),
        condition ? MakeExpression(condition) : nullptr, u[0], u[1], v[0], v[1], view.DrawContext(), view.Transform()));
    Wait(*surfaces.back());
    return *surfaces.back();
  }
  static void Wait(AGridSurface4D& s) { WaitUntilDone(s); }
  static int32_t ValidCount(const AGridSurface4D& s) {
    int32_t count = 0;
    for (int32_t i = 0; i < s.GridSize(); ++i)
      for (int32_t j = 0; j < s.GridSize(); ++j) count += s.IsValid(i, j);
    return count;
  }
  A4DGraphView view;
  std::vector<std::unique_ptr<AGridSurface4D>> surfaces;
};

TEST_F(GridSurface4DTest, GrainGivesTheGridSideAndPointsAreNormalised) {
  const struct {
    double grain;
    int32_t side;
  } cases[] = {{0, 5}, {1, 79}, {0.5, 42}, {-3, 5}, {7, 79}, {NAN, 42}, {INFINITY, 79}};
  for (const auto& c : cases) {
    AGridSurface4D& s = Make("u", "v", "u*v", "u - v", c.grain);
    const int32_t n = s.GridSize();
    ASSERT_EQ(n, c.side) << c.grain;
    EXPECT_EQ(s.GraphVisibility(), 0);
    EXPECT_EQ(ValidCount(s), n * n);
    EXPECT_EQ(s.TriangleCount(), 2 * (n - 1) * (n - 1));
    // U and V run 0 .. 1, the view's ranges -2 .. 2: n = value / 2.
    for (int32_t i : {0, n / 3, n - 1}) {
      const double u = double(i) / (n - 1), v = double(n - 1 - i) / (n - 1);
      const A4Vector p = s.Point(i, n - 1 - i);
      EXPECT_NEAR(p.a, u / 2, 1e-12);
      EXPECT_NEAR(p.b, v / 2, 1e-12);
      EXPECT_NEAR(p.c, u * v / 2, 1e-12);
      EXPECT_NEAR(p.d, (u - v) / 2, 1e-12);
    }
    // The farthest point is (1, 1, 1, 0) / 2.
    EXPECT_NEAR(s.MaximumModelSpaceRadius(), std::sqrt(3.0) / 2, 1e-12);
  }
  AGridSurface4D& s = Make("u", "v", "u", "v", 0);
  s.SetParameter(kAttributeGrain, 1);
  Wait(s);
  EXPECT_EQ(s.GridSize(), 79);
  EXPECT_EQ(ValidCount(s), 79 * 79);
  // A new range of the view reaches the next computation of its graphs.
  surfaces.pop_back();
  const double* u = view.Record().ranges[kCoordU];
  const double* v = view.Record().ranges[kCoordV];
  auto* held = new AGridSurface4D(MakeExpression("u"), MakeExpression("v"), MakeExpression("u"), MakeExpression("v"), 0,
                                  1, ColourOfType(AGraphColor::kSolid), nullptr, u[0], u[1], v[0], v[1],
                                  view.DrawContext(), view.Transform());
  view.AddGraph(std::unique_ptr<AGraph>(held));
  view.Record().ranges[kCoordW][0] = 0;
  view.ViewChanged();
  Wait(*held);
  EXPECT_NEAR(held->Point(4, 4).d, 0, 1e-12);
  EXPECT_NEAR(held->Point(0, 0).d, -1, 1e-12);
}

TEST_F(GridSurface4DTest, PointsNotFiniteOrFailingTheConditionAreLeftOut) {
  EXPECT_EQ(Make("u", "v", "u", "v", 0, "u > 2").GraphVisibility(), 11);
  // NaN everywhere is no surface either.
  EXPECT_EQ(Make("sqrt(-1 - u)", "v", "u", "v", 0).GraphVisibility(), 11);
  EXPECT_EQ(Make("u", "v", "u", "1/(u - u)", 0).GraphVisibility(), 11);
  // NaN for u < 1/2, a false condition for v > 1/2: one quarter stays.
  AGridSurface4D& s = Make("u", "v", "sqrt(u - 0.5)", "v", 0, "v < 0.6");
  EXPECT_EQ(s.GraphVisibility(), 0);
  for (int32_t i = 0; i < 5; ++i)
    for (int32_t j = 0; j < 5; ++j) EXPECT_EQ(s.IsValid(i, j), i >= 2 && j <= 2) << i << "," << j;
  // Cells (2, 0), (2, 1), (3, 0), (3, 1) are whole.
  EXPECT_EQ(s.TriangleCount(), 8);
  s.Draw();
  for (int32_t t = 0; t < s.TriangleCount(); ++t)
    for (int32_t v : s.Triangles()[t].v) EXPECT_TRUE(Of(s.Vertices()[v]).allFinite());
}

// w = z^2 as the pane builds it: its partials exist, and without them (no
// differentiation installed) every normal comes from the projected
// neighbours; on a turned view with unequal ranges the two agree at
// interior points.
TEST_F(GridSurface4DTest, NeighbourNormalsAgreeWithAnalyticOnes) {
  SetRange(kCoordU, -2, 2);
  SetRange(kCoordV, -1.5, 2);
  SetRange(kCoordW, -8, 8);
  view.SetViewParameter4D(ViewAttribute(98), 70);
  view.SetViewParameter4D(ViewAttribute(101), -130);
  view.ConstructContextNeededByGraphConstructors();
  AGridSurface4D& analytic = Make("u", "v", "u^2 - v^2", "2*u*v", 0.5);
  const DerivativeHooks installed = CurrentDerivativeHooks();
  InstallDerivativeHooks(DerivativeHooks{});
  AGridSurface4D& fallback = Make("u", "v", "u^2 - v^2", "2*u*v", 0.5);
  InstallDerivativeHooks(installed);
  ASSERT_TRUE(analytic.UsesAnalyticNormals());
  ASSERT_FALSE(fallback.UsesAnalyticNormals());
  analytic.Draw();
  fallback.Draw();
  const int32_t n = analytic.GridSize();
  for (int32_t i = 1; i + 1 < n; ++i) {
    for (int32_t j = 1; j + 1 < n; ++j) {
      const int32_t k = i * n + j;
      const Vec3 a = Of(analytic.Normals()[k]), f = Of(fallback.Normals()[k]);
      EXPECT_NEAR(a.norm(), 1, 1e-6);
      EXPECT_LT((a - f).norm(), 1e-2) << i << "," << j;
      EXPECT_EQ(Of(analytic.Vertices()[k]), Of(fallback.Vertices()[k]));
    }
  }
  // At the edges the neighbours lie on one side: still a unit normal.
  for (int32_t k : {0, n - 1, n * n - 1}) EXPECT_NEAR(Of(fallback.Normals()[k]).norm(), 1, 1e-6);
}

// sqrt(u) has an infinite partial at u = 0: those points take their
// normals from the neighbours instead of normalising zero.
TEST_F(GridSurface4DTest, AnInfinitePartialFallsBackToTheNeighbours) {
  AGridSurface4D& s = Make("u", "v", "sqrt(u)", "v", 0);
  ASSERT_TRUE(s.UsesAnalyticNormals());
  s.Draw();
  for (int32_t k = 0; k < 25; ++k) EXPECT_NEAR(Of(s.Normals()[k]).norm(), 1, 1e-6) << k;
}

TEST_F(GridSurface4DTest, TurningTheViewMovesThePictureWithoutRecomputing) {
  AGridSurface4D& s = Make("u", "v", "u*v", "u - v", 0);
  s.Draw();
  const Vec3 before = Of(s.Vertices()[7]);
  view.SetViewParameter4D(ViewAttribute(99), 90);
  view.ConstructContextNeededByGraphConstructors();
  EXPECT_TRUE(s.IsDoneComputing());
  s.Draw();
  EXPECT_GT((Of(s.Vertices()[7]) - before).norm(), 1e-3);
}

// Discrete colours: every triangle's corners take one colour, and the
// cells beside each other along the type's direction differ.
TEST_F(GridSurface4DTest, DiscreteColoursGiveOneColourPerCell) {
  for (GraphColorType type :
       {AGraphColor::kCheckerboard, AGraphColor::kHorizontalStripes, AGraphColor::kVerticalStripes,
        AGraphColor::kHueBandsDown, AGraphColor::kHueBandsAcross}) {
    AGridSurface4D& s = Make("u", "v", "u*v", "u - v", 0, nullptr, type);
    ASSERT_EQ(s.Copies(), 2);
    const int32_t n = s.GridSize();
    ASSERT_EQ(s.TriangleCount(), 2 * (n - 1) * (n - 1));
    const auto colour = [&](int32_t t) {
      const ColorArrayElement& c = s.Colours()[s.Triangles()[t].v[0]];
      return Vec3(c.red, c.green, c.blue);
    };
    for (int32_t t = 0; t < s.TriangleCount(); ++t) {
      for (int32_t v : s.Triangles()[t].v) {
        const ColorArrayElement& c = s.Colours()[v];
        EXPECT_EQ(Vec3(c.red, c.green, c.blue), colour(t)) << type << " triangle " << t;
      }
    }
    // Two triangles a cell, cells row by row along v: cell (i, j) is 2 (i (n - 1) + j).
    const auto cell = [&](int32_t i, int32_t j) { return colour(2 * (i * (n - 1) + j)); };
    const bool alongU = type != AGraphColor::kVerticalStripes && type != AGraphColor::kHueBandsAcross;
    const bool alongV = type == AGraphColor::kCheckerboard || !alongU;
    EXPECT_EQ(cell(1, 1) != cell(2, 1), alongU) << type;
    EXPECT_EQ(cell(1, 1) != cell(1, 2), alongV) << type;
  }
}

}  // namespace
