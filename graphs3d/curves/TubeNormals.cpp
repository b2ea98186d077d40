#include "graphs3d/curves/TubeNormals.h"

#include <cmath>
#include <type_traits>
#include <utility>

#include "renderer/AVector.h"

namespace {

AVector Minus(const Vertex& a, const Vertex& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }

bool Finite(AVector v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Zero(AVector v) { return v.x == 0 && v.y == 0 && v.z == 0; }

// The sides on either hand of side s.
int32_t SideBefore(int32_t s, int32_t sides) { return s == 0 ? sides - 1 : s - 1; }
int32_t SideAfter(int32_t s, int32_t sides) { return s + 1 == sides ? 0 : s + 1; }

// One vertex at a time in doubles, as the rule reads: for rings with a
// vertex that is not finite, where a coincidence cannot be told from a
// difference, and for normals past what floats carry. Sides first to
// last - 1.
void RingNormalsOneByOne(const TubeRingNeighbours& rings, int32_t first, int32_t last, int32_t sides, Vertex* normals) {
  for (int32_t s = first; s < last; ++s) {
    const int32_t down = SideBefore(s, sides), up = SideAfter(s, sides);
    AVector around = Minus(rings.ring[up], rings.ring[down]);
    if (Zero(around)) around = Minus(rings.after[up], rings.after[down]) + Minus(rings.before[up], rings.before[down]);
    const AVector n = Cross(Minus(rings.after[s], rings.before[s]), around);
    const AVector unit = (1 / std::sqrt(Dot(n, n))) * n;
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

// Sides k and on of the ring.
[[gnu::always_inline]] inline LaneVectors At(const TubeRing& ring, int32_t k) {
  return {At(ring.x, TubeRing::kFirst + k), At(ring.y, TubeRing::kFirst + k), At(ring.z, TubeRing::kFirst + k)};
}

[[gnu::always_inline]] inline LaneVectors operator-(const LaneVectors& a, const LaneVectors& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

[[gnu::always_inline]] inline LaneVectors operator+(const LaneVectors& a, const LaneVectors& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}

[[gnu::always_inline]] inline LaneVectors Cross(const LaneVectors& a, const LaneVectors& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

[[gnu::always_inline]] inline FloatLanes Square(const LaneVectors& m) { return m.x * m.x + m.y * m.y + m.z * m.z; }

[[gnu::always_inline]] inline auto Zero(const LaneVectors& m) { return m.x == 0 && m.y == 0 && m.z == 0; }

// m takes by's lanes where the mask is set.
[[gnu::always_inline]] inline void Replace(const FloatLanes::mask_type& where, const LaneVectors& by, LaneVectors& m) {
  lanes::where(where, m.x) = by.x, lanes::where(where, m.y) = by.y, lanes::where(where, m.z) = by.z;
}

auto HeldInFloats(FloatLanes square) { return square >= kSmallestSquare && square <= kLargestSquare; }

[[gnu::always_inline]] inline LaneVectors Scaled(FloatLanes scale, const LaneVectors& m) {
  return {scale * m.x, scale * m.y, scale * m.z};
}

// The chords around the ring and along the curve through sides first and
// on.
[[gnu::always_inline]] inline LaneVectors Around(const TubeRing& ring, int32_t first) {
  return At(ring, first + 1) - At(ring, first - 1);
}

[[gnu::always_inline]] inline LaneVectors Along(const TubeRingNeighbours& rings, int32_t first) {
  return At(rings.afterLanes, first) - At(rings.beforeLanes, first);
}

// The rule several sides at a time in floats, for rings wholly finite:
// there two vertices coincide exactly when their difference is zero, and
// then the cross product is zero too, which no side held in floats has.
// So sides are first taken as if no chord were of no length, and a group
// of them with a square out of bounds is taken again with the
// replacement. Lanes past the last side work on sides carried round and
// are not stored.
class WholeRing {
 public:
  WholeRing(const TubeRingNeighbours& rings, int32_t sides, Vertex* normals)
      : fRings(rings), fSides(sides), fNormals(normals) {}

  void Compute() const {
    for (int32_t first = 0; first < fSides; first += kFloatLanes) Group(first);
  }

 private:
  [[gnu::always_inline]] void Group(int32_t first) const {
    const LaneVectors m = Cross(Along(fRings, first), Around(fRings.ringLanes, first));
    const FloatLanes square = Square(m);
    if (!lanes::all_of(HeldInFloats(square))) {
      Replaced(first);
      return;
    }
    const LaneVectors n = Scaled(1 / sqrt(square), m);
    if constexpr (kFloatLanes == 4) {
      if (first + 4 <= fSides) {
        StoreFourVertices(FourOf(n.x), FourOf(n.y), FourOf(n.z), &fNormals[first]);
        return;
      }
    }
    EachLane([&](auto l) {
      if (first + l < fSides) fNormals[first + l] = {n.x[l], n.y[l], n.z[l]};
    });
  }

  // A chord around of no length gives way to those of the rings beside it;
  // sides whose square floats cannot hold are done in doubles.
  [[gnu::noinline, gnu::cold]] void Replaced(int32_t first) const {
    LaneVectors around = Around(fRings.ringLanes, first);
    Replace(Zero(around), Around(fRings.afterLanes, first) + Around(fRings.beforeLanes, first), around);
    const LaneVectors m = Cross(Along(fRings, first), around);
    const FloatLanes square = Square(m);
    const auto held = HeldInFloats(square);
    const LaneVectors n = Scaled(1 / sqrt(square), m);
    EachLane([&](auto l) {
      if (first + l >= fSides) return;
      if (held[l]) {
        fNormals[first + l] = {n.x[l], n.y[l], n.z[l]};
      } else {
        RingNormalsOneByOne(fRings, first + l, first + l + 1, fSides, fNormals);
      }
    });
  }

  const TubeRingNeighbours& fRings;
  int32_t fSides;
  Vertex* fNormals;
};

}  // namespace

void ComputeRingNormals(const TubeRingNeighbours& rings, int32_t sides, Vertex* normals) {
  if (rings.beforeLanes.state & rings.ringLanes.state & rings.afterLanes.state & kRingWhole) {
    WholeRing(rings, sides, normals).Compute();
  } else {
    RingNormalsOneByOne(rings, 0, sides, sides, normals);
  }
}
