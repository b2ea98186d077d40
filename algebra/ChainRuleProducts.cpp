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

// The product f1 * ... * fm * rest (the derivative may negate it, the rest
// may be negated), rest the sorted product `sorted` or else one chain:
// where the product's rules are known to place the new factors among the
// rest and to move the rest's sign out. *placed gets the rest's chains,
// *fresh those of f1 ... fm.
bool CanPlace(const ExpressionRecord* product, SortedChainProduct* sorted, SortedChainProduct* placed,
              std::vector<ChainFactor>* fresh) {
  if (gMathOrderTerms != 1 || MathRewriteMustStop()) return false;
  const int32_t count = product->operandCount - 1;
  const ExpressionRecord* rest = Unsigned(product->operands[count]);
  fresh->resize(size_t(count));
  for (int32_t k = 0; k < count; ++k) {
    int32_t variable = 0;
    if (!AsChain(product->operands[k], &(*fresh)[size_t(k)], &variable)) return false;
    if (k > 0 && variable != placed->variable) return false;
    placed->variable = variable;
  }
  if (sorted) {
    if (sorted->variable != placed->variable || rest->operandCount + count > kMostSplicedOperands) return false;
  } else {
    ChainFactor only;
    int32_t variable = 0;
    if (!AsChain(rest, &only, &variable) || variable != placed->variable) return false;
    placed->chains.push_back(std::move(only));
  }
  const std::vector<ChainFactor>& chains = sorted ? sorted->chains : placed->chains;
  for (size_t k = 0; k < fresh->size(); ++k) {
    const uint64_t hash = (*fresh)[k].hash;
    for (const ChainFactor& chain : chains)
      if (chain.hash == hash) return false;
    for (size_t j = 0; j < k; ++j)
      if ((*fresh)[j].hash == hash) return false;
  }
  if (sorted) placed->chains = std::move(sorted->chains);
  return true;
}

// What the product's rules make of e, the product or its negation: the
// rest's sign moves out (two negations cancel), the rest's factors join
// the product, and the bubble sort, stable, carries each new factor past
// the factors strictly before it: the last new factor is placed first, so
// that an earlier one equivalent to it still comes before it.
void Place(ExpressionRecord* e, ExpressionRecord* product, bool spliced, SortedChainProduct* placed,
           std::vector<ChainFactor>* fresh) {
  const int32_t count = product->operandCount - 1;
  const bool restNegated = IsNegation(product->operands[count]);
  if (restNegated) KeepOnlyOperand(product->operands[count], 0);
  if (spliced) SIMP_ReplaceNthWithAll(product, count);
  std::vector<ChainFactor>& chains = placed->chains;
  ExpressionRecord** operands = product->operands;
  std::vector<ExpressionRecord*> order(operands + count, operands + product->operandCount);
  const auto before = [](const ChainFactor& factor, const ChainFactor& first) {
    return std::lexicographical_compare(factor.kinds.begin(), factor.kinds.end(), first.kinds.begin(),
                                        first.kinds.end());
  };
  for (int32_t k = count - 1; k >= 0; --k) {
    ChainFactor& factor = (*fresh)[size_t(k)];
    const auto place = std::lower_bound(chains.begin(), chains.end(), factor, before);
    order.insert(order.begin() + (place - chains.begin()), operands[k]);
    chains.insert(place, std::move(factor));
  }
  std::copy(order.begin(), order.end(), operands);
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

// The product the whole pass left, when its factors are all chains to one
// variable with distinct hashes: the pass sorted them and nothing groups,
// so the next level can place its factors (sec x tan x, left by the whole
// pass at the bottom of a nest of sec, has no factor placed in it).
void RememberSortedChains(const ExpressionRecord* e) {
  const ExpressionRecord* product = Unsigned(e);
  if (!IsKind(product, kOpTimes) || product->operandCount < 2 || !HasFilledOperands(product)) return;
  if (gMathOrderTerms != 1 || MathRewriteMustStop()) return;
  SortedChainProduct sorted;
  sorted.chains.resize(size_t(product->operandCount));
  std::vector<uint64_t> hashes;
  for (int32_t k = 0; k < product->operandCount; ++k) {
    int32_t variable = 0;
    if (!AsChain(product->operands[k], &sorted.chains[size_t(k)], &variable)) return;
    if (k > 0 && variable != sorted.variable) return;
    sorted.variable = variable;
    hashes.push_back(sorted.chains[size_t(k)].hash);
  }
  std::sort(hashes.begin(), hashes.end());
  if (std::adjacent_find(hashes.begin(), hashes.end()) != hashes.end()) return;
  sorted.product = product;
  sorted.factors.assign(product->operands, product->operands + product->operandCount);
  gLastChainProduct = std::move(sorted);
}

}  // namespace

void ForgetSortedChainProduct() { gLastChainProduct = SortedChainProduct{}; }

void SimplifyDerivativeResult(ExpressionRecord* e) {
  SortedChainProduct last = std::exchange(gLastChainProduct, SortedChainProduct{});
  const bool negated = IsNegation(e);
  ExpressionRecord* product = negated ? e->operands[0] : e;
  if (gPlaceChainRuleFactors == 0 || !IsKind(product, kOpTimes) || product->operandCount < 2 ||
      !HasFilledOperands(product)) {
    SIMP_TwoLevels(e);
    return;
  }
  const int32_t restAt = product->operandCount - 1;
  const bool restSorted = IsLastChainProduct(last, Unsigned(product->operands[restAt]));
  if (!negated) {
    // The operands' own level, as SIMP_TwoLevels takes it; a sorted
    // product, negated or not, is its own simplification.
    for (int32_t k = 0; k < restAt; ++k) SIMP_OneLevel(product->operands[k]);
    if (!restSorted) SIMP_OneLevel(product->operands[restAt]);
  }
  SortedChainProduct placed;
  std::vector<ChainFactor> fresh;
  if (!CanPlace(product, restSorted ? &last : nullptr, &placed, &fresh)) {
    if (negated) {
      SIMP_TwoLevels(e);
    } else {
      SIMP_OneLevel(e);
    }
    RememberSortedChains(e);
    return;
  }
  Place(e, product, restSorted, &placed, &fresh);
  gLastChainProduct = std::move(placed);
}
