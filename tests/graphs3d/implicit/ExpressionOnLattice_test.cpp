#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "CoreUtilities/OurTime.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"
#include "graphs3d/implicit/LatticeSlab.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

namespace {

constexpr double kLatticeCx = 0.0123, kLatticeCy = -0.0217, kLatticeCz = 0.0311;

class SphereFunction : public ALatticeFunction {
 public:
  double At(double x, double y, double z) override {
    return (x - kLatticeCx) * (x - kLatticeCx) + (y - kLatticeCy) * (y - kLatticeCy) +
           (z - kLatticeCz) * (z - kLatticeCz) - 1;
  }
};

struct LatticeMesh {
  SurfaceVertexList vertices;
  TriangleList triangles;
};

void WalkLattice(ALatticeFunction& f, int n, LatticeMesh& mesh) {
  ALattice lattice(f, -2, 2, -2, 2, -2, 2, n, n);
  ASSERT_TRUE(lattice.IsFullyConstructed());
  while (!lattice.IsDoneComputing()) ASSERT_EQ(lattice.LoopOverUnitCubes(mesh.vertices, &mesh.triangles, OurTime()), 0);
}

struct GridFormula {
  explicit GridFormula(const char* text, bool grid = true) : e(CompiledExpression(text)) {
    if (grid) data = AnExpression::CompileForGrid(e.get());
  }
  std::unique_ptr<AnExpression> e;
  std::unique_ptr<MGridData> data;
};

constexpr const char* kSphere = "(x - 0.0123)^2 + (y + 0.0217)^2 + (z - 0.0311)^2 - 1";

void ExpectSameMesh(LatticeMesh& a, LatticeMesh& b) {
  ASSERT_EQ(a.vertices.Count(), b.vertices.Count());
  ASSERT_EQ(a.triangles.Count(), b.triangles.Count());
  for (int32_t i = 0; i < a.vertices.Count(); ++i) {
    EXPECT_NEAR(a.vertices[i].x, b.vertices[i].x, 1e-6);
    EXPECT_NEAR(a.vertices[i].y, b.vertices[i].y, 1e-6);
    EXPECT_NEAR(a.vertices[i].z, b.vertices[i].z, 1e-6);
  }
  for (int32_t i = 0; i < a.triangles.Count(); ++i)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a.triangles[i].v[k], b.triangles[i].v[k]);
}

TEST(ExpressionOnLattice, ByLayerPointByPointAndCxxFunctionGiveOneMesh) {
  SphereFunction reference;
  LatticeMesh expected;
  WalkLattice(reference, 12, expected);
  for (bool grid : {true, false}) {
    GridFormula f(kSphere, grid);
    ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, nullptr, f.data.get(), f.data.get());
    LatticeMesh mesh;
    WalkLattice(onLattice, 12, mesh);
    ExpectSameMesh(mesh, expected);
  }
}

TEST(ExpressionOnLattice, AnalyticGradientGivesTheNormals) {
  GridFormula f(kSphere), dx("2*(x - 0.0123)"), dy("2*(y + 0.0217)"), dz("2*(z - 0.0311)");
  ExpressionOnLattice onLattice(f.e.get(), dx.e.get(), dy.e.get(), dz.e.get(), nullptr, f.data.get(), f.data.get());
  ASSERT_TRUE(onLattice.HasGradient());
  LatticeMesh mesh;
  WalkLattice(onLattice, 10, mesh);
  ASSERT_GT(mesh.vertices.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    const SurfaceVertex& v = mesh.vertices[i];
    const double gx = v.x - kLatticeCx, gy = v.y - kLatticeCy, gz = v.z - kLatticeCz,
                 length = std::sqrt(gx * gx + gy * gy + gz * gz);
    EXPECT_NEAR(v.nx * gx / length + v.ny * gy / length + v.nz * gz / length, 1, 1e-4) << i;
  }
}

TEST(ExpressionOnLattice, ConditionKeepsOnlyCrossingsWhereItHolds) {
  GridFormula f(kSphere), condition("z > 0");
  ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, condition.e.get(), f.data.get(), f.data.get());
  LatticeMesh mesh;
  WalkLattice(onLattice, 10, mesh);
  ASSERT_GT(mesh.vertices.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) EXPECT_GT(mesh.vertices[i].z, 0) << i;
}

// 1/(r^2 - 1) = 1 is the sphere r^2 = 2, of area 8 pi. Its pole r = 1 runs
// through lattice points at many grains, where F rounds to plus or minus
// 1e15 or so: such a point is on the pole, neither inside nor outside, and
// no crossing comes of it, however the box is cut into slabs.
TEST(ExpressionOnLattice, APoleThroughLatticePointsMakesNoSurfaceAtAnyGrain) {
  const double sphereArea = 8 * std::acos(-1.0);
  GridFormula f("1/(x^2 + y^2 + z^2 - 1) - 1");
  for (int n = 16; n <= 48; ++n) {
    for (int slabs : {1, 4}) {
      SCOPED_TRACE(testing::Message() << "N = " << n << ", " << slabs << " slabs");
      ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, nullptr, f.data.get(), f.data.get());
      LatticeMesh mesh;
      for (int slab = 0; slab < slabs; ++slab) {
        ALattice lattice(onLattice, -2, 2, -2, 2, -2, 2, n, n, SlabOfJob(slab, slabs, n));
        ASSERT_TRUE(lattice.IsFullyConstructed());
        while (!lattice.IsDoneComputing()) {
          ASSERT_EQ(lattice.LoopOverUnitCubes(mesh.vertices, &mesh.triangles, OurTime()), 0);
        }
      }
      int nearPole = 0;
      for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
        const SurfaceVertex& v = mesh.vertices[i];
        if (std::fabs(std::hypot(double(v.x), double(v.y), double(v.z)) - 1) < 0.05) ++nearPole;
      }
      EXPECT_EQ(nearPole, 0);
      double area = 0;
      for (int32_t i = 0; i < mesh.triangles.Count(); ++i) {
        const Triangle& t = mesh.triangles[i];
        const SurfaceVertex &a = mesh.vertices[t.v[0]], &b = mesh.vertices[t.v[1]], &c = mesh.vertices[t.v[2]];
        const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        area += std::hypot(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx) / 2;
      }
      EXPECT_NEAR(area / sphereArea, 1, 0.0025);
    }
  }
}

}  // namespace
