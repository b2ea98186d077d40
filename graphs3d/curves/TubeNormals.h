#pragma once

#include <cstdint>

#include "graphs3d/curves/TubeRing.h"
#include "renderer/DrawContext.h"

// A ring of a tube between its neighbours along the curve. A ring with no
// neighbour on one side (the first, the last, and rings beside a gap)
// stands in for that neighbour itself.
struct TubeRingNeighbours {
  const Vertex* before;
  const Vertex* ring;
  const Vertex* after;
  const TubeRing& beforeLanes;
  const TubeRing& ringLanes;
  const TubeRing& afterLanes;
};

// The normals of one ring of sides vertices, each across the two chords
// through its vertex: from the vertex before it along the curve to the one
// after, and from its neighbour before it around the ring to the one after.
// Both chords are centred on the vertex, so the normals do not lean towards
// the way either the curve or the ring runs, and reversing both leaves them
// as they were. A chord around of no length (a ring of no width: the tip of
// a cone, the middle of a disc) gives way to the sum of those of the
// neighbour rings. Where the rings on either hand meet at the vertex the
// surface has no direction across to go by. Normals that are not finite
// are not written.
void ComputeRingNormals(const TubeRingNeighbours& rings, int32_t sides, Vertex* normals);
