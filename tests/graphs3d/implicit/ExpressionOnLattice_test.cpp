#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CoreUtilities/OurTime.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"
#include "graphs3d/implicit/LatticeSlab.h"
#include "tests/evaluation/AnExpressionTestSupport.h"
#include "tests/graphs3d/WeldedMesh.h"

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

// [-2, 2]^3 in n cells each way, cut into slabs as the graph's jobs cut it.
void WalkLattice(ALatticeFunction& f, int n, LatticeMesh& mesh, int32_t slabs = 1) {
  for (int32_t slab = 0; slab < slabs; ++slab) {
    ALattice lattice(f, -2, 2, -2, 2, -2, 2, n, n, SlabOfJob(slab, slabs, n));
    ASSERT_TRUE(lattice.IsFullyConstructed());
    while (!lattice.IsDoneComputing()) {
      ASSERT_EQ(lattice.LoopOverUnitCubes(mesh.vertices, &mesh.triangles, OurTime()), 0);
    }
  }
}

// Vertices that are the same floats made one, as where two slabs meet.
WeldedMesh Welded(const LatticeMesh& mesh) { return Weld({{&mesh.vertices, &mesh.triangles}}, 0); }

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
      WalkLattice(onLattice, n, mesh, slabs);
      int nearPole = 0;
      for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
        const SurfaceVertex& v = mesh.vertices[i];
        if (std::fabs(std::hypot(double(v.x), double(v.y), double(v.z)) - 1) < 0.05) ++nearPole;
      }
      EXPECT_EQ(nearPole, 0);
      EXPECT_NEAR(Area(Welded(mesh)) / sphereArea, 1, 0.0025);
    }
  }
}

template <typename... Parts>
std::string Text(const Parts&... parts) {
  std::ostringstream text;
  text << std::setprecision(17);
  (text << ... << parts);
  return text.str();
}

TEST(ExpressionOnLattice, SurfacesThroughLatticePointsAreClosedAcrossSlabsAtEverySize) {
  // Centred at the origin the shapes pass through lattice points at many
  // sizes, F there 0 or rounding's distance from it; centred at a lattice
  // point, with radii of whole cells and the plane through that point, at
  // every size. The plane x + y + z = c, |c| < 2, cuts the box in a hexagon
  // whose shadow on z = 0 is 12 - c^2. Sixteen slabs, as eight processors
  // cut the box. Welded, the mesh has every edge inside the box in exactly
  // two triangles, none with two corners alike, and the Euler
  // characteristic of the shape's topology.
  const double pi = std::acos(-1.0);
  const auto onBoxFace = [](const WeldedMesh::Point& p, const WeldedMesh::Point& q) {
    return (std::fabs(p[0]) == 2 && p[0] == q[0]) || (std::fabs(p[1]) == 2 && p[1] == q[1]) ||
           (std::fabs(p[2]) == 2 && p[2] == q[2]);
  };
  for (bool placed : {false, true}) {
    for (int n = 16; n <= 48; n += placed ? 8 : 1) {
      auto snap = [&](double p) { return placed ? -2 + std::round((p + 2) * n / 4) * 4 / n : p; };
      const double cx = snap(placed ? 0.3 : 0), cy = snap(placed ? -0.2 : 0), cz = snap(placed ? 0.1 : 0);
      const double R = snap(1) - snap(0), r = snap(0.4) - snap(0), c = placed ? cx + cy + cz : 1;
      const std::string around = Text("(x - (", cx, "))^2 + (y - (", cy, "))^2");
      const struct {
        std::string f;
        double area;
        long euler;
      } shapes[] = {
          {Text(around, " + (z - (", cz, "))^2 - ", R * R), 4 * pi * R * R, 2},
          {Text("(sqrt(", around, ") - ", R, ")^2 + (z - (", cz, "))^2 - ", r * r), 4 * pi * pi * R * r, 0},
          {Text("x + y + z - (", c, ")"), (12 - c * c) * std::sqrt(3.0), 1},
      };
      for (const auto& shape : shapes) {
        SCOPED_TRACE(testing::Message() << shape.f << ", N = " << n);
        GridFormula f(shape.f.c_str());
        ExpressionOnLattice onLattice(f.e.get(), nullptr, nullptr, nullptr, nullptr, f.data.get(), f.data.get());
        LatticeMesh mesh;
        WalkLattice(onLattice, n, mesh, 16);
        const WeldedMesh welded = Welded(mesh);
        EXPECT_EQ(long(welded.triangles.size()), long(mesh.triangles.Count()));
        ExpectClosed(welded, shape.euler, false, onBoxFace);
        EXPECT_NEAR(Area(welded) / shape.area, 1, 0.0025 * (40.0 / n) * (40.0 / n));
      }
    }
  }
}

}  // namespace
