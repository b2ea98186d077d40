#pragma once

#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/NodeMemory.h"

#include <cstdint>

// Counted memory with no freed node kept for reuse: a node still held keeps
// its chunk, and the chunk's bytes stay counted.
inline int64_t CountedMemory() {
  MEM_FlushExprCaches();
  return gApproximateTotalMemoryUsed.load();
}
