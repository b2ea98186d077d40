#include "graphs3d/implicit/ExpressionOnLattice.h"

#include "evaluation/AnExpression.h"

ExpressionOnLattice::ExpressionOnLattice(AnExpression* f, AnExpression* dFdx, AnExpression* dFdy, AnExpression* dFdz,
                                         AnExpression* condition, MGridData* cornerData, MGridData* centreData)
    : fF(f), fGradient{dFdx, dFdy, dFdz}, fCondition(condition), fData{cornerData, centreData} {}

double ExpressionOnLattice::At(double x, double y, double z) { return fF->Evaluate(x, 0, x, y, z, 0); }

void ExpressionOnLattice::Enclose(double x0, double x1, double y0, double y1, double z0, double z1, double* lo,
                                  double* hi) {
  EncloseInSpace(fF, false, x0, x1, y0, y1, z0, z1, lo, hi);
}

void ExpressionOnLattice::SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres) {
  ALatticeFunction::SetupGrid(corners, centres);
  for (int g = 0; g < kLatticeGrids; ++g) {
    const LatticeSteps& s = fSteps[g];
    if (fData[g]) AnExpression::SetupGrid(s.x0, s.y0, s.z0, s.dx, s.dy, s.dz, s.nx, s.ny, s.nz, fData[g], &fGrid[g]);
  }
}

bool ExpressionOnLattice::ByLayer(LatticeGrid grid) const {
  return fData[grid] != nullptr && fF->GridMachine() != nullptr && fF->ArrayFlag() == 1;
}

void ExpressionOnLattice::EvaluatePlane(LatticeGrid grid, int k, double* values) {
  if (ByLayer(grid)) {
    fF->EvaluateArrayOnGrid(k, &fGrid[grid], values);
    return;
  }
  if (!fData[grid] || !fF->GridMachine()) {
    ALatticeFunction::EvaluatePlane(grid, k, values);
    return;
  }
  const LatticeSteps& s = fSteps[grid];
  for (int j = 0; j < s.ny; ++j) {
    for (int i = 0; i < s.nx; ++i) values[i + j * s.nx] = fF->EvaluateOnGrid(i, j, k, &fGrid[grid]);
    if (IsCancelled()) return;
  }
}

bool ExpressionOnLattice::HasGradient() const { return fGradient[0] && fGradient[1] && fGradient[2]; }

void ExpressionOnLattice::Gradient(double x, double y, double z, double* gradient) {
  for (int a = 0; a < 3; ++a) gradient[a] = fGradient[a]->Evaluate(0, 0, x, y, z, 0);
}

bool ExpressionOnLattice::Accepts(double x, double y, double z) {
  return !fCondition || fCondition->Evaluate(0, 0, x, y, z, 0) == 1.0;
}

bool ExpressionOnLattice::IsCancelled() const { return fF->IsCancelled(); }
