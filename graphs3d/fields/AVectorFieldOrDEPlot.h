#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/memory/AListGenericLarge.h"
#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/AGraphColor.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/drawing/JobContext.h"
#include "renderer/AVector.h"

struct MDrawContext;

using StartList = AListGenericLarge<AVector, 10>;

// A field F(x, y, z) shown from the start points a generator owns: as
// arrows or as solution curves. The generator fills the points, then
// submits the jobs; every restart goes CancelJobs, ViewChanged, SubmitJobs.
class AVectorFieldOrDEPlot : public A3DGraph {
 public:
  // Takes over the components, the radius (may be null) and the colour;
  // the condition (may be null) stays the caller's.
  AVectorFieldOrDEPlot(Compiled fx, Compiled fy, Compiled fz, Compiled radius, AnExpression* condition,
                       std::unique_ptr<AGraphColor> colour, const StartList& starts, MDrawContext* context,
                       GraphJobs::Split split);
  ~AVectorFieldOrDEPlot() override;

  bool IsDoneComputing() override { return fJobs.AllDone(); }
  void InvalConstant(int32_t variableId) override;

  // The job context is the generator's, taken on the interface thread.
  // Whatever was drawn so far counts as the previous results from here on.
  void SubmitJobs(const JobContext& job);
  // Also forgets that the jobs had finished.
  virtual void CancelJobs();
  bool Contains(int32_t variableId) const;

  AGraphColor* Colour() const { return fColour.get(); }

 protected:
  // F at p, evaluated as every expression of x, y and z here.
  AVector Field(AVector p) const;
  // A value at p of an expression of x, y and z.
  static double At(AnExpression* e, AVector p) { return e->Evaluate(0, 0, p.x, p.y, p.z, 0); }
  bool HasColourEquations() const {
    return fColour->fType == AGraphColor::kRGBEquations || fColour->fType == AGraphColor::kHSVEquations;
  }
  // Marks what is drawn now as the previous results; no job is running.
  virtual void MarkStale() = 0;

  MDrawContext* fContext;
  JobContext fJobContext;
  const StartList& fStarts;
  std::unique_ptr<AnExpression> fX, fY, fZ;
  std::unique_ptr<AnExpression> fRadius;
  AnExpression* fCondition;
  std::unique_ptr<AGraphColor> fColour;
  GraphJobs fJobs;
};
