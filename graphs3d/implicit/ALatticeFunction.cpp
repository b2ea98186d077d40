#include "graphs3d/implicit/ALatticeFunction.h"

void ALatticeFunction::SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres) {
  fSteps[kCornerGrid] = corners;
  fSteps[kCentreGrid] = centres;
}

void ALatticeFunction::EvaluatePlane(LatticeGrid grid, int k, double* values) {
  const LatticeSteps& s = fSteps[grid];
  const double z = s.z0 + k * s.dz;
  for (int j = 0; j < s.ny; ++j) {
    const double y = s.y0 + j * s.dy;
    for (int i = 0; i < s.nx; ++i) values[i + j * s.nx] = At(s.x0 + i * s.dx, y, z);
    if (IsCancelled()) return;
  }
}
