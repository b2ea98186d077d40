#pragma once

#include "CoreUtilities/threads/ThreadLocalState.h"
#include "expression/ExpressionRecord.h"

#include <atomic>
#include <cstdint>

// Node memory comes from two sets of pools: one for the math-pane results
// thread, one shared by every other thread (guarded, so any thread may
// build trees). A tree is made and freed on the same side.

enum NodePoolSlot : int32_t {
  kNodeSlot = 0,
  kEditDataSlot = 1,
  kOneOperandSlot = 2,
  kTwoOperandsSlot = 3,
  kThreeOperandsSlot = 4,
  kNumberBlockSlot = 5,
};
inline constexpr int32_t kNodeSlotCount = 6;

inline constexpr int32_t kMostOperands = UINT16_MAX;

// Makes the calling side's pools; they are also made on first use.
void MEM_CreateEmptyNodes();
// Frees every block of the calling side at once, trees still referenced
// included; the next use makes fresh pools.
void MEM_DeallocateAll();
// Returns cached free blocks, the calling thread's kept ones included, to
// their chunks so that empty chunks go. Other threads give theirs back when
// they end.
void MEM_FlushExprCaches();

// One block of a slot: uninitialised, or null when memory is refused.
inline void* AllocateNodeBlock(NodePoolSlot slot);
inline void FreeNodeBlock(NodePoolSlot slot, void* block);

// A zeroed node, or null after reporting out of memory.
ExpressionRecord* NewZeroedNode();
// Returns the node's edit data and the node itself, nothing they point to.
inline void FreeNodeShell(ExpressionRecord* node);

// Sets gMathError, flushes the caches and queues message 36.
void ReportNodeMemoryExhausted();

// An uninitialised array of n operand pointers: 1 to 3 from the pools,
// more from the heap unless memory or stack is exhausted. Null on failure.
ExpressionRecord** MEM_FindBlockOf(int32_t n);
// Frees an operand array made for `count` operands; null is ignored.
void FreeOperandArray(ExpressionRecord** operands, int32_t count);

// Releases what the node owns besides its operands' subtrees: its operand
// array, or with no operands a string's text or a number's block. The node
// is left with no operands.
void MEM_DisposeOperands(ExpressionRecord* node);

// Sets the operand count, keeping the first min(old, n) operands in order;
// new slots are null. With n = 0 a number's block is left to whoever holds
// it. False, node unchanged, when n is out of range or memory is refused.
bool SizeNode(ExpressionRecord* node, int32_t n);

// Moves operands 0 to n-1 up one place, freeing slot 0; the node must have
// more than n operands, else nothing is done.
void MATH_ShiftUpOps(ExpressionRecord* node, int32_t n);

// What a thread keeps of the blocks it freed, read inline: every node made
// or freed asks it. Blocks of one slot are chained through their first
// word; a thread takes from and gives to `loaded`, and `spare` is either
// full or empty, so that a node made or freed takes its side's lock at most
// once per chain. NodeMemory.cpp says where the chains go.
namespace node_blocks {

#if ZL_PLAIN_NODE_MALLOC
// The sanitizers' plain heap blocks are never kept, so that a use after
// free shows.
inline constexpr int32_t kChainLength = 0;
#else
inline constexpr int32_t kChainLength = 256;
#endif

struct BlockChain {
  void* head;
  int32_t count;

  void Push(void* block) {
    *static_cast<void**>(block) = head;
    head = block;
    ++count;
  }

  void* Pop() {
    void* block = head;
    head = *static_cast<void**>(block);
    --count;
    return block;
  }
};

inline int8_t SideOfThisThread() { return IsMathPaneResultsThread() ? 2 : 1; }

struct ThreadBlockCache {
  // The count of whole frees of the side's pools, and the count they had
  // when this thread took its blocks: they went with the pools if it moved.
  const std::atomic<uint64_t>* sideGeneration;
  uint64_t generation;
  int8_t side;       // 0 for none, 1 for the shared pools, 2 for the math pane's
  bool threadEnded;  // its blocks went back; later ones go straight to the pools
  BlockChain loaded[kNodeSlotCount];
  BlockChain spare[kNodeSlotCount];

  bool Serves() const {
    return side == SideOfThisThread() && generation == sideGeneration->load(std::memory_order_relaxed);
  }
};

// Local-exec, as every program that links it is an executable: read at its
// address, without a call.
extern constinit thread_local ThreadBlockCache tBlockCache [[gnu::tls_model("local-exec")]];

void* AllocateSlowly(NodePoolSlot slot);
void FreeSlowly(NodePoolSlot slot, void* block);

}  // namespace node_blocks

inline void* AllocateNodeBlock(NodePoolSlot slot) {
  node_blocks::ThreadBlockCache& cache = node_blocks::tBlockCache;
  if (cache.loaded[slot].count > 0 && cache.Serves()) [[likely]]
    return cache.loaded[slot].Pop();
  return node_blocks::AllocateSlowly(slot);
}

inline void FreeNodeBlock(NodePoolSlot slot, void* block) {
  if (!block) return;
  node_blocks::ThreadBlockCache& cache = node_blocks::tBlockCache;
  if (cache.loaded[slot].count < node_blocks::kChainLength && cache.Serves()) [[likely]] {
    cache.loaded[slot].Push(block);
    return;
  }
  node_blocks::FreeSlowly(slot, block);
}

inline void FreeNodeShell(ExpressionRecord* node) {
  if (!node) return;
  FreeNodeBlock(kEditDataSlot, node->editData);
  FreeNodeBlock(kNodeSlot, node);
}
