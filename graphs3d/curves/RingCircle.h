#pragma once

#include <cstdint>

#include "graphs3d/curves/TubeNormals.h"
#include "renderer/AVector.h"
#include "renderer/DrawContext.h"

// The vertices of a tube's rings: sides points at equal angles around each
// point, the cosines and sines taken once for all rings.
class RingCircle {
 public:
  explicit RingCircle(int32_t sides);

  // Vertex s is p + scale ⊙ (u cos θs + w sin θs), ⊙ the per-axis
  // product, as floats; the ring's lanes are set to the same and given
  // its TubeRingState.
  void Place(const AVector& p, const AVector& scale, const AVector& u, const AVector& w, Vertex* ring,
             TubeRing& lanes) const;

 private:
  // Offsets su and sw: scale ⊙ u and scale ⊙ w; also stores the vertices.
  void PlaceInFloats(const AVector& p, const AVector& su, const AVector& sw, Vertex* ring, TubeRing& lanes) const;
  void PlaceInDoubles(const AVector& p, const AVector& scale, const AVector& u, const AVector& w,
                      TubeRing& lanes) const;

  int32_t fSides;
  alignas(lanes::memory_alignment_v<FloatLanes>) float fCos[LanePadded(kMostTubeSides)] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float fSin[LanePadded(kMostTubeSides)] = {};
  double fCosines[kMostTubeSides] = {}, fSines[kMostTubeSides] = {};
};
