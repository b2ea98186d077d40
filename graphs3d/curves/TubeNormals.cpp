#include "graphs3d/curves/TubeNormals.h"

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

// Lane vectors stay in registers only where these are inlined.
[[gnu::always_inline]] inline FloatLanes At(const float* axis, int32_t k) { return {&axis[k], lanes::element_aligned}; }

// Vectors of several sides, an axis a lane set.
struct LaneVectors {
  FloatLanes x, y, z;
};

[[gnu::always_inline]] inline LaneVectors At(const TubeRing& ring, int32_t k) {
  return {At(ring.x, k), At(ring.y, k), At(ring.z, k)};
}

[[gnu::always_inline]] inline LaneVectors operator-(const LaneVectors& a, const LaneVectors& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

[[gnu::always_inline]] inline LaneVectors Cross(const LaneVectors& a, const LaneVectors& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

[[gnu::always_inline]] inline FloatLanes Square(const LaneVectors& m) { return m.x * m.x + m.y * m.y + m.z * m.z; }

auto HeldInFloats(FloatLanes square) { return square >= kSmallestSquare && square <= kLargestSquare; }

[[gnu::always_inline]] inline LaneVectors Scaled(FloatLanes scale, const LaneVectors& m) {
  return {scale * m.x, scale * m.y, scale * m.z};
}

// The rule several sides at a time in floats, for rings wholly finite:
// there two vertices coincide exactly when their difference is zero, and
// then the cross product is zero too, which no side held in floats has.
// So sides are first taken as if nothing coincided, and a group of them
// with a square out of bounds is taken again with the replacements.
class WholeRing {
 public:
  WholeRing(const TubeRingPair& rings, int32_t sides, bool forward, Vertex* normals)
      : fRings(rings), fSides(sides), fForward(forward), fNormals(normals) {}

  void Compute() const {
    const float sign = fForward ? 1.0f : -1.0f;
    const int32_t last = (fSides - 1) / kFloatLanes * kFloatLanes;
    for (int32_t first = 0; first < last; first += kFloatLanes) Group<false>(first, sign, {});
    // The last side's neighbour around is the one before, which turns its
    // normal; lanes past the last side are padding.
    const FloatLanes lane([](auto l) { return float(l); });
    FloatLanes turn = sign;
    lanes::where(lane == float(fSides - 1 - last), turn) = -sign;
    Group<true>(last, turn, lane > float(fSides - 1 - last));
  }

 private:
  template <bool kMayPad>
  [[gnu::always_inline]] void Group(int32_t first, FloatLanes turn, FloatLanes::mask_type padding) const {
    const LaneVectors v = At(fRings.ringLanes, first);
    const LaneVectors m = Cross(At(fRings.alongLanes, first) - v, At(fRings.ringLanes, first + 1) - v);
    const FloatLanes square = Square(m);
    auto held = HeldInFloats(square);
    if constexpr (kMayPad) held = held || padding;
    if (!lanes::all_of(held)) {
      Replaced(first, turn);
      return;
    }
    const LaneVectors n = Scaled(turn / sqrt(square), m);
    if constexpr (kFloatLanes == 4) {
      if (!(kMayPad && lanes::any_of(padding))) {
        StoreFourVertices(FourOf(n.x), FourOf(n.y), FourOf(n.z), &fNormals[first]);
        return;
      }
    }
    EachLane([&](auto l) {
      if (!padding[l]) fNormals[first + l] = {n.x[l], n.y[l], n.z[l]};
    });
  }

  // A neighbour that coincides with its vertex gives way to the diagonal
  // one; sides whose square floats cannot hold are done in doubles.
  [[gnu::noinline, gnu::cold]] void Replaced(int32_t first, FloatLanes turn) const {
    const LaneVectors v = At(fRings.ringLanes, first), diagonal = At(fRings.alongLanes, first + 1) - v;
    LaneVectors a = At(fRings.alongLanes, first) - v, b = At(fRings.ringLanes, first + 1) - v;
    const auto aSame = a.x == 0 && a.y == 0 && a.z == 0, bSame = b.x == 0 && b.y == 0 && b.z == 0;
    lanes::where(aSame, a.x) = diagonal.x, lanes::where(aSame, a.y) = diagonal.y, lanes::where(aSame, a.z) = diagonal.z;
    lanes::where(bSame, b.x) = diagonal.x, lanes::where(bSame, b.y) = diagonal.y, lanes::where(bSame, b.z) = diagonal.z;
    const LaneVectors m = Cross(a, b);
    const FloatLanes square = Square(m);
    const auto held = HeldInFloats(square);
    const LaneVectors n = Scaled(turn / sqrt(square), m);
    const int32_t count = std::min(kFloatLanes, fSides - first);
    EachLane([&](auto l) {
      if (l >= count) return;
      if (held[l]) {
        fNormals[first + l] = {n.x[l], n.y[l], n.z[l]};
      } else {
        RingNormalsOneByOne(fRings.ring, fRings.along, first + l, first + l + 1, fSides, fForward, fNormals);
      }
    });
  }

  const TubeRingPair& fRings;
  int32_t fSides;
  bool fForward;
  Vertex* fNormals;
};

}  // namespace

void ComputeRingNormals(const TubeRingPair& rings, int32_t sides, bool forward, Vertex* normals) {
  if ((rings.ringLanes.state & kRingWhole) && (rings.alongLanes.state & kRingWhole)) {
    WholeRing(rings, sides, forward, normals).Compute();
  } else {
    RingNormalsOneByOne(rings.ring, rings.along, 0, sides, sides, forward, normals);
  }
}
