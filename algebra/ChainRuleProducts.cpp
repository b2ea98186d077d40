#include "algebra/ChainRuleProducts.h"

#include "algebra/AlgebraSwitches.h"
#include "algebra/FactorSummaries.h"
#include "algebra/RewriteStop.h"
#include "algebra/SimplifierNodes.h"
#include "algebra/SimplifierRuleSet.h"
#include "algebra/SimplifierRules.h"
#include "algebra/WholeTreeSimplification.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeSurgery.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A factor that is a chain, or a chain to a number's power: its base's
// hash, and the kinds of its nodes from the top down to the variable. Between two chains down to the same variable
// the order of factors is the order of these lists, word by word (the
// variable's kind differs from every link's), so comparing them never
// goes back to the nodes, which a long session leaves scattered in memory.
struct ChainFactor {
  uint64_t hash = 0;
  std::vector<OpCodeT> kinds;
};

// A product in normal form that no rule of the product changes: at least
// two factors, each a chain (or its power) down to `variable`, sorted,
// their bases' hashes pairwise distinct (so no two group).
struct SortedChainProduct {
  const ExpressionRecord* product = nullptr;
  std::vector<const ExpressionRecord*> factors;
  std::vector<ChainFactor> chains;
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

// A power to a number: the order of factors compares two powers by their
// bases and a power with anything else by its kind, and grouping pairs
// factors by their bases, so such a power is its kind before its base's
// chain, and its base's hash stands for it.
const ExpressionRecord* NumberPowerBase(const ExpressionRecord* factor) {
  return IsKindWith(factor, kOpPower, 2) && IsNumberNode(factor->operands[1]) ? factor->operands[0] : nullptr;
}

// The factor as a chain, and the variable it goes down to; false for any
// other factor. A leading negation leaves the product, so it does not lead
// a chain.
bool AsChain(const ExpressionRecord* factor, ChainFactor* chain, int32_t* variable) {
  chain->kinds.clear();
  const ExpressionRecord* base = NumberPowerBase(factor);
  if (base) chain->kinds.push_back(kOpPower);
  if (!base) base = factor;
  if (IsNegation(base)) return false;
  const ExpressionRecord* node = base;
  for (; IsChainLink(node); node = node->operands[0]) chain->kinds.push_back(node->opcode);
  if (node->opcode != kOpAtom || node->operandCount != 0) return false;
  chain->kinds.push_back(kOpAtom);
  chain->hash = StructureHash(base, kStructureHashOffset);
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
// to move the rest's sign out. *placed gets the chains, the first's last.
bool CanPlace(const ExpressionRecord* product, SortedChainProduct* sorted, SortedChainProduct* placed) {
  if (gMathOrderTerms != 1 || MathRewriteMustStop()) return false;
  const ExpressionRecord* rest = Unsigned(product->operands[1]);
  ChainFactor first;
  if (!AsChain(product->operands[0], &first, &placed->variable)) return false;
  if (sorted) {
    if (sorted->variable != placed->variable || rest->operandCount + 1 > kMostSplicedOperands) return false;
  } else {
    ChainFactor only;
    int32_t variable = 0;
    if (!AsChain(rest, &only, &variable) || variable != placed->variable) return false;
    placed->chains.push_back(std::move(only));
  }
  std::vector<ChainFactor>& chains = sorted ? sorted->chains : placed->chains;
  for (const ChainFactor& chain : chains)
    if (chain.hash == first.hash) return false;
  if (sorted) placed->chains = std::move(sorted->chains);
  placed->chains.push_back(std::move(first));
  return true;
}

// What the product's rules make of e, the product or its negation: the
// rest's sign moves out (two negations cancel), the rest's factors join
// the product, and the bubble sort carries the first factor past the
// sorted factors before it and stops, which is where the search puts it.
void Place(ExpressionRecord* e, ExpressionRecord* product, bool spliced, SortedChainProduct* placed) {
  const bool restNegated = IsNegation(product->operands[1]);
  if (restNegated) KeepOnlyOperand(product->operands[1], 0);
  if (spliced) SIMP_ReplaceNthWithAll(product, 1);
  std::vector<ChainFactor>& chains = placed->chains;
  const auto before = [](const ChainFactor& factor, const ChainFactor& first) {
    return std::lexicographical_compare(factor.kinds.begin(), factor.kinds.end(), first.kinds.begin(),
                                        first.kinds.end());
  };
  const auto place = std::lower_bound(chains.begin(), chains.end() - 1, chains.back(), before);
  const int32_t low = int32_t(place - chains.begin());
  std::rotate(place, chains.end() - 1, chains.end());
  ExpressionRecord** operands = product->operands;
  std::rotate(operands, operands + 1, operands + low + 1);
  if (restNegated) {
    if (IsNegation(e)) {
      KeepOnlyOperand(e, 0);
    } else {
      DO_NegOn(e);
    }
  }
  ExpressionRecord* result = IsNegation(e) ? e->operands[0] : e;
  placed->product = result;
  placed->factors.assign(result->operands, result->operands + result->operandCount);
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
  SortedChainProduct placed;
  if (!CanPlace(product, restSorted ? &last : nullptr, &placed)) {
    if (negated) return SIMP_TwoLevels(e);
    return SIMP_OneLevel(e);
  }
  Place(e, product, restSorted, &placed);
  gLastChainProduct = std::move(placed);
}
