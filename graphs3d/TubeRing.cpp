#include "graphs3d/TubeRing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// What rounding the vertex to float, and the products and sums before it,
// may move it by on an axis, relative to the sizes of the point and the
// offset there; and what it may move it by beside zero.
constexpr double kRelativeRounding = 1e-6, kLeastFloatStep = 0x1p-140;

// The rounding of the bound's own arithmetic and of the measure's.
constexpr double kOwnRounding = 1e-9;

// Four floats, shuffled by constant patterns that every vector unit has.
using Four = float __attribute__((vector_size(16)));

Four FourAt(const float* p) {
  Four v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

void StoreVertices(const float* x, const float* y, const float* z, int32_t count, Vertex* out) {
  static_assert(sizeof(Vertex) == 3 * sizeof(float));
  int32_t s = 0;
  for (; s + 4 <= count; s += 4) {
    const Four a = FourAt(&x[s]), b = FourAt(&y[s]), c = FourAt(&z[s]);
    // Each a single two-source shuffle of the plainest vector units.
    const Four low = __builtin_shufflevector(a, b, 0, 4, 1, 5), high = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Four zx = __builtin_shufflevector(c, a, 0, 0, 5, 5), yz = __builtin_shufflevector(b, c, 1, 1, 5, 5),
               zx2 = __builtin_shufflevector(c, high, 2, 2, 6, 6), yz2 = __builtin_shufflevector(b, c, 3, 3, 7, 7);
    const Four four[3] = {__builtin_shufflevector(low, zx, 0, 1, 4, 6), __builtin_shufflevector(yz, high, 0, 2, 4, 5),
                          __builtin_shufflevector(zx2, yz2, 0, 2, 4, 6)};
    std::memcpy(&out[s], four, sizeof four);
  }
  for (; s < count; ++s) out[s] = {x[s], y[s], z[s]};
}

// A vertex is p + O, O = r q (u cos + w sin) per axis, u and w unit and
// across each other: the scaled O is at most |r| times the largest of
// s q, and |O_a| is at most sqrt 2 |r q_a|. The rounding, summed over the
// axes as |s_a| k (|p_a| + |O_a|), is at most k (sqrt 3 |centre| + sum
// |s_a c_a| + 1.5 |r| sum |s_a q_a|) with |s_a p_a| <= |d_a| + |s_a c_a|.
TubeReach::TubeReach(AVector quarter, const ModelScale& scale) : fScale(scale) {
  const double q[3] = {quarter.x, quarter.y, quarter.z};
  double stretch = 0, stretches = 0, centres = 0, least = 0;
  for (int a = 0; a < 3; ++a) {
    const double s = std::fabs(scale.s[a]);
    stretch = std::max(stretch, s * std::fabs(q[a]));
    stretches += s * std::fabs(q[a]);
    centres += s * std::fabs(scale.c[a]);
    least += s * kLeastFloatStep;
  }
  const double grown = 1 + kOwnRounding;
  fCentre = (1 + 2 * kRelativeRounding) * grown;
  fRadius = (stretch * (1 + kRelativeRounding) + 1.5 * kRelativeRounding * stretches) * grown;
  fRounding = (kRelativeRounding * centres + least) * grown;
}
