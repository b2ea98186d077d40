#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/fields/ADEPlot3D.h"
#include "graphs3d/drawing/JobContext.h"
#include "graphs3d/fields/SolutionList.h"

struct MDrawContext;

// The current solutions of a solution plot mapped through a space
// transformation, one job per processor, each waiting until the plot is
// done. It restarts whenever the plot does.
class ATransformedDEPlot3D : public A3DGraph, private ASolutionFollower {
 public:
  // Takes over the transformation; the source is borrowed.
  ATransformedDEPlot3D(Compiled tx, Compiled ty, Compiled tz, ADEPlot3D* source, MDrawContext* context);
  ~ATransformedDEPlot3D() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override;
  int32_t GraphVisibility() override { return 0; }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override { return fSolutions.Draw(); }
  double MaximumModelSpaceRadius() override { return fSolutions.MaximumModelSpaceRadius(); }

  void SubmitJobs();
  void CancelJobs();

  SolutionList& Solutions() { return fSolutions; }

 private:
  void SourceRestarted() override { ViewChanged(); }
  void SourceGone() override;
  std::unique_ptr<ASolution> Transformed(int32_t k);

  std::unique_ptr<AnExpression> fX, fY, fZ;
  ADEPlot3D* fSource;
  MDrawContext* fContext;
  JobContext fJobContext;
  SolutionList fSolutions;
  GraphJobs fJobs;
};
