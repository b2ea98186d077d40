#include "expression/NodeMemory.h"

#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/MemoryBudget.h"
#include "CoreUtilities/OurMutex.h"
#include "CoreUtilities/OurText/OurString.h"
#include "CoreUtilities/ThreadLocalState.h"
#include "expression/NodeBlockPool.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

constexpr int32_t kSlotCount = 6;
constexpr size_t kBlockSizes[kSlotCount] = {
    sizeof(ExpressionRecord),      sizeof(EditData),
    sizeof(ExpressionRecord*) * 1, sizeof(ExpressionRecord*) * 2,
    sizeof(ExpressionRecord*) * 3, sizeof(NumberBlock),
};

struct NodePoolSet {
  OurMutex mutex;
  NodeBlockPool* pools[kSlotCount] = {};
  // Counts the times the pools were freed whole: blocks a thread kept from
  // an earlier count went with them.
  std::atomic<uint64_t> generation{0};

  // With the mutex held. False when a pool cannot be made.
  bool EnsurePools() {
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
      if (!pools[slot]) pools[slot] = new (std::nothrow) NodeBlockPool(kBlockSizes[slot]);
      if (!pools[slot]) return false;
    }
    return true;
  }

  void DestroyPools() {
    generation.fetch_add(1, std::memory_order_relaxed);
    for (NodeBlockPool*& pool : pools) {
      delete pool;
      pool = nullptr;
    }
  }
};

// Never destroyed: trees may still be freed while the process ends.
NodePoolSet& CallingSidesSet() {
  static NodePoolSet* const mathPaneSet = new NodePoolSet;
  static NodePoolSet* const sharedSet = new NodePoolSet;
  return IsMathPaneResultsThread() ? *mathPaneSet : *sharedSet;
}

// Blocks a thread freed, kept for its own next trees, so that a node made
// or freed takes its side's lock only once per half a cache. They still
// belong to their pool (and its budget): they go back when the thread
// ends, on MEM_FlushExprCaches and when the thread changes sides, and are
// dropped unreturned when their pools were freed whole. The sanitizers'
// plain heap blocks are never kept, so that a use after free shows.
#if ZL_PLAIN_NODE_MALLOC
constexpr int32_t kThreadCacheDepth = 0;
#else
constexpr int32_t kThreadCacheDepth = 512;
#endif
constexpr int32_t kThreadCacheBatch = kThreadCacheDepth / 2;

struct ThreadBlockCache {
  NodePoolSet* set;
  uint64_t generation;
  bool mathPaneSide;
  int32_t counts[kSlotCount];
  void* heads[kSlotCount];  // each kept block holds the next one's address

  bool Serves(bool onMathPaneSide) const {
    return set && mathPaneSide == onMathPaneSide && generation == set->generation.load(std::memory_order_relaxed);
  }

  void Push(int32_t slot, void* block) {
    *static_cast<void**>(block) = heads[slot];
    heads[slot] = block;
    ++counts[slot];
  }

  void* Pop(int32_t slot) {
    void* block = heads[slot];
    heads[slot] = *static_cast<void**>(block);
    --counts[slot];
    return block;
  }

  // With the set's mutex held.
  void GiveBack(int32_t slot, int32_t count) {
    for (; count > 0 && counts[slot] > 0; --count) set->pools[slot]->Deallocate(Pop(slot));
  }

  void GiveBackAll() {
    if (set && generation == set->generation.load(std::memory_order_relaxed)) {
      OurLock lock(set->mutex);
      for (int32_t slot = 0; slot < kSlotCount; ++slot) GiveBack(slot, kThreadCacheDepth);
    }
    *this = {};
  }

  // With the side's mutex held and its pools made; the cache is empty.
  void Adopt(NodePoolSet& side, bool onMathPaneSide);
};

constinit thread_local ThreadBlockCache tBlockCache{};

struct ThreadBlockCacheReturn {
  ~ThreadBlockCacheReturn() { tBlockCache.GiveBackAll(); }
};

void ThreadBlockCache::Adopt(NodePoolSet& side, bool onMathPaneSide) {
  thread_local ThreadBlockCacheReturn returnAtThreadEnd;
  (void)returnAtThreadEnd;
  *this = {};
  set = &side;
  mathPaneSide = onMathPaneSide;
  generation = side.generation.load(std::memory_order_relaxed);
}

// Before the side's lock is taken: blocks of the other side go back to it
// under its own lock alone.
void LeaveOtherSide(const NodePoolSet& side) {
  if (tBlockCache.set && tBlockCache.set != &side) tBlockCache.GiveBackAll();
}

}  // namespace

void MEM_CreateEmptyNodes() {
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  set.EnsurePools();
}

void MEM_DeallocateAll() {
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  set.DestroyPools();
}

void MEM_FlushExprCaches() {
  tBlockCache.GiveBackAll();
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  for (NodeBlockPool* pool : set.pools)
    if (pool) pool->FlushCache();
}

void* AllocateNodeBlock(NodePoolSlot slot) {
  ThreadBlockCache& cache = tBlockCache;
  const bool onMathPaneSide = IsMathPaneResultsThread();
  if (cache.Serves(onMathPaneSide) && cache.counts[slot] > 0) return cache.Pop(slot);
  NodePoolSet& set = CallingSidesSet();
  LeaveOtherSide(set);
  OurLock lock(set.mutex);
  if (!set.EnsurePools()) return nullptr;
  if (!cache.Serves(onMathPaneSide)) cache.Adopt(set, onMathPaneSide);
  // A batch for the next requests; what the budget refuses now is refused
  // again below.
  NodeBlockPool* pool = set.pools[slot];
  while (cache.counts[slot] < kThreadCacheBatch) {
    void* block = pool->Allocate();
    if (!block) break;
    cache.Push(slot, block);
  }
  return cache.counts[slot] > 0 ? cache.Pop(slot) : pool->Allocate();
}

void FreeNodeBlock(NodePoolSlot slot, void* block) {
  if (!block) return;
  ThreadBlockCache& cache = tBlockCache;
  const bool onMathPaneSide = IsMathPaneResultsThread();
  if (cache.Serves(onMathPaneSide) && cache.counts[slot] < kThreadCacheDepth) {
    cache.Push(slot, block);
    return;
  }
  NodePoolSet& set = CallingSidesSet();
  LeaveOtherSide(set);
  OurLock lock(set.mutex);
  // After MEM_DeallocateAll the block went with its pool.
  if (!set.pools[slot]) return;
  if (!cache.Serves(onMathPaneSide) && set.EnsurePools()) cache.Adopt(set, onMathPaneSide);
  if (cache.Serves(onMathPaneSide)) {
    cache.GiveBack(slot, kThreadCacheBatch);
    if (cache.counts[slot] < kThreadCacheDepth) {
      cache.Push(slot, block);
      return;
    }
  }
  set.pools[slot]->Deallocate(block);
}

void ReportNodeMemoryExhausted() {
  gMathError.store(1);
  MEM_FlushExprCaches();
  QueueError(kOutOfMemoryError);
}

ExpressionRecord* NewZeroedNode() {
  void* block = AllocateNodeBlock(kNodeSlot);
  if (!block) {
    ReportNodeMemoryExhausted();
    return nullptr;
  }
  std::memset(block, 0, sizeof(ExpressionRecord));
  return static_cast<ExpressionRecord*>(block);
}

void FreeNodeShell(ExpressionRecord* node) {
  if (!node) return;
  FreeNodeBlock(kEditDataSlot, node->editData);
  FreeNodeBlock(kNodeSlot, node);
}

void ExpressionRecord::AllocateEditDataIfNecessary() {
  if (editData) return;
  void* block = AllocateNodeBlock(kEditDataSlot);
  if (!block) {
    ReportNodeMemoryExhausted();
    return;
  }
  std::memset(block, 0, sizeof(EditData));
  editData = static_cast<EditData*>(block);
}

namespace {

NodePoolSlot ArraySlotFor(int32_t n) { return static_cast<NodePoolSlot>(kOneOperandSlot + n - 1); }

ExpressionRecord** NewHeapOperandArray(int32_t n) {
  return new (std::nothrow) ExpressionRecord*[static_cast<size_t>(n)];
}

}  // namespace

ExpressionRecord** MEM_FindBlockOf(int32_t n) {
  if (n <= 0 || n > kMostOperands) return nullptr;
  if (n <= 3) return static_cast<ExpressionRecord**>(AllocateNodeBlock(ArraySlotFor(n)));
  if (MATH_MemCheckInRecursion()) return nullptr;
  return NewHeapOperandArray(n);
}

void FreeOperandArray(ExpressionRecord** operands, int32_t count) {
  if (!operands || count <= 0) return;
  if (count <= 3) FreeNodeBlock(ArraySlotFor(count), operands);
  else delete[] operands;
}

void MEM_DisposeOperands(ExpressionRecord* node) {
  if (!node) return;
  if (node->operandCount > 0) {
    FreeOperandArray(node->operands, node->operandCount);
  } else if (node->opcode == kOpString) {
    OurStringDispose(node->text);
  } else if (node->opcode == kOpNumber) {
    FreeNodeBlock(kNumberBlockSlot, node->payload.number);
    node->payload.number = nullptr;
  }
  node->operands = nullptr;
  node->operandCount = 0;
}

bool SizeNode(ExpressionRecord* node, int32_t n) {
  if (!node || n < 0 || n > kMostOperands) return false;
  if (n == 0) {
    if (node->opcode == kOpNumber && node->operandCount == 0) node->payload.number = nullptr;
    MEM_DisposeOperands(node);
    return true;
  }
  // A heap array serves any smaller count above 3 as it is: its size is
  // never read again.
  if (node->operandCount > n && n > 3) {
    node->operandCount = static_cast<uint16_t>(n);
    return true;
  }
  ExpressionRecord** array = MEM_FindBlockOf(n);
  // An array of 1 to 3 must come from its pool, where it will be returned;
  // only larger arrays may fall back on the heap.
  if (!array && n > 3) array = NewHeapOperandArray(n);
  if (!array) {
    ReportNodeMemoryExhausted();
    return false;
  }
  const int32_t kept = node->operandCount > 0 ? std::min<int32_t>(node->operandCount, n) : 0;
  for (int32_t i = 0; i < kept; ++i) array[i] = node->operands[i];
  for (int32_t i = kept; i < n; ++i) array[i] = nullptr;
  MEM_DisposeOperands(node);
  node->operands = array;
  node->operandCount = static_cast<uint16_t>(n);
  return true;
}

void MATH_ShiftUpOps(ExpressionRecord* node, int32_t n) {
  if (!node || n < 0 || n >= node->operandCount || !node->operands) return;
  for (int32_t i = n; i > 0; --i) node->operands[i] = node->operands[i - 1];
}
