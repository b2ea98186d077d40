#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "renderer/DrawContext.h"

// What the making of a ring found: whether its first vertex, and all of
// its vertices, are finite.
enum TubeRingState : uint8_t { kRingStartsFinite = 1, kRingWhole = 2 };

// The most vertices a ring of a tube has.
inline constexpr int32_t kMostTubeSides = 12;

// The ring vertices once more as doubles, an array per axis, for the
// normals to be worked out several at a time; empty when memory is short.
class TubeCoordinates {
 public:
  explicit TubeCoordinates(size_t vertices);
  bool Empty() const { return !fAll; }
  void Set(size_t k, const Vertex& v) { fX[k] = v.x, fY[k] = v.y, fZ[k] = v.z; }
  const double* X() const { return fX; }
  const double* Y() const { return fY; }
  const double* Z() const { return fZ; }

 private:
  std::unique_ptr<double[]> fAll;
  double *fX = nullptr, *fY = nullptr, *fZ = nullptr;
};

// The normals of count rings of sides vertices each (ring i starting at
// i * sides). Each comes from the vertex's neighbour along the curve and
// its neighbour around the ring; rings beside a gap, like the last ring,
// take the curve neighbour on the other side. Rings whose first vertex is
// not finite, and normals that are not finite, are not written.
// The coordinates, when not empty, are those of the rings.
void ComputeTubeNormals(const Vertex* rings, const TubeCoordinates& coordinates, const uint8_t* states,
                        int32_t count, int32_t sides, Vertex* normals);
