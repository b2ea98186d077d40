#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "graphs3d/implicit/AnImplicitSurface.h"

// An implicit surface's saved model as one mesh: vertices that two slabs
// both made are welded by position, triangles that collapse are dropped.
struct WeldedMesh {
  using Point = std::array<double, 3>;
  std::vector<Point> points;
  std::vector<std::array<int32_t, 3>> triangles;
};

inline WeldedMesh Weld(AnImplicitSurface& surface, double tolerance = 1e-6) {
  WeldedMesh mesh;
  std::map<std::tuple<long, long, long>, int32_t> cells;
  auto cell = [tolerance](double v) { return long(std::floor(v / tolerance)); };
  auto find = [&](const WeldedMesh::Point& p) {
    for (long dx = -1; dx <= 1; ++dx)
      for (long dy = -1; dy <= 1; ++dy)
        for (long dz = -1; dz <= 1; ++dz) {
          auto it = cells.find({cell(p[0]) + dx, cell(p[1]) + dy, cell(p[2]) + dz});
          if (it == cells.end()) continue;
          const WeldedMesh::Point& q = mesh.points[size_t(it->second)];
          if (std::fabs(p[0] - q[0]) <= tolerance && std::fabs(p[1] - q[1]) <= tolerance &&
              std::fabs(p[2] - q[2]) <= tolerance)
            return it->second;
        }
    const auto index = int32_t(mesh.points.size());
    mesh.points.push_back(p);
    cells[{cell(p[0]), cell(p[1]), cell(p[2])}] = index;
    return index;
  };
  OurLock lock(surface.ModelMutex());
  for (const AnImplicitSurface::Piece& piece : surface.SavedModel()) {
    if (!piece.vertices || !piece.triangles) continue;
    std::vector<int32_t> index(size_t(piece.vertices->Count()));
    for (int32_t i = 0; i < piece.vertices->Count(); ++i) {
      const SurfaceVertex& v = (*piece.vertices)[i];
      index[size_t(i)] = find({v.x, v.y, v.z});
    }
    for (int32_t i = 0; i < piece.triangles->Count(); ++i) {
      const Triangle& t = (*piece.triangles)[i];
      const std::array<int32_t, 3> w{index[size_t(t.v[0])], index[size_t(t.v[1])], index[size_t(t.v[2])]};
      if (w[0] != w[1] && w[1] != w[2] && w[0] != w[2]) mesh.triangles.push_back(w);
    }
  }
  return mesh;
}

namespace welded {

using P = WeldedMesh::Point;
inline P Sub(const P& a, const P& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline P Cross(const P& a, const P& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double Dot(const P& a, const P& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace welded

inline double Area(const WeldedMesh& m) {
  double area = 0;
  for (const auto& t : m.triangles) {
    const auto& p = m.points;
    const auto n =
        welded::Cross(welded::Sub(p[size_t(t[1])], p[size_t(t[0])]), welded::Sub(p[size_t(t[2])], p[size_t(t[0])]));
    area += std::sqrt(welded::Dot(n, n)) / 2;
  }
  return area;
}

// The divergence theorem: each triangle a cone from the origin.
inline double Volume(const WeldedMesh& m) {
  double volume = 0;
  for (const auto& t : m.triangles)
    volume += welded::Dot(m.points[size_t(t[0])], welded::Cross(m.points[size_t(t[1])], m.points[size_t(t[2])])) / 6;
  return volume;
}

// Every edge in exactly two triangles, each direction once, and the Euler
// characteristic of the surface's topology.
inline void ExpectClosed(const WeldedMesh& m, long euler) {
  std::map<std::pair<int32_t, int32_t>, int> directed;
  for (const auto& t : m.triangles)
    for (int k = 0; k < 3; ++k) ++directed[{t[size_t(k)], t[size_t((k + 1) % 3)]}];
  int faults = 0;
  for (const auto& [edge, count] : directed)
    if (count != 1 || directed.count({edge.second, edge.first}) != 1) ++faults;
  EXPECT_EQ(faults, 0);
  const long v = long(m.points.size()), e = long(directed.size()) / 2, f = long(m.triangles.size());
  EXPECT_EQ(v - e + f, euler);
}

// Triangles turned against the gradient at their centroid.
inline int CountInward(const WeldedMesh& m,
                       const std::function<WeldedMesh::Point(const WeldedMesh::Point&)>& gradient) {
  int inward = 0;
  for (const auto& t : m.triangles) {
    const auto& a = m.points[size_t(t[0])];
    const auto& b = m.points[size_t(t[1])];
    const auto& c = m.points[size_t(t[2])];
    const WeldedMesh::Point centroid{(a[0] + b[0] + c[0]) / 3, (a[1] + b[1] + c[1]) / 3, (a[2] + b[2] + c[2]) / 3};
    if (welded::Dot(welded::Cross(welded::Sub(b, a), welded::Sub(c, a)), gradient(centroid)) <= 0) ++inward;
  }
  return inward;
}
