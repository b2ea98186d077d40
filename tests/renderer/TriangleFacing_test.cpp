#include "renderer/TriangleFacing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "renderer/AVector.h"

namespace {

AVector FacingOf(const Vertex& v) { return {v.x, v.y, v.z}; }

// Triangles between random points of the unit sphere, wound at random, with
// the points' own directions as normals: after turning, each turns
// counterclockwise seen from outside, and each that already did is as it was.
TEST(TriangleFacing, TrianglesTurnToTheirNormals) {
  std::mt19937 random(7);
  std::normal_distribution<float> gauss;
  std::vector<Vertex> points;
  for (int i = 0; i < 300; ++i) {
    const AVector p{gauss(random), gauss(random), gauss(random)};
    const double length = std::sqrt(Dot(p, p));
    points.push_back({float(p.x / length), float(p.y / length), float(p.z / length)});
  }
  std::vector<Triangle> triangles;
  for (int i = 0; i + 2 < 300; i += 3) triangles.push_back({{i, i + 1, i + 2}});
  const std::vector<Triangle> before = triangles;
  TurnTrianglesToNormals(points.data(), points.data(), 300, triangles.data(), int(triangles.size()));
  for (size_t t = 0; t < triangles.size(); ++t) {
    const int32_t* v = triangles[t].v;
    const AVector p0 = FacingOf(points[size_t(v[0])]);
    const AVector turn = Cross(FacingOf(points[size_t(v[1])]) - p0, FacingOf(points[size_t(v[2])]) - p0);
    // The sphere's centre lies behind every face.
    EXPECT_GT(Dot(turn, p0), 0) << t;
    const int32_t* was = before[t].v;
    const AVector w0 = FacingOf(points[size_t(was[0])]);
    const bool turnedRight =
        Dot(Cross(FacingOf(points[size_t(was[1])]) - w0, FacingOf(points[size_t(was[2])]) - w0), w0) > 0;
    EXPECT_TRUE(!turnedRight || (v[1] == was[1] && v[2] == was[2])) << t;
  }
}

// Nothing to go by leaves a triangle as it came.
TEST(TriangleFacing, TrianglesWithoutAreaNormalsOrVerticesStay) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Vertex vertices[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}};
  const Vertex down[4] = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};
  const Vertex unusable[4] = {{0, 0, 0}, {nan, 0, 0}, {0, 0, INFINITY}, {0, 0, 0}};
  Triangle flat[1] = {{{0, 1, 3}}}, outside[2] = {{{0, 1, 4}}, {{-1, 1, 2}}}, blind[1] = {{{0, 1, 2}}};
  TurnTrianglesToNormals(vertices, down, 4, flat, 1);
  TurnTrianglesToNormals(vertices, down, 4, outside, 2);
  TurnTrianglesToNormals(vertices, unusable, 4, blind, 1);
  EXPECT_EQ(flat[0].v[1], 1);
  EXPECT_EQ(outside[0].v[1], 1);
  EXPECT_EQ(outside[1].v[1], 1);
  EXPECT_EQ(blind[0].v[1], 1);
  Triangle turned[1] = {{{0, 1, 2}}};
  TurnTrianglesToNormals(vertices, down, 4, turned, 1);
  EXPECT_EQ(turned[0].v[1], 2);
  EXPECT_EQ(turned[0].v[2], 1);
}

TEST(TriangleFacing, AnOddNumberOfReversedAxesMirrors) {
  for (int mask = 0; mask < 8; ++mask) {
    const double scale[3] = {mask & 1 ? -0.5 : 2.0, mask & 2 ? -1.0 : 1.0, mask & 4 ? -3.0 : 0.25};
    EXPECT_EQ(MirrorsModel(scale), __builtin_popcount(unsigned(mask)) % 2 == 1) << mask;
  }
}

}  // namespace
