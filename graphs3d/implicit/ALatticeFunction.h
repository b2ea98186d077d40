#pragma once

#include "graphs2d/RootFinding.h"

// Point (i, j, k) of a lattice lies at (x0 + i dx, y0 + j dy, z0 + k dz),
// computed only here so that a point is the same wherever it is asked for.
struct LatticeSteps {
  double x0, y0, z0;
  double dx, dy, dz;
  int nx, ny, nz;
  double X(int i) const { return x0 + i * dx; }
  double Y(int j) const { return y0 + j * dy; }
  double Z(int k) const { return z0 + k * dz; }
};

// The cube corners, and the cube centres half a step further on each axis.
enum LatticeGrid { kCornerGrid, kCentreGrid, kLatticeGrids };

// The function whose zero set a lattice polygonises, with what the walk
// asks of it beyond single values. Expressions and plain C++ functions
// both fill it.
class ALatticeFunction : public ASpaceFunction {
 public:
  // Before any plane is evaluated.
  virtual void SetupGrid(const LatticeSteps& corners, const LatticeSteps& centres);
  // values[i + j nx] for plane k; the default evaluates point by point,
  // testing cancellation after each row.
  virtual void EvaluatePlane(LatticeGrid grid, int k, double* values);
  virtual bool HasGradient() const { return false; }
  // Called only when HasGradient().
  virtual void Gradient(double /*x*/, double /*y*/, double /*z*/, double* /*gradient*/) {}
  // The condition that keeps a crossing; true without one.
  virtual bool Accepts(double /*x*/, double /*y*/, double /*z*/) { return true; }
  virtual bool IsCancelled() const { return false; }

 protected:
  LatticeSteps fSteps[kLatticeGrids] = {};
};
