#include "graphs3d/fields/AnArrow3D.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/MathConstants.h"

namespace {

constexpr double kSqrt3 = 1.732050807568877;

AVector AsVector(const Vertex& v) { return {v.x, v.y, v.z}; }

Vertex ArrowVertex(AVector v) { return {float(v.x), float(v.y), float(v.z)}; }

double Norm(AVector v) { return std::sqrt(Dot(v, v)); }

AVector Normalised(AVector v) { return (1 / Norm(v)) * v; }

AVector PerAxis(AVector a, AVector b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

bool IsFiniteArrowVertex(const Vertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A unit vector square to the direction, from whichever axis is further
// from it.
AVector SquareTo(AVector d) {
  return Normalised(std::fabs(d.z) <= std::fabs(d.x) ? Cross(d, {0, 0, 1}) : Cross(d, {1, 0, 0}));
}

}  // namespace

AnArrow3D::AnArrow3D(const Vertex& start, const Vertex& tip, double radius, AGraphColor* colour, bool single,
                     bool headless, MDrawContext* context, const ModelSpace& space)
    : fContext(context),
      fStart(start),
      fTip(tip),
      fRadius(radius),
      fColour(colour),
      fHeadPointCount(single ? 4 : 3),
      fHeadless(headless),
      fSingle(single) {
  if (fRadius != 0)
    fTube = std::make_unique<ACurve3D>(kTubePoints, fPoints, fRadii, nullptr, fColour, 1.0, 1.0, true, fContext);
  ComputeGeometry(space);
}

void AnArrow3D::ComputeGeometry(const ModelSpace& space) {
  fComputed.store(false, std::memory_order_release);
  const double length = Norm(AsVector(fTip) - AsVector(fStart));
  const bool same = fStart.x == fTip.x && fStart.y == fTip.y && fStart.z == fTip.z;
  if (!IsFiniteArrowVertex(fStart) || !IsFiniteArrowVertex(fTip) || same || !(length > 0) || !std::isfinite(length))
    return;
  if (fTube) {
    ComputeThickArrow(space);
  } else {
    ComputeLineArrow(space);
  }
  fNeedsCaching = true;
  fComputed.store(true, std::memory_order_release);
}

void AnArrow3D::ComputeLineArrow(const ModelSpace& space) {
  AVector extent;
  GetModelSpaceDimensions(&extent.x, &extent.y, &extent.z, space);
  const AVector tip = AsVector(fTip), d = tip - AsVector(fStart);
  fPoints[0] = fTip, fPoints[1] = fStart;
  if (!fHeadless) {
    for (int32_t k = 0; k < fHeadPointCount; ++k) {
      const double angle = 2 * gPi * k / fHeadPointCount;
      AVector offset;
      if (fSingle) {
        const AVector unit = Normalised({d.x / extent.x, d.y / extent.y, d.z / extent.z});
        const AVector u = SquareTo(unit), w = Normalised(Cross(unit, u));
        offset = PerAxis(0.05 * (std::cos(angle) * u + std::sin(angle) * w) - 0.1 * unit, extent);
      } else {
        const AVector u = SquareTo(d), w = Normalised(Cross(d, u));
        const double smallest = std::min({extent.x, extent.y, extent.z}), length = Norm(d);
        const double head = std::min(0.6, 0.0125 * smallest / length + 0.15);
        offset = 0.1 * length * (std::cos(angle) * u + std::sin(angle) * w) - head * d;
      }
      fPoints[2 + k] = ArrowVertex(tip + offset);
    }
  }
  fMaximumRadius = CalculateMaximumModelSpaceRadius(fPoints, 2, space);
}

// The gaps split the tube into a disc closing the start, the shaft, the
// ring under the head and the cone.
void AnArrow3D::ComputeThickArrow(const ModelSpace& space) {
  const AVector start = AsVector(fStart), tip = AsVector(fTip), d = tip - start;
  const double length = Norm(d);
  const double r = std::min(std::fabs(fRadius), 0.5 * length);
  const double shaft = std::min(2 * r, 0.7 * length);
  const double headRadius = std::max(r, shaft);
  const double headLength = std::min(0.7 * length, kSqrt3 * shaft);
  const Vertex base = ArrowVertex(tip - (headLength / length) * d);
  const Vertex gap{float(gNaN), float(gNaN), float(gNaN)};
  const Vertex points[kTubePoints] = {fStart, fStart, gap, fStart, base, gap, base, base, gap, base, fTip};
  const double radii[kTubePoints] = {0, r, gNaN, r, r, gNaN, r, headRadius, gNaN, headRadius, 0};
  std::copy_n(points, kTubePoints, fPoints);
  std::copy_n(radii, kTubePoints, fRadii);
  fTube->ViewChanged();
  fTube->ComputeCurve(space);
  fMaximumRadius = fTube->MaximumModelSpaceRadius();
}

void AnArrow3D::CacheLineModel() {
  if (!fNeedsCaching || !IsDrawable()) return;
  const int32_t heads = fHeadless ? 0 : fHeadPointCount;
  LineSegment segments[5];
  for (int32_t k = 0; k <= heads; ++k) segments[k] = {{0, uint16_t(k + 1)}};
  fLineModel.CacheModel(fPoints, segments, nullptr, heads + 2, heads + 1, fContext);
  fNeedsCaching = false;
}

void AnArrow3D::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeColor) {
    fColour->Set(value);
    return;
  }
  if (!fTube) {
    if (attribute == kAttributeSaveFinishedModels) CacheLineModel();
    return;
  }
  if (!IsDrawable()) return;
  switch (attribute) {
    case kAttributeSaveFinishedModels:
    case kAttributeUpdateSavedVertexObjects:
    case kAttributeUpdateVertexObjects:
    case kAttributeOpacity: fTube->SetParameter(attribute, value); break;
    case kAttributeGrain:
      fTube->SetParameter(attribute, value);
      ComputeGeometry(ModelSpaceOf(fContext));
      break;
    default: break;
  }
}

bool AnArrow3D::Draw() {
  if (fTube) return !IsDrawable() || fTube->Draw();
  if (fLineModel.GetMode() == VertexObject::kEmpty || !IsDrawable()) return true;
  if (fColour->fType == AGraphColor::kHidden) return true;
  OurSubmitSolidAmbientColor(fColour->fSolidColor, fContext);
  fLineModel.DrawCachedModel();
  return true;
}
