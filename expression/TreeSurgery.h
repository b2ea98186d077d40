#pragma once

#include "expression/ExpressionRecord.h"
#include "expression/OwnedTree.h"

#include <cstdint>

// Rewrites that move a node's contents (kind, payload, operands) between
// nodes. The node written into keeps its identity: its place in its parent,
// its parent and its edit data. Each answers false, changing nothing, when
// refused.

// Releases into's operand storage (not the subtrees), moves from's contents
// into it and frees from's shell.
bool MATH_TransferAndDispose(ExpressionRecord* from, ExpressionRecord* into);
// Frees everything below into first; refused when from lies under into.
bool DeleteOperandsTransferAndDispose(ExpressionRecord* from, ExpressionRecord* into);
// The same for a tree the caller holds: a refused one is freed.
bool DeleteOperandsTransferAndDispose(Tree from, ExpressionRecord* into);
// The node takes the contents of its operand 0; any further operands are
// freed.
bool ReplaceWithFirstOperand(ExpressionRecord* node);

// Detaches operand n without freeing it (it keeps its old parent link). A
// node of two operands then takes the other operand's contents; otherwise
// the later operands move down.
bool MATH_RemoveOperand(ExpressionRecord* node, int32_t n);
// The same, and the removed operand's subtree is freed.
bool MATH_DeleteOperand(ExpressionRecord* node, int32_t n);
// Removes and frees operand n without ever collapsing the node.
bool MATH_DeleteNOpOperand(ExpressionRecord* node, int32_t n);

inline constexpr int32_t kMostSplicedOperands = 10000;

// Puts the operands of operand n in its place (a nested sum into its
// sum) and frees operand n's shell. Refused when operand n has no operands
// or the node would pass kMostSplicedOperands.
bool SIMP_ReplaceNthWithAll(ExpressionRecord* node, int32_t n);

// Every sum and product in the tree takes in the operands of its operands
// of the same kind, as repeated SIMP_ReplaceNthWithAll would, but in one
// pass from the top: time linear in the size of the tree however long the
// chain of nested sums a parse leaves. A node stops taking in at
// kMostSplicedOperands; what it could not take stays a nested operand.
void FlattenSumsAndProducts(ExpressionRecord* tree);
