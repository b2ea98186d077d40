#include "graphs3d/RingCircle.h"

#include <cmath>

#include "CoreUtilities/MathConstants.h"

RingCircle::RingCircle(int32_t sides) : fSides(sides) {
  for (int32_t s = 0; s < sides; ++s) {
    const double angle = s * 2 * gPi / sides;
    fCos[s] = std::cos(angle), fSin[s] = std::sin(angle);
  }
}

uint8_t RingCircle::Place(AVector p, AVector scale, AVector u, AVector w, Vertex* ring, TubeCoordinates& coordinates,
                          size_t first) {
  for (int32_t s = 0; s < fSides; s += kDoubleLanes) {
    const DoubleLanes c(&fCos[s], lanes::vector_aligned), n(&fSin[s], lanes::vector_aligned);
    (p.x + scale.x * (c * u.x + n * w.x)).copy_to(&fX[s], lanes::vector_aligned);
    (p.y + scale.y * (c * u.y + n * w.y)).copy_to(&fY[s], lanes::vector_aligned);
    (p.z + scale.z * (c * u.z + n * w.z)).copy_to(&fZ[s], lanes::vector_aligned);
  }
  bool whole = true;
  const bool keep = !coordinates.Empty();
  for (int32_t s = 0; s < fSides; ++s) {
    const Vertex v{float(fX[s]), float(fY[s]), float(fZ[s])};
    whole &= std::isfinite(v.x) & std::isfinite(v.y) & std::isfinite(v.z);
    ring[s] = v;
    if (keep) coordinates.Set(first + size_t(s), v);
  }
  const bool starts = std::isfinite(ring[0].x) && std::isfinite(ring[0].y) && std::isfinite(ring[0].z);
  return uint8_t((starts ? kRingStartsFinite : 0) | (whole ? kRingWhole : 0));
}
