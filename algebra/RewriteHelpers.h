#pragma once

// Small pieces the algebra's rewrites share.

#include "expression/ExpressionRecord.h"
#include "expression/TreeWalking.h"

// The node takes the replacement's contents, its old subtrees freed; the
// node keeps its identity. A null replacement (memory refused) leaves it.
bool Become(ExpressionRecord* node, ExpressionRecord* replacement);

// The number value of a number node; false for any other node.
bool NumberValue(const ExpressionRecord* node, double* value);
bool IsAtom(const ExpressionRecord* node, int32_t variableId);

// Every node of the tree once, children first, the root last; each node's
// successor is taken before the node is visited, so what a visit builds in
// its place is not visited.
template <typename Visit>
void PostOrder(ExpressionRecord* root, Visit visit) {
  ExpressionRecord* n = LeftMost(root);
  while (n) {
    ExpressionRecord* next = n == root ? nullptr : NextBottomUp(n);
    visit(n);
    n = next;
  }
}
