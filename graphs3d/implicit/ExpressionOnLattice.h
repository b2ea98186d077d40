#pragma once

#include "evaluation/grid/GridRecords.h"
#include "graphs3d/implicit/ALatticeFunction.h"

class AnExpression;
struct MGridData;

// F(x, y, z) = 0 from compiled expressions: planes through the grid
// programs a whole layer at a time where F allows, else point by point.
// One per worker: the grid variables are its own; the expressions are
// shared.
class ExpressionOnLattice : public ALatticeFunction {
 public:
  // The gradient is used only when all three partials are given; the
  // condition and the grid data may be null.
  ExpressionOnLattice(AnExpression* f, AnExpression* dFdx, AnExpression* dFdy, AnExpression* dFdz,
                      AnExpression* condition, MGridData* cornerData, MGridData* centreData);

  double At(double x, double y, double z) override;
  void Enclose(double x0, double x1, double y0, double y1, double z0, double z1, double* lo, double* hi) override;
  void SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres) override;
  void EvaluatePlane(LatticeGrid grid, int k, double* values) override;
  bool HasGradient() const override;
  void Gradient(double x, double y, double z, double* gradient) override;
  bool Accepts(double x, double y, double z) override;
  bool IsCancelled() const override;

 private:
  bool ByLayer(LatticeGrid grid) const;

  AnExpression* fF;
  AnExpression* fGradient[3];
  AnExpression* fCondition;
  MGridData* fData[kLatticeGrids];
  MGridVariables fGrid[kLatticeGrids];
};
