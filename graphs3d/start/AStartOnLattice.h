#pragma once

#include <cstdint>

#include "graphs3d/start/AStartPointGenerator.h"

// Start points on a regular n x n x n lattice filling the view box, where
// the condition holds. Arrows are scaled to half the lattice spacing along
// the box's shortest side.
class AStartOnLattice : public AStartPointGenerator {
 public:
  AStartOnLattice(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled condition, double grain,
                  double opacity, Colour colour, MDrawContext* context, const BoxRefs& box, int32_t fieldType);
  ~AStartOnLattice() override { Stop(); }

  int32_t PointsPerAxis() const { return fN; }
  double ArrowLength() const { return fArrowLength; }

 protected:
  int32_t FindStarts() override;
  void Reset() override;
  void GrainChanged(double grain) override;

 private:
  int32_t fLow, fHigh;
  int32_t fN = 2;
};
