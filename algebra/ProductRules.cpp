#include "algebra/AlgebraSwitches.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/TermGrouping.h"
#include "algebra/TermOrdering.h"
#include "expression/NodeMemory.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeCopying.h"
#include "expression/OwnedTree.h"
#include "expression/TreeSurgery.h"

#include <utility>
#include <vector>

namespace {

double PredictedProductTerms(const ExpressionRecord* node) {
  double terms = 1.0;
  for (int32_t k = 0; k < node->operandCount; ++k)
    if (IsSum(node->operands[k])) terms *= node->operands[k]->operandCount;
  return terms;
}

bool LinkOperand(ExpressionRecord* node, int32_t k, ExpressionRecord* operand) {
  if (!operand) return false;
  node->operands[k] = operand;
  operand->parent = node;
  return true;
}

// The factors of product j: the node's factors with the sum's term j in
// place of the sum, a term that is a product spread into its factors (as
// the product rule would splice it). Null when a check failed on the way.
Tree DistributedTerm(const ExpressionRecord* node, int32_t i, const ExpressionRecord* term) {
  const bool spread = IsProduct(term);
  const int32_t termFactors = spread ? term->operandCount : 1;
  Tree product(NewExpression(kOpTimes, node->operandCount - 1 + termFactors));
  for (int32_t k = 0, slot = 0; product && k < node->operandCount; ++k) {
    for (int32_t f = 0; f < (k == i ? termFactors : 1); ++f) {
      const ExpressionRecord* source = k != i ? node->operands[k] : spread ? term->operands[f] : term;
      if (!LinkOperand(product.get(), slot++, Copy(source))) return nullptr;
    }
  }
  if (product && MathRewriteMustStop()) return nullptr;
  return product;
}

// The product with the sum at index i becomes the sum of the products with
// each of its terms, built and simplified apart from the node; a failed
// check on the way frees that and leaves the node unexpanded. False when
// the expansion is too large to try.
bool Distribute(ExpressionRecord* node, int32_t i) {
  if (PredictedProductTerms(node) > kMostMultipliedOutTerms) return false;
  // Multiplying out makes no matrix: the products on the way need not be
  // searched for one.
  const MatrixFreeScope matrixFree(!MayHoldMatrix(node));
  const ExpressionRecord* sum = node->operands[i];
  Tree result(NewExpression(kOpPlus, sum->operandCount));
  bool failed = result == nullptr;
  for (int32_t j = 0; !failed && j < sum->operandCount; ++j) {
    ExpressionRecord* product = DistributedTerm(node, i, sum->operands[j]).release();
    failed = !LinkOperand(result.get(), j, product);
    if (!failed) SIMP_OneLevel(product);
  }
  if (!failed) SIMP_OneLevel(result.get());
  if (failed || MathRewriteMustStop()) return true;
  DeleteOperandsTransferAndDispose(std::move(result), node);
  return true;
}

// (a/b)(c/d) -> (ac)/(bd); (a/b)f -> (af)/b; p(c/d) -> (pc)/d, for the
// factors at i-1 and i. False when neither is a quotient.
bool MergeQuotients(ExpressionRecord* node, int32_t i) {
  ExpressionRecord* previous = node->operands[i - 1];
  ExpressionRecord* factor = node->operands[i];
  if (IsQuotient(previous)) {
    if (IsQuotient(factor)) {
      if (!DO_MultOn(previous->operands[0], Copy(factor->operands[0])) ||
          !DO_MultOn(previous->operands[1], Copy(factor->operands[1])))
        return false;
      SIMP_OneLevel(previous->operands[1]);
    } else if (!DO_MultOn(previous->operands[0], Copy(factor))) {
      return false;
    }
    SIMP_OneLevel(previous->operands[0]);
    return MATH_DeleteOperand(node, i);
  }
  if (!IsQuotient(factor)) return false;
  if (!DO_MultOnLeft(factor->operands[0], Copy(previous))) return false;
  SIMP_OneLevel(factor->operands[0]);
  return MATH_DeleteOperand(node, i - 1);
}

}  // namespace

RuleEnd ProductRule(ExpressionRecord* node) {
  if (node->operandCount == 1) {
    KeepOnlyOperand(node, 0);
    return RuleEnd::kDone;
  }
  for (int32_t i = 0; i < node->operandCount;) {
    ExpressionRecord* factor = node->operands[i];
    if (IsProduct(factor) && SIMP_ReplaceNthWithAll(node, i)) continue;
    if (IsNumberNode(factor) && i > 0) {
      ExpressionRecord* first = node->operands[0];
      if (!IsNumberNode(first)) {
        MATH_ShiftUpOps(node, i);
        node->operands[0] = factor;
        continue;
      }
      const double product = NumberValue(first) * NumberValue(factor);
      if (IsSoundFold(product, NumberValue(first), NumberValue(factor))) {
        SetNumberValue(first, product);
        MATH_DeleteOperand(node, i);
        return RuleEnd::kRestart;
      }
    } else if (IsSum(factor) && Math_Multiply_Out != 0 && Distribute(node, i)) {
      return RuleEnd::kDone;
    } else if (IsNegation(factor)) {
      if (!DO_NegOn(node)) return RuleEnd::kDone;
      KeepOnlyOperand(factor, 0);
      SIMP_OneLevel(node->operands[0]);
      return RuleEnd::kRestart;
    } else if (i > 0 && MergeQuotients(node, i)) {
      SimplifyOperands(node);
      return RuleEnd::kRestart;
    }
    ++i;
  }
  if (IsKind(node, kOpTimes) && IsNumberNode(node->operands[0])) {
    if (NumberValue(node->operands[0]) == 0.0) {
      ReplaceByNumber(node, 0.0);
      return RuleEnd::kDone;
    }
    if (NumberValue(node->operands[0]) == 1.0) MATH_DeleteOperand(node, 0);
  }
  if (!IsKind(node, kOpTimes)) return RuleEnd::kDone;
  std::vector<FactorSummary> summaries = SummariseFactors(node);
  if (gMathOrderTerms == 1) ORDR_OnMult(node, &summaries);
  GRP_OnMult(node, &summaries);
  return RuleEnd::kDone;
}
