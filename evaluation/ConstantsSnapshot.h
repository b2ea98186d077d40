#pragma once

#include <cstdint>

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "evaluation/ConstantsCache.h"

// A run's own copy of its program's constants, taken once at the start:
// the run keeps these values whatever invalidations happen meanwhile. Up
// to 16 live in the run's frame; more come from the memory budget, and
// when it refuses the run sees no constants (each reads as NaN).
class ConstantsSnapshot {
 public:
  explicit ConstantsSnapshot(AConstantsCache* cache) {
    if (cache == nullptr) return;
    const int32_t count = cache->ValueCount();
    Complex* values = fFrame;
    if (count > kFrameValues) {
      fHeap = static_cast<Complex*>(OurAllocateMemory(static_cast<size_t>(count) * sizeof(Complex), false));
      if (fHeap == nullptr) return;
      values = fHeap;
    }
    cache->CopyConstants(values);
    if (count > 0) {
      fValues = values;
      fCount = count;
    }
  }
  ~ConstantsSnapshot() {
    if (fHeap != nullptr) OurDisposeMemory(fHeap);
  }
  ConstantsSnapshot(const ConstantsSnapshot&) = delete;
  ConstantsSnapshot& operator=(const ConstantsSnapshot&) = delete;

  // Value a, NaN for an index the cache never gave out.
  Complex At(int32_t a) const { return a >= 0 && a < fCount ? fValues[a] : gNaNComplex; }

 private:
  static constexpr int32_t kFrameValues = 16;
  Complex fFrame[kFrameValues];
  Complex* fHeap = nullptr;
  const Complex* fValues = nullptr;
  int32_t fCount = 0;
};
