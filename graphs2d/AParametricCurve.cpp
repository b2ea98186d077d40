#include "graphs2d/AParametricCurve.h"
#include "graphs2d/CurveStroke.h"

#include <algorithm>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "evaluation/AnExpression.h"
#include "expression/VariableIds.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/SegmentGeometry.h"

namespace {
constexpr int32_t kPixelLimit = 16383;

AnExpression* CompiledDerivative(AnExpression* e) {
  AnExpression::Compile(e);
  if (!e->HasAnalyticDerivative()) return nullptr;
  AnExpression* derivative = e->CreateDerivativeExpr(kIdU);
  if (derivative) AnExpression::Compile(derivative);
  return derivative;
}

int32_t ClampedCurvePixel(double world, double pixelsPerUnit, double origin) {
  return std::clamp(WorldToPixel(world, pixelsPerUnit, origin), -kPixelLimit, kPixelLimit);
}

bool IsFinitePoint(const AParametricCurve::Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }
}  // namespace

int32_t AParametricCurve::PointCount(double grain) {
  const double g = std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0);
  return DoubleToInt32(800 * g + 200);
}

AParametricCurve::AParametricCurve(Compiled x, Compiled y, Colour colour, double grain, int32_t selectionType,
                                   const A2DTransform& transform, const double& tmin, const double& tmax)
    : fTransform(transform),
      fDocument(transform.document),
      fTMinSource(tmin),
      fTMaxSource(tmax),
      fX(std::move(x)),
      fY(std::move(y)),
      fColour(std::move(colour)),
      fCount(PointCount(grain)),
      fSelectionType(selectionType),
      fPick(tmin),
      fJobs(this, GraphJobs::kOneJob) {
  AllocatePoints();
  fXPrime.reset(CompiledDerivative(fX.get()));
  fYPrime.reset(CompiledDerivative(fY.get()));
  Submit();
}

AParametricCurve::~AParametricCurve() { Stop(); }

void AParametricCurve::AllocatePoints() {
  fPoints = NewCountedArray<Point>(static_cast<size_t>(fCount));
  if (fPoints == nullptr) QueueError(kOutOfMemoryError);
  fComputed.store(0, std::memory_order_relaxed);
}

void AParametricCurve::Stop() { fJobs.Stop(fColour.get(), {fX.get(), fY.get(), fXPrime.get(), fYPrime.get()}); }

void AParametricCurve::Submit() {
  fTMin.store(fTMinSource, std::memory_order_relaxed);
  fTMax.store(fTMaxSource, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), {fX.get(), fY.get(), fXPrime.get(), fYPrime.get()});
}

double AParametricCurve::Parameter(int32_t i) const {
  const double t0 = fTMin.load(std::memory_order_relaxed), t1 = fTMax.load(std::memory_order_relaxed);
  return t0 + i * (t1 - t0) / (fCount - 1);
}

int32_t AParametricCurve::Compute(int32_t slice) {
  if (fPoints == nullptr) return fJobs.Finish(slice, kComputeNothingToDo, fDocument);
  for (int32_t i = fComputed.load(std::memory_order_relaxed); i < fCount; ++i) {
    const double t = Parameter(i);
    const double x = fX->Evaluate(t), y = fY->Evaluate(t);
    if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
    fPoints[i] = Point{x, y};
    fComputed.store(i + 1, std::memory_order_release);
  }
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

bool AParametricCurve::IsDoneComputing() {
  return fPoints ? fComputed.load(std::memory_order_acquire) == fCount : fJobs.AllDone();
}

void AParametricCurve::Draw() {
  if (fPoints == nullptr || IsCurveHidden(fColour.get())) return;
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  CurveStroke stroke(r);
  // Segments are clipped to a circle round the view that the pixel bounds
  // hold, so that no end reaches the conversion out of range.
  const double cx = t.ITOX((r.left + r.right) / 2.0), cy = t.ITOY((r.top + r.bottom) / 2.0);
  const double radius =
      std::max((t.xAtPlus16383 - t.xAtMinus16383) / 2, std::fabs(t.yAtPlus16383 - t.yAtMinus16383) / 2);
  const int32_t computed = Computed();
  for (int32_t i = 1; i < computed; ++i) {
    const Point a = fPoints[i - 1], b = fPoints[i];
    if (!IsFinitePoint(a) || !IsFinitePoint(b)) continue;
    double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
    ClipLineToCircle(cx, cy, radius, &x1, &y1, &x2, &y2);
    stroke.Line(MPoint{int16_t(ClampedCurvePixel(y1, t.yPixelsPerUnit, t.yOrigin)),
                       int16_t(ClampedCurvePixel(x1, t.xPixelsPerUnit, t.xOrigin))},
                MPoint{int16_t(ClampedCurvePixel(y2, t.yPixelsPerUnit, t.yOrigin)),
                       int16_t(ClampedCurvePixel(x2, t.xPixelsPerUnit, t.xOrigin))});
  }
  stroke.Compose(CurveSolidColor(fColour.get()));
}

int32_t AParametricCurve::GraphVisibility() {
  if (fPoints == nullptr || !IsDoneComputing()) return 0;
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  const double xmin = t.ITOX(r.left), xmax = t.ITOX(r.right - 1), ymin = t.ITOY(r.bottom - 1), ymax = t.ITOY(r.top);
  int32_t visibility = 2;
  for (int32_t i = 1; i < fCount; ++i) {
    const Point a = fPoints[i - 1], b = fPoints[i];
    if (!IsFinitePoint(a) || !IsFinitePoint(b)) continue;
    if (IsLineInRect(a.x, a.y, b.x, b.y, xmin, xmax, ymax, ymin)) return 0;
    visibility = 5;
  }
  return visibility;
}

// A colour code changes only the colour, which the pane's colour sets.
void AParametricCurve::SetParameter(ViewAttribute attribute, double value) {
  if (attribute != kAttributeGrain) return;
  Stop();
  fPoints.reset();  // before the new array is counted
  fCount = PointCount(value);
  AllocatePoints();
  Submit();
}

void AParametricCurve::InvalConstant(int32_t variableId) {
  AGraphColor::InvalConstants(fColour.get());
  for (AnExpression* e : {fX.get(), fY.get(), fXPrime.get(), fYPrime.get()}) {
    if (e) e->InvalConstants();
  }
  if (fX->Contains(variableId) || fY->Contains(variableId)) {
    Stop();
    fComputed.store(0, std::memory_order_relaxed);
    Submit();
  } else if (CurveColorContains(fColour.get(), variableId)) {
    Stop();
    Submit();
  }
}
