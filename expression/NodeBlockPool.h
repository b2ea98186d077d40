#pragma once

#include <cstddef>

#if !ZL_PLAIN_NODE_MALLOC
#include "CoreUtilities/memory/FixedAllocator.h"
#endif

// Fixed-size blocks for formula nodes. Normally a FixedAllocator; built with
// ZL_PLAIN_NODE_MALLOC every block is its own heap block, so that the
// sanitizers see a node used after it was freed. Either way the memory is
// counted by the budget, and destroying the pool frees every block it gave.
class NodeBlockPool {
 public:
  explicit NodeBlockPool(size_t blockSize);
  ~NodeBlockPool();
  NodeBlockPool(const NodeBlockPool&) = delete;
  NodeBlockPool& operator=(const NodeBlockPool&) = delete;

  void* Allocate();  // uninitialised; null when memory is refused
  void Deallocate(void* block);
  void FlushCache();

 private:
#if ZL_PLAIN_NODE_MALLOC
  // Live blocks are kept on a ring so that destroying the pool frees them.
  struct LiveLink {
    LiveLink* previous;
    LiveLink* next;
  };
  size_t fBlockSize;
  LiveLink fLive;
#else
  FixedAllocator fAllocator;
#endif
};
