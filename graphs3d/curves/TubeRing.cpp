#include "graphs3d/curves/TubeRing.h"

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

Four FourAt(const float* p) {
  Four v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

void StoreVertices(const float* x, const float* y, const float* z, int32_t count, Vertex* out) {
  int32_t s = 0;
  for (; s + 4 <= count; s += 4) StoreFourVertices(FourAt(&x[s]), FourAt(&y[s]), FourAt(&z[s]), &out[s]);
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
