#include "graphs2d/ATransformPlot.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/GraphHooks.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/PlaneTransformSource.h"

namespace {

constexpr float kNotComputed = std::numeric_limits<float>::quiet_NaN();

void FillNotComputed(float* points, size_t count) { std::fill(points, points + count, kNotComputed); }

}  // namespace

bool TransformPlotBand(int32_t first, int32_t last, int32_t jobs, int32_t job, int32_t height, int32_t* low,
                       int32_t* high) {
  if (jobs < 1 || first > last) return false;
  const int32_t band = (last - first + 1) / jobs + 1;
  *low = first + band * job;
  *high = std::min(first + band * (job + 1) - 1, height - 1);
  return *low <= *high;
}

ATransformPlot::ATransformPlot(Compiled f, Compiled g, Colour colour, const A2DTransform& transform,
                               A2DGraphView& source, const AListGenericSmall<int32_t>* sourceList)
    : fTransform(transform),
      fSource(source),
      fSourceList(sourceList),
      fF(std::move(f)),
      fG(std::move(g)),
      fColour(std::move(colour)),
      fGridData(AnExpression::CompileForGrid(fF.get(), fG.get())),
      fCachingOff(!PaneHooks::IsBenchmarkRunning()),
      fFrameValue(NAN),
      fJobs(this, GraphJobs::kOnePerProcessor) {
  const MRect& r = transform.pixelRect;
  AllocateBuffer(std::max(r.right - r.left, 0), std::max(r.bottom - r.top, 0));
  SubmitJobs();
}

ATransformPlot::~ATransformPlot() {
  Stop();
  FreeBuffer();
}

float ATransformPlot::LoadPoint(size_t index) const {
  return std::atomic_ref<float>(fPoints[index]).load(std::memory_order_relaxed);
}

bool ATransformPlot::AllocateBuffer(int32_t width, int32_t height) {
  fWidth = fHeight = 0;
  if (width < 1 || height < 1) return true;
  const size_t count = size_t(width) * size_t(height) * 2;
  fPoints = NewCountedArray<float>(count);
  if (fPoints == nullptr) {
    QueueError(kOutOfMemoryError);
    return false;
  }
  FillNotComputed(fPoints.get(), count);
  fWidth = width, fHeight = height;
  return true;
}

void ATransformPlot::FreeBuffer() {
  fPoints.reset();
  fWidth = fHeight = 0;
}

void ATransformPlot::Stop() { fJobs.Stop(fColour.get(), {fF.get(), fG.get()}); }

void ATransformPlot::SubmitJobs() {
  fFirstRow = fHeight, fLastRow = 0;
  for (int32_t row = 0; row < fHeight; ++row) {
    const float* line = fPoints.get() + size_t(row) * fWidth * 2;
    const bool pending = std::any_of(line, line + size_t(fWidth) * 2, [](float p) { return std::isnan(p); });
    if (!pending) continue;
    fFirstRow = std::min(fFirstRow, row);
    fLastRow = row;
  }
  fJobs.Submit(fColour.get(), {fF.get(), fG.get()});
}

void ATransformPlot::InvalidatePoints() {
  Stop();
  FreeBuffer();
  const MRect& r = fTransform.pixelRect;
  AllocateBuffer(std::max(r.right - r.left, 0), std::max(r.bottom - r.top, 0));
  SubmitJobs();
}

void ATransformPlot::ViewChanged() {
  fFrames.RemoveAllElements();
  InvalidatePoints();
}

void ATransformPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeColor) fColour->Set(value);
}

void ATransformPlot::InvalConstant(int32_t variableId) {
  if (fPoints == nullptr) return;
  AnExpression::InvalConstants(fColour.get(), fF.get(), fG.get());
  DocumentRecord* document = fTransform.document;
  const bool slider = variableId == PaneHooks::SliderVariable(document);
  if (!slider) {
    if (UsesVariable(variableId, fF.get(), fG.get(), fColour.get())) ViewChanged();
    return;
  }
  if (!fF->Contains(variableId) && !fG->Contains(variableId)) return;
  Stop();
  const double value = PaneHooks::SliderValue(document);
  if (CopyFrameIn(value)) {
    // Every row is known: the jobs find nothing to compute and tell the document.
    fStoreFrame = false;
    SubmitJobs();
    return;
  }
  if (!fCachingOff) {
    fStoreFrame = true;
    fFrameValue = value;
  }
  InvalidatePoints();
}

bool ATransformPlot::CopyFrameIn(double sliderValue) {
  RelocatableBlock* frame = fFrames.Get(sliderValue);
  if (frame == nullptr) return false;
  const void* data = OurLockMemoryPurgeable(frame);
  if (data == nullptr) {
    fCachingOff = true;
    return false;
  }
  OurCopyMemory(fPoints.get(), data, size_t(fWidth) * size_t(fHeight) * 2 * sizeof(float));
  OurUnlockMemoryPurgeable(frame);
  return true;
}

void ATransformPlot::KeepFrame() {
  fStoreFrame = false;
  const size_t bytes = size_t(fWidth) * size_t(fHeight) * 2 * sizeof(float);
  RelocatableBlock* block = OurAllocateMemoryPurgeable(bytes);
  if (block == nullptr) {
    fFrames.RemoveAllElements();
    fCachingOff = true;
    return;
  }
  void* data = OurLockMemoryPurgeable(block);
  if (data == nullptr) {
    OurDisposeMemoryPurgeable(block);
    fCachingOff = true;
    return;
  }
  OurCopyMemory(data, fPoints.get(), bytes);
  OurUnlockMemoryPurgeable(block);
  if (fFrames.Add(fFrameValue, block) != 0) OurDisposeMemoryPurgeable(block);
}

void ATransformPlot::Resize() {
  Stop();
  fFrames.RemoveAllElements();
  {
    const CountedArray<float> old = std::move(fPoints);
    const int32_t oldWidth = fWidth, oldHeight = fHeight;
    const MRect& r = fTransform.pixelRect;
    const int32_t width = std::max(r.right - r.left, 0), height = std::max(r.bottom - r.top, 0);
    if (AllocateBuffer(width, height) && fPoints != nullptr && old != nullptr) {
      const int32_t columns = std::min(oldWidth, width), rows = std::min(oldHeight, height);
      for (int32_t k = 1; k <= rows; ++k) {
        OurCopyMemory(fPoints.get() + size_t(height - k) * width * 2, old.get() + size_t(oldHeight - k) * oldWidth * 2,
                      size_t(columns) * 2 * sizeof(float));
      }
    }
  }
  SubmitJobs();
}

void ATransformPlot::Pan(int32_t dh, int32_t dv) {
  fFrames.RemoveAllElements();
  if (fPoints == nullptr) return;
  Stop();
  const size_t rowFloats = size_t(fWidth) * 2;
  if (std::abs(dh) >= fWidth || std::abs(dv) >= fHeight) {
    FillNotComputed(fPoints.get(), rowFloats * fHeight);
    SubmitJobs();
    return;
  }
  // Rows move first, in the order that never overwrites a row still to move.
  const auto moveRow = [&](int32_t row) {
    float* to = fPoints.get() + size_t(row + dv) * rowFloats;
    const float* from = fPoints.get() + size_t(row) * rowFloats;
    OurCopyMemory(to, from, rowFloats * sizeof(float));
  };
  if (dv > 0) {
    for (int32_t row = fHeight - 1 - dv; row >= 0; --row) moveRow(row);
    FillNotComputed(fPoints.get(), size_t(dv) * rowFloats);
  } else if (dv < 0) {
    for (int32_t row = -dv; row < fHeight; ++row) moveRow(row);
    FillNotComputed(fPoints.get() + size_t(fHeight + dv) * rowFloats, size_t(-dv) * rowFloats);
  }
  if (dh != 0) {
    const size_t shifted = size_t(fWidth - std::abs(dh)) * 2, strip = size_t(std::abs(dh)) * 2;
    for (int32_t row = 0; row < fHeight; ++row) {
      float* line = fPoints.get() + size_t(row) * rowFloats;
      if (dh > 0) {
        OurCopyMemory(line + strip, line, shifted * sizeof(float));
        FillNotComputed(line, strip);
      } else {
        OurCopyMemory(line, line + strip, shifted * sizeof(float));
        FillNotComputed(line + shifted, strip);
      }
    }
  }
  SubmitJobs();
}

int32_t ATransformPlot::Compute(int32_t slice) {
  DocumentRecord* document = fTransform.document;
  if (fPoints == nullptr || fWidth < 1 || fHeight < 1 || fGridData == nullptr) {
    return fJobs.Finish(slice, kComputeNothingToDo, document);
  }
  fColour->Compute();
  int32_t low, high;
  if (!TransformPlotBand(fFirstRow, fLastRow, fJobs.Count(), slice, fHeight, &low, &high)) {
    return fJobs.Finish(slice, kComputeFinished, document);
  }
  return fJobs.Finish(slice, ComputeRows(low, high), document);
}

int32_t ATransformPlot::ComputeRows(int32_t first, int32_t last) {
  const A2DTransform& t = fTransform;
  const double x0 = (t.pixelRect.left - t.xOrigin) * t.xUnitsPerPixel;
  const double y0 = (t.yOrigin - t.pixelRect.top) * t.yUnitsPerPixel - first * t.yUnitsPerPixel;
  MGridVariables grid;
  AnExpression::SetupGrid(x0, y0, t.xUnitsPerPixel, -t.yUnitsPerPixel, fWidth, last - first + 1, fGridData.get(),
                          &grid);
  for (int32_t row = first; row <= last; ++row) {
    float* line = fPoints.get() + size_t(row) * fWidth * 2;
    for (int32_t c = 0; c < fWidth; ++c) {
      if (!std::isnan(line[2 * c]) || !std::isnan(line[2 * c + 1])) continue;
      const double f = fF->EvaluateOnGrid(c, row - first, &grid), g = fG->EvaluateOnGrid(c, row - first, &grid);
      fEvaluations.fetch_add(1, std::memory_order_relaxed);
      if (fJobs.Cancelled()) return kComputeCancelled;
      float pair[2];
      StoreSourcePoint(f, g, pair);
      std::atomic_ref<float>(line[2 * c]).store(pair[0], std::memory_order_relaxed);
      std::atomic_ref<float>(line[2 * c + 1]).store(pair[1], std::memory_order_relaxed);
    }
  }
  return kComputeFinished;
}
