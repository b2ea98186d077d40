#pragma once

#include <cstdint>

#include "graphs3d/curves/TubeRing.h"
#include "renderer/DrawContext.h"

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
