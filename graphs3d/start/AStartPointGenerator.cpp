#include "graphs3d/start/AStartPointGenerator.h"

#include "graphs3d/fields/A3DVectorField.h"

AStartPointGenerator::AStartPointGenerator(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled condition,
                                           Colour colour, double opacity, int32_t fieldType, const BoxRefs& box,
                                           MDrawContext* context)
    : fContext(context), fBox(box), fCondition(std::move(condition)), fJobs(this, GraphJobs::kOneJob) {
  if (fCondition) AnExpression::Compile(fCondition.get());
  if (fieldType == 0) {
    fField = std::make_unique<A3DVectorField>(std::move(fx), std::move(fy), std::move(fz), std::move(radius),
                                              std::move(colour), fArrowLength, fStarts, context);
  } else {
    auto solutions = std::make_unique<ADEPlot3D>(std::move(fx), std::move(fy), std::move(fz), std::move(radius),
                                                 fCondition.get(), std::move(colour), opacity, fStarts, box.xmin,
                                                 box.xmax, box.ymin, box.ymax, box.zmin, box.zmax, context);
    fSolutions = solutions.get();
    fField = std::move(solutions);
  }
  fOwn[0] = fCondition.get();
}

// The generator's own expressions are gone by now: it stopped in its own
// destructor.
AStartPointGenerator::~AStartPointGenerator() {
  fOwn = {fCondition.get()};
  Stop();
}

void AStartPointGenerator::SetOwnExpressions(AnExpression* a, AnExpression* b, AnExpression* c) {
  fOwn[1] = a, fOwn[2] = b, fOwn[3] = c;
}

void AStartPointGenerator::Start() { Restart(); }

void AStartPointGenerator::Stop() {
  fJobs.Stop(nullptr, {fOwn[0], fOwn[1], fOwn[2], fOwn[3]});
  fField->CancelJobs();
}

void AStartPointGenerator::Restart() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(nullptr, {fOwn[0], fOwn[1], fOwn[2], fOwn[3]});
}

// The field is started before the generator counts as done, so that a
// generator found done has no submission of its own still to come. The
// submission publishes the start points to the field's jobs.
int32_t AStartPointGenerator::Compute(int32_t slice) {
  const int32_t status = FindStarts();
  if (status == kComputeCancelled || Cancelled()) return fJobs.Finish(slice, kComputeCancelled, nullptr);
  if (status != kComputeFinished) fStarts.RemoveAllElements();
  fField->SubmitJobs(fJobContext);
  return fJobs.Finish(slice, kComputeFinished, fJobContext.document);
}

bool AStartPointGenerator::Passes(AVector p) {
  return !fCondition || fCondition->Evaluate(0, 0, p.x, p.y, p.z, 0) == 1.0;
}

bool AStartPointGenerator::StartsContain(int32_t id) const { return fCondition && fCondition->Contains(id); }

void AStartPointGenerator::InvalStartConstants() {
  if (fCondition) fCondition->InvalConstants();
}

void AStartPointGenerator::ViewChanged() {
  Stop();
  fStarts.RemoveAllElements();
  Reset();
  fField->ViewChanged();
  Restart();
}

// Only what is restarted is stopped: a constant neither the start points
// nor the field use leaves both computing.
void AStartPointGenerator::InvalConstant(int32_t id) {
  InvalStartConstants();
  const bool inStarts = StartsContain(id), inField = fField->Contains(id);
  fField->InvalConstant(id);
  if (inStarts || (inField && !fJobs.AllDone())) {
    ViewChanged();
  } else if (inField) {
    RestartField();
  }
}

void AStartPointGenerator::RestartField() {
  fField->CancelJobs();
  fField->ViewChanged();
  fJobContext = JobContextOf(fContext);
  fField->SubmitJobs(fJobContext);
}

void AStartPointGenerator::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeSaveFinishedModels:
    case kAttributeUpdateSavedVertexObjects:
    case kAttributeUpdateVertexObjects:
    case kAttributeColor:
    case kAttributeOpacity: fField->SetParameter(attribute, value); break;
    case kAttributeEqualLengthArrows:
      if (!DrawsArrows()) break;
      static_cast<A3DVectorField&>(*fField).SetHeadless(value != 0);
      ViewChanged();
      break;
    case kAttributeGrain:
      Stop();
      GrainChanged(value);
      ViewChanged();
      break;
    default: break;
  }
}
