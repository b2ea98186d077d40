#include "graphs3d/grid/AGridSurface.h"

#include <algorithm>
#include <new>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/OurTime.h"
#include "expression/VariableIds.h"
#include "graphs3d/grid/GridColours.h"
#include "renderer/Frame.h"
#include "renderer/Submission.h"

namespace {

constexpr int32_t kUndefinedMessage = 11;

template <typename T>
std::unique_ptr<T[]> Allocate(int32_t count) {
  std::unique_ptr<T[]> array(new (std::nothrow) T[size_t(count)]);
  if (!array) QueueError(kOutOfMemoryError);
  return array;
}

}  // namespace

AGridSurface::AGridSurface(Compiled x, Compiled y, Compiled z, double grain, double opacity, Colour colour,
                           Compiled condition, PlottingMode mode, const double& umin, const double& umax,
                           const double& vmin, const double& vmax, MDrawContext* context)
    : fContext(context),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fCondition(std::move(condition)),
      fColour(std::move(colour)),
      fOpacity(opacity),
      fUMin(&umin),
      fUMax(&umax),
      fVMin(&vmin),
      fVMax(&vmax),
      fN(GridPointsPerSide(grain)),
      fMode(mode),
      fJobs(this, GraphJobs::kOneJob) {
  fColour->MaximizeIntensity();
  PrepareTheMachines();
  AllocateSpace();
  Restart();
}

AGridSurface::~AGridSurface() {
  Stop();
  FreeUpSpace();
}

// Every expression whose evaluations a stop must cancel.
#define ZL_GRID_EXPRESSIONS                                                                                       \
  {                                                                                                               \
    fX.get(), fY.get(), fZ.get(), fPartials[0].get(), fPartials[1].get(), fPartials[2].get(), fPartials[3].get(), \
        fPartials[4].get(), fPartials[5].get(), fCondition.get()                                                  \
  }

void AGridSurface::Stop() { fJobs.Stop(fColour.get(), ZL_GRID_EXPRESSIONS); }

void AGridSurface::Restart() {
  fJobContext = JobContextOf(fContext);
  fJobs.Submit(fColour.get(), ZL_GRID_EXPRESSIONS);
}

#undef ZL_GRID_EXPRESSIONS

void AGridSurface::PrepareTheMachines() {
  fAnalyticNormals = false;
  for (auto& partial : fPartials) partial.reset();
  const bool wanted = fMode != kPlotSampling && fX->HasAnalyticDerivative() && fY->HasAnalyticDerivative() &&
                      fZ->HasAnalyticDerivative() && !fZ->Contains(kIdR) && !fZ->Contains(kIdTheta);
  if (wanted) {
    AnExpression* coordinates[3] = {fX.get(), fY.get(), fZ.get()};
    bool all = true;
    for (int k = 0; k < 6 && all; ++k) {
      fPartials[k].reset(coordinates[k % 3]->CreateDerivativeExpr(k < 3 ? kIdU : kIdV));
      all = fPartials[k] != nullptr;
    }
    if (all) {
      AnExpression* const nine[9] = {fX.get(),           fY.get(),           fZ.get(),
                                     fPartials[0].get(), fPartials[1].get(), fPartials[2].get(),
                                     fPartials[3].get(), fPartials[4].get(), fPartials[5].get()};
      fGridData = AnExpression::CompileForGrid(nine);
      fAnalyticNormals = true;
    } else {
      for (auto& partial : fPartials) partial.reset();
    }
  }
  if (!fAnalyticNormals) fGridData = AnExpression::CompileForGrid(fX.get(), fY.get(), fZ.get());
  if (fCondition) AnExpression::Compile(fCondition.get());
  fColour->Compile(fCondition.get(), fMode, fContext);
  UpdateClipPlane();
}

void AGridSurface::UpdateClipPlane() {
  fClipPlaneFlag = fCondition && fColour->fFragmentProgram == nullptr && SupportsClipPlane(fContext) &&
                   fCondition->DoesExprDefinePlane(&fClipPlane);
}

bool AGridSurface::HasSpace() const {
  const auto type = fColourType;
  if (!fPositions || !fNormals || !fTriangles || !fValid) return false;
  if (type == AGraphColor::kPictureTexture) return fTexCoords != nullptr;
  if (type != AGraphColor::kSolid && type != AGraphColor::kFragmentProgram) return fColours != nullptr;
  return true;
}

void AGridSurface::AllocateSpace() {
  fColourType = fColour->fType;
  fCopies = GridVertexCopies(fColourType);
  fConditionEvaluated = fCondition && !fClipPlaneFlag && fColour->fFragmentProgram == nullptr;
  const int32_t points = fN * fN, vertices = points * Copies();
  const auto type = fColourType;
  fPositions = Allocate<Vertex>(vertices);
  fNormals = Allocate<Vertex>(vertices);
  fTriangles = Allocate<Triangle>(2 * (fN - 1) * (fN - 1));
  fValid = Allocate<uint8_t>(points);
  if (type == AGraphColor::kPictureTexture) {
    fTexCoords = Allocate<TexCoord>(points);
  } else if (type != AGraphColor::kSolid && type != AGraphColor::kFragmentProgram) {
    fColours = Allocate<ColorArrayElement>(vertices);
  }
  if (!HasSpace()) {
    FreeUpSpace();
    return;
  }
  ClearResults();
}

void AGridSurface::ClearResults() {
  if (!HasSpace()) return;
  std::fill_n(fNormals.get(), fN * fN * Copies(), Vertex{0, 0, 0});
  std::fill_n(fValid.get(), fN * fN, uint8_t{0});
  fModelChanged = true;
  fNormalsComplete = true;
  fTriangleCount = 0;
}

void AGridSurface::FreeUpSpace() {
  fPositions.reset(), fNormals.reset(), fColours.reset(), fTexCoords.reset(), fTriangles.reset(), fValid.reset();
}

int32_t AGridSurface::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  if (!HasSpace()) return kUndefinedMessage;
  return std::any_of(fValid.get(), fValid.get() + fN * fN, [](uint8_t v) { return v != 0; }) ? 0 : kUndefinedMessage;
}

bool AGridSurface::UsingShaderHSV() {
  return fColour->fFragmentProgram != nullptr && fColour->fSavedType == AGraphColor::kHSVEquations;
}

void AGridSurface::ViewChanged() {
  Stop();
  ClearResults();
  Restart();
}

void AGridSurface::InvalConstant(int32_t id) {
  AnExpression* const all[13] = {fX.get(),
                                 fY.get(),
                                 fZ.get(),
                                 fPartials[0].get(),
                                 fPartials[1].get(),
                                 fPartials[2].get(),
                                 fPartials[3].get(),
                                 fPartials[4].get(),
                                 fPartials[5].get(),
                                 fCondition.get(),
                                 nullptr,
                                 nullptr,
                                 nullptr};
  AnExpression::InvalConstants(fColour.get(), all);
  const bool inCondition = fCondition && fCondition->Contains(id);
  if (fX->Contains(id) || fY->Contains(id) || fZ->Contains(id) || (inCondition && fConditionEvaluated)) {
    ViewChanged();
    return;
  }
  const bool program = fColour->fFragmentProgram != nullptr;
  if (fColour->Contains(id)) {
    if (!program) {
      ViewChanged();
      return;
    }
    NotifyWindowGraphFinished(fContext);
  }
  if (fClipPlaneFlag && inCondition) {
    A4Vector plane;
    if (!fCondition->DoesExprDefinePlane(&plane)) {
      // No longer linear: the plane hides the whole surface.
      fClipPlane = {0, 0, 0, -1};
    } else {
      fClipPlane = plane;
    }
    NotifyWindowGraphFinished(fContext);
  }
  if (program && inCondition) NotifyWindowGraphFinished(fContext);
}

void AGridSurface::CacheFinishedModel() {
  if (!fModelChanged || !IsDoneComputing() || !HasSpace()) return;
  const bool colours = fColours && fColourType != AGraphColor::kSolid;
  fModel.CacheModel(fPositions.get(), fNormals.get(), colours ? fColours.get() : nullptr, fTexCoords.get(),
                    fTriangles.get(), fN * fN * Copies(), fTriangleCount, UsingShader(), fContext);
  fModelChanged = false;
}

void AGridSurface::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributePlottingMode:
      if (value == 0 || value == 1 || value == 2) fMode = PlottingMode(int32_t(value));
      Stop();
      fModel.CacheColorArray(nullptr);
      PrepareTheMachines();
      FreeUpSpace();
      AllocateSpace();
      Restart();
      break;
    case kAttributeSaveFinishedModels: CacheFinishedModel(); break;
    case kAttributeColor:
      if (fColour->fType == AGraphColor::kSolid && IsSolidColourCode(value)) {
        fColour->Set(value);
        fColour->MaximizeIntensity();
        fColour->Compile(fCondition.get(), fMode, fContext);
        break;
      }
      Stop();
      FreeUpSpace();
      fColour->Set(value);
      fColour->MaximizeIntensity();
      fColour->Compile(fCondition.get(), fMode, fContext);
      AllocateSpace();
      Restart();
      {
        const uint32_t deadline = OurTime() + OurDuration(60);
        while (!IsDoneComputing() && !OurTimeIsPast(OurTime(), deadline)) OurSleep(50000);
      }
      if (IsDoneComputing()) CacheFinishedModel();
      break;
    case kAttributeOpacity: fOpacity = value; break;
    case kAttributeGrain:
      Stop();
      FreeUpSpace();
      fN = GridPointsPerSide(value);
      AllocateSpace();
      Restart();
      break;
    default: break;
  }
}
