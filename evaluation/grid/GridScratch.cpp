#include "evaluation/grid/GridScratch.h"

#include "CoreUtilities/memory/MemoryBudget.h"

namespace {

struct ThreadArena {
  ThreadArena() = default;
  ThreadArena(const ThreadArena&) = delete;
  ThreadArena& operator=(const ThreadArena&) = delete;
  ~ThreadArena() { OurDisposeMemory(block); }

  void* block = nullptr;
  size_t size = 0;
  bool inUse = false;
};

thread_local ThreadArena tArena;

}  // namespace

GridScratch::GridScratch(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (tArena.inUse) {
    fBlock = OurAllocateMemory(bytes, false);
    fOwnsBlock = true;
    return;
  }
  if (tArena.size < bytes) {
    OurDisposeMemory(tArena.block);
    tArena.size = 0;
    tArena.block = OurAllocateMemory(bytes, false);
    if (tArena.block == nullptr) return;
    tArena.size = bytes;
  }
  tArena.inUse = true;
  fBlock = tArena.block;
}

GridScratch::~GridScratch() {
  if (fOwnsBlock) {
    OurDisposeMemory(fBlock);
  } else if (fBlock != nullptr) {
    tArena.inUse = false;
  }
}
