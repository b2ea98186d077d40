#include "expression/NodeMemory.h"

#include "CoreUtilities/ErrorQueue.h"
#include "CoreUtilities/MemoryBudget.h"
#include "CoreUtilities/OurMutex.h"
#include "CoreUtilities/OurText/OurString.h"
#include "CoreUtilities/ThreadLocalState.h"
#include "expression/NodeBlockPool.h"

#include <algorithm>
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

  // With the mutex held. False when a pool cannot be made.
  bool EnsurePools() {
    for (int32_t slot = 0; slot < kSlotCount; ++slot) {
      if (!pools[slot]) pools[slot] = new (std::nothrow) NodeBlockPool(kBlockSizes[slot]);
      if (!pools[slot]) return false;
    }
    return true;
  }

  void DestroyPools() {
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
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  for (NodeBlockPool* pool : set.pools)
    if (pool) pool->FlushCache();
}

void* AllocateNodeBlock(NodePoolSlot slot) {
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  if (!set.EnsurePools()) return nullptr;
  return set.pools[slot]->Allocate();
}

void FreeNodeBlock(NodePoolSlot slot, void* block) {
  if (!block) return;
  NodePoolSet& set = CallingSidesSet();
  OurLock lock(set.mutex);
  // After MEM_DeallocateAll the block went with its pool.
  if (set.pools[slot]) set.pools[slot]->Deallocate(block);
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
