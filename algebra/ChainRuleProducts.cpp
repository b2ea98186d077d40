#include "algebra/ChainRuleProducts.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/TermOrdering.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
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

const ExpressionRecord* Unsigned(const ExpressionRecord* node) { return IsNegation(node) ? node->operands[0] : node; }

// The product first * rest (the derivative may negate it, the rest may be
// negated), rest the sorted product `sorted` or else one chain: where the
// product's rules are known to place the first factor among the rest and
// to move the rest's sign out.
struct Placing {
  ExpressionRecord* product;  // first * rest
  const SortedChainProduct* sorted;
  uint64_t hash;              // of the first factor
  int32_t variable;
};

bool CanPlace(ExpressionRecord* product, const SortedChainProduct* sorted, Placing* placing) {
  if (gMathOrderTerms != 1 || MathRewriteMustStop()) return false;
  const ExpressionRecord* first = product->operands[0];
  const ExpressionRecord* rest = Unsigned(product->operands[1]);
  int32_t restVariable = 0;
  if (!ChainVariable(first, &placing->variable)) return false;
  if (sorted) {
    if (sorted->variable != placing->variable || rest->operandCount + 1 > kMostSplicedOperands) return false;
  } else if (!ChainVariable(rest, &restVariable) || restVariable != placing->variable) {
    return false;
  }
  placing->hash = StructureHash(first, kStructureHashOffset);
  if (sorted ? std::find(sorted->hashes.begin(), sorted->hashes.end(), placing->hash) != sorted->hashes.end()
             : StructureHash(rest, kStructureHashOffset) == placing->hash)
    return false;
  placing->product = product;
  placing->sorted = sorted;
  return true;
}

// What the product's rules make of e, the product or its negation: the
// rest's sign moves out (two negations cancel), the rest's factors join
// the product, and the bubble sort carries the first factor past the
// sorted factors before it and stops, which is where the search puts it.
// The sorted product placed is returned.
SortedChainProduct Place(ExpressionRecord* e, const Placing& placing) {
  ExpressionRecord* product = placing.product;
  SortedChainProduct placed;
  placed.hashes = placing.sorted ? placing.sorted->hashes
                                 : std::vector<uint64_t>{StructureHash(Unsigned(product->operands[1]),
                                                                        kStructureHashOffset)};
  const bool restNegated = IsNegation(product->operands[1]);
  if (restNegated) KeepOnlyOperand(product->operands[1], 0);
  if (placing.sorted) SIMP_ReplaceNthWithAll(product, 1);
  ExpressionRecord** operands = product->operands;
  ExpressionRecord* first = operands[0];
  int32_t low = 1;
  for (int32_t high = product->operandCount; low < high;) {
    const int32_t middle = low + (high - low) / 2;
    if (ORDR_MultLessThanWithoutMatrices(operands[middle], first)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  std::rotate(operands, operands + 1, operands + low);
  placed.hashes.insert(placed.hashes.begin() + (low - 1), placing.hash);
  if (restNegated) {
    if (IsNegation(e)) {
      KeepOnlyOperand(e, 0);
    } else {
      DO_NegOn(e);
    }
  }
  ExpressionRecord* result = IsNegation(e) ? e->operands[0] : e;
  placed.product = result;
  placed.factors.assign(result->operands, result->operands + result->operandCount);
  placed.variable = placing.variable;
  return placed;
}

}  // namespace

void ForgetSortedChainProduct() { gLastChainProduct = SortedChainProduct{}; }

void SimplifyDerivativeResult(ExpressionRecord* e) {
  SortedChainProduct last = std::exchange(gLastChainProduct, SortedChainProduct{});
  const bool negated = IsNegation(e);
  ExpressionRecord* product = negated ? e->operands[0] : e;
  if (gPlaceChainRuleFactors == 0 || !IsKindWith(product, kOpTimes, 2)) {
    SIMP_TwoLevels(e);
    return;
  }
  const bool restSorted = IsLastChainProduct(last, Unsigned(product->operands[1]));
  if (!negated) {
    // The operands' own level, as SIMP_TwoLevels takes it; a sorted
    // product, negated or not, is its own simplification.
    SIMP_OneLevel(product->operands[0]);
    if (!restSorted) SIMP_OneLevel(product->operands[1]);
  }
  Placing placing{};
  if (!CanPlace(product, restSorted ? &last : nullptr, &placing)) {
    if (negated) return SIMP_TwoLevels(e);
    return SIMP_OneLevel(e);
  }
  gLastChainProduct = Place(e, placing);
}
