#include "evaluation/grid/GridSetup.h"

#include <algorithm>
#include <type_traits>

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ThreadLocalState.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/grid/GridRecords.h"
#include "evaluation/grid/GridValueSlots.h"
#include "evaluation/runs/RealValues.h"
#include "evaluation/StackMachine.h"

namespace {

constexpr int64_t kValueBytes = 16;  // room for a Complex in every element

int64_t GridPointsPerRun(int32_t nx, int32_t ny, int32_t nz) { return nz == 0 ? int64_t{nx} : int64_t{nx} * ny; }

void FreeArrays(MGridVariables* grid) {
  OurDisposeMemory(grid->variableVectors);
  OurDisposeMemory(grid->hoistedValues);
  grid->variableVectors = grid->hoistedValues = nullptr;
}

// Table statistics save and restore rows around their loops; outside them
// a grid run reads its row from here, as a point run does from a zeroed
// slot.
template <typename T>
void StartTableRow(MGridVariables* grid) {
  const int64_t stride = GridPointsPerRun(grid->nx, grid->ny, grid->nz) + 1;
  T* slot = static_cast<T*>(grid->variableVectors) + kSlotTableRow * stride;
  SetSingle(slot, T{});
}

template <typename T>
T Undefined() {
  if constexpr (std::is_same_v<T, Complex>) {
    return gNaNComplex;
  } else {
    return gNaN;
  }
}

// A real line as one array run over its points: each instruction is
// dispatched once for the whole line, and every value is the one a point
// run gives. False when the run's arrays cannot be had.
bool ComputeLineAsRow(const AStackMachine& program, int32_t lineCount, double origin, double step, int32_t axis,
                      double slider, double* line) {
  MGridVariables row;
  const int32_t slots = std::max(program.VariableSlotCount(), kSlotTableRow + 1);
  if (!PrepareGridArrays(&row, lineCount, 1, 0, 0, 0, 0, slots)) return false;
  const int64_t stride = int64_t{lineCount} + 1;
  auto* cells = static_cast<double*>(row.variableVectors);  // zeroed: every slot a single 0
  double* coordinate = cells + (axis == 2 ? kSlotZ : axis + kSlotX) * stride;
  SetPerPoint(coordinate, true);
  for (int32_t index = 0; index < lineCount; ++index) coordinate[1 + index] = GridCoordinate(origin, index, step);
  if (axis < 2) CopySlot(cells + axis * stride, coordinate, lineCount);
  SetSingle(cells + kSlotSlider * stride, slider);
  program.RunArrayDouble(&row, line);
  return true;
}

// A dropped program's line is undefined.
template <typename T>
void ComputeLevel(const MGridProgramList& programs, int32_t programCount, int32_t lineCount, double origin, double step,
                  int32_t axis, double slider, T* values) {
  ReallocateThreadLocalVariablesIfNecessary();
  for (int32_t a = 0; a < programCount; ++a) {
    const AStackMachine* program = a < programs.count ? programs.items[a] : nullptr;
    T* line = values + int64_t{a} * lineCount;
    if (program != nullptr && program->VariableSlotCount() > GetMaxVariableCount()) {
      CheckgVariablesSize(program->VariableSlotCount());
    }
    if constexpr (std::is_same_v<T, double>) {
      if (program != nullptr && lineCount > 0 &&
          ComputeLineAsRow(*program, lineCount, origin, step, axis, slider, line)) {
        continue;
      }
    }
    auto* variables = static_cast<T*>(GetThreadLocalVariables());
    for (int32_t index = 0; index < lineCount; ++index) {
      if (program == nullptr || variables == nullptr) {
        line[index] = Undefined<T>();
        continue;
      }
      const T coordinate = FromReal<T>(GridCoordinate(origin, index, step));
      // x feeds slots 3 and 0 (x and u), y slots 4 and 1, z slot 5.
      variables[axis == 2 ? 5 : axis + 3] = coordinate;
      if (axis < 2) variables[axis] = coordinate;
      variables[kSlotSlider] = FromReal<T>(slider);
      line[index] = program->Run(variables, nullptr);
    }
  }
}

template <typename T>
void ComputeHoistedValues(const MGridData& data, MGridVariables* grid) {
  const double slider = SliderValue(data.document);
  auto* values = static_cast<T*>(grid->hoistedValues);
  if (values == nullptr) return;
  ComputeLevel(data.level1, data.level1Count, grid->nx, grid->x0, grid->dx, 0, slider, values);
  values += int64_t{grid->nx} * data.level1Count;
  ComputeLevel(data.level2, data.level2Count, grid->ny, grid->y0, grid->dy, 1, slider, values);
  values += int64_t{grid->ny} * data.level2Count;
  ComputeLevel(data.level3, data.level3Count, grid->nz, grid->z0, grid->dz, 2, slider, values);
}

}  // namespace

bool PrepareGridArrays(MGridVariables* grid, int32_t nx, int32_t ny, int32_t nz, int32_t level1Count,
                       int32_t level2Count, int32_t level3Count, int32_t variableCount) {
  const bool same = grid->nx == nx && grid->ny == ny && grid->nz == nz && grid->level1Count == level1Count &&
                    grid->level2Count == level2Count && grid->level3Count == level3Count &&
                    grid->variableCount == variableCount;
  grid->nx = nx;
  grid->ny = ny;
  grid->nz = nz;
  grid->level1Count = level1Count;
  grid->level2Count = level2Count;
  grid->level3Count = level3Count;
  grid->variableCount = variableCount;
  if (same && grid->variableVectors != nullptr && grid->hoistedValues != nullptr) return true;
  FreeArrays(grid);
  if (std::min({nx, ny, nz, level1Count, level2Count, level3Count, variableCount}) < 0) return false;
  const int64_t variableBytes = int64_t{variableCount} * (GridPointsPerRun(nx, ny, nz) + 1) * kValueBytes;
  const int64_t hoistedBytes =
      (int64_t{nx} * level1Count + int64_t{ny} * level2Count + int64_t{nz} * level3Count) * kValueBytes;
  // Both blocks exist even when empty, so that an unchanged grid keeps them.
  grid->variableVectors = OurAllocateMemory(static_cast<size_t>(std::max<int64_t>(variableBytes, kValueBytes)), true);
  grid->hoistedValues = OurAllocateMemory(static_cast<size_t>(std::max<int64_t>(hoistedBytes, kValueBytes)), false);
  if (grid->variableVectors == nullptr || grid->hoistedValues == nullptr) {
    FreeArrays(grid);
    return false;
  }
  return true;
}

void SetupGrid(double x0, double y0, double z0, double dx, double dy, double dz, int32_t nx, int32_t ny, int32_t nz,
               MGridData* data, MGridVariables* grid) {
  if (data == nullptr || grid == nullptr) return;
  const bool ready =
      PrepareGridArrays(grid, nx, ny, nz, data->level1Count, data->level2Count, data->level3Count, data->variableCount);
  grid->x0 = x0;
  grid->y0 = y0;
  grid->z0 = z0;
  grid->dx = dx;
  grid->dy = dy;
  grid->dz = dz;
  grid->complex = data->complex;
  if (!ready) return;
  if (grid->variableCount > kSlotTableRow) {
    if (data->complex) {
      StartTableRow<Complex>(grid);
    } else {
      StartTableRow<double>(grid);
    }
  }
  if (nx == 0 && ny == 0) return;
  if (data->complex) {
    ComputeHoistedValues<Complex>(*data, grid);
  } else {
    ComputeHoistedValues<double>(*data, grid);
  }
}

void SetupGrid(double x0, double y0, double dx, double dy, int32_t nx, int32_t ny, MGridData* data,
               MGridVariables* grid) {
  SetupGrid(x0, y0, 0.0, dx, dy, 0.0, nx, ny, 0, data, grid);
}
