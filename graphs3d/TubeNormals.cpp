#include "graphs3d/TubeNormals.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>

#include "CoreUtilities/DoubleLanes.h"
#include "renderer/AVector.h"

namespace {

bool Same(const Vertex& a, const Vertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

AVector Minus(const Vertex& a, const Vertex& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }

bool Finite(AVector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void Store(AVector unit, Vertex* normal) {
  if (Finite(unit)) *normal = {float(unit.x), float(unit.y), float(unit.z)};
}

// The neighbour around the ring: the next vertex, or on the last side the
// one before, the normal's sign then turned.
int32_t Around(int32_t s, int32_t sides) { return s + 1 == sides ? s - 1 : s + 1; }

double Sign(bool forward, int32_t s, int32_t sides) { return (forward ? 1.0 : -1.0) * (s + 1 == sides ? -1.0 : 1.0); }

// One vertex at a time, as the rule reads: for rings with a vertex that
// is not finite, where a coincidence cannot be told from a difference.
// Sides first to last - 1.
void RingNormalsOneByOne(const Vertex* ring, const Vertex* next, int32_t first, int32_t last, int32_t sides,
                         bool forward, Vertex* normals) {
  for (int32_t s = first; s < last; ++s) {
    const int32_t around = Around(s, sides);
    const Vertex& centre = ring[s];
    const Vertex* a = &next[s];
    if (Same(*a, centre)) a = &next[around];
    const Vertex* b = &ring[around];
    if (Same(*b, centre)) b = &next[around];
    const AVector n = Cross(Minus(*a, centre), Minus(*b, centre));
    Store((Sign(forward, s, sides) / std::sqrt(Dot(n, n))) * n, &normals[s]);
  }
}

// f(l) for every lane l, l a constant: lanes are read from registers.
template <typename F>
void EachLane(F f) {
  [&]<size_t... l>(std::index_sequence<l...>) { (f(std::integral_constant<int32_t, int32_t(l)>{}), ...); }
  (std::make_index_sequence<size_t(kDoubleLanes)>{});
}

DoubleLanes At(const double* axis, size_t k) { return {&axis[k], lanes::element_aligned}; }

// Whether one of the first n lanes of either difference is zero.
bool AnyZero(int32_t n, DoubleLanes ax, DoubleLanes ay, DoubleLanes az, DoubleLanes bx, DoubleLanes by,
             DoubleLanes bz) {
  const auto zero = (ax == 0 && ay == 0 && az == 0) || (bx == 0 && by == 0 && bz == 0);
  bool any = false;
  EachLane([&](auto l) { any |= l < n && zero[l]; });
  return any;
}

// The same arithmetic, several sides at a time, for rings wholly finite:
// there two vertices coincide exactly when their difference is zero. The
// last side, and lanes where a neighbour coincides, go one by one.
void WholeRingNormals(const Vertex* ring, const Vertex* next, const TubeCoordinates& coordinates, size_t base,
                      size_t nextBase, int32_t sides, bool forward, Vertex* normals) {
  const double* x = coordinates.X();
  const double* y = coordinates.Y();
  const double* z = coordinates.Z();
  const DoubleLanes sign = forward ? 1.0 : -1.0;
  for (int32_t first = 0; first + 1 < sides; first += kDoubleLanes) {
    const size_t c = base + size_t(first), n = nextBase + size_t(first);
    const DoubleLanes cx = At(x, c), cy = At(y, c), cz = At(z, c);
    const DoubleLanes ax = At(x, n) - cx, ay = At(y, n) - cy, az = At(z, n) - cz;
    const DoubleLanes bx = At(x, c + 1) - cx, by = At(y, c + 1) - cy, bz = At(z, c + 1) - cz;
    const int32_t stored = std::min(kDoubleLanes, sides - 1 - first);
    if (AnyZero(stored, ax, ay, az, bx, by, bz)) {
      RingNormalsOneByOne(ring, next, first, first + stored, sides, forward, normals);
      continue;
    }
    const DoubleLanes mx = ay * bz - az * by, my = az * bx - ax * bz, mz = ax * by - ay * bx;
    const DoubleLanes scale = sign / sqrt(mx * mx + my * my + mz * mz);
    const DoubleLanes ux = scale * mx, uy = scale * my, uz = scale * mz;
    EachLane([&](auto l) {
      if (l < stored) Store({ux[l], uy[l], uz[l]}, &normals[first + l]);
    });
  }
  RingNormalsOneByOne(ring, next, sides - 1, sides, sides, forward, normals);
}

}  // namespace

TubeCoordinates::TubeCoordinates(size_t vertices) {
  // A lane's room past the end: the last ring's neighbours around it are
  // loaded with it, and not used.
  const size_t room = vertices + size_t(kDoubleLanes);
  fAll.reset(new (std::nothrow) double[3 * room]);
  if (!fAll) return;
  fX = fAll.get(), fY = fX + room, fZ = fY + room;
  for (double* axis : {fX, fY, fZ}) std::fill(axis + vertices, axis + room, 0.0);
}

void ComputeTubeNormals(const Vertex* rings, const TubeCoordinates& coordinates, const uint8_t* states,
                        int32_t count, int32_t sides, Vertex* normals) {
  auto starts = [&](int32_t i) { return i >= 0 && i < count && (states[i] & kRingStartsFinite); };
  for (int32_t i = 0; i < count; ++i) {
    if (!starts(i)) continue;
    const bool forward = starts(i + 1);
    if (!forward && !starts(i - 1)) continue;
    const int32_t along = forward ? i + 1 : i - 1;
    const Vertex* ring = &rings[size_t(i) * size_t(sides)];
    const Vertex* next = &rings[size_t(along) * size_t(sides)];
    Vertex* out = &normals[size_t(i) * size_t(sides)];
    if (!coordinates.Empty() && (states[i] & kRingWhole) && (states[along] & kRingWhole)) {
      WholeRingNormals(ring, next, coordinates, size_t(i) * size_t(sides), size_t(along) * size_t(sides), sides,
                       forward, out);
    } else {
      RingNormalsOneByOne(ring, next, 0, sides, sides, forward, out);
    }
  }
}
