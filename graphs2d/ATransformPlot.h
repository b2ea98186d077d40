#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/AListofFrames.h"
#include "graphs2d/GraphJobs.h"
#include "renderer/CountedMemory.h"

class A2DGraphView;
class AGraphColor;
class AnExpression;
struct A2DTransform;
struct MGridData;

// The first view's picture seen through x = f(x', y'), y = g(x', y'): every
// pixel's source point is computed once and the source picture resampled
// there with four jittered samples. Pan and resize keep the computed
// pixels; animation frames are kept by slider value while caching is on.
class ATransformPlot : public A2DGraph {
 public:
  // Takes over f, g and the colour; the source list stays the pane's.
  ATransformPlot(Compiled f, Compiled g, Colour colour, const A2DTransform& transform, A2DGraphView& source,
                 const AListGenericSmall<int32_t>* sourceList);
  ~ATransformPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  void Draw() override;
  void Resize() override;
  void Pan(int32_t dh, int32_t dv) override;
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection{}; }
  void PauseComputing() override { Stop(); }

  // Pixels evaluated since construction.
  int64_t Evaluations() const { return fEvaluations.load(std::memory_order_relaxed); }
  int32_t FramesKept() const { return fFrames.Count(); }
  int32_t Width() const { return fWidth; }
  int32_t Height() const { return fHeight; }

 private:
  void Stop();
  void SubmitJobs();
  void InvalidatePoints();
  bool AllocateBuffer(int32_t width, int32_t height);
  void FreeBuffer();
  void KeepFrame();
  bool CopyFrameIn(double sliderValue);
  int32_t ComputeRows(int32_t first, int32_t last);
  float LoadPoint(size_t index) const;

  const A2DTransform& fTransform;
  A2DGraphView& fSource;
  const AListGenericSmall<int32_t>* fSourceList;
  std::unique_ptr<AnExpression> fF;
  std::unique_ptr<AnExpression> fG;
  std::unique_ptr<AGraphColor> fColour;
  // W x H pairs (f, g), row-major from the top; NaN not yet computed,
  // +infinity undefined. Workers write disjoint rows while Draw may read.
  CountedArray<float> fPoints;
  int32_t fWidth = 0, fHeight = 0;
  std::unique_ptr<MGridData> fGridData;
  AListofFrames fFrames;
  bool fCachingOff;
  bool fStoreFrame = false;
  double fFrameValue;
  int32_t fFirstRow = 0, fLastRow = 0;
  std::atomic<int64_t> fEvaluations{0};
  GraphJobs fJobs;
};

// The rows of one job: band = (last - first + 1) / jobs + 1 rows, job i
// from first + band i to min(first + band (i + 1) - 1, height - 1); false
// for an empty band.
bool TransformPlotBand(int32_t first, int32_t last, int32_t jobs, int32_t job, int32_t height, int32_t* low,
                       int32_t* high);
