#pragma once

#include <cstdint>

#include "renderer/DrawContext.h"

// The points a grid surface has a side for a grain. The grain is a file
// value: outside [0, 1] it is clamped and NaN counts as 0.5.
int32_t GridPointsPerSide(double grain);
// Cells per axis of an implicit surface's lattice.
int32_t LatticeCellsPerAxis(double grain);

// How the cells of a grid take their corners' vertex copies: one copy per
// point, or two (0 and 1) so that neighbouring cells show flat colours of
// their own.
enum class CornerCopies : int32_t {
  kOnePerPoint,
  kCheckerboard,  // copy (r xor c) and 1
  kRows,          // copy r and 1
  kColumns,       // copy c and 1
  kBandsDown,     // A and B copy 1, C and D copy 0
  kBandsAcross,   // A and C copy 1, B and D copy 0
};

// The triangles of the valid cells of an n x n grid (point (i, j) at
// i n + j), into room for 2 (n - 1)^2; returns their count. Cells with
// three valid corners give one triangle, with four two.
int32_t TriangulateGrid(const uint8_t* valid, int32_t n, CornerCopies copies, Triangle* triangles);

// Mesh normals for every valid point whose normal is exactly zero, from
// its neighbours along both grid directions (the diagonal one where a
// neighbour coincides with the point, as at a pole). Positions and normals
// hold `copies` entries per point (1 or 2); both copies get the normal.
// Normals that come out non-finite are not stored.
void FixBadNormals(const Vertex* positions, Vertex* normals, const uint8_t* valid, int32_t n, int32_t copies);

// Unit normals for every valid point of an n x n grid whose normal is zero
// or not finite, from its neighbours on both sides along each grid
// direction (one side at an edge or beside a missing point), oriented as
// the cross product of the first direction's tangent with the second's;
// one copy per point. A point with no valid neighbour along a direction
// keeps a zero normal.
void NeighbourNormals(const Vertex* positions, Vertex* normals, const uint8_t* valid, int32_t n);
