#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// Trees are walked by parent links alone: no recursion, no stack. A null
// operand slot counts as absent, and a node missing from its parent's
// operand array counts as a root, so a damaged tree ends a walk early
// rather than crashing it.
//
// Pre-order over the subtree of r: from r, step with NextTopDownWithin(n, r)
// until null. Post-order: from LeftMost(r), step with NextBottomUp, and stop
// after r itself; take a node's successor before changing or freeing it.

ExpressionRecord* LeftMost(ExpressionRecord* node);
ExpressionRecord* RightMost(ExpressionRecord* node);
// Pre-order successor; null at the end of the whole tree.
ExpressionRecord* NextTopDown(ExpressionRecord* node);
// Pre-order successor that never leaves the subtree of root.
ExpressionRecord* NextTopDownWithin(ExpressionRecord* node, const ExpressionRecord* root);
// Post-order successor; null for a root.
ExpressionRecord* NextBottomUp(ExpressionRecord* node);
// The next (previous) sibling of the node or of its nearest ancestor that
// has one; null when none.
ExpressionRecord* NextOperand(ExpressionRecord* node);
ExpressionRecord* PreviousOperand(ExpressionRecord* node);

// The node's place among its parent's operands; -1 for a root.
int32_t OP_NUM(const ExpressionRecord* node);
// True when the node is operand k of its parent.
bool OP_NUMeq(const ExpressionRecord* node, int32_t k);

// The number of nodes of the tree; 0 for null.
int32_t MATH_NodeCount(ExpressionRecord* tree);
