#include <gtest/gtest.h>

#include <Eigen/Dense>

#include <cmath>
#include <functional>

#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "graphpane/GraphHooks.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/grid/GridMesh.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs3d/VertexTestSupport.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

// A surface of a 3-D view over its u and v ranges (x and y for an explicit
// one), computed on the workers.
class GridSurfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    ResetDeferredErrors();
    view.SetViewRect(MRect{0, 0, 600, 800});
    view.ConstructContextNeededByGraphConstructors();
  }
  void TearDown() override {
    surface.reset();
    StopComputeThreads();
  }
  void SetRanges(double u0, double u1, double v0, double v1) {
    double* u = view.Record().ranges[kCoordU];
    double* v = view.Record().ranges[kCoordV];
    u[0] = u0, u[1] = u1, v[0] = v0, v[1] = v1;
  }
  AGridSurface& Make(const char* x, const char* y, const char* z, double grain, PlottingMode mode = kPlotSampling,
                     GraphColorType colour = AGraphColor::kSolid, const char* condition = nullptr) {
    const double* u = view.Record().ranges[kCoordU];
    const double* v = view.Record().ranges[kCoordV];
    surface = std::make_unique<AGridSurface>(MakeExpression(x), MakeExpression(y), MakeExpression(z), grain, 1.0,
                                             ColourOfType(colour), condition ? MakeExpression(condition) : nullptr,
                                             mode, u[0], u[1], v[0], v[1], view.DrawContext());
    Wait();
    return *surface;
  }
  void Wait() { WaitUntilDone(*surface); }
  int32_t ValidCount() const {
    int32_t count = 0;
    for (int32_t k = 0; k < surface->GridSize() * surface->GridSize(); ++k) count += surface->Valid()[k];
    return count;
  }
  // Grid point (i, j) of the view's u and v ranges.
  double U(int32_t i) const {
    const double* u = view.Record().ranges[kCoordU];
    return u[0] + (u[1] - u[0]) / (surface->GridSize() - 1) * i;
  }
  double V(int32_t j) const {
    const double* v = view.Record().ranges[kCoordV];
    return v[0] + (v[1] - v[0]) / (surface->GridSize() - 1) * j;
  }

  A3DGraphView view;
  std::unique_ptr<AGridSurface> surface;
};

TEST_F(GridSurfaceTest, GrainSetsTheGridAndMissingPointsDropTheirCells) {
  SetRanges(-2, 2, -2, 2);
  EXPECT_EQ(Make("u", "v", "u^2 - v^2", 0).GridSize(), 5);
  EXPECT_EQ(surface->TriangleCount(), 32);
  EXPECT_EQ(surface->GraphVisibility(), 0);
  EXPECT_EQ(Make("u", "v", "u^2 - v^2", 1).GridSize(), 79);
  EXPECT_EQ(surface->TriangleCount(), 2 * 78 * 78);
  // z = 1/x: the grid line x = 0 is gone, and with it both cells beside it.
  Make("u", "v", "1/u", 0);
  EXPECT_EQ(ValidCount(), 20);
  EXPECT_EQ(surface->TriangleCount(), 16);
  // A grain read from a file is held to its range.
  surface->SetParameter(kAttributeGrain, NAN);
  Wait();
  EXPECT_EQ(surface->GridSize(), 42);
  surface->SetParameter(kAttributeGrain, 7);
  Wait();
  EXPECT_EQ(surface->GridSize(), 79);
  surface->SetParameter(kAttributeGrain, -3);
  Wait();
  EXPECT_EQ(surface->GridSize(), 5);
  EXPECT_EQ(surface->TriangleCount(), 16);

  Make("u", "v", "sqrt(-1 - u^2)", 0.3);
  EXPECT_EQ(surface->GraphVisibility(), 11);
  EXPECT_EQ(surface->TriangleCount(), 0);
}

// The view box is -2 .. 2 on every axis, so model space is the surface's
// own: the radius is the farthest valid point from the origin, whatever
// the points left out hold.
TEST_F(GridSurfaceTest, TheRadiusIsTheFarthestValidPoint) {
  SetRanges(-2, 2, -2, 2);
  for (const GraphColorType colour : {AGraphColor::kSolid, AGraphColor::kCheckerboard}) {
    for (const double grain : {0.0, 0.4}) {
      Make("u", "v", "1/(u*v - 1)", grain, kPlotSampling, colour);
      double farthest = 0;
      int32_t left = 0;
      for (int32_t i = 0; i < surface->GridSize(); ++i) {
        for (int32_t j = 0; j < surface->GridSize(); ++j) {
          const double u = U(i), v = V(j), z = 1 / (u * v - 1);
          if (std::isfinite(z)) farthest = std::max(farthest, std::sqrt(u * u + v * v + z * z));
          left += !std::isfinite(z);
        }
      }
      ASSERT_EQ(ValidCount(), surface->GridSize() * surface->GridSize() - left);
      EXPECT_NEAR(surface->MaximumModelSpaceRadius(), farthest, 1e-5 * farthest) << grain << " " << int(colour);
    }
  }
}

// Outward normals on a sphere with a whole row of equal points at each
// pole, from the mesh (mode 0) and from the partials (mode 1, which the
// poles' zero normals leave to the mesh).
TEST_F(GridSurfaceTest, SphereNormalsAreFiniteRadialAndOfOneSide) {
  SetRanges(0, gPi, 0, 2 * gPi);
  for (PlottingMode mode : {kPlotSampling, kPlotInterval}) {
    AGridSurface& s = Make("sin(u)*cos(v)", "sin(u)*sin(v)", "cos(u)", 1, mode);
    EXPECT_EQ(s.UsesAnalyticNormals(), mode == kPlotInterval);
    const int32_t n = s.GridSize();
    int outward = 0, inward = 0;
    double worst = 0;
    for (int32_t k = 0; k < n * n; ++k) {
      ASSERT_TRUE(s.Valid()[k]);
      const Vec3 normal = Of(s.Normals()[k]), p = Of(s.Positions()[k]);
      ASSERT_TRUE(normal.allFinite()) << k;
      ASSERT_GT(normal.norm(), 0) << k;
      const double cosine = normal.dot(p) / normal.norm() / p.norm();
      (cosine > 0 ? outward : inward)++;
      worst = std::max(worst, std::acos(std::min(1.0, std::fabs(cosine))));
    }
    EXPECT_TRUE(outward == 0 || inward == 0) << outward << " " << inward << " mode " << mode;
    EXPECT_LT(worst * 180 / gPi, 5) << "mode " << mode;
  }
}

// Partials of the algebra against the same surfaces' partials as lambdas;
// a cone's tip (0 / 0 in both partials) is mended from the mesh.
TEST_F(GridSurfaceTest, AnalyticNormalsMatchHandPartialsAndUndefinedOnesAreRepaired) {
  using Partials = std::function<void(double, double, Vec3*, Vec3*)>;
  struct Case {
    const char *x, *y, *z;
    double u0, u1, v0, v1;
    Partials partials;
  } cases[] = {
      {"u", "v", "sin(u)*cos(v)", -3, 3, -3, 3,
       [](double u, double v, Vec3* du, Vec3* dv) {
         *du = {1, 0, std::cos(u) * std::cos(v)};
         *dv = {0, 1, -std::sin(u) * std::sin(v)};
       }},
      {"(2 + cos(v))*cos(u)", "(2 + cos(v))*sin(u)", "sin(v)", 0, 2 * gPi, 0, 2 * gPi,
       [](double u, double v, Vec3* du, Vec3* dv) {
         *du = {-(2 + std::cos(v)) * std::sin(u), (2 + std::cos(v)) * std::cos(u), 0};
         *dv = {-std::sin(v) * std::cos(u), -std::sin(v) * std::sin(u), std::cos(v)};
       }},
  };
  for (const Case& c : cases) {
    SetRanges(c.u0, c.u1, c.v0, c.v1);
    AGridSurface& s = Make(c.x, c.y, c.z, 0.4, kPlotInterval);
    ASSERT_TRUE(s.UsesAnalyticNormals()) << c.z;
    const int32_t n = s.GridSize();
    for (int32_t i = 0; i < n; ++i) {
      for (int32_t j = 0; j < n; ++j) {
        Vec3 du, dv;
        c.partials(U(i), V(j), &du, &dv);
        const Vec3 expected = du.cross(dv).normalized(), ours = Of(s.Normals()[i * n + j]).normalized();
        EXPECT_NEAR((ours - expected).norm(), 0, 1e-5) << c.z << " " << i << "," << j;
      }
    }
  }
  SetRanges(-2, 2, -2, 2);
  AGridSurface& cone = Make("u", "v", "sqrt(u^2 + v^2)", 0, kPlotInterval);
  ASSERT_TRUE(cone.UsesAnalyticNormals());
  const Vec3 tip = Of(cone.Normals()[2 * 5 + 2]);
  EXPECT_TRUE(tip.allFinite());
  EXPECT_GT(std::fabs(tip.z()), 0);
}

TEST_F(GridSurfaceTest, CheckerboardCellsAreFlatAndConditionsKeepExactlyTheirPoints) {
  SetRanges(-2, 2, -2, 2);
  AGridSurface& s = Make("u", "v", "u*v", 0.2, kPlotSampling, AGraphColor::kCheckerboard);
  ASSERT_EQ(s.Copies(), 2);
  const int32_t n = s.GridSize();
  ASSERT_EQ(s.TriangleCount(), 2 * (n - 1) * (n - 1));
  for (int32_t t = 0; t < s.TriangleCount(); ++t) {
    const Triangle& tri = s.Triangles()[t];
    const ColorArrayElement& first = s.Colours()[tri.v[0]];
    for (int32_t corner : tri.v) {
      EXPECT_EQ(s.Colours()[corner].red, first.red) << t;
      EXPECT_EQ(s.Positions()[corner].x, s.Positions()[corner ^ 1].x);
    }
    // Side by side cells alternate grey and white.
    const int32_t cell = t / 2, r = cell / (n - 1), c = cell % (n - 1);
    EXPECT_EQ(first.red, (r ^ c) & 1 ? 1.0f : 0.3f) << r << "," << c;
  }

  // A quadratic condition and, on a renderer without clip planes, a linear one.
  for (const char* condition : {"x^2 + y^2 < 2", "x + 2*y < 0.5"}) {
    AGridSurface& kept = Make("u", "v", "u*v", 0.3, kPlotSampling, AGraphColor::kSolid, condition);
    EXPECT_FALSE(kept.HasClipPlane());
    const int32_t m = kept.GridSize();
    const auto holds = [&](double x, double y) { return condition[1] == '^' ? x * x + y * y < 2 : x + 2 * y < 0.5; };
    for (int32_t i = 0; i < m; ++i)
      for (int32_t j = 0; j < m; ++j) EXPECT_EQ(kept.Valid()[i * m + j] != 0, holds(U(i), V(j))) << condition;
  }
}

TEST(GridMesh, ThreeCornersMakeOneTriangleInTheirOrder) {
  // One cell: corners A (0), B (1), C (2), D (3).
  const Triangle expected[4] = {{{1, 2, 3}}, {{0, 2, 3}}, {{0, 3, 1}}, {{0, 2, 1}}};
  for (int missing = 0; missing < 4; ++missing) {
    uint8_t valid[4] = {1, 1, 1, 1};
    valid[missing] = 0;
    Triangle t[2];
    ASSERT_EQ(TriangulateGrid(valid, 2, CornerCopies::kOnePerPoint, t), 1);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(t[0].v[k], expected[missing].v[k]) << missing;
  }
  const uint8_t two[4] = {1, 0, 0, 1};
  Triangle t[2];
  EXPECT_EQ(TriangulateGrid(two, 2, CornerCopies::kOnePerPoint, t), 0);
}

}  // namespace
