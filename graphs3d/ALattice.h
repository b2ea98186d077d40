#pragma once

#include <cstdint>
#include <memory>

#include "graphs3d/AUnitCube.h"

class ALatticeFunction;

// One slab of a box cut into N x N x Nz cubes, walked a cube at a time so
// that the caller can publish between calls.
class ALattice {
 public:
  ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zlo, double zhi, int n,
           int nz);

  // False when a tile array could not be allocated; the caller then does
  // not walk.
  bool IsFullyConstructed() const { return fPlaneTiles && fRowTiles; }
  // Continues the walk until done, cancelled or past the deadline (tested
  // every 32 cubes): 0. Nonzero when a list failed to grow. Without a
  // triangle list only vertices are collected.
  int LoopOverUnitCubes(SurfaceVertexList& vertices, TriangleList* triangles, uint32_t deadline);
  bool IsDoneComputing() const { return fZ >= fNz; }

 private:
  bool ComputeLatticeVerticesOnPlanes();
  void WriteBack(const AUnitCube& cube);

  ALatticeFunction& fF;
  double fXmin, fYmin, fZlo;
  double fDx, fDy, fDz;
  int fN, fNz;
  std::unique_ptr<double[]> fBottom, fTop, fCentres;
  std::unique_ptr<Tile[]> fPlaneTiles, fRowTiles;
  Tile fPrevious = {};
  AUnitCube fCube;
  int fX = 0, fY = 0, fZ = 0;
};
