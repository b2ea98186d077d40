#include "graphs3d/start/AStartOnLattice.h"

#include <algorithm>
#include <cmath>

#include "graphs3d/curves/CurveGrain.h"

AStartOnLattice::AStartOnLattice(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled condition,
                                 double grain, double opacity, Colour colour, MDrawContext* context, const BoxRefs& box,
                                 int32_t fieldType)
    : AStartPointGenerator(std::move(fx), std::move(fy), std::move(fz), std::move(radius), std::move(condition),
                           std::move(colour), opacity, fieldType, box, context),
      fLow(fieldType == 0 ? 4 : 2),
      fHigh(fieldType == 0 ? 16 : 8) {
  GrainChanged(grain);
  Reset();
  Start();
}

// The grain is clamped, so n is at least 2 and the spacing is defined.
void AStartOnLattice::GrainChanged(double grain) { fN = int32_t((fHigh - fLow) * UsableGrain(grain) + fLow + 0.5); }

void AStartOnLattice::Reset() {
  // A reversed range mirrors the arrows; it must not turn them round.
  const double shortest =
      std::min({std::fabs(fBox.xmax - fBox.xmin), std::fabs(fBox.ymax - fBox.ymin), std::fabs(fBox.zmax - fBox.zmin)});
  fArrowLength = 0.5 * shortest / (fN - 1);
}

int32_t AStartOnLattice::FindStarts() {
  const double x0 = fBox.xmin, y0 = fBox.ymin, z0 = fBox.zmin;
  const double dx = (fBox.xmax - x0) / (fN - 1), dy = (fBox.ymax - y0) / (fN - 1), dz = (fBox.zmax - z0) / (fN - 1);
  for (int32_t i = 0; i < fN; ++i)
    for (int32_t j = 0; j < fN; ++j)
      for (int32_t k = 0; k < fN; ++k) {
        const AVector p{x0 + i * dx, y0 + j * dy, z0 + k * dz};
        if (Passes(p)) fStarts.Add(p);
        if (Cancelled()) return kComputeCancelled;
      }
  return kComputeFinished;
}
