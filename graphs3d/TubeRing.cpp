#include "graphs3d/TubeRing.h"

namespace {

using DoubleLanes = lanes::native_simd<double>;
constexpr int32_t kDoubleLanes = int32_t(DoubleLanes::size());

}  // namespace

double LargestModelSquare(const TubeRing& ring, int32_t sides, const ModelScale& scale) {
  DoubleLanes largest = 0;
  for (int32_t s = 0; s < LanePadded(sides); s += kDoubleLanes) {
    const DoubleLanes x(&ring.x[s], lanes::element_aligned), y(&ring.y[s], lanes::element_aligned),
        z(&ring.z[s], lanes::element_aligned);
    const DoubleLanes dx = scale.s[0] * (x - scale.c[0]), dy = scale.s[1] * (y - scale.c[1]),
                      dz = scale.s[2] * (z - scale.c[2]);
    const DoubleLanes square = dx * dx + dy * dy + dz * dz;
    // As std::max(largest, square): NaN is never taken.
    lanes::where(largest < square, largest) = square;
  }
  return lanes::hmax(largest);
}
