#include "graphs3d/grid/AGridSurface4D.h"

#include <algorithm>
#include <cmath>

#include "CoreUtilities/OurTime.h"
#include "expression/VariableIds.h"
#include "graphs3d/GraphArrays.h"
#include "graphs3d/grid/GridColours.h"
#include "graphs3d/grid/GridMesh.h"

namespace {

constexpr int32_t kSurfaceUndefinedForRanges = 11;

}  // namespace

AGridSurface4D::AGridSurface4D(Compiled x, Compiled y, Compiled z, Compiled w, double grain, double opacity,
                               Colour colour, Compiled condition, const double& umin, const double& umax,
                               const double& vmin, const double& vmax, MDrawContext* context,
                               const MTransform4D& transform)
    : fContext(context),
      fTransform(&transform),
      fX(std::move(x)),
      fY(std::move(y)),
      fZ(std::move(z)),
      fW(std::move(w)),
      fCondition(std::move(condition)),
      fColour(std::move(colour)),
      fOpacity(opacity),
      fUMin(&umin),
      fUMax(&umax),
      fVMin(&vmin),
      fVMax(&vmax),
      fN(GridPointsPerSide(grain)),
      fJobs(this, GraphJobs::kOneJob) {
  PrepareTheMachines();
  fColour->MaximizeIntensity();
  fColour->Compile(nullptr, kPlotInterval, fContext);
  AllocateSpace();
  Restart();
}

AGridSurface4D::~AGridSurface4D() { Stop(); }

// Every expression whose evaluations a stop must cancel.
#define ZL_GRID4D_EXPRESSIONS                                                                               \
  {                                                                                                         \
    fX.get(), fY.get(), fZ.get(), fW.get(), fPartials[0].get(), fPartials[1].get(), fPartials[2].get(),     \
        fPartials[3].get(), fPartials[4].get(), fPartials[5].get(), fPartials[6].get(), fPartials[7].get(), \
        fCondition.get()                                                                                    \
  }

void AGridSurface4D::Stop() { fJobs.Stop(fColour.get(), ZL_GRID4D_EXPRESSIONS); }

void AGridSurface4D::Restart() {
  fJobContext = JobContextOf(fContext);
  for (int k = 0; k < 4; ++k) std::copy(fTransform->ranges[k], fTransform->ranges[k] + 2, fRanges[k]);
  fU[0] = *fUMin, fU[1] = *fUMax, fV[0] = *fVMin, fV[1] = *fVMax;
  fLargestSquare.store(0, std::memory_order_relaxed);
  fTriangleCount = 0;
  fJobs.Submit(fColour.get(), ZL_GRID4D_EXPRESSIONS);
}

#undef ZL_GRID4D_EXPRESSIONS

void AGridSurface4D::Recompute() {
  Stop();
  Restart();
}

// Analytic partials of all four coordinates give tangents; otherwise each
// frame forms normals from the projected neighbours.
void AGridSurface4D::PrepareTheMachines() {
  fAnalytic = false;
  for (auto& partial : fPartials) partial.reset();
  AnExpression* const coordinates[4] = {fX.get(), fY.get(), fZ.get(), fW.get()};
  const bool wanted =
      std::all_of(coordinates, coordinates + 4, [](const AnExpression* e) { return e->HasAnalyticDerivative(); }) &&
      !fZ->Contains(kIdR) && !fZ->Contains(kIdTheta);
  for (int k = 0; k < 8 && wanted; ++k) {
    fPartials[k].reset(coordinates[k % 4]->CreateDerivativeExpr(k < 4 ? kIdU : kIdV));
    if (!fPartials[k]) break;
    fAnalytic = k == 7;
  }
  if (fAnalytic) {
    AnExpression* const twelve[12] = {fX.get(),           fY.get(),           fZ.get(),           fW.get(),
                                      fPartials[0].get(), fPartials[1].get(), fPartials[2].get(), fPartials[3].get(),
                                      fPartials[4].get(), fPartials[5].get(), fPartials[6].get(), fPartials[7].get()};
    fGridData = AnExpression::CompileForGrid(twelve);
  } else {
    for (auto& partial : fPartials) partial.reset();
    fGridData = AnExpression::CompileForGrid(fX.get(), fY.get(), fZ.get(), fW.get());
  }
  if (fCondition) AnExpression::Compile(fCondition.get());
}

bool AGridSurface4D::HasSpace() const {
  if (!fPoints || !fTangents || !fValid || !fVertices || !fNormals || !fTriangles || !fGridData) return false;
  if (fColourType == AGraphColor::kPictureTexture) return fTexCoords != nullptr;
  if (ColoursEachGridPoint(fColourType)) return fColours != nullptr;
  return true;
}

void AGridSurface4D::AllocateSpace() {
  fColourType = fColour->fType;
  fCopies = GridVertexCopies(fColourType);
  const size_t points = size_t(fN) * size_t(fN), vertices = points * size_t(fCopies);
  fPoints = AllocateGraphArray<A4Vector>(points);
  fTangents = AllocateGraphArray<Tangents>(points);
  fValid = AllocateGraphArray<uint8_t>(points);
  fVertices = AllocateGraphArray<Vertex>(vertices);
  fNormals = AllocateGraphArray<Vertex>(vertices);
  fTriangles = AllocateGraphArray<Triangle>(2 * size_t(fN - 1) * size_t(fN - 1));
  if (fColourType == AGraphColor::kPictureTexture)
    fTexCoords = AllocateGraphArray<TexCoord>(points);
  else if (ColoursEachGridPoint(fColourType))
    fColours = AllocateGraphArray<ColorArrayElement>(vertices);
  if (!HasSpace()) {
    FreeUpSpace();
    return;
  }
  std::fill_n(fValid.get(), points, uint8_t{0});
}

void AGridSurface4D::FreeUpSpace() {
  fPoints.reset(), fTangents.reset(), fValid.reset(), fVertices.reset(), fNormals.reset();
  fColours.reset(), fTexCoords.reset(), fTriangles.reset();
  fTriangleCount = 0;
}

int32_t AGridSurface4D::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  if (!HasSpace()) return kSurfaceUndefinedForRanges;
  return std::any_of(fValid.get(), fValid.get() + fN * fN, [](uint8_t v) { return v != 0; })
             ? 0
             : kSurfaceUndefinedForRanges;
}

double AGridSurface4D::MaximumModelSpaceRadius() { return std::sqrt(fLargestSquare.load(std::memory_order_acquire)); }

void AGridSurface4D::ViewChanged() { Recompute(); }

void AGridSurface4D::InvalConstant(int32_t id) {
  AnExpression* const all[13] = {fX.get(),           fY.get(),           fZ.get(),           fW.get(),
                                 fPartials[0].get(), fPartials[1].get(), fPartials[2].get(), fPartials[3].get(),
                                 fPartials[4].get(), fPartials[5].get(), fPartials[6].get(), fPartials[7].get(),
                                 fCondition.get()};
  AnExpression::InvalConstants(fColour.get(), all);
  const bool uses = fX->Contains(id) || fY->Contains(id) || fZ->Contains(id) || fW->Contains(id) ||
                    (fCondition && fCondition->Contains(id)) || fColour->Contains(id);
  if (uses) Recompute();
}

void AGridSurface4D::SetParameter(ViewAttribute attribute, double value) {
  switch (attribute) {
    case kAttributeOpacity: fOpacity = value; break;
    case kAttributeColor:
      // A solid colour that stays solid changes nothing the job makes.
      if (fColour->fType == AGraphColor::kSolid && IsSolidColourCode(value)) {
        fColour->Set(value);
        fColour->MaximizeIntensity();
        break;
      }
      Stop();
      FreeUpSpace();
      fColour->Set(value);
      fColour->MaximizeIntensity();
      fColour->Compile(nullptr, kPlotInterval, fContext);
      AllocateSpace();
      Restart();
      {
        const uint32_t deadline = OurTime() + OurDuration(60);
        while (!IsDoneComputing() && !OurTimeIsPast(OurTime(), deadline)) OurSleep(50000);
      }
      break;
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
