#include "algebra/WholeTreeSimplification.h"

#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

namespace {

// The step may rewrite the node it is given and its own subtree, or wrap
// its parent, but nothing else.
template <typename Step>
void ForEachBottomUp(ExpressionRecord* tree, Step step) {
  if (!tree) return;
  for (ExpressionRecord* node = LeftMost(tree);;) {
    ExpressionRecord* next = node == tree ? nullptr : NextBottomUp(node);
    step(node);
    if (!next) return;
    node = next;
  }
}

bool IsOneHalf(const ExpressionRecord* node) {
  return IsQuotient(node) && IsNumberEqualTo(node->operands[0], 1.0) && IsNumberEqualTo(node->operands[1], 2.0);
}

// Each change wraps first, so a refused wrap leaves the value as it was.
void PresentNode(ExpressionRecord* node, const ExpressionRecord* tree) {
  if (IsNumberNode(node) && NumberValue(node) < 0.0) {
    if (node != tree && IsKind(node->parent, kOpTimes)) {
      if (DO_NegOn(node->parent)) SetNumberValue(node, -NumberValue(node));
    } else if (DO_NegOn(node)) {
      SetNumberValue(node->operands[0], -NumberValue(node->operands[0]));
    }
  } else if (IsPower(node) && IsOneHalf(node->operands[1])) {
    ExpressionRecord* exponent = node->operands[1];
    if (!SizeNode(node, 1)) return;
    DisposExpr(exponent);
    node->opcode = kOpSqrt;
  } else if (IsQuotient(node) && IsNegation(node->operands[0])) {
    if (DO_NegOn(node)) KeepOnlyOperand(node->operands[0]->operands[0], 0);
  }
}

}  // namespace

void SIMP_Recurse(ExpressionRecord* tree) { ForEachBottomUp(tree, SIMP_OneLevel); }

void SIMP_TwoLevels(ExpressionRecord* node) {
  if (!node) return;
  SimplifyOperands(node);
  SIMP_OneLevel(node);
}

void SimplifyExpr(ExpressionRecord* tree) {
  if (!tree) return;
  MATH_RemoveIdentities(tree);
  SIMP_Recurse(tree);
  SIMP_NegNumbersRecurse(tree);
}

void SIMP_NegNumbersRecurse(ExpressionRecord* tree) {
  ForEachBottomUp(tree, [tree](ExpressionRecord* node) { PresentNode(node, tree); });
}
