#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "graphs3d/ACurve3D.h"
#include "graphs3d/RingCircle.h"
#include "graphs3d/TubeFrames.h"
#include "graphs3d/TubeNormals.h"
#include "renderer/Submission.h"

namespace {

// Segments index their points with 16 bits.
constexpr int32_t kLargestLineIndex = 65535;

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

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

void ACurve3D::ComputeTube(const ModelSpace& space) {
  TubeCoordinates coordinates(size_t(fCount) * size_t(fSides));
  ComputeRings(space, coordinates);
  ComputeTriangles();
  ComputeNormals(coordinates);
  fMaximumRadius.store(CalculateMaximumModelSpaceRadius(fRingVertices.get(), fCount * fSides, space),
                       std::memory_order_release);
}

// Radii are in model units: the box spans 4 of them along every axis.
void ACurve3D::ComputeRings(const ModelSpace& space, TubeCoordinates& coordinates) {
  double dx, dy, dz;
  GetModelSpaceDimensions(&dx, &dy, &dz, space);
  const AVector quarter{dx / 4, dy / 4, dz / 4};
  std::vector<TubeFrame> frames(static_cast<size_t>(fCount));
  ComputeTubeFrames(fPoints, fCount, fStraight, quarter, frames.data());
  RingCircle circle(fSides);
  constexpr float kGap = std::numeric_limits<float>::quiet_NaN();
  for (int32_t i = 0; i < fCount; ++i) {
    Vertex* ring = &fRingVertices[size_t(i) * size_t(fSides)];
    const TubeFrame& f = frames[size_t(i)];
    if (!f.valid) {
      std::fill_n(ring, fSides, Vertex{kGap, kGap, kGap});
      fRingStates[i] = 0;
      continue;
    }
    const AVector u = f.side, w0 = Cross(u, f.tangent);
    const AVector w = (1 / std::sqrt(Dot(w0, w0))) * w0;
    const Vertex& p = fPoints[i];
    const double r = fRadii[i];
    fRingStates[i] = circle.Place({p.x, p.y, p.z}, {r * quarter.x, r * quarter.y, r * quarter.z}, u, w, ring,
                                  coordinates, size_t(i) * size_t(fSides));
    if (fRingColours) std::fill_n(&fRingColours[size_t(i) * size_t(fSides)], fSides, fColours[i]);
  }
}

// A quad that touches a gap is left out. Gap rings are wholly NaN, but a
// vertex pushed past the range of float alone is not finite either: rings
// are known whole from their making, vertex by vertex only beside one that
// is not.
void ACurve3D::ComputeTriangles() {
  const Vertex* v = fRingVertices.get();
  const int32_t sides = fSides;
  Triangle* out = fTriangles.get();
  for (int32_t i = 0; i + 1 < fCount; ++i) {
    const bool whole = (fRingStates[i] & kRingWhole) && (fRingStates[i + 1] & kRingWhole);
    for (int32_t s = 0; s < sides; ++s) {
      const int32_t a = i * sides + s, b = a + sides, c = i * sides + (s + 1 == sides ? 0 : s + 1), d = c + sides;
      if (!whole && !(Finite(v[a]) && Finite(v[b]) && Finite(v[c]) && Finite(v[d]))) continue;
      *out++ = {{a, d, c}};
      *out++ = {{a, b, d}};
    }
  }
  fTriangleCount = int32_t(out - fTriangles.get());
}

void ACurve3D::ComputeNormals(const TubeCoordinates& coordinates) {
  ComputeTubeNormals(fRingVertices.get(), coordinates, fRingStates.get(), fCount, fSides, fRingNormals.get());
}
