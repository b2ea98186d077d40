#include "expression/TreeRewriting.h"

#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

namespace {

struct CoordinatePair {
  int32_t plain;
  int32_t primed;
};

constexpr CoordinatePair kCoordinateSwaps[] = {
    {120, 10}, {121, 11}, {122, 12}, {114, 13}, {3, 8}, {2, 9},
};

bool IsAtomLeaf(const ExpressionRecord* node) { return node && node->opcode == kOpAtom && node->operandCount == 0; }

}  // namespace

int32_t SwappedCoordinateID(int32_t variableId) {
  for (const CoordinatePair& pair : kCoordinateSwaps) {
    if (pair.plain == variableId) return pair.primed;
    if (pair.primed == variableId) return pair.plain;
  }
  return 0;
}

void ReplaceAtoms(ExpressionRecord* tree, int32_t from, int32_t to) {
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree)) {
    if (!IsAtomLeaf(node) || node->payload.id != from) continue;
    const bool isSubscriptBase = node->parent && node->parent->opcode == kOpIndexes && OP_NUMeq(node, 0);
    if (!isSubscriptBase) node->payload.id = to;
  }
}

void MATH_RemoveIdentities(ExpressionRecord* tree) {
  for (ExpressionRecord* node = tree; node; node = NextTopDownWithin(node, tree)) {
    while (node->opcode == kOpId && ReplaceWithFirstOperand(node)) {
    }
  }
}

void RewritePrimedCoordinates(ExpressionRecord* tree) {
  if (!tree) return;
  for (ExpressionRecord* node = LeftMost(tree);;) {
    ExpressionRecord* next = node == tree ? nullptr : NextBottomUp(node);
    if (node->opcode == kOpPrime && node->operandCount > 0 && node->operands) {
      ExpressionRecord* operand = node->operands[0];
      const int32_t swapped = IsAtomLeaf(operand) ? SwappedCoordinateID(operand->payload.id) : 0;
      if (swapped != 0) {
        operand->payload.id = swapped;
        ReplaceWithFirstOperand(node);
      }
    }
    if (!next) return;
    node = next;
  }
}
