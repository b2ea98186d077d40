#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GraphJobs.h"
#include "renderer/CountedMemory.h"

class AGraphColor;
class AnExpression;
class DocumentRecord;

// A vector field (vx(x, y), vy(x, y)) as a lattice of arrows anchored on the
// axes, scaled so that the longest spans one lattice step (or all drawn at
// one length). One job computes the arrows; a pan keeps those still on the
// lattice.
class A2DVectorPlot : public A2DGraph {
 public:
  struct Arrow {
    double x, y, vx, vy;
    int32_t computed;
  };

  // Takes over the expressions and the colour. The grain is clamped to
  // [0, 1] (NaN counts as 0.5).
  A2DVectorPlot(Compiled vx, Compiled vy, double grain, Colour colour, bool equalLength, const A2DTransform& transform);
  ~A2DVectorPlot() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  void Draw() override;
  void Resize() override { ViewChanged(); }
  void Pan(int32_t dh, int32_t dv) override;
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override;

  static int32_t Spacing(double grain, int32_t cell);
  // The drawn vector of a field value, in world units.
  void ScaleVector(double vx, double vy, double* sx, double* sy) const;

  int32_t Spacing() const { return fSpacing; }
  int32_t Columns() const { return fColumns; }
  int32_t Rows() const { return fRows; }
  int32_t EdgeOffsetX() const { return fXOffset; }
  int32_t EdgeOffsetY() const { return fYOffset; }
  double Longest() const { return fLongest.load(std::memory_order_acquire); }
  const Arrow& ArrowAt(int32_t column, int32_t row) const { return fArrows[row * fColumns + column]; }
  // Field evaluations since construction, for the pan's economy.
  int64_t Evaluations() const { return fEvaluations.load(std::memory_order_relaxed); }

 private:
  void Stop();
  void Submit();
  void MakeArrows();
  // k of the scaling: world units of drawn arrow per unit of field.
  double Scale() const;
  static bool IsComputed(const Arrow& arrow);

  const A2DTransform& fTransform;
  DocumentRecord* fDocument;
  std::unique_ptr<AnExpression> fVX;
  std::unique_ptr<AnExpression> fVY;
  std::unique_ptr<AGraphColor> fColour;
  CountedArray<Arrow> fArrows;
  std::atomic<double> fLongest{0};
  bool fEqualLength;
  int32_t fSpacing;
  int32_t fXOffset = 0, fYOffset = 0;
  int32_t fColumns = 0, fRows = 0;
  std::atomic<bool> fDone{false};
  std::atomic<int64_t> fEvaluations{0};
  GraphJobs fJobs;
};
