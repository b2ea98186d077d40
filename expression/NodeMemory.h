#pragma once

#include "expression/ExpressionRecord.h"

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
void* AllocateNodeBlock(NodePoolSlot slot);
void FreeNodeBlock(NodePoolSlot slot, void* block);

// A zeroed node, or null after reporting out of memory.
ExpressionRecord* NewZeroedNode();
// Returns the node's edit data and the node itself, nothing they point to.
void FreeNodeShell(ExpressionRecord* node);

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
