#include "expression/TreeComparison.h"

#include "CoreUtilities/text/OurString.h"
#include "expression/TreeWalking.h"

namespace {

bool SameOperandSlots(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (a->operandCount != b->operandCount) return false;
  if (!a->operands || !b->operands) return !a->operands && !b->operands;
  for (int32_t i = 0; i < a->operandCount; ++i)
    if (!a->operands[i] != !b->operands[i]) return false;
  return true;
}

double NumberValue(const ExpressionRecord* node) { return node->payload.number ? node->payload.number->value : 0.0; }

bool NodesMatch(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (a->opcode != b->opcode || !SameOperandSlots(a, b)) return false;
  if (a->operandCount > 0) return true;
  switch (a->opcode) {
    case kOpNumber: return NumberValue(a) == NumberValue(b);
    case kOpAtom:
    case kOpDummy: return a->payload.id == b->payload.id;
    case kOpString: return OurStringEqual(a->text, b->text);
    default: return true;
  }
}

}  // namespace

bool MATH_Equal(const ExpressionRecord* a, const ExpressionRecord* b) {
  if (!a || !b) return false;
  // The walkers take mutable nodes; nothing is changed here.
  auto* rootA = const_cast<ExpressionRecord*>(a);
  auto* rootB = const_cast<ExpressionRecord*>(b);
  ExpressionRecord* nodeB = rootB;
  for (ExpressionRecord* nodeA = rootA; nodeA; nodeA = NextTopDownWithin(nodeA, rootA)) {
    if (!nodeB || !NodesMatch(nodeA, nodeB)) return false;
    nodeB = NextTopDownWithin(nodeB, rootB);
  }
  return nodeB == nullptr;
}

bool DIM_Contains(const ExpressionRecord* tree, int32_t variableId) {
  auto* root = const_cast<ExpressionRecord*>(tree);
  for (ExpressionRecord* node = root; node; node = NextTopDownWithin(node, root))
    if (node->opcode == kOpAtom && node->operandCount == 0 && node->payload.id == variableId) return true;
  return false;
}
