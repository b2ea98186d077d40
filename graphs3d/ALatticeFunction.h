#pragma once

#include "graphs2d/RootFinding.h"

// Steps of a lattice of points: point (i, j) of plane k lies at
// (x0 + i dx, y0 + j dy, z0 + k dz).
struct LatticeSteps {
  double x0, y0, z0;
  double dx, dy, dz;
  int nx, ny;
};

// The function whose zero set a lattice polygonises, with what the walk
// asks of it beyond single values. Expressions and plain C++ functions
// both fill it.
class ALatticeFunction : public ASpaceFunction {
 public:
  // values[i + j nx] for plane k; the default evaluates point by point,
  // testing cancellation after each row.
  virtual void EvaluatePlane(const LatticeSteps& steps, int k, double* values);
  virtual bool HasGradient() const { return false; }
  // Called only when HasGradient().
  virtual void Gradient(double x, double y, double z, double* gradient) = 0;
  // The condition that keeps a crossing; true without one.
  virtual bool Accepts(double /*x*/, double /*y*/, double /*z*/) { return true; }
  virtual bool IsCancelled() const { return false; }
};
