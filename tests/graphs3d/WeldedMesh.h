#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

#include "graphs3d/implicit/AnImplicitSurface.h"

struct WeldedMesh {
  using Point = std::array<double, 3>;
  std::vector<Point> points;
  std::vector<std::array<int32_t, 3>> triangles;
};

using MeshPiece = std::pair<const SurfaceVertexList*, const TriangleList*>;

// Pieces of a mesh as one: a vertex within the tolerance of one already
// welded is that one (with no tolerance, the same floats are), and
// triangles that collapse are dropped.
inline WeldedMesh Weld(const std::vector<MeshPiece>& pieces, double tolerance) {
  WeldedMesh mesh;
  std::map<WeldedMesh::Point, int32_t> same;
  std::map<std::tuple<long, long, long>, int32_t> cells;
  auto cell = [tolerance](double v) { return long(std::floor(v / tolerance)); };
  auto find = [&](const WeldedMesh::Point& p) {
    if (tolerance == 0) {
      const auto [it, added] = same.try_emplace(p, int32_t(mesh.points.size()));
      if (added) mesh.points.push_back(p);
      return it->second;
    }
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
  for (const auto& [vertices, triangles] : pieces) {
    std::vector<int32_t> index(size_t(vertices->Count()));
    for (int32_t i = 0; i < vertices->Count(); ++i) {
      const SurfaceVertex& v = (*vertices)[i];
      index[size_t(i)] = find({v.x, v.y, v.z});
    }
    for (int32_t i = 0; i < triangles->Count(); ++i) {
      const Triangle& t = (*triangles)[i];
      const std::array<int32_t, 3> w{index[size_t(t.v[0])], index[size_t(t.v[1])], index[size_t(t.v[2])]};
      if (w[0] != w[1] && w[1] != w[2] && w[0] != w[2]) mesh.triangles.push_back(w);
    }
  }
  return mesh;
}

// An implicit surface's saved model as one mesh: vertices that two slabs
// both made are welded by position.
inline WeldedMesh Weld(AnImplicitSurface& surface, double tolerance = 1e-6) {
  std::vector<MeshPiece> pieces;
  OurLock lock(surface.ModelMutex());
  for (const AnImplicitSurface::Piece& piece : surface.SavedModel())
    if (piece.vertices && piece.triangles) pieces.push_back({piece.vertices.get(), piece.triangles.get()});
  return Weld(pieces, tolerance);
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

using MeshEdgeTest = std::function<bool(const WeldedMesh::Point&, const WeldedMesh::Point&)>;

// Every edge in exactly two triangles, each direction once when oriented,
// but for the edges `open` leaves on the mesh's border; and the Euler
// characteristic of the surface's topology.
inline void ExpectClosed(const WeldedMesh& m, long euler, bool oriented = true, const MeshEdgeTest& open = nullptr) {
  // Each edge's uses from its lower vertex and from its higher.
  std::map<std::pair<int32_t, int32_t>, std::array<int, 2>> uses;
  for (const auto& t : m.triangles)
    for (int k = 0; k < 3; ++k) {
      const int32_t a = t[size_t(k)], b = t[size_t((k + 1) % 3)];
      ++uses[std::minmax(a, b)][a > b];
    }
  int faults = 0;
  for (const auto& [edge, ways] : uses) {
    const bool closed = ways[0] + ways[1] == 2 && (!oriented || ways[0] == 1);
    if (!closed && !(open && open(m.points[size_t(edge.first)], m.points[size_t(edge.second)]))) ++faults;
  }
  EXPECT_EQ(faults, 0);
  EXPECT_EQ(long(m.points.size()) - long(uses.size()) + long(m.triangles.size()), euler);
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
