#include "evaluation/grid/GridRecords.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/StackMachine.h"

bool MGridProgramList::Add(AStackMachine* program) {
  if (count >= capacity) {
    const int32_t grown = capacity == 0 ? 16 : capacity * 2;
    auto* array =
        static_cast<AStackMachine**>(OurAllocateMemory(static_cast<size_t>(grown) * sizeof(AStackMachine*), false));
    if (array == nullptr) return false;
    if (count > 0) OurCopyMemory(array, items, static_cast<size_t>(count) * sizeof(AStackMachine*));
    OurDisposeMemory(items);
    items = array;
    capacity = grown;
  }
  items[count++] = program;
  return true;
}

namespace {

void DisposePrograms(MGridProgramList& list) {
  for (int32_t n = 0; n < list.count; ++n) delete list.items[n];
  OurDisposeMemory(list.items);
  list = {};
}

}  // namespace

MGridData::~MGridData() {
  DisposePrograms(level1);
  DisposePrograms(level2);
  DisposePrograms(level3);
}

MGridVariables::~MGridVariables() {
  OurDisposeMemory(variableVectors);
  OurDisposeMemory(hoistedValues);
}

int64_t MGridVariables::Level1Element(int32_t program) const {
  if (program < 0 || program >= level1Count || i < 0 || i >= nx) return -1;
  return int64_t{program} * nx + i;
}

int64_t MGridVariables::Level2Element(int32_t program) const {
  if (program < 0 || program >= level2Count || j < 0 || j >= ny) return -1;
  return int64_t{nx} * level1Count + int64_t{program} * ny + j;
}

int64_t MGridVariables::Level3Element(int32_t program) const {
  if (program < 0 || program >= level3Count || k < 0 || k >= nz) return -1;
  return int64_t{nx} * level1Count + int64_t{ny} * level2Count + int64_t{program} * nz + k;
}

Complex MGridVariables::HoistedValue(int64_t element) const {
  if (element < 0 || hoistedValues == nullptr) return gNaNComplex;
  if (complex) return static_cast<const Complex*>(hoistedValues)[element];
  return {static_cast<const double*>(hoistedValues)[element], 0.0};
}
