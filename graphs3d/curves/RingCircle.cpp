#include "graphs3d/curves/RingCircle.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CoreUtilities/MathConstants.h"

namespace {

// Past this an offset is worked out in doubles: in floats its products and
// sums could leave the range that the double result, narrowed, stays in.
constexpr double kLargestFloatOffset = 1e30;

// No component is NaN or past the largest float offset.
bool Within(AVector v) {
  return std::fabs(v.x) <= kLargestFloatOffset && std::fabs(v.y) <= kLargestFloatOffset &&
         std::fabs(v.z) <= kLargestFloatOffset;
}

bool Finite(AVector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

FloatLanes::mask_type Finite(const float* axis, int32_t s) {
  return lanes::abs(FloatLanes(&axis[s], lanes::vector_aligned)) <= std::numeric_limits<float>::max();
}

}  // namespace

RingCircle::RingCircle(int32_t sides) : fSides(sides) {
  for (int32_t s = 0; s < sides; ++s) {
    const double angle = s * 2 * gPi / sides;
    fCosines[s] = std::cos(angle), fSines[s] = std::sin(angle);
    fCos[s] = float(fCosines[s]), fSin[s] = float(fSines[s]);
  }
}

// Offsets within bounds add at most 2^101 to a finite float point, less
// than half its last step at float's largest value: such a ring is whole.
void RingCircle::Place(const AVector& p, const AVector& scale, const AVector& u, const AVector& w, Vertex* ring,
                       TubeRing& lanes) const {
  const AVector su{scale.x * u.x, scale.y * u.y, scale.z * u.z}, sw{scale.x * w.x, scale.y * w.y, scale.z * w.z};
  const bool within = Within(su) && Within(sw);
  constexpr int32_t first = TubeRing::kFirst;
  if (within) {
    PlaceInFloats(p, su, sw, ring, lanes);
  } else {
    PlaceInDoubles(p, scale, u, w, lanes);
    StoreVertices(&lanes.x[first], &lanes.y[first], &lanes.z[first], fSides, ring);
  }
  lanes.CarryRound(fSides);
  if (within && Finite(p)) {
    lanes.state = kRingStartsFinite | kRingWhole;
    return;
  }
  // Lanes past the last side hold sides again.
  FloatLanes::mask_type whole(true);
  for (int32_t s = first; s < first + fSides; s += kFloatLanes)
    whole = whole && Finite(lanes.x, s) && Finite(lanes.y, s) && Finite(lanes.z, s);
  lanes.state = uint8_t((Finite(ring[0]) ? kRingStartsFinite : 0) | (lanes::all_of(whole) ? kRingWhole : 0));
}

[[gnu::always_inline]] inline void RingCircle::PlaceInFloats(const AVector& p, const AVector& su, const AVector& sw,
                                                             Vertex* ring, TubeRing& lanes) const {
  const float px = float(p.x), py = float(p.y), pz = float(p.z);
  const float ux = float(su.x), uy = float(su.y), uz = float(su.z);
  const float wx = float(sw.x), wy = float(sw.y), wz = float(sw.z);
  constexpr int32_t first = TubeRing::kFirst;
  for (int32_t s = 0; s < fSides; s += kFloatLanes) {
    const FloatLanes c(&fCos[s], lanes::vector_aligned), n(&fSin[s], lanes::vector_aligned);
    const FloatLanes x = px + (c * ux + n * wx), y = py + (c * uy + n * wy), z = pz + (c * uz + n * wz);
    x.copy_to(&lanes.x[first + s], lanes::vector_aligned);
    y.copy_to(&lanes.y[first + s], lanes::vector_aligned);
    z.copy_to(&lanes.z[first + s], lanes::vector_aligned);
    if constexpr (kFloatLanes == 4) {
      if (s + 4 <= fSides) {
        StoreFourVertices(FourOf(x), FourOf(y), FourOf(z), &ring[s]);
        continue;
      }
    }
    StoreVertices(&lanes.x[first + s], &lanes.y[first + s], &lanes.z[first + s], std::min(kFloatLanes, fSides - s),
                  &ring[s]);
  }
}

void RingCircle::PlaceInDoubles(const AVector& p, const AVector& scale, const AVector& u, const AVector& w,
                                TubeRing& lanes) const {
  for (int32_t s = 0; s < fSides; ++s) {
    const double c = fCosines[s], n = fSines[s];
    lanes.x[TubeRing::kFirst + s] = float(p.x + scale.x * (c * u.x + n * w.x));
    lanes.y[TubeRing::kFirst + s] = float(p.y + scale.y * (c * u.y + n * w.y));
    lanes.z[TubeRing::kFirst + s] = float(p.z + scale.z * (c * u.z + n * w.z));
  }
}
