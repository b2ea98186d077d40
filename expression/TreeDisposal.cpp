#include "expression/TreeDisposal.h"

#include "expression/NodeMemory.h"
#include "expression/TreeWalking.h"

void DisposExpr(ExpressionRecord* root) {
  if (!root) return;
  for (ExpressionRecord* node = LeftMost(root);;) {
    ExpressionRecord* next = node == root ? nullptr : NextBottomUp(node);
    DisposeNode(node);
    // A damaged parent link ends the walk early; never run past the root.
    if (node == root || !next) return;
    node = next;
  }
}

void DisposeNode(ExpressionRecord* node) {
  if (!node) return;
  MEM_DisposeOperands(node);
  FreeNodeShell(node);
}
