#include "graphs3d/start/AStartOnGrid.h"

#include "evaluation/grid/GridRecords.h"
#include "graphs3d/curves/CurveGrain.h"

AStartOnGrid::AStartOnGrid(Compiled fx, Compiled fy, Compiled fz, Compiled gx, Compiled gy, Compiled gz,
                           Compiled radius, Compiled condition, double grain, double opacity, Colour colour,
                           const double& umin, const double& umax, const double& vmin, const double& vmax,
                           const BoxRefs& box, MDrawContext* context, int32_t fieldType)
    : AStartPointGenerator(std::move(fx), std::move(fy), std::move(fz), std::move(radius), std::move(condition),
                           std::move(colour), opacity, fieldType, box, context),
      fGX(std::move(gx)),
      fGY(std::move(gy)),
      fGZ(std::move(gz)),
      fUMin(umin),
      fUMax(umax),
      fVMin(vmin),
      fVMax(vmax),
      fLow(fieldType == 0 ? 5 : 2),
      fHigh(fieldType == 0 ? 50 : 8) {
  fGridData = AnExpression::CompileForGrid(fGX.get(), fGY.get(), fGZ.get());
  SetOwnExpressions(fGX.get(), fGY.get(), fGZ.get());
  GrainChanged(grain);
  Start();
}

AStartOnGrid::~AStartOnGrid() { Stop(); }

// Truncated; the grain is clamped, so n is at least 2.
void AStartOnGrid::GrainChanged(double grain) { fN = int32_t((fHigh - fLow) * UsableGrain(grain) + fLow); }

int32_t AStartOnGrid::FindStarts() {
  MGridVariables grid;
  AnExpression::SetupGrid(fUMin, fVMin, (fUMax - fUMin) / (fN - 1), (fVMax - fVMin) / (fN - 1), fN, fN, fGridData.get(),
                          &grid);
  for (int32_t i = 0; i < fN; ++i)
    for (int32_t j = 0; j < fN; ++j) {
      const AVector p{fGX->EvaluateOnGrid(i, j, &grid), fGY->EvaluateOnGrid(i, j, &grid),
                      fGZ->EvaluateOnGrid(i, j, &grid)};
      if (Passes(p)) fStarts.Add(p);
      if (Cancelled()) return kComputeCancelled;
    }
  return kComputeFinished;
}

bool AStartOnGrid::StartsContain(int32_t id) const {
  return AStartPointGenerator::StartsContain(id) || fGX->Contains(id) || fGY->Contains(id) || fGZ->Contains(id);
}

void AStartOnGrid::InvalStartConstants() {
  AStartPointGenerator::InvalStartConstants();
  AnExpression::InvalConstants(nullptr, fGX.get(), fGY.get(), fGZ.get());
}
