#include <gtest/gtest.h>

#include <Eigen/Geometry>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "graphs3d/curves/ACurve3D.h"
#include "graphs3d/curves/CurveGrain.h"
#include "graphs3d/curves/TubeFrames.h"
#include "graphs3d/drawing/UnitSphere.h"
#include "renderer/M3DView.h"
#include "tests/graphs3d/VertexTestSupport.h"

namespace {

using ::Of;
Vec3 Of(AVector v) { return {v.x, v.y, v.z}; }
bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(UnitSphere, IsAClosedOutwardMeshOfUnitVectors) {
  const UnitSphereMesh& sphere = UnitSphere();
  for (const AVector& v : sphere.vertices) EXPECT_NEAR(Of(v).norm(), 1, 1e-15);
  std::map<std::pair<int, int>, int> edges;
  double volume = 0;
  for (const Triangle& t : sphere.triangles) {
    for (int k = 0; k < 3; ++k) {
      ASSERT_GE(t.v[k], 0);
      ASSERT_LT(t.v[k], kUnitSphereVertices);
      ++edges[{t.v[k], t.v[(k + 1) % 3]}];
    }
    volume += Of(sphere.vertices[t.v[0]]).dot(Of(sphere.vertices[t.v[1]]).cross(Of(sphere.vertices[t.v[2]]))) / 6;
  }
  // Every directed edge once, and its reverse once: closed and of one side.
  EXPECT_EQ(edges.size(), size_t(3 * kUnitSphereTriangles));
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1);
    EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
  }
  std::ifstream in(ZL_TEST_DATA_DIR "/unit_sphere_volume.txt");
  int vertices = 0, triangles = 0;
  double reference = 0;
  ASSERT_TRUE(in >> vertices >> triangles >> reference);
  EXPECT_EQ(vertices, kUnitSphereVertices);
  EXPECT_EQ(triangles, kUnitSphereTriangles);
  EXPECT_NEAR(volume, reference, 1e-12);
}

TEST(CurveGrain, FileValuesAreHeldToTheirRange) {
  EXPECT_EQ(TubeSideCount(0), 8);
  EXPECT_EQ(TubeSideCount(1), 12);
  EXPECT_EQ(TubeSideCount(-4), 8);
  EXPECT_EQ(TubeSideCount(1e300), 12);
  EXPECT_EQ(TubeSideCount(NAN), 10);
  EXPECT_EQ(CurveSampleCount(0.5), 600);
  EXPECT_EQ(CurveSampleCount(NAN), 600);
  EXPECT_EQ(CurveSampleCount(-INFINITY), 200);
  EXPECT_EQ(CurveSampleCount(INFINITY), 1000);
}

// A random smooth closed-ish curve: a few random harmonics per axis, scaled
// per axis so that the box is far from a cube.
std::vector<Vertex> RandomCurve(std::mt19937& random, int32_t count, Vec3 scale) {
  std::uniform_real_distribution<double> coefficient(-1, 1);
  double c[3][3][2];
  for (auto& axis : c)
    for (auto& harmonic : axis)
      for (double& v : harmonic) v = coefficient(random);
  std::vector<Vertex> points(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const double t = 2 * gPi * i / (count - 1);
    double p[3] = {};
    for (int a = 0; a < 3; ++a)
      for (int h = 0; h < 3; ++h) p[a] += c[a][h][0] * std::cos((h + 1) * t) + c[a][h][1] * std::sin((h + 1) * t);
    points[size_t(i)] = {float(scale[0] * p[0]), float(scale[1] * p[1]), float(scale[2] * p[2])};
  }
  return points;
}

// The turn about the normal of the plane of a and b that takes a to b, as
// an angle and axis (the quaternion from two vectors instantiates an SVD, for
// opposite vectors, that costs more to compile than the rest of the file).
Eigen::AngleAxisd LeastTurn(const Vec3& a, const Vec3& b) {
  const Vec3 normal = a.cross(b);
  const double sine = normal.norm();
  if (sine == 0) return Eigen::AngleAxisd::Identity();
  return {std::atan2(sine, a.dot(b)), normal / sine};
}

// The side vector is carried from ring to ring by the least turn between
// the tangents.
TEST(TubeFrames, SideVectorIsTransportedInParallel) {
  std::mt19937 random(52);
  for (int trial = 0; trial < 20; ++trial) {
    const std::vector<Vertex> points = RandomCurve(random, 300, {1, 7, 0.2});
    std::vector<TubeFrame> frames(points.size());
    ComputeTubeFrames(points.data(), int32_t(points.size()), false, {0.5, 3, 0.1}, frames.data());
    for (size_t i = 0; i < points.size(); ++i) {
      ASSERT_TRUE(frames[i].valid) << i;
      // Rounding of the turns adds up along the curve.
      EXPECT_NEAR(Of(frames[i].side).norm(), 1, 1e-10);
      EXPECT_NEAR(Of(frames[i].side).dot(Of(frames[i].tangent)), 0, 1e-10);
      if (i + 1 == points.size()) break;
      const Vec3 moved = LeastTurn(Of(frames[i].tangent), Of(frames[i + 1].tangent)) * Of(frames[i].side);
      EXPECT_LT((moved - Of(frames[i + 1].side)).norm(), 1e-12) << "trial " << trial << " ring " << i;
    }
  }
}

// Tubes over a view box of unequal sides.
class TubeTest : public testing::Test {
 protected:
  TubeTest() {
    camera.xmin = -1, camera.xmax = 3;
    camera.ymin = -10, camera.ymax = 30;
    camera.zmin = -0.5, camera.zmax = 0.3;
    context.view = &camera;
    colour.fSolidColor = 0x336699;
  }
  Vec3 Quarter() const {
    return {(camera.xmax - camera.xmin) / 4, (camera.ymax - camera.ymin) / 4, (camera.zmax - camera.zmin) / 4};
  }
  std::unique_ptr<ACurve3D> Tube(const std::vector<Vertex>& points, const std::vector<double>& radii, double grain,
                                 bool straight = false) {
    auto tube = std::make_unique<ACurve3D>(int32_t(points.size()), points.data(), radii.data(), nullptr, &colour, grain,
                                           1.0, straight, &context);
    tube->ComputeCurve(ModelSpaceOf(&context));
    return tube;
  }
  // No triangle reaches a gap; every stored normal is finite.
  static void ExpectNoGapsDrawn(const ACurve3D& tube, size_t count) {
    for (int32_t k = 0; k < tube.TriangleCount(); ++k)
      for (int32_t v : tube.Triangles()[k].v) EXPECT_TRUE(Finite(tube.RingVertices()[v])) << "triangle " << k;
    for (size_t k = 0; k < count * size_t(tube.Sides()); ++k) EXPECT_TRUE(Finite(tube.RingNormals()[k])) << k;
  }

  M3DView camera;
  MDrawContext context{};
  AGraphColor colour;
};

TEST_F(TubeTest, RingsAreCirclesInModelUnitsAcrossTheTangent) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> radius(0.05, 0.3);
  const Vec3 q = Quarter();
  for (double grain : {0.0, 1.0}) {
    const std::vector<Vertex> points = RandomCurve(random, 200, {1, 10, 0.2});
    std::vector<double> radii(points.size());
    for (double& r : radii) r = radius(random);
    const auto tube = Tube(points, radii, grain);
    const int32_t sides = tube->Sides();
    EXPECT_EQ(sides, grain == 0 ? 8 : 12);
    EXPECT_TRUE(tube->IsDoneComputing());
    for (size_t i = 0; i < points.size(); ++i) {
      const Vec3 p = Of(points[i]);
      const Vec3 t = (Of(points[i + 1 < points.size() ? i + 1 : i]) - Of(points[i + 1 < points.size() ? i : i - 1]));
      for (int32_t s = 0; s < sides; ++s) {
        const Vec3 d = (Of(tube->RingVertices()[i * size_t(sides) + size_t(s)]) - p).cwiseQuotient(q);
        EXPECT_NEAR(d.norm(), radii[i], 2e-5 * (1 + radii[i]) / q.minCoeff()) << i << " " << s;
        EXPECT_NEAR(d.dot(t.normalized()), 0, 2e-4) << i << " " << s;
      }
    }
    EXPECT_EQ(tube->TriangleCount(), 2 * sides * int32_t(points.size() - 1));
    ExpectNoGapsDrawn(*tube, points.size());
    EXPECT_GT(tube->MaximumModelSpaceRadius(), 0);
  }
}

TEST_F(TubeTest, RepeatedPointsAndGapsBreakTheTube) {
  std::vector<Vertex> points;
  for (int i = 0; i < 12; ++i) points.push_back({float(0.1 * i), float(std::sin(0.3 * i)), 0.01f * float(i)});
  points[4] = points[3];        // equal consecutive points
  points[8] = {NAN, NAN, NAN};  // a gap
  const std::vector<double> radii(points.size(), 0.1);
  const auto tube = Tube(points, radii, 0);
  const int32_t sides = tube->Sides();
  auto ring = [&](int32_t i, int32_t s) { return tube->RingVertices()[i * sides + s]; };
  for (int32_t s = 0; s < sides; ++s) {
    EXPECT_FALSE(Finite(ring(3, s)));
    EXPECT_FALSE(Finite(ring(8, s)));
    for (int32_t i : {2, 4, 7, 9}) EXPECT_TRUE(Finite(ring(i, s))) << i;
  }
  // The frame restarts after the repeated point as at the first point.
  std::vector<TubeFrame> frames(points.size());
  ComputeTubeFrames(points.data(), int32_t(points.size()), false, {1, 1, 1}, frames.data());
  std::vector<TubeFrame> fresh(points.size() - 4);
  ComputeTubeFrames(points.data() + 4, int32_t(fresh.size()), false, {1, 1, 1}, fresh.data());
  EXPECT_LT((Of(frames[4].side) - Of(fresh[0].side)).norm(), 1e-15);
  // Quads 2-3, 3-4, 7-8 and 8-9 are left out.
  EXPECT_EQ(tube->TriangleCount(), 2 * sides * (11 - 4));
  ExpectNoGapsDrawn(*tube, points.size());
  // Rings beside a break still get their normals.
  for (int32_t i : {2, 4, 7, 9}) EXPECT_NEAR(Of(tube->RingNormals()[i * sides]).norm(), 1, 1e-6) << i;
}

// The normal rule restated on the tube's own vertices: across the chords
// from the vertex before to the one after along the curve (a ring without
// a neighbour on one side standing in for it) and around the ring, that
// one if of no length replaced by the sum of those of the rings beside it.
// Rings that start with a gap, rings with no neighbour and normals that
// are not finite stay zero. Also the sine of the angle between the chords,
// and how many roundings of its length the chord around may carry: one
// for a difference, more for a sum of two that cancel in part.
struct ExpectedNormal {
  Vec3 normal = Vec3::Zero();
  double sine = 1;
  double roundings = 2;
};

ExpectedNormal ReferenceNormal(const ACurve3D& tube, int32_t count, int32_t i, int32_t s) {
  const int32_t sides = tube.Sides();
  auto at = [&](int32_t ring, int32_t side) { return Of(tube.RingVertices()[ring * sides + (side + sides) % sides]); };
  auto starts = [&](int32_t ring) { return ring >= 0 && ring < count && at(ring, 0).allFinite(); };
  if (!starts(i) || (!starts(i + 1) && !starts(i - 1))) return {};
  const int32_t before = starts(i - 1) ? i - 1 : i, after = starts(i + 1) ? i + 1 : i;
  Vec3 around = at(i, s + 1) - at(i, s - 1);
  double roundings = 1;
  if (around.isZero(0)) {
    const Vec3 a = at(after, s + 1) - at(after, s - 1), b = at(before, s + 1) - at(before, s - 1);
    around = a + b, roundings = 1 + (a.norm() + b.norm()) / around.norm();
  }
  const Vec3 along = at(after, s) - at(before, s), n = along.cross(around);
  const double length = n.norm();
  if (!(length > 0) || !((n / length).allFinite())) return {};
  return {n / length, length / (along.norm() * around.norm()), 1 + roundings};
}

// Normals are worked out in floats: each chord rounds once (a sum of two
// once more, and by as much again as its parts cancel), each of the cross
// product's terms once, so the unit normal may move by about
// (chord roundings + 5) u / sine of the chords' angle, plus its own
// rounding (u = 2^-24). Allowed: (chord roundings + 6) u / sine + 8u.
void ExpectNormalsFollowTheRule(const ACurve3D& tube, int32_t count, const std::string& where) {
  constexpr double u = 0x1p-24;
  const int32_t sides = tube.Sides();
  for (int32_t i = 0; i < count; ++i)
    for (int32_t s = 0; s < sides; ++s) {
      const ExpectedNormal expected = ReferenceNormal(tube, count, i, s);
      const Vec3 normal = Of(tube.RingNormals()[i * sides + s]);
      EXPECT_LE((normal - expected.normal).norm(), (expected.roundings + 6) * u / expected.sine + 8 * u)
          << where << " ring " << i << " side " << s;
    }
}

TEST_F(TubeTest, NormalsFollowTheirNeighboursAcrossGapsAndCoincidences) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> radius(0.05, 0.3);
  for (int trial = 0; trial < 12; ++trial) {
    std::vector<Vertex> points = RandomCurve(random, 120, {1, 10, 0.2});
    std::vector<double> radii(points.size());
    for (double& r : radii) r = radius(random);
    // Gaps, a repeated point, rings of no width (every neighbour around
    // coincides) and one pushed past the range of float.
    points[size_t(10 + trial)] = {NAN, NAN, NAN};
    points[60] = points[59];
    radii[size_t(30 + trial)] = 0, radii[0] = 0, radii[119] = 0;
    radii[80] = 1e40;
    if (trial % 2) points[118] = {NAN, NAN, NAN};
    const auto tube = Tube(points, radii, trial % 5 / 4.0, trial % 3 == 2);
    ExpectNormalsFollowTheRule(*tube, int32_t(points.size()), "trial " + std::to_string(trial));
  }
}

// Rings are made in floats: each vertex may stray from the rule worked
// out in doubles by a few roundings of its point and its offset. Curves
// near the origin and far from it, tubes so thin or so thick that the
// squares of their normals leave float's range, radii of no width, past
// float's range and undefined, gaps and repeated points.
TEST_F(TubeTest, RingsAndNormalsHoldAtEveryScale) {
  constexpr double u = 0x1p-24;
  const Vec3 q = Quarter();
  std::mt19937 random(52);
  std::uniform_real_distribution<double> radius(0.05, 0.3);
  int trial = 0;
  for (double size : {1e-20, 1e-3, 1.0, 1e15})
    for (double offset : {0.0, 1e3 * size}) {
      // Three quarters of a closed curve: a straight tube runs from its
      // first point to its last.
      std::vector<Vertex> points = RandomCurve(random, 120, {size, 10 * size, 0.2 * size});
      points.resize(90);
      for (Vertex& p : points) p = {float(p.x + offset), float(p.y - offset), float(p.z + offset)};
      std::vector<double> radii(points.size());
      for (double& r : radii) r = size * radius(random);
      points[size_t(20 + trial)] = {NAN, NAN, NAN};
      points[50] = points[49];
      radii[30] = 0, radii[31] = 1e25, radii[32] = 1e35, radii[33] = 1e39, radii[34] = NAN, radii[89] = 0;
      const bool straight = trial % 3 == 2;
      const auto tube = Tube(points, radii, trial % 5 / 4.0, straight);
      const std::string where = "trial " + std::to_string(trial++);
      const int32_t sides = tube->Sides(), count = int32_t(points.size());
      std::vector<TubeFrame> frames(points.size());
      ComputeTubeFrames(points.data(), count, straight, {q[0], q[1], q[2]}, frames.data());
      for (int32_t i = 0; i < count; ++i) {
        const TubeFrame& f = frames[size_t(i)];
        const Vec3 side = Of(f.side), across = side.cross(Of(f.tangent)).normalized();
        for (int32_t s = 0; s < sides; ++s) {
          const Vec3 v = Of(tube->RingVertices()[i * sides + s]);
          if (!f.valid) {
            EXPECT_FALSE(v.allFinite()) << where << " ring " << i;
            continue;
          }
          const double angle = 2 * gPi * s / sides;
          const Vec3 offsetOf = radii[size_t(i)] * q.cwiseProduct(std::cos(angle) * side + std::sin(angle) * across);
          const Vec3 expected = Of(points[size_t(i)]) + offsetOf;
          const Vec3 p = Of(points[size_t(i)]);
          for (int a = 0; a < 3; ++a) {
            const double e = std::fabs(expected[a]);
            // Past float's range, or undefined: no finite vertex.
            if (!(e < 0x1.000001p128)) {
              EXPECT_FALSE(std::isfinite(v[a])) << where << " ring " << i;
            } else if (e < 0x1.fffffdp127) {
              const double allowed = 8 * u * (std::fabs(p[a]) + std::fabs(radii[size_t(i)]) * q[a]);
              EXPECT_LE(std::fabs(v[a] - expected[a]), allowed) << where << " ring " << i << " side " << s;
            }
          }
        }
      }
      ExpectNoGapsDrawn(*tube, points.size());
      ExpectNormalsFollowTheRule(*tube, count, where);
      EXPECT_GT(tube->TriangleCount(), 2 * sides * 70) << where;
      // The largest radius is taken ring by ring as it is made: the same
      // value as over the finished vertices.
      EXPECT_EQ(tube->MaximumModelSpaceRadius(),
                CalculateMaximumModelSpaceRadius(tube->RingVertices(), count * sides, ModelSpaceOf(&context)))
          << where;
    }
}

// One vertex shared by two rings: a straight tube along z starts its side
// vector on y, so vertex 0 of a ring lies at its point plus r times the y
// quarter, exactly; ring 1, a quarter of the view lower in radius, is moved
// up by as much. Both rings lie in the plane z = 0, so the band between
// them is flat and every normal of the first ring is the plane's, but for
// the shared vertex's: its chord along the curve has no length, and the
// band there none across. That normal is left unwritten.
TEST_F(TubeTest, ASharedVertexHasNoNormal) {
  const double qy = Quarter()[1];
  for (double grain : {0.0, 0.5, 1.0}) {
    const std::vector<Vertex> points = {{0, 0, 0}, {0, float(0.25 * qy), 0}, {0, 0, 0.2f}, {0, 0, 0.3f}};
    const std::vector<double> radii = {0.5, 0.25, 0.5, 0.5};
    const auto tube = Tube(points, radii, grain, true);
    const int32_t sides = tube->Sides();
    const Vertex shared = tube->RingVertices()[0], moved = tube->RingVertices()[sides];
    ASSERT_TRUE(shared.x == moved.x && shared.y == moved.y && shared.z == moved.z);
    ExpectNormalsFollowTheRule(*tube, int32_t(points.size()), "grain " + std::to_string(grain));
    EXPECT_EQ(Of(tube->RingNormals()[0]).norm(), 0);
    const float up = std::copysign(1.0f, tube->RingNormals()[1].z);
    for (int32_t s = 1; s < sides; ++s) {
      const Vertex n = tube->RingNormals()[s];
      EXPECT_TRUE(n.x == 0 && n.y == 0) << s;
      EXPECT_NEAR(n.z, up, 0x1p-23) << s;
    }
  }
}

// Rings near the largest float: with offsets as large as floats are
// trusted with they stay wholly finite and every quad is drawn; with larger
// ones, vertices past float's range are not finite and nothing reaches them.
TEST_F(TubeTest, RingsAtTheEdgeOfFloatsRangeKeepTheRule) {
  constexpr double u = 0x1p-24, largest = 3.4028234e38;
  const Vec3 q = Quarter();
  for (double offset : {0.99e30, 5e31, 1e33}) {
    std::vector<Vertex> points;
    std::vector<double> radii;
    for (int i = 0; i < 40; ++i) {
      const double t = 0.1 * i, edge = largest - 1e36 * (1 + std::cos(t));
      // y within a few steps of the largest float, steps there being 2^104.
      points.push_back({float(i % 2 ? edge : -edge), float(largest - 0x1p104 * (i % 3)), float(-edge + 1e35 * i)});
      radii.push_back(offset / q.maxCoeff());
    }
    const auto tube = Tube(points, radii, 1.0);
    const int32_t sides = tube->Sides(), count = int32_t(points.size());
    if (offset < 1e30) {
      EXPECT_EQ(tube->TriangleCount(), 2 * sides * (count - 1));
    }
    // The triangles only: normals beside vertices past float's range are
    // not all finite.
    ExpectNoGapsDrawn(*tube, 0);
    std::vector<TubeFrame> frames(points.size());
    ComputeTubeFrames(points.data(), count, false, {q[0], q[1], q[2]}, frames.data());
    for (int32_t i = 0; i < count; ++i)
      for (int32_t s = 0; s < sides; ++s) {
        const double angle = 2 * gPi * s / sides;
        const Vec3 side = Of(frames[size_t(i)].side), across = side.cross(Of(frames[size_t(i)].tangent));
        const Vec3 p = Of(points[size_t(i)]);
        const Vec3 expected = p + radii[size_t(i)] * q.cwiseProduct(std::cos(angle) * side + std::sin(angle) * across);
        const Vec3 v = Of(tube->RingVertices()[i * sides + s]);
        for (int a = 0; a < 3; ++a) {
          const double e = std::fabs(expected[a]);
          if (!(e < 0x1.000001p128)) {
            EXPECT_FALSE(std::isfinite(v[a])) << offset << " ring " << i << " side " << s;
          } else if (e < 0x1.fffffdp127) {
            EXPECT_LE(std::fabs(v[a] - expected[a]), 8 * u * (std::fabs(p[a]) + radii[size_t(i)] * q[a]))
                << offset << " ring " << i << " side " << s;
          }
        }
      }
  }
}

// The largest radius is the distance of the farthest vertex, whichever ring
// holds it: radii that vary widely put it on rings whose points lie nearer
// the centre than others, or on one of many rings equally far.
TEST_F(TubeTest, LargestRadiusIsTheFarthestVertexWhicheverRingHoldsIt) {
  std::mt19937 random(113);
  std::uniform_real_distribution<double> radius(0, 1);
  const ModelSpace space = ModelSpaceOf(&context);
  const Vec3 q = Quarter(), centre{1, 10, -0.1};
  int elsewhere = 0, trial = 0;
  for (double size : {1e-20, 1e-2, 1.0, 1e15})
    for (int shape = 0; shape < 12; ++shape, ++trial) {
      std::vector<Vertex> points = RandomCurve(random, 150, {size, 8 * size, 0.3 * size});
      points.resize(shape % 4 == 3 ? 150 : 120);
      // A circle about the centre: every ring equally far.
      if (shape % 4 == 3)
        for (size_t i = 0; i < points.size(); ++i) {
          const double t = 2 * gPi * double(i) / double(points.size());
          points[i] = {float(centre[0] + q[0] * std::cos(t)), float(centre[1] + q[1] * std::sin(t)), float(centre[2])};
        }
      std::vector<double> radii(points.size());
      for (double& r : radii) r = (shape % 2 ? std::pow(radius(random), 8) : 0.3 * radius(random)) * size;
      const auto tube = Tube(points, radii, shape % 3 / 2.0, shape % 5 == 4);
      const int32_t sides = tube->Sides(), count = int32_t(points.size());
      const Vertex* rings = tube->RingVertices();
      EXPECT_EQ(tube->MaximumModelSpaceRadius(), CalculateMaximumModelSpaceRadius(rings, count * sides, space))
          << "trial " << trial;
      int32_t farthestPoint = 0, farthestVertex = 0;
      for (int32_t i = 0; i < count; ++i) {
        if (CalculateMaximumModelSpaceRadius(&points[size_t(i)], 1, space) >
            CalculateMaximumModelSpaceRadius(&points[size_t(farthestPoint)], 1, space))
          farthestPoint = i;
        if (CalculateMaximumModelSpaceRadius(&rings[i * sides], sides, space) >
            CalculateMaximumModelSpaceRadius(&rings[farthestVertex * sides], sides, space))
          farthestVertex = i;
      }
      elsewhere += farthestPoint != farthestVertex;
    }
  EXPECT_GT(elsewhere, trial / 4);
}

// A tube computed again over points that changed draws what a new tube of
// those points draws: gaps appear and go, the grain changes in between.
TEST_F(TubeTest, RecomputedTubesDrawWhatNewOnesDraw) {
  std::mt19937 random(3);
  std::vector<Vertex> points = RandomCurve(random, 60, {1, 10, 0.2});
  const std::vector<double> radii(points.size(), 0.1);
  const Vertex kept = points[30];
  const Vertex gap{NAN, NAN, NAN};
  ACurve3D tube(int32_t(points.size()), points.data(), radii.data(), nullptr, &colour, 1.0, 1.0, false, &context);
  for (const auto& [at, grain] :
       {std::pair{kept, 1.0}, {kept, 1.0}, {gap, 1.0}, {kept, 1.0}, {kept, 0.5}, {gap, 0.0}}) {
    points[30] = at;
    if (grain != double(tube.Sides() - 8) / 4) tube.SetParameter(kAttributeGrain, grain);
    tube.ViewChanged();
    tube.ComputeCurve(ModelSpaceOf(&context));
    const auto fresh = Tube(points, radii, grain);
    ASSERT_EQ(tube.Sides(), fresh->Sides());
    ASSERT_EQ(tube.TriangleCount(), fresh->TriangleCount());
    for (int32_t k = 0; k < tube.TriangleCount(); ++k)
      for (int c = 0; c < 3; ++c) EXPECT_EQ(tube.Triangles()[k].v[c], fresh->Triangles()[k].v[c]) << k;
  }
}

TEST_F(TubeTest, LinesSkipGapsAndShortCurvesDrawNothing) {
  std::vector<Vertex> points = {{0, 0, 0}, {1, 1, 0}, {NAN, NAN, NAN}, {1, 2, 0}, {2, 2, 0}, {2, 3, 0}};
  ACurve3D lines(int32_t(points.size()), points.data(), nullptr, nullptr, &colour, 0, 1, false, &context);
  EXPECT_FALSE(lines.IsDoneComputing());
  EXPECT_EQ(lines.GraphVisibility(), 0);
  lines.ComputeCurve(ModelSpaceOf(&context));
  ASSERT_EQ(lines.SegmentCount(), 3);
  EXPECT_EQ(lines.Segments()[0].v[1], 1);
  EXPECT_EQ(lines.Segments()[1].v[0], 3);
  EXPECT_EQ(lines.GraphVisibility(), 0);
  lines.ViewChanged();
  EXPECT_FALSE(lines.IsDoneComputing());

  // The tube borrows its points and radii.
  const std::vector<Vertex> one = {{0, 0, 0}};
  const std::vector<double> radii = {0.1, 0.1};
  const auto single = Tube(one, radii, 0.5);
  EXPECT_TRUE(single->IsDoneComputing());
  EXPECT_EQ(single->TriangleCount(), 0);
  EXPECT_EQ(single->GraphVisibility(), 0);
  const std::vector<Vertex> nothing = {{NAN, 0, 0}, {0, NAN, 0}};
  EXPECT_EQ(Tube(nothing, radii, 0)->GraphVisibility(), 11);
}

}  // namespace
