#include "algebra/ChainRuleProducts.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRules.h"
#include "algebra/TermOrdering.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeSurgery.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A product in normal form that no rule of the product changes: at least
// two factors, each a chain down to `variable`, sorted, their hashes
// pairwise distinct (so no two group).
struct SortedChainProduct {
  const ExpressionRecord* product = nullptr;
  std::vector<const ExpressionRecord*> factors;
  std::vector<uint64_t> hashes;
  int32_t variable = 0;
};

thread_local SortedChainProduct gLastChainProduct;

// A node the order of factors passes through to its one operand, and that
// no rule of the product treats on its own.
bool IsChainLink(const ExpressionRecord* node) {
  switch (node->opcode) {
    case kOpAtom:
    case kOpNumber:
    case kOpPower:
    case kOpTimes:
    case kOpPlus:
    case kOpOver:
    case kOpMatrix: return false;
    default: return node->operandCount == 1 && HasFilledOperands(node);
  }
}

// The variable a factor is a chain down to; false for any other factor. A
// leading negation leaves the product, so it does not lead a chain.
bool ChainVariable(const ExpressionRecord* factor, int32_t* variable) {
  if (IsNegation(factor)) return false;
  const ExpressionRecord* node = factor;
  while (IsChainLink(node)) node = node->operands[0];
  if (node->opcode != kOpAtom || node->operandCount != 0) return false;
  *variable = node->payload.id;
  return true;
}

bool IsLastChainProduct(const SortedChainProduct& last, const ExpressionRecord* node) {
  if (!last.product || node != last.product || !IsKind(node, kOpTimes)) return false;
  return std::equal(last.factors.begin(), last.factors.end(), node->operands, node->operands + node->operandCount);
}

// e = first * rest, both simplified, rest the sorted product `sorted` (or,
// without it, one chain): the product's rules run on e, as one pass of
// them would. False, with e untouched, where that is not known to hold.
bool PlaceFactor(ExpressionRecord* e, SortedChainProduct* sorted, SortedChainProduct* placed) {
  if (gMathOrderTerms != 1 || MathRewriteMustStop()) return false;
  ExpressionRecord* first = e->operands[0];
  ExpressionRecord* rest = e->operands[1];
  int32_t variable = 0;
  int32_t restVariable = 0;
  if (!ChainVariable(first, &variable)) return false;
  if (sorted) {
    if (sorted->variable != variable) return false;
    placed->hashes = std::move(sorted->hashes);
  } else {
    if (!ChainVariable(rest, &restVariable) || restVariable != variable) return false;
    placed->hashes = {StructureHash(rest, kStructureHashOffset)};
  }
  const uint64_t hash = StructureHash(first, kStructureHashOffset);
  if (std::find(placed->hashes.begin(), placed->hashes.end(), hash) != placed->hashes.end()) return false;
  if (sorted && !SIMP_ReplaceNthWithAll(e, 1)) return false;
  // Factors 1.. are sorted: the bubble sort would carry the first factor
  // past those before it and stop, which is where the search puts it.
  ExpressionRecord** operands = e->operands;
  int32_t low = 1;
  for (int32_t high = e->operandCount; low < high;) {
    const int32_t middle = low + (high - low) / 2;
    if (ORDR_MultLessThanWithoutMatrices(operands[middle], first)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  std::rotate(operands, operands + 1, operands + low);
  placed->hashes.insert(placed->hashes.begin() + (low - 1), hash);
  placed->product = e;
  placed->factors.assign(operands, operands + e->operandCount);
  placed->variable = variable;
  return true;
}

}  // namespace

void ForgetSortedChainProduct() { gLastChainProduct = SortedChainProduct{}; }

void SimplifyDerivativeResult(ExpressionRecord* e) {
  SortedChainProduct last = std::exchange(gLastChainProduct, SortedChainProduct{});
  if (gPlaceChainRuleFactors == 0 || !IsKindWith(e, kOpTimes, 2)) {
    SIMP_TwoLevels(e);
    return;
  }
  // A sorted product is its own simplification: only the first factor is
  // simplified, as SIMP_TwoLevels would.
  const bool restSorted = IsLastChainProduct(last, e->operands[1]);
  SIMP_OneLevel(e->operands[0]);
  if (!restSorted) SIMP_OneLevel(e->operands[1]);
  SortedChainProduct placed;
  if (PlaceFactor(e, restSorted ? &last : nullptr, &placed)) {
    gLastChainProduct = std::move(placed);
  } else {
    SIMP_OneLevel(e);
  }
}
