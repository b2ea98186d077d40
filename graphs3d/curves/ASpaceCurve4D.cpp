#include "graphs3d/curves/ASpaceCurve4D.h"

#include <algorithm>
#include <cmath>

#include "graphs3d/curves/CurveGrain.h"
#include "graphs3d/GraphArrays.h"
#include "graphs3d/drawing/LineRuns.h"

namespace {

constexpr int32_t kCurveUndefinedForRanges = 11;

}  // namespace

ASpaceCurve4D::ASpaceCurve4D(Compiled x, Compiled y, Compiled z, Compiled w, Compiled condition, Colour colour,
                             double grain, MDrawContext* context, const MTransform4D& transform, const double& tmin,
                             const double& tmax)
    : fContext(context),
      fTransform(&transform),
      fTMin(&tmin),
      fTMax(&tmax),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fW(std::move(w)),
      fCondition(std::move(condition)),
      fColour(std::move(colour)),
      fN(CurveSampleCount(grain)),
      fJobs(this, GraphJobs::kOneJob) {
  AnExpression::Compile(fX.get(), fY.get(), fZ.get(), fW.get());
  if (fCondition) AnExpression::Compile(fCondition.get());
  fColour->MaximizeIntensity();
  AllocateSpace();
  Restart();
}

ASpaceCurve4D::ASpaceCurve4D(Compiled list, Colour colour, MDrawContext* context, const MTransform4D& transform)
    : fContext(context),
      fTransform(&transform),
      fX(std::move(list)),
      fIsList(true),
      fColour(std::move(colour)),
      fJobs(this, GraphJobs::kOneJob) {
  AnExpression** extracted = nullptr;
  fX->ExtractVertexListVectorComponents(&extracted, &fN);
  const std::unique_ptr<AnExpression*[]> components(extracted);
  if (components)
    for (int32_t k = 0; k < 4 * fN; ++k) fComponents.emplace_back(components[size_t(k)]);
  fColour->MaximizeIntensity();
  AllocateSpace();
  Restart();
}

ASpaceCurve4D::~ASpaceCurve4D() { Stop(); }

void ASpaceCurve4D::Stop() { fJobs.Stop(fColour.get(), {fX.get(), fY.get(), fZ.get(), fW.get(), fCondition.get()}); }

void ASpaceCurve4D::Restart() {
  for (int k = 0; k < 4; ++k) std::copy(fTransform->ranges[k], fTransform->ranges[k] + 2, fRanges[k]);
  if (fTMin != nullptr) fTRange[0] = *fTMin, fTRange[1] = *fTMax;
  fDocument = fContext != nullptr ? fContext->document : nullptr;
  fLargestSquare = 0;
  fJobs.Submit(fColour.get(), {fX.get(), fY.get(), fZ.get(), fW.get(), fCondition.get()});
}

void ASpaceCurve4D::AllocateSpace() {
  const size_t n = size_t(std::max(fN, 1));
  fPoints = AllocateGraphArray<A4Vector>(n);
  fValid = AllocateGraphArray<uint8_t>(n);
  fVertices = AllocateGraphArray<Vertex>(n);
  fDrawn = AllocateGraphArray<uint8_t>(n);
  fSegments = AllocateGraphArray<LineSegment>(size_t(std::min<int32_t>(fN, kVerticesPerRun)) + 1);
  if (!fPoints || !fValid || !fVertices || !fDrawn || !fSegments) {
    fPoints.reset(), fValid.reset(), fVertices.reset(), fDrawn.reset(), fSegments.reset();
    return;
  }
  std::fill_n(fValid.get(), n, 0);
}

// The coordinates of point i; false when it is no point of the curve.
bool ASpaceCurve4D::Sample(int32_t i, double* v) {
  double t = 0;
  if (IsList()) {
    for (int k = 0; k < 4; ++k) v[k] = fComponents[size_t(4 * i + k)]->Evaluate(0.0);
  } else {
    t = fN > 1 ? fTRange[0] + i * (fTRange[1] - fTRange[0]) / (fN - 1) : fTRange[0];
    AnExpression* const e[4] = {fX.get(), fY.get(), fZ.get(), fW.get()};
    for (int k = 0; k < 4; ++k) v[k] = e[k]->Evaluate(t);
  }
  if (!std::all_of(v, v + 4, [](double c) { return std::isfinite(c); })) return false;
  return !fCondition || fCondition->Evaluate(t, 0, v[0], v[1], v[2], v[3]) == 1.0;
}

int32_t ASpaceCurve4D::Compute(int32_t slice) {
  DocumentRecord* document = fDocument;
  if (!fPoints) return fJobs.Finish(slice, kComputeNothingToDo, document);
  double largest = 0;
  for (int32_t i = 0; i < fN; ++i) {
    double v[4];
    bool valid = Sample(i, v);
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
    double n[4], square = 0;
    for (int k = 0; k < 4; ++k) {
      n[k] = 2 * (v[k] - fRanges[k][0]) / (fRanges[k][1] - fRanges[k][0]) - 1;
      square += n[k] * n[k];
    }
    valid = valid && std::isfinite(square);
    if (valid) largest = std::max(largest, square);
    fPoints[size_t(i)] = {n[0], n[1], n[2], n[3]};
    fValid[size_t(i)] = valid;
  }
  fLargestSquare = largest;
  return fJobs.Finish(slice, kComputeFinished, document);
}

int32_t ASpaceCurve4D::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  if (!fValid || !std::any_of(fValid.get(), fValid.get() + fN, [](uint8_t v) { return v != 0; }))
    return kCurveUndefinedForRanges;
  return 0;
}

double ASpaceCurve4D::MaximumModelSpaceRadius() { return IsDoneComputing() ? std::sqrt(fLargestSquare) : 0; }

void ASpaceCurve4D::Draw() {
  if (fColour->fType == AGraphColor::kHidden || !fPoints || !IsDoneComputing()) return;
  // A segment is drawn when both its ends are valid and in front.
  bool previous = false;
  for (int32_t i = fN - 1; i >= 0; --i) {
    AVector p{};
    double colour = -1;
    if (fValid[size_t(i)]) ToSpace(*fTransform, fPoints[size_t(i)], &p, &colour);
    fVertices[size_t(i)] = {float(p.x), float(p.y), float(p.z)};
    const bool shown = fValid[size_t(i)] && colour >= 0;
    fDrawn[size_t(i)] = shown && previous;
    previous = shown;
  }
  OurSubmitSolidAmbientColor(fColour->fSolidColor, fContext);
  SubmitPolylineRuns(fVertices.get(), fDrawn.get(), fN, fSegments.get(), fContext);
}

void ASpaceCurve4D::ViewChanged() {
  Stop();
  Restart();
}

void ASpaceCurve4D::InvalConstant(int32_t id) {
  AnExpression::InvalConstants(fColour.get(), fX.get(), fY.get(), fZ.get(), fW.get(), fCondition.get());
  for (const auto& component : fComponents) component->InvalConstants();
  const bool uses = fX->Contains(id) || (fY && fY->Contains(id)) || (fZ && fZ->Contains(id)) ||
                    (fW && fW->Contains(id)) || (fCondition && fCondition->Contains(id));
  if (uses) ViewChanged();
}

void ASpaceCurve4D::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor:
      fColour->Set(value);
      fColour->MaximizeIntensity();
      break;
    case kAttributeGrain:
      // A list keeps one point per vector.
      if (IsList()) break;
      Stop();
      fN = CurveSampleCount(value);
      AllocateSpace();
      Restart();
      break;
    default: break;
  }
}
