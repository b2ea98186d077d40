#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "CoreUtilities/Complex.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridSetup.h"
#include "evaluation/grid/GridValueSlots.h"
#include "tests/evaluation/SameBits.h"

template <typename T>
T TestValue(double re, double im = 0.0) {
  if constexpr (std::is_same_v<T, Complex>) {
    return Complex{re, im};
  } else {
    return re;
  }
}

template <typename T>
T* GridSlot(MGridVariables& grid, int32_t slot) {
  const int64_t points = grid.nz == 0 ? grid.nx : int64_t{grid.nx} * grid.ny;
  return static_cast<T*>(grid.variableVectors) + slot * (points + 1);
}

template <typename T>
void SetGridSlot(MGridVariables& grid, int32_t slot, const std::vector<T>& perPoint) {
  T* cells = GridSlot<T>(grid, slot);
  SetPerPoint(cells, true);
  for (size_t p = 0; p < perPoint.size(); ++p) cells[1 + p] = perPoint[p];
}

template <typename T>
void SetGridSlot(MGridVariables& grid, int32_t slot, const T& single) {
  SetSingle(GridSlot<T>(grid, slot), single);
}

// Zeroes every slot, then fills the inputs of the run the grid's i, j, k
// describe: x per point in slots 0 and 3; y single on a row and per point
// in a layer, in slots 1 and 4; z single in slot 5; the slider in slot 2.
template <typename T>
void FillRunInputs(MGridVariables& grid, double slider) {
  const bool layer = grid.nz != 0;
  const int64_t points = layer ? int64_t{grid.nx} * grid.ny : grid.nx;
  std::memset(grid.variableVectors, 0, static_cast<size_t>(grid.variableCount * (points + 1)) * sizeof(T));
  std::vector<T> xs, ys;
  for (int64_t p = 0; p < points; ++p) {
    const int32_t i = static_cast<int32_t>(p % grid.nx);
    const int32_t j = static_cast<int32_t>(p / grid.nx);
    xs.push_back(TestValue<T>(GridCoordinate(grid.x0, grid.i + i, grid.dx)));
    ys.push_back(TestValue<T>(GridCoordinate(grid.y0, grid.j + j, grid.dy)));
  }
  for (int32_t slot : {0, 3}) SetGridSlot(grid, slot, xs);
  for (int32_t slot : {1, 4}) {
    if (layer) {
      SetGridSlot(grid, slot, ys);
    } else {
      SetGridSlot(grid, slot, ys[0]);
    }
  }
  SetGridSlot(grid, 5, TestValue<T>(GridCoordinate(grid.z0, grid.k, grid.dz)));
  SetGridSlot(grid, 2, TestValue<T>(slider));
}

// The point run's variables at grid point (i, j) of the current run.
template <typename T>
std::vector<T> PointInputs(const MGridVariables& grid, int32_t i, int32_t j, double slider, int32_t slots) {
  std::vector<T> variables(static_cast<size_t>(slots), TestValue<T>(0.0));
  variables[0] = variables[3] = TestValue<T>(GridCoordinate(grid.x0, i, grid.dx));
  variables[1] = variables[4] = TestValue<T>(GridCoordinate(grid.y0, j, grid.dy));
  variables[5] = TestValue<T>(GridCoordinate(grid.z0, grid.k, grid.dz));
  variables[2] = TestValue<T>(slider);
  return variables;
}
