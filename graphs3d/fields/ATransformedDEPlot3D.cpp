#include "graphs3d/fields/ATransformedDEPlot3D.h"

ATransformedDEPlot3D::ATransformedDEPlot3D(Compiled tx, Compiled ty, Compiled tz, ADEPlot3D* source,
                                           MDrawContext* context)
    : fX(std::move(tx)),
      fY(std::move(ty)),
      fZ(std::move(tz)),
      fSource(source),
      fContext(context),
      fJobs(this, GraphJobs::kOnePerProcessor) {
  AnExpression::Compile(fX.get(), fY.get(), fZ.get());
  fJobs.DependOn(fSource);
  fSource->AddFollower(this);
  SubmitJobs();
}

ATransformedDEPlot3D::~ATransformedDEPlot3D() {
  CancelJobs();
  if (fSource) fSource->RemoveFollower(this);
}

void ATransformedDEPlot3D::SubmitJobs() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(nullptr, {fX.get(), fY.get(), fZ.get()});
}

void ATransformedDEPlot3D::CancelJobs() {
  fJobs.Stop(nullptr, {fX.get(), fY.get(), fZ.get()});
  fJobs.ForgetDone();
}

// A plot without its source draws what it has and computes no more.
void ATransformedDEPlot3D::SourceGone() {
  CancelJobs();
  fJobs.DependOn(nullptr);
  fSource = nullptr;
}

bool ATransformedDEPlot3D::IsDoneComputing() {
  return (fSource == nullptr || fSource->IsDoneComputing()) && fJobs.AllDone();
}

void ATransformedDEPlot3D::ViewChanged() {
  CancelJobs();
  fSolutions.MarkStale();
  if (fSource) SubmitJobs();
}

void ATransformedDEPlot3D::InvalConstant(int32_t id) {
  AnExpression::InvalConstants(nullptr, fX.get(), fY.get(), fZ.get());
  if (fX->Contains(id) || fY->Contains(id) || fZ->Contains(id) || (fSource && fSource->Contains(id))) ViewChanged();
}

// The copy brings its own radii and colours, which its curve keeps using.
std::unique_ptr<ASolution> ATransformedDEPlot3D::Transformed(int32_t k) {
  std::unique_ptr<ASolution> solution = fSource->Solutions().CopyCurrent(k);
  if (!solution) return nullptr;
  for (int32_t i = 0; i < solution->count; ++i) {
    Vertex& v = solution->points[i];
    const double x = v.x, y = v.y, z = v.z;
    v = {float(fX->Evaluate(0, 0, x, y, z, 0)), float(fY->Evaluate(0, 0, x, y, z, 0)),
         float(fZ->Evaluate(0, 0, x, y, z, 0))};
    if (fX->IsCancelled()) break;
  }
  if (fJobs.Cancelled()) return nullptr;
  solution->MakeCurve(fSource->Colour(), fSource->Opacity(), fContext, fJobContext.space);
  return solution;
}

int32_t ATransformedDEPlot3D::Compute(int32_t slice) {
  DocumentRecord* document = fJobContext.document;
  if (fSource && fSource->IsDoneComputing()) {
    const int32_t n = fSource->Solutions().CurrentCount();
    if (!fSolutions.AppendShare(n, fJobs, [this](int32_t k) { return Transformed(k); }))
      return fJobs.Finish(slice, kComputeCancelled, document);
  }
  return fJobs.Finish(slice, kComputeFinished, document);
}

void ATransformedDEPlot3D::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeGrain: ViewChanged(); break;
    case kAttributeSaveFinishedModels: fSolutions.KeepCurrent(attribute, value); break;
    case kAttributeOpacity: fSolutions.PassToCurves(attribute, value); break;
    default: break;
  }
}
