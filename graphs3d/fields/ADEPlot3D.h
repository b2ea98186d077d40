#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphs3d/fields/ASolution.h"
#include "graphs3d/fields/AVectorFieldOrDEPlot.h"
#include "graphs3d/fields/SolutionList.h"

// A graph that draws what a solution plot has computed, and restarts with
// it.
class ASolutionFollower {
 public:
  virtual ~ASolutionFollower() = default;
  // The plot has stopped and will compute again: on the interface thread.
  virtual void SourceRestarted() = 0;
  // The plot is being destroyed.
  virtual void SourceGone() = 0;
};

// Solutions of dP/dt = F(P) through the start points, traced forward by
// fourth-order Runge-Kutta in steps of a fixed length along the curve, one
// job per processor, each taking a run of start points.
class ADEPlot3D : public AVectorFieldOrDEPlot {
 public:
  static constexpr int32_t kSteps = 2000;

  // The condition (may be null) stays the caller's; the box is the view's,
  // read at every computation.
  ADEPlot3D(Compiled fx, Compiled fy, Compiled fz, Compiled radius, AnExpression* condition,
            std::unique_ptr<AGraphColor> colour, double opacity, const StartList& starts, const double& xmin,
            const double& xmax, const double& ymin, const double& ymax, const double& zmin, const double& zmax,
            MDrawContext* context);
  ~ADEPlot3D() override;

  int32_t Compute(int32_t slice) override;
  int32_t GraphVisibility() override { return 0; }
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override {}
  bool Draw() override { return fSolutions.Draw(); }
  double MaximumModelSpaceRadius() override { return fSolutions.MaximumModelSpaceRadius(); }
  void CancelJobs() override;

  // The solution from the start point: the start, then every stride-th
  // point of up to kSteps steps, until a point is not finite, leaves the
  // box widened by three of its sides each way, or fails the condition.
  // Null when memory runs out or the job is cancelled.
  std::unique_ptr<StartList> Propagate(AVector start, int32_t stride);

  void AddFollower(ASolutionFollower* follower);
  void RemoveFollower(ASolutionFollower* follower);
  SolutionList& Solutions() { return fSolutions; }
  double Opacity() const { return fOpacity.load(std::memory_order_acquire); }

 private:
  void MarkStale() override { fSolutions.MarkStale(); }
  std::unique_ptr<ASolution> Solve(AVector start);
  bool FillRadiiAndColours(ASolution& solution);

  const double *fXMin, *fXMax, *fYMin, *fYMax, *fZMin, *fZMax;
  std::atomic<double> fOpacity;
  SolutionList fSolutions;
  std::vector<ASolutionFollower*> fFollowers;
};
