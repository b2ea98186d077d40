#include "graphs2d/AFunctionOf_XorY.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/AnExpression.h"
#include "expression/VariableIds.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/FunctionGraphColor.h"
#include "graphs2d/PixelClassification.h"
#include "graphs2d/RootFinding.h"

AFunctionOf_XorY::AFunctionOf_XorY(Compiled f, bool yOfX, Colour colour, int32_t mode, const A2DTransform& transform)
    : fTransform(transform),
      fF(std::move(f)),
      fColour(std::move(colour)),
      fMode(mode >= kPlotSampling && mode <= kPlotIntervalPixelTests ? mode : kPlotIntervalPixelTests),
      fYOfX(yOfX),
      fJobs(this, GraphJobs::kOnePerProcessor) {
  AllocateRecords(CurrentColumnCount());
  PrepareTheMachines();
  Restart();
}

AFunctionOf_XorY::~AFunctionOf_XorY() {
  Stop();
  FreeRecords();
}

void AFunctionOf_XorY::PrepareTheMachines() {
  AnExpression::Compile(fF.get());
  if (!fF->HasAnalyticDerivative()) return;
  fFPrime.reset(fF->CreateDerivativeExpr(kIdU));
  if (fFPrime) AnExpression::Compile(fFPrime.get());
}

int32_t AFunctionOf_XorY::CurrentColumnCount() const {
  const MRect& r = fTransform.pixelRect;
  return std::max(0, fYOfX ? r.right - r.left : r.bottom - r.top);
}

void AFunctionOf_XorY::AllocateRecords(int32_t count) {
  fCount = 0;
  fRecords = nullptr;
  if (count <= 0) return;
  void* memory = OurAllocateMemory(sizeof(dPoint) * static_cast<size_t>(count), true);
  if (memory == nullptr) {
    QueueError(kOutOfMemoryError);
    return;
  }
  fRecords = static_cast<dPoint*>(memory);
  std::uninitialized_value_construct_n(fRecords, count);
  fCount = count;
}

void AFunctionOf_XorY::FreeRecords() {
  if (fRecords) std::destroy_n(fRecords, fCount);
  OurDisposeMemory(fRecords);
  fRecords = nullptr;
  fCount = 0;
}

double AFunctionOf_XorY::ColumnWidth() const { return fYOfX ? fTransform.xUnitsPerPixel : fTransform.yUnitsPerPixel; }

double AFunctionOf_XorY::ColumnEdge(int32_t k) const {
  const A2DTransform& t = fTransform;
  if (fYOfX) return (t.pixelRect.left + k - 0.5 - t.xOrigin) * t.xUnitsPerPixel;
  return (t.yOrigin - t.pixelRect.bottom + k + 0.5) * t.yUnitsPerPixel;
}

int64_t AFunctionOf_XorY::ColumnOf(double v) const {
  const A2DTransform& t = fTransform;
  if (fYOfX) return int64_t{WorldToPixel(v, t.xPixelsPerUnit, t.xOrigin)} - t.pixelRect.left;
  return int64_t{t.pixelRect.bottom} - 1 - WorldToPixel(v, t.yPixelsPerUnit, t.yOrigin);
}

int32_t AFunctionOf_XorY::DependentPixel(double value) const {
  return fYOfX ? fTransform.YTOI_InfSafe(value) : fTransform.XTOI_InfSafe(value);
}

int32_t AFunctionOf_XorY::Compute(int32_t slice) {
  if (fRecords == nullptr) return fJobs.Finish(slice, kComputeNothingToDo, fTransform.document);
  const int32_t jobs = std::max(1, fJobs.Count());
  const int32_t band = (fLast - fFirst + 1) / jobs + 1;
  const int32_t from = fFirst + band * slice;
  const int32_t to = std::min(fFirst + band * (slice + 1) - 1, fCount - 1);
  tFunctionEvaluations = 0;
  int64_t computed = 0;
  int32_t status = kComputeFinished;
  for (int32_t k = from; k <= to; ++k) {
    if (fRecords[k].type.load(std::memory_order_acquire) != kColumnPending) continue;
    // Each edge from its own index, so that a column's upper edge is its
    // neighbour's lower edge to the bit, whichever job reaches it first.
    const double lo = ColumnEdge(k), hi = ColumnEdge(k + 1);
    fRecords[k].centre = (lo + hi) / 2;
    ComputeDPoint(lo, hi, k);
    ++computed;
    if (Cancelled()) {
      status = kComputeCancelled;
      break;
    }
  }
  fColumnsComputed.fetch_add(computed, std::memory_order_relaxed);
  fEvaluations.fetch_add(tFunctionEvaluations, std::memory_order_relaxed);
  return fJobs.Finish(slice, status, fTransform.document);
}

void AFunctionOf_XorY::ComputeDPoint(double lo, double hi, int32_t k) {
  dPoint* p = &fRecords[k];
  const dPoint* before = k > 0 ? &fRecords[k - 1] : nullptr;
  const double left = before && before->type.load(std::memory_order_acquire) != kColumnPending
                          ? before->right
                          : EvaluateAt(fF.get(), lo);
  const double right = EvaluateAt(fF.get(), hi);
  p->right = right;
  double mn = left, mx = right;
  if (mn > mx) std::swap(mn, mx);
  double ilo = 0, ihi = 0;
  if (fMode != kPlotSampling) EncloseOver(fF.get(), lo, hi, &ilo, &ihi);
  if (Cancelled()) return;
  int32_t type = kColumnPending;
  switch (fMode) {
    case kPlotSampling:
      p->lo = mn, p->hi = mx;
      type = std::isnan(mn) || std::isnan(mx) ? kColumnUndefined : kColumnEdges;
      // A steep column may hold a pole, which its edges would join.
      if (type == kColumnEdges && std::abs(DependentPixel(mx) - DependentPixel(mn)) > 1 &&
          HasPoleBetween(fF.get(), lo, hi)) {
        p->lo = -INFINITY, p->hi = INFINITY;
        type = kColumnUnbounded;
      }
      break;
    case kPlotInterval:
      p->lo = ilo, p->hi = ihi;
      if (std::isnan(ilo) || std::isnan(ihi)) {
        type = kColumnUndefined;
      } else if (ilo == -INFINITY && ihi == INFINITY) {
        type = kColumnUnbounded;
      } else {
        type = kColumnEnclosure;
      }
      break;
    default: SetPointTypeBestCase(lo, hi, mn, mx, ilo, ihi, p); return;
  }
  p->type.store(type, std::memory_order_release);
}

void AFunctionOf_XorY::Stop() { fJobs.Stop(fColour.get(), {fF.get(), fFPrime.get()}); }

void AFunctionOf_XorY::PauseComputing() { Stop(); }

void AFunctionOf_XorY::Restart() {
  Stop();
  for (int32_t k = 0; k < fCount; ++k) fRecords[k].type.store(kColumnPending, std::memory_order_relaxed);
  ResubmitPending();
}

void AFunctionOf_XorY::ResubmitPending() {
  fFirst = fCount;
  fLast = 0;
  for (int32_t k = 0; k < fCount; ++k) {
    if (fRecords[k].type.load(std::memory_order_relaxed) != kColumnPending) continue;
    fFirst = std::min(fFirst, k);
    fLast = k;
  }
  fJobs.Submit(fColour.get(), {fF.get(), fFPrime.get()});
}

namespace {
void MoveRecord(const dPoint& from, dPoint* to) {
  to->centre = from.centre, to->lo = from.lo, to->hi = from.hi, to->right = from.right;
  to->type.store(from.type.load(std::memory_order_relaxed), std::memory_order_relaxed);
}
}  // namespace

void AFunctionOf_XorY::Pan(int32_t dh, int32_t dv) {
  // The view pauses the graph first; stopping again costs nothing and keeps
  // the records ours whoever calls.
  Stop();
  const int64_t shift = fYOfX ? int64_t{dh} : -int64_t{dv};
  if (shift >= fCount || -shift >= fCount) {
    for (int32_t k = 0; k < fCount; ++k) fRecords[k].type.store(kColumnPending, std::memory_order_relaxed);
  } else if (shift > 0) {
    const int32_t s = static_cast<int32_t>(shift);
    for (int32_t k = fCount - 1; k >= s; --k) MoveRecord(fRecords[k - s], &fRecords[k]);
    for (int32_t k = 0; k < s; ++k) fRecords[k].type.store(kColumnPending, std::memory_order_relaxed);
  } else if (shift < 0) {
    const int32_t s = static_cast<int32_t>(-shift);
    for (int32_t k = 0; k + s < fCount; ++k) MoveRecord(fRecords[k + s], &fRecords[k]);
    for (int32_t k = fCount - s; k < fCount; ++k) fRecords[k].type.store(kColumnPending, std::memory_order_relaxed);
  }
  ResubmitPending();
}

void AFunctionOf_XorY::Resize() {
  Stop();
  dPoint* old = fRecords;
  const int32_t oldCount = fCount;
  AllocateRecords(CurrentColumnCount());
  if (fRecords && old) {
    for (int32_t k = 0; k < std::min(oldCount, fCount); ++k) MoveRecord(old[k], &fRecords[k]);
  }
  if (old) std::destroy_n(old, oldCount);
  OurDisposeMemory(old);
  ResubmitPending();
}

// A colour code changes only the colour, which the pane's colour sets;
// nothing here is recomputed for it.
void AFunctionOf_XorY::SetParameter(ViewAttribute attribute, double value) {
  if (attribute != kAttributePlottingMode) return;
  Stop();
  if (value == 0 || value == 1 || value == 2) fMode = static_cast<int32_t>(value);
  Restart();
}

void AFunctionOf_XorY::InvalConstant(int32_t variableId) {
  AGraphColor::InvalConstants(fColour.get());
  fF->InvalConstants();
  if (fFPrime) fFPrime->InvalConstants();
  if (fF->Contains(variableId)) {
    Restart();
  } else if (CurveColorContains(fColour.get(), variableId)) {
    Stop();
    ResubmitPending();
  }
}

int32_t AFunctionOf_XorY::GraphVisibility() {
  if (!IsDoneComputing() || fRecords == nullptr) return 0;
  const A2DTransform& t = fTransform;
  const MRect& r = t.pixelRect;
  // The outer edges of the first and last pixel in the dependent direction.
  double low, high;
  if (fYOfX) {
    low = t.ITOY(r.bottom - 0.5), high = t.ITOY(r.top - 0.5);
  } else {
    low = t.ITOX(r.left - 0.5), high = t.ITOX(r.right - 0.5);
  }
  bool unbounded = false, outside = false;
  for (int32_t k = 0; k < fCount; ++k) {
    const int32_t type = fRecords[k].type.load(std::memory_order_acquire);
    if (fRecords[k].lo < high && fRecords[k].hi > low) return 0;
    if (type == kColumnUnbounded) {
      unbounded = true;
    } else if (type != kColumnUndefined) {
      outside = true;
    }
  }
  if (outside) return 5;
  return unbounded ? 4 : 3;
}
