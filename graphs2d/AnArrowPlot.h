#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GraphJobs.h"

class AGraphColor;
class AnExpression;
class DocumentRecord;

// One arrow from (x1, y1) to (x2, y2), its ends constant expressions.
class AnArrowPlot : public A2DGraph {
 public:
  // Takes over the expressions and the colour.
  AnArrowPlot(Compiled x1, Compiled y1, Compiled x2, Compiled y2, Colour colour, const A2DTransform& transform);
  ~AnArrowPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fDone.load(std::memory_order_acquire); }
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute, double) override {}
  void ViewChanged() override {}
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double, double) override { return false; }
  Selection GetSelection(double, double) override { return Selection{}; }
  void PauseComputing() override {}
  int32_t GraphClass() override { return kGraphClassPoints; }

  // x1, y1, x2, y2 once done.
  const double* Ends() const { return fEnds; }

 private:
  void Stop();
  void Submit();

  const A2DTransform& fTransform;
  DocumentRecord* fDocument;
  std::unique_ptr<AnExpression> fExpressions[4];
  std::unique_ptr<AGraphColor> fColour;
  double fEnds[4] = {0, 0, 0, 0};
  std::atomic<bool> fDone{false};
  GraphJobs fJobs;
};
