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
class DocumentRecord;
class AnExpression;

// A curve (x(t), y(t)) sampled at equal steps of t in world coordinates,
// once, by one resumable job: the view's changes only redraw it. x and y
// are in u.
class AParametricCurve : public A2DGraph {
 public:
  struct Point {
    double x, y;
  };

  // Takes over x, y and the colour. The grain is clamped to [0, 1] (NaN
  // counts as 0.5); the t range is read when the job is submitted.
  AParametricCurve(Compiled x, Compiled y, Colour colour, double grain, int32_t selectionType,
                   const A2DTransform& transform, const double& tmin, const double& tmax);
  ~AParametricCurve() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override;
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  void Draw() override;
  void Resize() override {}
  void Pan(int32_t, int32_t) override {}
  bool IsPointOverCurve(double x, double y) override;
  Selection GetSelection(double x, double y) override;
  void PauseComputing() override {}
  Neighborhood GetNeighborhood(double x, double y, double radius, double parameterLow, double parameterHigh) override;

  void SnapToSpecialPoints(Selection* selection);

  static int32_t PointCount(double grain);
  int32_t Count() const { return fCount; }
  int32_t Computed() const { return fComputed.load(std::memory_order_acquire); }
  const Point* Points() const { return fPoints.get(); }
  double Parameter(int32_t i) const;

 private:
  void AllocatePoints();
  void Stop();
  // Reads the t range and lowers the flags; the job resumes at the
  // computed count.
  void Submit();
  bool DefinedAt(double t) const;
  // The step along t that moves about `pixels` pixels at t.
  double StepAt(double t, double pixels, double fallback) const;
  double NearestSegmentStart(double x, double y) const;

  const A2DTransform& fTransform;
  // Kept apart: the view rewrites its transform while this job runs.
  DocumentRecord* fDocument;
  const double& fTMinSource;
  const double& fTMaxSource;
  std::atomic<double> fTMin{0}, fTMax{0};
  std::unique_ptr<AnExpression> fX;
  std::unique_ptr<AnExpression> fY;
  std::unique_ptr<AnExpression> fXPrime = nullptr;
  std::unique_ptr<AnExpression> fYPrime = nullptr;
  std::unique_ptr<AGraphColor> fColour;
  int32_t fCount = 0;
  CountedArray<Point> fPoints;
  std::atomic<int32_t> fComputed{0};
  int32_t fSelectionType;
  std::atomic<double> fPick;
  GraphJobs fJobs;
};
