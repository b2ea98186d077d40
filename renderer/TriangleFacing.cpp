#include "renderer/TriangleFacing.h"

#include <cmath>
#include <utility>

#include "renderer/AVector.h"

namespace {

AVector Of(const Vertex& v) { return {v.x, v.y, v.z}; }

// A normal that is zero or not finite adds nothing.
AVector UnitOrNothing(const Vertex& n) {
  const AVector a = Of(n);
  const double length = std::sqrt(Dot(a, a));
  return length > 0 && std::isfinite(length) ? (1 / length) * a : AVector{};
}

}  // namespace

void TurnTrianglesToNormals(const Vertex* vertices, const Vertex* normals, int vertexCount, Triangle* triangles,
                            int triangleCount) {
  for (int t = 0; t < triangleCount; ++t) {
    int32_t* v = triangles[t].v;
    if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[0] >= vertexCount || v[1] >= vertexCount || v[2] >= vertexCount) continue;
    const AVector p0 = Of(vertices[v[0]]);
    const AVector turn = Cross(Of(vertices[v[1]]) - p0, Of(vertices[v[2]]) - p0);
    const AVector normal = UnitOrNothing(normals[v[0]]) + UnitOrNothing(normals[v[1]]) + UnitOrNothing(normals[v[2]]);
    if (Dot(turn, normal) < 0) std::swap(v[1], v[2]);
  }
}

bool MirrorsModel(const double (&scale)[3]) { return scale[0] * scale[1] * scale[2] < 0; }
