#include "graphs3d/fields/AVectorFieldOrDEPlot.h"

AVectorFieldOrDEPlot::AVectorFieldOrDEPlot(Compiled fx, Compiled fy, Compiled fz, Compiled radius,
                                           AnExpression* condition, std::unique_ptr<AGraphColor> colour,
                                           const StartList& starts, MDrawContext* context, GraphJobs::Split split)
    : fContext(context),
      fStarts(starts),
      fX(std::move(fx)),
      fY(std::move(fy)),
      fZ(std::move(fz)),
      fRadius(std::move(radius)),
      fCondition(condition),
      fColour(std::move(colour)),
      fJobs(this, split) {
  AnExpression::Compile(fX.get(), fY.get(), fZ.get());
  if (fRadius) AnExpression::Compile(fRadius.get());
  fColour->Compile();
}

// Derived graphs stop the jobs in their own destructors, while whole;
// this finds them stopped.
AVectorFieldOrDEPlot::~AVectorFieldOrDEPlot() = default;

#define ZL_FIELD_EXPRESSIONS \
  { fX.get(), fY.get(), fZ.get(), fRadius.get(), fCondition }

void AVectorFieldOrDEPlot::SubmitJobs(const JobContext& job) {
  MarkStale();
  fJobContext = job;
  fJobs.Submit(fColour.get(), ZL_FIELD_EXPRESSIONS);
}

void AVectorFieldOrDEPlot::CancelJobs() {
  fJobs.Stop(fColour.get(), ZL_FIELD_EXPRESSIONS);
  fJobs.ForgetDone();
}

#undef ZL_FIELD_EXPRESSIONS

bool AVectorFieldOrDEPlot::Contains(int32_t id) const {
  for (const AnExpression* e : {fX.get(), fY.get(), fZ.get(), fRadius.get(), fCondition})
    if (e && e->Contains(id)) return true;
  return fColour->Contains(id);
}

void AVectorFieldOrDEPlot::InvalConstant(int32_t id) {
  AnExpression::InvalConstants(fColour.get(), fX.get(), fY.get(), fZ.get(), fRadius.get(), fCondition);
  if (Contains(id)) ViewChanged();
}

AVector AVectorFieldOrDEPlot::Field(AVector p) const { return {At(fX.get(), p), At(fY.get(), p), At(fZ.get(), p)}; }
