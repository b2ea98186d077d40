#include "graphs3d/curves/ACurve3D.h"

#include <algorithm>
#include <cmath>

#include "graphs3d/curves/CurveGrain.h"
#include "graphs3d/GraphArrays.h"
#include "renderer/Submission.h"

namespace {

constexpr int32_t kCurveUndefinedMessage = 11;

}  // namespace

ACurve3D::ACurve3D(int32_t count, const Vertex* points, const double* radii, const ColorArrayElement* colours,
                   AGraphColor* colour, double grain, double opacity, bool straight, MDrawContext* context)
    : fContext(context),
      fCount(std::max(count, 0)),
      fPoints(points),
      fRadii(radii),
      fColours(colours),
      fColour(colour),
      fOpacity(opacity),
      fStraight(straight),
      fSides(TubeSideCount(grain)) {
  AllocateSpace();
}

bool ACurve3D::HasSpace() const {
  if (!IsTube()) return fSegments != nullptr;
  return fRingVertices && fRingNormals && fTriangles && (fColours == nullptr || fRingColours);
}

void ACurve3D::AllocateSpace() {
  const size_t count = size_t(fCount);
  if (IsTube()) {
    const size_t vertices = count * size_t(fSides);
    fRingVertices = AllocateGraphArray<Vertex>(vertices);
    fRingNormals = AllocateGraphArray<Vertex>(vertices);
    // Room past the end for the whole band a ring's quads are copied in.
    fTriangles = AllocateGraphArray<Triangle>(size_t(fSides) * (2 * std::max<size_t>(count, 1) - 2) +
                                              size_t(kTubeBandTriangles));
    if (fColours != nullptr) fRingColours = AllocateGraphArray<ColorArrayElement>(vertices);
  } else {
    fSegments = AllocateGraphArray<LineSegment>(std::max<size_t>(count, 1));
  }
  fAllQuadsKept = false;
  if (!HasSpace()) {
    FreeUpSpace();
    return;
  }
  ClearResults();
}

void ACurve3D::FreeUpSpace() {
  fSegments.reset(), fRingVertices.reset(), fRingNormals.reset(), fTriangles.reset(), fRingColours.reset();
}

void ACurve3D::ClearResults() {
  if (!HasSpace()) return;
  if (IsTube()) std::fill_n(fRingNormals.get(), size_t(fCount) * size_t(fSides), Vertex{0, 0, 0});
  fTriangleCount = 0;
  fSegmentCount = 0;
  fNeedsCaching = true;
  fComputed.store(false, std::memory_order_release);
}

void ACurve3D::ViewChanged() { ClearResults(); }

int32_t ACurve3D::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  const bool anyPoint = std::any_of(fPoints, fPoints + fCount, [](const Vertex& p) {
    return !std::isnan(p.x) && !std::isnan(p.y) && !std::isnan(p.z);
  });
  return anyPoint ? 0 : kCurveUndefinedMessage;
}

void ACurve3D::CacheFinishedModel() {
  if (!fNeedsCaching || !IsDoneComputing() || !HasSpace()) return;
  if (IsTube()) {
    fModel.CacheModel(fRingVertices.get(), fRingNormals.get(), fRingColours.get(), nullptr, fTriangles.get(),
                      fCount * fSides, fTriangleCount, false, fContext);
  } else if (fSegmentCount > 0) {
    fModel.CacheModel(fPoints, fSegments.get(), fColours, fCount, fSegmentCount, fContext);
  } else {
    fModel.ReleaseMemory();
  }
  fNeedsCaching = false;
}

void ACurve3D::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeGrain:
      FreeUpSpace();
      fSides = TubeSideCount(value);
      AllocateSpace();
      break;
    case kAttributeOpacity: fOpacity = value; break;
    case kAttributeSaveFinishedModels: CacheFinishedModel(); break;
    default: break;
  }
}

bool ACurve3D::Draw() {
  if (fModel.GetMode() == VertexObject::kEmpty || !HasSpace()) return true;
  if (fColour->fType == AGraphColor::kHidden) return true;
  if (!IsTube()) {
    OurSubmitSolidAmbientColor(fColour->fSolidColor, fContext);
  } else {
    OurSubmitOpacity(float(fOpacity), fContext);
    OurSubmitSolidColor(fColour->fSolidColor, fContext);
  }
  fModel.DrawCachedModel();
  return true;
}
