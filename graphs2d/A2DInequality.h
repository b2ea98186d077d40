#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "graphpane/A2DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/A2DInequalityBitmap.h"
#include "graphs2d/AListofFrames.h"
#include "graphs2d/AListofRectangles.h"
#include "graphs2d/GraphJobs.h"

class AGraphColor;
class AnExpression;
struct A2DTransform;

// Evaluations made since construction, for probes and benchmarks.
struct InequalityCounts {
  int64_t rectangles = 0;  // interval evaluations of rectangles of pixels
  int64_t pixels = 0;      // interval evaluations of single pixels
  int64_t subBoxes = 0;    // interval evaluations of 1/25 of a pixel, or of its border beside a pole
  int64_t points = 0;      // point evaluations (plotting modes 0 and 2)
};

// The points where a condition on x and y holds (an inequality, drawn
// filled) or where its curve may pass (an equation), decided by interval
// arithmetic over rectangles of pixels and refined only where undecided.
// The pixel rectangle is dealt to the workers in bands of rows; a paused
// computation keeps its work and resumes where it stopped.
class A2DInequality : public A2DGraph {
 public:
  // Takes over the expressions and the colour. The boundary expression is
  // real-valued with the boundary or the curve as its zero set, for the
  // mouse. Plotting modes: 0 sample, 1 tint undecided pixels, 2 (the
  // default, taken for any other value) test them further.
  A2DInequality(Compiled condition, Compiled boundary, Colour colour, int32_t plottingMode, bool equation,
                const A2DTransform& transform);
  ~A2DInequality() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool UsesGrainSlider() override { return false; }
  void Draw() override;
  void Resize() override;
  void Pan(int32_t dh, int32_t dv) override;
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override;
  Neighborhood GetNeighborhood(double x, double y, double radius, double parameterLow, double parameterHigh) override;

  // The pixel's two bits (0 outside the map), by pixel of the transform.
  int PixelAt(int32_t h, int32_t v) const;
  bool HasBitmap() const { return fBitmap.Exists(); }
  InequalityCounts Counts() const;
  int32_t FramesKept() const { return fFrames.Count(); }

 private:
  struct Geometry;

  void InvalidatePoints();
  void SubdivideRectStack();
  void CoalescePerThreadRectStacks();
  void Stop();
  void RestartTail();
  void FullRestart();
  void DropWork();
  void PushOrDrop(AListofRectangles& list, const MRect& r);
  void KeepFrame();
  void UseFrameOrInvalidate(double sliderValue);
  int32_t ComputeStack(AListofRectangles& stack, const Geometry& g, InequalityCounts& counts);
  int SettlePixel(int32_t h, int32_t v, const Geometry& g, InequalityCounts& counts);
  void FindBoundary(double x, double y, double weight, int32_t h, int32_t v, int32_t* bestH, int32_t* bestV,
                    double* best) const;
  bool IsVisibleColour() const;

  const A2DTransform& fTransform;
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<AnExpression> fBoundary;
  AListofRectangles fPending;
  int32_t fPlottingMode;
  bool fEquation;
  std::unique_ptr<AGraphColor> fColour;
  InequalityBitmap fBitmap;
  // The condition over the whole plane, worked out by slice 0 once after
  // every invalidation; read only once every slice is done.
  double fPlane[2] = {0, 1};
  bool fPlaneKnown = false;
  AListofFrames fFrames;
  double fFrameValue;
  bool fFrameCachingOff;
  bool fFrameWanted = false;
  // Set when work was dropped for lack of memory: the map is then never
  // taken as proof that the condition fails in the view.
  std::atomic<bool> fDroppedWork{false};
  std::atomic<int64_t> fCounts[4] = {};
  GraphJobs fJobs;
  std::unique_ptr<AListofRectangles[]> fStacks;
  int32_t fStackCount;
};

// Divides the box into 5 x 5 and evaluates the interval of e over the
// pieces, diagonal first, then the other diagonal, then row by row: 255 at
// the first piece where e may be 1 (true), 0 when none. Adds the pieces
// evaluated to *evaluations when given. With a curve (real-valued, the
// equation's zero set), a piece counts only where the curve's enclosure is
// bounded: at a pole the equation changes sign without holding. The border
// of pieces a pole crosses counts beside the pole, so that a curve that
// reaches the pole is drawn up to it.
int DividePixelMore(AnExpression* e, double x0, double x1, double y0, double y1, int64_t* evaluations = nullptr,
                    AnExpression* curve = nullptr);
