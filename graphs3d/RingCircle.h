#pragma once

#include <cstdint>

#include "CoreUtilities/DoubleLanes.h"
#include "graphs3d/TubeNormals.h"
#include "renderer/AVector.h"
#include "renderer/DrawContext.h"

// The vertices of a tube's rings: sides points at equal angles around each
// point, the cosines and sines taken once for all rings.
class RingCircle {
 public:
  explicit RingCircle(int32_t sides);

  // Vertex s is p + scale ⊙ (u cos θs + w sin θs), ⊙ the per-axis
  // product, narrowed to float; the coordinates from first on are set to
  // the same (when not empty). Returns the ring's TubeRingState.
  uint8_t Place(AVector p, AVector scale, AVector u, AVector w, Vertex* ring, TubeCoordinates& coordinates,
                size_t first);

 private:
  static constexpr int32_t kPadded = LanePadded(kMostTubeSides);

  int32_t fSides;
  alignas(lanes::memory_alignment_v<DoubleLanes>) double fCos[kPadded] = {}, fSin[kPadded] = {};
  alignas(lanes::memory_alignment_v<DoubleLanes>) double fX[kPadded], fY[kPadded], fZ[kPadded];
};
