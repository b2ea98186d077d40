#include "graphs2d/ADEPlot.h"
#include "graphs2d/CurveStroke.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/LatticeAnchor.h"
#include "graphs2d/SegmentGeometry.h"

namespace {
constexpr int32_t kFieldPixelLimit = 16383;
constexpr int32_t kLatticeCurvePoints = 1000;
constexpr int32_t kStartPointCurvePoints = 4000;
constexpr double kSixth = 0.16666666666666666;

int32_t ClampedPixel(double world, double pixelsPerUnit, double origin) {
  return std::clamp(WorldToPixel(world, pixelsPerUnit, origin), -kFieldPixelLimit, kFieldPixelLimit);
}

double SignOrPrevious(double value, double previous) { return value > 0 ? 1 : value < 0 ? -1 : previous; }
}  // namespace

int32_t ADEPlot::Spacing(double grain, int32_t sampleFactor) {
  const double g = std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0);
  return DoubleToInt32(200 - 150 * g + 0.5) * sampleFactor;
}

ADEPlot::ADEPlot(Compiled first, Compiled second, Compiled startX, Compiled startY, Colour colour, double grain,
                 const A2DTransform& transform)
    : fTransform(transform),
      fDocument(transform.document),
      fFirst(std::move(first)),
      fSecond(std::move(second)),
      // One start expression without the other gives none.
      fStartX(startX && startY ? std::move(startX) : nullptr),
      fStartY(fStartX ? std::move(startY) : nullptr),
      fColour(std::move(colour)),
      fSpacing(Spacing(grain, transform.xSampleFactor)),
      fJobs(this, GraphJobs::kOneJob) {
  if (!HasStartPoint()) MakeGrid();
  for (AnExpression* e : {fFirst.get(), fSecond.get(), fStartX.get(), fStartY.get()}) {
    if (e) AnExpression::Compile(e);
  }
  Submit();
}

ADEPlot::~ADEPlot() {
  Stop();
  FreeCurves();
}

void ADEPlot::Stop() { fJobs.Stop(fColour.get(), {fFirst.get(), fSecond.get(), fStartX.get(), fStartY.get()}); }

void ADEPlot::Submit() {
  fDone.store(false, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), {fFirst.get(), fSecond.get(), fStartX.get(), fStartY.get()});
}

void ADEPlot::SetEdgeOffset() { LatticeEdgeOffsets(fTransform, fSpacing, &fXOffset, &fYOffset); }

void ADEPlot::MakeGrid() {
  fGrid.reset();  // before the new grid is counted
  SetEdgeOffset();
  const MRect& r = fTransform.pixelRect;
  fColumns = std::max(0, (r.right - r.left - fXOffset) / fSpacing + 3);
  fRows = std::max(0, (r.bottom - r.top - fYOffset) / fSpacing + 3);
  const size_t bytes = size_t(fColumns) * 2 * size_t(fRows) * 2;
  fGrid = NewCountedArray<uint8_t>(bytes, true);
  if (fGrid == nullptr) QueueError(kOutOfMemoryError);
}

uint8_t* ADEPlot::CoverageCell(int32_t h, int32_t v) {
  const MRect& r = fTransform.pixelRect;
  const int32_t column = ((h - r.left - fXOffset) * 2 + fSpacing / 2) / fSpacing;
  const int32_t row = ((r.bottom - v - fYOffset) * 2 + fSpacing / 2) / fSpacing;
  if (column < 0 || column >= fColumns * 2 || row < 0 || row >= fRows * 2) return nullptr;
  return fGrid.get() + size_t(row) * size_t(fColumns) * 2 + size_t(column);
}

void ADEPlot::FreeCurves() {
  OurLock lock(fCurveMutex);
  decltype(fCurves)().swap(fCurves);
}

double ADEPlot::EvaluateDyDx(double x, double y, double* signX, double* signY) {
  *signX = *signY = 1;
  if (fSecond == nullptr) return fFirst->Evaluate(x, y);
  const double a = fFirst->Evaluate(x, y), b = fSecond->Evaluate(x, y);
  if (std::fabs(a) < 0.001 * fTransform.xUnitsPerPixel && std::fabs(b) < 0.001 * fTransform.yUnitsPerPixel) {
    return NAN;
  }
  *signX = a >= 0 ? 1 : -1;
  *signY = b >= 0 ? 1 : -1;
  return b / a;
}

std::unique_ptr<SolutionPath> ADEPlot::Propagate(double x, double y, double direction, Tracing tracing) {
  std::unique_ptr<SolutionPath> curve(new (std::nothrow) SolutionPath);
  if (curve == nullptr) {
    QueueError(kOutOfMemoryError);
    return nullptr;
  }
  const A2DTransform& t = fTransform;
  const bool counts = tracing == kForPlot && fGrid != nullptr && !HasStartPoint();
  const int32_t limit = HasStartPoint() ? kStartPointCurvePoints : kLatticeCurvePoints;
  double signX, signY;
  double s = EvaluateDyDx(x, y, &signX, &signY);
  bool alongX = std::fabs(s) <= 1;
  double walk = direction * (alongX ? signX : signY);
  double lastX = 1, lastY = 1;
  auto slope = [&](double px, double py) {
    double ignoredX, ignoredY;
    return EvaluateDyDx(px, py, &ignoredX, &ignoredY);
  };
  while (curve->Count() < limit && t.IsPointOnScreen(x, y)) {
    if (tracing == kForPlot && fJobs.Cancelled()) break;
    if (counts) {
      uint8_t* cell =
          CoverageCell(WorldToPixel(x, t.xPixelsPerUnit, t.xOrigin), WorldToPixel(y, t.yPixelsPerUnit, t.yOrigin));
      if (cell && *cell < 255) ++*cell;
    }
    if (curve->Add(dePoint{x, y}) != 0) {
      QueueError(kOutOfMemoryError);
      return nullptr;
    }
    s = slope(x, y);
    if (std::fabs(s) > 1) {
      if (alongX) walk = lastY;
      alongX = false;
      const double h = walk * t.yUnitsPerPixel;
      const double k1 = h / s;
      const double k2 = h / slope(x + k1 / 2, y + h / 2);
      const double k3 = h / slope(x + k2 / 2, y + h / 2);
      const double k4 = h / slope(x + k3, y + h);
      const double dx = (k1 + 2 * k2 + 2 * k3 + k4) * kSixth;
      x += dx;
      y = std::fabs(dx) > 1.5 * std::fabs(h) ? NAN : y + h;
      lastX = SignOrPrevious(dx, lastX);
    } else {
      if (!alongX) walk = lastX;
      alongX = true;
      const double h = walk * t.xUnitsPerPixel;
      const double k1 = s * h;
      const double k2 = h * slope(x + h / 2, y + k1 / 2);
      const double k3 = h * slope(x + h / 2, y + k2 / 2);
      const double k4 = h * slope(x + h, y + k3);
      double dy = (k1 + 2 * k2 + 2 * k3 + k4) * kSixth;
      if (std::fabs(dy) > 1.5 * std::fabs(h)) dy = NAN;
      x += h;
      y += dy;
      lastY = SignOrPrevious(dy, lastY);
    }
  }
  return curve;
}

void ADEPlot::Add(std::unique_ptr<SolutionPath> curve) {
  if (curve == nullptr || fJobs.Cancelled()) return;
  OurLock lock(fCurveMutex);
  if (!RoomForOneMore(fCurves)) {
    QueueError(kOutOfMemoryError);
    return;
  }
  fCurves.push_back(std::move(curve));
}

void ADEPlot::TraceLattice() {
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  for (int32_t i = 0; i < fRows; ++i) {
    for (int32_t j = 0; j < fColumns; ++j) {
      const int32_t h = r.left + (j - 1) * fSpacing + fXOffset;
      const int32_t v = r.bottom - (i - 1) * fSpacing - fYOffset;
      const double x = t.ITOX(h), y = t.ITOY(v);
      const uint8_t* cell = CoverageCell(h, v);
      if (t.IsPointOnScreen(x, y) && (cell == nullptr || *cell == 0)) {
        Add(Propagate(x, y, +1, kForPlot));
        Add(Propagate(x, y, -1, kForPlot));
      }
      if (fJobs.Cancelled()) return;
    }
  }
}

int32_t ADEPlot::Compute(int32_t slice) {
  if (!HasStartPoint() && fGrid == nullptr) return fJobs.Finish(slice, kComputeNothingToDo, fDocument);
  if (fColour) fColour->Compute();
  if (!fTraced.load(std::memory_order_relaxed)) {
    if (HasStartPoint()) {
      const double x = fStartX->Evaluate(0.0), y = fStartY->Evaluate(0.0);
      Add(Propagate(x, y, +1, kForPlot));
      Add(Propagate(x, y, -1, kForPlot));
    } else {
      TraceLattice();
    }
  }
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
  fTraced.store(true, std::memory_order_relaxed);
  fDone.store(true, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

bool ADEPlot::IsDoneComputing() {
  return (HasStartPoint() || fGrid) ? fDone.load(std::memory_order_acquire) : fJobs.AllDone();
}

void ADEPlot::ViewChanged() {
  Stop();
  Retrace();
}

void ADEPlot::Retrace() {
  FreeCurves();
  if (!HasStartPoint()) MakeGrid();
  fTraced.store(false, std::memory_order_relaxed);
  Submit();
}

void ADEPlot::PauseComputing() { Stop(); }

void ADEPlot::InvalConstant(int32_t variableId) {
  AGraphColor::InvalConstants(fColour.get());
  bool traced = false;
  for (AnExpression* e : {fFirst.get(), fSecond.get(), fStartX.get(), fStartY.get()}) {
    if (!e) continue;
    e->InvalConstants();
    traced = traced || e->Contains(variableId);
  }
  if (traced) {
    ViewChanged();
  } else if (CurveColorContains(fColour.get(), variableId)) {
    Stop();
    // Curves cut short stay only once tracing is finished.
    if (fTraced.load(std::memory_order_relaxed)) {
      Submit();
    } else {
      Retrace();
    }
  }
}

// A colour code changes only the colour, which the pane's colour sets.
void ADEPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute != kAttributeGrain || HasStartPoint()) return;
  Stop();
  fSpacing = Spacing(value, fTransform.xSampleFactor);
  ViewChanged();
}

void ADEPlot::Draw() {
  if (IsCurveHidden(fColour.get())) return;
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  CurveStroke stroke(r);
  // Segments are clipped to a circle round the view that the pixel bounds
  // hold, so that no end reaches the conversion out of range.
  const double cx = t.ITOX((r.left + r.right) / 2.0), cy = t.ITOY((r.top + r.bottom) / 2.0);
  const double radius =
      std::max((t.xAtPlus16383 - t.xAtMinus16383) / 2, std::fabs(t.yAtPlus16383 - t.yAtMinus16383) / 2);
  OurLock lock(fCurveMutex);
  for (const std::unique_ptr<SolutionPath>& path : fCurves) {
    const SolutionPath& curve = *path;
    for (int32_t i = 1; i < curve.Count(); ++i) {
      double x1 = curve[i - 1].x, y1 = curve[i - 1].y, x2 = curve[i].x, y2 = curve[i].y;
      if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) continue;
      ClipLineToCircle(cx, cy, radius, &x1, &y1, &x2, &y2);
      stroke.Line(MPoint{int16_t(ClampedPixel(y1, t.yPixelsPerUnit, t.yOrigin)),
                         int16_t(ClampedPixel(x1, t.xPixelsPerUnit, t.xOrigin))},
                  MPoint{int16_t(ClampedPixel(y2, t.yPixelsPerUnit, t.yOrigin)),
                         int16_t(ClampedPixel(x2, t.xPixelsPerUnit, t.xOrigin))});
    }
  }
  stroke.Compose(CurveSolidColor(fColour.get()));
}

bool ADEPlot::IsPointOverCurve(double, double) { return !IsCurveHidden(fColour.get()); }

Selection ADEPlot::GetSelection(double x, double y) {
  Selection s;
  s.kind = kSelectSolutionPaths;
  s.x = x;
  s.y = y;
  s.color = CurveSolidColor(fColour.get());
  s.path1 = Propagate(x, y, +1, kForSelection);
  if (fSecond == nullptr) s.path2 = Propagate(x, y, -1, kForSelection);
  return s;
}
