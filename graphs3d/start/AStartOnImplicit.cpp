#include "graphs3d/start/AStartOnImplicit.h"

#include <algorithm>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/OurTime.h"
#include "evaluation/grid/GridRecords.h"
#include "graphs3d/curves/CurveGrain.h"

namespace {

// Ticks a walk runs between tests of the cancel flag.
constexpr int32_t kWalkSlice = 100;

}  // namespace

AStartOnImplicit::AStartOnImplicit(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled surface,
                                   Compiled condition, double grain, double opacity, Colour colour, const BoxRefs& box,
                                   MDrawContext* context, int32_t fieldType)
    : AStartPointGenerator(std::move(fx), std::move(fy), std::move(fz), std::move(radius), std::move(condition),
                           std::move(colour), opacity, fieldType, box, context),
      fSurface(std::move(surface)),
      fLow(fieldType == 0 ? 8 : 4),
      fHigh(fieldType == 0 ? 28 : 14) {
  AnExpression::Compile(fSurface.get());
  fGridData = AnExpression::CompileForGrid(fSurface.get());
  SetOwnExpressions(fSurface.get());
  GrainChanged(grain);
  Reset();
  Start();
}

AStartOnImplicit::~AStartOnImplicit() { Stop(); }

void AStartOnImplicit::GrainChanged(double grain) { fN = int32_t((fHigh - fLow) * UsableGrain(grain) + fLow); }

// A fresh walk of the box as it is now.
void AStartOnImplicit::Reset() {
  fLattice.reset();
  fOnLattice = std::make_unique<ExpressionOnLattice>(fSurface.get(), nullptr, nullptr, nullptr, nullptr,
                                                     fGridData.get(), fGridData.get());
  fLattice =
      std::make_unique<ALattice>(*fOnLattice, fBox.xmin, fBox.xmax, fBox.ymin, fBox.ymax, fBox.zmin, fBox.zmax, fN, fN);
  fVertices.RemoveAllElements();
  fTaken.assign(size_t(fN + 1) * size_t(fN + 1) * size_t(fN + 1), false);
}

// False when a list could not grow: message 36 is queued.
bool AStartOnImplicit::WalkLattice() {
  while (!fLattice->IsDoneComputing() && !Cancelled()) {
    if (fLattice->LoopOverUnitCubes(fVertices, nullptr, OurTime() + OurDuration(kWalkSlice)) != 0) {
      QueueError(kOutOfMemoryError);
      return false;
    }
  }
  return true;
}

int32_t AStartOnImplicit::CellIndex(double value, double low, double high) const {
  const double cell = fN * (value - low) / (high - low) - 0.5;
  return cell > 0 ? std::min(int32_t(cell), fN) : 0;
}

int32_t AStartOnImplicit::FindStarts() {
  if (!fLattice->IsFullyConstructed()) return kComputeNothingToDo;
  const bool walked = WalkLattice();
  if (Cancelled()) return kComputeCancelled;
  if (!walked) return kComputeNothingToDo;
  const int32_t side = fN + 1;
  for (int32_t v = 0; v < fVertices.Count(); ++v) {
    const SurfaceVertex& s = fVertices[v];
    const AVector p{s.x, s.y, s.z};
    if (!Passes(p)) continue;
    const int32_t i = CellIndex(p.x, fBox.xmin, fBox.xmax), j = CellIndex(p.y, fBox.ymin, fBox.ymax),
                  k = CellIndex(p.z, fBox.zmin, fBox.zmax);
    const size_t bit = size_t(side) * size_t(side * k + j) + size_t(i);
    if (fTaken[bit]) continue;
    fTaken[bit] = true;
    fStarts.Add(p);
    if (Cancelled()) return kComputeCancelled;
  }
  return kComputeFinished;
}

bool AStartOnImplicit::StartsContain(int32_t id) const {
  return AStartPointGenerator::StartsContain(id) || fSurface->Contains(id);
}

void AStartOnImplicit::InvalStartConstants() {
  AStartPointGenerator::InvalStartConstants();
  fSurface->InvalConstants();
}
