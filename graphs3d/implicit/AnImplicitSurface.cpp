#include "graphs3d/implicit/AnImplicitSurface.h"

#include <cmath>

#include "expression/VariableIds.h"
#include "graphs3d/grid/GridColours.h"
#include "graphs3d/grid/GridMesh.h"
#include "renderer/Frame.h"
#include "renderer/Submission.h"

namespace {

constexpr int32_t kNotSatisfiedAnywhere = 6;
constexpr int32_t kNotSatisfiedInRanges = 12;
constexpr int32_t kNoSurfaceFound = 13;

bool HasEquations(const AGraphColor& colour) {
  return colour.fType == AGraphColor::kRGBEquations || colour.fType == AGraphColor::kHSVEquations;
}

// An enclosure of one sign: F has no zero there.
bool HasNoZero(AnExpression* f, double x0, double x1, double y0, double y1, double z0, double z1) {
  double lo = NAN, hi = NAN;
  f->EvaluateIntervalExtension(x0, x1, y0, y1, z0, z1, &lo, &hi);
  return (lo < 0 && hi < 0) || (lo > 0 && hi > 0);
}

template <typename List>
int32_t SumOfCounts(const std::vector<AnImplicitSurface::Piece>& pieces,
                    std::unique_ptr<List> AnImplicitSurface::Piece::*list) {
  int32_t count = 0;
  for (const AnImplicitSurface::Piece& p : pieces)
    if (p.*list) count += (p.*list)->Count();
  return count;
}

}  // namespace

AnImplicitSurface::AnImplicitSurface(Compiled f, double grain, double opacity, std::unique_ptr<AGraphColor> colour,
                                     Compiled condition, PlottingMode mode, const double& xmin, const double& xmax,
                                     const double& ymin, const double& ymax, const double& zmin, const double& zmax,
                                     MDrawContext* context, int32_t jobCount)
    : fF(std::move(f)),
      fCondition(std::move(condition)),
      fGrain(grain),
      fN(LatticeCellsPerAxis(grain)),
      fColour(std::move(colour)),
      fContext(context),
      fOpacity(opacity),
      fBounds{&xmin, &xmax, &ymin, &ymax, &zmin, &zmax},
      fMode(mode),
      fJobs(this, jobCount > 0 ? jobCount : GraphJobs::CountFor(GraphJobs::kTwicePerProcessor)) {
  fSlots = std::make_unique<Slot[]>(size_t(fJobs.Count()));
  fSaved.resize(size_t(fJobs.Count()));
  PrepareTheMachines();
  fColour->MaximizeIntensity();
  fColour->Compile(fCondition.get(), fMode, fContext);
  UpdateClipPlane();
  Restart();
}

AnImplicitSurface::~AnImplicitSurface() { CancelJobs(); }

#define ZL_IMPLICIT_EXPRESSIONS \
  { fF.get(), fGradient[0].get(), fGradient[1].get(), fGradient[2].get(), fCondition.get() }

void AnImplicitSurface::PrepareTheMachines() {
  for (auto& partial : fGradient) partial.reset();
  if (fF->HasAnalyticDerivative()) {
    const int32_t ids[3] = {kIdX, kIdY, kIdZ};
    bool all = true;
    for (int a = 0; a < 3 && all; ++a) {
      fGradient[a].reset(fF->CreateDerivativeExpr(ids[a]));
      all = fGradient[a] != nullptr;
    }
    if (!all)
      for (auto& partial : fGradient) partial.reset();
  }
  if (fGradient[0]) {
    AnExpression::Compile(fF.get(), fGradient[0].get(), fGradient[1].get(), fGradient[2].get());
  } else {
    AnExpression::Compile(fF.get());
  }
  fCornerData = AnExpression::CompileForGrid(fF.get());
  fCentreData = AnExpression::CompileForGrid(fF.get());
  if (fCondition) AnExpression::Compile(fCondition.get());
}

void AnImplicitSurface::UpdateClipPlane() {
  fClipPlaneFlag = fCondition && fColour->fFragmentProgram == nullptr && SupportsClipPlane(fContext) &&
                   fCondition->DoesExprDefinePlane(&fClipPlane);
}

bool AnImplicitSurface::ConditionEvaluated() const {
  return fCondition && !fClipPlaneFlag && fColour->fFragmentProgram == nullptr;
}

// Once per computation, on the interface thread while no job runs.
void AnImplicitSurface::RunIntervalTests() {
  fNoZeroAnywhere = HasNoZero(fF.get(), -INFINITY, INFINITY, -INFINITY, INFINITY, -INFINITY, INFINITY);
  fNoZeroInBox = HasNoZero(fF.get(), fBox[0], fBox[1], fBox[2], fBox[3], fBox[4], fBox[5]);
}

// The jobs are stopped before any shared state changes; a last finisher
// waiting for the previous model's pick-up is let go without saving.
void AnImplicitSurface::CancelJobs() {
  {
    OurLock lock(fModelMutex);
    fStopping = true;
  }
  fPickedUp.Broadcast();
  fJobs.Stop(fColour.get(), ZL_IMPLICIT_EXPRESSIONS);
  OurLock lock(fModelMutex);
  fStopping = false;
  fAwaitingPickup = false;
}

void AnImplicitSurface::Restart() {
  fJobContext = JobContextOf(fContext);
  for (int a = 0; a < 6; ++a) fBox[a] = *fBounds[a];
  fColourType = fColour->fType;
  fTestCondition = ConditionEvaluated();
  RunIntervalTests();
  fSavedModelAvailable.store(false, std::memory_order_release);
  for (int32_t j = 0; j < fJobs.Count(); ++j) fSlots[j].finished.store(false, std::memory_order_relaxed);
  fJobs.Submit(fColour.get(), ZL_IMPLICIT_EXPRESSIONS);
}

#undef ZL_IMPLICIT_EXPRESSIONS

void AnImplicitSurface::ViewChanged() {
  CancelJobs();
  {
    OurLock model(fModelMutex);
    OurLock partial(fPartialMutex);
    fCombinedColours.reset();
    for (int32_t j = 0; j < fJobs.Count(); ++j) {
      Slot& slot = fSlots[j];
      slot.piece = {};
      slot.partialVertices.reset();
      slot.partialTriangles.reset();
      slot.slabComputed = false;
    }
    fColoursStale = fGeometryChanged = true;
  }
  fPartialAvailable.store(false, std::memory_order_release);
  Restart();
}

// Each job finds its slab computed and only colours its vertices again.
void AnImplicitSurface::Recolour() {
  CancelJobs();
  {
    OurLock model(fModelMutex);
    fColoursStale = true;
  }
  Restart();
}

bool AnImplicitSurface::IsDoneComputing() {
  return fSavedModelAvailable.load(std::memory_order_acquire) && fJobs.AllDone();
}

int32_t AnImplicitSurface::TriangleCount() {
  OurLock lock(fModelMutex);
  return SumOfCounts(fSaved, &Piece::triangles);
}

int32_t AnImplicitSurface::VertexCount() {
  OurLock lock(fModelMutex);
  return SumOfCounts(fSaved, &Piece::vertices);
}

int32_t AnImplicitSurface::GraphVisibility() {
  if (!IsDoneComputing() || TriangleCount() > 0) return 0;
  if (fNoZeroAnywhere) return kNotSatisfiedAnywhere;
  if (fNoZeroInBox) return kNotSatisfiedInRanges;
  return kNoSurfaceFound;
}

bool AnImplicitSurface::UsingShaderHSV() {
  return fColour->fFragmentProgram != nullptr && fColour->fSavedType == AGraphColor::kHSVEquations;
}

void AnImplicitSurface::InvalConstant(int32_t id) {
  AnExpression* const all[13] = {fF.get(),
                                 fGradient[0].get(),
                                 fGradient[1].get(),
                                 fGradient[2].get(),
                                 fCondition.get(),
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 nullptr};
  AnExpression::InvalConstants(fColour.get(), all);
  const bool inCondition = fCondition && fCondition->Contains(id);
  if (fF->Contains(id) || (inCondition && ConditionEvaluated())) {
    ViewChanged();
    return;
  }
  const bool program = fColour->fFragmentProgram != nullptr;
  if (fColour->Contains(id)) {
    if (program) {
      NotifyWindowGraphFinished(fContext);
    } else {
      Recolour();
    }
  }
  if (fClipPlaneFlag && inCondition) {
    A4Vector plane;
    // No longer linear: the plane hides the whole surface.
    fClipPlane = fCondition->DoesExprDefinePlane(&plane) ? plane : A4Vector{0, 0, 0, -1};
    NotifyWindowGraphFinished(fContext);
  }
  if (program && inCondition) NotifyWindowGraphFinished(fContext);
}

void AnImplicitSurface::CacheSavedModel() {
  OurLock lock(fModelMutex);
  if (fNewModelSaved) {
    std::vector<const SurfaceVertexList*> vertices;
    std::vector<const TriangleList*> triangles;
    for (const Piece& p : fSaved) {
      if (!p.vertices || !p.triangles) continue;
      vertices.push_back(p.vertices.get());
      triangles.push_back(p.triangles.get());
    }
    fModel.CacheModel(int(vertices.size()), vertices.data(), triangles.data(), fCombinedColours.get(), UsingShader(),
                      fContext);
    fCachedWithColours = fCombinedColours != nullptr;
    fNewModelSaved = fNewColoursSaved = false;
  } else if (fNewColoursSaved) {
    if (HasEquations(*fColour)) fModel.CacheColorArray(fCombinedColours.get());
    fCachedWithColours = fCombinedColours != nullptr;
    fNewColoursSaved = false;
  } else {
    return;
  }
  fAwaitingPickup = false;
  fPickedUp.Broadcast();
}

void AnImplicitSurface::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributePlottingMode:
      if (value == 0 || value == 1 || value == 2) fMode = PlottingMode(int32_t(value));
      CancelJobs();
      fColour->Compile(fCondition.get(), fMode, fContext);
      UpdateClipPlane();
      fModel.CacheColorArray(nullptr);
      PrepareTheMachines();
      ViewChanged();
      break;
    case kAttributeUpdateSavedVertexObjects: CacheSavedModel(); break;
    case kAttributeColor:
      // The jobs colour from the colour's equations: never change them
      // under a running job.
      if (IsSolidColourCode(value) && !HasEquations(*fColour)) {
        fColour->Set(value);
        fColour->MaximizeIntensity();
        if (fCondition) fColour->Compile(fCondition.get(), fMode, fContext);
        break;
      }
      CancelJobs();
      fColour->Set(value);
      fColour->MaximizeIntensity();
      fColour->Compile(fCondition.get(), fMode, fContext);
      UpdateClipPlane();
      {
        OurLock model(fModelMutex);
        fColoursStale = true;
      }
      Restart();
      break;
    case kAttributeOpacity: fOpacity = value; break;
    case kAttributeGrain:
      fGrain = value;
      CancelJobs();
      fN = LatticeCellsPerAxis(value);
      ViewChanged();
      break;
    default: break;
  }
}
