#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/OurTime.h"
#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/implicit/ALatticeFunction.h"

namespace {

using Field = std::function<double(double, double, double)>;
using GradientField = std::function<void(double, double, double, double*)>;

class LambdaFunction : public ALatticeFunction {
 public:
  explicit LambdaFunction(Field f, GradientField g = nullptr) : fF(std::move(f)), fG(std::move(g)) {}
  double At(double x, double y, double z) override {
    ++fEvaluations;
    return fF(x, y, z);
  }
  bool HasGradient() const override { return bool(fG); }
  void Gradient(double x, double y, double z, double* g) override { fG(x, y, z, g); }
  long fEvaluations = 0;

 private:
  Field fF;
  GradientField fG;
};

struct Mesh {
  SurfaceVertexList vertices;
  TriangleList triangles;
};

struct Box {
  double xmin, xmax, ymin, ymax, zlo, zhi;
};

void Walk(LambdaFunction& f, const Box& b, int n, Mesh& mesh, int nz = 0) {
  ALattice lattice(f, b.xmin, b.xmax, b.ymin, b.ymax, b.zlo, b.zhi, n, nz ? nz : n);
  ASSERT_TRUE(lattice.IsFullyConstructed());
  // Already past: the walk hands back control every 32 cubes.
  for (int calls = 0; !lattice.IsDoneComputing(); ++calls) {
    ASSERT_EQ(lattice.LoopOverUnitCubes(mesh.vertices, &mesh.triangles, OurTime() - 1), 0);
    ASSERT_LT(calls, n * n * (nz ? nz : n));
  }
}

struct Vec {
  double x, y, z;
};
Vec Pos(const SurfaceVertex& v) { return {v.x, v.y, v.z}; }
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }

double Area(Mesh& m) {
  double area = 0;
  for (int32_t i = 0; i < m.triangles.Count(); ++i) {
    const Triangle& t = m.triangles[i];
    const Vec p0 = Pos(m.vertices[t.v[0]]);
    area += Length(Cross(Sub(Pos(m.vertices[t.v[1]]), p0), Sub(Pos(m.vertices[t.v[2]]), p0))) / 2;
  }
  return area;
}

// The divergence theorem over the triangles, each a cone from the origin.
double Volume(Mesh& m) {
  double volume = 0;
  for (int32_t i = 0; i < m.triangles.Count(); ++i) {
    const Triangle& t = m.triangles[i];
    volume += Dot(Pos(m.vertices[t.v[0]]), Cross(Pos(m.vertices[t.v[1]]), Pos(m.vertices[t.v[2]]))) / 6;
  }
  return volume;
}

// Each directed edge once and its reverse once: closed and consistently
// turned, with the Euler characteristic of its topology.
void ExpectClosed(Mesh& m, long euler = 2) {
  std::map<std::pair<int32_t, int32_t>, int> directed;
  for (int32_t i = 0; i < m.triangles.Count(); ++i) {
    const Triangle& t = m.triangles[i];
    for (int k = 0; k < 3; ++k) ++directed[{t.v[k], t.v[(k + 1) % 3]}];
  }
  int faults = 0;
  for (const auto& [edge, count] : directed)
    if (count != 1 || directed.count({edge.second, edge.first}) != 1) ++faults;
  EXPECT_EQ(faults, 0);
  const long v = m.vertices.Count(), e = long(directed.size()) / 2, f = m.triangles.Count();
  EXPECT_EQ(v - e + f, euler);
}

// A triangle's turning agrees with the outward gradient at its centroid.
int CountInward(Mesh& m, const GradientField& gradient) {
  int inward = 0;
  for (int32_t i = 0; i < m.triangles.Count(); ++i) {
    const Triangle& t = m.triangles[i];
    const Vec a = Pos(m.vertices[t.v[0]]), b = Pos(m.vertices[t.v[1]]), c = Pos(m.vertices[t.v[2]]);
    double g[3];
    gradient((a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3, g);
    if (Dot(Cross(Sub(b, a), Sub(c, a)), {g[0], g[1], g[2]}) <= 0) ++inward;
  }
  return inward;
}

// Off-centre so that no lattice point lies on the sphere.
constexpr double kCx = 0.0123, kCy = -0.0217, kCz = 0.0311;
double Sphere(double x, double y, double z) {
  return (x - kCx) * (x - kCx) + (y - kCy) * (y - kCy) + (z - kCz) * (z - kCz) - 1;
}
void SphereGradient(double x, double y, double z, double* g) {
  g[0] = 2 * (x - kCx), g[1] = 2 * (y - kCy), g[2] = 2 * (z - kCz);
}

constexpr Box kCube2{-2, 2, -2, 2, -2, 2};

TEST(ALattice, SphereIsClosedOutwardAndMeasuresItsAreaAndVolume) {
  for (bool analytic : {true, false}) {
    LambdaFunction f(Sphere, analytic ? GradientField(SphereGradient) : nullptr);
    Mesh mesh;
    Walk(f, kCube2, 40, mesh);
    ExpectClosed(mesh);
    EXPECT_EQ(CountInward(mesh, SphereGradient), 0);
    EXPECT_NEAR(Area(mesh) / (4 * gPi), 1, 0.0025);
    EXPECT_NEAR(Volume(mesh) / (4 * gPi / 3), 1, 0.01);
  }
}

TEST(ALattice, TorusIsClosedWithAHoleAndMeasuresItsAreaAndVolume) {
  constexpr double R = 1, r = 0.4;
  auto torus = [](double x, double y, double z) {
    const double ring = std::hypot(x - kCx, y - kCy) - R;
    return ring * ring + (z - kCz) * (z - kCz) - r * r;
  };
  auto gradient = [](double x, double y, double z, double* g) {
    const double rho = std::hypot(x - kCx, y - kCy), scale = 2 * (rho - R) / rho;
    g[0] = scale * (x - kCx), g[1] = scale * (y - kCy), g[2] = 2 * (z - kCz);
  };
  LambdaFunction f(torus, gradient);
  Mesh mesh;
  Walk(f, kCube2, 40, mesh);
  ExpectClosed(mesh, 0);
  EXPECT_EQ(CountInward(mesh, gradient), 0);
  EXPECT_NEAR(Area(mesh) / (4 * gPi * gPi * R * r), 1, 0.0025);
  EXPECT_NEAR(Volume(mesh) / (2 * gPi * gPi * R * r * r), 1, 0.01);
}

TEST(ALattice, SlabsTogetherMakeTheWholeMesh) {
  // Crossings on the shared plane are made by both slabs; welded by
  // position, the pieces are the whole.
  LambdaFunction f(Sphere, SphereGradient);
  Mesh whole, low, high;
  Walk(f, kCube2, 16, whole);
  Walk(f, {-2, 2, -2, 2, -2, 0}, 16, low, 8);
  Walk(f, {-2, 2, -2, 2, 0, 2}, 16, high, 8);
  EXPECT_EQ(low.triangles.Count() + high.triangles.Count(), whole.triangles.Count());
  auto key = [](const SurfaceVertex& v) { return std::make_tuple(v.x, v.y, v.z); };
  std::map<std::tuple<float, float, float>, int> welded;
  for (Mesh* m : {&low, &high})
    for (int32_t i = 0; i < m->vertices.Count(); ++i) welded[key(m->vertices[i])] = 0;
  EXPECT_EQ(long(welded.size()), long(whole.vertices.Count()));
  for (int32_t i = 0; i < whole.vertices.Count(); ++i) EXPECT_EQ(welded.count(key(whole.vertices[i])), 1u) << i;
}

TEST(ALattice, SphereErrorsFallWithTheSpacing) {
  double previous = 0;
  for (int n : {20, 40, 80}) {
    LambdaFunction f(Sphere, SphereGradient);
    Mesh mesh;
    Walk(f, kCube2, n, mesh);
    const double error = std::fabs(Area(mesh) / (4 * gPi) - 1);
    if (previous > 0) {
      EXPECT_LT(error, previous / 2.5) << n;
    }
    previous = error;
  }
}

TEST(ALattice, SmallSphereIsClosedAndOutward) {
  LambdaFunction f(Sphere, SphereGradient);
  Mesh mesh;
  Walk(f, kCube2, 4, mesh);
  ExpectClosed(mesh);
  EXPECT_EQ(CountInward(mesh, SphereGradient), 0);
}

TEST(ALattice, TiltedPlaneHasItsExactArea) {
  // z = 0.3137 + 0.2 x crosses the box's four sides, never its top or
  // bottom. Crossings are found to a hundredth of an edge, which bounds the
  // area's error.
  LambdaFunction f([](double x, double, double z) { return z - 0.3137 - 0.2 * x; });
  Mesh mesh;
  Walk(f, {-1, 1, -1, 1, -1, 1}, 10, mesh);
  EXPECT_NEAR(Area(mesh) / (4 * std::sqrt(1.04)), 1, 1e-3);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    const SurfaceVertex& v = mesh.vertices[i];
    EXPECT_NEAR(v.z, 0.3137 + 0.2 * v.x, 0.01 * 0.2 * std::sqrt(3.0)) << i;
  }
}

TEST(ALattice, FiniteDifferenceNormalsFollowTheGradientInATallBox) {
  LambdaFunction f(Sphere);
  Mesh mesh;
  Walk(f, {-2, 2, -2, 2, -4, 4}, 40, mesh);
  double worst = 0;
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    const SurfaceVertex& v = mesh.vertices[i];
    double g[3];
    SphereGradient(v.x, v.y, v.z, g);
    const double cosine = Dot({v.nx, v.ny, v.nz}, {g[0], g[1], g[2]}) / Length({g[0], g[1], g[2]});
    worst = std::max(worst, std::acos(std::min(1.0, cosine)) * 180 / gPi);
  }
  EXPECT_LT(worst, 2);
}

TEST(ALattice, ZeroCornerCountsWithThePositiveValues) {
  // The plane x = 0 passes through corner lattice points: only edges from
  // 0 to a negative value cross, so vertices sit at x = 0, but for the few
  // float steps that keep them apart, and the positive side has none.
  LambdaFunction f([](double x, double, double) { return x; });
  Mesh mesh;
  Walk(f, {-1, 1, -1, 1, -1, 1}, 2, mesh);
  ASSERT_GT(mesh.vertices.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    EXPECT_LT(mesh.vertices[i].x, 0) << i;
    EXPECT_GT(mesh.vertices[i].x, -1e-6) << i;
  }
}

TEST(ALattice, ConeApexGetsFiniteNormals) {
  // The gradient vanishes at the apex, a lattice corner.
  LambdaFunction f([](double x, double y, double z) { return x * x + y * y - z * z; },
                   [](double x, double y, double z, double* g) { g[0] = 2 * x, g[1] = 2 * y, g[2] = -2 * z; });
  Mesh mesh;
  Walk(f, kCube2, 4, mesh);
  ASSERT_GT(mesh.triangles.Count(), 0);
  for (int32_t i = 0; i < mesh.vertices.Count(); ++i) {
    const SurfaceVertex& v = mesh.vertices[i];
    EXPECT_TRUE(std::isfinite(v.nx) && std::isfinite(v.ny) && std::isfinite(v.nz)) << i;
  }
}

TEST(ALattice, ResumesWhereTheDeadlineStoppedIt) {
  LambdaFunction once(Sphere, SphereGradient), sliced(Sphere, SphereGradient);
  Mesh whole, pieces;
  ALattice lattice(once, -2, 2, -2, 2, -2, 2, 12, 12);
  ASSERT_EQ(lattice.LoopOverUnitCubes(whole.vertices, &whole.triangles, OurTime() + OurDuration(100000)), 0);
  ASSERT_TRUE(lattice.IsDoneComputing());
  Walk(sliced, kCube2, 12, pieces);
  ASSERT_EQ(whole.triangles.Count(), pieces.triangles.Count());
  ASSERT_EQ(whole.vertices.Count(), pieces.vertices.Count());
  for (int32_t i = 0; i < whole.triangles.Count(); ++i)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(whole.triangles[i].v[k], pieces.triangles[i].v[k]);
}

}  // namespace
