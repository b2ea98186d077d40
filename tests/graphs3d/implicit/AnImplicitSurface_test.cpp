#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "graphs3d/views/A3DGraphView.h"
#include "graphs3d/implicit/AnImplicitSurface.h"
#include "tests/graphpane/GraphColorTestSupport.h"
#include "tests/graphs3d/WeldedMesh.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"

namespace {

// Off-centre so that no lattice point lies on a surface.
constexpr double kSurfaceCx = 0.0123, kSurfaceCy = -0.0217, kSurfaceCz = 0.0311;

std::string Shifted(double a, double b, double c) {
  std::ostringstream f;
  f << "((x - 0.0123)/" << a << ")^2 + ((y + 0.0217)/" << b << ")^2 + ((z - 0.0311)/" << c << ")^2 - 1";
  return f.str();
}

class ImplicitSurfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
    ResetDeferredErrors();
    view.SetViewRect(MRect{0, 0, 400, 400});
    view.ConstructContextNeededByGraphConstructors();
    SetBox(-2, 2, -2, 2, -2, 2);
  }
  void TearDown() override {
    surface.reset();
    StopComputeThreads();
  }
  void SetBox(double x0, double x1, double y0, double y1, double z0, double z1) {
    auto& r = view.Record().ranges;
    r[kCoordX][0] = x0, r[kCoordX][1] = x1, r[kCoordY][0] = y0, r[kCoordY][1] = y1;
    r[kCoordZ][0] = z0, r[kCoordZ][1] = z1;
  }
  AnImplicitSurface& Make(const std::string& f, double grain, int32_t jobs = 0,
                          std::unique_ptr<AGraphColor> colour = std::make_unique<AGraphColor>()) {
    surface.reset();
    const auto& r = view.Record().ranges;
    surface = std::make_unique<AnImplicitSurface>(
        MakeExpression(f), grain, 1.0, std::move(colour), nullptr, kPlotSampling, r[kCoordX][0], r[kCoordX][1],
        r[kCoordY][0], r[kCoordY][1], r[kCoordZ][0], r[kCoordZ][1], view.DrawContext(), jobs);
    Finish();
    return *surface;
  }
  // Waits for the jobs and caches the model, as the pane does.
  void Finish() {
    WaitUntilDone(*surface);
    surface->SetParameter(kAttributeUpdateSavedVertexObjects, 0);
  }

  A3DGraphView view;
  std::unique_ptr<AnImplicitSurface> surface;
};

struct Ellipsoid {
  double a, b, c, area, volume;
};

std::vector<Ellipsoid> ReadEllipsoids() {
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/ellipsoid_reference.txt");
  std::vector<Ellipsoid> all;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Ellipsoid e{};
    fields >> e.a >> e.b >> e.c >> e.area >> e.volume;
    all.push_back(e);
  }
  return all;
}

TEST_F(ImplicitSurfaceTest, EllipsoidsAreClosedOutwardAndMeasureTheirExactAreaAndVolume) {
  const auto ellipsoids = ReadEllipsoids();
  ASSERT_EQ(ellipsoids.size(), 3u);
  for (const Ellipsoid& e : ellipsoids) {
    AnImplicitSurface& s = Make(Shifted(e.a, e.b, e.c), 1.0);
    ASSERT_EQ(s.LatticeCells(), 40);
    EXPECT_EQ(s.GraphVisibility(), 0);
    const WeldedMesh mesh = Weld(s);
    ExpectClosed(mesh, 2);
    EXPECT_EQ(CountInward(mesh,
                          [&](const WeldedMesh::Point& p) {
                            return WeldedMesh::Point{(p[0] - kSurfaceCx) / (e.a * e.a),
                                                     (p[1] - kSurfaceCy) / (e.b * e.b),
                                                     (p[2] - kSurfaceCz) / (e.c * e.c)};
                          }),
              0);
    EXPECT_NEAR(Area(mesh) / e.area, 1, 0.0025) << e.a << " " << e.b << " " << e.c;
    EXPECT_NEAR(Volume(mesh) / e.volume, 1, 0.01) << e.a << " " << e.b << " " << e.c;
    EXPECT_EQ(s.CachedModel().TriangleCount(), s.TriangleCount());
  }
}

TEST_F(ImplicitSurfaceTest, AnyNumberOfJobsMakesTheSameMesh) {
  const std::string torus = "(sqrt((x - 0.0123)^2 + (y + 0.0217)^2) - 1)^2 + (z - 0.0311)^2 - 0.16";
  Make(torus, 0.5, 1);
  const int32_t triangles = surface->TriangleCount();
  const WeldedMesh one = Weld(*surface);
  ExpectClosed(one, 0);
  auto sorted = [](std::vector<WeldedMesh::Point> points) {
    std::sort(points.begin(), points.end());
    return points;
  };
  // Every slab places its points where the whole lattice does: the same
  // vertices to the bit, on any number of processors.
  const auto onePoints = sorted(one.points);
  for (int32_t jobs : {2, 3, 4, 8, 16}) {
    AnImplicitSurface& s = Make(torus, 0.5, jobs);
    ASSERT_EQ(s.JobCount(), jobs);
    EXPECT_EQ(s.TriangleCount(), triangles) << jobs;
    const WeldedMesh mesh = Weld(s);
    EXPECT_EQ(sorted(mesh.points), onePoints) << jobs;
    EXPECT_EQ(mesh.triangles.size(), one.triangles.size()) << jobs;
    ExpectClosed(mesh, 0);
  }
}

TEST_F(ImplicitSurfaceTest, JobsBeyondTheCoarseLatticeHaveNothingAndFinish) {
  const std::string sphere = Shifted(1, 1, 1);
  Make(sphere, 0, 1);
  const int32_t triangles = surface->TriangleCount();
  ASSERT_GT(triangles, 0);
  AnImplicitSurface& s = Make(sphere, 0, 8);
  ASSERT_EQ(s.LatticeCells(), 4);
  EXPECT_EQ(s.TriangleCount(), triangles);
  OurLock lock(s.ModelMutex());
  for (size_t j = 4; j < 8; ++j) EXPECT_EQ(s.SavedModel()[j].vertices->Count(), 0) << j;
  // The sphere reaches the three upper slabs of the four.
  for (size_t j = 1; j < 4; ++j) EXPECT_GT(s.SavedModel()[j].vertices->Count(), 0) << j;
}

TEST_F(ImplicitSurfaceTest, EquationsWithoutASurfaceSayWhy) {
  EXPECT_EQ(Make("x^2 + y^2 + z^2 + 1", 0).GraphVisibility(), 6);
  EXPECT_EQ(Make("(x - 10)^2 + y^2 + z^2 - 1", 0).GraphVisibility(), 12);
  // Zero only at the origin, a lattice corner: zero counts with the
  // positive values, so no edge changes sign.
  EXPECT_EQ(Make("x^2 + y^2 + z^2", 0).GraphVisibility(), 13);
  EXPECT_EQ(Make(Shifted(1, 1, 1), 0).GraphVisibility(), 0);
}

TEST_F(ImplicitSurfaceTest, GrainFromAFileIsClampedBeforeSizingTheLattice) {
  EXPECT_EQ(Make(Shifted(1, 1, 1), 7).LatticeCells(), 40);
  EXPECT_EQ(Make(Shifted(1, 1, 1), -3).LatticeCells(), 4);
  EXPECT_EQ(Make(Shifted(1, 1, 1), NAN).LatticeCells(), 22);
  surface->SetParameter(kAttributeGrain, 0.25);
  Finish();
  EXPECT_EQ(surface->LatticeCells(), 13);
  ExpectClosed(Weld(*surface), 2);
}

TEST_F(ImplicitSurfaceTest, AColourConstantRecoloursWithoutPolygonisingAgain) {
  auto colour = EquationColour(AGraphColor::kRGBEquations, "(x + 2)/4", "0.5", "n");
  AnImplicitSurface& s = Make(Shifted(1, 1, 1), 0.3, 4, std::move(colour));
  const int64_t slabs = s.SlabsPolygonised();
  const int32_t vertices = s.VertexCount();
  ASSERT_NE(s.CombinedColours(), nullptr);
  s.InvalConstant('n');
  Finish();
  EXPECT_EQ(s.SlabsPolygonised(), slabs);
  EXPECT_EQ(s.VertexCount(), vertices);
  OurLock lock(s.ModelMutex());
  ASSERT_NE(s.CombinedColours(), nullptr);
  int32_t k = 0;
  for (const auto& piece : s.SavedModel())
    for (int32_t i = 0; i < piece.vertices->Count(); ++i, ++k)
      EXPECT_NEAR(s.CombinedColours()[k].red, ((*piece.vertices)[i].x + 2) / 4, 1e-6) << k;
  EXPECT_EQ(k, vertices);
}

TEST_F(ImplicitSurfaceTest, ABoxChangePolygonisesAgain) {
  AnImplicitSurface& s = Make(Shifted(1, 1, 1), 0.3, 4);
  const int64_t slabs = s.SlabsPolygonised();
  SetBox(-2, 2, -2, 2, 0.0311, 2);
  s.ViewChanged();
  Finish();
  EXPECT_GT(s.SlabsPolygonised(), slabs);
  const WeldedMesh half = Weld(s);
  for (const auto& p : half.points) EXPECT_GE(p[2], 0.0311 - 1e-6);
  EXPECT_NEAR(Area(half) / (2 * gPi), 1, 0.02);
}

// 1/(r^2 - 1) = 1 holds on the sphere r = sqrt(2) only: at r = 1 F jumps
// from minus to plus infinity, a sign change that is no crossing.
TEST_F(ImplicitSurfaceTest, APoleMakesNoSurface) {
  constexpr double kSphereArea = 8 * 3.14159265358979323846;  // 4 pi r^2, r^2 = 2
  // Centred, the pole and the sphere pass through lattice points (where
  // zeros leave the mesh open even without a pole); shifted, between them.
  const struct {
    const char* f;
    double cx, cy, cz;
  } cases[] = {{"1/(x^2 + y^2 + z^2 - 1) - 1", 0, 0, 0},
               {"1/((x - 0.0123)^2 + (y + 0.0217)^2 + (z - 0.0311)^2 - 1) - 1", kSurfaceCx, kSurfaceCy, kSurfaceCz}};
  // Slabs must place the points all but on the pole where one slab does,
  // or they take the wrong sign.
  for (const auto& c : cases) {
    for (const int32_t jobs : {4, 8, 16}) {
      SCOPED_TRACE(testing::Message() << c.f << ", " << jobs << " slabs");
      const WeldedMesh mesh = Weld(Make(c.f, 1.0, jobs));
      ASSERT_EQ(surface->LatticeCells(), 40);
      int nearPole = 0;
      for (const auto& p : mesh.points)
        if (std::fabs(std::hypot(p[0] - c.cx, p[1] - c.cy, p[2] - c.cz) - 1) < 0.05) ++nearPole;
      EXPECT_EQ(nearPole, 0);
      EXPECT_NEAR(Area(mesh) / kSphereArea, 1, 0.0025);
      if (c.cx != 0) ExpectClosed(mesh, 2);
    }
  }
}

// Jobs whose lists cannot grow keep them empty and still finish: the
// surface reports done, with no triangles, instead of hanging.
TEST_F(ImplicitSurfaceTest, JobsOutOfMemoryStillFinish) {
  // The formula's nodes come from blocks this thread already holds: the
  // budget below is for the jobs to run out of, not the parser.
  Make(Shifted(1, 1, 1), 0.5, 4);
  surface.reset();
  const double physical = gPhysicalMemory.load();
  const int64_t used = gApproximateTotalMemoryUsed.load();
  // Room for no chunk of 8192 vertices.
  gPhysicalMemory.store(double(used + 50000) * 4 / 3);
  Make(Shifted(1, 1, 1), 0.5, 4);
  gPhysicalMemory.store(physical);
  EXPECT_TRUE(surface->IsDoneComputing());
  EXPECT_EQ(surface->TriangleCount(), 0);
  EXPECT_EQ(TakeDeferredError(), kOutOfMemoryError);
  surface->ViewChanged();
  Finish();
  ExpectClosed(Weld(*surface), 2);
}

}  // namespace
