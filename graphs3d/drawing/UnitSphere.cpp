#include "graphs3d/drawing/UnitSphere.h"

#include <cmath>
#include <vector>

namespace {

AVector ToUnit(AVector v) {
  const double length = std::sqrt(Dot(v, v));
  return (1 / length) * v;
}

class SphereBuilder {
 public:
  SphereBuilder() {
    constexpr double s = 0.7071067811865475;
    fVertices = {{0, 0, 1}, {0, 0, -1}, {-s, -s, 0}, {s, -s, 0}, {s, s, 0}, {-s, s, 0}};
    fTriangles = {{{0, 3, 4}}, {{0, 4, 5}}, {{0, 5, 2}}, {{0, 2, 3}},
                  {{1, 4, 3}}, {{1, 5, 4}}, {{1, 2, 5}}, {{1, 3, 2}}};
    for (int pass = 0; pass < 3; ++pass) Split();
  }
  void CopyInto(UnitSphereMesh& mesh) const {
    for (size_t i = 0; i < fVertices.size(); ++i) mesh.vertices[i] = fVertices[i];
    for (size_t i = 0; i < fTriangles.size(); ++i) mesh.triangles[i] = fTriangles[i];
  }

 private:
  // Each triangle becomes its middle one in place, its three corner ones
  // appended after all the old triangles.
  void Split() {
    const size_t old = fTriangles.size();
    for (size_t k = 0; k < old; ++k) {
      const auto [a, b, c] = fTriangles[k].v;
      const int32_t ab = Midpoint(a, b), bc = Midpoint(b, c), ca = Midpoint(c, a);
      fTriangles[k] = {{ab, bc, ca}};
      fTriangles.push_back({{a, ab, ca}});
      fTriangles.push_back({{ab, b, bc}});
      fTriangles.push_back({{bc, c, ca}});
    }
  }
  // Shared edges meet the same midpoint: it is looked up by its exact
  // coordinates.
  int32_t Midpoint(int32_t a, int32_t b) {
    const AVector m = ToUnit(0.5 * (fVertices[size_t(a)] + fVertices[size_t(b)]));
    for (size_t i = 0; i < fVertices.size(); ++i) {
      const AVector& v = fVertices[i];
      if (v.x == m.x && v.y == m.y && v.z == m.z) return int32_t(i);
    }
    fVertices.push_back(m);
    return int32_t(fVertices.size() - 1);
  }

  std::vector<AVector> fVertices;
  std::vector<Triangle> fTriangles;
};

}  // namespace

const UnitSphereMesh& UnitSphere() {
  static const UnitSphereMesh* const kMesh = [] {
    auto* mesh = new UnitSphereMesh;
    SphereBuilder().CopyInto(*mesh);
    return mesh;
  }();
  return *kMesh;
}
