#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "evaluation/AnExpression.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/OwnedHandles.h"
#include "graphs2d/GraphJobs.h"
#include "graphs3d/fields/ADEPlot3D.h"
#include "graphs3d/fields/AVectorFieldOrDEPlot.h"
#include "graphs3d/drawing/JobContext.h"

struct MDrawContext;

// The view box a generator reads at every computation: the view's own
// ranges, held by reference.
struct BoxRefs {
  const double &xmin, &xmax, &ymin, &ymax, &zmin, &zmax;
};

// The field or its solutions through the start points that one job of the
// generator finds first. The generator owns the field graph and forwards
// drawing and view attributes to it; a restart stops both, empties the
// start list and starts again. A generator that finds no points, or cannot
// look for them, still starts the field, which then is done at once with
// nothing to draw.
class AStartPointGenerator : public A3DGraph {
 public:
  ~AStartPointGenerator() override;

  int32_t Compute(int32_t slice) override;
  bool IsDoneComputing() override { return fJobs.AllDone() && fField->IsDoneComputing(); }
  int32_t GraphVisibility() override { return fField->GraphVisibility(); }
  void InvalConstant(int32_t variableId) override;
  void SetParameter(ViewAttribute attribute, double value) override;
  void ViewChanged() override;
  bool Draw() override { return fField->Draw(); }
  double MaximumModelSpaceRadius() override { return fField->MaximumModelSpaceRadius(); }

  AVectorFieldOrDEPlot& Field() { return *fField; }
  // The field when it draws solutions, else null.
  ADEPlot3D* Solutions() const { return fSolutions; }
  // Complete once the field has been started.
  const StartList& Starts() const { return fStarts; }

 protected:
  // Takes over every expression and the colour. Type 0 draws arrows of
  // the field, others its solutions. The condition (may be null) limits
  // the start points where the generator applies it, and the solutions.
  AStartPointGenerator(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled condition, Colour colour,
                       double opacity, int32_t fieldType, const BoxRefs& box, MDrawContext* context);

  // Each generator's constructor ends with Start, and its destructor begins
  // with Stop.
  void Start();
  void Stop();

  // Fills the start list: finished, cancelled, or nothing to compute (the
  // list is then emptied).
  virtual int32_t FindStarts() = 0;
  // Whether the start points depend on the variable.
  virtual bool StartsContain(int32_t variableId) const;
  virtual void InvalStartConstants();
  // After a stop, before the job is submitted again.
  virtual void Reset() {}
  // Between a stop and the restart.
  virtual void GrainChanged(double /*grain*/) {}

  // No condition, or the condition exactly 1 at p.
  bool Passes(AVector p);
  bool Cancelled() const { return fJobs.Cancelled(); }
  bool DrawsArrows() const { return fSolutions == nullptr; }
  void SetOwnExpressions(AnExpression* a, AnExpression* b = nullptr, AnExpression* c = nullptr);

  MDrawContext* fContext;
  // Taken at every submission, for the job and the field's jobs.
  JobContext fJobContext;
  BoxRefs fBox;
  std::unique_ptr<AnExpression> fCondition;
  StartList fStarts;
  // The length of the longest arrow; 0 leaves them at the field's.
  double fArrowLength = 0;

 private:
  void Restart();
  void RestartField();

  std::array<AnExpression*, 4> fOwn = {};
  std::unique_ptr<AVectorFieldOrDEPlot> fField;
  ADEPlot3D* fSolutions = nullptr;
  GraphJobs fJobs;
};
