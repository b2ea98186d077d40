#pragma once

#include <cstdint>

#include "CoreUtilities/Lanes.h"
#include "renderer/Submission.h"

// What the making of a ring found: whether its first vertex, and all of
// its vertices, are finite.
enum TubeRingState : uint8_t { kRingStartsFinite = 1, kRingWhole = 2 };

// The most vertices a ring of a tube has, and the most triangles between
// two rings.
inline constexpr int32_t kMostTubeSides = 12;
inline constexpr int32_t kTubeBandTriangles = 2 * kMostTubeSides;

// One ring once more, an array per axis, for its normals to be worked out
// several sides at a time. Entries from `sides` to the end of its last lane
// repeat entry sides - 2: the neighbour around the ring of the last side,
// and a vertex of the ring for whole lanes to work on.
struct TubeRing {
  static constexpr int32_t kRoom = LanePadded(kMostTubeSides) + kFloatLanes;
  alignas(lanes::memory_alignment_v<FloatLanes>) float x[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float y[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float z[kRoom] = {};
  uint8_t state = 0;
};

// The largest squared distance from the box centre, axes scaled so the box
// spans -2 to 2, of the ring's first sides vertices: the square of what
// CalculateMaximumModelSpaceRadius gives for them, NaN vertices left out.
double LargestModelSquare(const TubeRing& ring, int32_t sides, const ModelScale& scale);
