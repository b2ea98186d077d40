#include "graphs3d/ALatticeFunction.h"

void ALatticeFunction::EvaluatePlane(const LatticeSteps& steps, int k, double* values) {
  const double z = steps.z0 + k * steps.dz;
  for (int j = 0; j < steps.ny; ++j) {
    const double y = steps.y0 + j * steps.dy;
    for (int i = 0; i < steps.nx; ++i) values[i + j * steps.nx] = At(steps.x0 + i * steps.dx, y, z);
    if (IsCancelled()) return;
  }
}
