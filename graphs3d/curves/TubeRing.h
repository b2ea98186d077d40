#pragma once

#include <cmath>
#include <cstring>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "CoreUtilities/Lanes.h"
#include "renderer/AVector.h"
#include "renderer/DrawContext.h"
#include "renderer/Submission.h"

// What the making of a ring found: whether its first vertex, and all of
// its vertices, are finite.
enum TubeRingState : uint8_t { kRingStartsFinite = 1, kRingWhole = 2 };

// The most vertices a ring of a tube has, and the most triangles between
// two rings.
inline constexpr int32_t kMostTubeSides = 12;
inline constexpr int32_t kTubeBandTriangles = 2 * kMostTubeSides;

// One ring once more, an array per axis, for its normals to be worked out
// several sides at a time. Side s is entry kFirst + s; the ring carries on
// round both ways, so that every side, and whole lanes past the last, find
// the neighbours on either hand: entry kFirst - 1 is the last side, and
// entries from kFirst + sides on are sides 0, 1, ... again.
struct TubeRing {
  static constexpr int32_t kFirst = kFloatLanes;
  static constexpr int32_t kRoom = kFirst + LanePadded(kMostTubeSides) + kFloatLanes;
  alignas(lanes::memory_alignment_v<FloatLanes>) float x[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float y[kRoom] = {};
  alignas(lanes::memory_alignment_v<FloatLanes>) float z[kRoom] = {};
  uint8_t state = 0;

  // Fills the entries before and after the sides, once those are set.
  void CarryRound(int32_t sides) {
    static_assert(kFirst + kMostTubeSides + kFloatLanes <= kRoom);
    for (float* axis : {x, y, z}) {
      axis[kFirst - 1] = axis[kFirst + sides - 1];
      FloatLanes(&axis[kFirst], lanes::vector_aligned).copy_to(&axis[kFirst + sides], lanes::element_aligned);
    }
  }
};

// Four floats, shuffled by constant patterns that every vector unit has.
using Four = float __attribute__((vector_size(16)));

// Vertices out[0] to out[3] set from four lanes per axis.
inline void StoreFourVertices(Four x, Four y, Four z, Vertex* out) {
  static_assert(sizeof(Vertex) == 3 * sizeof(float));
  // Each a single two-source shuffle of the plainest vector units.
  const Four low = __builtin_shufflevector(x, y, 0, 4, 1, 5), high = __builtin_shufflevector(x, y, 2, 6, 3, 7);
  const Four zx = __builtin_shufflevector(z, x, 0, 0, 5, 5), yz = __builtin_shufflevector(y, z, 1, 1, 5, 5),
             zx2 = __builtin_shufflevector(z, high, 2, 2, 6, 6), yz2 = __builtin_shufflevector(y, z, 3, 3, 7, 7);
  const Four four[3] = {__builtin_shufflevector(low, zx, 0, 1, 4, 6), __builtin_shufflevector(yz, high, 0, 2, 4, 5),
                        __builtin_shufflevector(zx2, yz2, 0, 2, 4, 6)};
  std::memcpy(out, four, sizeof four);
}

// Four lanes as the plain vector type; for lanes four wide only.
template <typename Lanes>
Four FourOf(const Lanes& lanes) {
  static_assert(Lanes::size() == 4);
  Four v;
  lanes.copy_to(reinterpret_cast<float*>(&v), lanes::vector_aligned);
  return v;
}

// Vertex s of out set to x[s], y[s], z[s], for s below count.
void StoreVertices(const float* x, const float* y, const float* z, int32_t count, Vertex* out);

// A bound never below the distance from the box centre, axes scaled so the
// box spans -2 to 2, of any vertex of a whole ring of radius r (model
// units: each axis times its entry of quarter) around p, as
// CalculateMaximumModelSpaceRadius measures it in the floats the ring is
// stored in. Rings not whole reach without bound.
class TubeReach {
 public:
  TubeReach(AVector quarter, const ModelScale& scale);

  double operator()(const Vertex& p, double r, uint8_t ringState) const {
    const double dx = fScale.s[0] * (p.x - fScale.c[0]), dy = fScale.s[1] * (p.y - fScale.c[1]),
                 dz = fScale.s[2] * (p.z - fScale.c[2]);
    const double reach = fCentre * std::sqrt(dx * dx + dy * dy + dz * dz) + fRadius * std::fabs(r) + fRounding;
    return (ringState & kRingWhole) && reach < kLargestReach ? reach : std::numeric_limits<double>::infinity();
  }

 private:
  // Past this the squares of the measure may leave double's range.
  static constexpr double kLargestReach = 1e300;
  ModelScale fScale;
  // Factors of the centre's distance and of the radius, and what rounding
  // adds beside them.
  double fCentre, fRadius, fRounding;
};
