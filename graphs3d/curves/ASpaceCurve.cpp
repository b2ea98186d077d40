#include "graphs3d/curves/ASpaceCurve.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/MathConstants.h"
#include "graphs3d/curves/CurveGrain.h"
#include "graphs3d/GraphArrays.h"

namespace {

bool NotInfinite(double value) { return std::fabs(value) != INFINITY; }

ColorArrayElement Unpacked(uint32_t rgb) {
  return {float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255};
}

}  // namespace

ASpaceCurve::ASpaceCurve(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled condition, Colour colour,
                         double grain, double opacity, MDrawContext* context, const double& tmin, const double& tmax)
    : fContext(context),
      fTMin(&tmin),
      fTMax(&tmax),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fRadius(std::move(radius)),
      fCondition(std::move(condition)),
      fColour(std::move(colour)),
      fOpacity(opacity),
      fGrain(UsableGrain(grain)),
      fN(CurveSampleCount(grain)),
      fJobs(this, GraphJobs::kOneJob) {
  AnExpression::Compile(fX.get(), fY.get(), fZ.get());
  if (fRadius) AnExpression::Compile(fRadius.get());
  if (fCondition) AnExpression::Compile(fCondition.get());
  fColour->Compile();
  AllocateSpace();
  fColour->MaximizeIntensity();
  MakeTube();
  Restart();
}

ASpaceCurve::~ASpaceCurve() {
  Stop();
  fTube.reset();
}

#define ZL_CURVE_EXPRESSIONS \
  { fX.get(), fY.get(), fZ.get(), fRadius.get(), fCondition.get() }

void ASpaceCurve::Stop() { fJobs.Stop(fColour.get(), ZL_CURVE_EXPRESSIONS); }

void ASpaceCurve::Restart() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(fColour.get(), ZL_CURVE_EXPRESSIONS);
}

#undef ZL_CURVE_EXPRESSIONS

bool ASpaceCurve::HasColourArray() const {
  return fColour->fType != AGraphColor::kSolid && fColour->fType != AGraphColor::kHidden;
}

// The arrays are all there or none is.
bool ASpaceCurve::HasSpace() const { return fPoints != nullptr; }

// Colours other than equations have no value per point: the curve takes
// its solid colour there.
void ASpaceCurve::AllocateSpace() {
  fPoints = AllocateGraphArray<Vertex>(size_t(fN));
  if (fRadius) fRadii = AllocateGraphArray<double>(size_t(fN));
  if (HasColourArray()) fColours = AllocateGraphArray<ColorArrayElement>(size_t(fN));
  if ((fRadius && !fRadii) || (HasColourArray() && !fColours)) FreeUpSpace();
  if (fColours) std::fill_n(fColours.get(), fN, Unpacked(fColour->fSolidColor));
}

void ASpaceCurve::FreeUpSpace() { fPoints.reset(), fRadii.reset(), fColours.reset(); }

// A curve without its arrays gets an empty tube, which draws nothing.
void ASpaceCurve::MakeTube() {
  const bool space = HasSpace();
  fTube = std::make_unique<ACurve3D>(space ? fN : 0, fPoints.get(), fRadii.get(), fColours.get(), fColour.get(), fGrain,
                                     fOpacity, false, fContext);
}

int32_t ASpaceCurve::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  if (!HasSpace()) return fJobs.Finish(slice, kComputeNothingToDo, document);
  const bool equations =
      fColours && (fColour->fType == AGraphColor::kRGBEquations || fColour->fType == AGraphColor::kHSVEquations);
  const double t0 = *fTMin, step = (*fTMax - t0) / (fN - 1);
  for (int32_t i = 0; i < fN; ++i) {
    const double t = i == fN - 1 ? *fTMax : t0 + step * i;
    const double x = fX->Evaluate(t), y = fY->Evaluate(t), z = fZ->Evaluate(t);
    const double r = fRadius ? fRadius->Evaluate(t, 0, x, y, z, 0) : 0;
    const bool valid = NotInfinite(x) && NotInfinite(y) && NotInfinite(z) && NotInfinite(r) &&
                       (!fCondition || fCondition->Evaluate(t, 0, x, y, z, 0) == 1.0);
    fPoints[size_t(i)] = valid ? Vertex{float(x), float(y), float(z)} : Vertex{float(gNaN), float(gNaN), float(gNaN)};
    if (fRadii) fRadii[size_t(i)] = r;
    if (equations) {
      double red = 0, green = 0, blue = 0;
      fColour->ComputeExplicitColor(t, 0, x, y, z, 0, &red, &green, &blue);
      fColours[size_t(i)] = {float(red), float(green), float(blue)};
    }
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
  }
  fTube->ComputeCurve(fJobContext.space);
  return fJobs.Finish(slice, kComputeFinished, document);
}

void ASpaceCurve::ViewChanged() {
  Stop();
  fTube->ViewChanged();
  Restart();
}

void ASpaceCurve::InvalConstant(int32_t id) {
  AnExpression::InvalConstants(fColour.get(), fX.get(), fY.get(), fZ.get(), fRadius.get(), fCondition.get());
  const bool inRadius = fRadius && fRadius->Contains(id), inCondition = fCondition && fCondition->Contains(id);
  if (fX->Contains(id) || fY->Contains(id) || fZ->Contains(id) || inRadius || inCondition || fColour->Contains(id))
    ViewChanged();
}

void ASpaceCurve::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeColor:
      fColour->Set(value);
      fColour->MaximizeIntensity();
      break;
    case kAttributeGrain:
      Stop();
      fGrain = UsableGrain(value);
      fN = CurveSampleCount(value);
      FreeUpSpace();
      AllocateSpace();
      MakeTube();
      Restart();
      break;
    case kAttributeSaveFinishedModels:
    case kAttributeUpdateSavedVertexObjects:
    case kAttributeUpdateVertexObjects:
    case kAttributeOpacity:
      if (attribute == kAttributeOpacity) fOpacity = value;
      fTube->SetParameter(attribute, value);
      break;
    default: break;
  }
}
