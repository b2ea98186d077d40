#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "CoreUtilities/MathConstants.h"
#include "graphs3d/ACurve3D.h"
#include "graphs3d/TubeFrames.h"
#include "renderer/Submission.h"

namespace {

// Segments index their points with 16 bits.
constexpr int32_t kLargestLineIndex = 65535;

bool Finite(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Same(const Vertex& a, const Vertex& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

AVector Minus(const Vertex& a, const Vertex& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }

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
  ComputeRings(space);
  ComputeTriangles();
  ComputeNormals();
  fMaximumRadius.store(CalculateMaximumModelSpaceRadius(fRingVertices.get(), fCount * fSides, space),
                       std::memory_order_release);
}

// Radii are in model units: the box spans 4 of them along every axis.
void ACurve3D::ComputeRings(const ModelSpace& space) {
  double dx, dy, dz;
  GetModelSpaceDimensions(&dx, &dy, &dz, space);
  const AVector quarter{dx / 4, dy / 4, dz / 4};
  std::vector<TubeFrame> frames(static_cast<size_t>(fCount));
  ComputeTubeFrames(fPoints, fCount, fStraight, quarter, frames.data());
  std::vector<double> cosines(static_cast<size_t>(fSides)), sines(static_cast<size_t>(fSides));
  for (int32_t s = 0; s < fSides; ++s) {
    const double angle = s * 2 * gPi / fSides;
    cosines[size_t(s)] = std::cos(angle), sines[size_t(s)] = std::sin(angle);
  }
  constexpr float kGap = std::numeric_limits<float>::quiet_NaN();
  for (int32_t i = 0; i < fCount; ++i) {
    Vertex* ring = &fRingVertices[size_t(i) * size_t(fSides)];
    const TubeFrame& f = frames[size_t(i)];
    if (!f.valid) {
      std::fill_n(ring, fSides, Vertex{kGap, kGap, kGap});
      continue;
    }
    const AVector u = f.side, w0 = Cross(u, f.tangent);
    const AVector w = (1 / std::sqrt(Dot(w0, w0))) * w0;
    const Vertex& p = fPoints[i];
    const double r = fRadii[i];
    for (int32_t s = 0; s < fSides; ++s) {
      const AVector d = cosines[size_t(s)] * u + sines[size_t(s)] * w;
      ring[s] = {float(p.x + r * quarter.x * d.x), float(p.y + r * quarter.y * d.y), float(p.z + r * quarter.z * d.z)};
    }
    if (fRingColours) std::fill_n(&fRingColours[size_t(i) * size_t(fSides)], fSides, fColours[i]);
  }
}

// A quad that touches a gap is left out. Gap rings are wholly NaN, but a
// vertex pushed past the range of float alone is not finite either: rings
// are checked whole, vertex by vertex only beside one that is not.
void ACurve3D::ComputeTriangles() {
  const Vertex* v = fRingVertices.get();
  const int32_t sides = fSides;
  int32_t count = 0;
  bool whole = RingIsWhole(0);
  for (int32_t i = 0; i + 1 < fCount; ++i) {
    const bool nextWhole = RingIsWhole(i + 1);
    for (int32_t s = 0; s < sides; ++s) {
      const int32_t a = i * sides + s, b = a + sides, c = i * sides + (s + 1 == sides ? 0 : s + 1), d = c + sides;
      if (!(whole && nextWhole) && !(Finite(v[a]) && Finite(v[b]) && Finite(v[c]) && Finite(v[d]))) continue;
      fTriangles[size_t(count++)] = {{a, d, c}};
      fTriangles[size_t(count++)] = {{a, b, d}};
    }
    whole = nextWhole;
  }
  fTriangleCount = count;
}

bool ACurve3D::RingIsWhole(int32_t i) const {
  const Vertex* ring = &fRingVertices[size_t(i) * size_t(fSides)];
  return std::all_of(ring, ring + fSides, Finite);
}

bool ACurve3D::RingIsFinite(int32_t i) const {
  return i >= 0 && i < fCount && Finite(fRingVertices[size_t(i) * size_t(fSides)]);
}

// Each normal comes from the vertex's neighbour along the curve and its
// neighbour around the ring. Rings beside a gap, like the last ring, take
// the curve neighbour on the other side.
void ACurve3D::ComputeNormals() {
  const Vertex* v = fRingVertices.get();
  for (int32_t i = 0; i < fCount; ++i) {
    if (!RingIsFinite(i)) continue;
    const bool forward = RingIsFinite(i + 1);
    if (!forward && !RingIsFinite(i - 1)) continue;
    const int32_t along = forward ? i + 1 : i - 1;
    for (int32_t s = 0; s < fSides; ++s) {
      const bool lastSide = s == fSides - 1;
      const int32_t around = lastSide ? s - 1 : s + 1;
      const double sign = (forward ? 1.0 : -1.0) * (lastSide ? -1.0 : 1.0);
      const Vertex& centre = v[i * fSides + s];
      const Vertex* a = &v[along * fSides + s];
      if (Same(*a, centre)) a = &v[along * fSides + around];
      const Vertex* b = &v[i * fSides + around];
      if (Same(*b, centre)) b = &v[along * fSides + around];
      const AVector n = Cross(Minus(*a, centre), Minus(*b, centre));
      const double length = std::sqrt(Dot(n, n));
      const AVector unit = (sign / length) * n;
      if (std::isfinite(unit.x) && std::isfinite(unit.y) && std::isfinite(unit.z))
        fRingNormals[size_t(i * fSides + s)] = {float(unit.x), float(unit.y), float(unit.z)};
    }
  }
}
