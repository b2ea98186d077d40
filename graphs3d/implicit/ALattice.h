#pragma once

#include <cstdint>
#include <memory>

#include "graphs3d/implicit/AUnitCube.h"
#include "graphs3d/implicit/LatticeSlab.h"

class ALatticeFunction;

// One slab of a box cut into N x N x Nz cubes, walked a cube at a time so
// that the caller can publish between calls. A slab places its points where
// the whole box's lattice does, so the surface is the same however the box
// is cut.
class ALattice {
 public:
  // The whole box.
  ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax, int n,
           int nz);
  ALattice(ALatticeFunction& f, double xmin, double xmax, double ymin, double ymax, double zmin, double zmax, int n,
           int nz, LatticeSlab slab);
  // Its cube refers to its lattices.
  ALattice(const ALattice&) = delete;
  ALattice& operator=(const ALattice&) = delete;

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
  int fN, fNz;
  // The slab's first cell along z; fZ and fNz count from it.
  int fFirstZ;
  // The whole box's, up to the slab's top.
  LatticeSteps fCorners, fCentres;
  std::unique_ptr<double[]> fBottom, fTop, fCentreValues;
  std::unique_ptr<Tile[]> fPlaneTiles, fRowTiles;
  Tile fPrevious = {};
  AUnitCube fCube;
  int fX = 0, fY = 0, fZ = 0;
};
