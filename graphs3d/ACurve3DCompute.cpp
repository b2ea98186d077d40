#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "graphs3d/ACurve3D.h"
#include "graphs3d/RingCircle.h"
#include "graphs3d/TubeFrames.h"
#include "renderer/Submission.h"

namespace {

// Segments index their points with 16 bits.
constexpr int32_t kLargestLineIndex = 65535;

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The two triangles of each quad between ring 0 and ring 1; those of later
// rings differ by a whole number of rings.
void QuadBand(int32_t sides, Triangle* band) {
  for (int32_t s = 0; s < sides; ++s) {
    const int32_t a = s, b = a + sides, c = s + 1 == sides ? 0 : s + 1, d = c + sides;
    *band++ = {{a, d, c}};
    *band++ = {{a, b, d}};
  }
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
    if (Finite(fPoints[i]) && Finite(fPoints[i + 1])) fSegments[size_t(segments++)] = {{uint16_t(i), uint16_t(i + 1)}};
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
  Triangle band[2 * kMostTubeSides];
  QuadBand(fSides, band);
  RingWindow window;
  Triangle* triangles = fTriangles.get();
  PlaceRing(0, frames[0], quarter, circle, window[0]);
  for (int32_t i = 0; i < fCount; ++i) {
    if (i + 1 < fCount) {
      PlaceRing(i + 1, frames[size_t(i + 1)], quarter, circle, window[size_t((i + 1) % 3)]);
      triangles = AppendQuads(i, window, band, triangles);
    }
    ComputeNormals(i, window);
  }
  fTriangleCount = int32_t(triangles - fTriangles.get());
  fMaximumRadius.store(CalculateMaximumModelSpaceRadius(fRingVertices.get(), fCount * fSides, space),
                       std::memory_order_release);
}

void ACurve3D::PlaceRing(int32_t i, const TubeFrame& frame, AVector quarter, const RingCircle& circle,
                         TubeRing& lanes) {
  Vertex* ring = &fRingVertices[size_t(i) * size_t(fSides)];
  if (!frame.valid) {
    constexpr float kGap = std::numeric_limits<float>::quiet_NaN();
    std::fill_n(ring, fSides, Vertex{kGap, kGap, kGap});
    lanes.state = 0;
    return;
  }
  const AVector u = frame.side, w0 = Cross(u, frame.tangent);
  const AVector w = (1 / std::sqrt(Dot(w0, w0))) * w0;
  const Vertex& p = fPoints[i];
  const double r = fRadii[i];
  circle.Place({p.x, p.y, p.z}, {r * quarter.x, r * quarter.y, r * quarter.z}, u, w, ring, lanes);
  if (fRingColours) std::fill_n(&fRingColours[size_t(i) * size_t(fSides)], fSides, fColours[i]);
}

// A quad that touches a gap is left out. Gap rings are wholly NaN, but a
// vertex pushed past the range of float alone is not finite either: rings
// are known whole from their making, vertex by vertex only beside one that
// is not.
Triangle* ACurve3D::AppendQuads(int32_t i, const RingWindow& window, const Triangle* band, Triangle* out) const {
  const int32_t sides = fSides, offset = i * sides;
  if ((window[size_t(i % 3)].state & kRingWhole) && (window[size_t((i + 1) % 3)].state & kRingWhole)) {
    for (int32_t k = 0; k < 2 * sides; ++k) {
      const Triangle& t = band[k];
      *out++ = {{t.v[0] + offset, t.v[1] + offset, t.v[2] + offset}};
    }
    return out;
  }
  const Vertex* v = fRingVertices.get();
  for (int32_t k = 0; k < 2 * sides; k += 2) {
    const int32_t a = band[k].v[0] + offset, b = band[k + 1].v[1] + offset, c = band[k].v[2] + offset,
                  d = band[k].v[1] + offset;
    if (!(Finite(v[a]) && Finite(v[b]) && Finite(v[c]) && Finite(v[d]))) continue;
    *out++ = {{a, d, c}};
    *out++ = {{a, b, d}};
  }
  return out;
}

// The normals of ring i look to the next ring, or to the one before where
// the next is missing (the last ring, and rings before a gap).
void ACurve3D::ComputeNormals(int32_t i, const RingWindow& window) {
  auto starts = [&](int32_t k) { return k >= 0 && k < fCount && (window[size_t(k % 3)].state & kRingStartsFinite); };
  if (!starts(i)) return;
  const bool forward = starts(i + 1);
  if (!forward && !starts(i - 1)) return;
  const int32_t along = forward ? i + 1 : i - 1;
  const size_t sides = size_t(fSides);
  const TubeRingPair rings{&fRingVertices[size_t(i) * sides], &fRingVertices[size_t(along) * sides],
                           window[size_t(i % 3)], window[size_t(along % 3)]};
  ComputeRingNormals(rings, fSides, forward, &fRingNormals[size_t(i) * sides]);
}
