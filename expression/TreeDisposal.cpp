#include "expression/TreeDisposal.h"

#include "expression/NodeMemory.h"
#include "expression/WalkFrames.h"

// Post-order, a node freed after its operands; parent links are never
// read, so a damaged one frees the tree all the same.
void DisposExpr(ExpressionRecord* root) {
  if (!root) return;
  struct Frame {
    ExpressionRecord* node;
    int32_t next;
  };
  WalkFrames<Frame> frames;
  frames.Push({root, 0});
  while (!frames.Empty()) {
    Frame& frame = frames.Top();
    ExpressionRecord* node = frame.node;
    if (!node->operands || frame.next >= node->operandCount) {
      frames.Pop();
      DisposeNode(node);
      continue;
    }
    if (ExpressionRecord* operand = node->operands[frame.next++]) frames.Push({operand, 0});
  }
}

void DisposeNode(ExpressionRecord* node) {
  if (!node) return;
  MEM_DisposeOperands(node);
  FreeNodeShell(node);
}
