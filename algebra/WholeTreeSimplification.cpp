#include "algebra/WholeTreeSimplification.h"

#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeSurgery.h"

#include <utility>
#include <vector>

namespace {

// Every node of the tree, children before parents, gathered with a stack
// of its own (the parent-link walkers search each node's siblings, which is
// quadratic in a long sum). A pass may then rewrite each node in turn as
// long as it frees only nodes below it and moves nothing above it out of
// place.
std::vector<ExpressionRecord*> PostOrderNodes(ExpressionRecord* tree) {
  std::vector<ExpressionRecord*> nodes;
  std::vector<std::pair<ExpressionRecord*, int32_t>> pending;
  if (tree) pending.emplace_back(tree, 0);
  while (!pending.empty()) {
    auto& [node, next] = pending.back();
    if (node->operands && next < node->operandCount) {
      ExpressionRecord* operand = node->operands[next++];
      if (operand) pending.emplace_back(operand, 0);
      continue;
    }
    nodes.push_back(node);
    pending.pop_back();
  }
  return nodes;
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

void SIMP_Recurse(ExpressionRecord* tree) {
  for (ExpressionRecord* node : PostOrderNodes(tree)) SIMP_OneLevel(node);
}

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

// A negative number may wrap its parent product: the parent keeps its
// identity and its place, its contents moving into a new node below it.
void SIMP_NegNumbersRecurse(ExpressionRecord* tree) {
  for (ExpressionRecord* node : PostOrderNodes(tree)) PresentNode(node, tree);
}
