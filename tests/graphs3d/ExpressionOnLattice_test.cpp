#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "CoreUtilities/OurTime.h"
#include "graphs3d/ALattice.h"
#include "graphs3d/ExpressionOnLattice.h"
#include "tests/evaluation/AnExpressionTestSupport.h"

namespace {

constexpr double kCx = 0.0123, kCy = -0.0217, kCz = 0.0311;

class Sphere : public ALatticeFunction {
 public:
  double At(double x, double y, double z) override {
    return (x - kCx) * (x - kCx) + (y - kCy) * (y - kCy) + (z - kCz) * (z - kCz) - 1;
  }
};

struct Mesh {
  SurfaceVertexList vertices;
  TriangleList triangles;
};

void Walk(ALatticeFunction& f, int n, Mesh& mesh) {
  ALattice lattice(f, -2, 2, -2, 2, -2, 2, n, n);
  ASSERT_TRUE(lattice.IsFullyConstructed());
  while (!lattice.IsDoneComputing()) ASSERT_EQ(lattice.LoopOverUnitCubes(mesh.vertices, &mesh.triangles, OurTime()), 0);
}

struct Compiled {
  explicit Compiled(const char* text, bool grid = true) : e(CompiledExpression(text)) {
    if (grid) data = AnExpression::CompileForGrid(e.get());
  }
  std::unique_ptr<AnExpression> e;
  std::unique_ptr<MGridData> data;
};

constexpr const char* kSphere = "(x - 0.0123)^2 + (y + 0.0217)^2 + (z - 0.0311)^2 - 1";

void ExpectSameMesh(Mesh& a, Mesh& b) {
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
  Sphere reference;
  Mesh expected;
  Walk(reference, 12, expected);
  for (bool grid : {true, false}) {
    Compiled f(kSphere, grid);
    ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, nullptr, f.data.get(), f.data.get());
    Mesh mesh;
    Walk(onLattice, 12, mesh);
    ExpectSameMesh(mesh, expected);
  }
}

TEST(ExpressionOnLattice, AnalyticGradientGivesTheNormals) {
  Compiled f(kSphere), dx("2*(x - 0.0123)"), dy("2*(y + 0.0217)"), dz("2*(z - 0.0311)");
  ExpressionOnLattice onLattice(f.e.get(), dx.e.get(), dy.e.get(), dz.e.get(), nullptr, f.data.get(), f.data.get());
  ASSERT_TRUE(onLattice.HasGradient());
  Mesh mesh;
  Walk(onLattice, 10, mesh);
  ASSERT_GT(mesh.vertices.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    const SurfaceVertex& v = mesh.vertices[i];
    const double gx = v.x - kCx, gy = v.y - kCy, gz = v.z - kCz, length = std::sqrt(gx * gx + gy * gy + gz * gz);
    EXPECT_NEAR(v.nx * gx / length + v.ny * gy / length + v.nz * gz / length, 1, 1e-4) << i;
  }
}

TEST(ExpressionOnLattice, ConditionKeepsOnlyCrossingsWhereItHolds) {
  Compiled f(kSphere), condition("z > 0");
  ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, condition.e.get(), f.data.get(), f.data.get());
  Mesh mesh;
  Walk(onLattice, 10, mesh);
  ASSERT_GT(mesh.vertices.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) EXPECT_GT(mesh.vertices[i].z, 0) << i;
}

}  // namespace
