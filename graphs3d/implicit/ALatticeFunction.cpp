#include "graphs3d/implicit/ALatticeFunction.h"

void ALatticeFunction::SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres) {
  fSteps[kCornerGrid] = corners;
  fSteps[kCentreGrid] = centres;
}

void ALatticeFunction::EvaluatePlane(LatticeGrid grid, int k, double* values) {
  const LatticeSteps& s = fSteps[grid];
  const double z = s.Z(k);
  for (int j = 0; j < s.ny; ++j) {
    const double y = s.Y(j);
    for (int i = 0; i < s.nx; ++i) values[i + j * s.nx] = At(s.X(i), y, z);
    if (IsCancelled()) return;
  }
}
