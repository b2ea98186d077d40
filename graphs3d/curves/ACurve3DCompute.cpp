#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

#include "graphs3d/curves/ACurve3D.h"
#include "graphs3d/curves/RingCircle.h"
#include "graphs3d/curves/TubeFrames.h"
#include "renderer/Submission.h"

namespace {

// Segments index their points with 16 bits.
constexpr int32_t kLargestLineIndex = 65535;

bool IsFiniteCurveVertex(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The corners of the two triangles of each quad between ring 0 and ring 1,
// three a triangle; those of later rings differ by a whole number of rings.
constexpr int32_t kBandRoom = 3 * kTubeBandTriangles;
static_assert(kBandRoom % kFloatLanes == 0 && sizeof(Triangle) == 3 * sizeof(int32_t));
using QuadBand = std::array<int32_t, size_t(kBandRoom)>;

QuadBand QuadBandOf(int32_t sides) {
  QuadBand band{};
  auto corner = band.begin();
  for (int32_t s = 0; s < sides; ++s) {
    const int32_t a = s, b = a + sides, c = s + 1 == sides ? 0 : s + 1, d = c + sides;
    for (int32_t k : {a, d, c, a, b, d}) *corner++ = k;
  }
  return band;
}

// The largest distance of a ring vertex from the box centre, as
// CalculateMaximumModelSpaceRadius gives it over all of them, measured on
// the ring that reaches farthest and on those whose reach is no less than
// what that one measures.
double LargestRadius(const Vertex* rings, int32_t sides, const std::vector<double>& reaches, int32_t farthest,
                     const ModelSpace& space) {
  if (farthest < 0) return 0;
  auto measured = [&](size_t i) { return CalculateMaximumModelSpaceRadius(&rings[i * size_t(sides)], sides, space); };
  double largest = measured(size_t(farthest));
  for (size_t i = 0; i < reaches.size(); ++i)
    if (reaches[i] >= largest && i != size_t(farthest)) largest = std::max(largest, measured(i));
  return largest;
}

}  // namespace

void ACurve3D::ComputeCurve(const ModelSpace& space) {
  if (IsDoneComputing() || !HasSpace()) return;
  if (fCount >= 2) {
    if (IsTube()) {
      ComputeTube(space);
    } else {
      ComputeLines(space);
    }
  }
  fComputed.store(true, std::memory_order_release);
}

void ACurve3D::ComputeLines(const ModelSpace& space) {
  int32_t segments = 0;
  for (int32_t i = 0; i + 1 < fCount && i + 1 <= kLargestLineIndex; ++i)
    if (IsFiniteCurveVertex(fPoints[i]) && IsFiniteCurveVertex(fPoints[i + 1]))
      fSegments[size_t(segments++)] = {{uint16_t(i), uint16_t(i + 1)}};
  fSegmentCount = segments;
  fMaximumRadius.store(CalculateMaximumModelSpaceRadius(fPoints, fCount, space), std::memory_order_release);
}

// Each ring is made once, its quads and the normals of the ring before it
// following while it is at hand. Radii are in model units: the box spans 4
// of them along every axis.
void ACurve3D::ComputeTube(const ModelSpace& space) {
  double dx, dy, dz;
  GetModelSpaceDimensions(&dx, &dy, &dz, space);
  const AVector quarter{dx / 4, dy / 4, dz / 4};
  std::vector<TubeFrame> frames(static_cast<size_t>(fCount));
  ComputeTubeFrames(fPoints, fCount, fStraight, quarter, frames.data());
  const RingCircle circle(fSides);
  alignas(lanes::memory_alignment_v<IntLanes>) const QuadBand band = QuadBandOf(fSides);
  std::array<TubeRing, 3> window;
  Triangle* triangles = fTriangles.get();
  // While every quad so far is drawn, the triangles are those of the last
  // computation if that drew every quad too.
  bool kept = fAllQuadsKept;
  ModelScale scale;
  const bool scaled = ScaleOf(space, scale);
  // Rings left out reach nowhere.
  std::vector<double> reaches(static_cast<size_t>(fCount), -1);
  int32_t farthest = -1;
  const TubeReach reachOf(quarter, scale);
  auto place = [&](int32_t i, TubeRing& lanes) {
    if (!PlaceRing(i, frames[size_t(i)], quarter, circle, lanes) || !scaled) return;
    const double reach = reachOf(fPoints[i], fRadii[i], lanes.state);
    reaches[size_t(i)] = reach;
    if (farthest < 0 || reach > reaches[size_t(farthest)]) farthest = i;
  };
  // The rings before, at and after the one whose normals are made; none
  // before the first or after the last.
  TubeRing *before = &window[2], *ring = &window[0], *after = &window[1];
  place(0, *ring);
  for (int32_t i = 0; i < fCount; ++i) {
    if (i + 1 < fCount) {
      place(i + 1, *after);
      triangles = AppendQuads(i, *ring, *after, band.data(), kept, triangles);
    } else {
      after->state = 0;
    }
    ComputeNormals(i, *before, *ring, *after);
    TubeRing* const spare = before;
    before = ring, ring = after, after = spare;
  }
  fTriangleCount = int32_t(triangles - fTriangles.get());
  fAllQuadsKept = fTriangleCount == 2 * fSides * (fCount - 1);
  fMaximumRadius.store(LargestRadius(fRingVertices.get(), fSides, reaches, farthest, space), std::memory_order_release);
}

bool ACurve3D::PlaceRing(int32_t i, const TubeFrame& frame, const AVector& quarter, const RingCircle& circle,
                         TubeRing& lanes) {
  Vertex* ring = &fRingVertices[size_t(i) * size_t(fSides)];
  if (!frame.valid) {
    constexpr float kGap = std::numeric_limits<float>::quiet_NaN();
    std::fill_n(ring, fSides, Vertex{kGap, kGap, kGap});
    lanes.state = 0;
    return false;
  }
  const Vertex& p = fPoints[i];
  const double r = fRadii[i];
  circle.Place({p.x, p.y, p.z}, {r * quarter.x, r * quarter.y, r * quarter.z}, frame.side, frame.across, ring, lanes);
  if (fRingColours) std::fill_n(&fRingColours[size_t(i) * size_t(fSides)], fSides, fColours[i]);
  return true;
}

// A quad that touches a gap is left out. Gap rings are wholly NaN, but a
// vertex pushed past the range of float alone is not finite either: rings
// are known whole from their making, vertex by vertex only beside one that
// is not.
Triangle* ACurve3D::AppendQuads(int32_t i, const TubeRing& ring, const TubeRing& next, const int32_t* band, bool& kept,
                                Triangle* out) const {
  const int32_t sides = fSides, offset = i * sides;
  if (ring.state & next.state & kRingWhole) {
    if (kept) return out + 2 * sides;
    // The whole band goes in one copy of known size; past 2 * sides its
    // triangles are written over by the next ring's, or lie in the room
    // kept past the end.
    alignas(lanes::memory_alignment_v<IntLanes>) int32_t corners[kBandRoom];
    for (int32_t k = 0; k < kBandRoom; k += kFloatLanes)
      (IntLanes(&band[k], lanes::vector_aligned) + offset).copy_to(&corners[k], lanes::vector_aligned);
    std::memcpy(out, corners, sizeof(corners));
    return out + 2 * sides;
  }
  kept = false;
  const Vertex* v = fRingVertices.get();
  for (int32_t k = 0; k < 6 * sides; k += 6) {
    const int32_t a = band[k] + offset, d = band[k + 1] + offset, c = band[k + 2] + offset, b = band[k + 4] + offset;
    if (!(IsFiniteCurveVertex(v[a]) && IsFiniteCurveVertex(v[b]) && IsFiniteCurveVertex(v[c]) &&
          IsFiniteCurveVertex(v[d])))
      continue;
    *out++ = {{a, d, c}};
    *out++ = {{a, b, d}};
  }
  return out;
}

// The normals of ring i look to the rings on both sides of it along the
// curve; a ring alone, between gaps or ends, has none.
void ACurve3D::ComputeNormals(int32_t i, const TubeRing& before, const TubeRing& ring, const TubeRing& after) {
  if (!(ring.state & kRingStartsFinite)) return;
  const bool hasBefore = before.state & kRingStartsFinite, hasAfter = after.state & kRingStartsFinite;
  if (!hasBefore && !hasAfter) return;
  const size_t sides = size_t(fSides), at = size_t(i) * sides;
  const Vertex* here = &fRingVertices[at];
  const TubeRingNeighbours rings{hasBefore ? here - sides : here, here, hasAfter ? here + sides : here,
                                 hasBefore ? before : ring,       ring, hasAfter ? after : ring};
  ComputeRingNormals(rings, fSides, &fRingNormals[at]);
}
