#include "algebra/AlgebraCommands.h"
#include "algebra/RewriteHelpers.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "expression/OwnedTree.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/TreeRewriting.h"

namespace {

// Kinds whose equations are their own: lists, conditions, sum indices,
// substitutions.
bool KeepsItsEquations(OpCodeT kind) {
  switch (kind) {
    case kOpComma:
    case kOpIf:
    case kOpAnd:
    case kOpOr:
    case kOpNot:
    case kOpSum:
    case kOpSubstitution: return true;
    default: return false;
  }
}

// A copy of node whose operand i (an equation) is cut down to its side k.
ExpressionRecord* CopyWithSide(const ExpressionRecord* node, int32_t i, int32_t k) {
  ExpressionRecord* copy = Copy(node);
  if (!copy || copy->operandCount != node->operandCount) return copy;
  ExpressionRecord* equation = copy->operands[i];
  Become(equation, Copy(equation->operands[k]));
  return copy;
}

void DistributeNode(ExpressionRecord* n) {
  if (KeepsItsEquations(n->opcode)) return;
  for (int32_t i = 0; i < n->operandCount; ++i) {
    const ExpressionRecord* equation = n->operands[i];
    if (!equation || equation->opcode != kOpEquals || equation->operandCount < 1) continue;
    const int32_t sides = equation->operandCount;
    Tree distributed(NewExpression(kOpEquals, sides));
    if (!distributed) return;
    for (int32_t k = 0; k < sides; ++k) {
      ExpressionRecord* side = CopyWithSide(n, i, k);
      if (!side) return;
      distributed->operands[k] = side;
      side->parent = distributed.get();
    }
    Become(n, distributed.release());
  }
}

}  // namespace

void DISTRIBUTE_OverEquality() {
  if (!gMathCurrentMEH || !gMathCurrentMEH->selected) return;
  ExpressionRecord* s = gMathCurrentMEH->selected;
  MATH_RemoveIdentities(s);
  PostOrder(s, [](ExpressionRecord* n) {
    if (gMathError.load() == 0) DistributeNode(n);
  });
}
