#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphs3d/implicit/ALattice.h"
#include "graphs3d/start/AStartPointGenerator.h"
#include "graphs3d/implicit/ExpressionOnLattice.h"

struct MGridData;

// Start points on the surface f(x, y, z) = 0 in the view box: at most one
// to a cell of an n x n x n lattice, the first crossing the walk finds in
// it where the condition holds.
class AStartOnImplicit : public AStartPointGenerator {
 public:
  AStartOnImplicit(Compiled fx, Compiled fy, Compiled fz, Compiled radius, Compiled surface, Compiled condition,
                   double grain, double opacity, Colour colour, const BoxRefs& box, MDrawContext* context,
                   int32_t fieldType);
  ~AStartOnImplicit() override;

  int32_t CellsPerAxis() const { return fN; }

 protected:
  int32_t FindStarts() override;
  bool StartsContain(int32_t variableId) const override;
  void InvalStartConstants() override;
  void Reset() override;
  void GrainChanged(double grain) override;

 private:
  bool WalkLattice();
  int32_t CellIndex(double value, double low, double high) const;

  std::unique_ptr<AnExpression> fSurface;
  std::unique_ptr<MGridData> fGridData;
  int32_t fLow, fHigh;
  int32_t fN = 4;
  std::unique_ptr<ExpressionOnLattice> fOnLattice;
  std::unique_ptr<ALattice> fLattice;
  SurfaceVertexList fVertices;
  std::vector<bool> fTaken;
};
