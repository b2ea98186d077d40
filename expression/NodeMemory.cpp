#include "expression/NodeMemory.h"

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/OurMutex.h"
#include "CoreUtilities/text/OurString.h"
#include "expression/NodeBlockPool.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace node_blocks {

constinit thread_local ThreadBlockCache tBlockCache{};

namespace {

constexpr size_t kBlockSizes[kNodeSlotCount] = {
    sizeof(ExpressionRecord),      sizeof(EditData),    sizeof(ExpressionRecord*) * 1, sizeof(ExpressionRecord*) * 2,
    sizeof(ExpressionRecord*) * 3, sizeof(NumberBlock),
};

// A thread's chains pass whole to and from its side's depot, each a single
// link. Kept blocks still belong to their pool (and its budget): they go
// back when the thread ends, on MEM_FlushExprCaches and when the thread
// changes sides, and are dropped unreturned when their pools were freed
// whole.
constexpr bool kKeepsBlocks = kChainLength > 0;
// Full chains a side holds for its threads, per slot, at most: 1.7 MB
// of blocks of every slot together; more go back to their pool.
constexpr int32_t kMostDepotChains = 32;

struct NodePoolSet {
  OurMutex mutex;
  NodeBlockPool* pools[kNodeSlotCount] = {};
  // Full chains, linked through the second word of each chain's head: the
  // pools round every block up to 16 bytes.
  void* depot[kNodeSlotCount] = {};
  int32_t depotChains[kNodeSlotCount] = {};
  // Counts the times the pools were freed whole: blocks a thread kept from
  // an earlier count went with them. Read for every block, so on a line of
  // its own, away from the mutex that other threads write.
  alignas(64) std::atomic<uint64_t> generation{0};

  // With the mutex held, as all below. False when a pool cannot be made.
  bool EnsurePools() {
    for (int32_t slot = 0; slot < kNodeSlotCount; ++slot) {
      if (!pools[slot]) pools[slot] = new (std::nothrow) NodeBlockPool(kBlockSizes[slot]);
      if (!pools[slot]) return false;
    }
    return true;
  }

  void GiveBack(int32_t slot, BlockChain& chain) {
    while (chain.count > 0) pools[slot]->Deallocate(chain.Pop());
    chain = {};
  }

  void PutInDepot(int32_t slot, BlockChain& full) {
    if (depotChains[slot] == kMostDepotChains) {
      GiveBack(slot, full);
      return;
    }
    static_cast<void**>(full.head)[1] = depot[slot];
    depot[slot] = full.head;
    ++depotChains[slot];
    full = {};
  }

  bool TakeFromDepot(int32_t slot, BlockChain& empty) {
    if (depotChains[slot] == 0) return false;
    void* head = depot[slot];
    depot[slot] = static_cast<void**>(head)[1];
    --depotChains[slot];
    empty = {head, kChainLength};
    return true;
  }

  void EmptyDepot() {
    for (int32_t slot = 0; slot < kNodeSlotCount; ++slot) {
      BlockChain chain{};
      while (TakeFromDepot(slot, chain)) GiveBack(slot, chain);
    }
  }

  void DestroyPools() {
    generation.fetch_add(1, std::memory_order_relaxed);
    for (int32_t slot = 0; slot < kNodeSlotCount; ++slot) {
      depot[slot] = nullptr;
      depotChains[slot] = 0;
    }
    for (NodeBlockPool*& pool : pools) {
      delete pool;
      pool = nullptr;
    }
  }
};

// Never destroyed: trees may still be freed while the process ends.
NodePoolSet& SideSet(bool mathPane) {
  static NodePoolSet* const mathPaneSet = new NodePoolSet;
  static NodePoolSet* const sharedSet = new NodePoolSet;
  return mathPane ? *mathPaneSet : *sharedSet;
}

NodePoolSet& CallingSidesSet() { return SideSet(IsMathPaneResultsThread()); }

// The side whose blocks the cache holds, current or not; null for none.
NodePoolSet* HeldSet(const ThreadBlockCache& cache) { return cache.side == 0 ? nullptr : &SideSet(cache.side == 2); }

void GiveBackAll(ThreadBlockCache& cache) {
  NodePoolSet* set = HeldSet(cache);
  if (set && cache.generation == set->generation.load(std::memory_order_relaxed)) {
    OurLock lock(set->mutex);
    for (int32_t slot = 0; slot < kNodeSlotCount; ++slot) {
      set->GiveBack(slot, cache.loaded[slot]);
      set->GiveBack(slot, cache.spare[slot]);
    }
  }
  const bool ended = cache.threadEnded;
  cache = {};
  cache.threadEnded = ended;
}

struct ThreadBlockCacheReturn {
  ~ThreadBlockCacheReturn() {
    GiveBackAll(tBlockCache);
    tBlockCache.threadEnded = true;
  }
};

// With the side's mutex held and its pools made; the cache is empty.
void Adopt(ThreadBlockCache& cache, NodePoolSet& side) {
  if (cache.threadEnded) return;
  thread_local ThreadBlockCacheReturn returnAtThreadEnd;
  (void)returnAtThreadEnd;
  cache = {};
  cache.sideGeneration = &side.generation;
  cache.generation = side.generation.load(std::memory_order_relaxed);
  cache.side = SideOfThisThread();
}

// Before the side's lock is taken: blocks of the other side go back to it
// under its own lock alone.
void LeaveOtherSide(ThreadBlockCache& cache, const NodePoolSet& side) {
  const NodePoolSet* held = HeldSet(cache);
  if (held && held != &side) GiveBackAll(cache);
}

}  // namespace

// With the chain it takes from empty: the spare, a chain from the depot or
// a new one from the pool.
void* AllocateSlowly(NodePoolSlot slot) {
  ThreadBlockCache& cache = tBlockCache;
  if (kKeepsBlocks && cache.Serves() && cache.spare[slot].count > 0) {
    std::swap(cache.loaded[slot], cache.spare[slot]);
    return cache.loaded[slot].Pop();
  }
  NodePoolSet& set = CallingSidesSet();
  LeaveOtherSide(cache, set);
  OurLock lock(set.mutex);
  if (!set.EnsurePools()) return nullptr;
  if (!cache.Serves()) Adopt(cache, set);
  NodeBlockPool* pool = set.pools[slot];
  if (!kKeepsBlocks || !cache.Serves()) return pool->Allocate();
  BlockChain& loaded = cache.loaded[slot];
  if (loaded.count == 0 && !set.TakeFromDepot(slot, loaded)) {
    // What the budget refuses now is refused again by the caller's next
    // request.
    while (loaded.count < kChainLength) {
      void* block = pool->Allocate();
      if (!block) break;
      loaded.Push(block);
    }
  }
  return loaded.count > 0 ? loaded.Pop() : nullptr;
}

// With the chain it gives to full.
void FreeSlowly(NodePoolSlot slot, void* block) {
  ThreadBlockCache& cache = tBlockCache;
  if (kKeepsBlocks && cache.Serves() && cache.spare[slot].count == 0) {
    std::swap(cache.loaded[slot], cache.spare[slot]);
    cache.loaded[slot].Push(block);
    return;
  }
  NodePoolSet& set = CallingSidesSet();
  LeaveOtherSide(cache, set);
  OurLock lock(set.mutex);
  // After MEM_DeallocateAll the block went with its pool.
  if (!set.pools[slot]) return;
  if (!cache.Serves() && set.EnsurePools()) Adopt(cache, set);
  if (!kKeepsBlocks || !cache.Serves()) {
    set.pools[slot]->Deallocate(block);
    return;
  }
  BlockChain& loaded = cache.loaded[slot];
  if (loaded.count == kChainLength) set.PutInDepot(slot, loaded);
  loaded.Push(block);
}

}  // namespace node_blocks

using node_blocks::CallingSidesSet;
using node_blocks::NodePoolSet;

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
  node_blocks::GiveBackAll(node_blocks::tBlockCache);
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  set.EmptyDepot();
  for (NodeBlockPool* pool : set.pools)
    if (pool) pool->FlushCache();
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
  if (count <= 3)
    FreeNodeBlock(ArraySlotFor(count), operands);
  else
    delete[] operands;
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
