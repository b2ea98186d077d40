#include "graphs2d/A2DVectorPlot.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/CheckedConvert.h"
#include "CoreUtilities/drawing/DirectPixelDrawing.h"
#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/ArrowHead.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/LatticeAnchor.h"
#include "graphs2d/SegmentGeometry.h"

namespace {
std::atomic_ref<int32_t> ComputedFlag(A2DVectorPlot::Arrow& arrow) { return std::atomic_ref<int32_t>(arrow.computed); }

// Brings an offset into (-spacing, spacing); returns the lattice steps moved.
int32_t Wrap(int32_t* offset, int32_t spacing) {
  int32_t steps = 0;
  for (; *offset >= spacing; ++steps) *offset -= spacing;
  for (; *offset <= -spacing; --steps) *offset += spacing;
  return steps;
}
}  // namespace

bool A2DVectorPlot::IsComputed(const Arrow& arrow) {
  return std::atomic_ref<int32_t>(const_cast<int32_t&>(arrow.computed)).load(std::memory_order_acquire) != 0;
}

int32_t A2DVectorPlot::Spacing(double grain, int32_t cell) {
  const double g = std::isnan(grain) ? 0.5 : std::clamp(grain, 0.0, 1.0);
  return DoubleToInt32(100 - 90 * g + 0.5) * cell;
}

A2DVectorPlot::A2DVectorPlot(Compiled vx, Compiled vy, double grain, Colour colour, bool equalLength,
                             const A2DTransform& transform)
    : fTransform(transform),
      fDocument(transform.document),
      fVX(std::move(vx)),
      fVY(std::move(vy)),
      fColour(std::move(colour)),
      fEqualLength(equalLength),
      fSpacing(Spacing(grain, transform.xSampleFactor)),
      fJobs(this, GraphJobs::kOneJob) {
  AnExpression::Compile(fVX.get());
  AnExpression::Compile(fVY.get());
  MakeArrows();
  Submit();
}

A2DVectorPlot::~A2DVectorPlot() { Stop(); }

void A2DVectorPlot::Stop() { fJobs.Stop(fColour.get(), {fVX.get(), fVY.get()}); }

void A2DVectorPlot::Submit() {
  fDone.store(false, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), {fVX.get(), fVY.get()});
}

void A2DVectorPlot::MakeArrows() {
  fArrows.reset();  // before the new arrows are counted
  LatticeEdgeOffsets(fTransform, fSpacing, &fXOffset, &fYOffset);
  const MRect& r = fTransform.pixelRect;
  fColumns = std::max(0, (r.right - r.left - fXOffset) / fSpacing + 3);
  fRows = std::max(0, (r.bottom - r.top - fYOffset) / fSpacing + 3);
  fArrows = NewCountedArray<Arrow>(size_t(fColumns) * size_t(fRows), true);
  if (fArrows == nullptr) {
    QueueError(kOutOfMemoryError);
    fColumns = fRows = 0;
  }
  fLongest.store(0, std::memory_order_relaxed);
}

int32_t A2DVectorPlot::Compute(int32_t slice) {
  if (fArrows == nullptr) return fJobs.Finish(slice, kComputeNothingToDo, fDocument);
  if (fColour) fColour->Compute();
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  const double ratio = t.xUnitsPerPixel / t.yUnitsPerPixel;
  for (int32_t j = 0; j < fRows; ++j) {
    for (int32_t i = 0; i < fColumns; ++i) {
      Arrow& arrow = fArrows[j * fColumns + i];
      if (IsComputed(arrow)) continue;
      const double x = t.ITOX(r.left + fSpacing * (i - 1) + fXOffset);
      const double y = t.ITOY(r.bottom - (fSpacing * (j - 1) + fYOffset));
      const double vx = fVX->Evaluate(0, 0, x, y, 0, 0), vy = fVY->Evaluate(0, 0, x, y, 0, 0);
      fEvaluations.fetch_add(1, std::memory_order_relaxed);
      if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, fDocument);
      const double m = std::sqrt(vx * vx + ratio * ratio * vy * vy);
      if (std::isfinite(m) && m > fLongest.load(std::memory_order_relaxed)) {
        fLongest.store(m, std::memory_order_release);
      }
      arrow.x = x, arrow.y = y, arrow.vx = vx, arrow.vy = vy;
      ComputedFlag(arrow).store(1, std::memory_order_release);
    }
  }
  fDone.store(true, std::memory_order_release);
  return fJobs.Finish(slice, kComputeFinished, fDocument);
}

bool A2DVectorPlot::IsDoneComputing() { return fArrows ? fDone.load(std::memory_order_acquire) : fJobs.AllDone(); }

double A2DVectorPlot::Scale() const { return fSpacing * fTransform.xUnitsPerPixel / Longest(); }

void A2DVectorPlot::ScaleVector(double vx, double vy, double* sx, double* sy) const {
  const double k = Scale();
  *sx = std::isinf(k) ? 0 : k * vx;
  *sy = std::isinf(k) ? 0 : k * vy;
  const double length = std::hypot(*sx, *sy);
  const double m = std::min(fTransform.xUnitsPerPixel, fTransform.yUnitsPerPixel);
  const double ex = m * *sx / length, ey = m * *sy / length;
  if (!std::isfinite(1 / length)) return;
  // Room for the head: six pixels, but never more than the arrow's own
  // length, which would turn it round.
  const double pixels = fEqualLength ? fSpacing - 8 : length / m - std::min(length / m, 6.0);
  *sx = pixels * ex;
  *sy = pixels * ey;
}

void A2DVectorPlot::Draw() {
  if (IsCurveHidden(fColour.get()) || fArrows == nullptr || !std::isfinite(Scale())) return;
  OurPort* scratch = ArrowScratchWorld();
  if (scratch == nullptr || !OurLockPixels(scratch)) return;
  const A2DTransform& t = fTransform;
  const uint32_t rgb = CurveSolidColor(fColour.get());
  for (int32_t k = 0; k < fRows * fColumns; ++k) {
    const Arrow& arrow = fArrows[k];
    // Non-finite components are skipped, never converted.
    if (!IsComputed(arrow) || !std::isfinite(arrow.vx) || !std::isfinite(arrow.vy)) continue;
    double sx, sy;
    ScaleVector(arrow.vx, arrow.vy, &sx, &sy);
    if (!std::isfinite(sx) || !std::isfinite(sy)) continue;
    const MPoint tail{static_cast<int16_t>(t.YTOI_InfSafe(arrow.y)), static_cast<int16_t>(t.XTOI_InfSafe(arrow.x))};
    const MPoint head{static_cast<int16_t>(t.YTOI_InfSafe(arrow.y + sy)),
                      static_cast<int16_t>(t.XTOI_InfSafe(arrow.x + sx))};
    OurLineDraw(t.pixelRect, tail, head, rgb);
    DrawArrowHead(arrow.x, arrow.y, sx, sy, t, rgb, GetBaseAddress(scratch), GetRowBytes(scratch));
  }
  OurUnlockPixels(scratch);
}

void A2DVectorPlot::ViewChanged() {
  Stop();
  MakeArrows();
  Submit();
}

void A2DVectorPlot::PauseComputing() {
  if (fArrows) Stop();
}

void A2DVectorPlot::Pan(int32_t dh, int32_t dv) {
  if (fArrows == nullptr) return;
  Stop();
  fXOffset += dh;
  fYOffset -= dv;
  const int32_t columns = Wrap(&fXOffset, fSpacing), rows = Wrap(&fYOffset, fSpacing);
  const size_t count = size_t(fColumns) * size_t(fRows);
  CountedArray<Arrow> moved = NewCountedArray<Arrow>(count, true);
  if (moved == nullptr) {
    QueueError(kOutOfMemoryError);
  } else {
    for (int32_t j = 0; j < fRows; ++j) {
      for (int32_t i = 0; i < fColumns; ++i) {
        const int32_t fromI = i - columns, fromJ = j - rows;
        if (fromI < 0 || fromI >= fColumns || fromJ < 0 || fromJ >= fRows) continue;
        moved[j * fColumns + i] = fArrows[fromJ * fColumns + fromI];
      }
    }
  }
  fArrows = std::move(moved);
  if (fArrows == nullptr) fColumns = fRows = 0;
  Submit();
}

void A2DVectorPlot::InvalConstant(int32_t variableId) {
  AGraphColor::InvalConstants(fColour.get());
  fVX->InvalConstants();
  fVY->InvalConstants();
  if (fVX->Contains(variableId) || fVY->Contains(variableId) || CurveColorContains(fColour.get(), variableId)) {
    ViewChanged();
  }
}

// A colour code changes only the colour, which the pane's colour sets.
void A2DVectorPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeGrain) {
    Stop();
    fSpacing = Spacing(value, fTransform.xSampleFactor);
    ViewChanged();
  } else if (attribute == kAttributeEqualLengthArrows) {
    Stop();
    fEqualLength = value != 0;
    ViewChanged();
  }
}

int32_t A2DVectorPlot::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  if (fRows == 0) return 1;
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  const double xmin = t.ITOX(r.left - 0.5), xmax = t.ITOX(r.right - 0.5);
  const double ymin = t.ITOY(r.bottom - 0.5), ymax = t.ITOY(r.top - 0.5);
  const double k = Scale();
  for (int32_t n = 0; n < fRows * fColumns; ++n) {
    const Arrow& a = fArrows[n];
    if (std::isnan(a.vx) || std::isnan(a.vy)) continue;
    if (!std::isfinite(k)) return 0;
    const bool tailOnly = std::isinf(a.vx * a.vx + a.vy * a.vy);
    const double x2 = tailOnly ? a.x : a.x + k * a.vx, y2 = tailOnly ? a.y : a.y + k * a.vy;
    if (IsLineInRect(a.x, a.y, x2, y2, xmin, xmax, ymax, ymin)) return 0;
  }
  return 1;
}

bool A2DVectorPlot::IsPointOverCurve(double x, double y) {
  if (fArrows == nullptr || IsCurveHidden(fColour.get())) return false;
  const A2DTransform& t = fTransform;
  const double r = t.xUnitsPerPixel / t.yUnitsPerPixel, k = Scale();
  for (int32_t n = 0; n < fRows * fColumns; ++n) {
    const Arrow& a = fArrows[n];
    if (!IsComputed(a) || std::isnan(a.vx) || std::isnan(a.vy)) continue;
    const bool tailOnly = !std::isfinite(k) || std::isinf(a.vx * a.vx + a.vy * a.vy);
    const double x2 = tailOnly ? a.x : a.x + k * a.vx, y2 = tailOnly ? a.y : a.y + k * a.vy;
    if (DistanceToSegmentSquared(x, r * y, a.x, r * a.y, x2, r * y2) < 16 * t.xUnitsPerPixel * t.xUnitsPerPixel) {
      return true;
    }
  }
  return false;
}

Selection A2DVectorPlot::GetSelection(double x, double y) {
  Selection s;
  if (fArrows == nullptr) return s;
  s.kind = kSelectVector;
  s.x = x;
  s.y = y;
  s.xComponent = fVX->Evaluate(0, 0, x, y, 0, 0);
  s.yComponent = fVY->Evaluate(0, 0, x, y, 0, 0);
  ScaleVector(s.xComponent, s.yComponent, &s.arrow[0], &s.arrow[1]);
  s.color = CurveSolidColor(fColour.get());
  return s;
}
