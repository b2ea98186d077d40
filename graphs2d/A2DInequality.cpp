#include "graphs2d/A2DInequality.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/drawing/TwoBitMaps.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"
#include "renderer/CountedMemory.h"

namespace {

constexpr int32_t kDefaultPlottingMode = 2;

enum VisibilityMessage : int32_t {
  kNotSatisfiedAnywhere = 6,
  kNotSatisfiedInRegion = 7,
  kFalseEverywhere = 8,
  kFalseInRegion = 9,
};

// The graph colour's solid value until the full colour arrives.
uint32_t SolidColour(const AGraphColor* colour) { return colour->fSolidColor & 0xFFFFFFu; }

bool ColourContains(const AGraphColor* colour, int32_t variableId) {
  if (colour->fType != AGraphColor::kRGBEquations && colour->fType != AGraphColor::kHSVEquations) return false;
  for (const std::unique_ptr<AnExpression>& e : colour->fColorExpressions) {
    if (e != nullptr && e->Contains(variableId)) return true;
  }
  return false;
}

}  // namespace

A2DInequality::A2DInequality(Compiled condition, Compiled boundary, Colour colour, int32_t plottingMode, bool equation,
                             const A2DTransform& transform)
    : fTransform(transform),
      fCondition(std::move(condition)),
      fBoundary(std::move(boundary)),
      fPlottingMode(plottingMode >= 0 && plottingMode <= 2 ? plottingMode : kDefaultPlottingMode),
      fEquation(equation),
      fColour(std::move(colour)),
      fFrameValue(NAN),
      fFrameCachingOff(PaneHooks::IsBenchmarkRunning()),
      fJobs(this, GraphJobs::kOnePerProcessor),
      fStackCount(fJobs.Count()) {
  fStacks = std::make_unique<AListofRectangles[]>(static_cast<size_t>(std::max(fStackCount, 1)));
  // Without jobs nothing will ever compute the map.
  if (fStackCount == 0) fDroppedWork = true;
  if (!fBitmap.Allocate(transform.pixelRect) && transform.pixelRect.bottom > transform.pixelRect.top) {
    QueueError(kOutOfMemoryError);
  }
  InvalidatePoints();
  AnExpression::Compile(fCondition.get());
  AnExpression::Compile(fBoundary.get());
  RestartTail();
}

A2DInequality::~A2DInequality() { Stop(); }

int A2DInequality::PixelAt(int32_t h, int32_t v) const {
  return fBitmap.Exists() && fBitmap.Contains(h, v) ? fBitmap.Get(h, v) : 0;
}

InequalityCounts A2DInequality::Counts() const {
  return InequalityCounts{fCounts[0].load(), fCounts[1].load(), fCounts[2].load(), fCounts[3].load()};
}

bool A2DInequality::IsVisibleColour() const { return fColour->fType != AGraphColor::kHidden; }

void A2DInequality::DropWork() {
  fDroppedWork.store(true, std::memory_order_relaxed);
  QueueError(kOutOfMemoryError);
}

void A2DInequality::PushOrDrop(AListofRectangles& list, const MRect& r) {
  if (list.Push(r) != 0) DropWork();
}

void A2DInequality::InvalidatePoints() {
  fPlaneKnown = false;
  if (!fBitmap.Exists()) return;
  fBitmap.Zero();
  fPending.Clear();
  fDroppedWork = fStackCount == 0;
  PushOrDrop(fPending, fBitmap.Frame());
}

void A2DInequality::SubdivideRectStack() {
  if (fPending.IsEmpty() || fStackCount < 1) return;
  int32_t top, bottom;
  fPending.GetVerticalRange(&top, &bottom);
  const int32_t band = (bottom - top + 1) / fStackCount + 1;
  while (!fPending.IsEmpty()) {
    const MRect r = fPending.Pop();
    for (int32_t t = 0; t < fStackCount; ++t) {
      const int32_t low = top + t * band, high = top + (t + 1) * band;
      const auto clampedTop = static_cast<int16_t>(std::clamp<int32_t>(r.top, low, high));
      const auto clampedBottom = static_cast<int16_t>(std::clamp<int32_t>(r.bottom, low, high));
      if (clampedTop != clampedBottom) PushOrDrop(fStacks[t], MRect{clampedTop, r.left, clampedBottom, r.right});
    }
  }
}

void A2DInequality::CoalescePerThreadRectStacks() {
  for (int32_t t = 0; t < fStackCount; ++t) {
    for (int32_t i = 0; i < fStacks[t].Count(); ++i) PushOrDrop(fPending, fStacks[t][i]);
    fStacks[t].RemoveAllElements();
  }
}

void A2DInequality::Stop() {
  fJobs.Stop(fColour.get(), {fCondition.get(), fBoundary.get()});
  CoalescePerThreadRectStacks();
}

void A2DInequality::RestartTail() {
  SubdivideRectStack();
  fJobs.Submit(fColour.get(), {fCondition.get(), fBoundary.get()});
}

void A2DInequality::FullRestart() {
  Stop();
  InvalidatePoints();
  RestartTail();
}

void A2DInequality::PauseComputing() { Stop(); }

void A2DInequality::ViewChanged() {
  fFrames.RemoveAllElements();
  FullRestart();
}

void A2DInequality::SetParameter(ViewAttribute attribute, double value) {
  if (attribute != kAttributePlottingMode) return;
  Stop();
  if (value == 0 || value == 1 || value == 2) fPlottingMode = static_cast<int32_t>(value);
  InvalidatePoints();
  RestartTail();
}

int32_t A2DInequality::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  if (fPlaneKnown && fPlane[0] == 0.0 && fPlane[1] == 0.0) return fEquation ? kNotSatisfiedAnywhere : kFalseEverywhere;
  // A map with dropped work proves nothing about the region.
  if (fDroppedWork.load(std::memory_order_relaxed)) return 0;
  if (fBitmap.ByteCount() < 1 || fBitmap.IsAllZero()) return fEquation ? kNotSatisfiedInRegion : kFalseInRegion;
  return 0;
}

void A2DInequality::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(fColour.get(), fCondition.get(), fBoundary.get());
  if (!fBitmap.Exists()) return;
  DocumentRecord* document = fTransform.document;
  const bool inCondition = fCondition->Contains(variableId);
  if (inCondition && variableId != PaneHooks::SliderVariable(document)) {
    ViewChanged();
  } else if (inCondition) {
    Stop();
    UseFrameOrInvalidate(PaneHooks::SliderValue(document));
    RestartTail();
  } else if (ColourContains(fColour.get(), variableId)) {
    Stop();
    RestartTail();
  }
}

void A2DInequality::UseFrameOrInvalidate(double sliderValue) {
  RelocatableBlock* frame = fFrames.Get(sliderValue);
  if (frame == nullptr) {
    fFrameWanted = true;
    fFrameValue = sliderValue;
    InvalidatePoints();
    return;
  }
  const void* data = OurLockMemoryPurgeable(frame);
  if (data == nullptr) {
    fFrameCachingOff = true;
    InvalidatePoints();
    return;
  }
  fBitmap.CopyIn(data);
  // The frame carries the condition's interval over the plane after its map.
  OurCopyMemory(fPlane, static_cast<const uint8_t*>(data) + fBitmap.ByteCount(), sizeof fPlane);
  fPlaneKnown = true;
  OurUnlockMemoryPurgeable(frame);
  fPending.Clear();
  fFrameWanted = false;
}

void A2DInequality::KeepFrame() {
  fFrameWanted = false;
  RelocatableBlock* block = OurAllocateMemoryPurgeable(size_t(fBitmap.ByteCount()) + sizeof fPlane);
  if (block == nullptr) {
    fFrames.RemoveAllElements();
    fFrameCachingOff = true;
    return;
  }
  void* data = OurLockMemoryPurgeable(block);
  if (data == nullptr) {
    OurDisposeMemoryPurgeable(block);
    fFrameCachingOff = true;
    return;
  }
  fBitmap.CopyOut(data);
  OurCopyMemory(static_cast<uint8_t*>(data) + fBitmap.ByteCount(), fPlane, sizeof fPlane);
  OurUnlockMemoryPurgeable(block);
  if (fFrames.Add(fFrameValue, block) != 0) OurDisposeMemoryPurgeable(block);
}

void A2DInequality::Draw() {
  if (!IsVisibleColour() || !fBitmap.Exists()) return;
  // A frame of dropped work would replay the gap.
  if (fFrameWanted && !fFrameCachingOff && IsDoneComputing() && fPlaneKnown && !fDroppedWork) KeepFrame();
  const CountedArray<uint8_t> copy = NewCountedArray<uint8_t>(size_t(fBitmap.ByteCount()));
  if (copy == nullptr) return;
  fBitmap.CopyOut(copy.get());
  OurCopy2BitToCurrentPort(copy.get(), fBitmap.RowBytes(), fBitmap.Frame(), SolidColour(fColour.get()),
                           fTransform.pixelRect);
}

void A2DInequality::Pan(int32_t dh, int32_t dv) {
  if (!fBitmap.Exists()) return;
  Stop();
  const MRect& frame = fBitmap.Frame();
  OurTwoBitScrollRect(fBitmap.Bytes(), fBitmap.RowBytes(), frame, dh, dv);
  fPending.Scroll(dh, dv, frame);
  MRect old = frame;
  OurOffsetRect(&old, dh, dv);
  if (fPending.PushRevealedRects(old, frame) != 0) DropWork();
  fFrames.RemoveAllElements();
  RestartTail();
}

void A2DInequality::Resize() {
  Stop();
  fFrames.RemoveAllElements();
  const MRect& newFrame = fTransform.pixelRect;
  InequalityBitmap fresh;
  if (!fresh.Allocate(newFrame) && newFrame.bottom > newFrame.top) QueueError(kOutOfMemoryError);
  if (!fresh.Exists()) {
    // Slices without a map count as done at once, so the graph still ends.
    fBitmap.Free();
    fPending.Clear();
    RestartTail();
    return;
  }
  if (!fBitmap.Exists()) {
    fBitmap.Swap(fresh);
    InvalidatePoints();
    RestartTail();
    return;
  }
  // The picture stays anchored at the left and bottom edges.
  const MRect oldFrame = fBitmap.Frame();
  const int32_t dh = newFrame.left - oldFrame.left, dv = newFrame.bottom - oldFrame.bottom;
  MRect moved = oldFrame, overlap;
  OurOffsetRect(&moved, dh, dv);
  fBitmap.Swap(fresh);
  if (OurSectRect(moved, newFrame, &overlap)) {
    MRect source = overlap;
    OurOffsetRect(&source, -dh, -dv);
    OurTwoBitCopyRect(fresh.Bytes(), fresh.RowBytes(), oldFrame, source, fBitmap.Bytes(), fBitmap.RowBytes(), newFrame,
                      overlap);
    fPending.Scroll(dh, dv, newFrame);
    if (fPending.PushRevealedRects(overlap, newFrame) != 0) DropWork();
  } else {
    InvalidatePoints();
  }
  fresh.Free();
  RestartTail();
}
