#pragma once

#include <cstdint>

#include "CoreUtilities/FloatLanes.h"
#include "renderer/DrawContext.h"

// What the making of a ring found: whether its first vertex, and all of
// its vertices, are finite.
enum TubeRingState : uint8_t { kRingStartsFinite = 1, kRingWhole = 2 };

// The most vertices a ring of a tube has.
inline constexpr int32_t kMostTubeSides = 12;

// One ring once more, an array per axis, for its normals to be worked out
// several sides at a time. Entry `sides` repeats entry sides - 2, the
// neighbour around the ring of the last side; entries past it are unused.
struct TubeRing {
  static constexpr int32_t kRoom = LanePadded(kMostTubeSides) + kFloatLanes;
  alignas(lanes::memory_alignment_v<FloatLanes>) float x[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float y[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float z[kRoom] = {};
  uint8_t state = 0;
};

// A ring of a tube beside the one its normals look to along the curve.
struct TubeRingPair {
  const Vertex* ring;
  const Vertex* along;
  const TubeRing& ringLanes;
  const TubeRing& alongLanes;
};

// The normals of one ring of sides vertices. Each comes from the vertex's
// neighbour along the curve (on the next ring when forward, else the one
// before) and its neighbour around the ring, a neighbour that coincides
// with the vertex replaced by the diagonal one. Normals that are not
// finite are not written.
void ComputeRingNormals(const TubeRingPair& rings, int32_t sides, bool forward, Vertex* normals);
