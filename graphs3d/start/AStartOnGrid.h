#pragma once

#include <cstdint>
#include <memory>

#include "graphs3d/start/AStartPointGenerator.h"

struct MGridData;

// Start points on a parametric surface (gx, gy, gz of u and v) sampled on
// an n x n grid over the view's u and v ranges, where the condition holds.
class AStartOnGrid : public AStartPointGenerator {
 public:
  AStartOnGrid(Compiled fx, Compiled fy, Compiled fz, Compiled gx, Compiled gy, Compiled gz, Compiled radius,
               Compiled condition, double grain, double opacity, Colour colour, const double& umin, const double& umax,
               const double& vmin, const double& vmax, const BoxRefs& box, MDrawContext* context, int32_t fieldType);
  ~AStartOnGrid() override;

  int32_t PointsPerSide() const { return fN; }

 protected:
  int32_t FindStarts() override;
  bool StartsContain(int32_t variableId) const override;
  void InvalStartConstants() override;
  void GrainChanged(double grain) override;

 private:
  std::unique_ptr<AnExpression> fGX, fGY, fGZ;
  std::unique_ptr<MGridData> fGridData;
  const double &fUMin, &fUMax, &fVMin, &fVMax;
  int32_t fLow, fHigh;
  int32_t fN = 2;
};
