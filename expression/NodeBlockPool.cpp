#include "expression/NodeBlockPool.h"

#if ZL_PLAIN_NODE_MALLOC

#include "CoreUtilities/memory/MemoryBudget.h"

static_assert(sizeof(void*) * 2 % 16 == 0, "the ring link keeps blocks 16-byte aligned");

NodeBlockPool::NodeBlockPool(size_t blockSize) : fBlockSize(blockSize), fLive{&fLive, &fLive} {}

NodeBlockPool::~NodeBlockPool() {
  while (fLive.next != &fLive) Deallocate(fLive.next + 1);
}

void* NodeBlockPool::Allocate() {
  auto* link = static_cast<LiveLink*>(OurAllocateMemory(sizeof(LiveLink) + fBlockSize, false));
  if (!link) return nullptr;
  link->previous = &fLive;
  link->next = fLive.next;
  fLive.next->previous = link;
  fLive.next = link;
  return link + 1;
}

void NodeBlockPool::Deallocate(void* block) {
  if (!block) return;
  LiveLink* link = static_cast<LiveLink*>(block) - 1;
  link->previous->next = link->next;
  link->next->previous = link->previous;
  OurDisposeMemory(link);
}

void NodeBlockPool::FlushCache() {}

#else

NodeBlockPool::NodeBlockPool(size_t blockSize) : fAllocator(blockSize) {}

NodeBlockPool::~NodeBlockPool() = default;

void* NodeBlockPool::Allocate() { return fAllocator.Allocate(); }

void NodeBlockPool::Deallocate(void* block) { fAllocator.Deallocate(block); }

void NodeBlockPool::FlushCache() { fAllocator.FlushCache(); }

#endif
