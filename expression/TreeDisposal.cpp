#include "expression/TreeDisposal.h"

#include "expression/NodeMemory.h"
#include "expression/WalkFrames.h"

// Each node's operands are read before it goes; parent links are never
// read, so a damaged one frees the tree all the same.
void DisposExpr(ExpressionRecord* root) {
  if (!root) return;
  WalkFrames<ExpressionRecord*> pending;
  pending.Push(root);
  while (!pending.Empty()) {
    ExpressionRecord* node = pending.Pop();
    for (int32_t k = node->operands ? node->operandCount - 1 : -1; k >= 0; --k)
      if (ExpressionRecord* operand = node->operands[k]) pending.Push(operand);
    DisposeNode(node);
  }
}

void DisposeNode(ExpressionRecord* node) {
  if (!node) return;
  MEM_DisposeOperands(node);
  FreeNodeShell(node);
}
