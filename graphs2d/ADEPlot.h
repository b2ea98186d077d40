#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "CoreUtilities/memory/BudgetAllocator.h"
#include "CoreUtilities/threads/OurMutex.h"
#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GraphJobs.h"
#include "renderer/CountedMemory.h"

class AGraphColor;
class AnExpression;
class DocumentRecord;

// Solutions of dy/dx = f(x, y), or of the system dx/dt = a(x, y),
// dy/dt = b(x, y), traced by fourth-order Runge-Kutta steps of one pixel
// along the steeper axis, from one start point or from a lattice anchored on
// the axes. A coverage grid keeps lattice curves from retracing a region.
class ADEPlot : public A2DGraph {
 public:
  // Takes over the expressions and the colour. `second` is null for the slope
  // form; the start expressions are both given or both null. The grain is
  // clamped to [0, 1] (NaN counts as 0.5).
  ADEPlot(Compiled first, Compiled second, Compiled startX, Compiled startY, Colour colour, double grain,
          const A2DTransform& transform);
  ~ADEPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  void Draw() override;
  void Resize() override { ViewChanged(); }
  void Pan(int32_t, int32_t) override { ViewChanged(); }
  bool IsPointOverCurve(double x, double y) override;
  // Owns the solution through the point; the plot itself is left unchanged.
  Selection GetSelection(double x, double y) override;
  // The view rewrites the transform next, which the job reads.
  void PauseComputing() override;

  // The lattice step in pixels.
  static int32_t Spacing(double grain, int32_t sampleFactor);
  // The slope at the point; the signs of motion along x and y through the
  // pointers. NaN at a stationary point of a system.
  double EvaluateDyDx(double x, double y, double* signX, double* signY);
  int32_t Spacing() const { return fSpacing; }
  int32_t EdgeOffsetX() const { return fXOffset; }
  int32_t EdgeOffsetY() const { return fYOffset; }
  // Read once the plot is done.
  int32_t CurveCount() const { return static_cast<int32_t>(fCurves.size()); }
  const SolutionPath* Curve(int32_t i) const { return fCurves[static_cast<size_t>(i)].get(); }

 private:
  enum Tracing { kForPlot, kForSelection };
  // One curve from the point in the direction +1 or -1; null when memory
  // runs out. Only the plot's tracing counts coverage and stops on cancel.
  std::unique_ptr<SolutionPath> Propagate(double x, double y, double direction, Tracing tracing);
  void Add(std::unique_ptr<SolutionPath> curve);
  void SetEdgeOffset();
  void MakeGrid();
  void FreeCurves();
  // Anew from no curves and an empty grid; the job is stopped.
  void Retrace();
  void Stop();
  void Submit();
  // The coverage byte of a pixel; null outside the grid.
  uint8_t* CoverageCell(int32_t h, int32_t v);
  void TraceLattice();
  bool HasStartPoint() const { return fStartX != nullptr; }

  const A2DTransform& fTransform;
  DocumentRecord* fDocument;
  std::unique_ptr<AnExpression> fFirst;
  std::unique_ptr<AnExpression> fSecond;
  std::unique_ptr<AnExpression> fStartX;
  std::unique_ptr<AnExpression> fStartY;
  std::unique_ptr<AGraphColor> fColour;
  OurMutex fCurveMutex;
  // Grows as the memory budget grants.
  std::vector<std::unique_ptr<SolutionPath>, BudgetAllocator<std::unique_ptr<SolutionPath>>> fCurves;
  int32_t fSpacing;
  int32_t fXOffset = 0, fYOffset = 0;
  int32_t fColumns = 0, fRows = 0;
  // Written by the job only.
  CountedArray<uint8_t> fGrid;
  // The curves stand: a colour change computes the colour again alone.
  std::atomic<bool> fTraced{false};
  std::atomic<bool> fDone{false};
  GraphJobs fJobs;
};
