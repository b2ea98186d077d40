#pragma once

#include <cstdint>

struct MGridData;
struct MGridVariables;

// The coordinate of grid index i: origin + i * step, never accumulated, so
// that every evaluation of the grid sees the same value there.
inline double GridCoordinate(double origin, int32_t index, double step) { return origin + index * step; }

// Makes the grid's two arrays fit the sizes and counts given, keeping them
// when all of these match the ones they were made for (contents kept);
// otherwise new arrays, the variable slots all single zeros. False, with
// both arrays null, when the sizes are negative or memory runs out.
bool PrepareGridArrays(MGridVariables* grid, int32_t nx, int32_t ny, int32_t nz, int32_t level1Count,
                       int32_t level2Count, int32_t level3Count, int32_t variableCount);

// Prepares the arrays, stores the geometry, starts the table row at 0 and
// computes the hoisted values of every grid line at the document's slider
// value, on the calling thread's variable array.
void SetupGrid(double x0, double y0, double z0, double dx, double dy, double dz, int32_t nx, int32_t ny, int32_t nz,
               MGridData* data, MGridVariables* grid);
void SetupGrid(double x0, double y0, double dx, double dy, int32_t nx, int32_t ny, MGridData* data,
               MGridVariables* grid);
