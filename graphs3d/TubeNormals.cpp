#include "graphs3d/TubeNormals.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "renderer/AVector.h"

namespace {

bool Same(const Vertex& a, const Vertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

AVector Minus(const Vertex& a, const Vertex& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }

bool Finite(AVector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The neighbour around the ring: the next vertex, or on the last side the
// one before, the normal's sign then turned.
int32_t Around(int32_t s, int32_t sides) { return s + 1 == sides ? s - 1 : s + 1; }

double Sign(bool forward, int32_t s, int32_t sides) { return (forward ? 1.0 : -1.0) * (s + 1 == sides ? -1.0 : 1.0); }

// One vertex at a time in doubles, as the rule reads: for rings with a
// vertex that is not finite, where a coincidence cannot be told from a
// difference, and for normals past what floats carry. Sides first to
// last - 1.
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
    const AVector unit = (Sign(forward, s, sides) / std::sqrt(Dot(n, n))) * n;
    if (Finite(unit)) normals[s] = {float(unit.x), float(unit.y), float(unit.z)};
  }
}

// The squared lengths of a cross product that floats hold with room to
// spare: outside them a product may have left float's range or lost its
// precision, and the vertex is worked out in doubles.
constexpr float kSmallestSquare = 0x1p-100f, kLargestSquare = 0x1p100f;

// f(l) for every lane l, l a constant: lanes are read from registers.
template <typename F>
void EachLane(F f) {
  [&]<size_t... l>(std::index_sequence<l...>) { (f(std::integral_constant<int32_t, int32_t(l)>{}), ...); }
  (std::make_index_sequence<size_t(kFloatLanes)>{});
}

FloatLanes At(const float* axis, int32_t k) { return {&axis[k], lanes::element_aligned}; }

// The rule several sides at a time in floats, for rings wholly finite:
// there two vertices coincide exactly when their difference is zero.
void WholeRingNormals(const TubeRingPair& rings, int32_t sides, bool forward, Vertex* normals) {
  const TubeRing &v = rings.ringLanes, &a = rings.alongLanes;
  const float sign = forward ? 1.0f : -1.0f;
  const FloatLanes lane([](auto l) { return float(l); });
  for (int32_t first = 0; first < sides; first += kFloatLanes) {
    FloatLanes turn = sign;
    lanes::where(lane == float(sides - 1 - first), turn) = -sign;
    const FloatLanes vx = At(v.x, first), vy = At(v.y, first), vz = At(v.z, first);
    FloatLanes ax = At(a.x, first) - vx, ay = At(a.y, first) - vy, az = At(a.z, first) - vz;
    FloatLanes bx = At(v.x, first + 1) - vx, by = At(v.y, first + 1) - vy, bz = At(v.z, first + 1) - vz;
    const auto aSame = ax == 0 && ay == 0 && az == 0, bSame = bx == 0 && by == 0 && bz == 0;
    if (lanes::any_of(aSame || bSame)) {
      const FloatLanes dx = At(a.x, first + 1) - vx, dy = At(a.y, first + 1) - vy, dz = At(a.z, first + 1) - vz;
      lanes::where(aSame, ax) = dx, lanes::where(aSame, ay) = dy, lanes::where(aSame, az) = dz;
      lanes::where(bSame, bx) = dx, lanes::where(bSame, by) = dy, lanes::where(bSame, bz) = dz;
    }
    const FloatLanes mx = ay * bz - az * by, my = az * bx - ax * bz, mz = ax * by - ay * bx;
    const FloatLanes square = mx * mx + my * my + mz * mz;
    const auto held = square >= kSmallestSquare && square <= kLargestSquare;
    const FloatLanes scale = turn / sqrt(square);
    const FloatLanes ux = scale * mx, uy = scale * my, uz = scale * mz;
    const int32_t count = std::min(kFloatLanes, sides - first);
    if (count == kFloatLanes && lanes::all_of(held)) {
      EachLane([&](auto l) { normals[first + l] = {ux[l], uy[l], uz[l]}; });
      continue;
    }
    EachLane([&](auto l) {
      if (l >= count) return;
      if (held[l]) {
        normals[first + l] = {ux[l], uy[l], uz[l]};
      } else {
        RingNormalsOneByOne(rings.ring, rings.along, first + l, first + l + 1, sides, forward, normals);
      }
    });
  }
}

}  // namespace

void ComputeRingNormals(const TubeRingPair& rings, int32_t sides, bool forward, Vertex* normals) {
  if ((rings.ringLanes.state & kRingWhole) && (rings.alongLanes.state & kRingWhole)) {
    WholeRingNormals(rings, sides, forward, normals);
  } else {
    RingNormalsOneByOne(rings.ring, rings.along, 0, sides, sides, forward, normals);
  }
}
