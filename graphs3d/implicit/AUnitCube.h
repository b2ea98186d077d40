#pragma once

#include <cstdint>

#include "CoreUtilities/memory/AListGenericLarge.h"
#include "graphs3d/implicit/ALatticeFunction.h"
#include "renderer/DrawContext.h"

using SurfaceVertexList = AListGenericLarge<SurfaceVertex, 13>;
using TriangleList = AListGenericLarge<Triangle, 13>;

// Vertex references handed from one cube to later ones: a vertex's index
// plus 1, 0 for no crossing.
struct Tile {
  int32_t w[3];
};

// One lattice cube split into 12 tetrahedra around its centre.
class AUnitCube {
 public:
  static constexpr int kPoints = 9;
  static constexpr int kEdges = 26;
  static constexpr int kTetrahedra = 12;
  static const double kCubeVertexXyz[kPoints][3];
  static const uint16_t kEdgeVertices[kEdges][2];
  static const uint16_t kTetrahedronList[kTetrahedra][6];

  // In a slab from the box's layer firstZ; its points lie where the whole
  // box's corner and centre lattices, which outlive it, put them.
  AUnitCube(ALatticeFunction& f, int n, int firstZ, const LatticeSteps& corners, const LatticeSteps& centres);

  // The cube's place in the slab and the values of corners 0 to 7 and of
  // the centre.
  void Place(int x, int y, int z, const double* values);

  // Some two values lie on either side of zero (a value of 0, or NaN, counts
  // with the positive ones); without, no edge is crossed.
  bool ChangesSign() const;
  // Nonzero when the vertex list failed to grow.
  int SetEdges(const Tile* plane, const Tile* row, const Tile& previous, SurfaceVertexList& vertices);
  bool FindSurfaceCrossing(SurfaceVertex* out, int edge);
  int GenerateTriangles(TriangleList& triangles, SurfaceVertexList& vertices);

  int32_t Edge(int e) const { return fEdges[e]; }

 private:
  static constexpr int kCentre = kPoints - 1;

  void PointXyz(int p, double* xyz) const;
  bool MayEndAtPole(int a, int b) const;
  double PoleReference(int a, int b) const;
  void Normal(double x, double y, double z, SurfaceVertex* out);
  void FixBadNormals(const Triangle& t, SurfaceVertexList& vertices);

  ALatticeFunction& fF;
  double fValues[kPoints] = {};
  int32_t fEdges[kEdges] = {};
  const LatticeSteps &fCorners, &fCentres;
  // z counts from the slab's first layer, firstZ from the box's.
  int fX = 0, fY = 0, fZ = 0;
  int fN, fFirstZ;
  bool fNormalsGood = true;
};

// Gives target the unit normal of triangle A B C, turned to agree with the
// first non-zero normal among A, B, C, else away from the origin.
void SetNewNormal(SurfaceVertex* target, const SurfaceVertex& a, const SurfaceVertex& b, const SurfaceVertex& c);
