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

enum DPointType : int32_t {
  kColumnPending = 0,
  kColumnEdges = 1,
  kColumnEnclosure = 2,
  kColumnUnbounded = 3,
  kColumnUndefined = 4,
};

// The range of f over one pixel column. lo, hi, right and centre are
// written before the type is published (release) and read only after it
// is seen (acquire).
struct dPoint {
  double centre;
  double lo, hi;
  double right;  // f at the column's upper edge, shared with the next column
  std::atomic<int32_t> type;
};

// y = f(x) (or x = f(y)) as one record per pixel column (row), computed in
// bands by one job per processor. f is in u.
class AFunctionOf_XorY : public A2DGraph {
 public:
  // Takes over f and the colour. A mode outside 0..2 counts as 2.
  AFunctionOf_XorY(Compiled f, bool yOfX, Colour colour, int32_t mode, const A2DTransform& transform);
  ~AFunctionOf_XorY() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override { Restart(); }
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  void Resize() override;
  void Pan(int32_t dh, int32_t dv) override;
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override;
  Neighborhood GetNeighborhood(double x, double y, double radius, double parameterLow, double parameterHigh) override;

  // The pixel tests of plotting mode 2.
  void SetPointTypeBestCase(double lo, double hi, double mn, double mx, double ilo, double ihi, dPoint* p);
  bool IsPixelNaN(double lo, double hi, double mn, double mx, double* ilo, double* ihi, int* depth);
  bool IsPixelInterval(double lo, double hi, double mn, double mx, double* ilo, double* ihi, int depth);
  void FixIAPessimism(double lo, double hi, double* ilo, double* ihi, int depth);
  int32_t GetSingleDPointType(double lo, double hi);

  // Picking in mode 2, given the independent value v, a column's width w
  // and the column k.
  void GetSelectionBestCase(double v, double w, int32_t k, Selection* selection);
  void SnapToSpecialPoints(double v, double w, int32_t k, Selection* selection);
  static bool PixelHasOneCrossing(AnExpression* g, double a, double b);

  int32_t ColumnCount() const { return fCount; }
  const dPoint* Records() const { return fRecords; }
  int32_t Mode() const { return fMode; }
  // Work done since construction, for tests and benchmarks.
  int64_t ColumnsComputed() const { return fColumnsComputed.load(std::memory_order_relaxed); }
  int64_t Evaluations() const { return fEvaluations.load(std::memory_order_relaxed); }

 private:
  void PrepareTheMachines();
  void ComputeDPoint(double lo, double hi, int32_t k);
  void Stop();
  // Clears every record, then computes them all again.
  void Restart();
  // Computes the records still pending.
  void ResubmitPending();
  void AllocateRecords(int32_t count);
  void FreeRecords();
  int32_t CurrentColumnCount() const;
  // The lower world edge of column k, the upper edge of column k - 1.
  double ColumnEdge(int32_t k) const;
  double ColumnWidth() const;
  // The column of an independent value, possibly outside [0, n).
  int64_t ColumnOf(double v) const;
  int32_t DependentPixel(double value) const;
  bool Cancelled() const { return fJobs.Cancelled(); }
  void DrawDirect(uint32_t colour);
  void DrawThroughMask(uint32_t colour);
  void StorePick(Selection* selection, double independent, double dependent) const;

  const A2DTransform& fTransform;
  std::unique_ptr<AnExpression> fF;
  std::unique_ptr<AnExpression> fFPrime = nullptr;
  std::unique_ptr<AGraphColor> fColour;
  int32_t fMode;
  bool fYOfX;
  int32_t fCount = 0;
  dPoint* fRecords = nullptr;
  int32_t fFirst = 0, fLast = 0;
  std::atomic<int64_t> fColumnsComputed{0};
  std::atomic<int64_t> fEvaluations{0};
  GraphJobs fJobs;
};
