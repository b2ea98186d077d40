#pragma once

#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/curves/ACurve3D.h"
#include "graphs3d/drawing/JobContext.h"

struct MDrawContext;

// A curve (x, y, z) in u over the view's range, sampled by one job and
// drawn as a tube when it has a radius, else as lines. Samples where a
// coordinate or the radius is infinite, or the condition is not exactly 1,
// break it.
class ASpaceCurve : public A3DGraph {
 public:
  // Takes over the expressions and the colour; radius and condition may be
  // null. The range is the view's own, read at every computation.
  ASpaceCurve(Compiled x, Compiled y, Compiled z, Compiled radius, Compiled condition, Colour colour, double grain,
              double opacity, MDrawContext* context, const double& tmin, const double& tmax);
  ~ASpaceCurve() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone(); }
  int32_t GraphVisibility() override { return fTube->GraphVisibility(); }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override { return fTube->Draw(); }
  double MaximumModelSpaceRadius() override { return fTube->MaximumModelSpaceRadius(); }

  int32_t SampleCount() const { return fN; }
  const Vertex* Points() const { return fPoints.get(); }
  const ACurve3D& Tube() const { return *fTube; }

 private:
  void AllocateSpace();
  void FreeUpSpace();
  bool HasSpace() const;
  bool HasColourArray() const;
  void MakeTube();
  void Stop();
  void Restart();

  MDrawContext* fContext;
  // Taken at every submission, for the job.
  JobContext fJobContext;
  const double* fTMin;
  const double* fTMax;
  std::unique_ptr<AnExpression> fX, fY, fZ;
  std::unique_ptr<AnExpression> fRadius;
  std::unique_ptr<AnExpression> fCondition;
  std::unique_ptr<AGraphColor> fColour;
  double fOpacity;
  double fGrain;
  int32_t fN;
  std::unique_ptr<Vertex[]> fPoints;
  std::unique_ptr<double[]> fRadii;
  std::unique_ptr<ColorArrayElement[]> fColours;
  std::unique_ptr<ACurve3D> fTube;
  GraphJobs fJobs;
};
