#include "graphs3d/curves/A3DPoint.h"

#include <cmath>

#include "graphs3d/curves/CurveGrain.h"
#include "renderer/Submission.h"

namespace {

// A point of size 0 still shows.
constexpr double kSmallestRadius = 0.01;

}  // namespace

A3DPoint::A3DPoint(Compiled x, Compiled y, Compiled z, Colour colour, double size, double opacity,
                   MDrawContext* context)
    : fContext(context),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fColour(std::move(colour)),
      fSize(UsableGrain(size)),
      fOpacity(opacity),
      fJobs(this, GraphJobs::kOneJob) {
  UnitSphere();
  fColour->MaximizeIntensity();
  AnExpression::Compile(fX.get());
  AnExpression::Compile(fY.get());
  AnExpression::Compile(fZ.get());
  fColour->Compile();
  Restart();
}

A3DPoint::~A3DPoint() { Stop(); }

void A3DPoint::Stop() { fJobs.Stop(fColour.get(), {fX.get(), fY.get(), fZ.get()}); }

void A3DPoint::Restart() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(fColour.get(), {fX.get(), fY.get(), fZ.get()});
}

// The sphere is scaled per axis by the box's sides, and its normals by
// their inverses, so that it comes out round once the renderer makes the
// box a cube.
int32_t A3DPoint::Compute(int32_t slice) {
  const double x = fX->Evaluate(0), y = fY->Evaluate(0), z = fZ->Evaluate(0);
  fColour->Compute();
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fJobContext.document);
  const bool valid = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
  fValid.store(valid, std::memory_order_release);
  if (valid) {
    double sx, sy, sz;
    GetModelSpaceDimensions(&sx, &sy, &sz, fJobContext.space);
    const double r = fSize * 0.1 + kSmallestRadius;
    const UnitSphereMesh& sphere = UnitSphere();
    for (int32_t k = 0; k < kUnitSphereVertices; ++k) {
      const AVector& u = sphere.vertices[k];
      fPositions[k] = {float(x + r * sx * u.x), float(y + r * sy * u.y), float(z + r * sz * u.z)};
      fNormals[k] = {float(u.x / sx), float(u.y / sy), float(u.z / sz)};
    }
    fMaximumRadius.store(CalculateMaximumModelSpaceRadius(fPositions, kUnitSphereVertices, fJobContext.space),
                         std::memory_order_release);
  }
  return fJobs.Finish(slice, kComputeFinished, fJobContext.document);
}

void A3DPoint::ViewChanged() {
  Stop();
  fModelChanged = true;
  Restart();
}

void A3DPoint::InvalConstant(int32_t) {
  AnExpression::InvalConstants(fColour.get(), fX.get(), fY.get(), fZ.get());
  ViewChanged();
}

void A3DPoint::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor: fColour->Set(value); break;
    case kAttributeOpacity: fOpacity = value; break;
    case kAttributeGrain:
      fSize = UsableGrain(value);
      ViewChanged();
      break;
    case kAttributeSaveFinishedModels:
      if (!fModelChanged || !IsDoneComputing()) break;
      fModel.CacheModel(fPositions, fNormals, nullptr, nullptr, UnitSphere().triangles, kUnitSphereVertices,
                        kUnitSphereTriangles, false, fContext);
      fModelChanged = false;
      break;
    default: break;
  }
}

bool A3DPoint::Draw() {
  if (!IsValid() || fModel.GetMode() == VertexObject::kEmpty) return true;
  if (fColour->fType == AGraphColor::kHidden) return true;
  OurSubmitSolidColor(fColour->fSolidColor, fContext);
  OurSubmitOpacity(float(fOpacity), fContext);
  fModel.DrawCachedModel();
  return true;
}
