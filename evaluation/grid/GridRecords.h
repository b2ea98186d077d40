#pragma once

#include <cstdint>

#include "CoreUtilities/Complex.h"

class AStackMachine;
class DocumentRecord;

// One axis's hoisted programs; grows from 16 by doubling.
struct MGridProgramList {
  AStackMachine** items = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;

  // False when memory runs out; the program is then not taken over.
  bool Add(AStackMachine* program);
};

// The programs of the subexpressions hoisted out of a set of grid
// programs, one list per grid axis. Owns the programs.
struct MGridData {
  MGridData() = default;
  MGridData(const MGridData&) = delete;
  MGridData& operator=(const MGridData&) = delete;
  ~MGridData();

  int32_t level1Count = 0;
  int32_t level2Count = 0;
  int32_t level3Count = 0;
  int32_t variableCount = 0;
  MGridProgramList level1;
  MGridProgramList level2;
  MGridProgramList level3;
  int32_t complex = 0;
  DocumentRecord* document = nullptr;
};

// One grid being evaluated: geometry, current indices, the grid programs'
// variable array and the precomputed hoisted values. One thread at a time.
struct MGridVariables {
  MGridVariables() = default;
  MGridVariables(const MGridVariables&) = delete;
  MGridVariables& operator=(const MGridVariables&) = delete;
  ~MGridVariables();

  double x0 = 0, y0 = 0, z0 = 0;
  double dx = 0, dy = 0, dz = 0;
  int32_t nx = 0, ny = 0, nz = 0;
  int32_t i = 0, j = 0, k = 0;
  int32_t level1Count = 0, level2Count = 0, level3Count = 0;
  int32_t complex = 0;
  int32_t variableCount = 0;        // value slots the variable vectors hold
  void* variableVectors = nullptr;  // owned, from the memory budget
  void* hoistedValues = nullptr;    // owned, from the memory budget

  // Hoisted value element: doubles for a real grid, Complex for a complex one.
  // Index -1 when the program index or the grid index is out of range.
  int64_t Level1Element(int32_t program) const;
  int64_t Level2Element(int32_t program) const;
  int64_t Level3Element(int32_t program) const;
  // The element as a complex value (imaginary 0 on a real grid).
  Complex HoistedValue(int64_t element) const;
};
